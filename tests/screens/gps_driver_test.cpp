// The GPS group's tabs in the whole program, against a receiver on a pseudo-terminal: each
// screen's leave and entry commands reach the receiver byte for byte and in order, and the
// satellites screen's tick polls the correction satellite and the source.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "resources/dlg_startup.h"
#include "support/driver_client.h"
#include "support/qt/driver_start.h"
#include "support/receiver_simulator.h"

namespace {

using testsupport::ReceiverSimulator;

// Whether the lines stand together, in this order, among the commands from `from` on.
bool HasRun(const std::vector<ReceiverSimulator::Command>& commands, size_t from,
            const std::vector<std::string>& run) {
    for (size_t i = from; i + run.size() <= commands.size(); ++i) {
        size_t k = 0;
        while (k < run.size() && commands[i + k].line == run[k]) ++k;
        if (k == run.size()) return true;
    }
    return false;
}

// Waits (real time, bounded) until the lines have arrived together.
bool WaitRun(const ReceiverSimulator& sim, size_t from, const std::vector<std::string>& run) {
    for (int i = 0; i < 400; ++i) {
        if (HasRun(sim.Commands(), from, run)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    return false;
}

TEST(GpsDriver, EveryTabSendsItsLeaveAndEntryCommands) {
    ReceiverSimulator sim;
    ASSERT_TRUE(sim.ok()) << sim.error();
    sim.Stream({"$GPGGA,123519.50,4807.038,N,01131.000,E,2,08,0.9,545.4,M,46.9,M,2.0,0000*43\r\n"},
               200, true);
    sim.AddReply("$JDIFF", "$>JDIFF,WAAS\r\n");
    sim.AddReply("$JAPP", "$>JAPP,WAAS,LBAND\r\n");

    testsupport::DriverProcess p(sim);
    ASSERT_TRUE(p.Connect());
    ASSERT_EQ(testsupport::SearchToPositionScreen(p), "");

    struct Visit {
        const char* select;
        const char* page;
        std::vector<std::string> leaveAndEntry;
    };
    const Visit visits[] = {
        {"select 1006 1",
         "ok CGPS_2",
         {"$JASC,GPGSV,1", "$JASC,D1,1", "$JGEO,ALL", "$JDIFF", "$PKRV,1,1", "$JBIN,99,1"}},
        {"timer 1", "ok CGPS_2", {"$JGEO,ALL", "$JDIFF"}},
        {"select 1029 3",
         "ok CGPS_4",
         {"$JASC,GPGSV,0", "$JASC,D1,0", "$PKRV,1,0", "$JASC,GPGST,1", "$JASC,GPGGA,1",
          "$JBIN,2,1"}},
        {"select 1006 5",
         "ok CGPS_6",
         {"$JASC,GPGST,0", "$JBIN,2,0", "$JASC,GPGGA,0", "$JOFF", "$PKRV,1,1", "$JAPP", "$JI"}},
        {"select 1006 2", "ok CGPS_3", {"$PKRV,1,0"}},
    };
    for (const Visit& v : visits) {
        SCOPED_TRACE(v.page);
        const size_t mark = sim.Commands().size();
        ASSERT_EQ(p.Ask(v.select), "ok");
        ASSERT_EQ(p.AskUntil("top", v.page), v.page);
        EXPECT_TRUE(WaitRun(sim, mark, v.leaveAndEntry));
    }
    // The output setup screen sends nothing on entry; a rate it changes goes out at once.
    const size_t mark = sim.Commands().size();
    ASSERT_EQ(p.Ask("select 1035 2"), "ok");
    EXPECT_TRUE(WaitRun(sim, mark, {"$JASC,GPGGA,5"}));
    EXPECT_EQ(p.Ask("quit"), "ok");
    EXPECT_EQ(p.WaitExit(), 0);
}

}  // namespace
