// The exit sequence against a simulated receiver: bytes, pauses, screens, report and archive.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <memory>

#include "engine/gps.h"
#include "engine/scomm.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "platform/serial.h"
#include "shell/BaseDialog.h"
#include "shell/CHECK.h"
#include "shell/CLOSESCREEN_1.h"
#include "shell/CLOSESCREEN_2.h"
#include "shell/ExitInstance.h"
#include "shell/FileOpenDlg.h"
#include "shell/STARTUP3.h"
#include "shell/Tessaray_PC.h"
#include "support/driver_client.h"
#include "support/fake_serial.h"
#include "support/frames.h"
#include "support/qt/link_harness.h"
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
constexpr int kWaitMs = 60000;  // real time of the program's and simulator's threads: generous
const auto kReportExtras = {1057, 1072, 1074, 1069, 1073, 1075, 1077, 1078, 1079, 1080};

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
    StartupStandIn() : ui::Dialog(ui::DialogTemplate{.id = 211}) {}
    ui::BOOL OnInitDialog() override {
        ++runs;
        return ui::TRUE;
    }
    static inline int runs = 0;
};

std::vector<int> g_endCodes;
bool EndedWithZero() {  // the program may end again once its loops are gone
    return !g_endCodes.empty() && g_endCodes.front() == 0;
}

