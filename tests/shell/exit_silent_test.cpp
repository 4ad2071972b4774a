// The saving screen reports a save only from a receiver heard after the shutdown commands began.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "engine/scomm.h"
#include "engine/txnmea.h"
#include "shell/CLOSESCREEN_1.h"
#include "shell/ExitInstance.h"
#include "shell/Tessaray_PC.h"
#include "support/fake_serial.h"
#include "support/frames.h"
#include "support/qt/shell_harness.h"
#include "support/reply_clock.h"
#include "support/virtual_clock.h"
#include "ui/automation.h"
#include "ui/dialog.h"

namespace {

using testsupport::NmeaSentence;

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
        {"one byte", "", "\n", " - Sending new configuration ...| - Saving ...| - Save complete",
         false},
        {"talking", gga, gga, " - Sending new configuration ...| - Saving ...| - Save complete",
         false},
    };
    shelltest::StartProgram(1.0);
    testsupport::InstalledVirtualClock clock;
    testsupport::FakeSerialDevice device;
    testsupport::CountingSinks sinks;
    setenv("TESSARAY_PC_COM3", "/dev/fake-com3", 1);
    g_Comm.SetDevice(&device);
    ASSERT_EQ(g_Comm.OpenPort(3, 19200), COMM_OK);
    CTessaray_PCApp& app = theApp();
    app.GpsThread.SetSinks(&sinks);
    app.bPortOpen.store(1);
    app.bStartupPhase.store(0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        app.GpsThread.FrameBytes(c.before.data(), c.before.size());
        app.bReceiverFound.store(1);
        ui::StepRunner run;
        run.AddWait([] { return dynamic_cast<CCLOSESCREEN_1*>(ui::Host::Instance().TopPage()); },
                    60000, [] { ADD_FAILURE() << "no saving screen"; });
        run.Add([&] {
            auto* s = dynamic_cast<CCLOSESCREEN_1*>(ui::Host::Instance().TopPage());
            s->SetTimer(CCLOSESCREEN_1::kTickTimer, 3600000);
            app.GpsThread.FrameBytes(c.during.data(), c.during.size());
            for (int tick = 0; tick < 3; ++tick) s->FireTimer(CCLOSESCREEN_1::kTickTimer);
            EXPECT_EQ(shelltest::Texts(s, {1169, 1170, 1171}), c.lines);
            EXPECT_EQ(s->IsItemEnabled(1) && s->IsItemEnabled(2), c.offered);
            s->EndDialog(ui::IDOK);
        });
        run.Start();
        SaveAndCloseReceiver();
        ui::ProcessPending();
        EXPECT_TRUE(run.Done());
        EXPECT_NE(device.written().find("$JSAVE\r\n"), std::string::npos);
        device.ClearWrites();
    }
    bSuppressPolling.store(0);
    app.bReceiverFound.store(0);
    app.bPortOpen.store(0);
    app.GpsThread.SetSinks(nullptr);
    g_Comm.ClosePort();
    g_Comm.SetDevice(nullptr);
    unsetenv("TESSARAY_PC_COM3");
}

}  // namespace
