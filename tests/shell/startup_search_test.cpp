// The start-up dialog against a receiver on a pseudo-terminal: the baud search with its
// probes and pauses, the settings poll and the hand-over, a silent receiver, the watchdog
// bringing the dialog back, and demo mode.
//
// The search timer is fired by the test on virtual time (one tick per second of the timer's
// period, later when a tick itself took longer), so the pauses are exact; the receiver and
// the reader thread run in real time, and the simulator answers only while the program's
// side of the line is at the receiver's baud rate.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/gps.h"
#include "engine/scomm.h"
#include "engine/txnmea.h"
#include "platform/ports.h"
#include "resources/dlg_startup.h"
#include "screens/position/GPS_1.h"
#include "shell/STARTUP3.h"
#include "shell/Tessaray_PC.h"
#include "support/qt/link_harness.h"
#include "support/qt/shell_harness.h"
#include "support/qt/test_pages.h"
#include "support/receiver_simulator.h"
#include "ui/automation.h"
#include "ui/settings.h"

using shelltest::LinkEvent;

namespace {

constexpr ui::UINT kFar = 100000000;  // a real period the test never waits out
const char* const kGGA = "$GPGGA,120000.00,5128.1234,N,00000.6543,W,1,08,1.0,45.0,M,,,,*4A\r\n";

// Stands for the position screen: switches its sentence on when shown, off when left.
class PositionPage : public shelltest::TestPage {
public:
    PositionPage() : TestPage(SCR_GPS_1, ScreenFamily::Gps, "Position") {}
    ui::BOOL OnInitDialog() override {
        TestPage::OnInitDialog();
        g_TxNMEA.SetMessageRate(RATE_1HZ, "GPGGA", false);
        return ui::TRUE;
    }
    void OnCancel() override {
        g_TxNMEA.SetMessageRate(RATE_OFF, "GPGGA", false);
        TestPage::OnCancel();
    }
};

PositionPage* Position() {
    return dynamic_cast<PositionPage*>(ScreenIfBuilt(SCR_GPS_1));
}

CSTARTUP3* TopStartup() {
    return dynamic_cast<CSTARTUP3*>(ui::Host::Instance().TopPage());
}

bool WaitFor(const std::function<bool()>& done, int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

void Fail(const char* what) {
    ADD_FAILURE() << "timed out waiting for " << what;
}

std::string Dump(const std::vector<LinkEvent>& events) {
    std::string out;
    for (const LinkEvent& e : events) out += std::to_string(e.time) + " " + e.text + "\n";
    return out;
}

// The program with its reader thread on a simulated receiver at COM`com`.
class Link {
public:
    Link(int com, uint32_t receiverBaud) {
        shelltest::StartProgram(1.0);
        CTessaray_PCApp& app = theApp();
        RegisterScreen(SCR_GPS_1, [] { return std::make_unique<PositionPage>(); });

        EXPECT_TRUE(sim.ok()) << sim.error();
        platform::SetDetectedPortsForTest({});
        sim.InstallAsCom(com);
        sim.SetLineBaud(receiverBaud);
        app.EnumSerialPorts();

        clock = std::make_unique<shelltest::SplitClock>(timeline);
        platform::SetClock(clock.get());
        device = std::make_unique<shelltest::LoggingDevice>(posix, timeline);
        // Every command sent at the old speed reaches the simulator before the speed changes,
        // so it is recorded with the speed it was sent at.
        device->beforeConfigure = [this] {
            const size_t sent = timeline.LinesWritten();
            WaitFor([&] { return sim.Commands().size() >= sent; }, 3000);
        };
        g_Comm.SetDevice(device.get());
        InstallLinkHooks();
        app.GpsThread.Start();
    }
    ~Link() {
        theApp().GpsThread.Stop(5000);
        g_Comm.ClosePort();
        g_Comm.SetDevice(nullptr);
        platform::SetClock(nullptr);
    }

    // Fires the search timer until the search ends, as its 1 s period would on virtual
    // time. While the port is at `answerBaud`, each tick waits for the receiver's answer to
    // be read.
    int DriveSearch(CSTARTUP3* dlg, uint32_t answerBaud) {
        int ticks = 0;
        uint32_t last = clock->Now() - 1000;
        while (dlg->IsTimerRunning(kBaudSearchTimer) && ticks < 80) {
            const uint32_t elapsed = clock->Now() - last;
            if (elapsed < 1000) clock->Advance(1000 - elapsed);
            last = clock->Now();
            timeline.Add(last, "tick");
            dlg->FireTimer(kBaudSearchTimer);
            ++ticks;
            if (answerBaud != 0 && static_cast<uint32_t>(OpenPortBaud()) == answerBaud) {
                EXPECT_TRUE(WaitFor([] { return theApp().bSentenceReceived.load() != 0; }, 5000));
            }
            if (dlg->IsTimerRunning(kLinkWatchTimer)) dlg->SetTimer(kLinkWatchTimer, kFar);
            if (ticks == 20) {
                dlg->FireTimer(1);
                shelltest::Shot("startup_searching");
            }
        }
        return ticks;
    }

    // One watchdog tick, a period after the last one.
    void WatchTick(CBaseDialog* page) {
        clock->Advance(CBaseDialog::LinkWatchPeriod());
        timeline.Add(clock->Now(), "tick");
        page->FireTimer(kLinkWatchTimer);
    }

    shelltest::Timeline timeline;
    testsupport::ReceiverSimulator sim;
    std::unique_ptr<shelltest::SplitClock> clock;
    platform::PosixSerialDevice posix;
    std::unique_ptr<shelltest::LoggingDevice> device;
};

std::vector<int> Opens(const std::vector<LinkEvent>& events) {
    std::vector<int> bauds;
    for (const LinkEvent& e : events) {
        if (e.text.rfind("open ", 0) == 0) bauds.push_back(std::stoi(e.text.substr(5)));
    }
    return bauds;
}

bool IsLine(const std::string& text) {
    return text.rfind("~", 0) != 0 && text.rfind("open ", 0) != 0 && text != "close" &&
           text != "purge" && text != "tick";
}

std::string ModemCommand(int baud) {
    for (auto [rate, command] : {std::pair{4800, "ATSW20,20,1"},
                                 {9600, "ATSW20,39,1"},
                                 {19200, "ATSW20,79,1"},
                                 {38400, "ATSW20,157,1"},
                                 {57600, "ATSW20,236,1"},
                                 {115200, "ATSW20,472,1"}})
        if (rate == baud) return command;
    return "ATMC";
}

// The opening tick of one search step, up to the purge and the pause after it.
std::vector<std::string> OpeningBlock(int baud, bool wasOpen, bool modem) {
    std::vector<std::string> b = {"tick"};
    if (wasOpen) b.insert(b.end(), {"~200", "close"});
    b.insert(b.end(), {"~500", "open " + std::to_string(baud)});
    if (modem) {
        const std::string c = ModemCommand(baud);
        b.insert(b.end(),
                 {"~200", "ATMC", "~200", c, "~200", c, "~200", "ATMD", "~200", "ATMD", "~200"});
    }
    b.insert(b.end(), {"purge", "~200"});
    return b;
}

// Checks every search step: the opening block, the probe ticks with their pauses, polls in
// the start-up form at most once per 2 s; returns the number of ticks per step.
std::vector<int> CheckSearchSteps(const std::vector<LinkEvent>& ev, bool modem) {
    std::vector<int> ticksPerStep;
    std::vector<std::string> text;
    for (const LinkEvent& e : ev) text.push_back(e.text);
    bool wasOpen = false;
    size_t i = 0;
    uint32_t lastPoll = 0;
    while (i < text.size()) {
        EXPECT_EQ(text[i], "tick") << "at event " << i << "\n" << Dump(ev);
        if (text[i] != "tick") return ticksPerStep;
        size_t o = i + 1;
        while (o < text.size() && text[o] != "tick" && text[o].rfind("open ", 0) != 0) ++o;
        if (o < text.size() && text[o] != "tick") {
            const int baud = std::stoi(text[o].substr(5));
            const std::vector<std::string> block = OpeningBlock(baud, wasOpen, modem);
            const std::vector<std::string> got(
                text.begin() + static_cast<long>(i),
                text.begin() + static_cast<long>(std::min(text.size(), i + block.size())));
            EXPECT_EQ(got, block) << "opening at " << baud << "\n" << Dump(ev);
            i += block.size();
            wasOpen = true;
            ticksPerStep.push_back(1);
        } else {
            ++i;
            if (ticksPerStep.empty()) return ticksPerStep;
            ++ticksPerStep.back();
        }
        // The probe of the tick, when its period is due, then the tick's last pause.
        if (i < text.size() && text[i] == "$JDIFF") {
            const std::vector<std::string> poll = {"$JDIFF", "~10", "$JAPP", "~10"};
            const std::vector<std::string> got(
                text.begin() + static_cast<long>(i),
                text.begin() + static_cast<long>(std::min(text.size(), i + poll.size())));
            EXPECT_EQ(got, poll) << Dump(ev);
            if (lastPoll != 0) {
                EXPECT_GT(ev[i].time - lastPoll, 2000u);
            }
            lastPoll = ev[i].time;
            i += poll.size();
        }
        if (i < text.size() && text[i] == "~300") {
            ++i;
        } else if (i < text.size()) {
            // Only the tick that finds the receiver or ends the search pauses no more.
            EXPECT_EQ(text[i], "tick") << "at event " << i << "\n" << Dump(ev);
        }
    }
    return ticksPerStep;
}

// The settings poll after OK, as it reaches the wire.
std::vector<std::string> SettingsPoll() {
    std::vector<std::string> p;
    bool first = true;
    for (int id : {1, 2, 80, 93, 94, 97, 98, 99}) {
        if (!first) p.push_back("~100");
        first = false;
        p.push_back("$JBIN," + std::to_string(id) + ",0");
    }
    p.insert(p.end(), {"$JI", "~50"});
    for (int i = 0; i < 6; ++i) p.insert(p.end(), {"$JSHOW", "~500"});
    for (int i = 0; i < 2; ++i) p.insert(p.end(), {"$JGEO,ALL", "~500"});
    for (int i = 0; i < 2; ++i) p.insert(p.end(), {"$PKRV,1,1", "~10", "~500"});
    p.insert(p.end(), {"$JDIFF", "~100", "~100", "$JRTK,6", "~100", "$JRTK", "~500", "$PKRV,1,0",
                       "~10", "~100"});
    return p;
}

void EndAll() {
    if (PositionPage* p = Position()) {
        if (p->IsLoopRunning()) p->EndDialog(ui::IDCANCEL);
    }
    if (CSTARTUP3* s = TopStartup()) s->EndDialog(ui::IDCANCEL);
}

void PrepareRegistry(int port, int baud, int autoBaud) {
    ui::Settings::SetInt("LastPort", port);
    ui::Settings::SetInt("LastBaud", baud);
    ui::Settings::SetInt("AutoBaud", autoBaud);
}

TEST(StartupSearch, FindsReceiverAt57600PollsSettingsAndHandsOver) {
    Link link(2, 57600);
    RegisterPositionScreens();
    link.sim.AddReply("$JAPP", "$>JAPP,WAAS,AUTODIFF\r\n");
    link.sim.Stream({kGGA}, 200, true);
    PrepareRegistry(2, 9600, 1);
    CTessaray_PCApp& app = theApp();

    CSTARTUP3* dlg = nullptr;
    bool finished = false;
    ui::StepRunner run;
    run.AddWait([&] { return (dlg = TopStartup()) != nullptr; }, 5000, [] { Fail("dialog"); });
    run.Add([&] {
        dlg->SetTimer(kLinkWatchTimer, kFar);
        EXPECT_EQ(dlg->GetDlgItemText(IDC_PORT_COMBO), "COM2");
        EXPECT_EQ(dlg->GetDlgItemText(IDC_PORT_DEVICE), link.sim.SlavePath());
        EXPECT_EQ(dlg->GetDlgItemText(IDC_BAUD_COMBO), "9600");
        EXPECT_FALSE(dlg->IsItemEnabled(IDC_BAUD_COMBO));
        EXPECT_FALSE(dlg->IsItemVisible(IDC_STARTUP_OK));
        link.timeline.Clear();
        ui::UserClick(dlg->GetDlgItem(IDC_SEARCH));
    });
    run.AddWait([&] { return dlg->IsTimerRunning(kBaudSearchTimer); }, 5000,
                [] { Fail("search"); });
    run.Add([&] {
        dlg->SetTimer(kBaudSearchTimer, kFar);
        link.DriveSearch(dlg, 57600);
        const std::vector<LinkEvent> ev = link.timeline.Events();
        EXPECT_EQ(Opens(ev), (std::vector<int>{9600, 19200, 19200, 4800, 38400, 57600}));
        // Each baud: its opening tick and five probe ticks; then the tick that finds it.
        EXPECT_EQ(CheckSearchSteps(ev, true), (std::vector<int>{6, 6, 6, 6, 6, 7}));
        EXPECT_EQ(ev.back().text, "tick");
        EXPECT_EQ(g_GPS.Info.Comm.iOpenBaudRate, 57600);
        EXPECT_EQ(g_GPS.Info.Settings.WizardLive.iNMEABaudRate, 57600);
        EXPECT_FALSE(dlg->IsTimerRunning(kBaudSearchTimer) && bBaudSearchOn);
        EXPECT_EQ(bLinkWatchOn, 1);

        // What the program wrote reached the receiver in order, each line at the speed the
        // port was set to when it was sent.
        std::vector<std::string> written;
        std::vector<int> speed;
        int open = 0;
        for (const LinkEvent& e : ev) {
            if (e.text.rfind("open ", 0) == 0) open = std::stoi(e.text.substr(5));
            if (IsLine(e.text)) {
                written.push_back(e.text);
                speed.push_back(open);
            }
        }
        ASSERT_TRUE(WaitFor([&] { return link.sim.Commands().size() >= written.size(); }, 3000));
        const auto commands = link.sim.Commands();
        ASSERT_EQ(commands.size(), written.size());
        for (size_t k = 0; k < written.size(); ++k) {
            EXPECT_EQ(commands[k].line, written[k]) << k;
            EXPECT_EQ(commands[k].baud, static_cast<uint32_t>(speed[k])) << written[k];
        }
    });
    run.AddWait([&] { return dlg->GetDlgItemText(1015) == "- Receiver found"; }, 5000,
                [] { Fail("found"); });
    run.Add([&] {
        EXPECT_EQ(dlg->GetDlgItemText(1014), "- Looking for receiver: Com2 at 57600 baud");
        EXPECT_EQ(dlg->GetDlgItemText(1017), "- Select receiver type ...");
        for (int id : {IDC_RECEIVER_TYPE_LABEL, IDC_RECEIVER_TYPE_COMBO, IDC_STARTUP_OK,
                       IDC_GENERATE_REPORT}) {
            EXPECT_TRUE(dlg->IsItemVisible(id)) << id;
        }
        shelltest::Shot("startup_found");
        link.timeline.Clear();
        link.sim.FallSilent();  // only the commands matter from here
        ui::UserClick(dlg->GetDlgItem(IDC_STARTUP_OK));
    });
    run.AddWait(
        [&] {
            CBaseDialog* gps = ScreenIfBuilt(SCR_GPS_1);
            return gps && ui::Host::Instance().TopPage() == gps;
        },
        10000, [] { Fail("position screen"); });
    run.Add([&] {
        ASSERT_NE(dynamic_cast<CGPS_1*>(ScreenIfBuilt(SCR_GPS_1)), nullptr);
        EXPECT_EQ(ui::Settings::ReadInt("LastBaud"), 57600);
        EXPECT_EQ(ui::Settings::ReadInt("LastPort"), 2);
        EXPECT_EQ(ui::Settings::ReadInt("AutoBaud"), 1);
        EXPECT_EQ(app.bSaveOnExit, 1);
        EXPECT_EQ(app.bStartupPhase.load(), 0);
        std::vector<std::string> texts = link.timeline.Texts();
        const std::vector<std::string> poll = SettingsPoll();
        ASSERT_GE(texts.size(), poll.size()) << Dump(link.timeline.Events());
        EXPECT_EQ(
            std::vector<std::string>(texts.begin(), texts.begin() + static_cast<long>(poll.size())),
            poll);
        // The position screen's activation follows: the keep-alive poll, then what it shows.
        std::vector<std::string> rest;
        for (size_t k = poll.size(); k < texts.size(); ++k) {
            if (texts[k].rfind("~", 0) != 0) rest.push_back(texts[k]);
        }
        EXPECT_EQ(rest,
                  (std::vector<std::string>{"$JDIFF", "$JBIN,1,1", "$JASC,GPVTG,1", "$JASC,GPGST,1",
                                            "$JASC,GPGGA,1", "$JBIN,2,1", "$JAPP", "$JDIFF"}));
        EXPECT_TRUE(link.sim.WaitForCommand("$JASC,GPGGA,1", 3000));
        shelltest::Shot("startup_handed_over");
        finished = true;
        if (CBaseDialog* gps = ScreenIfBuilt(SCR_GPS_1)) gps->EndDialog(ui::IDCANCEL);
    });
    run.Start();
    RunStartupDialogModal();
    EXPECT_TRUE(finished);
}

TEST(StartupSearch, SilentReceiverOnCom1TriesEveryBaudAndIsNotFound) {
    Link link(1, 57600);
    link.sim.FallSilent();
    PrepareRegistry(1, 19200, 1);

    CSTARTUP3* dlg = nullptr;
    bool finished = false;
    ui::StepRunner run;
    run.AddWait([&] { return (dlg = TopStartup()) != nullptr; }, 5000, [] { Fail("dialog"); });
    run.Add([&] {
        dlg->SetTimer(kLinkWatchTimer, kFar);
        link.timeline.Clear();
        ui::UserClick(dlg->GetDlgItem(IDC_SEARCH));
    });
    run.AddWait([&] { return dlg->IsTimerRunning(kBaudSearchTimer); }, 5000,
                [] { Fail("search"); });
    run.Add([&] {
        dlg->SetTimer(kBaudSearchTimer, kFar);
        link.DriveSearch(dlg, 0);
        const std::vector<LinkEvent> ev = link.timeline.Events();
        // 19200 again takes the next baud, so 4800 is tried twice.
        EXPECT_EQ(Opens(ev), (std::vector<int>{19200, 9600, 4800, 4800, 38400, 57600, 115200}));
        EXPECT_EQ(CheckSearchSteps(ev, false), (std::vector<int>{6, 6, 6, 6, 6, 6, 7}));
        for (const LinkEvent& e : ev) EXPECT_NE(e.text.rfind("AT", 0), 0u) << e.text;
        EXPECT_EQ(dlg->m_bNotFound, 1);
        ASSERT_TRUE(dlg->IsTimerRunning(kLinkWatchTimer));
        // The next silent watchdog tick counts the loss; the dialog reports it.
        link.WatchTick(dlg);
        EXPECT_EQ(theApp().iLinkLostCount, 1);
    });
    run.AddWait([&] { return dlg->GetDlgItemText(1015) == "- Receiver not found"; }, 5000,
                [] { Fail("not found"); });
    run.Add([&] {
        EXPECT_EQ(dlg->GetDlgItemText(1014), "- Looking for receiver: Com1 at 115200 baud");
        EXPECT_EQ(dlg->GetDlgItemText(1017), "- Check Receiver and connections");
        EXPECT_EQ(dlg->GetDlgItemText(1021), "- Then perform new search");
        EXPECT_FALSE(dlg->IsItemVisible(IDC_STARTUP_OK));
        EXPECT_FALSE(dlg->IsTimerRunning(1));
        shelltest::Shot("startup_not_found");
        finished = true;
        EndAll();
    });
    run.Start();
    RunStartupDialogModal();
    EXPECT_TRUE(finished);
}

TEST(StartupSearch, WatchdogBringsTheDialogBackAndANewSearchFindsTheReceiver) {
    Link link(2, 57600);
    link.sim.Stream({kGGA}, 100, true);
    PrepareRegistry(2, 57600, 1);
    CTessaray_PCApp& app = theApp();
    g_GPS.Info.iComPort = 2;
    app.bStartupPhase = 0;
    ReopenPort(2, 57600);
    ASSERT_EQ(OpenPortBaud(), 57600);

    PositionPage* page = nullptr;
    int silentTicks = 0;
    CSTARTUP3* dlg = nullptr;
    bool finished = false;
    ui::StepRunner run;
    run.AddWait([&] { return (page = Position()) && page->IsWindowVisible(); }, 5000,
                [] { Fail("position screen"); });
    run.Add([&] {
        page->SetTimer(kLinkWatchTimer, kFar);
        ASSERT_TRUE(WaitFor([&] { return app.bSentenceReceived.load() != 0; }, 5000));
        link.WatchTick(page);
        EXPECT_EQ(page->m_bNotFound, 0);
        link.sim.FallSilent();
        ASSERT_TRUE(WaitFor([&] { return g_Comm.BytesInQueue() == 0; }, 3000));
        link.timeline.Clear();
    });
    // Silent ticks until the dialog is back; each runs in the innermost loop.
    for (int k = 0; k < 3; ++k) {
        run.Add([&] {
            if (TopStartup()) return;
            ++silentTicks;
            link.WatchTick(page);
        });
    }
    run.AddWait([&] { return (dlg = TopStartup()) != nullptr; }, 5000, [] { Fail("dialog"); });
    run.Add([&] {
        // The last sentence may still be counted by the first tick after the silence began.
        EXPECT_GE(silentTicks, 2);
        EXPECT_LE(silentTicks, 3);
        EXPECT_EQ(page->leaves, 1);
        EXPECT_FALSE(page->IsWindowVisible());
        EXPECT_EQ(app.bReceiverFound.load(), 0);
        EXPECT_EQ(app.bStartupPhase.load(), 1);
        const std::vector<std::string> texts = link.timeline.Texts();
        EXPECT_NE(std::find(texts.begin(), texts.end(), "$JASC,GPGGA,0"), texts.end());
        EXPECT_TRUE(link.sim.WaitForCommand("$JASC,GPGGA,0", 3000));
        EXPECT_TRUE(g_Comm.bOpen());  // the port stays open for the new search

        dlg->SetTimer(kLinkWatchTimer, kFar);
        link.sim.Stream({kGGA}, 100, true);
        link.timeline.Clear();
        ui::UserClick(dlg->GetDlgItem(IDC_SEARCH));
    });
    run.AddWait([&] { return dlg->IsTimerRunning(kBaudSearchTimer); }, 5000,
                [] { Fail("search"); });
    run.Add([&] {
        dlg->SetTimer(kBaudSearchTimer, kFar);
        link.DriveSearch(dlg, 57600);
        EXPECT_EQ(Opens(link.timeline.Events()), std::vector<int>{57600});
    });
    run.AddWait([&] { return dlg->GetDlgItemText(1015) == "- Receiver found"; }, 5000,
                [] { Fail("found again"); });
    run.Add([&] {
        finished = true;
        dlg->EndDialog(ui::IDCANCEL);
        page->EndDialog(ui::IDCANCEL);
    });
    run.Start();
    Screen(SCR_GPS_1)->DoModal();
    EXPECT_TRUE(finished);
}

TEST(StartupSearch, DemoModeOpensNoPort) {
    Link link(2, 57600);
    PrepareRegistry(2, 9600, 1);
    CTessaray_PCApp& app = theApp();

    CSTARTUP3* dlg = nullptr;
    bool finished = false;
    ui::StepRunner run;
    run.AddWait([&] { return (dlg = TopStartup()) != nullptr; }, 5000, [] { Fail("dialog"); });
    run.Add([&] { ui::UserClick(dlg->GetDlgItem(IDC_DEMO_MODE)); });
    run.AddWait([&] { return dlg->IsItemVisible(IDC_STARTUP_OK); }, 5000, [] { Fail("demo"); });
    run.Add([&] {
        EXPECT_EQ(dlg->GetDlgItemText(1014), "- Starting Demo Mode");
        EXPECT_EQ(dlg->GetDlgItemText(1017), "- Select Receiver Type ...");
        EXPECT_EQ(app.bDemoMode.load(), 1);
        ui::UserSelectCombo(dlg->GetDlgItem(IDC_RECEIVER_TYPE_COMBO), 1);
    });
    run.AddWait([&] { return g_GPS.Info.eReceiverType == RECEIVER_HEADING; }, 5000,
                [] { Fail("receiver type"); });
    run.Add([&] {
        EXPECT_EQ(app.eReceiverType.load(), RECEIVER_HEADING);
        ui::UserClick(dlg->GetDlgItem(IDC_STARTUP_OK));
    });
    run.AddWait([&] { return Position() && ui::Host::Instance().TopPage() == Position(); }, 10000,
                [] { Fail("position screen"); });
    run.Add([&] {
        EXPECT_EQ(link.device->opens(), 0);
        EXPECT_FALSE(g_Comm.bOpen());
        EXPECT_EQ(app.bPortOpen.load(), 0);
        EXPECT_TRUE(link.sim.Commands().empty());
        finished = true;
        EndAll();
    });
    run.Start();
    RunStartupDialogModal();
    EXPECT_TRUE(finished);
}

}  // namespace
