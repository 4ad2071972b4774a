// The logging screens at their edges: names under the home folder, the recent names a run
// keeps, the point log's running number at its end and in "Overwrite Existing File", and
// picked names that are not UTF-8.

#include <unistd.h>

#include <QTreeWidget>
#include <ctime>
#include <filesystem>
#include <set>

#include "platform/paths.h"
#include "screens/logging/LOGS_4.h"
#include "screens/logging/LOGS_5.h"
#include "screens/logging/logs_frame.h"
#include "screens/screen_walk.h"
#include "shell/FileListing.h"
#include "shell/FileOpenDlg.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using shelltest::ReadFile;
using shelltest::WriteFile;

// The names of the files in a folder, as bytes.
std::set<std::string> FileNames(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(dir)) names.insert(e.path().filename());
    return names;
}

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

// In "Overwrite Existing File" a file typed or chosen from the list is no file-mode change: it
// is neither emptied nor rescanned, and the running number goes on; a missing one begins with
// the header. Only the mode button empties the file named next.
TEST_F(LoggingEdgeTest, OverwriteModeTypedNamesEmptyNothing) {
    const std::string head = kPointHeader, a = work_ / "a.txt", b = work_ / "b.txt",
                      c = work_ / "c.txt", user = "user data\r\n7 x\r\n";
    WriteFile(b, user);
    const auto row = [](const char* id) {
        const LoggedPosition p = TakeLoggedPosition();
        return PointRow(id, p.dLat, p.dLon, p.dAlt);
    };
    // Mode button clicked first, file named, the file's bytes after "Log Point".
    const struct {
        bool button;
        std::string file, after;
    } steps[] = {
        {true, a, head + row("1")},
        {false, a, head + row("1") + row("2")},
        {false, b, user + row("3")},
        {false, c, head + row("4")},
        {false, a, head + row("1") + row("2") + row("5")},
        {true, b, head + row("1")},
    };
    Walk({{SCR_LOGS_4, [&] {
               Told();
               Click(IDC_LOGS4_AUTO);
               for (const auto& s : steps) {
                   SCOPED_TRACE(s.file + " " + std::to_string(&s - steps));
                   if (s.button) Click(IDC_LOGS_OVERWRITE);
                   Retype(IDC_LOGS_FILE, s.file);
                   Click(IDC_LOGS4_LOG_POINT);
                   EXPECT_EQ(ReadFile(s.file), s.after);
                   EXPECT_EQ(Told(), "");
               }
           }}});
}

// In "Overwrite Existing File" a Browse is a change for the file it picked only: another name
// typed after it empties nothing and the running number goes on; the picked file, named
// later, is emptied.
TEST_F(LoggingEdgeTest, OverwriteBrowseCountsForThePickedFileOnly) {
    const std::string head = kPointHeader, dir = work_.folder(), a = dir + "a.txt",
                      b = dir + "b.txt", x = dir + "x.txt", user = "user data\r\n7 x\r\n";
    WriteFile(b, user);
    WriteFile(x, "old\r\n");
    const auto row = [](const char* id) {
        const LoggedPosition p = TakeLoggedPosition();
        return PointRow(id, p.dLat, p.dLon, p.dAlt);
    };
    const auto logTo = [&](const std::string& file) {
        Retype(IDC_LOGS_FILE, file);
        Click(IDC_LOGS4_LOG_POINT);
        return ReadFile(file);
    };
    Walk({{SCR_LOGS_4,
           [&] {
               Told();
               Click(IDC_LOGS4_AUTO);
               Click(IDC_LOGS_OVERWRITE);
               EXPECT_EQ(logTo(a), head + row("1"));
               Click(IDC_LOGS_BROWSE);
           }},
          {Top<CFileOpenDlg>(), [] { PickFile("x.txt"); }},
          {SCR_LOGS_4, [&] {
               EXPECT_EQ(logTo(b), user + row("2"));
               EXPECT_EQ(ReadFile(x), "old\r\n");
               EXPECT_EQ(logTo(x), head + row("1"));
               EXPECT_EQ(logTo(b), user + row("2") + row("2"));
               EXPECT_EQ(Told(), "");
           }}});
}

