#pragma once

// Folder reading and the fixed texts of the file browser, apart from its window so they can
// be used and checked on their own.

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace filebrowser {

struct Entry {
    std::string name;
    bool directory = false;
    std::uint64_t size = 0;
    std::time_t modified = 0;
};

struct Listing {
    std::vector<Entry> entries;  // sorted by name, ignoring case
    std::string error;           // the OS error text when the folder could not be read
    bool ok() const { return error.empty(); }
};

// The entries of `folder` whose names match the wild-card `filter` ("*", "*.rcf"; letters
// match either case, as the files come from Windows machines too). "." and ".." are left out;
// hidden entries are kept.
Listing ListFolder(const std::string& folder, const std::string& filter);

// "1024K", "5M", "17": whole mebibytes above 1048576 bytes, kibibytes above 1024.
std::string SizeText(std::uint64_t size);

// ".txt", ".bin" or ".rcf" by the caller's file type.
const char* DefaultExtension(int fileType);

// "D%02d%02d%02d%d" of (year mod 100, month, day, n) with the extension, for the first n
// from 1 whose file does not exist in `folder` (which ends in "/").
std::string DefaultFileName(const std::string& folder, int fileType, int year, int month, int day);

// "/a/b" or "/a/b/" → "/a/b/"; the root stays "/".
std::string FolderPath(const std::string& path);

}  // namespace filebrowser
