// The test driver as a separate process, spoken to over its socket.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "resources/dlg_startup.h"
#include "support/driver_client.h"

namespace {

using testsupport::DriverProcess;

TEST(Driver, ReadsTheWelcomePageAndClosesThroughTheCloseBox) {
    DriverProcess p;
    ASSERT_TRUE(p.Connect());
    ASSERT_EQ(p.AskUntil("top", "ok CTessaray_PCDlg"), "ok CTessaray_PCDlg");
    EXPECT_EQ(p.Ask("get 1009"), "ok Tessaray 2.2.0.0");
    EXPECT_EQ(p.Ask("get 1001"), "ok COMM");
    EXPECT_EQ(p.Ask("get 99999"), "error no control 99999");
    EXPECT_EQ(p.Ask("msgbox"), "ok none");
    EXPECT_EQ(p.Ask("answer ok"), "error no message box");
    EXPECT_EQ(p.Ask("nav 9"), "error row must be 1..7");
    EXPECT_EQ(p.Ask("fly away"), "error unknown command: fly away");
    const std::string shot = p.dir() + "/welcome.png";
    EXPECT_EQ(p.Ask("screenshot " + shot), "ok");
    struct stat st {};
    EXPECT_EQ(stat(shot.c_str(), &st), 0);
    EXPECT_GT(st.st_size, 1000);
    // The close box ends the program without a question and without writing an archive
    // it never loaded.
    EXPECT_EQ(p.Ask("nav 7"), "ok");
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_NE(stat((p.dir() + "/config/Tessaray_PC/Tessaray_PC.CFG").c_str(), &st), 0);
}

// What a user can reach, read through the start-up page: its OK stays hidden until a
// receiver is found and the baud combo is disabled while Auto-Baud is on.
TEST(Driver, StateAndTimersAndUnreachableControls) {
    DriverProcess p;
    ASSERT_TRUE(p.Connect());
    ASSERT_EQ(p.AskUntil("top", "ok CTessaray_PCDlg"), "ok CTessaray_PCDlg");
    const auto id = [](int n) { return std::to_string(n); };
    struct Step {
        std::string command, reply;
    };
    const Step welcome[] = {
        {"state 1003", "ok enabled=1 visible=1 checked=0 sel=0 pos=0"},
        {"state 4242", "error no control 4242"},
        {"timer 9", "error no timer 9"},
        {"timer x", "error bad timer x"},
        {"slide 1003 5", "error not a slider 1003"},
        {"slide 4242 5", "error no control 4242"},
        // The hand-over to the start-up page without waiting for its three seconds.
        {"timer 1", "ok"},
    };
    for (const Step& st : welcome) EXPECT_EQ(p.Ask(st.command), st.reply) << st.command;
    ASSERT_EQ(p.AskUntil("top", "ok CSTARTUP3"), "ok CSTARTUP3");
    const Step startup[] = {
        {"state " + id(IDC_STARTUP_OK), "ok enabled=1 visible=0 checked=0 sel=-1 pos=0"},
        {"click " + id(IDC_STARTUP_OK), "error hidden " + id(IDC_STARTUP_OK)},
        {"state " + id(IDC_AUTO_BAUD), "ok enabled=1 visible=1 checked=1 sel=-1 pos=0"},
        {"state " + id(IDC_BAUD_COMBO), "ok enabled=0 visible=1 checked=0 sel=2 pos=0"},
        {"select " + id(IDC_BAUD_COMBO) + " 2", "error disabled " + id(IDC_BAUD_COMBO)},
        {"text " + id(IDC_BAUD_COMBO) + " 4800", "error disabled " + id(IDC_BAUD_COMBO)},
        {"select 4242 1", "error no control 4242"},
        // Auto-Baud off: the combo can be used.
        {"click " + id(IDC_AUTO_BAUD), "ok"},
        {"state " + id(IDC_AUTO_BAUD), "ok enabled=1 visible=1 checked=0 sel=-1 pos=0"},
        {"select " + id(IDC_BAUD_COMBO) + " 4", "ok"},
        {"state " + id(IDC_BAUD_COMBO), "ok enabled=1 visible=1 checked=0 sel=4 pos=0"},
    };
    // Actions run after their reply: a state is asked until it shows them.
    for (const Step& st : startup) {
        const bool state = st.command.starts_with("state");
        EXPECT_EQ(state ? p.AskUntil(st.command, st.reply) : p.Ask(st.command), st.reply)
            << st.command;
    }
    EXPECT_EQ(p.Ask("quit"), "ok");
    EXPECT_EQ(p.WaitExit(), 0);
}

}  // namespace
