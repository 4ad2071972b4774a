// A file kept behind a symbolic link (a settings folder in a set of dotfiles) is replaced where
// the link points; the link stays.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/atomic_file.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

size_t Entries(const std::string& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
}

bool IsLink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

TEST(AtomicFileLinks, WritesThroughTheLinkAndKeepsIt) {
    // The link's text, the file it ends at (relative to the dotfiles folder) and what is there.
    const struct {
        const char* link;
        const char* target;
        const char* old;  // nullptr: the target does not exist yet
    } cases[] = {
        {"../dotfiles/Tessaray_PC.CFG", "Tessaray_PC.CFG", "old"},
        {"%/Tessaray_PC.CFG", "Tessaray_PC.CFG", "old"},  // absolute
        {"chain.CFG", "Tessaray_PC.CFG", "old"},          // a link to a link
        {"../dotfiles/new.CFG", "new.CFG", nullptr},      // dangling until the first save
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.link);
        testsupport::TempDir root;
        const std::string config = root / "config", dots = root / "dotfiles";
        fs::create_directories(config);
        fs::create_directories(dots);
        const std::string target = dots + "/" + c.target, link = config + "/Tessaray_PC.CFG";
        if (c.old) WriteBytes(target, c.old);
        std::string text = c.link;
        if (text[0] == '%') text = dots + text.substr(1);
        if (text == "chain.CFG") {
            ASSERT_EQ(::symlink("../dotfiles/Tessaray_PC.CFG", (config + "/chain.CFG").c_str()), 0);
        }
        ASSERT_EQ(::symlink(text.c_str(), link.c_str()), 0);
        ASSERT_EQ(platform::WriteFileAtomic(link, "new bytes"), "");
        EXPECT_TRUE(IsLink(link));
        EXPECT_EQ(ReadBytes(target), "new bytes");
        EXPECT_EQ(Entries(dots), 1u) << "no temporary file beside the target";
        ASSERT_EQ(platform::WriteFileAtomic(link, "again"), "");
        EXPECT_TRUE(IsLink(link));
        EXPECT_EQ(ReadBytes(target), "again");
    }
}

// A link that leads back to itself is refused by name; nothing is written.
TEST(AtomicFileLinks, LinkLoopIsRefused) {
    testsupport::TempDir root;
    const std::string a = root / "a.CFG", b = root / "b.CFG";
    ASSERT_EQ(::symlink("b.CFG", a.c_str()), 0);
    ASSERT_EQ(::symlink("a.CFG", b.c_str()), 0);
    EXPECT_EQ(platform::WriteFileAtomic(a, "x"),
              "cannot write " + a + ": Too many levels of symbolic links");
    EXPECT_TRUE(IsLink(a) && IsLink(b));
    EXPECT_EQ(Entries(root.path()), 2u);
}

}  // namespace
