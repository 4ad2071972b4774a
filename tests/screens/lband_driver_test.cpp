// The L-band pages in the whole program, against a receiver on a pseudo-terminal that reports
// a frequency that is no beam: the status page retunes and the window keeps answering while
// the retune waits for its follow-up; the group's tabs send their commands to the receiver.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "resources/dlg_startup.h"
#include "screens/differential/LBND_1.h"
#include "support/driver_client.h"
#include "support/qt/driver_start.h"
#include "support/receiver_simulator.h"

namespace {

using testsupport::ReceiverSimulator;

size_t CountAfter(const std::vector<ReceiverSimulator::Command>& commands, size_t from,
                  const std::string& line) {
    return static_cast<size_t>(std::count_if(commands.begin() + static_cast<long>(from),
                                             commands.end(),
                                             [&](const auto& c) { return c.line == line; }));
}

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
    return testsupport::WaitUntil([&] { return HasRun(sim.Commands(), from, run); });
}

TEST(LBandDriver, RetuneLeavesTheWindowAnsweringAndTabsReachTheReceiver) {
    ReceiverSimulator sim;
    ASSERT_TRUE(sim.ok()) << sim.error();
    sim.Stream({"$GPGGA,123519.50,4807.038,N,01131.000,E,2,08,0.9,545.4,M,46.9,M,2.0,0000*43\r\n"},
               200, true);
    sim.AddReply("$JDIFF", "$>JDIFF,LBAND\r\n");
    sim.AddReply("$JAPP", "$>JAPP,LBAND,WAAS\r\n");
    sim.AddReply("$JGEO", "$>JGEO,Sent,FREQ=1540.0000,ID=1200,LON=-98.0,EL=30.0,AZ=200.0\r\n");

    testsupport::DriverProcess p(sim);
    ASSERT_TRUE(p.Connect());
    ASSERT_EQ(testsupport::SearchToPositionScreen(p), "");
    // The differential button opens the group of the source the receiver reports.
    ASSERT_EQ(p.AskUntil("nav 2", "ok"), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CLBND_1"), "ok CLBND_1");

    ASSERT_TRUE(sim.WaitForCommand("$JFREQ,0", testsupport::kDriverWaitMs));
    const auto atRetune = sim.Commands();
    size_t retune = atRetune.size();
    while (retune > 0 && atRetune[retune - 1].line != "$JFREQ,0") --retune;
    ASSERT_GT(retune, 0u);
    // Asked right after the retune, the window answers before the follow-up "$JASC,D1,1"
    // is due: the page's own tick sends one at once, a blocking pause would add a second.
    EXPECT_EQ(p.Ask("get " + std::to_string(IDC_LBND1_BEAM)), "ok MSV-W");
    EXPECT_LE(CountAfter(sim.Commands(), retune, "$JASC,D1,1"), 1u);
    // The follow-up comes, and the commanded frequency is the automatic one.
    EXPECT_EQ(p.AskUntil("top", "ok CLBND_1"), "ok CLBND_1");
    EXPECT_TRUE(testsupport::WaitUntil(
        [&] { return CountAfter(sim.Commands(), retune, "$JASC,D1,1") >= 2; }));

    // Through the group's tabs: each page's leave and entry commands reach the receiver.
    struct Visit {
        const char* select;
        const char* page;
        std::vector<std::string> leave, entry;
    };
    const Visit visits[] = {
        {"select 1008 1", "ok CLBND_2", {"$PKRV,1,0"}, {"$JASC,D1,1", "$JDIFF", "$JGEO,ALL"}},
        {"select 1008 2", "ok CLBND_3", {"$PKRV,1,0"}, {"$JDIFF", "$JOMS", "$JI"}},
        {"select 1014 3", "ok CLBND_4", {}, {"$JASC,D1,1", "$JGEO,ALL", "$JDIFF"}},
        {"select 1029 0",
         "ok CLBND_1",
         {"$JASC,D1,0"},
         {"$JASC,D1,1", "$JGEO,ALL", "$JAPP", "$JDIFF"}},
    };
    for (const Visit& v : visits) {
        SCOPED_TRACE(v.page);
        const size_t mark = sim.Commands().size();
        ASSERT_EQ(p.Ask(v.select), "ok");
        ASSERT_EQ(p.AskUntil("top", v.page), v.page);
        EXPECT_TRUE(v.leave.empty() || WaitRun(sim, mark, v.leave));
        EXPECT_TRUE(WaitRun(sim, mark, v.entry));
    }
    EXPECT_EQ(p.Ask("quit"), "ok");
    EXPECT_EQ(p.WaitExit(), 0);
}

}  // namespace
