// The logging screens headless: rates on the wire, the log files the reader thread writes
// after Start in each file mode, refused starts, the recent lists across a restart, and the
// point and polygon files with their areas.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "engine/gps.h"
#include "engine/reader_sinks.h"
#include "engine/thread.h"
#include "platform/numbers.h"
#include "screens/logging/LOGS_1.h"
#include "screens/logging/LOGS_2.h"
#include "screens/logging/LOGS_3.h"
#include "screens/logging/LOGS_4.h"
#include "screens/logging/LOGS_5.h"
#include "shell/ExitInstance.h"
#include "shell/FileListing.h"
#include "shell/FileOpenDlg.h"
#include "shell/Tessaray_PC.h"
#include "support/frames.h"
#include "support/qt/screen_harness.h"
#include "support/qt/shell_harness.h"
#include "ui/automation.h"
#include "ui/dialog.h"
#include "ui/messagebox.h"

namespace {

using testsupport::BinFrame;
using testsupport::NmeaSentence;

constexpr int kNmeaCreateNew = 1034;
constexpr int kRawCreateNew = 1036;

class LoggingTest : public shelltest::ScreenTest {
protected:
    void Start(eScreen screen, double scale = 1.0) {
        ScreenTest::Start(scale);
        dir_ = shelltest::TempDir() + "/logs/";
        reader_ = std::make_unique<CGPSThread>(nullptr, &sinks_);
        Open(screen);
    }

    std::string Path(const std::string& name) const { return dir_ + name; }

    // Replaces the text of an editable combo as the user does: select all, type.
    void TypeOver(int id, const std::string& text) {
        auto* combo = dynamic_cast<QComboBox*>(Page()->GetDlgItem(id));
        ASSERT_NE(combo, nullptr);
        combo->lineEdit()->selectAll();
        if (text.empty()) {
            ui::UserKey(combo->lineEdit(), Qt::Key_Delete);
        } else {
            Type(id, text);
        }
    }

    // Received bytes through the reader thread's framing, dispatch and loggers.
    void Receive(const std::string& bytes) { reader_->FrameBytes(bytes.data(), bytes.size()); }

    // Clicks a tab. A screen's first visit runs its loop inside the click's handling, so
    // this ends a step and the next waits for the screen.
    void Tab(int index) { ASSERT_TRUE(ui::UserSelectTab(Page()->GetDlgItem(IDC_LOGS_TAB), index)); }

    bool Lamp() const {
        return Page()->IsItemVisible(IDC_LOGS_LAMP_ON) && !Page()->IsItemVisible(IDC_LOGS_LAMP_OFF);
    }

    static void SetPosition(double lat, double lon, float alt, bool bin1 = false) {
        NavInfo& n = g_GPS.Info.Nav;
        RecordLock lock(n.ulNavLock);
        const auto part = [bin1](double v, int32_t& deg, double& min) {
            const double a = std::fabs(v);
            deg = static_cast<int32_t>(a);
            min = (a - deg) * 60.0;
            if (bin1 && v < 0) deg = -deg;
        };
        part(lat, n.iLatDeg, n.dLatMin);
        part(lon, n.iLonDeg, n.dLonMin);
        n.cLatDir = lat < 0 ? 'S' : 'N';
        n.cLonDir = lon < 0 ? 'W' : 'E';
        n.fAltitude = alt;
        n.iFixQuality = 1;
        theApp().bBin1Position = bin1 ? 1 : 0;
    }

