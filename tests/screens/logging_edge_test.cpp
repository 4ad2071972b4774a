// The logging screens at their edges: names under the home folder, the recent names a run
// keeps, and the point log's running number at its end.

#include <unistd.h>

#include <filesystem>

#include "platform/paths.h"
#include "screens/logging/LOGS_4.h"
#include "screens/logging/LOGS_5.h"
#include "screens/logging/logs_frame.h"
#include "screens/screen_walk.h"
#include "shell/FileOpenDlg.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using shelltest::ReadFile;
using shelltest::WriteFile;

class LoggingEdgeTest : public shelltest::WalkTest {
protected:
    // The working folder is one of the test's own, so a stray "~" folder shows there.
    void SetUp() override {
        Start();
        old_ = fs::current_path();
        fs::current_path(work_.path());
        home_ = platform::HomeDir();
        for (const char* folder : {"/tilde", "/jobs"}) fs::remove_all(home_ + folder);
        g_GPS.Info.Settings.szLogComboTexts.Init();
    }
    void TearDown() override {
        fs::current_path(old_);
        WalkTest::TearDown();
    }
    bool StrayTildeFolder() const { return fs::exists(work_ / "~"); }

    testsupport::TempDir work_;
    fs::path old_;
    std::string home_;
};

// "~/" names the home folder on every logging screen and where the file browser starts.
TEST_F(LoggingEdgeTest, TildeNamesTheHomeFolder) {
    {
        NavInfo& nav = g_GPS.Info.Nav;
        RecordLock lock(nav.ulNavLock);
        nav.iFixQuality = 1;
    }
    // Tab, the name typed, the buttons pressed, the name field the log uses.
    const struct {
        int tab;
        const char* name;
        std::vector<int> clicks;
        eLogFile field;
    } logs[] = {
        {0, "~/tilde/nmea.txt", {IDC_LOGS_START, IDC_LOGS_STOP}, LOGFILE_NMEA},
        {1, "~/tilde/raw.bin", {IDC_LOGS_START, IDC_LOGS_STOP}, LOGFILE_RAW},
        {2, "~/tilde/bin.BIN", {IDC_LOGS_START, IDC_LOGS_STOP}, LOGFILE_BIN},
        {3, "~/tilde/points.txt", {IDC_LOGS4_LOG_POINT}, LOGFILE_POINT},
        {4, "~/tilde/polygon.TXT", {IDC_LOGS5_START, IDC_LOGS5_CLOSE}, LOGFILE_POLYGON},
    };
    const std::string home = home_;
    const eScreen screens[] = {SCR_LOGS_1, SCR_LOGS_2, SCR_LOGS_3, SCR_LOGS_4, SCR_LOGS_5};
    std::vector<Step> steps;
    for (const auto& log : logs) {
        steps.push_back({screens[log.tab], [&] {
                             SCOPED_TRACE(log.name);
                             Told();
                             Retype(IDC_LOGS_FILE, log.name);
                             for (int id : log.clicks) Click(id);
                             const std::string path = home + std::string(log.name).substr(1);
                             EXPECT_TRUE(fs::is_regular_file(path));
                             EXPECT_EQ(theApp().GetLogFile(log.field), path);
                             EXPECT_FALSE(StrayTildeFolder());
                             EXPECT_EQ(Told(), "");
                             if (log.tab < 4) SelectTab(IDC_LOGS_TAB, log.tab + 1);
                             if (log.tab == 4) {
                                 Retype(IDC_LOGS_FILE, "~/tilde/next.txt");
                                 Click(IDC_LOGS_BROWSE);
                             }
                         }});
    }
    steps.push_back({Top<CFileOpenDlg>(), [&] {
                         auto* dlg = dynamic_cast<CFileOpenDlg*>(ui::Host::Instance().TopPage());
                         ASSERT_NE(dlg, nullptr);
                         EXPECT_EQ(dlg->GetFolder(), home + "/tilde/");
                         ui::UserClickDesign(130, 430);  // the banner's Cancel
                     }});
    steps.push_back({SCR_LOGS_5, [] {}});
    Walk(steps);
    EXPECT_FALSE(StrayTildeFolder());
}

