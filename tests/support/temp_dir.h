#pragma once

#include <stdlib.h>

#include <cstdint>
#include <string>

namespace testsupport {

// A fresh folder under the temporary folder, removed with all it holds at the end of its
// life (owner permissions first, for tests that take them away).
class TempDir {
public:
    explicit TempDir(const std::string& prefix = "tessaray_");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // The folder ending in "/", the form the file browser takes.
    std::string folder() const { return path_ + "/"; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // Makes an empty file of `size` bytes.
    void Touch(const std::string& name, std::uint64_t size = 0) const;

private:
    std::string path_;
};

// A fresh configuration folder: TESSARAY_PC_CONFIG_DIR names `dir`, which does not exist yet,
// inside the temporary folder `root`.
class TempConfigDir {
public:
    TempConfigDir() { setenv("TESSARAY_PC_CONFIG_DIR", dir.c_str(), 1); }

    TempDir temp{"tessaray_cfg_"};
    const std::string root = temp.path();
    const std::string dir = root + "/config";
};

// A whole file's bytes; empty when it cannot be read.
std::string ReadBytes(const std::string& path);
// Replaces a file's bytes.
void WriteBytes(const std::string& path, const std::string& bytes);

// The number of a process that has ended (and been reaped): no process runs under it, as
// after a save killed before its rename.
int PidOfEndedProcess();

}  // namespace testsupport