    ui::MessageBoxRecorder boxes;
    std::string dir_;
    EngineSinks sinks_;
    std::unique_ptr<CGPSThread> reader_;
};

const std::string kGGA =
    NmeaSentence("GPGGA,120000.00,5100.0000,N,00100.0000,W,1,08,0.9,10.0,M,,M,,");
const std::string kVTG = NmeaSentence("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A");

std::string Lines(const std::vector<std::string>& v) {
    std::string s;
    for (const std::string& l : v) s += l;
    return s;
}

// ---------------------------------------------------------------------------------------
// NMEA log

TEST_F(LoggingTest, NmeaRatesGoOutInTheirOrderAndComeBackOnActivation) {
    Start(SCR_LOGS_1);
    g_GPS.Info.Comm.iOpenBaudRate = 57600;
    struct Case {
        int combo, position, code;
        const char* first;  // the changed sentence's command
    };
    const Case cases[] = {
        {1035, 3, 1, "$JASC,GPGGA,0.2\r\n"}, {1053, 4, 4, "$JASC,HEHDT,10\r\n"},
        {1053, 1, 2, "$JASC,HEHDT,1\r\n"},   {1037, 1, 2, "$JASC,GPGSA,1\r\n"},
        {1049, 2, 3, "$JASC,GPVTG,5\r\n"},
    };
    g_GPS.Info.eReceiverType = RECEIVER_HEADING;
    ui::StepRunner run;
    WaitShown(run, SCR_LOGS_1);
    run.Add([&] {
        // Entry sends all twelve, in the receiver's order.
        const std::vector<std::string> entry = Wire();
        ASSERT_EQ(entry.size(), 12u);
        const char* order[] = {"GPGGA", "GPGLL", "GPGST", "GPGSV", "GPRMC", "GPRRE",
                               "GPVTG", "GPZDA", "GPGSA", "HEHDT", "HEROT", "HPR"};
        for (size_t i = 0; i < entry.size(); ++i)
            EXPECT_EQ(entry[i], std::string("$JASC,") + order[i] + ",0\r\n");
        for (const Case& c : cases) {
            ClearWire();
            Choose(c.combo, c.position);
            EXPECT_EQ(Wire().size(), 12u) << c.first;
            EXPECT_NE(Lines(Wire()).find(c.first), std::string::npos) << c.first;
        }
        EXPECT_EQ(g_GPS.Info.Settings.NMEALogConfig.eGGA, 1);
        EXPECT_EQ(g_GPS.Info.Settings.NMEALogConfig.eHEHDT, 2);
        // A stored code the two-item combo lacks leaves it without a selection.
        g_GPS.Info.Settings.NMEALogConfig.eGST = 1;
        g_GPS.Info.eReceiverType = RECEIVER_GPS;
        Page()->OnInitDialog();
        EXPECT_EQ(Text(1035), "5 s");
        EXPECT_EQ(Text(1049), "5 Hz");
        EXPECT_EQ(Page()->GetCurSel(1038), -1);
        // Heading sentences only on a heading receiver, but their rates are still sent.
        EXPECT_FALSE(Page()->IsItemEnabled(1053));
        EXPECT_NE(Lines(Wire()).find("$JASC,HEHDT,1\r\n"), std::string::npos);
        EndAll();
    });
    Run(run);
}

// Every file mode and answer: what the file holds after a recording of GGA and VTG with
// only GGA chosen, and whether the log ran.
TEST_F(LoggingTest, NmeaLogFileInEachModeThroughTheReader) {
    Start(SCR_LOGS_1);
    g_GPS.Info.Comm.iOpenBaudRate = 57600;
    struct Case {
        const char* name;
        int mode;            // radio button
        const char* before;  // file content before, nullptr: no file
        int answer;          // answer to the emptying question, 0: none asked
        bool runs;
        std::string after;
    };
    const std::string old = "old line\r\n";
    const Case cases[] = {
        {"append to nothing", IDC_LOGS_APPEND, nullptr, 0, true, kGGA + kGGA},
        {"append keeps", IDC_LOGS_APPEND, "old line\r\n", 0, true, old + kGGA + kGGA},
        {"overwrite empties", IDC_LOGS_OVERWRITE, "old line\r\n", 0, true, kGGA + kGGA},
        {"create new, yes", kNmeaCreateNew, "old line\r\n", ui::IDYES, true, kGGA + kGGA},
        {"create new, no", kNmeaCreateNew, "old line\r\n", ui::IDNO, false, old},
        {"create new, empty file", kNmeaCreateNew, "", 0, true, kGGA + kGGA},
    };
    ui::StepRunner run;
    WaitShown(run, SCR_LOGS_1);
    run.Add([&] {
        Tick();  // no baud note at 57600
        Choose(1035, 1);
        int n = 0;
        for (const Case& c : cases) {
            const std::string path = Path(platform::Format("sub%d/nmea.txt", n++));
            if (c.before) {
                ASSERT_EQ(::mkdir(dir_.c_str(), 0755) == 0 || errno == EEXIST, true);
                ::mkdir(path.substr(0, path.rfind('/')).c_str(), 0755);
                shelltest::WriteFile(path, c.before);
            }
            boxes.Clear();
            if (c.answer) boxes.Answer(c.answer);
            TypeOver(IDC_LOGS_FILE, path);
            Click(c.mode);
            Click(IDC_LOGS_START);
            EXPECT_EQ(boxes.shown().size(), c.answer ? 1u : 0u) << c.name;
            EXPECT_EQ(theApp().bNMEALogOn.load(), c.runs ? 1 : 0) << c.name;
            Tick();
            EXPECT_EQ(Lamp(), c.runs) << c.name;
            EXPECT_EQ(Page()->IsItemEnabled(IDC_LOGS_START), !c.runs) << c.name;
            Receive(kGGA + kVTG + kGGA);
            Click(IDC_LOGS_STOP);
            Receive(kGGA);  // after Stop: closed, not written
            Tick();
            EXPECT_FALSE(Lamp()) << c.name;
            EXPECT_EQ(shelltest::ReadFile(path), c.after) << c.name;
        }
        EndAll();
    });
    Run(run);
}

// Starts that must not happen, and a log the reader thread stopped after a write error.
TEST_F(LoggingTest, RefusedStartsNameTheFileAndWhy) {
    Start(SCR_LOGS_1);
    g_GPS.Info.Comm.iOpenBaudRate = 19200;
    ::mkdir(dir_.c_str(), 0755);
    // A folder that cannot be made, whoever runs the test: its parent is a file.
    const std::string blocked = Path("plain");
    shelltest::WriteFile(blocked, "x");
    const std::string device = Path("device.txt");
    ASSERT_EQ(::symlink("/dev/full", device.c_str()), 0);
    const std::string full = Path("full.txt");
    ui::StepRunner run;
    WaitShown(run, SCR_LOGS_1);
    run.Add([&] {
        // The baud note once, at the first tick of the first opening.
        Tick();
        Tick();
        ASSERT_EQ(boxes.texts().size(), 1u);
        EXPECT_EQ(boxes.texts()[0], kBaudNoteText);
        Choose(1035, 1);

        struct Case {
            std::string name;
            std::string says;  // part of the message
        };
        const std::vector<Case> cases = {
            {Path("a.Txt"), kWrongTxtText},
            {Path("a.bin"), kWrongTxtText},
            {Path("txt"), kWrongTxtText},
            {blocked + "/deeper/x.txt", blocked},
            {device, device + ": not a regular file"},
        };
        for (const Case& c : cases) {
            boxes.Clear();
            TypeOver(IDC_LOGS_FILE, c.name);
            Click(IDC_LOGS_START);
            ASSERT_EQ(boxes.texts().size(), 1u) << c.name;
            EXPECT_NE(boxes.texts()[0].find(c.says), std::string::npos) << boxes.texts()[0];
            EXPECT_EQ(theApp().bNMEALogOn.load(), 0) << c.name;
            EXPECT_EQ(theApp().wLogFlags.load() & LOG_NMEA, 0u) << c.name;
        }

        // A file that takes no bytes (the process may write none): the reader stops the log,
        // the screen shows it stopped and Start can be pressed again.
        TypeOver(IDC_LOGS_FILE, full);
        Click(IDC_LOGS_APPEND);
        Click(IDC_LOGS_START);
        EXPECT_EQ(theApp().bNMEALogOn.load(), 1);
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit none{0, limit.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &none);
        Receive(kGGA);
        ::setrlimit(RLIMIT_FSIZE, &limit);
        EXPECT_EQ(theApp().bNMEALogOn.load(), 0);
        Tick();
        EXPECT_FALSE(Lamp());
        EXPECT_TRUE(Page()->IsItemEnabled(IDC_LOGS_START));

        // A file the NMEA log writes, named another way, is refused by the binary log.
        Tab(2);
    });
    WaitShown(run, SCR_LOGS_3);
    run.Add([&] {
        const std::string shared = Path("shared.bin");
        boxes.Clear();
        theApp().SetLogFile(LOGFILE_NMEA, Path("../logs/shared.bin"));
        theApp().bNMEALogOn = 1;
        TypeOver(IDC_LOGS_FILE, shared);
        Click(IDC_LOGS_START);
        ASSERT_EQ(boxes.texts().size(), 1u);
        EXPECT_NE(boxes.texts()[0].find(shared), std::string::npos);
        EXPECT_NE(boxes.texts()[0].find("NMEA log"), std::string::npos);
        EXPECT_EQ(theApp().bBinLogOn.load(), 0);
        theApp().bNMEALogOn = 0;
        EndAll();
    });
    Run(run);
}

// ---------------------------------------------------------------------------------------
// Raw-data and binary logs

TEST_F(LoggingTest, RawLogStationLinesAndFrames) {
    Start(SCR_LOGS_2);
    const std::string path = Path("raw/rover.bin");
    const std::string f93 = BinFrame(93, std::string(56, '\x01'));
    const std::string f94 = BinFrame(94, std::string(96, '\x02'));
    const std::string f95 = BinFrame(95, std::string(128, '\x0A'));
    const std::string f96 = BinFrame(96, std::string(304, '\x0D'));
    ui::StepRunner run;
    WaitShown(run, SCR_LOGS_2);
    run.Add([&] {
        EXPECT_EQ(Lines(Wire()), "$JBIN,96,0\r\n$JBIN,95,0\r\n");
        ClearWire();
        Choose(IDC_LOGS2_RATE, 3);
        EXPECT_EQ(Lines(Wire()), "$JBIN,96,0.2\r\n$JBIN,95,0.2\r\n");
        EXPECT_EQ(g_GPS.Info.Settings.NMEALogConfig.eBIN95, 1);
        EXPECT_EQ(g_GPS.Info.Settings.NMEALogConfig.eBIN96, 1);

        TypeOver(IDC_LOGS_FILE, path);
        TypeOver(IDC_LOGS2_STATION, "ABCDE");
        Click(IDC_LOGS_START);
        // Both words are set, so messages 93 to 96 all pass.
        Receive(f93 + f94 + f95 + f96);
        Click(IDC_LOGS_STOP);
        Receive(f95);
        // A second recording appends; a station line whose unit holds 0x0A stays whole.
        TypeOver(IDC_LOGS2_STATION, "\xC4\x8A");  // U+010A
        Click(IDC_LOGS_APPEND);
        Click(IDC_LOGS_START);
        Receive(f95);
        Click(IDC_LOGS_STOP);
        Receive(f95);

        std::string line1;
        for (char c : std::string("Station ID: ABCDE")) line1 += std::string{c, '\0'};
        std::string line2;
        for (char c : std::string("Station ID: ")) line2 += std::string{c, '\0'};
        line2 += std::string("\x0A\x01", 2);
        const std::string want = line1 + "\r\n" + f93 + f94 + f95 + f96 + line2 + "\r\n" + f95;
        EXPECT_EQ(shelltest::ReadFile(path), want);
        // The station ID is kept only when added.
        EXPECT_EQ(Page()->GetCount(IDC_LOGS2_STATION), 0);
        Click(IDC_LOGS2_ADD);
        EXPECT_EQ(Page()->GetCount(IDC_LOGS2_STATION), 1);
        EndAll();
    });
    Run(run);
}

// The two logs share messages 95 and 96: neither screen lowers them while the other log
// needs them. iBin1Rate follows the binary log only once it runs.
TEST_F(LoggingTest, BinaryLogRatesAndTheRawLogsMessages) {
    Start(SCR_LOGS_2);
    ui::StepRunner run;
    WaitShown(run, SCR_LOGS_2);
    run.Add([&] {
        Choose(IDC_LOGS2_RATE, 1);
        TypeOver(IDC_LOGS_FILE, Path("r.bin"));
        Click(IDC_LOGS_START);
        ASSERT_EQ(theApp().bRawLogOn.load(), 1);
        ClearWire();
        Tab(2);
    });
    WaitShown(run, SCR_LOGS_3);
    run.Add([&] {
        const char* all[] = {"$JBIN,1,0\r\n",  "$JBIN,2,0\r\n",  "$JBIN,80,0\r\n",
                             "$JBIN,95,1\r\n", "$JBIN,96,1\r\n", "$JBIN,97,0\r\n",
                             "$JBIN,98,0\r\n", "$JBIN,99,0\r\n", "$JASC,D1,0\r\n"};
        std::string want;
        for (const char* s : all) want += s;
        EXPECT_EQ(Lines(Wire()), want);
        // "1 Hz" on Bin80 re-sends all nine; the stored 95 and 96 stay the user's choice.
        ClearWire();
        Choose(1037, 1);
        EXPECT_EQ(Wire().size(), 9u);
        EXPECT_EQ(Wire()[2], "$JBIN,80,1\r\n");
        EXPECT_EQ(g_GPS.Info.Settings.BinLogRates.eBIN95, 0);

        // iBin1Rate: a refused Start leaves it; 5 Hz once started; Stop returns it to 1.
        Choose(1035, 2);
        TypeOver(IDC_LOGS_FILE, Path("b.txt"));
        Click(IDC_LOGS_START);
        EXPECT_EQ(theApp().iBin1Rate.load(), 1);
        TypeOver(IDC_LOGS_FILE, Path("b.bin"));
        Click(IDC_LOGS_START);
        EXPECT_EQ(theApp().iBin1Rate.load(), 5);
        Receive(BinFrame(1, std::string(52, '\0')) + BinFrame(2, std::string(16, '\0')) +
                NmeaSentence("RD1,1,2") + BinFrame(80, std::string(40, '\0')));
        Click(IDC_LOGS_STOP);
        EXPECT_EQ(theApp().iBin1Rate.load(), 1);
        EXPECT_EQ(shelltest::ReadFile(Path("b.bin")),
                  BinFrame(1, std::string(52, '\0')) + BinFrame(80, std::string(40, '\0')));
        // So does a log the reader stops itself on a file that takes no bytes.
        TypeOver(IDC_LOGS_FILE, Path("full.bin"));
        Click(IDC_LOGS_START);
        EXPECT_EQ(theApp().iBin1Rate.load(), 5);
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{};
        ::getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit none{0, limit.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &none);
        Receive(BinFrame(1, std::string(52, '\0')));
        ::setrlimit(RLIMIT_FSIZE, &limit);
        EXPECT_EQ(theApp().bBinLogOn.load(), 0);
        EXPECT_EQ(theApp().iBin1Rate.load(), 1);
        Tick();

        // The reverse: with the binary log running at 1 Hz on 95, the raw screen's OFF
        // leaves 95 on.
        Choose(1038, 1);
        Click(IDC_LOGS_START);
        theApp().bRawLogOn = 0;
        Tab(1);
    });
    WaitShown(run, SCR_LOGS_2);
    run.Add([&] {
        ClearWire();
        Choose(IDC_LOGS2_RATE, 0);
        EXPECT_EQ(Lines(Wire()), "$JBIN,96,0\r\n$JBIN,95,1\r\n");
        EndAll();
    });
    Run(run);
}

// Browse in "Create New File" mode chooses a folder; OK names a default file in it, and the
// point screen takes that as a new file (header, IDs from 1).
TEST_F(LoggingTest, BrowseGivesTheDefaultNameOfTheFolder) {
    Start(SCR_LOGS_4);
    ::mkdir(dir_.c_str(), 0755);
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    const std::string name =
        filebrowser::DefaultFileName(dir_, 4, tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday);
    ui::StepRunner run;
    WaitShown(run, SCR_LOGS_4);
    run.Add([&] {
        Click(IDC_LOGS4_LOG_POINT);  // a first point in some file, so the running number is 1
        TypeOver(IDC_LOGS_FILE, Path("first.txt"));
        Click(IDC_LOGS4_LOG_POINT);
        ui::UserClick(Page()->GetDlgItem(IDC_LOGS_BROWSE));  // its loop runs the next steps
    });
    run.AddWait([] { return dynamic_cast<CFileOpenDlg*>(ui::Host::Instance().TopPage()); }, 5000,
                [] { ADD_FAILURE() << "no file browser"; });
    run.Add([] { ui::UserClickDesign(80, 430); });  // the banner's OK
    WaitShown(run, SCR_LOGS_4);
    run.Add([&] {
        EXPECT_EQ(Text(IDC_LOGS_FILE), dir_ + name);
        Click(IDC_LOGS4_LOG_POINT);
        const std::string file = shelltest::ReadFile(dir_ + name);
        EXPECT_EQ(file.substr(0, std::strlen(kPointHeader) + 2), std::string(kPointHeader) + "1 ");
        EndAll();
    });
    Run(run);
}

// ---------------------------------------------------------------------------------------
// Recent lists

TEST_F(LoggingTest, RecentListsSurviveARestart) {
    Start(SCR_LOGS_1);
    g_GPS.Info.Comm.iOpenBaudRate = 57600;
    const std::string sixty(56, 'n');
    ui::StepRunner run;
    WaitShown(run, SCR_LOGS_1);
    run.Add([&] {
        const std::vector<std::string> names = {
            "a1.txt", "a2.txt", "café.txt", "Log.txt", "log.txt",  "a6.txt",       "a7.txt",
            "a8.txt", "a9.txt", "a10.txt",  "a11.txt", "Łódź.txt", sixty + ".txt", "a6.txt"};
        ASSERT_EQ(::chdir(shelltest::TempDir().c_str()), 0);
        for (const std::string& n : names) {
            TypeOver(IDC_LOGS_FILE, n);
            Click(IDC_LOGS_START);
            ASSERT_EQ(theApp().bNMEALogOn.load(), 1) << n;
            EXPECT_EQ(theApp().szNMEALogFile(), n);
            Click(IDC_LOGS_STOP);
        }
        ASSERT_TRUE(g_GPS.SaveConfigFile());
        g_GPS.Info.Settings.szLogComboTexts.Init();
        ASSERT_TRUE(g_GPS.LoadConfigFile(false));
        Page()->OnInitDialog();
        // Newest first; names the archive cannot hold are left out; "a6.txt" stays where it
        // was; names differing by case are two names.
        const std::vector<std::string> want = {"a11.txt",  "a10.txt", "a9.txt",  "a8.txt",
                                               "a7.txt",   "a6.txt",  "log.txt", "Log.txt",
                                               "café.txt", "a2.txt"};
        ASSERT_EQ(Page()->GetCount(IDC_LOGS_FILE), static_cast<int>(want.size()));
        for (size_t i = 0; i < want.size(); ++i)
            EXPECT_EQ(Page()->GetLBText(IDC_LOGS_FILE, static_cast<int>(i)), want[i]);
        EXPECT_EQ(std::string(g_GPS.Info.Settings.szLogComboTexts.szNMEALogRecent[8]),
                  "caf\xE9.txt");
        EndAll();
    });
    Run(run);
}

// ---------------------------------------------------------------------------------------
// Point log

TEST_F(LoggingTest, PointFilesRowByRow) {
    Start(SCR_LOGS_4);
    const std::string a = Path("pts/a.txt");
    const std::string b = Path("pts/b.txt");
    struct Step {
        const char* what;
        std::string file;
        int mode;            // file-mode button, 0: unchanged
        int idMode;          // IDC_LOGS4_AUTO / IDC_LOGS4_CUSTOM
        const char* custom;  // typed ID
        double lat, lon;
        bool bin1;
        std::string row;  // the row written, "" for none
    };
    const std::string head = kPointHeader;
    const std::vector<Step> steps = {
        {"new file, auto", a, kRawCreateNew, IDC_LOGS4_AUTO, "", -33.875, 151.2, false,
         "1               -33.8750000     151.2000000     12.500    \r\n"},
        {"next auto", a, 0, IDC_LOGS4_AUTO, "", 1.0, 2.0, false,
         "2               1.0000000       2.0000000       12.500    \r\n"},
        {"custom id", a, 0, IDC_LOGS4_CUSTOM, "120A", 1.0, 2.0, false,
         "120A            1.0000000       2.0000000       12.500    \r\n"},
        {"empty custom id", a, 0, IDC_LOGS4_CUSTOM, "", 1.0, 2.0, false,
         "                1.0000000       2.0000000       12.500    \r\n"},
        {"typed new file: header, from 1", b, 0, IDC_LOGS4_AUTO, "", 0.0, -0.5, true,
         "1               0.0000000       -0.5000000      12.500    \r\n"},
        {"back to a in append mode: rescanned", a, IDC_LOGS_APPEND, IDC_LOGS4_AUTO, "", -0.25, 0.0,
         true, "121             -0.2500000      0.0000000       12.500    \r\n"},
        {"too long an id", a, 0, IDC_LOGS4_CUSTOM, "12345678901234567890123456789012", 0, 0, false,
         ""},
    };
    ui::StepRunner run;
    WaitShown(run, SCR_LOGS_4);
    run.Add([&] {
        std::string fileA;
        std::string fileB;
        for (const Step& s : steps) {
            boxes.Clear();
            if (s.mode) Click(s.mode);
            Click(s.idMode);
            TypeOver(IDC_LOGS4_ID, s.custom);
            TypeOver(IDC_LOGS_FILE, s.file);
            SetPosition(s.lat, s.lon, 12.5f, s.bin1);
            Click(IDC_LOGS4_LOG_POINT);
            std::string& content = s.file == a ? fileA : fileB;
            if (content.empty() && !s.row.empty()) content = head;
            content += s.row;
            EXPECT_EQ(shelltest::ReadFile(s.file), content) << s.what;
            EXPECT_EQ(boxes.texts().size(), s.row.empty() ? 1u : 0u) << s.what;
        }
        // A 14-digit ID saturates instead of wrapping.
        shelltest::WriteFile(b, head + "12345678901234  1.0 2.0 3.0\r\n");
        Click(IDC_LOGS_APPEND);
        Click(IDC_LOGS4_AUTO);
        TypeOver(IDC_LOGS_FILE, b);
        Click(IDC_LOGS4_LOG_POINT);
        EXPECT_EQ(As<CLOGS_4>(SCR_LOGS_4)->iNextPointId, 2147483647);
        EXPECT_EQ(LargestPointId("7 a\r\n-9\r\n  12x\r\nLat\r\n"), 12);
        EndAll();
    });
    Run(run);
}

// ---------------------------------------------------------------------------------------
// Polygon log

// Vertices in decimal degrees.
struct Corner {
    double lat, lon;
};

TEST_F(LoggingTest, PolygonAreas) {
    struct Case {
        const char* what;
        std::vector<Corner> ring;
        double hectares;
    };
    const double c51 = std::cos(51.0 * 3.14159265358979323846 / 180.0);
    const std::vector<Case> cases = {
        {"equator square across Greenwich",
         {{-0.005, -0.005}, {-0.005, 0.005}, {0.005, 0.005}, {0.005, -0.005}},
         123.476033},
        {"same square the other way round, from another corner",
         {{0.005, 0.005}, {-0.005, 0.005}, {-0.005, -0.005}, {0.005, -0.005}},
         123.476033},
        {"square at 51 N",
         {{50.995, 1.0}, {50.995, 1.01}, {51.005, 1.01}, {51.005, 1.0}},
         123.476033 * c51},
        {"across the antimeridian",
         {{-0.005, 179.995}, {-0.005, -179.995}, {0.005, -179.995}, {0.005, 179.995}},
         123.476033},
        {"two vertices", {{0, 0}, {0.01, 0.01}}, 0.0},
    };
    for (const Case& c : cases) {
        std::vector<PolygonVertex> ring;
        for (const Corner& k : c.ring) ring.push_back({0, k.lat, k.lon, 0.0f});
        const double ha = ArcSec2ToSquareMetres(PolygonAreaArcSec2(ring)) * kHectaresPerSquareMetre;
        EXPECT_NEAR(ha, c.hectares, 1e-5 * (1 + c.hectares)) << c.what;
    }
}

TEST_F(LoggingTest, PolygonFileAndReadout) {
    Start(SCR_LOGS_5);
    const std::string path = Path("poly/field.txt");
    const std::vector<Corner> square = {
        {-0.005, -0.005}, {-0.005, 0.005}, {0.005, 0.005}, {0.005, -0.005}};
    const std::string head =
        "Start Polygon\r\nLat and Lon are in decimal degrees, alt in meters\r\n"
        "Vertex          Lat             Lon             Alt\r\n";
    const std::string rows =
        "1               -0.0050000      -0.0050000      7.250     \r\n"
        "2               -0.0050000      0.0050000       7.250     \r\n"
        "3               0.0050000       0.0050000       7.250     \r\n"
        "4               0.0050000       -0.0050000      7.250     \r\n";
    const std::string tail =
        "Total area:                      123.476033  hectares\r\n"
        "                                 305.109277  acres\r\n"
        "End Polygon\r\n" +
        std::string(58, '*') + "\r\n";
    ui::StepRunner run;
    WaitShown(run, SCR_LOGS_5);
    run.Add([&] {
        CLOGS_5* s = As<CLOGS_5>(SCR_LOGS_5);
        // No fix: refused. Close with nothing open does nothing.
        Click(IDC_LOGS5_START);
        ASSERT_EQ(boxes.texts().size(), 1u);
        EXPECT_EQ(boxes.texts()[0], "Tessaray_PC: No valid GPS position available yet! Try later.");
        Click(IDC_LOGS5_CLOSE);
        EXPECT_FALSE(s->bPolygonOpen);

        TypeOver(IDC_LOGS_FILE, path);
        for (const Corner& k : square) {
            SetPosition(k.lat, k.lon, 7.25f, true);
            Click(IDC_LOGS5_START);
            EXPECT_EQ(Text(IDC_LOGS5_START), "Log Point");
        }
        EXPECT_EQ(shelltest::ReadFile(path), head + rows);
        Click(IDC_LOGS5_CLOSE);
        EXPECT_EQ(Text(IDC_LOGS5_START), "Start Polygon");
        EXPECT_EQ(shelltest::ReadFile(path), head + rows + tail);
        EXPECT_EQ(Text(IDC_LOGS5_AREA), "305.109277");
        Choose(IDC_LOGS5_UNITS, 1);
        EXPECT_EQ(Text(IDC_LOGS5_AREA), "123.476033");
        EXPECT_EQ(theApp().iAreaUnits.load(), 1);
        EXPECT_EQ(shelltest::ReadFile(path), head + rows + tail);

        // Create New on a file with content asks; No opens nothing and keeps the file.
        boxes.Clear();
        boxes.Answer(ui::IDNO);
        Click(IDC_LOGS5_START);
        EXPECT_EQ(boxes.texts().size(), 1u);
        EXPECT_FALSE(s->bPolygonOpen);
        EXPECT_EQ(shelltest::ReadFile(path), head + rows + tail);

        // Append: a second block follows; the 100th vertex is refused.
        Click(IDC_LOGS_APPEND);
        boxes.Clear();
        for (int i = 0; i < 99; ++i) {
            SetPosition(0.001 * i, 0.0, 1.0f);
            Click(IDC_LOGS5_START);
        }
        EXPECT_TRUE(boxes.texts().empty());
        Click(IDC_LOGS5_START);
        ASSERT_EQ(boxes.texts().size(), 1u);
        EXPECT_NE(boxes.texts()[0].find("99"), std::string::npos);
        EXPECT_EQ(s->iNextVertex, 100);

        // The program ends with the polygon open: it is finished as Close would.
        ReleaseForExit();
        const std::string all = shelltest::ReadFile(path);
        EXPECT_EQ(all.substr(0, head.size() + rows.size() + tail.size()), head + rows + tail);
        EXPECT_NE(all.find("99              0.0980000"), std::string::npos);
        const std::string end = "End Polygon\r\n" + std::string(58, '*') + "\r\n";
        EXPECT_EQ(all.substr(all.size() - end.size()), end);
        EXPECT_EQ(all.find("End Polygon", head.size() + rows.size() + tail.size()),
                  all.size() - end.size());
        EXPECT_FALSE(s->bPolygonOpen);
        EndAll();
    });
    Run(run);
}

// ---------------------------------------------------------------------------------------
// Leaving the group

TEST_F(LoggingTest, DataLossQuestionOnEveryWayOut) {
    Start(SCR_LOGS_3);
    g_GPS.Info.eReceiverType = RECEIVER_HEADING;
    ui::StepRunner run;
    WaitShown(run, SCR_LOGS_3);
    run.Add([&] {
        CBaseDialog* s = As<CBaseDialog>(SCR_LOGS_3);
        theApp().bBinLogOn = 1;
        // Cancel on every row that leaves the group; the screen stays.
        for (int row : {1, 2, 3, 5, 6}) {
            boxes.Clear();
            boxes.Answer(ui::IDCANCEL);
            s->RunNavRow(row);
            ASSERT_EQ(boxes.texts().size(), 1u) << row;
            EXPECT_EQ(boxes.texts()[0], kDataLossText);
            EXPECT_EQ(Page(), s) << row;
        }
        // The group's own button and tabs ask nothing.
        boxes.Clear();
        s->RunNavRow(4);
        Tab(4);
    });
    WaitShown(run, SCR_LOGS_5);
    run.Add([&] {
        EXPECT_TRUE(boxes.texts().empty());
        theApp().bBinLogOn = 0;
        EndAll();
    });
    Run(run);
}

// ---------------------------------------------------------------------------------------
// Screenshots of all five while logging (TESSARAY_PC_SHOTS), with the texts each shows

// Every label, button and group caption shown on the page.
std::vector<std::string> ShownTexts(const ui::Dialog* page) {
    std::vector<std::string> texts;
    for (const QWidget* w : page->Widget()->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(page->Widget())) continue;
        if (const auto* l = qobject_cast<const QLabel*>(w))
            texts.push_back(l->text().toStdString());
        if (const auto* b = qobject_cast<const QAbstractButton*>(w))
            texts.push_back(b->text().toStdString());
        if (const auto* g = qobject_cast<const QGroupBox*>(w))
            texts.push_back(g->title().toStdString());
    }
    return texts;
}

