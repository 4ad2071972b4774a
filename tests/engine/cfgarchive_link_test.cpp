// The profile archive kept behind a symbolic link stays linked through saves, loads and the
// replacement of a damaged file.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "platform/notify.h"
#include "support/temp_dir.h"

namespace {

using testsupport::ReadBytes;
using testsupport::WriteBytes;

bool IsLink(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

TEST(ArchiveBehindLink, SavedLoadedAndReplacedThroughTheLink) {
    testsupport::TempConfigDir dir;
    std::vector<std::string> notices;
    platform::SetNotifySink([&](const std::string& text) { notices.push_back(text); });
    const std::string dots = dir.root + "/dotfiles", target = dots + "/Tessaray_PC.CFG";
    const std::string link = dir.dir + "/Tessaray_PC.CFG";
    std::filesystem::create_directories(dots);
    std::filesystem::create_directories(dir.dir);
    ASSERT_EQ(::symlink("../dotfiles/Tessaray_PC.CFG", link.c_str()), 0);
    auto gps = std::make_unique<CGPS>();
    gps->Info.Init();
    gps->InitSettings();
    gps->Info.iRxElevation = 12;
    ASSERT_TRUE(gps->SaveConfigFile());  // the first save: the link's target appears
    EXPECT_TRUE(IsLink(link));
    EXPECT_EQ(ReadBytes(target).size(), 3824u);
    gps->Info.iRxElevation = 0;
    ASSERT_TRUE(gps->LoadConfigFile(false));  // the marker flips and is written back
    EXPECT_EQ(gps->Info.iRxElevation, 12);
    EXPECT_TRUE(IsLink(link));
    EXPECT_EQ(ReadBytes(target).substr(0, 1), "N");
    // A damaged target goes; the defaults written next land behind the link again.
    WriteBytes(target, ReadBytes(target).substr(0, 100));
    EXPECT_FALSE(gps->LoadConfigFile(false));
    EXPECT_TRUE(IsLink(link));
    EXPECT_FALSE(std::filesystem::exists(target));
    ASSERT_TRUE(gps->SaveConfigFile());
    EXPECT_TRUE(IsLink(link));
    EXPECT_EQ(ReadBytes(target).size(), 3824u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dots), {}), 1);
    platform::SetNotifySink({});
}

}  // namespace
