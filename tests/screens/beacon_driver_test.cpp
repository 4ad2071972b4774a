// The beacon pages in the whole program, against a receiver on a pseudo-terminal that is on
// beacon corrections: the differential button opens the beacon status with the station the
// receiver hears, the group's tabs switch the status sentence off and on, and a tune by name
// reaches the receiver.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "resources/dlg_startup.h"
#include "screens/differential/BEACON_1.h"
#include "screens/differential/BEACON_2.h"
#include "support/driver_client.h"
#include "support/qt/driver_start.h"
#include "support/frames.h"
#include "support/receiver_simulator.h"

namespace {

using testsupport::ReceiverSimulator;

// Waits (real time, bounded) until the lines have arrived together, in this order, among the
// commands from `from` on.
bool WaitRun(const ReceiverSimulator& sim, size_t from, const std::vector<std::string>& run) {
    return testsupport::WaitUntil([&] {
        const auto commands = sim.Commands();
        for (size_t at = from; at + run.size() <= commands.size(); ++at) {
            size_t k = 0;
            while (k < run.size() && commands[at + k].line == run[k]) ++k;
            if (k == run.size()) return true;
        }
        return false;
    });
}

TEST(BeaconDriver, StatusTabsAndTuneReachTheReceiver) {
    ReceiverSimulator sim;
    ASSERT_TRUE(sim.ok()) << sim.error();
    // Blåvands Huk (station 705) heard at 290.0 kHz.
    sim.Stream({"$GPGGA,123519.50,4807.038,N,01131.000,E,2,08,0.9,545.4,M,46.9,M,2.0,0000*43\r\n",
                testsupport::NmeaSentence("PKRV,CS0,BX3.1,0,290.0,M,0,M,7,10,50,3,705,2")},
               200, true);
    sim.AddReply("$JDIFF", "$>JDIFF,BEACON\r\n");
    sim.AddReply("$JAPP", "$>JAPP,WAAS,LBAND\r\n");

    testsupport::DriverProcess p(sim);
    ASSERT_TRUE(p.Connect());
    ASSERT_EQ(testsupport::SearchToPositionScreen(p), "");

    size_t mark = sim.Commands().size();
    ASSERT_EQ(p.AskUntil("nav 2", "ok"), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CBEACON_1"), "ok CBEACON_1");
    EXPECT_TRUE(WaitRun(sim, mark, {"$JAPP", "$JDIFF", "$PKRV,1,1"}));
    const std::string name = "ok Bl\xC3\xA5vands Huk";
    EXPECT_EQ(p.AskUntil("get " + std::to_string(IDC_BEACON1_NAME), name), name);
    EXPECT_EQ(p.Ask("get " + std::to_string(IDC_BEACON1_FREQ)), "ok 290.0 kHz");

    // The tune page; the first visit's station is Polson, Montana, at 287.0 kHz.
    mark = sim.Commands().size();
    ASSERT_EQ(p.Ask("select " + std::to_string(IDC_BEACON1_TAB) + " 1"), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CBEACON_2"), "ok CBEACON_2");
    EXPECT_TRUE(WaitRun(sim, mark, {"$PKRV,1,0", "$PKRV,1,1"}));
    mark = sim.Commands().size();
    ASSERT_EQ(p.Ask("click " + std::to_string(IDC_BEACON2_TUNE_NAME)), "ok");
    EXPECT_TRUE(WaitRun(sim, mark, {"$GPMSK,287.0,M,,A,0", "$PKRV,1,1"}));

    // Back to the status page: its entry commands again.
    mark = sim.Commands().size();
    ASSERT_EQ(p.Ask("select " + std::to_string(IDC_BEACON2_TAB) + " 0"), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CBEACON_1"), "ok CBEACON_1");
    EXPECT_TRUE(WaitRun(sim, mark, {"$PKRV,1,0", "$JAPP", "$JDIFF", "$PKRV,1,1"}));

    EXPECT_EQ(p.Ask("quit"), "ok");
    EXPECT_EQ(p.WaitExit(), 0);
}

}  // namespace
