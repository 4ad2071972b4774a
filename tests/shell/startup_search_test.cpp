// The start-up dialog against a simulated receiver answering at its own baud: search on virtual
// time, settings poll, hand-over, the watchdog bringing the dialog back, demo mode.

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/gps.h"
#include "engine/scomm.h"
#include "engine/txnmea.h"
#include "platform/ports.h"
#include "resources/dlg_startup.h"
#include "screens/position/GPS_1.h"
#include "shell/STARTUP3.h"
#include "shell/Tessaray_PC.h"
#include "support/driver_client.h"
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

CSTARTUP3* TopStartup() {
    return dynamic_cast<CSTARTUP3*>(ui::Host::Instance().TopPage());
}

bool WaitFor(const std::function<bool()>& done) {
    return testsupport::WaitUntil(done, 5000);
}
std::function<void()> Fail(const char* what) {
    return [what] { ADD_FAILURE() << "timed out waiting for " << what; };
}

std::string Dump(const std::vector<LinkEvent>& events) {
    std::string out;
    for (const LinkEvent& e : events) out += std::to_string(e.time) + " " + e.text + "\n";
    return out;
}

// The program and its reader on a simulated receiver at COM`com`, with stored port and baud.
class Link {
public:
    Link(int com, uint32_t receiverBaud, int storedBaud) {
        shelltest::StartProgram(1.0);
        RegisterScreen(SCR_GPS_1, [] { return std::make_unique<PositionPage>(); });
        EXPECT_TRUE(sim.ok()) << sim.error();
        platform::SetDetectedPortsForTest({});
        sim.InstallAsCom(com);
        sim.SetLineBaud(receiverBaud);
        theApp().EnumSerialPorts();
        clock = std::make_unique<shelltest::SplitClock>(timeline);
        platform::SetClock(clock.get());
        device = std::make_unique<shelltest::LoggingDevice>(posix, timeline);
        // Commands sent at the old speed reach the simulator before the speed changes.
        device->beforeConfigure = [this] {
            const size_t sent = timeline.LinesWritten();
            WaitFor([&] { return sim.Commands().size() >= sent; });
        };
        g_Comm.SetDevice(device.get());
        InstallLinkHooks();
        theApp().GpsThread.Start();
        ui::Settings::SetInt("LastPort", com);
        ui::Settings::SetInt("LastBaud", storedBaud);
        ui::Settings::SetInt("AutoBaud", 1);
    }
    ~Link() {
        theApp().GpsThread.Stop(5000);
        g_Comm.ClosePort();
        g_Comm.SetDevice(nullptr);
        platform::SetClock(nullptr);
    }
    // The search timer's 1 s ticks on virtual time; at `answerBaud` each waits for the answer.
    void DriveSearch(CSTARTUP3* dlg, uint32_t answerBaud) {
        dlg->SetTimer(kBaudSearchTimer, kFar);
        uint32_t last = clock->Now() - 1000;
        for (int ticks = 1; dlg->IsTimerRunning(kBaudSearchTimer) && ticks <= 80; ++ticks) {
            const uint32_t elapsed = clock->Now() - last;
            if (elapsed < 1000) clock->Advance(1000 - elapsed);
            last = clock->Now();
            timeline.Add(last, "tick");
            dlg->FireTimer(kBaudSearchTimer);
            const bool answers =
                answerBaud != 0 && static_cast<uint32_t>(OpenPortBaud()) == answerBaud;
            EXPECT_TRUE(!answers || WaitFor([] { return theApp().bSentenceReceived.load() != 0; }));
            if (dlg->IsTimerRunning(kLinkWatchTimer)) dlg->SetTimer(kLinkWatchTimer, kFar);
            if (ticks == 20) shelltest::Shot("startup_searching");
        }
    }
    void WatchTick(CBaseDialog* page) {
        clock->Advance(CBaseDialog::LinkWatchPeriod());
        timeline.Add(clock->Now(), "tick");
        page->FireTimer(kLinkWatchTimer);
    }
    void StartSearch(ui::StepRunner& run, CSTARTUP3*& dlg) {
        run.AddWait([&] { return (dlg = TopStartup()) != nullptr; }, 5000, Fail("dialog"));
        run.Add([&] {
            dlg->SetTimer(kLinkWatchTimer, kFar);
            timeline.Clear();
            ui::UserClick(dlg->GetDlgItem(IDC_SEARCH));
        });
        run.AddWait([&] { return dlg->IsTimerRunning(kBaudSearchTimer); }, 5000, Fail("search"));
    }
    shelltest::Timeline timeline;
    testsupport::ReceiverSimulator sim;
    std::unique_ptr<shelltest::SplitClock> clock;
    platform::PosixSerialDevice posix;
    std::unique_ptr<shelltest::LoggingDevice> device;
};