class LoggingShotTest : public LoggingTest, public ::testing::WithParamInterface<double> {};

TEST_P(LoggingShotTest, AllFiveWhileLogging) {
    Start(SCR_LOGS_1, GetParam());
    g_GPS.Info.Comm.iOpenBaudRate = 57600;
    const std::string dpi = GetParam() > 1.2 ? "144" : "96";
    const eScreen screens[] = {SCR_LOGS_1, SCR_LOGS_2, SCR_LOGS_3, SCR_LOGS_4, SCR_LOGS_5};
    const char* names[] = {"nmea.txt", "raw.bin", "bin.bin", "points.txt", "polygon.txt"};
    const std::vector<std::vector<std::string>> texts = {
        {"Choose GPS messages to log:", "Choose Quillbar messages to log:", "$PZLT,HPR",
         "Overwrite Existing File", "Recording"},
        {"Raw data uses the Bin95 and 96 messages.",
         "Choose the output rate that you wish to log*.",
         "This data can be used for post processing.", "Bin95 and 96", "New Station ID:", "Add"},
        {"Choose messages to log:", "Bin80", "D1", "Start", "Stop"},
        {"New Point ID:", "Auto", "Custom", "Log", "Log Point", "Recording"},
        {"Start Polygon", "Close Polygon", "Total Area", "Append to Existing File",
         "Create New File"},
    };
    SetPosition(51.0458, -114.0719, 1048.2f);
    ui::StepRunner run;
    for (int tab = 0; tab < 5; ++tab) {
        WaitShown(run, screens[tab]);
        run.Add([&, tab] {
            const std::vector<std::string> shown = ShownTexts(Page());
            for (const std::string& t : texts[static_cast<size_t>(tab)])
                EXPECT_NE(std::find(shown.begin(), shown.end(), t), shown.end()) << t;
            TypeOver(IDC_LOGS_FILE, Path(names[tab]));
            if (tab < 3) {
                Choose(1035, 1);
                Click(IDC_LOGS_START);
            } else if (tab == 3) {
                Click(IDC_LOGS4_LOG_POINT);
            } else {
                for (const Corner& k :
                     {Corner{51.0, -114.0}, Corner{51.0, -114.01}, Corner{51.01, -114.01}}) {
                    SetPosition(k.lat, k.lon, 1000.0f);
                    Click(IDC_LOGS5_START);
                }
                Click(IDC_LOGS5_CLOSE);
            }
            Tick();
            EXPECT_EQ(Lamp(), tab < 3) << tab;
            Shot(platform::Format("logs%d_%s", tab + 1, dpi.c_str()));
            EXPECT_TRUE(boxes.texts().empty()) << boxes.texts()[0];
            if (tab < 4) {
                Tab(tab + 1);
            } else {
                EndAll();
            }
        });
    }
    Run(run);
}

INSTANTIATE_TEST_SUITE_P(Scales, LoggingShotTest, ::testing::Values(1.0, 1.5));

}  // namespace
