// The exit sequence against a receiver on a pseudo-terminal: the exit dialog's choices, the
// shutdown commands and their pauses, the saving screen, the configuration report, the ways
// out of the process and the profile archive left behind.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <set>
#include <thread>

#include "engine/beacon_tables.h"
#include "engine/gps.h"
#include "engine/reader_sinks.h"
#include "engine/scomm.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "platform/serial.h"
#include "platform/trace.h"
#include "shell/CHECK.h"
#include "shell/CLOSESCREEN_1.h"
#include "shell/CLOSESCREEN_2.h"
#include "shell/ExitInstance.h"
#include "shell/FileOpenDlg.h"
#include "shell/STARTUP3.h"
#include "shell/Tessaray_PC.h"
#include "support/fake_serial.h"
#include "support/frames.h"
#include "support/qt/shell_harness.h"
#include "support/qt/test_pages.h"
#include "support/receiver_simulator.h"
#include "support/reply_clock.h"
#include "support/virtual_clock.h"
#include "ui/automation.h"
#include "ui/messagebox.h"

namespace {

using testsupport::NmeaSentence;

constexpr int kCom = 3;
constexpr uint32_t kStart = 500000;
// Real-time bound for what the program and the simulator do on their own threads: generous,
// so a loaded machine is never mistaken for a fault.
constexpr int kWaitMs = 60000;

// ---------------------------------------------------------------------------------------
// Test rig.

// The port as the program writes to it, each write with the time it was made.
class RecordingDevice : public platform::PosixSerialDevice {
public:
    struct Record {
        uint32_t time;
        std::string bytes;
    };
    long Write(const void* buf, size_t len) override {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            writes_.push_back(
                {platform::TickCount(), std::string(static_cast<const char*>(buf), len)});
        }
        return platform::PosixSerialDevice::Write(buf, len);
    }
    std::vector<Record> writes() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return writes_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<Record> writes_;
};

// A screen that switches GGA on when it opens and off when it is left.
class LeavingScreen : public shelltest::TestPage {
public:
    LeavingScreen() : TestPage(SCR_GPS_1, ScreenFamily::Gps, "Position") {}
    ui::BOOL OnInitDialog() override {
        TestPage::OnInitDialog();
        g_TxNMEA.SetMessageRate(2, "GPGGA", false);
        return ui::TRUE;
    }
    void OnCancel() override {
        g_TxNMEA.SetMessageRate(0, "GPGGA", false);
        TestPage::OnCancel();
    }
};

// The start-up dialog as the saving screen's Retry runs it.
class StartupStandIn : public ui::Dialog {
public:
    StartupStandIn() : ui::Dialog(Template()) {}
    static ui::DialogTemplate Template() {
        ui::DialogTemplate t;
        t.id = 211;
        t.controls.push_back({1000, ui::Kind::Picture, {0, 0, 370, 510}, "", 0, 130, {}});
        return t;
    }
    ui::BOOL OnInitDialog() override {
        ++runs;
        return ui::TRUE;
    }
    static inline int runs = 0;
};

std::vector<int> g_endCodes;

struct Rig {
    testsupport::ReceiverSimulator sim;
    RecordingDevice device;
    testsupport::CountingSinks sinks;
    std::unique_ptr<testsupport::ReplyClock> clock;
    LeavingScreen* screen = nullptr;
    bool withReader = true;

    // The reader thread, the port and the clock go before the objects they use.
    ~Rig() {
        theApp().GpsThread.Stop(5000);
        if (g_Comm.bOpen()) g_Comm.ClosePort();
        g_Comm.SetDevice(nullptr);
        platform::SetClock(nullptr);
    }

