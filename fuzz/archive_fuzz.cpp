// The profile archive Tessaray_PC.CFG: the little-endian field stream read into the record.
// A load writes the file back with its marker flipped; loading that file again must give the
// same bytes but for the marker.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/appstate.h"
#include "engine/cfgarchive.h"
#include "engine/gps.h"
#include "support.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, n);
        std::fclose(f);
    }
    return bytes;
}

// Loads the archive into a fresh record; the bytes it wrote back, or "" when it did not load.
std::string Load() {
    auto gps = std::make_unique<CGPS>();
    App().iAreaUnits.store(0);
    if (!gps->LoadConfigFile(false)) return {};
    return ReadAll(CfgArchivePath());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzsupport::Setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzsupport::Setup();
    fuzzsupport::WriteConfigFile(kCfgArchiveName, data, size);
    const std::string first = Load();
    if (!first.empty()) {
        const std::string second = Load();
        if (first.size() != kCfgArchiveSize || second.size() != kCfgArchiveSize ||
            first[0] == second[0] || first.compare(1, std::string::npos, second, 1) != 0) {
            std::fprintf(stderr, "a written archive loads to a different one\n");
            std::abort();
        }
    }
    fuzzsupport::ClearConfigDir();
    return 0;
}
