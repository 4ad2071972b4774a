// The terminal file: saved commands, hot-key levels and hot keys read through CfgIo into the
// fixed-size block. What a load keeps must save and load again to the same file.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/terminalconfig.h"
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

// Loads the terminal file into a fresh block and saves it again; the saved bytes.
std::string LoadAndSave() {
    TerminalConfig::Init();
    if (!g_TerminalConfig.LoadText()) return {};
    if (!g_TerminalConfig.SaveText()) {
        std::fprintf(stderr, "cannot save %s\n", TerminalConfig::FilePath().c_str());
        std::abort();
    }
    return ReadAll(TerminalConfig::FilePath());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzsupport::Setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzsupport::Setup();
    fuzzsupport::WriteConfigFile("Tessaray_Term.ini", data, size);
    const std::string first = LoadAndSave();
    const std::string second = LoadAndSave();
    if (first != second) {
        std::fprintf(stderr, "a saved terminal file loads to a different one (%zu and %zu bytes)\n",
                     first.size(), second.size());
        std::abort();
    }
    fuzzsupport::ClearConfigDir();
    return 0;
}