// A file or folder picked in the browser whose name is not UTF-8 is shown with replacement
// characters, and every log still writes the file picked: no lookalike file or folder.
TEST_F(LoggingEdgeTest, PickedNamesAreBytes) {
    {
        NavInfo& nav = g_GPS.Info.Nav;
        RecordLock lock(nav.ulNavLock);
        nav.iFixQuality = 1;
    }
    const std::string dir = work_.folder(), odd = "d\xE9j\xE0", fffd = "\xEF\xBF\xBD";
    const std::string oddShown = "d" + fffd + "j" + fffd;
    const std::string askDefault = "Do you want the system to\ncreate a default file for you?|";
    fs::create_directory(dir + odd);
    WriteFile(dir + "log\xFF.txt", "old\r\n");
    WriteFile(dir + "raw\xFF.bin", "R");
    WriteFile(dir + "pt\xFF.txt", "");
    const std::string station = std::string("S\0t\0a\0t\0i\0o\0n\0 \0I\0D\0:\0 \0", 24) + "\r\n";
    std::tm tm{};
    const std::time_t now = std::time(nullptr);
    localtime_r(&now, &tm);
    const auto defaultName = [&](int type) {
        return dir + odd + "/" +
               filebrowser::DefaultFileName(dir + odd + "/", type, tm.tm_year + 1900, tm.tm_mon + 1,
                                            tm.tm_mday);
    };
    // The file clicked (empty: the odd folder with a default name), how it shows, the buttons,
    // the name field, and what the file then begins with.
    const struct {
        eScreen screen;
        int mode;
        std::string pick, shown;
        int type;
        std::vector<int> clicks;
        eLogFile field;
        std::string begins;
    } logs[] = {
        // clang-format off
        {SCR_LOGS_1, IDC_LOGS_OVERWRITE, "log\xFF.txt", "log" + fffd + ".txt", 1,
         {IDC_LOGS_START, IDC_LOGS_STOP}, LOGFILE_NMEA, ""},
        {SCR_LOGS_2, IDC_LOGS_APPEND, "raw\xFF.bin", "raw" + fffd + ".bin", 2,
         {IDC_LOGS_START, IDC_LOGS_STOP}, LOGFILE_RAW, "R" + station},
        {SCR_LOGS_3, 1034, "", "", 3, {IDC_LOGS_START, IDC_LOGS_STOP}, LOGFILE_BIN, ""},
        {SCR_LOGS_4, IDC_LOGS_APPEND, "pt\xFF.txt", "pt" + fffd + ".txt", 4,
         {IDC_LOGS4_LOG_POINT}, LOGFILE_POINT, kPointHeader + std::string("1 ")},
        {SCR_LOGS_5, 1036, "", "", 5, {IDC_LOGS5_START, IDC_LOGS5_CLOSE}, LOGFILE_POLYGON,
         "Start Polygon\r\n"},
        // clang-format on
    };
    std::vector<std::string> made;
    std::vector<Step> steps;
    for (size_t i = 0; i < std::size(logs); ++i) {
        const auto& log = logs[i];
        steps.push_back({log.screen, [&] {
                             Told();
                             Click(log.mode);
                             Retype(IDC_LOGS_FILE, dir + "start.txt");
                             Click(IDC_LOGS_BROWSE);
                         }});
        steps.push_back({Top<CFileOpenDlg>(), [&] {
                             auto* dlg =
                                 dynamic_cast<CFileOpenDlg*>(ui::Host::Instance().TopPage());
                             ASSERT_NE(dlg, nullptr);
                             if (log.pick.empty()) {
                                 QTreeWidgetItem* current =
                                     dlg->Item<QTreeWidget>(1003)->currentItem();
                                 ASSERT_TRUE(current && current->childCount() == 1);
                                 dlg->Item<QTreeWidget>(1003)->setCurrentItem(current->child(0));
                             }
                             PickFile(log.pick);
                         }});
        steps.push_back({log.screen, [&, i] {
                             SCOPED_TRACE(i);
                             const std::string path =
                                 log.pick.empty() ? defaultName(log.type) : dir + log.pick;
                             const std::string shown =
                                 log.pick.empty() ? dir + oddShown + path.substr(path.rfind('/'))
                                                  : dir + log.shown;
                             EXPECT_EQ(Text(IDC_LOGS_FILE), shown);
                             EXPECT_EQ(Told(), log.pick.empty() ? askDefault : "");
                             for (int id : log.clicks) Click(id);
                             EXPECT_EQ(Told(), "");
                             EXPECT_EQ(theApp().GetLogFile(log.field), path);
                             EXPECT_EQ(ReadFile(path).substr(0, log.begins.size()), log.begins);
                             if (log.pick.empty()) made.push_back(path.substr(path.rfind('/') + 1));
                             if (i + 1 < std::size(logs))
                                 SelectTab(IDC_LOGS_TAB, static_cast<int>(i) + 1);
                         }});
    }
    Walk(steps);
    const auto names = [](const std::string& folder) {
        std::set<std::string> out;
        for (const auto& e : fs::directory_iterator(folder)) out.insert(e.path().filename());
        return out;
    };
    EXPECT_EQ(names(dir), (std::set<std::string>{"log\xFF.txt", "raw\xFF.bin", "pt\xFF.txt", odd}));
    EXPECT_EQ(names(dir + odd), std::set<std::string>(made.begin(), made.end()));
    EXPECT_EQ(made.size(), 2u);
}

