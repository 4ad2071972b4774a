#include "support.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/notify.h"
#include "support/virtual_clock.h"

namespace fuzzsupport {
namespace {

std::string g_dir;

void RemoveDir() {
    if (g_dir.empty()) return;
    ClearConfigDir();
    ::rmdir(g_dir.c_str());
}

}  // namespace

const std::string& Setup() {
    if (!g_dir.empty()) return g_dir;
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tessaray-fuzz-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::fprintf(stderr, "cannot create a temporary folder %s: %s\n", pattern.c_str(),
                     std::strerror(errno));
        std::abort();
    }
    g_dir = pattern;
    ::setenv("TESSARAY_PC_CONFIG_DIR", g_dir.c_str(), 1);
    std::atexit(RemoveDir);

    static testsupport::VirtualClock clock;
    platform::SetClock(&clock);
    platform::SetNotifySink([](const std::string&) {});
    return g_dir;
}

void WriteConfigFile(const std::string& name, const uint8_t* data, size_t size) {
    std::string path = Setup() + "/" + name;
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), std::strerror(errno));
        std::abort();
    }
    size_t done = 0;
    while (done < size) {
        ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0) {
            std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), std::strerror(errno));
            std::abort();
        }
        done += static_cast<size_t>(n);
    }
    ::close(fd);
}

void ClearConfigDir() {
    DIR* dir = ::opendir(g_dir.c_str());
    if (dir == nullptr) return;
    while (dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
        ::unlink((g_dir + "/" + entry->d_name).c_str());
    }
    ::closedir(dir);
}

}  // namespace fuzzsupport