    void Start(bool reader = true) {
        withReader = reader;
        shelltest::StartQt();
        setenv("HOME", shelltest::TempDir().c_str(), 1);
        shelltest::StartProgram(1.0);
        CTessaray_PCApp& app = theApp();
        RegisterScreen(SCR_GPS_1, [] { return std::make_unique<LeavingScreen>(); });
        screen = dynamic_cast<LeavingScreen*>(Screen(SCR_GPS_1));
        // The process would be gone: every page loop ends, so the test's own run returns.
        CTessaray_PCApp::SetEndProcessHook([](int code) {
            g_endCodes.push_back(code);
            const std::vector<ui::Dialog*> pages = ui::Host::Instance().Pages();
            for (ui::Dialog* d : pages) {
                if (d->IsLoopRunning()) d->EndDialog(ui::IDCANCEL);
            }
        });
        SetStartupDialogFactory([] { return std::make_unique<StartupStandIn>(); });

        clock = std::make_unique<testsupport::ReplyClock>(sim, g_Comm, sinks, kStart);
        clock->waitForReplies = false;
        platform::SetClock(clock.get());
        InitPollTick();
        ASSERT_TRUE(sim.ok()) << sim.error();
        sim.InstallAsCom(kCom);
        g_Comm.SetDevice(&device);
        ASSERT_EQ(g_Comm.OpenPort(kCom, 19200), COMM_OK);
        app.bPortOpen.store(1);
        ASSERT_EQ(LoadProfileArchive(), 1);
        app.bStartupPhase.store(0);
        app.bSaveOnExit = 1;

        WizardInfo& w = g_GPS.Info.Settings.WizardLive;
        w.iNMEABaudRate = 19200;
        w.iRTCMBaudRate = 9600;
        w.iElevation = 5;
        w.iMaxAge = 2700;
        w.ulFreqKhz = 1545485;
        w.iSymbolRate = 1200;
        w.ThisPortConfig.eGGA = 2;
        w.OtherPortConfig.eGSV = 1;

        if (reader) {
            app.GpsThread.SetSinks(&sinks);
            ASSERT_TRUE(app.GpsThread.Start());
            sim.Send(
                NmeaSentence("GPGGA,123519.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"));
            const auto deadline =
                std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
            while (!app.bReceiverFound.load() && std::chrono::steady_clock::now() < deadline) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            ASSERT_EQ(app.bReceiverFound.load(), 1);
        }
    }

    // Runs the screen; the steps run inside whatever page loop is innermost.
    void Run(ui::StepRunner& run) {
        run.Start();
        screen->DoModal();
        EXPECT_TRUE(run.Done()) << "steps left over";
    }