std::vector<int> Opens(const std::vector<LinkEvent>& events) {
    std::vector<int> bauds;
    for (const LinkEvent& e : events)
        if (e.text.rfind("open ", 0) == 0) bauds.push_back(std::stoi(e.text.substr(5)));
    return bauds;
}

// Checks each search step: the opening tick (close, open, modem commands, purge, pauses), then
// probe ticks with the start-up poll when due (at most every 2 s) and 300 ms. Ticks per step.
std::vector<int> CheckSearchSteps(const std::vector<LinkEvent>& ev) {
    std::vector<int> perStep;
    const auto expect = [&](size_t i, const std::vector<std::string>& want) {
        std::vector<std::string> got;
        for (size_t k = i; k < std::min(ev.size(), i + want.size()); ++k) got.push_back(ev[k].text);
        EXPECT_EQ(got, want) << "at event " << i << "\n" << Dump(ev);
        return i + want.size();
    };
    uint32_t lastPoll = 0;
    for (size_t i = 0; i < ev.size();) {
        if (ev[i].text != "tick") {
            ADD_FAILURE() << "no tick at event " << i << "\n" << Dump(ev);
            break;
        }
        size_t o = i + 1;
        while (o < ev.size() && ev[o].text != "tick" && ev[o].text.rfind("open ", 0) != 0) ++o;
        if (o < ev.size() && ev[o].text != "tick") {
            std::vector<std::string> block = {"tick"};
            if (!perStep.empty()) block.insert(block.end(), {"~200", "close"});
            block.insert(block.end(), {"~500", ev[o].text});
            // The baud's own modem command is the modem rules' concern.
            const std::string c = o + 4 < ev.size() ? ev[o + 4].text : "";
            EXPECT_EQ(c.rfind("ATSW20,", 0), 0u) << c;
            block.insert(block.end(), {"~200", "ATMC", "~200", c, "~200", c, "~200", "ATMD", "~200",
                                       "ATMD", "~200"});
            block.insert(block.end(), {"purge", "~200"});
            i = expect(i, block);
            perStep.push_back(1);
        } else {
            ++i;
            if (perStep.empty()) break;
            ++perStep.back();
        }
        if (i < ev.size() && ev[i].text == "$JDIFF") {
            EXPECT_TRUE(lastPoll == 0 || ev[i].time - lastPoll > 2000u) << ev[i].time;
            lastPoll = ev[i].time;
            i = expect(i, {"$JDIFF", "~10", "$JAPP", "~10"});
        }
        // Only the tick that finds the receiver or ends the search pauses no more.
        if (i < ev.size() && ev[i].text == "~300") {
            ++i;
        } else if (i < ev.size()) {
            EXPECT_EQ(ev[i].text, "tick") << i << "\n" << Dump(ev);
        }
    }
    return perStep;
}

