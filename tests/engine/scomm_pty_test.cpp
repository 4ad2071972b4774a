#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "engine/appstate.h"
#include "engine/scomm.h"
#include "platform/trace.h"
#include "support/receiver_simulator.h"
#include "support/temp_dir.h"
#include "support/tty_state.h"

namespace {

constexpr int kCom = 9;

// Polls (real time, bounded) until the condition holds.
template <typename F>
bool WaitFor(F condition, int timeoutMs = 10000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

class SCommPtyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.ok()) << sim.error();
        sim.InstallAsCom(kCom);
        platform::ClearTrace();
    }
    void TearDown() override { comm.ClosePort(); }

    testsupport::ReceiverSimulator sim;
    SComm comm;
};

TEST_F(SCommPtyTest, OpenCloseReopen) {
    ASSERT_EQ(comm.OpenPort(kCom, 57600), COMM_OK);
    EXPECT_EQ(comm.DevicePath(), sim.SlavePath());
    EXPECT_EQ(comm.ClosePort(), COMM_OK);
    EXPECT_EQ(comm.ClosePort(), COMM_NOT_OPEN);
    ASSERT_EQ(comm.OpenPort(kCom, 57600), COMM_OK);
    ASSERT_EQ(comm.OpenPort(kCom, 19200), COMM_OK);  // reopen while open
    EXPECT_EQ(testsupport::TtyBaud(sim.SlavePath()), 19200u);
}

TEST_F(SCommPtyTest, DevicesThatCannotServeGiveOsCallFailed) {
    testsupport::TempDir dir;
    const std::string file = dir / "plain", fifo = dir / "fifo";
    testsupport::WriteBytes(file, "x");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        const char* path;
        const char* reason;
    } cases[] = {{"/nonexistent/ttyUSB9", "No such file or directory"},
                 {file.c_str(), "not a serial device"},
                 {fifo.c_str(), "not a serial device"},
                 {"/dev/null", "not a serial device"}};
    for (const auto& c : cases) {
        ::setenv("TESSARAY_PC_COM11", c.path, 1);
        EXPECT_EQ(comm.OpenPort(11, 57600), COMM_OS_CALL_FAILED) << c.path;
        EXPECT_EQ(comm.LastOpenError(),
                  "cannot open COM11 (" + std::string(c.path) + "): " + c.reason);
        EXPECT_FALSE(comm.bOpen());
    }
    ::unsetenv("TESSARAY_PC_COM11");
}

TEST_F(SCommPtyTest, AnyListedRateIsSetOthersBecome9600) {
    struct Case {
        long asked;
        uint32_t set;
        bool standard;  // set through its speed constant
    };
    for (Case c : {Case{14400, 14400, false}, Case{56000, 56000, false}, Case{115200, 115200, true},
                   Case{4800, 4800, true}, Case{1200, 9600, true}}) {
        platform::ClearTrace();
        ASSERT_EQ(comm.OpenPort(kCom, c.asked), COMM_OK) << c.asked;
        EXPECT_EQ(testsupport::TtyBaud(sim.SlavePath()), c.set) << c.asked;
        EXPECT_EQ(testsupport::TtyHasSpeedConstant(sim.SlavePath()), c.standard) << c.asked;
        EXPECT_EQ(platform::TraceContains("invalid baud rate"), c.set != c.asked);
    }
}

TEST_F(SCommPtyTest, QueueReadAndPurge) {
    ASSERT_EQ(comm.OpenPort(kCom, 115200), COMM_OK);
    const std::string line = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,,,*47\r\n";
    sim.Send(line);
    ASSERT_TRUE(WaitFor([&] { return comm.BytesInQueue() == line.size(); }));
    char buf[128];
    uint32_t got = 0, queued = 0;
    EXPECT_EQ(comm.ReadBytes(buf, 10, &got, &queued, 0.0), COMM_OK);
    EXPECT_EQ(got, 10u);
    EXPECT_EQ(queued, line.size() - 10);
    EXPECT_EQ(std::string(buf, 10), line.substr(0, 10));

    EXPECT_EQ(comm.EmptyInputQueue(), COMM_OK);
    EXPECT_EQ(comm.BytesInQueue(), 0u);
    EXPECT_EQ(comm.ReadBytes(buf, sizeof buf, &got, nullptr, 0.0), COMM_OK);
    EXPECT_EQ(got, 0u);
}

TEST_F(SCommPtyTest, CommandsReachTheReceiverAndRepliesComeBack) {
    const std::string reply = "$>JI,311016,1,5,12102003,01/01/1900,01/01/3003,6.3Aa02,46\r\n";
    sim.AddReply("$JI", reply);
    ASSERT_EQ(comm.OpenPort(kCom, 115200), COMM_OK);
    uint32_t written = 0;
    EXPECT_EQ(comm.SendBytes("$JI\r\n", 5, &written, 0.0), COMM_OK);
    EXPECT_EQ(written, 5u);
    ASSERT_TRUE(sim.WaitForCommand("$JI", 10000));
    EXPECT_EQ(sim.Commands().at(0).line, "$JI");
    std::string got;
    ASSERT_TRUE(WaitFor([&] {
        char buf[256];
        uint32_t n = 0;
        comm.ReadBytes(buf, sizeof buf, &n, nullptr, 0.0);
        got.append(buf, n);
        return got.size() >= reply.size();
    }));
    EXPECT_EQ(got, reply);
}

TEST_F(SCommPtyTest, HangUpFailsTheRead) {
    ASSERT_EQ(comm.OpenPort(kCom, 115200), COMM_OK);
    sim.HangUp();
    // The terminal layer hangs up a moment after the master side is gone.
    EXPECT_TRUE(WaitFor([&] {
        char buf[16];
        uint32_t got = 0;
        return comm.ReadBytes(buf, sizeof buf, &got, nullptr, 0.0) == COMM_OS_CALL_FAILED;
    }));
    EXPECT_EQ(comm.ClosePort(), COMM_OK);
}

}  // namespace
