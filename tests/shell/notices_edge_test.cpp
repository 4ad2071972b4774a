// Notices as a user meets them: each box closes on its answer while the pages go on, and a
// notice raised later is shown, not only queued.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
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

// The names in a folder with the size, first byte and hash of their bytes: what a copy of the
// program may have touched.
std::vector<std::string> Contents(const std::string& dir) {
    std::vector<std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        const std::string bytes = testsupport::ReadBytes(e.path());
        files.push_back(e.path().filename().string() + " " + std::to_string(bytes.size()) + " " +
                        bytes.substr(0, 1) + " " + std::to_string(std::hash<std::string>{}(bytes)));
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Runs the program up to the start-up page.
void StartToStartupPage(DriverProcess& p) {
    ASSERT_TRUE(p.Connect());
    ASSERT_EQ(p.AskUntil("top", "ok CTessaray_PCDlg"), "ok CTessaray_PCDlg");
    p.Ask("timer 1");  // the hand-over without waiting for its three seconds
    ASSERT_EQ(p.AskUntil("top", "ok CSTARTUP3"), "ok CSTARTUP3");
}

// A second copy on the same settings names the folder and the first copy's process and ends
// before it touches a file or the port; a copy that crashed blocks nobody.
TEST(NoticesEdge, SecondCopyOnTheSameSettingsSaysSoAndEnds) {
    testsupport::ReceiverSimulator sim;
    ASSERT_TRUE(sim.ok()) << sim.error();
    testsupport::TempDir temp;
    testsupport::DriverOptions options;
    options.configDir = temp / "config";
    options.com1 = sim.SlavePath();
    DriverProcess first(options);
    StartToStartupPage(first);
    const auto before = Contents(options.configDir);
    DriverProcess second(options);
    ASSERT_TRUE(second.Connect());
    const std::string box = "ok 48 Tessaray PC already runs on the settings in " +
                            options.configDir + " (process " + std::to_string(first.pid()) +
                            ").\\nThis copy ends, so that neither overwrites the other's settings.";
    EXPECT_EQ(second.AskUntil("msgbox", box), box);
    EXPECT_EQ(Contents(options.configDir), before) << "nothing written while the box shows";
    EXPECT_EQ(second.Ask("answer ok"), "ok");
    EXPECT_EQ(second.WaitExit(), 1);
    EXPECT_EQ(Contents(options.configDir), before);
    EXPECT_TRUE(sim.Commands().empty()) << "the port was never opened";
    EXPECT_EQ(first.Ask("top"), "ok CSTARTUP3");
    // A copy killed with its lock still on file: the next one starts as usual.
    ASSERT_EQ(::kill(first.pid(), SIGKILL), 0);
    EXPECT_EQ(first.WaitExit(), 128 + SIGKILL);
    DriverProcess third(options);
    StartToStartupPage(third);
    EXPECT_EQ(third.Ask("msgbox"), "ok none");
    EXPECT_EQ(third.Ask("quit"), "ok");
    EXPECT_EQ(third.WaitExit(), 0);
}

// An end signal saves the archive as a normal end does, marked as closed ('N'), and sends the
// receiver nothing: no shutdown, even after the receiver was found and polled.
TEST(NoticesEdge, EndSignalsSaveTheSettingsWithoutTheReceiverShutdown) {
    const struct {
        int signo;
        bool found;
    } rows[] = {{SIGTERM, true}, {SIGHUP, false}, {SIGINT, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.signo);
        testsupport::ReceiverSimulator sim;
        ASSERT_TRUE(sim.ok()) << sim.error();
        benchsupport::AnswerQueries(sim, false);
        sim.Stream(benchsupport::ReceiverItems(), 10, true);
        testsupport::DriverOptions options;
        options.com1 = sim.SlavePath();
        DriverProcess p(options);
        StartToStartupPage(p);
        if (row.found) {
            EXPECT_EQ(p.Ask("click " + Id(IDC_SEARCH)), "ok");
            EXPECT_EQ(p.AskUntil("click " + Id(IDC_STARTUP_OK), "ok"), "ok");
            ASSERT_EQ(p.AskUntil("top", "ok CGPS_1"), "ok CGPS_1");
        }
        const std::string archive = p.configDir() + "/Tessaray_PC.CFG";
        std::string bytes = testsupport::ReadBytes(archive);
        ASSERT_EQ(bytes.substr(0, 1), "A") << "a running copy's archive";
        const size_t heard = sim.Commands().size();
        ASSERT_EQ(::kill(p.pid(), row.signo), 0);
        EXPECT_EQ(p.WaitExit(), 128 + row.signo);
        const std::string after = testsupport::ReadBytes(archive);
        EXPECT_EQ(after.substr(0, 1) + std::to_string(after.size()), "N3824");
        // Without a receiver nothing else changed meanwhile.
        bytes[0] = 'N';
        EXPECT_TRUE(row.found || after == bytes);
        const auto commands = sim.Commands();
        for (size_t i = heard; i < commands.size(); ++i)
            EXPECT_EQ(commands[i].line.rfind("$J", 0), std::string::npos) << commands[i].line;
        EXPECT_FALSE(std::filesystem::exists(p.configDir() + "/Tessaray_PC.lock"));
    }
}

// A display server of the test's own; none (an empty name) on a machine without one.
class XServer {
public:
    XServer() {
        int fds[2];
        if (::pipe(fds) != 0) return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(fds[0]);
            ::dup2(::open("/dev/null", O_WRONLY), 2);
            const std::string fd = std::to_string(fds[1]);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-nolisten", "tcp", "-screen", "0",
                     "640x480x24", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        // The server writes its display number once it listens.
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (::poll(&p, 1, 30000) == 1 && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        ::close(fds[0]);
        if (!number.empty()) display_ = ":" + number;
    }
    ~XServer() { Kill(); }
    void Kill() {
        if (pid_ <= 0) return;
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        pid_ = -1;
    }
    const std::string& display() const { return display_; }

private:
    pid_t pid_ = -1;
    std::string display_;
};

// The display going away ends the program as an end signal does, with code 1: the archive is
// saved, marked as closed ('N'), and the lock is gone.
TEST(NoticesEdge, LostDisplaySavesTheSettings) {
    XServer x;
    if (x.display().empty()) GTEST_SKIP() << "no Xvfb on this machine";
    testsupport::TempDir temp;
    testsupport::DriverOptions options;
    // The X connection's keyboard-map library copies counted strings with strndup, which
    // strict string checks take for reads past their end: off for this program alone.
    const char* asan = std::getenv("ASAN_OPTIONS");
    options.env = {{"QT_QPA_PLATFORM", "xcb"},
                   {"DISPLAY", x.display()},
                   {"ASAN_OPTIONS", std::string(asan ? asan : "") + ":strict_string_checks=0"}};
    options.stderrPath = temp / "stderr";
    DriverProcess p(options);
    ASSERT_TRUE(p.Connect()) << "on " << x.display() << ": "
                             << testsupport::ReadBytes(options.stderrPath);
    StartToStartupPage(p);
    const std::string archive = p.configDir() + "/Tessaray_PC.CFG";
    ASSERT_EQ(testsupport::ReadBytes(archive).substr(0, 1), "A") << "a running copy's archive";
    x.Kill();
    EXPECT_EQ(p.WaitExit(), 1);
    const std::string after = testsupport::ReadBytes(archive);
    EXPECT_EQ(after.substr(0, 1) + std::to_string(after.size()), "N3824");
    EXPECT_FALSE(std::filesystem::exists(p.configDir() + "/Tessaray_PC.lock"));
}

// Under a file-size limit a log that outgrows it is stopped with a message; the program goes on.
TEST(NoticesEdge, FileSizeLimitStopsTheLogWithAMessage) {
    testsupport::ReceiverSimulator sim;
    ASSERT_TRUE(sim.ok()) << sim.error();
    benchsupport::AnswerQueries(sim, false);
    sim.Stream(benchsupport::ReceiverItems(), 10, true);
    testsupport::DriverOptions options;
    options.com1 = sim.SlavePath();
    DriverProcess p(options);
    StartToStartupPage(p);
    EXPECT_EQ(p.Ask("click " + Id(IDC_SEARCH)), "ok");
    EXPECT_EQ(p.AskUntil("click " + Id(IDC_STARTUP_OK), "ok"), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CGPS_1"), "ok CGPS_1");
    EXPECT_EQ(p.Ask("nav 4"), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CLOGS_1"), "ok CLOGS_1");
    const std::string log = p.configDir() + "/gga.txt";
    EXPECT_EQ(p.Ask("select 1035 1"), "ok");  // $GPGGA at 1 Hz
    EXPECT_EQ(p.Ask("text 1052 " + log), "ok");
    const rlimit small{100, 100};
    ASSERT_EQ(::prlimit(p.pid(), RLIMIT_FSIZE, &small, nullptr), 0);
    EXPECT_EQ(p.Ask("click 1065"), "ok");
    const std::string box = "ok 48 Cannot write the NMEA log file \"" + log +
                            "\": File too large. The log was stopped.";
    std::string shown;
    testsupport::WaitUntil(
        [&] {
            shown = p.Ask("msgbox");
            // The baud note of a slow link comes at the page's first tick.
            if (shown.find("We suggest") != std::string::npos) p.Ask("answer ok");
            return shown == box;
        },
        20000);
    EXPECT_EQ(shown, box);
    EXPECT_EQ(p.Ask("answer ok"), "ok");
    EXPECT_EQ(p.Ask("top"), "ok CLOGS_1");
    EXPECT_LE(std::filesystem::file_size(log), 100u);
}

}  // namespace
