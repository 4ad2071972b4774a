// Receiver configuration files (".rcf"): the sectioned text file read through CfgIo, its
// labels and key=value lines assigned through the key table, then sent to the (closed) port.
// What a load keeps must save and load again to the same file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "engine/Profile.h"
#include "engine/gps.h"
#include "platform/atomic_file.h"
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

std::string SaveAfterLoad(const std::string& from, const std::string& to) {
    auto gps = std::make_unique<CGPS>();
    CProfile profile(gps.get());
    if (!profile.Load(from)) return {};
    // A save writes what was last sent to the receiver; make that what was loaded.
    gps->Info.Settings.WizardSnapshot = gps->Info.Settings.WizardLive;
    if (!profile.SaveText(to)) {
        std::fprintf(stderr, "cannot save %s\n", to.c_str());
        std::abort();
    }
    return ReadAll(to);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzsupport::Setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& dir = fuzzsupport::Setup();
    fuzzsupport::WriteConfigFile("input.rcf", data, size);
    const std::string first = SaveAfterLoad(dir + "/input.rcf", dir + "/first.rcf");
    const std::string second = SaveAfterLoad(dir + "/first.rcf", dir + "/second.rcf");
    if (first != second) {
        std::fprintf(stderr, "a saved profile loads to a different one (%zu and %zu bytes)\n",
                     first.size(), second.size());
        std::abort();
    }
    fuzzsupport::ClearConfigDir();
    return 0;
}
