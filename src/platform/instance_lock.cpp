#include "platform/instance_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>

#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/serial.h"
#include "platform/trace.h"

namespace platform {
namespace {

std::mutex g_mutex;
int g_fd = -1;
std::string g_path;

bool SameFile(int fd, const std::string& path) {
    struct stat open {
    }, named{};
    return ::fstat(fd, &open) == 0 && ::stat(path.c_str(), &named) == 0 &&
           open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

void Release() {
    if (g_fd < 0) return;
    ::close(g_fd);
    g_fd = -1;
    g_path.clear();
}

int OwnerOf(int fd) {
    char text[32] = {};
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    return n > 0 ? AtoI(text) : 0;
}

// A lock that cannot be taken never stops the user; the run goes on without it, and says so.
bool RunUnlocked(const std::string& problem) {
    Trace("Tessaray_PC: %s; this copy runs without the lock on its configuration folder\n",
          problem.c_str());
    return true;
}

}  // namespace

bool LockConfigFolder(int* ownerPid) {
    if (ownerPid) *ownerPid = 0;
    std::lock_guard<std::mutex> lock(g_mutex);
    const std::string path = ConfigFile(kInstanceLockName);
    // Held already, and still the file at its name (tests remove folders between runs).
    if (g_fd >= 0 && g_path == path && SameFile(g_fd, path)) return true;
    Release();
    std::string error;
    if (!EnsureConfigDir(&error)) return RunUnlocked(error);
    // A copy that ends removes the file: a lock taken on a file no longer at its name is
    // taken again on the new one.
    constexpr int kAttempts = 5;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd < 0) return RunUnlocked("cannot open " + path + ": " + ErrorText(errno));
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int err = errno;
            if (err != EWOULDBLOCK) {
                ::close(fd);
                return RunUnlocked("cannot lock " + path + ": " + ErrorText(err));
            }
            if (ownerPid) *ownerPid = OwnerOf(fd);
            ::close(fd);
            return false;
        }
        if (!SameFile(fd, path)) {
            ::close(fd);
            continue;
        }
        const std::string pid = FormatInt(::getpid()) + "\n";
        if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, pid.data(), pid.size(), 0) < 0) {
            Trace("Tessaray_PC: cannot write %s: %s\n", path.c_str(), ErrorText(errno).c_str());
        }
        g_fd = fd;
        g_path = path;
        return true;
    }
    return RunUnlocked("cannot lock " + path + ": it was replaced while being locked, " +
                       FormatInt(kAttempts) + " times");
}

void UnlockConfigFolder() {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (g_fd < 0) return;
    // Removed while still held, so no copy can lock the old file after it is gone.
    if (SameFile(g_fd, g_path)) ::unlink(g_path.c_str());
    Release();
}

}  // namespace platform
