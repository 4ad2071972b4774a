// The saving screen reports a save only from a receiver heard after the shutdown commands began;
// what is written back at exit is only ever the connected receiver's.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/gps.h"
#include "engine/scomm.h"
#include "engine/txnmea.h"
#include "resources/dlg_startup.h"
#include "shell/CLOSESCREEN_1.h"
#include "shell/CLOSESCREEN_2.h"
#include "shell/ExitInstance.h"
#include "shell/STARTUP3.h"
#include "shell/Tessaray_PC.h"
#include "support/fake_serial.h"
#include "support/frames.h"
#include "support/qt/shell_harness.h"
#include "support/reply_clock.h"
#include "support/virtual_clock.h"
#include "ui/automation.h"
#include "ui/dialog.h"
#include "ui/settings.h"

namespace {

using testsupport::BinFrame;
using testsupport::NmeaSentence;

// A port whose receiver answers chosen commands at once, through the reader's framing.
class AnsweringDevice : public testsupport::FakeSerialDevice {
public:
    long Write(const void* buf, size_t len) override {
        if (!stallAt.empty() &&
            std::string_view(static_cast<const char*>(buf), len).starts_with(stallAt))
            SetStalled(true);
        const long n = FakeSerialDevice::Write(buf, len);
        const std::string text(static_cast<const char*>(buf), n > 0 ? static_cast<size_t>(n) : 0);
        for (const auto& [prefix, reply] : replies)
            if (text.rfind(prefix, 0) == 0)
                theApp().GpsThread.FrameBytes(reply.data(), reply.size());
        return n;
    }
    std::vector<std::pair<std::string, std::string>> replies;
    std::string stallAt;  // from this command on the port takes nothing
};

// The port on the answering device, the reader's passes played by the test.
struct AnsweringPort {
    AnsweringPort() {
        setenv("TESSARAY_PC_COM3", "/dev/fake-com3", 1);
        g_Comm.SetDevice(&device);
        EXPECT_EQ(g_Comm.OpenPort(3, 19200), COMM_OK);
        theApp().GpsThread.SetSinks(&sinks);
        theApp().bPortOpen.store(1);
    }
    ~AnsweringPort() {
        bSuppressPolling.store(0);
        theApp().bReceiverFound.store(0);
        theApp().bPortOpen.store(0);
        theApp().GpsThread.SetSinks(nullptr);
        g_Comm.ClosePort();
        g_Comm.SetDevice(nullptr);
        unsetenv("TESSARAY_PC_COM3");
    }
    AnsweringDevice device;
    testsupport::CountingSinks sinks;
};

// What the saving screen showed: its progress lines 2 to 4, and whether Retry and Close
// Anyway were offered.
struct Progress {
    std::string lines;
    bool offered = false;
};

// Runs the shutdown sequence; while the saving screen shows, `during` comes from the receiver
// and `ticks` of the screen's timer fire, then `later` and `laterTicks` more; then the screen is
// ended.
Progress ShutDown(const std::string& during, int ticks, const std::string& later = "",
                  int laterTicks = 0) {
    Progress shown;
    ui::StepRunner run;
    run.AddWait([] { return dynamic_cast<CCLOSESCREEN_1*>(ui::Host::Instance().TopPage()); }, 60000,
                [] { ADD_FAILURE() << "no saving screen"; });
    run.Add([&] {
        auto* s = dynamic_cast<CCLOSESCREEN_1*>(ui::Host::Instance().TopPage());
        s->SetTimer(CCLOSESCREEN_1::kTickTimer, 3600000);
        theApp().GpsThread.FrameBytes(during.data(), during.size());
        for (int tick = 0; tick < ticks; ++tick) s->FireTimer(CCLOSESCREEN_1::kTickTimer);
        theApp().GpsThread.FrameBytes(later.data(), later.size());
        for (int tick = 0; tick < laterTicks; ++tick) s->FireTimer(CCLOSESCREEN_1::kTickTimer);
        shown = {shelltest::Texts(s, {1169, 1170, 1171}),
                 s->IsItemEnabled(1) && s->IsItemEnabled(2)};
        s->EndDialog(ui::IDOK);
    });
    run.Start();
    SaveAndCloseReceiver();
    ui::ProcessPending();
    EXPECT_TRUE(run.Done());
    return shown;
}

// The receiver was found and polled; the port stays open; the reader's passes are played here:
// bytes heard before the shutdown, then while the saving screen shows.
TEST(ExitSilentReceiver, SaveCompleteOnlyFromAReceiverHeardSinceTheShutdownBegan) {
    const std::string gga =
        NmeaSentence("GPGGA,123519.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    const struct {
        const char* name;
        std::string before, during;
        const char* lines;  // progress lines 2 to 4 after the third tick
        bool offered;       // Retry and Close Anyway
    } cases[] = {
        {"silent since", gga, "", " - Receiver not found, | - Reconnect and retry ...|", true},
        {"replies", gga, "$>JSAVE,Saving Configuration.  Please Wait...\r\n",
         " - Sending new configuration ...| - Saving ...| - Save complete", false},
        {"one byte", "", "\n", " - Receiver not found, | - Reconnect and retry ...|", true},
        {"talking", gga, gga, " - Sending new configuration ...| - Saving ...| - Save complete",
         false},
    };
    shelltest::StartProgram(1.0);
    testsupport::InstalledVirtualClock clock;
    AnsweringPort port;
    CTessaray_PCApp& app = theApp();
    app.bStartupPhase.store(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app.GpsThread.FrameBytes(c.before.data(), c.before.size());
        app.bReceiverFound.store(1);
        const Progress shown = ShutDown(c.during, 3);
        EXPECT_EQ(shown.lines, c.lines);
        EXPECT_EQ(shown.offered, c.offered);
        EXPECT_NE(port.device.written().find("$JSAVE\r\n"), std::string::npos);
        port.device.ClearWrites();
    }
}

// Once the saving screen has said the receiver is not found, it stays so when the receiver
// speaks again (power-cycled meanwhile): every command, "$JSAVE" included, went into silence.
TEST(ExitSilentReceiver, NotFoundHoldsWhenTheReceiverSpeaksAgain) {
    const std::string gga =
        NmeaSentence("GPGGA,123519.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    shelltest::StartProgram(1.0);
    testsupport::InstalledVirtualClock clock;
    AnsweringPort port;
    theApp().bStartupPhase.store(0);
    theApp().bReceiverFound.store(1);
    const Progress shown = ShutDown("", 3, gga, 2);
    EXPECT_EQ(shown.lines, " - Receiver not found, | - Reconnect and retry ...|");
    EXPECT_TRUE(shown.offered);
}

constexpr ui::UINT kStartupProgressTimer = 1;

// The start-up dialog finds the receiver now connected, on COM3 without a baud search.
void FindWithTheStartupDialog(const std::string& firstWords) {
    CTessaray_PCApp& app = theApp();
    app.iComPortTable[2] = 1;
    ui::Settings::SetInt("LastPort", 3);
    ui::Settings::SetInt("LastBaud", 19200);
    ui::Settings::SetInt("AutoBaud", 0);
    app.bStartupPhase.store(1);
    CSTARTUP3 dlg;
    ui::StepRunner run;
    run.AddWait([&] { return dlg.IsWindowVisible(); }, 5000, [] { ADD_FAILURE(); });
    run.Add([&] {
        ui::UserClick(dlg.GetDlgItem(IDC_SEARCH));
        ui::ProcessPending();
        app.GpsThread.FrameBytes(firstWords.data(), firstWords.size());
        dlg.FireTimer(kStartupProgressTimer);
        EXPECT_EQ(dlg.GetDlgItemText(kProgressLineIds[1]), "- Receiver found");
        dlg.OnCancel();
    });
    run.Start();
    dlg.DoModal();
    EXPECT_TRUE(run.Done());
    app.bStartupPhase.store(0);
}

// A receiver lists its L-band beam and falls silent; the start-up dialog finds another that
// lists only an SBAS satellite. At exit the second gets its own tune when it answered the
// read-back, and no settings at all when it was never read.
TEST(ExitSilentReceiver, ANewReceiverIsToldNothingTheLastOneSaid) {
    const std::string beam = "$>JGEO,Sent,FREQ=1545.530,ID=98,LON=-98.0,EL=30.0,AZ=200.0\r\n";
    const std::string sbas = "$>JGEO,Sent,FREQ=1575.420,PRN=122,LON=-15.5,EL=30.2,AZ=200.1\r\n";
    const std::string show = "$>JSHOW,BAUD,19200\r\n";
    // The first receiver lists its other port, mask and age too; the second leaves them out.
    const std::string firstShow =
        show + "$>JSHOW,BAUD,38400,OTHER\r\n$>JSHOW,MASK,10\r\n$>JSHOW,AGE,60\r\n";
    const std::string gga =
        NmeaSentence("GPGGA,123519.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    const std::string off = "$JOFF\r\n$JOFF,OTHER\r\n$PKRV,1,0\r\n$PKRV,1,0,OTHER\r\n";
    const struct {
        const char* name;
        bool readBack;       // OK was pressed: the second receiver's settings were read
        std::string answer;  // its answer to "$JGEO" then
        const char* tune;    // the tune written back; "" for no settings at all
    } cases[] = {
        {"answers the read-back", true, sbas, "$JFREQ,1575420,122\r\n"},
        {"never answers the read-back", true, "", ""},
        {"found, never read", false, "", ""},
    };
    shelltest::StartProgram(1.0);
    testsupport::InstalledVirtualClock clock;
    AnsweringPort port;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        port.device.replies = {{"$JGEO", beam}, {"$JSHOW", firstShow}};
        g_GPS.ReadConfig(g_GPS.Info.Settings.WizardLive);
        ASSERT_EQ(g_GPS.Info.Settings.WizardLive.ulFreqKhz, 1545530u);
        ASSERT_EQ(g_GPS.Info.Settings.WizardLive.iElevation, 10);
        port.device.replies.clear();
        FindWithTheStartupDialog(gga);
        EXPECT_EQ(theApp().uRepliesHeard.load(), 0u);
        if (c.readBack) {
            if (!c.answer.empty()) port.device.replies = {{"$JGEO", c.answer}, {"$JSHOW", show}};
            g_GPS.ReadConfig(g_GPS.Info.Settings.WizardLive);
        }
        port.device.ClearWrites();
        theApp().bReceiverFound.store(1);
        ShutDown(gga, 4);
        const std::string sent = port.device.written();
        if (*c.tune) {
            EXPECT_NE(sent.find(c.tune), std::string::npos) << sent;
            for (const char* old :
                 {"$JFREQ,1545530", "$JBAUD,38400,OTHER", "$JMASK,10", "$JAGE,60"})
                EXPECT_EQ(sent.find(old), std::string::npos) << old << "\n" << sent;
            EXPECT_EQ(sent.size() - sent.rfind("$JSAVE\r\n"), 8u);
        } else {
            EXPECT_EQ(sent, off);
        }
    }
}

// Only framed sentences, replies and binary frames count as the receiver heard, also when
// they came during the shutdown's pauses; settings the read-back never got are neither sent
// back nor saved, and the progress says so.
TEST(ExitSilentReceiver, HeardMeansFramesAndUnreadSettingsAreNotWrittenBack) {
    const std::string gga =
        NmeaSentence("GPGGA,123519.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    const std::string off = "$JOFF\r\n$JOFF,OTHER\r\n$PKRV,1,0\r\n$PKRV,1,0,OTHER\r\n";
    const char* const saved = " - Sending new configuration ...| - Saving ...| - Save complete";
    const struct {
        const char* name;
        std::string readBack;  // the answer to "$JSHOW" while the settings were read
        std::string atOff;     // what came while the shutdown paused after "$JOFF"
        std::string during;    // what came while the saving screen showed
        const char* lines;     // progress lines 2 to 4 after the third tick
        bool written;          // the settings went back and "$JSAVE" after them
    } cases[] = {
        {"noise", "$>JSHOW,BAUD,19200\r\n", "", "\x01\x7f garbage, no sentence\r\n\xff\n",
         " - Receiver not found, | - Reconnect and retry ...|", true},
        {"binary frame", "$>JSHOW,BAUD,19200\r\n", "", BinFrame(3, std::string(10, 'x')), saved,
         true},
        {"answers in the pauses, then silent", "$>JSHOW,BAUD,19200\r\n", gga, "", saved, true},
        {"settings never read", "", "", gga,
         " - Receiver settings were never read,| - no settings sent or saved|", false},
    };
    shelltest::StartProgram(1.0);
    testsupport::InstalledVirtualClock clock;
    AnsweringPort port;
    CTessaray_PCApp& app = theApp();
    app.bStartupPhase.store(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        port.device.replies = {{"$JSHOW", c.readBack}};
        g_GPS.ReadConfig(g_GPS.Info.Settings.WizardLive);
        port.device.replies = {{"$JOFF\r\n", c.atOff}};
        port.device.ClearWrites();
        app.bReceiverFound.store(1);
        EXPECT_EQ(ShutDown(c.during, 4).lines, c.lines);
        const std::string sent = port.device.written();
        EXPECT_EQ(sent.rfind(off, 0), 0u) << sent;
        if (c.written) {
            EXPECT_NE(sent.find("$JBAUD,19200\r\n"), std::string::npos);
            EXPECT_EQ(sent.size() - sent.rfind("$JSAVE\r\n"), 8u);
        } else {
            EXPECT_EQ(sent, off);
        }
    }
}

// A link that stops taking bytes fails the save even while the receiver's sentences still
// come in: the progress offers Retry instead of a save; a sound link saves as before.
TEST(ExitSilentReceiver, StalledLinkIsAFailedSaveThoughSentencesComeIn) {
    const std::string gga =
        NmeaSentence("GPGGA,123519.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    const char* const lost = " - Receiver not found, | - Reconnect and retry ...|";
    const struct {
        const char* name;
        const char* stallAt;  // the command from which on the port takes nothing
        std::string during;   // what came while the saving screen showed
        const char* lines;    // progress lines 2 to 4 after the fourth tick
        bool offered;         // Retry and Close Anyway
        bool settings, save;  // the settings and "$JSAVE" reached the port
    } cases[] = {
        {"sound link", "", gga, " - Sending new configuration ...| - Saving ...| - Save complete",
         false, true, true},
        {"stalled from the first command", "$JOFF\r\n", gga, lost, true, false, false},
        {"stalls at the save", "$JSAVE", gga, lost, true, true, false},
        {"stalled and silent", "$JOFF\r\n", "", lost, true, false, false},
    };
    shelltest::StartProgram(1.0);
    testsupport::InstalledVirtualClock clock;
    AnsweringPort port;
    CTessaray_PCApp& app = theApp();
    app.bStartupPhase.store(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        port.device.replies = {{"$JSHOW", "$>JSHOW,BAUD,19200\r\n"}};
        g_GPS.ReadConfig(g_GPS.Info.Settings.WizardLive);
        port.device.replies.clear();
        port.device.ClearWrites();
        port.device.stallAt = c.stallAt;
        app.bReceiverFound.store(1);
        const Progress shown = ShutDown(c.during, 4);
        EXPECT_EQ(shown.lines, c.lines);
        EXPECT_EQ(shown.offered, c.offered);
        const std::string sent = port.device.written();
        EXPECT_EQ(sent.find("$JBAUD,19200\r\n") != std::string::npos, c.settings) << sent;
        EXPECT_EQ(sent.find("$JSAVE\r\n") != std::string::npos, c.save) << sent;
        port.device.stallAt.clear();
        port.device.SetStalled(false);
    }
}

// The report names settings that no reply ever filled in.
TEST(ExitSilentReceiver, ReportSaysWhenTheReadBackGotNoReply) {
    const struct {
        std::string readBack;
        const char* heading;
    } cases[] = {
        {"", "Receiver settings were never read"},
        {"$>JSHOW,BAUD,19200\r\n", "New Receiver  Configuration Report"},
    };
    shelltest::StartProgram(1.0);
    testsupport::InstalledVirtualClock clock;
    AnsweringPort port;
    theApp().bStartupPhase.store(1);
    for (const auto& c : cases) {
        port.device.replies = {{"$JSHOW", c.readBack}};
        ui::StepRunner run;
        run.AddWait([] { return dynamic_cast<CCLOSESCREEN_2*>(ui::Host::Instance().TopPage()); },
                    60000, [] { ADD_FAILURE() << "no report"; });
        run.Add([&] {
            auto* r = dynamic_cast<CCLOSESCREEN_2*>(ui::Host::Instance().TopPage());
            EXPECT_EQ(r->GetDlgItemText(1076), c.heading);
            r->EndDialog(ui::IDCANCEL);
        });
        run.Start();
        RunConfigReport();
        ui::ProcessPending();
        EXPECT_TRUE(run.Done());
    }
}

}  // namespace
