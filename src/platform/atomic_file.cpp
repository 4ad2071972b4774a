#include "platform/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <optional>

#include "platform/numbers.h"
#include "platform/serial.h"

namespace platform {
namespace {

std::string Folder(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string Failure(const std::string& path, int err) {
    return "cannot write " + path + ": " + ErrorText(err ? err : EIO);
}

// The file may be writable in place; its folder is what refuses.
std::string FolderRefuses(const std::string& given, const std::string& path, int err) {
    return "cannot write " + given + ": cannot create a file in " + Folder(path) + ": " +
           ErrorText(err);
}

constexpr std::string_view kTempMark = ".tmp";

std::string TempName(const std::string& path, unsigned n) {
    return path + std::string(kTempMark) + FormatInt(::getpid()) + "_" + FormatUInt(n);
}

// The pid in the name of a temporary file TempName made for `file` (both names without
// their folder), else nothing.
std::optional<int> TempOwner(const std::string& name, const std::string& file) {
    const std::string own = file + std::string(kTempMark);
    if (name.compare(0, own.size(), own) != 0) return std::nullopt;
    const std::string rest = name.substr(own.size());
    const size_t sep = rest.find('_');
    if (rest.find_first_not_of("0123456789_") != std::string::npos) return std::nullopt;
    if (sep == std::string::npos || !ParseInt(rest.substr(sep + 1))) return std::nullopt;
    const std::optional<int> pid = ParseInt(rest.substr(0, sep));
    if (!pid || *pid <= 0 || FormatInt(*pid) != rest.substr(0, sep)) return std::nullopt;
    return pid;
}

}  // namespace

std::string FollowLinks(const std::string& path) {
    constexpr int kMaxLinks = 40;  // as the kernel allows before ELOOP
    std::string at = path;
    for (int hops = 0; hops < kMaxLinks; ++hops) {
        struct stat st {};
        if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return at;
        std::string target(static_cast<size_t>(st.st_size > 0 ? st.st_size : 256) + 1, '\0');
        const ssize_t n = ::readlink(at.c_str(), target.data(), target.size());
        // Gone or changed meanwhile: the path as it is.
        if (n <= 0 || static_cast<size_t>(n) >= target.size()) return at;
        target.resize(static_cast<size_t>(n));
        at = target[0] == '/' ? target : Folder(at) + "/" + target;
    }
    errno = ELOOP;
    return {};
}

std::string WriteFileAtomic(const std::string& given, std::string_view bytes, bool* refusedTarget) {
    if (refusedTarget) *refusedTarget = true;
    // A link (a settings file kept in a set of dotfiles) stays a link: its target is replaced.
    const std::string path = FollowLinks(given);
    if (path.empty()) return Failure(given, errno);
    // The rename would replace what the user could not have written in place (a file left
    // by another user, a read-only file) or something that is no file at all.
    struct stat old {};
    const bool exists = ::stat(path.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) return "cannot write " + given + ": not a regular file";
    if (exists && ::access(path.c_str(), W_OK) != 0) {
        const int err = errno;
        // A read-only filesystem refuses every file in the folder, the user's own among them:
        // the file is not refused as another user's would be.
        if (err != EROFS) return Failure(given, err);
        if (refusedTarget) *refusedTarget = false;
        return FolderRefuses(given, path, err);
    }
    if (refusedTarget) *refusedTarget = false;

    static std::atomic<unsigned> counter{0};
    std::string temp = TempName(path, counter++);
    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        const int err = errno;
        if (err == EACCES || err == EPERM || err == EROFS) return FolderRefuses(given, path, err);
        return Failure(given, err);
    }

    if (exists) {
        // Owner first: a change of owner clears the set-id bits that the mode then restores.
        // Only root can give a file away; anyone else keeps the file as theirs.
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
            (void)::fchown(fd, old.st_uid, old.st_gid);
        }
        ::fchmod(fd, old.st_mode & 07777);
    }

    int err = 0;
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            break;
        }
        done += static_cast<size_t>(n);
    }
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0) err = errno;
    if (err == 0 && ::rename(temp.c_str(), path.c_str()) != 0) err = errno;
    if (err != 0) {
        ::unlink(temp.c_str());
        return Failure(given, err);
    }
    // Make the rename itself durable.
    int dir = ::open(Folder(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

void RemoveStaleTemporaries(const std::string& file) {
    const size_t slash = file.find_last_of('/');
    const std::string base = slash == std::string::npos ? file : file.substr(slash + 1);
    if (base.empty()) return;
    DIR* d = ::opendir(Folder(file).c_str());
    if (!d) return;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        const std::optional<int> pid = TempOwner(name, base);
        if (!pid || *pid == ::getpid()) continue;
        if (::kill(*pid, 0) == 0 || errno != ESRCH) continue;
        ::unlinkat(::dirfd(d), name.c_str(), 0);
    }
    ::closedir(d);
}

}  // namespace platform
