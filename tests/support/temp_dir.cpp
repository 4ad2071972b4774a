#include "support/temp_dir.h"

#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace testsupport {

TempDir::TempDir(const std::string& prefix)
    : path_((fs::temp_directory_path() / (prefix + "XXXXXX")).string()) {
    // Going on would write the test's files somewhere else.
    if (!::mkdtemp(path_.data())) {
        std::perror(path_.c_str());
        std::abort();
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, ec);
    fs::remove_all(path_, ec);
}

void TempDir::Touch(const std::string& name, std::uint64_t size) const {
    std::ofstream(folder() + name).close();
    if (size > 0) fs::resize_file(folder() + name, size);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

int PidOfEndedProcess() {
    const pid_t pid = ::fork();
    if (pid == 0) std::_Exit(0);
    if (pid > 0) ::waitpid(pid, nullptr, 0);
    return pid;
}

}  // namespace testsupport
