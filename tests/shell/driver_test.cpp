// The test driver as a separate process, spoken to over its socket: what it reads, what it
// does as a user would, and what it refuses because a user could not do it.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "resources/dlg_startup.h"
#include "screens/position/GPS_3.h"
#include "screens/position/GPS_5.h"
#include "support/driver_client.h"
#include "support/frames.h"
#include "support/qt/driver_start.h"
#include "support/receiver_simulator.h"
#include "support/temp_dir.h"

namespace {

using testsupport::DriverProcess;

std::string Id(int n) {
    return std::to_string(n);
}

struct Step {
    std::string command, reply;
};

// Actions run after their reply: a "state" or "get" is asked until it shows them.
void Play(DriverProcess& p, const std::vector<Step>& steps) {
    for (const Step& st : steps) {
        const bool read = st.command.starts_with("state") || st.command.starts_with("get");
        EXPECT_EQ(read ? p.AskUntil(st.command, st.reply, 10000) : p.Ask(st.command), st.reply)
            << st.command;
    }
}

TEST(Driver, ReadsTheWelcomePageAndClosesThroughTheCloseBox) {
    testsupport::TempDir temp;
    DriverProcess p({});
    ASSERT_TRUE(p.Connect());
    ASSERT_EQ(p.AskUntil("top", "ok CTessaray_PCDlg"), "ok CTessaray_PCDlg");
    Play(p, {{"get 1001", "ok COMM"},
             {"get 99999", "error no control 99999"},
             {"msgbox", "ok none"},
             {"answer ok", "error no message box"},
             {"nav 9", "error row must be 1..7"},
             {"clickxy 10 y", "error bad point 10 y"},
             {"fly away", "error unknown command: fly away"}});
    const std::string shot = temp / "welcome.png";
    EXPECT_EQ(p.Ask("screenshot " + shot), "ok");
    struct stat st {};
    EXPECT_EQ(::stat(shot.c_str(), &st), 0);
    EXPECT_GT(st.st_size, 1000);
    // The close box ends the program without a question and without writing an archive it
    // never loaded.
    EXPECT_EQ(p.Ask("nav 7"), "ok");
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_NE(::stat((p.configDir() + "/Tessaray_PC.CFG").c_str(), &st), 0);
}

// What a user can reach, read through the start-up page: its OK stays hidden until a
// receiver is found and the baud combo is disabled while Auto-Baud is on.
TEST(Driver, StateAndTimersAndUnreachableControls) {
    DriverProcess p({});
    ASSERT_TRUE(p.Connect());
    ASSERT_EQ(p.AskUntil("top", "ok CTessaray_PCDlg"), "ok CTessaray_PCDlg");
    Play(p, {{"state 1003", "ok enabled=1 visible=1 checked=0 sel=0 pos=0"},
             {"state 4242", "error no control 4242"},
             {"timer 9", "error no timer 9"},
             {"timer x", "error bad timer x"},
             {"slide 1003 5", "error not a slider 1003"},
             // The hand-over to the start-up page without waiting for its three seconds.
             {"timer 1", "ok"}});
    ASSERT_EQ(p.AskUntil("top", "ok CSTARTUP3"), "ok CSTARTUP3");
    const std::string ok = Id(IDC_STARTUP_OK), baud = Id(IDC_BAUD_COMBO);
    const std::string autoBaud = Id(IDC_AUTO_BAUD);
    Play(p, {{"state " + ok, "ok enabled=1 visible=0 checked=0 sel=-1 pos=0"},
             {"state " + autoBaud, "ok enabled=1 visible=1 checked=1 sel=-1 pos=0"},
             {"state " + baud, "ok enabled=0 visible=1 checked=0 sel=2 pos=0"}});
    // Nothing a user cannot reach is done: hidden, disabled, or not there at all.
    for (const char* verb : {"click", "select", "text", "slide"}) {
        const std::string arg = verb == std::string("click") ? "" : " 1";
        Play(p, {{verb + (" " + ok) + arg, "error hidden " + ok},
                 {verb + (" " + baud) + arg, "error disabled " + baud},
                 {verb + std::string(" 4242") + arg, "error no control 4242"}});
    }
    // Auto-Baud off by a click at the middle of its box in design units: the combo can be used.
    Play(p, {{"clickxy 139 188", "ok"},
             {"state " + autoBaud, "ok enabled=1 visible=1 checked=0 sel=-1 pos=0"},
             {"select " + baud + " 4", "ok"},
             {"state " + baud, "ok enabled=1 visible=1 checked=0 sel=4 pos=0"},
             {"clickxy 139 188", "ok"},
             {"state " + baud, "ok enabled=0 visible=1 checked=0 sel=4 pos=0"},
             {"state " + ok, "ok enabled=1 visible=0 checked=0 sel=-1 pos=0"}});
    EXPECT_EQ(p.Ask("quit"), "ok");
    EXPECT_EQ(p.WaitExit(), 0);
}

// Typed text reaches a screen key by key, as its change handler sees it; a dragged slider
// moves the plot's cursor and its partner.
TEST(Driver, TypedKeysAndDraggedSliderReachTheScreens) {
    testsupport::ReceiverSimulator sim;
    ASSERT_TRUE(sim.ok()) << sim.error();
    sim.Stream({testsupport::NmeaSentence(
                   "GPGGA,123519.50,4807.038,N,01131.000,E,2,08,0.9,545.4,M,46.9,M,2.0,0000")},
               200, true);
    sim.AddReply("$JDIFF", "$>JDIFF,WAAS\r\n");
    sim.AddReply("$JAPP", "$>JAPP,WAAS,LBAND\r\n");
    testsupport::DriverOptions options;
    options.com1 = sim.SlavePath();
    DriverProcess p(options);
    ASSERT_TRUE(p.Connect());
    ASSERT_EQ(testsupport::SearchToPositionScreen(p), "");

    // The elevation mask: each key sends what the edit then holds; past 90 it is held at 90.
    ASSERT_EQ(p.Ask("select 1006 2"), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CGPS_3"), "ok CGPS_3");
    const std::string mask = Id(IDC_GPS3_ELEVATION);
    ASSERT_EQ(p.AskUntil("get " + mask, "ok 5"), "ok 5");
    const size_t mark = sim.Commands().size();
    ASSERT_EQ(p.Ask("text " + mask + " 99"), "ok");
    EXPECT_EQ(p.AskUntil("get " + mask, "ok 90"), "ok 90");
    ASSERT_TRUE(sim.WaitForCommand("$JMASK,90", 10000, mark));
    std::string masks;
    for (const auto& c : sim.Commands())
        if (c.line.starts_with("$JMASK")) masks += c.line + "|";
    EXPECT_EQ(masks, "$JMASK,59|$JMASK,90|");

    // The plot's coarse slider 100 s back: the cursor follows inside the newest page.
    ASSERT_EQ(p.Ask("select " + Id(IDC_GPS3_TAB) + " 4"), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CGPS_5"), "ok CGPS_5");
    Play(p, {{"slide 1163 3500", "ok"},
             {"state 1163", "ok enabled=1 visible=1 checked=0 sel=-1 pos=3500"},
             {"timer 1", "ok"},
             {"get " + Id(IDC_GPS5_TIME), "ok -100 s"},
             {"state 1164", "ok enabled=1 visible=1 checked=0 sel=-1 pos=50"},
             {"state " + Id(IDC_GPS5_USE_POINT), "ok enabled=1 visible=0 checked=0 sel=-1 pos=0"},
             {"text " + Id(IDC_GPS5_USE_POINT) + " 1", "error hidden " + Id(IDC_GPS5_USE_POINT)}});
    EXPECT_EQ(p.Ask("quit"), "ok");
    EXPECT_EQ(p.WaitExit(), 0);
}

}  // namespace