    size_t Mark() const {
        Settle();
        return sim.Commands().size();
    }
    // Waits until the receiver has read every line written so far.
    void Settle() const {
        size_t written = 0;
        for (const auto& w : device.writes())
            written += static_cast<size_t>(std::count(w.bytes.begin(), w.bytes.end(), '\n'));
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
        while (sim.Commands().size() < written && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    // The lines the receiver got since `mark`.
    std::vector<std::string> LinesSince(size_t mark) const {
        Settle();
        std::vector<std::string> out;
        const auto all = sim.Commands();
        for (size_t i = mark; i < all.size(); ++i) out.push_back(all[i].line);
        return out;
    }
};

template <class T>
T* Top() {
    return dynamic_cast<T*>(ui::Host::Instance().TopPage());
}

void Fail(const char* what) {
    ADD_FAILURE() << "timed out waiting for " << what;
}

template <class T>
void WaitTop(ui::StepRunner& run, const char* what) {
    run.AddWait([] { return Top<T>() != nullptr; }, kWaitMs, [what] { Fail(what); });
}

// Runs after the step runner has seen its last step, for a last step that ends the loops.
void Later(std::function<void()> fn) {
    QTimer::singleShot(0, qApp, std::move(fn));
}

void ClickCloseBox() {
    ui::UserClickDesign(306, 88);
}

void Click(ui::Dialog* page, int id) {
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(page->IsItemEnabled(id)) << "control " << id;
    ui::UserClick(page->GetDlgItem(id));
}

// Waits for the screen, clicks its close box and waits for the exit dialog.
void OpenExitDialog(ui::StepRunner& run, Rig& rig) {
    run.AddWait([&rig] { return rig.screen->IsWindowVisible(); }, kWaitMs, [] { Fail("screen"); });
    run.Add([] { ClickCloseBox(); });
    WaitTop<CCHECK>(run, "exit dialog");
}

// Clicks a button of the exit dialog, noting first how far the receiver's lines go.
void ChooseExit(ui::StepRunner& run, Rig& rig, size_t& mark, int id) {
    run.Add([&rig, &mark, id] {
        mark = rig.Mark();
        Click(Top<CCHECK>(), id);
    });
}

std::string ArchivePath() {
    return shelltest::ConfigDir() + "/Tessaray_PC.CFG";
}

// The bytes SendConfig sends for the settings as they are now.
std::string SendConfigBytes() {
    testsupport::FakeSerialDevice fake;
    SComm comm(fake);
    EXPECT_EQ(comm.OpenPort(kCom, 19200), COMM_OK);
    g_TxNMEA.SetComm(&comm);
    WizardInfo copy = g_GPS.Info.Settings.WizardLive;
    g_GPS.SendConfig(copy);
    g_TxNMEA.SetComm(nullptr);
    return fake.written();
}

// Lines of the writes since `from`, each with the time of the write that began it.
struct TimedLine {
    uint32_t time;
    std::string text;  // with its line end
};
std::vector<TimedLine> WrittenLines(const RecordingDevice& dev, size_t from) {
    std::vector<TimedLine> lines;
    const auto writes = dev.writes();
    bool open = false;
    for (size_t i = from; i < writes.size(); ++i) {
        for (char c : writes[i].bytes) {
            if (!open) {
                lines.push_back({writes[i].time, {}});
                open = true;
            }
            lines.back().text += c;
            if (c == '\n') open = false;
        }
    }
    return lines;
}

// Steps from the saving screen through its six ticks into the report, checking the lines
// at every tick. The tick timer is slowed down so the test fires each tick itself.
void StepThroughSaving(ui::StepRunner& run, Rig& rig, const std::string& shotAtTick5) {
    WaitTop<CCLOSESCREEN_1>(run, "saving screen");
    run.Add([] {
        CCLOSESCREEN_1* s = Top<CCLOSESCREEN_1>();
        EXPECT_EQ(s->TimerInterval(CCLOSESCREEN_1::kTickTimer), 750);
        EXPECT_FALSE(s->IsItemEnabled(1));
        EXPECT_FALSE(s->IsItemEnabled(2));
        EXPECT_EQ(s->GetDlgItemText(1167), "Saving receiver configuration - please wait");
        EXPECT_EQ(theApp().bCloseRetry, 0);
        s->SetTimer(CCLOSESCREEN_1::kTickTimer, 3600000);
    });
    const std::vector<std::vector<std::string>> expected = {
        {" - Clearing old configuration ...", " - Sending new configuration ...", "", "", ""},
        {" - Clearing old configuration ...", " - Sending new configuration ...", " - Saving ...",
         "", ""},
        {" - Clearing old configuration ...", " - Sending new configuration ...", " - Saving ...",
         " - Save complete", ""},
        {" - Clearing old configuration ...", " - Sending new configuration ...", " - Saving ...",
         " - Save complete", ""},
        {" - Clearing old configuration ...", " - Sending new configuration ...", " - Saving ...",
         " - Save complete", " - Compiling new configuration report"},
    };
    for (size_t tick = 0; tick < expected.size(); ++tick) {
        run.Add([tick, expected, shotAtTick5] {
            CCLOSESCREEN_1* s = Top<CCLOSESCREEN_1>();
            ASSERT_NE(s, nullptr);
            ASSERT_TRUE(s->FireTimer(CCLOSESCREEN_1::kTickTimer));
            EXPECT_EQ(s->Ticks(), static_cast<int>(tick + 1));
            for (int i = 0; i < 5; ++i) {
                EXPECT_EQ(s->GetDlgItemText(1168 + i), expected[tick][static_cast<size_t>(i)])
                    << "tick " << tick + 1 << " line " << i + 1;
            }
            if (tick == 4 && !shotAtTick5.empty()) shelltest::Shot(shotAtTick5);
        });
    }
    // The sixth tick opens the report inside the saving screen's handler.
    run.Add([&rig] {
        rig.clock->waitForReplies = true;
        Top<CCLOSESCREEN_1>()->FireTimer(CCLOSESCREEN_1::kTickTimer);
    });
    WaitTop<CCLOSESCREEN_2>(run, "report");
    run.Add([&rig] { rig.clock->waitForReplies = false; });
}

void AddReadBackReplies(testsupport::ReceiverSimulator& sim, const std::string& diff) {
    sim.AddReply("$JSHOW",
                 "$>JSHOW,BAUD,19200\r\n$>JSHOW,BAUD,9600,OTHER\r\n$>JSHOW,MASK,5\r\n"
                 "$>JSHOW,AGE,2700\r\n$>JSHOW,ASC,GPGGA,1.0\r\n$>JSHOW,ASC,GPZDA,5\r\n"
                 "$>JSHOW,ASC,GPGSV,0.2,OTHER\r\n$>JSHOW,BIN,96,10,OTHER\r\n");
    sim.AddReply("$JDIFF", "$>JDIFF," + diff + "\r\n");
}

void ExpectRates(ui::Dialog* r) {
    const char* const thisPort[11] = {"1 Hz", " OFF", " OFF", " OFF", " OFF", " OFF",
                                      " OFF", " OFF", "5 Hz", " OFF", " OFF"};
    const char* const otherPort[11] = {" OFF", " OFF", " OFF", " OFF", " 5 S", " OFF",
                                       " OFF", " OFF", " OFF", " OFF", "10Hz"};
    const int thisIds[11] = {1007, 1034, 1035, 1036, 1037, 1038, 1039, 1040, 1041, 1049, 1050};
    const int otherIds[11] = {1051, 1052, 1053, 1059, 1061, 1063, 1054, 1056, 1058, 1060, 1062};
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(r->GetDlgItemText(thisIds[i]), thisPort[i]) << "this port row " << i;
        EXPECT_EQ(r->GetDlgItemText(otherIds[i]), otherPort[i]) << "other port row " << i;
    }
    EXPECT_EQ(shelltest::Texts(r, {1168, 1070, 1169, 1064, 1065, 1171}),
              "5|\u00BA|2700|19200|9600|Go Back");
}

// ---------------------------------------------------------------------------------------

TEST(ExitSequence, ExitAndSaveSendsShutdownShowsProgressReportsBeaconAndCloses) {
    Rig rig;
    rig.Start();
    AddReadBackReplies(rig.sim, "BEACON");
    rig.sim.AddReply("$PKRV,1,1", NmeaSentence("PKRV,CS0,BX4.2,0,313.0,M,200,M,45,18,0,0,812,0"));
    const std::string config = SendConfigBytes();
    ASSERT_NE(config.find("$JBAUD,19200\r\n$JBAUD,9600,OTHER\r\n$JMASK,5\r\n$JAGE,2700\r\n"),
              std::string::npos);

    size_t mark = 0;
    size_t writeMark = 0;
    uint32_t savingShownAt = 0;
    ui::StepRunner run;
    OpenExitDialog(run, rig);
    run.Add([&] {
        CCHECK* c = Top<CCHECK>();
        EXPECT_EQ(c->GetDlgItemText(1001), "Please choose one of the following options:");
        EXPECT_TRUE(c->IsItemEnabled(3) && c->IsItemEnabled(1));
        shelltest::Shot("exit_dialog");
        mark = rig.Mark();
        writeMark = rig.device.writes().size();
        Click(c, 1);
    });
    run.AddWait([] { return Top<CCLOSESCREEN_1>() != nullptr; }, kWaitMs, [] { Fail("saving"); });
    run.Add([&] {
        savingShownAt = platform::TickCount();
        EXPECT_EQ(theApp().bExitInProgress, 1);
        EXPECT_EQ(bSuppressPolling.load(), 1);
    });
    StepThroughSaving(run, rig, "saving_screen");
    run.Add([&] {
        CCLOSESCREEN_2* r = Top<CCLOSESCREEN_2>();
        ExpectRates(r);
        EXPECT_EQ(shelltest::Shown(r, {1057, 1072, 1074, 1069, 1073, 1075, 1077, 1078, 1079, 1080}),
                  "1111110000");
        EXPECT_EQ(shelltest::Texts(r, {1068, 1057, 1072, 1074, 1069, 1073, 1075}),
                  "BEACON|Freq:|MSK:|Station ID|313.0|200|812");
        shelltest::Shot("report_beacon");
        Click(r, 1170);
    });
    rig.Run(run);

    ASSERT_FALSE(g_endCodes.empty());
    EXPECT_EQ(g_endCodes.front(), 0);
    EXPECT_FALSE(theApp().GpsThread.IsRunning());
    EXPECT_FALSE(g_Comm.bOpen());

    // What reached the receiver: the screen's own leave command is not part of the exit; the
    // shutdown sequence, then the report's read-back.
    const std::vector<TimedLine> lines = WrittenLines(rig.device, writeMark);
    std::string shutdown;
    std::vector<TimedLine> shutdownLines;
    for (const TimedLine& l : lines) {
        if (l.text == "$JBIN,1,0\r\n") break;  // the report's read-back begins
        shutdown += l.text;
        shutdownLines.push_back(l);
    }
    EXPECT_EQ(shutdown, "$JOFF\r\n$JOFF,OTHER\r\n$PKRV,1,0\r\n$PKRV,1,0,OTHER\r\n" + config +
                            config + "$JSAVE\r\n");
    const auto received = rig.LinesSince(mark);
    ASSERT_GE(received.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(received.begin(), received.begin() + 4),
              (std::vector<std::string>{"$JOFF", "$JOFF,OTHER", "$PKRV,1,0", "$PKRV,1,0,OTHER"}));

    // Pauses: 250 by the sender and 100 after "$JOFF", 250 after "$JOFF,OTHER", 10 after
    // each "$PKRV", 20 + 100 after each configuration, 250 + 100 after "$JSAVE".
    ASSERT_GE(shutdownLines.size(), 6u);
    auto at = [&](const std::string& text, size_t from) {
        for (size_t i = from; i < shutdownLines.size(); ++i)
            if (shutdownLines[i].text == text) return i;
        ADD_FAILURE() << "no " << text;
        return shutdownLines.size() - 1;
    };
    EXPECT_EQ(shutdownLines[1].time - shutdownLines[0].time, 350u);
    EXPECT_EQ(shutdownLines[2].time - shutdownLines[1].time, 250u);
    EXPECT_EQ(shutdownLines[3].time - shutdownLines[2].time, 10u);
    EXPECT_EQ(shutdownLines[4].time - shutdownLines[3].time, 10u);
    const size_t secondConfig = at("$JBAUD,19200\r\n", 5);
    const size_t save = at("$JSAVE\r\n", secondConfig);
    EXPECT_EQ(shutdownLines[secondConfig].time - shutdownLines[secondConfig - 1].time, 120u);
    EXPECT_EQ(shutdownLines[save].time - shutdownLines[save - 1].time, 120u);
    EXPECT_EQ(savingShownAt - shutdownLines[save].time, 350u);

    const std::string archive = shelltest::ReadFile(ArchivePath());
    ASSERT_EQ(archive.size(), 3824u);
    EXPECT_EQ(archive[0], 'N');
}

TEST(ExitSequence, GoBackReturnsToTheScreenWithPollingAndReportsLBand) {
    Rig rig;
    rig.Start();
    AddReadBackReplies(rig.sim, "LBAND");
    rig.sim.AddReply("$JGEO", "$>JGEO,Sent,FREQ=1535.1370,PRN=544,LON=-101.3,EL=30.0,AZ=200.0\r\n");
    const int initsBefore = 1;
    ui::StepRunner run;
    run.AddWait([&] { return rig.screen->IsWindowVisible(); }, kWaitMs, [] { Fail("screen"); });
    run.Add([&] {
        EXPECT_EQ(rig.screen->inits, initsBefore);
        ClickCloseBox();
    });
    WaitTop<CCHECK>(run, "exit dialog");
    run.Add([&] { Click(Top<CCHECK>(), 1); });
    StepThroughSaving(run, rig, "");
    size_t mark = 0;
    run.Add([&] {
        CCLOSESCREEN_2* r = Top<CCLOSESCREEN_2>();
        ExpectRates(r);
        EXPECT_EQ(shelltest::Shown(r, {1057, 1072, 1074, 1069, 1073, 1075, 1077, 1078, 1079, 1080}),
                  "1111110000");
        EXPECT_EQ(shelltest::Texts(r, {1068, 1072, 1074, 1069, 1073, 1075}),
                  "LBND|Data Rate:|Spot:|1535137|544|AM-SAT");
        shelltest::Shot("report_lband");
        mark = rig.Mark();
        Click(r, 1171);
    });
    run.AddWait([&] { return Top<LeavingScreen>() != nullptr; }, kWaitMs, [] { Fail("screen"); });
    run.Add([&] {
        CTessaray_PCApp& app = theApp();
        EXPECT_EQ(app.bCloseRetry, 1);
        EXPECT_EQ(app.bExitInProgress, 0);
        EXPECT_EQ(bSuppressPolling.load(), 0);
        // The screen took up its refresh and its outputs again.
        EXPECT_EQ(rig.screen->inits, initsBefore + 1);
        EXPECT_TRUE(rig.screen->IsTimerRunning(1));
        EXPECT_TRUE(rig.screen->IsTimerRunning(11));
        // A full poll cycle goes out again.
        platform::Sleep(2500);
        g_TxNMEA.Poll();
        // Both lines of this cycle, read by the simulator after the mark (the same lines went
        // out before the exit dialog too).
        EXPECT_TRUE(rig.sim.WaitForCommand("$JASC,GPGGA,1", kWaitMs, mark));
        EXPECT_TRUE(rig.sim.WaitForCommand("$JBIN,1,1", kWaitMs, mark));
        EXPECT_TRUE(g_endCodes.empty());
        Later([&] { rig.screen->EndDialog(ui::IDCANCEL); });
    });
    rig.Run(run);
    EXPECT_TRUE(g_endCodes.empty());
    EXPECT_TRUE(g_Comm.bOpen());
}

TEST(ExitSequence, ExitAndSaveProfileWritesRcfThenReportsSbas) {
    Rig rig;
    rig.Start();
    AddReadBackReplies(rig.sim, "WAAS");
    rig.sim.AddReply("$JGEO",
                     "$>JGEO,Sent,FREQ=1575.4200,PRN=122,LON=-15.5,EL=30.2,AZ=200.1\r\n"
                     "$>JGEO,Sent,FREQ=1575.4200,PRN=134,LON=178.0,EL=12.5,AZ=250.5\r\n");
    ui::MessageBoxRecorder boxes;
    boxes.Answer(ui::IDOK);
    ui::StepRunner run;
    OpenExitDialog(run, rig);
    run.Add([&] { Click(Top<CCHECK>(), 3); });
    WaitTop<CFileOpenDlg>(run, "file browser");
    run.Add([&] {
        EXPECT_TRUE(Top<CFileOpenDlg>()->IsOkAvailable());
        ui::UserClickDesign(81, 430);  // the banner's OK
    });
    StepThroughSaving(run, rig, "");
    run.Add([&] {
        CCLOSESCREEN_2* r = Top<CCLOSESCREEN_2>();
        ExpectRates(r);
        EXPECT_EQ(r->GetDlgItemText(1068), "SBAS");
        EXPECT_EQ(shelltest::Shown(r, {1057, 1072, 1074, 1069, 1073, 1075, 1077, 1078, 1079, 1080}),
                  "0000001111");
        const std::set<std::string> prns = {r->GetDlgItemText(1078), r->GetDlgItemText(1080)};
        EXPECT_EQ(prns, (std::set<std::string>{"122", "134"}));
        shelltest::Shot("report_sbas");
        Click(r, 1170);
    });
    rig.Run(run);

    ASSERT_EQ(
        boxes.texts(),
        (std::vector<std::string>{"Do you want the system to\ncreate a default file for you?"}));
    // The default name of the day, in the home folder where the browser starts.
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    char name[32];
    std::snprintf(name, sizeof name, "/D%02d%02d%02d1.rcf", tm.tm_year % 100, tm.tm_mon + 1,
                  tm.tm_mday);
    const std::string rcf = shelltest::ReadFile(shelltest::TempDir() + name);
    EXPECT_NE(rcf.find("[CurrentWizard]"), std::string::npos) << name;
    ASSERT_FALSE(g_endCodes.empty());
    EXPECT_EQ(g_endCodes.front(), 0);
    EXPECT_EQ(shelltest::ReadFile(ArchivePath())[0], 'N');
}

TEST(ExitSequence, CancelledProfileBrowserStillCloses) {
    Rig rig;
    rig.Start(false);
    theApp().bSaveOnExit = 0;  // never polled: nothing goes to the receiver
    ui::StepRunner run;
    size_t mark = 0;
    OpenExitDialog(run, rig);
    ChooseExit(run, rig, mark, 3);
    WaitTop<CFileOpenDlg>(run, "file browser");
    run.Add([] { ui::UserClickDesign(139, 430); });  // the banner's Cancel
    rig.Run(run);
    ASSERT_FALSE(g_endCodes.empty());
    EXPECT_EQ(g_endCodes.front(), 0);
    EXPECT_EQ(shelltest::ReadFile(ArchivePath())[0], 'N');
    rig.sim.WaitIdle(1000);
    EXPECT_TRUE(rig.LinesSince(mark).empty());
    EXPECT_FALSE(g_Comm.bOpen());
}

TEST(ExitSequence, ExitWithoutSavingSendsOnlyTheScreensLeaveCommands) {
    Rig rig;
    rig.Start();
    const std::string archiveBefore = shelltest::ReadFile(ArchivePath());
    size_t mark = 0;
    ui::StepRunner run;
    OpenExitDialog(run, rig);
    ChooseExit(run, rig, mark, 1005);
    rig.Run(run);

    EXPECT_EQ(g_endCodes, std::vector<int>{0});
    EXPECT_EQ(theApp().iExitChoice, EXIT_WITHOUT_SAVING);
    EXPECT_EQ(theApp().bExiting, 1);
    // The simulator reads on its own thread: wait for the line, not only for its output.
    EXPECT_TRUE(rig.sim.WaitForCommand("$JASC,GPGGA,0", kWaitMs, mark));
    rig.sim.WaitIdle(1000);
    EXPECT_EQ(rig.LinesSince(mark), std::vector<std::string>{"$JASC,GPGGA,0"});
    EXPECT_EQ(shelltest::ReadFile(ArchivePath()), archiveBefore);
    // The one way out: reader stopped, port closed.
    EXPECT_FALSE(theApp().GpsThread.IsRunning());
    EXPECT_FALSE(g_Comm.bOpen());
}

TEST(ExitSequence, CancelChangesNothing) {
    Rig rig;
    rig.Start();
    const std::string archiveBefore = shelltest::ReadFile(ArchivePath());
    size_t mark = 0;
    ui::StepRunner run;
    OpenExitDialog(run, rig);
    ChooseExit(run, rig, mark, 2);
    run.AddWait([&] { return Top<LeavingScreen>() != nullptr; }, kWaitMs, [] { Fail("screen"); });
    run.Add([&] {
        ui::ProcessPending();
        EXPECT_EQ(theApp().iExitChoice, EXIT_CANCEL);
        EXPECT_EQ(rig.screen->inits, 1);
        EXPECT_TRUE(rig.screen->IsTimerRunning(1));
        EXPECT_TRUE(rig.screen->IsTimerRunning(11));
        EXPECT_EQ(theApp().bExitInProgress, 0);
        Later([&] { rig.screen->EndDialog(ui::IDCANCEL); });
    });
    rig.Run(run);
    EXPECT_TRUE(g_endCodes.empty());
    rig.sim.WaitIdle(1000);
    EXPECT_TRUE(rig.LinesSince(mark).empty());
    EXPECT_EQ(shelltest::ReadFile(ArchivePath()), archiveBefore);
    EXPECT_TRUE(theApp().GpsThread.IsRunning());
}

TEST(ExitSequence, DemoModeWritesOnlyTheArchive) {
    Rig rig;
    rig.Start(false);
    theApp().bDemoMode.store(1);
    ASSERT_EQ(shelltest::ReadFile(ArchivePath())[0], 'A');
    size_t mark = 0;
    ui::StepRunner run;
    OpenExitDialog(run, rig);
    run.Add([&] {
        CCHECK* c = Top<CCHECK>();
        EXPECT_FALSE(c->IsItemEnabled(1));
        EXPECT_FALSE(c->IsItemEnabled(3));
        EXPECT_TRUE(c->IsItemEnabled(1005));
        shelltest::Shot("exit_dialog_demo");
        Click(c, 2);
    });
    run.AddWait([&] { return Top<LeavingScreen>() != nullptr; }, kWaitMs, [] { Fail("screen"); });
    run.Add([&] {
        mark = rig.Mark();
        // "Exit and Save" through the path without the dialog (the welcome page's close box).
        Later([&] { rig.screen->OnDestroy(); });
    });
    rig.Run(run);
    EXPECT_EQ(g_endCodes, std::vector<int>{0});
    EXPECT_EQ(shelltest::ReadFile(ArchivePath())[0], 'N');
    rig.sim.WaitIdle(1000);
    EXPECT_TRUE(rig.LinesSince(mark).empty());
}

// The receiver is unplugged before the exit, noticed by the watchdog or not (a second before
// "Exit and Save": every shutdown command fails).
void UnplugBeforeExit(ui::StepRunner& run, Rig& rig, bool noticed = true) {
    run.AddWait([&] { return rig.screen->IsWindowVisible(); }, kWaitMs, [] { Fail("screen"); });
    run.Add([&rig, noticed] {
        rig.sim.HangUp();
        if (noticed) theApp().bReceiverFound.store(0);
        ClickCloseBox();
    });
    WaitTop<CCHECK>(run, "exit dialog");
    run.Add([&] { Click(Top<CCHECK>(), 1); });
    WaitTop<CCLOSESCREEN_1>(run, "saving screen");
    run.Add([] {
        CCLOSESCREEN_1* s = Top<CCLOSESCREEN_1>();
        s->SetTimer(CCLOSESCREEN_1::kTickTimer, 3600000);
        for (int tick = 1; tick <= 2; ++tick) {
            s->FireTimer(CCLOSESCREEN_1::kTickTimer);
            EXPECT_EQ(s->GetDlgItemText(1168), " - Clearing old configuration ...");
            EXPECT_EQ(s->GetDlgItemText(1169), "");
            EXPECT_FALSE(s->IsItemEnabled(1));
        }
        s->FireTimer(CCLOSESCREEN_1::kTickTimer);
        EXPECT_EQ(s->GetDlgItemText(1169), " - Receiver not found, ");
        EXPECT_EQ(s->GetDlgItemText(1170), " - Reconnect and retry ...");
        EXPECT_EQ(s->GetDlgItemText(1171), "");
        EXPECT_TRUE(s->IsItemEnabled(1));
        EXPECT_TRUE(s->IsItemEnabled(2));
        for (int tick = 4; tick <= 120; ++tick) s->FireTimer(CCLOSESCREEN_1::kTickTimer);
        EXPECT_EQ(s->Ticks(), 100);
        EXPECT_TRUE(s->IsTimerRunning(CCLOSESCREEN_1::kTickTimer));
    });
}

TEST(ExitSequence, UnpluggedReceiverRetryOpensStartup) {
    Rig rig;
    rig.Start();
    ui::StepRunner run;
    UnplugBeforeExit(run, rig);
    run.Add([] {
        shelltest::Shot("saving_not_found");
        Click(Top<CCLOSESCREEN_1>(), 1);
    });
    WaitTop<StartupStandIn>(run, "start-up dialog");
    run.Add([&] {
        CTessaray_PCApp& app = theApp();
        EXPECT_EQ(StartupStandIn::runs, 1);
        EXPECT_EQ(app.bCloseRetry, 1);
        EXPECT_EQ(app.bExitInProgress, 0);
        EXPECT_EQ(bSuppressPolling.load(), 0);
        EXPECT_FALSE(g_Comm.bOpen());
        EXPECT_TRUE(g_endCodes.empty());
        Top<StartupStandIn>()->EndDialog(ui::IDOK);
    });
    run.AddWait([&] { return Top<LeavingScreen>() != nullptr; }, kWaitMs, [] { Fail("screen"); });
    run.Add([&] { Later([&] { rig.screen->EndDialog(ui::IDCANCEL); }); });
    rig.Run(run);
    EXPECT_TRUE(g_endCodes.empty());
}

// "Close anyway" ends the program whether or not the watchdog had noticed the loss (when it
// had not, the shutdown commands fail and the saving screen says "not found", never "Save
// complete").
class UnpluggedCloseTest : public ::testing::TestWithParam<bool> {};

TEST_P(UnpluggedCloseTest, CloseAnywayEnds) {
    Rig rig;
    rig.Start();
    ui::StepRunner run;
    UnplugBeforeExit(run, rig, GetParam());
    run.Add([] { Click(Top<CCLOSESCREEN_1>(), 2); });
    rig.Run(run);
    ASSERT_FALSE(g_endCodes.empty());
    EXPECT_EQ(g_endCodes.front(), 0);
    EXPECT_FALSE(theApp().GpsThread.IsRunning());
    EXPECT_EQ(shelltest::ReadFile(ArchivePath())[0], 'N');
}

INSTANTIATE_TEST_SUITE_P(ExitSequence, UnpluggedCloseTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Noticed" : "Unnoticed"; });

#if defined(__SANITIZE_ADDRESS__)
// Blocks whose last pointer is gone when the function returns.
__attribute__((noinline)) void LoseBlocks() {
    for (int i = 0; i < 8; ++i) {
        volatile char* block = new char[64];
        block[0] = 1;
    }
}
#endif

TEST(ExitSequence, ImmediateProcessEndStillChecksForLeaks) {
#if !defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the leak check belongs to the sanitizer build";
#else
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        LoseBlocks();
        CTessaray_PCApp::EndProcess(0);
        ::_exit(2);  // EndProcess returned
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    // The checker's own failure code, not the program's 0.
    EXPECT_NE(WEXITSTATUS(status), 0);
    EXPECT_NE(WEXITSTATUS(status), 2);
#endif
}

TEST(ExitSequence, ReportInStartupPhaseContinues) {
    shelltest::StartProgram(1.0);
    testsupport::InstalledVirtualClock clock;
    CTessaray_PCApp& app = theApp();
    app.bStartupPhase.store(1);
    app.bSaveOnExit = 1;
    // No receiver answers: the report shows what the record holds.
    g_GPS.Info.eCurCorrSource = CORR_XREF;
    g_GPS.Info.iRxNMEABaudRate = 38400;
    int result = 0;
    ui::StepRunner run;
    WaitTop<CCLOSESCREEN_2>(run, "report");
    run.Add([&] {
        CCLOSESCREEN_2* r = Top<CCLOSESCREEN_2>();
        EXPECT_EQ(r->GetDlgItemText(1171), "Continue");
        EXPECT_EQ(app.bSaveOnExit, 0);
        EXPECT_EQ(r->GetDlgItemText(1068), "x-Ref");
        EXPECT_EQ(r->GetDlgItemText(1064), "38400");
        EXPECT_EQ(shelltest::Shown(r, {1057, 1072, 1074, 1069, 1073, 1075, 1077, 1078, 1079, 1080}),
                  "0000000000");
        shelltest::Shot("report_startup");
        Click(r, 1171);
    });
    run.Start();
    result = RunConfigReport();
    EXPECT_TRUE(run.Done());
    EXPECT_EQ(result, ui::IDCANCEL);
    EXPECT_EQ(app.bSaveOnExit, 1);
    EXPECT_TRUE(g_endCodes.empty());
}

TEST(ExitSequence, ReportTexts) {
    const std::pair<int, const char*> rates[] = {{0, " OFF"}, {1, " 5 S"}, {2, "1 Hz"}, {3, "5 Hz"},
                                                 {4, "10Hz"}, {5, "20Hz"}, {6, "NA"},   {-1, "NA"}};
    for (const auto& [code, text] : rates) EXPECT_STREQ(ReportRateText(code), text) << code;

    struct Beam {
        uint32_t khz;
        float lon;
        const char* name;
    };
    const Beam beams[] = {{1530359, 0, "MSV-E"},      {1536782, 0, "MSV-W"},
                          {1535137, 0.0f, "AP-SAT"},  {1535137, 140.0f, "AP-SAT"},
                          {1535137, -0.5f, "AM-SAT"}, {1558510, 0, "Optus"},
                          {1545485, 0, "MSV-W"},      {0, 0, "MSV-W"}};
    for (const Beam& b : beams) EXPECT_STREQ(LBandBeamName(b.khz, b.lon), b.name) << b.khz;

    const std::pair<int, const char*> bitRates[] = {{0, "Auto"}, {1, "100"}, {2, "200"}};
    for (const auto& [code, text] : bitRates) EXPECT_EQ(BeaconBitRateText(code), text) << code;
}

}  // namespace