// Every name picked in the browser keeps its bytes for the run: one that is not UTF-8, chosen
// again from the list after another pick or after the screen was filled again, logs to the
// file picked, never to a lookalike.
TEST_F(LoggingEdgeTest, PickedNamesKeepTheirBytesInTheList) {
    const std::string dir = work_.folder(), odd = dir + "log\xFF.txt", plain = dir + "b.txt";
    WriteFile(odd, "old\r\n");
    WriteFile(plain, "B\r\n");
    const std::string oddShown = dir + "log\xEF\xBF\xBD.txt";
    const auto startStop = [this] {
        Click(IDC_LOGS_START);
        Click(IDC_LOGS_STOP);
        return theApp().szNMEALogFile();
    };
    const auto chooseOdd = [&, this] {
        EXPECT_EQ(Items(IDC_LOGS_FILE), plain + "|" + oddShown);
        Choose(IDC_LOGS_FILE, 1);
        EXPECT_EQ(Text(IDC_LOGS_FILE), oddShown);
        EXPECT_EQ(startStop(), odd);
    };
    Walk({{SCR_LOGS_1,
           [&] {
               Told();
               Click(IDC_LOGS_APPEND);
               Retype(IDC_LOGS_FILE, dir + "start.txt");
               Click(IDC_LOGS_BROWSE);
           }},
          {Top<CFileOpenDlg>(), [] { PickFile("log\xFF.txt"); }},
          {SCR_LOGS_1,
           [&] {
               EXPECT_EQ(startStop(), odd);
               Click(IDC_LOGS_BROWSE);
           }},
          {Top<CFileOpenDlg>(), [] { PickFile("b.txt"); }},
          {SCR_LOGS_1,
           [&] {
               EXPECT_EQ(startStop(), plain);
               chooseOdd();
               SelectTab(IDC_LOGS_TAB, 1);
           }},
          {SCR_LOGS_2, [&] { SelectTab(IDC_LOGS_TAB, 0); }},
          {SCR_LOGS_1, [&] {
               Click(IDC_LOGS_APPEND);
               chooseOdd();
               EXPECT_EQ(Told(), "");
               EXPECT_EQ(FileNames(dir), (std::set<std::string>{"log\xFF.txt", "b.txt"}));
               EXPECT_EQ(ReadFile(odd), "old\r\n");
           }}});
}

