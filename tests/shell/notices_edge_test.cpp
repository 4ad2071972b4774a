// Notices as a user meets them: each box closes on its answer while the pages go on, and a
// notice raised later is shown, not only queued.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <filesystem>
#include <string>

#include "resources/dlg_exit.h"
#include "resources/dlg_startup.h"
#include "stream.h"
#include "support/driver_client.h"
#include "support/receiver_simulator.h"
#include "support/temp_dir.h"

namespace {

using testsupport::DriverProcess;

std::string Id(int n) {
    return std::to_string(n);
}

// A ports.conf that cannot be used is said at start; the start-up page runs beside the box, which
// closes on its answer. After a search the disk fills: "Exit and Save" says that the archive
// could not be written, and the exit goes on to the report. The archive stays as it was.
TEST(NoticesEdge, UnusablePortsConfThenFullDiskAtExitAndSave) {
    testsupport::ReceiverSimulator sim;
    ASSERT_TRUE(sim.ok()) << sim.error();
    benchsupport::AnswerQueries(sim, false);
    sim.Stream(benchsupport::ReceiverItems(), 10, true);
    testsupport::TempDir temp;
    const std::string config = temp / "config", archive = config + "/Tessaray_PC.CFG";
    std::filesystem::create_directories(config + "/ports.conf");
    // A write over the size limit fails with an error instead of ending the process.
    struct sigaction ignore {
    }, before{};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(::sigaction(SIGXFSZ, &ignore, &before), 0);
    testsupport::DriverOptions options;
    options.com1 = sim.SlavePath();
    options.configDir = config;
    DriverProcess p(options);
    ::sigaction(SIGXFSZ, &before, nullptr);
    ASSERT_TRUE(p.Connect());
    const std::string portsBox = "ok 48 Tessaray_PC: cannot read " + config +
                                 "/ports.conf: not a regular " +
                                 "file; its port lines are not used.";
    // Said on the welcome page; its hand-over to the start-up page comes meanwhile, on its own.
    EXPECT_EQ(p.AskUntil("msgbox", portsBox), portsBox);
    EXPECT_EQ(p.AskUntil("top", "ok CSTARTUP3"), "ok CSTARTUP3");
    EXPECT_EQ(p.Ask("answer ok"), "ok");
    EXPECT_EQ(p.Ask("msgbox"), "ok none") << "the box closed on its answer";
    EXPECT_EQ(p.Ask("top"), "ok CSTARTUP3");

    EXPECT_EQ(p.Ask("click " + Id(IDC_SEARCH)), "ok");
    EXPECT_EQ(p.AskUntil("click " + Id(IDC_STARTUP_OK), "ok"), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CGPS_1"), "ok CGPS_1");
    const std::string archiveBefore = testsupport::ReadBytes(archive);
    ASSERT_EQ(archiveBefore.size(), 3824u);
    const rlimit full{1000, 1000};  // smaller than the archive
    ASSERT_EQ(::prlimit(p.pid(), RLIMIT_FSIZE, &full, nullptr), 0);
    EXPECT_EQ(p.Ask("nav 7"), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CCHECK"), "ok CCHECK");
    EXPECT_EQ(p.Ask("click " + Id(resources::IDC_EXIT_SAVE)), "ok");
    const std::string fullBox =
        "ok 48 You are not permitted to write into current folder.\\n"
        "cannot write " +
        archive + ": File too large";
    EXPECT_EQ(p.AskUntil("msgbox", fullBox), fullBox);
    EXPECT_EQ(p.Ask("answer ok"), "ok");
    EXPECT_EQ(p.Ask("msgbox"), "ok none");
    // The receiver took the shutdown and went on talking: its report, then the end.
    ASSERT_EQ(p.AskUntil("top", "ok CCLOSESCREEN_2"), "ok CCLOSESCREEN_2");
    EXPECT_EQ(p.Ask("click 1170"), "ok");
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(testsupport::ReadBytes(archive), archiveBefore);
    size_t entries = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(config)) ++entries;
    EXPECT_EQ(entries, 2u) << "no temporary file is left beside the archive";
}

}  // namespace
