// The test driver as a separate process, spoken to over its socket.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "resources/dlg_startup.h"
#include "support/driver_client.h"
#include "support/receiver_simulator.h"

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

TEST(Driver, QuitEndsTheProgram) {
    DriverProcess p;
    ASSERT_TRUE(p.Connect());
    EXPECT_EQ(p.Ask("quit"), "ok");
    EXPECT_EQ(p.WaitExit(), 0);
}

// The simulator's pseudo-terminal is the program's COM1: the start-up page names its device.
TEST(Driver, SimulatorIsTheProgramsCom1) {
    testsupport::ReceiverSimulator sim;
    ASSERT_TRUE(sim.ok()) << sim.error();
    DriverProcess p(sim);
    ASSERT_TRUE(p.Connect());
    ASSERT_EQ(p.AskUntil("top", "ok CSTARTUP3", 30000), "ok CSTARTUP3");
    EXPECT_EQ(p.Ask("get " + std::to_string(IDC_PORT_DEVICE)), "ok " + sim.SlavePath());
    EXPECT_EQ(p.Ask("quit"), "ok");
    EXPECT_EQ(p.WaitExit(), 0);
}

}  // namespace