// Two names that look alike (bytes that are not UTF-8 shown as the same replacement character)
// are two entries of the list, each leading to the file it was picked as, also after the
// screen was filled again; no lookalike file is made.
TEST_F(LoggingEdgeTest, LookalikeNamesStayApartInTheList) {
    const std::string dir = work_.folder(), shown = "log\xEF\xBF\xBD.txt";
    WriteFile(dir + "log\xFE.txt", "FE\r\n");
    WriteFile(dir + "log\xFF.txt", "FF\r\n");
    const auto pick = [&](int nth) {
        auto* browser = dynamic_cast<CFileOpenDlg*>(ui::Host::Instance().TopPage());
        auto* list = browser->Item<QTreeWidget>(1001);
        const auto items = list->findItems(QString::fromStdString(shown), Qt::MatchExactly, 0);
        ASSERT_EQ(items.size(), 2);
        ui::UserClick(list->viewport(), list->visualItemRect(items[nth]).center());
        ui::UserClickDesign(81, 430);
    };
    const auto startStop = [this] {
        Click(IDC_LOGS_START);
        Click(IDC_LOGS_STOP);
        return theApp().szNMEALogFile();
    };
    std::string first, second;
    const auto chooseEach = [&] {
        EXPECT_EQ(Items(IDC_LOGS_FILE), dir + shown + "|" + dir + shown);
        Choose(IDC_LOGS_FILE, 0);
        EXPECT_EQ(startStop(), second);
        Choose(IDC_LOGS_FILE, 1);
        EXPECT_EQ(startStop(), first);
        Choose(IDC_LOGS_FILE, 0);
        EXPECT_EQ(startStop(), second);
    };
    Walk({{SCR_LOGS_1,
           [&] {
               Told();
               Click(IDC_LOGS_APPEND);
               Retype(IDC_LOGS_FILE, dir + "start.txt");
               Click(IDC_LOGS_BROWSE);
           }},
          {Top<CFileOpenDlg>(), [&] { pick(0); }},
          {SCR_LOGS_1,
           [&] {
               first = startStop();
               Click(IDC_LOGS_BROWSE);
           }},
          {Top<CFileOpenDlg>(), [&] { pick(1); }},
          {SCR_LOGS_1,
           [&] {
               second = startStop();
               EXPECT_NE(first, second);
               chooseEach();
               SelectTab(IDC_LOGS_TAB, 1);
           }},
          {SCR_LOGS_2, [&] { SelectTab(IDC_LOGS_TAB, 0); }},
          {SCR_LOGS_1, [&] {
               Click(IDC_LOGS_APPEND);
               chooseEach();
               EXPECT_EQ(Told(), "");
               EXPECT_EQ(FileNames(dir), (std::set<std::string>{"log\xFE.txt", "log\xFF.txt"}));
               EXPECT_EQ(ReadFile(dir + "log\xFE.txt"), "FE\r\n");
           }}});
}

// A rate a row's list does not hold (20 Hz, 10 Hz outside the heading rows, "5 Hz" on a
// two-item row) leaves that row without a selection, never on "OFF", at every activation, and
// is still sent; one it holds is shown.
TEST_F(LoggingEdgeTest, RateRowsShowOnlyWhatTheyHold) {
    g_GPS.Info.eReceiverType = RECEIVER_HEADING;
    PortConfig& cfg = g_GPS.Info.Settings.NMEALogConfig;
    // Combo, its field, the stored code, the item shown ("" none).
    const struct {
        int combo;
        int32_t PortConfig::*field;
        int code;
        const char* shown;
    } rows[] = {
        {1053, &PortConfig::eHEHDT, RATE_20HZ, ""}, {1054, &PortConfig::eHEROT, RATE_10HZ, "10Hz"},
        {1055, &PortConfig::eHPR, RATE_20HZ, ""},   {1037, &PortConfig::eGSA, 3, ""},
        {1035, &PortConfig::eGGA, 1, "5 s"},        {1036, &PortConfig::eGLL, RATE_20HZ, ""},
        {1049, &PortConfig::eVTG, RATE_10HZ, ""},
    };
    for (const auto& r : rows) cfg.*r.field = r.code;
    Walk({{SCR_LOGS_1, [&] {
               for (int pass = 0; pass < 2; ++pass) {
                   if (pass) Page()->OnInitDialog();
                   for (const auto& r : rows) {
                       SCOPED_TRACE(r.combo);
                       EXPECT_EQ(Text(r.combo), r.shown);
                       EXPECT_EQ(Page()->GetCurSel(r.combo) < 0, *r.shown == '\0');
                   }
               }
               const std::string sent = Sent();
               for (const char* line :
                    {"$JASC,HEHDT,20\r\n", "$JASC,HEROT,10\r\n", "$JASC,HPR,20\r\n",
                     "$JASC,GPGSA,5\r\n", "$JASC,GPGLL,20\r\n", "$JASC,GPVTG,10\r\n"})
                   EXPECT_NE(sent.find(line), std::string::npos) << line;
           }}});
}

}  // namespace
