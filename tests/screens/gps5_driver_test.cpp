// The position plot in the whole program: reached from the position screen's tabs, the
// reference snapped from a live fix, and the two sliders moved as a user drags them.

#include <gtest/gtest.h>

#include <string>

#include "resources/dlg_startup.h"
#include "screens/position/GPS_5.h"
#include "support/driver_client.h"
#include "support/qt/driver_start.h"
#include "support/frames.h"
#include "support/receiver_simulator.h"

namespace {

using testsupport::ReceiverSimulator;

// The slider position in a "state" reply, or -1.
int PosOf(const std::string& state) {
    const size_t at = state.find("pos=");
    return at == std::string::npos ? -1 : std::stoi(state.substr(at + 4));
}

TEST(Gps5Driver, SnapShotAndSlidersInTheWholeProgram) {
    ReceiverSimulator sim;
    ASSERT_TRUE(sim.ok()) << sim.error();
    sim.Stream({testsupport::NmeaSentence(
                   "GPGGA,123519.50,4807.038,N,01131.000,E,2,08,0.9,545.4,M,46.9,M,2.0,0000")},
               200, true);
    sim.AddReply("$JDIFF", "$>JDIFF,WAAS\r\n");
    sim.AddReply("$JAPP", "$>JAPP,WAAS,LBAND\r\n");

    testsupport::DriverProcess p(sim);
    ASSERT_TRUE(p.Connect());
    ASSERT_EQ(testsupport::SearchToPositionScreen(p), "");

    ASSERT_EQ(p.Ask("select 1006 4"), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CGPS_5"), "ok CGPS_5");
    EXPECT_TRUE(sim.WaitForCommand("$JASC,GPGST,1", testsupport::kDriverWaitMs));
    EXPECT_EQ(p.Ask("get " + std::to_string(IDC_GPS5_REF_LAT)), "ok N/A");
    EXPECT_NE(p.Ask("state " + std::to_string(IDC_GPS5_USE_POINT)).find("visible=0"),
              std::string::npos);

    // Once the strip's GPS lamp shows the fix, the fix streamed by the receiver becomes the
    // reference.
    const std::string lampGood = "ok enabled=1 visible=1 checked=0 sel=-1 pos=0";
    ASSERT_EQ(p.AskUntil("state 1019", lampGood), lampGood);
    ASSERT_EQ(p.Ask("click " + std::to_string(IDC_GPS5_SNAPSHOT)), "ok");
    EXPECT_EQ(p.AskUntil("get " + std::to_string(IDC_GPS5_REF_LAT), "ok   48 07.038000"),
              "ok   48 07.038000");

    // The coarse slider 100 s back: the cursor follows inside the newest page.
    ASSERT_EQ(p.Ask("slide 1163 3500"), "ok");
    ASSERT_EQ(p.Ask("timer 1"), "ok");
    EXPECT_EQ(p.AskUntil("get " + std::to_string(IDC_GPS5_TIME), "ok -100 s"), "ok -100 s");
    EXPECT_EQ(PosOf(p.Ask("state 1164")), 50);
    // The precise slider to its left edge: one page back on the same second.
    ASSERT_EQ(p.Ask("slide 1164 0"), "ok");
    ASSERT_EQ(p.Ask("timer 1"), "ok");
    EXPECT_EQ(p.AskUntil("get 1154", "ok -150"), "ok -150");
    EXPECT_EQ(PosOf(p.Ask("state 1163")), 3450);
    EXPECT_EQ(PosOf(p.Ask("state 1164")), 150);
    EXPECT_EQ(p.Ask("get " + std::to_string(IDC_GPS5_TIME)), "ok -150 s");

    ASSERT_EQ(p.Ask("select 1029 0"), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CGPS_1"), "ok CGPS_1");
    EXPECT_TRUE(sim.WaitForCommand("$JASC,GPGST,0", testsupport::kDriverWaitMs));
    EXPECT_EQ(p.Ask("quit"), "ok");
    EXPECT_EQ(p.WaitExit(), 0);
}

}  // namespace