// A name under the home folder is stored as "~/…"; every name used stays listed for the run,
// also one no slot can hold.
TEST_F(LoggingEdgeTest, RecentNamesUnderTheHomeFolderAndOfThisRun) {
    const std::string underHome = home_ + "/jobs/site-a/logs/2026-12-07-north-field.txt";
    const std::string tooLong = home_ + "/jobs/" + std::string(60, 'n') + ".txt";
    const std::string outside = work_ / "o.txt";
    Walk({{SCR_LOGS_1, [&] {
               Told();
               for (const std::string& name : {underHome, tooLong, outside, underHome}) {
                   Retype(IDC_LOGS_FILE, name);
                   Click(IDC_LOGS_START);
                   Click(IDC_LOGS_STOP);
                   EXPECT_EQ(theApp().szNMEALogFile(), name);
               }
               const auto& stored = g_GPS.Info.Settings.szLogComboTexts.szNMEALogRecent;
               EXPECT_EQ(std::string(stored[0]), outside);
               EXPECT_EQ(std::string(stored[1]), "~/jobs/site-a/logs/2026-12-07-north-field.txt");
               EXPECT_EQ(stored[2][0], '\0');
               // The archive written and read back, then the screen shown again.
               ASSERT_TRUE(g_GPS.SaveConfigFile());
               g_GPS.Info.Settings.szLogComboTexts.Init();
               ASSERT_TRUE(g_GPS.LoadConfigFile(false));
               EXPECT_EQ(std::string(stored[1]), "~/jobs/site-a/logs/2026-12-07-north-field.txt");
               Page()->OnInitDialog();
               EXPECT_EQ(Items(IDC_LOGS_FILE), outside + "|" + tooLong + "|" + underHome);
               EXPECT_EQ(Told(), "");
           }}});
}

// The running number never repeats: at its end an Auto ID is refused with a message and
// nothing is written; a Custom ID still goes in.
TEST_F(LoggingEdgeTest, AutoIdAtItsEnd) {
    const std::string head = kPointHeader;
    const std::string file = work_ / "points.txt";
    const std::string big = head + "3000000000      1.0 2.0 3.0\r\n";
    const std::string nearEnd = head + "2147483646      1.0 2.0 3.0\r\n";
    const std::string refusal =
        "An Auto ID goes up to 2147483647, and \"" + file +
        "\" already holds a point ID that large.\nChoose another file or a Custom ID.|";
    // File before (empty: as it is), ID mode, custom ID, the row's ID ("" none), message.
    const struct {
        std::string before;
        int mode;
        const char* custom;
        const char* id;
        std::string told;
    } steps[] = {
        {big, IDC_LOGS4_AUTO, "", "", refusal},          {"", IDC_LOGS4_AUTO, "", "", refusal},
        {"", IDC_LOGS4_CUSTOM, "C7", "C7", ""},          {"", IDC_LOGS4_AUTO, "", "", refusal},
        {nearEnd, IDC_LOGS4_AUTO, "", "2147483647", ""}, {"", IDC_LOGS4_AUTO, "", "", refusal},
        {"", IDC_LOGS4_AUTO, "", "", refusal},
    };
    Walk({{SCR_LOGS_4, [&] {
               Told();
               Click(IDC_LOGS_APPEND);
               for (const auto& s : steps) {
                   SCOPED_TRACE((s.before.empty() ? "" : s.before.substr(head.size())) + s.custom);
                   if (!s.before.empty()) {
                       WriteFile(file, s.before);
                       Click(IDC_LOGS_APPEND);  // a file-mode button rescans the file
                   }
                   const std::string before = ReadFile(file);
                   Click(s.mode);
                   Retype(IDC_LOGS4_ID, s.custom);
                   Retype(IDC_LOGS_FILE, file);
                   Click(IDC_LOGS4_LOG_POINT);
                   const std::string after = ReadFile(file);
                   EXPECT_EQ(Told(), s.told);
                   if (*s.id) {
                       ASSERT_GT(after.size(), before.size());
                       const std::string id = s.id;
                       EXPECT_EQ(after.substr(before.size(), 16),
                                 id + std::string(16 - id.size(), ' '));
                   } else {
                       EXPECT_EQ(after, before);
                   }
               }
           }}});
}

}  // namespace
