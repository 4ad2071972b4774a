#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// The libFuzzer entry points every target defines; the replay program calls them too.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fuzzsupport {

// Points TESSARAY_PC_CONFIG_DIR at a fresh temporary folder (removed again at exit),
// installs a virtual clock so that pauses cost nothing, and keeps notices and traces quiet.
// Returns the folder. Safe to call more than once.
const std::string& Setup();

// Replaces the named file of the configuration folder with the bytes.
void WriteConfigFile(const std::string& name, const uint8_t* data, size_t size);

// Removes every file of the configuration folder.
void ClearConfigDir();

}  // namespace fuzzsupport
