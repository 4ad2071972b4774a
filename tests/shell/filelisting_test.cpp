#include "shell/FileListing.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// A fresh folder for the test's files.
class TempFolder : public testsupport::TempDir {
public:
    TempFolder() : TempDir("tessaray-listing-") {}
};

TEST(FileListing, SizeTexts) {
    const std::pair<std::uint64_t, const char*> cases[] = {
        {0, "0"},
        {1024, "1024"},
        {1025, "1K"},
        {2047, "1K"},
        {1048576, "1024K"},
        {1048577, "1M"},
        {5ull * 1048576 - 1, "4M"},
        {4294967296ull, "4096M"},
        {5ull * 1024 * 1024 * 1024 + 12345, "5120M"},
        {0xFFFFFFFFFFFFFFFFull, "17592186044415M"},
    };
    for (const auto& [size, text] : cases) EXPECT_EQ(filebrowser::SizeText(size), text) << size;
}

TEST(FileListing, DefaultNamesForEveryFileType) {
    TempFolder dir;
    const std::pair<int, const char*> cases[] = {
        {0, "D0712051.txt"}, {1, "D0712051.txt"},  {2, "D0712051.bin"}, {3, "D0712051.bin"},
        {4, "D0712051.txt"}, {5, "D0712051.txt"},  {6, "D0712051.rcf"}, {7, "D0712051.rcf"},
        {8, "D0712051.txt"}, {-1, "D0712051.txt"},
    };
    for (const auto& [type, name] : cases) {
        EXPECT_EQ(filebrowser::DefaultFileName(dir.folder(), type, 2007, 12, 5), name) << type;
    }
    EXPECT_EQ(filebrowser::DefaultFileName(dir.folder(), 1, 2010, 1, 9), "D1001091.txt");
}

TEST(FileListing, DefaultNameTakesTheNextFreeNumber) {
    TempFolder dir;
    dir.Touch("D0712051.txt");
    EXPECT_EQ(filebrowser::DefaultFileName(dir.folder(), 1, 2007, 12, 5), "D0712052.txt");
    // Another extension does not take the number; a folder of that name does.
    EXPECT_EQ(filebrowser::DefaultFileName(dir.folder(), 2, 2007, 12, 5), "D0712051.bin");
    fs::create_directory(dir.folder() + "D0712052.txt");
    dir.Touch("D0712053.txt");
    EXPECT_EQ(filebrowser::DefaultFileName(dir.folder(), 1, 2007, 12, 5), "D0712054.txt");
    for (int n = 4; n <= 11; ++n) dir.Touch("D071205" + std::to_string(n) + ".txt");
    EXPECT_EQ(filebrowser::DefaultFileName(dir.folder(), 1, 2007, 12, 5), "D07120512.txt");
}

TEST(FileListing, ListsFilesAndFoldersSortedWithHiddenOnes) {
    TempFolder dir;
    dir.Touch("b.rcf", 1025);
    dir.Touch("A.RCF");
    dir.Touch(".hidden.rcf");
    dir.Touch("notes.txt");
    fs::create_directory(dir.folder() + "sub.rcf");
    fs::create_symlink(dir.folder() + "nowhere", dir.folder() + "dangling.rcf");

    const auto all = filebrowser::ListFolder(dir.folder(), "*");
    ASSERT_TRUE(all.ok());
    std::vector<std::string> names;
    for (const auto& e : all.entries) names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::string>{".hidden.rcf", "A.RCF", "b.rcf", "dangling.rcf",
                                               "notes.txt", "sub.rcf"}));

    const auto rcf = filebrowser::ListFolder(dir.folder(), "*.rcf");
    names.clear();
    for (const auto& e : rcf.entries) names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::string>{".hidden.rcf", "A.RCF", "b.rcf", "dangling.rcf",
                                               "sub.rcf"}));
    EXPECT_EQ(rcf.entries[2].size, 1025u);
    EXPECT_FALSE(rcf.entries[3].directory);
    EXPECT_TRUE(rcf.entries[4].directory);
}

TEST(FileListing, FolderThatCannotBeReadGivesTheOsError) {
    TempFolder dir;
    dir.Touch("plain");
    const auto gone = filebrowser::ListFolder(dir.folder() + "vanished/", "*");
    EXPECT_FALSE(gone.ok());
    EXPECT_EQ(gone.error, "No such file or directory");
    EXPECT_TRUE(gone.entries.empty());
    const auto file = filebrowser::ListFolder(dir.folder() + "plain/", "*");
    EXPECT_EQ(file.error, "Not a directory");
}

TEST(FileListing, FolderPaths) {
    EXPECT_EQ(filebrowser::FolderPath(""), "/");
    EXPECT_EQ(filebrowser::FolderPath("/"), "/");
    EXPECT_EQ(filebrowser::FolderPath("/home/u"), "/home/u/");
    EXPECT_EQ(filebrowser::FolderPath("/home/u/"), "/home/u/");
}

}  // namespace