TEST(StartupSearch, FindsReceiverAt57600PollsSettingsAndHandsOver) {
    Link link(2, 57600, 9600);
    RegisterPositionScreens();
    link.sim.AddReply("$JAPP", "$>JAPP,WAAS,AUTODIFF\r\n");
    link.sim.Stream({kGGA}, 200, true);
    CTessaray_PCApp& app = theApp();
    CSTARTUP3* dlg = nullptr;
    bool finished = false;
    ui::StepRunner run;
    run.AddWait([&] { return (dlg = TopStartup()) != nullptr; }, 5000, Fail("dialog"));
    run.Add([&] {
        EXPECT_EQ(shelltest::Texts(dlg, {IDC_PORT_COMBO, IDC_PORT_DEVICE, IDC_BAUD_COMBO}),
                  "COM2|" + link.sim.SlavePath() + "|9600");
        EXPECT_FALSE(dlg->IsItemEnabled(IDC_BAUD_COMBO) || dlg->IsItemVisible(IDC_STARTUP_OK));
    });
    link.StartSearch(run, dlg);
    run.Add([&] {
        link.DriveSearch(dlg, 57600);
        const std::vector<LinkEvent> ev = link.timeline.Events();
        EXPECT_EQ(Opens(ev), (std::vector<int>{9600, 19200, 19200, 4800, 38400, 57600}));
        // Each baud: its opening tick and five probe ticks; then the tick that finds it.
        EXPECT_EQ(CheckSearchSteps(ev), (std::vector<int>{6, 6, 6, 6, 6, 7}));
        EXPECT_EQ(std::vector<int>({g_GPS.Info.Comm.iOpenBaudRate,
                                    g_GPS.Info.Settings.WizardLive.iNMEABaudRate, bLinkWatchOn}),
                  std::vector<int>({57600, 57600, 1}));
    });
    run.AddWait([&] { return dlg->GetDlgItemText(1015) == "- Receiver found"; }, 5000,
                Fail("found"));
    run.Add([&] {
        EXPECT_EQ(shelltest::Shown(dlg, {IDC_RECEIVER_TYPE_LABEL, IDC_RECEIVER_TYPE_COMBO,
                                         IDC_STARTUP_OK, IDC_GENERATE_REPORT}),
                  "1111");
        shelltest::Shot("startup_found");
        link.timeline.Clear();
        link.sim.FallSilent();  // only the commands matter from here
        ui::UserClick(dlg->GetDlgItem(IDC_STARTUP_OK));
    });
    run.AddWait([] { return ScreenIfBuilt(SCR_GPS_1) == ui::Host::Instance().TopPage(); }, 10000,
                Fail("position screen"));
    run.Add([&] {
        ASSERT_NE(dynamic_cast<CGPS_1*>(ScreenIfBuilt(SCR_GPS_1)), nullptr);
        EXPECT_EQ(
            std::vector<int>(
                {*ui::Settings::ReadInt("LastBaud"), *ui::Settings::ReadInt("LastPort"),
                 *ui::Settings::ReadInt("AutoBaud"), app.bSaveOnExit, app.bStartupPhase.load()}),
            std::vector<int>({57600, 2, 1, 1, 0}));
        // The settings poll after OK, then the position screen's keep-alive poll and outputs.
        std::string poll = "$JBIN,1,0", wire;  // the poll in full, then lines only
        for (int id : {2, 80, 93, 94, 97, 98, 99})
            poll += " ~100 $JBIN," + std::to_string(id) + ",0";
        poll += " $JI ~50";
        for (int i = 0; i < 8; ++i) poll += i < 6 ? " $JSHOW ~500" : " $JGEO,ALL ~500";
        poll +=
            " $PKRV,1,1 ~10 ~500 $PKRV,1,1 ~10 ~500 $JDIFF ~100 ~100 $JRTK,6 ~100 $JRTK ~500 "
            "$PKRV,1,0 ~10 ~100";
        const std::vector<std::string> texts = link.timeline.Texts();
        const size_t polled = static_cast<size_t>(std::count(poll.begin(), poll.end(), ' ')) + 1;
        for (size_t k = 0; k < texts.size(); ++k)
            if (k < polled || texts[k][0] != '~') wire += texts[k] + " ";
        EXPECT_EQ(wire, poll +
                            " $JDIFF $JBIN,1,1 $JASC,GPVTG,1 $JASC,GPGST,1 $JASC,GPGGA,1 "
                            "$JBIN,2,1 $JAPP $JDIFF ")
            << Dump(link.timeline.Events());
        EXPECT_TRUE(link.sim.WaitForCommand("$JASC,GPGGA,1", 3000));
        shelltest::Shot("startup_handed_over");
        finished = true;
        ScreenIfBuilt(SCR_GPS_1)->EndDialog(ui::IDCANCEL);
    });
    run.Start();
    RunStartupDialogModal();
    EXPECT_TRUE(finished);
}

// Silence: the watchdog brings the dialog back with the port open for a new search.
TEST(StartupSearch, WatchdogBringsTheDialogBack) {
    Link link(2, 57600, 57600);
    link.sim.Stream({kGGA}, 100, true);
    CTessaray_PCApp& app = theApp();
    g_GPS.Info.iComPort = 2;
    app.bStartupPhase = 0;
    ReopenPort(2, 57600);
    ASSERT_EQ(OpenPortBaud(), 57600);
    auto* page = dynamic_cast<PositionPage*>(Screen(SCR_GPS_1));
    int silentTicks = 0;
    CSTARTUP3* dlg = nullptr;
    bool finished = false;
    ui::StepRunner run;
    run.AddWait([&] { return page->IsWindowVisible(); }, 5000, Fail("position screen"));
    run.Add([&] {
        page->SetTimer(kLinkWatchTimer, kFar);
        ASSERT_TRUE(WaitFor([&] { return app.bSentenceReceived.load() != 0; }));
        link.WatchTick(page);
        EXPECT_EQ(page->m_bNotFound, 0);
        link.sim.FallSilent();
        ASSERT_TRUE(WaitFor([&] { return g_Comm.BytesInQueue() == 0; }));
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
    run.AddWait([&] { return (dlg = TopStartup()) != nullptr; }, 5000, Fail("dialog"));
    run.Add([&] {
        // The last sentence may still be counted by the first tick after the silence began.
        EXPECT_TRUE(silentTicks == 2 || silentTicks == 3) << silentTicks;
        EXPECT_FALSE(page->IsWindowVisible());
        EXPECT_EQ(
            std::vector<int>({page->leaves, app.bReceiverFound.load(), app.bStartupPhase.load()}),
            std::vector<int>({1, 0, 1}));
        EXPECT_TRUE(link.sim.WaitForCommand("$JASC,GPGGA,0", 3000));
        EXPECT_TRUE(g_Comm.bOpen());  // the port stays open for the new search
        finished = true;
        dlg->EndDialog(ui::IDCANCEL);
        page->EndDialog(ui::IDCANCEL);
    });
    run.Start();
    page->DoModal();
    EXPECT_TRUE(finished);
}

}  // namespace
