#include "shell/FileListing.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <system_error>

namespace filebrowser {

namespace {

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

std::string LowerAscii(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return s;
}

std::string TwoDigits(int value) {
    std::string s = std::to_string(value);
    return s.size() < 2 ? "0" + s : s;
}

}  // namespace

Listing ListFolder(const std::string& folder, const std::string& filter) {
    Listing out;
    std::unique_ptr<DIR, DirCloser> dir(opendir(folder.c_str()));
    if (!dir) {
        out.error = std::error_code(errno, std::generic_category()).message();
        return out;
    }
    const int fd = dirfd(dir.get());
    for (;;) {
        errno = 0;
        const dirent* d = readdir(dir.get());
        if (d == nullptr) {
            if (errno != 0) out.error = std::error_code(errno, std::generic_category()).message();
            break;
        }
        const std::string name = d->d_name;
        if (name == "." || name == "..") continue;
        if (fnmatch(filter.c_str(), name.c_str(), FNM_CASEFOLD) != 0) continue;
        Entry e;
        e.name = name;
        struct stat st {};
        // A link counts as what it points to; a dangling one as a file of its own.
        if (fstatat(fd, d->d_name, &st, 0) == 0 ||
            fstatat(fd, d->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0) {
            e.directory = S_ISDIR(st.st_mode);
            e.size = static_cast<std::uint64_t>(st.st_size);
            e.modified = st.st_mtime;
        }
        out.entries.push_back(std::move(e));
    }
    std::sort(out.entries.begin(), out.entries.end(), [](const Entry& a, const Entry& b) {
        const std::string la = LowerAscii(a.name), lb = LowerAscii(b.name);
        return la != lb ? la < lb : a.name < b.name;
    });
    return out;
}

std::string SizeText(std::uint64_t size) {
    if (size > 1048576) return std::to_string(size / 1048576) + "M";
    if (size > 1024) return std::to_string(size / 1024) + "K";
    return std::to_string(size);
}

const char* DefaultExtension(int fileType) {
    switch (fileType) {
        case 2:
        case 3:
            return ".bin";
        case 6:
        case 7:
            return ".rcf";
        default:
            return ".txt";
    }
}

std::string DefaultFileName(const std::string& folder, int fileType, int year, int month, int day) {
    const std::string stem = "D" + TwoDigits(year % 100) + TwoDigits(month) + TwoDigits(day);
    for (unsigned n = 1;; ++n) {
        std::string name = stem + std::to_string(n) + DefaultExtension(fileType);
        struct stat st {};
        // Anything in the way (file, folder, dangling link) counts as taken.
        if (lstat((folder + name).c_str(), &st) != 0) return name;
    }
}

std::string FolderPath(const std::string& path) {
    if (path.empty()) return "/";
    std::string p = path;
    if (p.front() != '/') p.insert(p.begin(), '/');
    if (p.back() != '/') p.push_back('/');
    return p;
}

}  // namespace filebrowser