struct Rig {
    testsupport::ReceiverSimulator sim;
    shelltest::Timeline timeline;
    platform::PosixSerialDevice posix;
    shelltest::LoggingDevice device{posix, timeline};
    testsupport::CountingSinks sinks;
    std::unique_ptr<testsupport::ReplyClock> clock;
    LeavingScreen* screen = nullptr;
    ~Rig() {  // reader, port and clock go before what they use
        theApp().GpsThread.Stop(5000);
        if (g_Comm.bOpen()) g_Comm.ClosePort();
        g_Comm.SetDevice(nullptr);
        platform::SetClock(nullptr);
    }
    void Start(bool reader = true) {
        g_endCodes.clear();
        StartupStandIn::runs = 0;
        shelltest::StartQt();
        setenv("HOME", shelltest::TempDir().c_str(), 1);
        shelltest::StartProgram(1.0);
        CTessaray_PCApp& app = theApp();
        RegisterScreen(SCR_GPS_1, [] { return std::make_unique<LeavingScreen>(); });
        screen = dynamic_cast<LeavingScreen*>(Screen(SCR_GPS_1));
        // The process would be gone: every page loop ends, so the test's own run returns.
        CTessaray_PCApp::SetEndProcessHook([](int code) {
            g_endCodes.push_back(code);
            for (ui::Dialog* d : ui::Host::Instance().Pages())
                if (d->IsLoopRunning()) d->EndDialog(ui::IDCANCEL);
        });
        SetStartupDialogFactory([] { return std::make_unique<StartupStandIn>(); });
        sim.AddReply("$JSAVE", "$>JSAVE,Saving Configuration.  Please Wait...\r\n");
        clock = std::make_unique<testsupport::ReplyClock>(sim, g_Comm, sinks, 500000);
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
        std::tie(w.iNMEABaudRate, w.iRTCMBaudRate, w.iElevation, w.iMaxAge, w.ulFreqKhz,
                 w.iSymbolRate, w.ThisPortConfig.eGGA, w.OtherPortConfig.eGSV) =
            std::tuple(19200, 9600, 5, 2700, 1545485u, 1200, 2, 1);
        if (!reader) return;
        app.GpsThread.SetSinks(&sinks);
        ASSERT_TRUE(app.GpsThread.Start());
        sim.Send(NmeaSentence("GPGGA,123519.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,"));
        ASSERT_TRUE(testsupport::WaitUntil([&] { return app.bReceiverFound.load() == 1; }));
    }
    void Run(ui::StepRunner& run) {
        run.Start();
        screen->DoModal();
        EXPECT_TRUE(run.Done()) << "steps left over";
    }
    size_t Mark() const {  // once the receiver has read every line written
        testsupport::WaitUntil([&] { return sim.Commands().size() >= timeline.LinesWritten(); });
        return sim.Commands().size();
    }
    std::vector<std::string> LinesSince(size_t mark) const {
        Mark();
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

template <class T>
void WaitTop(ui::StepRunner& run, const char* what) {
    run.AddWait([] { return Top<T>() != nullptr; }, kWaitMs,
                [what] { ADD_FAILURE() << "timed out waiting for " << what; });
}

void Click(ui::Dialog* page, int id) {
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(page->IsItemEnabled(id)) << "control " << id;
    ui::UserClick(page->GetDlgItem(id));
}

void OpenExitDialog(ui::StepRunner& run) {
    WaitTop<LeavingScreen>(run, "screen");
    run.Add([] { ui::UserClickDesign(306, 88); });
    WaitTop<CCHECK>(run, "exit dialog");
}

std::string ArchivePath() {
    return shelltest::ConfigDir() + "/Tessaray_PC.CFG";
}

// The saving screen's six ticks, fired by the test, into the report; `check` reads each tick.
void StepThroughSaving(ui::StepRunner& run, Rig& rig, bool check) {
    WaitTop<CCLOSESCREEN_1>(run, "saving screen");
    run.Add([] {
        CCLOSESCREEN_1* s = Top<CCLOSESCREEN_1>();
        EXPECT_EQ(s->TimerInterval(CCLOSESCREEN_1::kTickTimer), 750);
        s->SetTimer(CCLOSESCREEN_1::kTickTimer, 3600000);
    });
    run.AddWait([] { return Top<CCLOSESCREEN_1>()->ReceiverHeard(); }, kWaitMs,
                [] { ADD_FAILURE() << "the receiver's reply to \"$JSAVE\" never came"; });
    run.Add([check] {
        CCLOSESCREEN_1* s = Top<CCLOSESCREEN_1>();
        EXPECT_FALSE(s->IsItemEnabled(1) || s->IsItemEnabled(2));
        EXPECT_EQ(s->GetDlgItemText(1167), "Saving receiver configuration - please wait");
        for (int tick = 0; tick < 5; ++tick) ASSERT_TRUE(s->FireTimer(CCLOSESCREEN_1::kTickTimer));
        if (!check) return;
        EXPECT_EQ(shelltest::Texts(s, {1168, 1169, 1170, 1171, 1172}),
                  " - Clearing old configuration ...| - Sending new configuration ...| - Saving "
                  "...| - Save complete| - Compiling new configuration report");
        shelltest::Shot("saving_screen");
    });
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

TEST(ExitSequence, ExitAndSaveSendsShutdownShowsProgressReportsBeaconAndCloses) {
    Rig rig;
    rig.Start();
    AddReadBackReplies(rig.sim, "BEACON");
    rig.sim.AddReply("$PKRV,1,1", NmeaSentence("PKRV,CS0,BX4.2,0,313.0,M,200,M,45,18,0,0,812,0"));
    // The bytes SendConfig sends for the settings as they are now.
    testsupport::FakeSerialDevice fake;
    SComm comm(fake);
    ASSERT_EQ(comm.OpenPort(kCom, 19200), COMM_OK);
    g_TxNMEA.SetComm(&comm);
    WizardInfo copy = g_GPS.Info.Settings.WizardLive;
    g_GPS.SendConfig(copy);
    g_TxNMEA.SetComm(nullptr);
    const std::string config = fake.written();
    ASSERT_NE(config.find("$JBAUD,19200\r\n$JBAUD,9600,OTHER\r\n$JMASK,5\r\n$JAGE,2700\r\n"),
              std::string::npos);
    uint32_t savingShownAt = 0;
    ui::StepRunner run;
    OpenExitDialog(run);
    run.Add([&] {
        shelltest::Shot("exit_dialog");
        rig.Mark();
        rig.timeline.Clear();
        Click(Top<CCHECK>(), 1);
    });
    WaitTop<CCLOSESCREEN_1>(run, "saving screen");
    run.Add([&] {
        savingShownAt = platform::TickCount();
        EXPECT_EQ(theApp().bExitInProgress + bSuppressPolling.load(), 2);
    });
    StepThroughSaving(run, rig, true);
    run.Add([&] {
        CCLOSESCREEN_2* r = Top<CCLOSESCREEN_2>();
        // Rates of this port and the other port, from the read-back.
        EXPECT_EQ(
            shelltest::Texts(r, {1007, 1034, 1035, 1036, 1037, 1038, 1039, 1040, 1041, 1049, 1050,
                                 1051, 1052, 1053, 1059, 1061, 1063, 1054, 1056, 1058, 1060, 1062}),
            "1 Hz| OFF| OFF| OFF| OFF| OFF| OFF| OFF|5 Hz| OFF| OFF| OFF| OFF| OFF| OFF| 5 "
            "S| OFF| OFF| OFF| OFF| OFF|10Hz");
        EXPECT_EQ(shelltest::Texts(r, {1168, 1070, 1169, 1064, 1065, 1171}),
                  "5|\u00BA|2700|19200|9600|Go Back");
        EXPECT_EQ(shelltest::Shown(r, kReportExtras), "1111110000");
        EXPECT_EQ(shelltest::Texts(r, {1068, 1057, 1072, 1074, 1069, 1073, 1075}),
                  "BEACON|Freq:|MSK:|Station ID|313.0|200|812");
        shelltest::Shot("report_beacon");
        Click(r, 1170);
    });
    rig.Run(run);
    EXPECT_TRUE(EndedWithZero());
    EXPECT_FALSE(theApp().GpsThread.IsRunning() || g_Comm.bOpen());
    // The shutdown (not the screen's leave command), then the report's read-back from "$JBIN,1,0".
    std::vector<shelltest::LinkEvent> lines;
    for (const shelltest::LinkEvent& e : rig.timeline.Events())
        if (e.text.empty() || e.text[0] == '$') lines.push_back(e);  // blank lines are sent too
    std::string shutdown;
    size_t n = 0;
    while (n < lines.size() && lines[n].text != "$JBIN,1,0") shutdown += lines[n++].text + "\r\n";
    EXPECT_EQ(shutdown, "$JOFF\r\n$JOFF,OTHER\r\n$PKRV,1,0\r\n$PKRV,1,0,OTHER\r\n" + config +
                            config + "$JSAVE\r\n");
    // Pauses: 250 by the sender and 100 after "$JOFF", 250 after "$JOFF,OTHER", 10 after
    // each "$PKRV", 20 + 100 after each configuration, 250 + 100 after "$JSAVE".
    ASSERT_GE(n, 6u);
    size_t second = 5, save = n - 1;
    while (second < n && lines[second].text != "$JBAUD,19200") ++second;
    ASSERT_LT(second, n);
    const auto gap = [&](size_t i) { return lines[i].time - lines[i - 1].time; };
    EXPECT_EQ(std::vector<uint32_t>({gap(1), gap(2), gap(3), gap(4), gap(second), gap(save)}),
              std::vector<uint32_t>({350, 250, 10, 10, 120, 120}));
    EXPECT_EQ(savingShownAt - lines[save].time, 350u);
    const std::string archive = shelltest::ReadFile(ArchivePath());
    EXPECT_EQ(archive.size() == 3824 ? archive[0] : '?', 'N');
}

// "Exit and Save Profile" writes the .rcf and reports SBAS; Go Back returns to the screen;
// Cancel keeps it; "Exit without Saving" sends only its leave command, the archive untouched.
TEST(ExitSequence, ProfileAndGoBackAndCancelThenExitWithoutSaving) {
    Rig rig;
    rig.Start();
    AddReadBackReplies(rig.sim, "WAAS");
    rig.sim.AddReply("$JGEO",
                     "$>JGEO,Sent,FREQ=1575.4200,PRN=122,LON=-15.5,EL=30.2,AZ=200.1\r\n"
                     "$>JGEO,Sent,FREQ=1575.4200,PRN=134,LON=178.0,EL=12.5,AZ=250.5\r\n");
    ui::MessageBoxRecorder boxes;
    boxes.Answer(ui::IDOK);
    size_t mark = 0;
    std::string archiveBefore;
    ui::StepRunner run;
    OpenExitDialog(run);
    run.Add([&] { Click(Top<CCHECK>(), 3); });
    WaitTop<CFileOpenDlg>(run, "file browser");
    run.Add([&] { ui::UserClickDesign(81, 430); });  // the banner's OK
    StepThroughSaving(run, rig, false);
    run.Add([&] {
        CCLOSESCREEN_2* r = Top<CCLOSESCREEN_2>();
        EXPECT_EQ(r->GetDlgItemText(1068), "SBAS");
        EXPECT_EQ(shelltest::Shown(r, kReportExtras), "0000001111");
        shelltest::Shot("report_sbas");
        mark = rig.Mark();
        Click(r, 1171);
    });
    WaitTop<LeavingScreen>(run, "screen after Go Back");
    run.Add([&] {
        // The screen took up its refresh and its outputs again; a full poll cycle goes out.
        EXPECT_EQ(std::vector<int>({theApp().bCloseRetry, theApp().bExitInProgress,
                                    bSuppressPolling.load(), rig.screen->inits}),
                  std::vector<int>({1, 0, 0, 2}));
        EXPECT_TRUE(rig.screen->IsTimerRunning(1) && rig.screen->IsTimerRunning(11));
        platform::Sleep(2500);
        g_TxNMEA.Poll();
        EXPECT_TRUE(rig.sim.WaitForCommand("$JASC,GPGGA,1", kWaitMs, mark));
        EXPECT_TRUE(rig.sim.WaitForCommand("$JBIN,1,1", kWaitMs, mark));
        ui::UserClickDesign(306, 88);
    });
    WaitTop<CCHECK>(run, "exit dialog again");
    run.Add([&] {
        mark = rig.Mark();
        Click(Top<CCHECK>(), 2);
    });
    WaitTop<LeavingScreen>(run, "screen after Cancel");
    run.Add([&] {
        ui::ProcessPending();
        EXPECT_EQ(theApp().iExitChoice, EXIT_CANCEL);
        EXPECT_EQ(rig.screen->inits, 2);
        EXPECT_TRUE(rig.screen->IsTimerRunning(1) && rig.screen->IsTimerRunning(11));
        for (const std::string& line : rig.LinesSince(mark))
            EXPECT_TRUE(line.rfind("$JOFF", 0) != 0 && line != "$JASC,GPGGA,0") << line;
        archiveBefore = shelltest::ReadFile(ArchivePath());
        ui::UserClickDesign(306, 88);
    });
    WaitTop<CCHECK>(run, "exit dialog a third time");
    run.Add([&] {
        mark = rig.Mark();
        Click(Top<CCHECK>(), 1005);
    });
    rig.Run(run);
    ASSERT_EQ(boxes.texts(), std::vector<std::string>{
                                 "Do you want the system to\ncreate a default file for you?"});
    // The default name of the day, in the home folder where the browser starts.
    const std::time_t now = std::time(nullptr);
    char name[32];
    std::strftime(name, sizeof name, "/D%y%m%d1.rcf", std::localtime(&now));
    EXPECT_NE(shelltest::ReadFile(shelltest::TempDir() + name).find("[CurrentWizard]"),
              std::string::npos)
        << name;
    EXPECT_EQ(g_endCodes, std::vector<int>{0});
    EXPECT_EQ(theApp().iExitChoice * 10 + theApp().bExiting, EXIT_WITHOUT_SAVING * 10 + 1);
    // The simulator reads on its own thread: wait for the line, not only for its output.
    EXPECT_TRUE(rig.sim.WaitForCommand("$JASC,GPGGA,0", kWaitMs, mark));
    rig.sim.WaitIdle(1000);
    EXPECT_EQ(rig.LinesSince(mark), std::vector<std::string>{"$JASC,GPGGA,0"});
    EXPECT_EQ(shelltest::ReadFile(ArchivePath()), archiveBefore);
    EXPECT_FALSE(theApp().GpsThread.IsRunning() || g_Comm.bOpen());
}

// Demo mode's way out or a cancelled profile browser: only the archive is written.
void ExitWithoutReceiver(bool demo) {
    Rig rig;
    rig.Start(false);
    theApp().bDemoMode.store(demo ? 1 : 0);
    theApp().bSaveOnExit = demo ? 1 : 0;
    ASSERT_TRUE(!demo || shelltest::ReadFile(ArchivePath())[0] == 'A');
    size_t mark = 0;
    ui::StepRunner run;
    OpenExitDialog(run);
    run.Add([&] {
        CCHECK* c = Top<CCHECK>();
        mark = rig.Mark();
        if (!demo) return Click(c, 3);
        EXPECT_FALSE(c->IsItemEnabled(1) || c->IsItemEnabled(3));
        EXPECT_TRUE(c->IsItemEnabled(1005));
        shelltest::Shot("exit_dialog_demo");
        Click(c, 2);
    });
    if (demo) {
        WaitTop<LeavingScreen>(run, "screen");
        run.Add([&] { QTimer::singleShot(0, qApp, [&] { rig.screen->OnDestroy(); }); });
    } else {
        WaitTop<CFileOpenDlg>(run, "file browser");
        run.Add([] { ui::UserClickDesign(139, 430); });  // the banner's Cancel
    }
    rig.Run(run);
    EXPECT_TRUE(EndedWithZero());
    EXPECT_EQ(shelltest::ReadFile(ArchivePath())[0], 'N');
    rig.sim.WaitIdle(1000);
    EXPECT_TRUE(rig.LinesSince(mark).empty());
    EXPECT_FALSE(g_Comm.bOpen());
}
TEST(ExitSequence, DemoModeWritesOnlyTheArchive) {
    ExitWithoutReceiver(true);
}
TEST(ExitSequence, CancelledProfileBrowserStillCloses) {
    ExitWithoutReceiver(false);
}

// The program's end closes the port of a receiver on a Bluetooth link as every close does:
// its modem is reset. Through the main window's close box, and through "Exit and Save" before
// the receiver was found (the start-up page).
void EndOnBluetoothLink(bool viaExitDialog) {
    Rig rig;
    rig.Start(false);
    InstallLinkHooks();
    g_GPS.SetReceiverType(RECEIVER_BLUETOOTH);
    theApp().bSaveOnExit = 0;
    theApp().bStartupPhase.store(1);
    size_t mark = 0;
    ui::StepRunner run;
    if (viaExitDialog) {
        OpenExitDialog(run);
        run.Add([&] {
            mark = rig.Mark();
            Click(Top<CCHECK>(), 1);
        });
    } else {
        WaitTop<LeavingScreen>(run, "screen");
        run.Add([&] {
            mark = rig.Mark();
            QTimer::singleShot(0, qApp, [&] { rig.screen->OnDestroy(); });
        });
    }
    rig.Run(run);
    EXPECT_TRUE(EndedWithZero());
    EXPECT_FALSE(g_Comm.bOpen());
    EXPECT_TRUE(rig.sim.WaitForCommand("ATURST", kWaitMs, mark));
    rig.sim.WaitIdle(1000);
    EXPECT_EQ(rig.LinesSince(mark), (std::vector<std::string>{"ATMC", "ATMC", "ATURST", "ATURST"}));
}
TEST(ExitSequence, CloseBoxResetsTheBluetoothModem) {
    EndOnBluetoothLink(false);
}
TEST(ExitSequence, ExitAndSaveBeforeTheReceiverWasFoundResetsTheBluetoothModem) {
    EndOnBluetoothLink(true);
}

// The receiver is unplugged before the exit and the watchdog has not noticed: every shutdown
// command fails and the saving screen says "not found", never "Save complete". Retry runs
// the start-up dialog; the second time Close Anyway ends the program.
TEST(ExitSequence, UnpluggedReceiverRetryThenCloseAnyway) {
    Rig rig;
    rig.Start();
    ui::StepRunner run;
    const auto saveUntilNotFound = [&](bool shot) {
        WaitTop<CCHECK>(run, "exit dialog");
        run.Add([] { Click(Top<CCHECK>(), 1); });
        WaitTop<CCLOSESCREEN_1>(run, "saving screen");
        run.Add([shot] {
            CCLOSESCREEN_1* s = Top<CCLOSESCREEN_1>();
            s->SetTimer(CCLOSESCREEN_1::kTickTimer, 3600000);
            for (int tick = 1; tick <= 2; ++tick) {
                s->FireTimer(CCLOSESCREEN_1::kTickTimer);
                EXPECT_EQ(shelltest::Texts(s, {1168, 1169}), " - Clearing old configuration ...|");
                EXPECT_FALSE(s->IsItemEnabled(1));
            }
            s->FireTimer(CCLOSESCREEN_1::kTickTimer);
            EXPECT_EQ(shelltest::Texts(s, {1169, 1170, 1171}),
                      " - Receiver not found, | - Reconnect and retry ...|");
            EXPECT_TRUE(s->IsItemEnabled(1) && s->IsItemEnabled(2));
            for (int tick = 4; tick <= 120; ++tick) s->FireTimer(CCLOSESCREEN_1::kTickTimer);
            EXPECT_EQ(s->Ticks(), 100);
            EXPECT_TRUE(s->IsTimerRunning(CCLOSESCREEN_1::kTickTimer));
            if (shot) shelltest::Shot("saving_not_found");
        });
    };
    WaitTop<LeavingScreen>(run, "screen");
    run.Add([&] {
        rig.sim.HangUp();
        ui::UserClickDesign(306, 88);
    });
    saveUntilNotFound(true);
    run.Add([] { Click(Top<CCLOSESCREEN_1>(), 1); });
    WaitTop<StartupStandIn>(run, "start-up dialog");
    run.Add([&] {
        CTessaray_PCApp& app = theApp();
        EXPECT_EQ(std::vector<int>({StartupStandIn::runs, app.bCloseRetry, app.bExitInProgress,
                                    bSuppressPolling.load()}),
                  std::vector<int>({1, 1, 0, 0}));
        EXPECT_FALSE(g_Comm.bOpen());
        EXPECT_TRUE(g_endCodes.empty());
        Top<StartupStandIn>()->EndDialog(ui::IDOK);
    });
    WaitTop<LeavingScreen>(run, "screen again");
    run.Add([] { ui::UserClickDesign(306, 88); });
    saveUntilNotFound(false);
    run.Add([] { Click(Top<CCLOSESCREEN_1>(), 2); });
    rig.Run(run);
    EXPECT_TRUE(EndedWithZero());
    EXPECT_FALSE(theApp().GpsThread.IsRunning());
    EXPECT_EQ(shelltest::ReadFile(ArchivePath())[0], 'N');
}

TEST(ExitSequence, ReportInStartupPhaseContinuesAndReportTexts) {
    g_endCodes.clear();
    shelltest::StartProgram(1.0);
    testsupport::InstalledVirtualClock clock;
    CTessaray_PCApp& app = theApp();
    app.bStartupPhase.store(1);
    app.bSaveOnExit = 1;
    // No receiver answers: the report shows the settings held before, not the record's defaults.
    g_GPS.Info.eCurCorrSource = CORR_XREF, g_GPS.Info.iRxNMEABaudRate = 57600;
    g_GPS.Info.Settings.WizardLive.iNMEABaudRate = 38400;
    ui::StepRunner run;
    WaitTop<CCLOSESCREEN_2>(run, "report");
    run.Add([&] {
        CCLOSESCREEN_2* r = Top<CCLOSESCREEN_2>();
        EXPECT_EQ(shelltest::Texts(r, {1171, 1068, 1064}), "Continue|x-Ref|38400");
        EXPECT_EQ(app.bSaveOnExit, 0);
        EXPECT_EQ(shelltest::Shown(r, kReportExtras), "0000000000");
        shelltest::Shot("report_startup");
        Click(r, 1171);
    });
    run.Start();
    EXPECT_EQ(RunConfigReport(), ui::IDCANCEL);
    EXPECT_TRUE(run.Done());
    EXPECT_EQ(app.bSaveOnExit, 1);
    EXPECT_TRUE(g_endCodes.empty());
}

}  // namespace
