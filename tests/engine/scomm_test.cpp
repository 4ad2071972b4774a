// The serial port: result codes and traces on a device with injected faults, the real
// terminal layer on a pseudo-terminal, and the reader thread's framing of what it reads.

#include "engine/scomm.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <numeric>
#include <stdexcept>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "engine/thread.h"
#include "platform/notify.h"
#include "platform/ports.h"
#include "platform/trace.h"
#include "support/fake_serial.h"
#include "support/frames.h"
#include "support/receiver_simulator.h"
#include "support/recording_sinks.h"
#include "support/temp_dir.h"
#include "support/tty_state.h"
#include "support/virtual_clock.h"
#include "wire_fixture.h"

namespace {

using wiretest::Join;

using Device = testsupport::FakeSerialDevice;
using testsupport::BinFrame;
using testsupport::NmeaSentence;

class SCommTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TESSARAY_PC_COM1", "/dev/fake1", 1);
        ::setenv("TESSARAY_PC_COM50", "/dev/fake50", 1);
        ::unsetenv("TESSARAY_PC_COM7");
        ::setenv("TESSARAY_PC_CONFIG_DIR", "/nonexistent-config", 1);
        platform::SetDetectedPortsForTest({});
        g_GPS.Info.eReceiverType = RECEIVER_GPS;
        platform::ClearTrace();
    }
    testsupport::InstalledVirtualClock clock;
    Device device;
    SComm comm{device};
};

TEST_F(SCommTest, OpenResultCodesTracesAndLineSettings) {
    const struct {
        int port;
        std::function<void(Device&)> arrange;
        int result;
        bool open;
        const char* trace;
    } cases[] = {
        {0, nullptr, COMM_INVALID_PORT, false, "SComm::OpenPort: invalid COM0"},
        {50, nullptr, COMM_OK, true, "SComm::Setup: status=0"},
        {7, nullptr, COMM_OS_CALL_FAILED, false, "no serial device is known for COM7"},
        {1, [](Device& d) { d.SetOpenError(EACCES); }, COMM_OS_CALL_FAILED, false,
         "ERROR 13 opening COM1:\ncannot open COM1 (/dev/fake1): Permission denied"},
        {1, [](Device& d) { d.SetQueryError(EIO); }, COMM_OS_CALL_FAILED, true,
         "Cannot Get Com1 Port Status - Error = 5"},
        {1, [](Device& d) { d.SetConfigureError(EINVAL); }, COMM_OS_CALL_FAILED, true,
         "SComm::OpenPort: ...status=5003."},
    };
    for (const auto& c : cases) {
        Device dev;
        SComm port(dev);
        if (c.arrange) c.arrange(dev);
        platform::ClearTrace();
        EXPECT_EQ(port.OpenPort(c.port, 57600), c.result) << c.trace;
        EXPECT_EQ(port.bOpen(), c.open) << c.trace;
        EXPECT_EQ(port.iLastError(), c.result == COMM_OK ? 0 : c.result) << c.trace;
        EXPECT_TRUE(platform::TraceContains(c.trace)) << c.trace;
        EXPECT_TRUE(c.trace[0] != 'E' || port.LastOpenError().find("dialout") != std::string::npos);
    }
    // Rates outside the list become 9600; each open of an open port closes it first.
    const std::pair<long, uint32_t> rates[] = {{230400, 9600}, {14400, 14400}, {115200, 115200}};
    for (const auto& [asked, set] : rates) {
        platform::ClearTrace();
        ASSERT_EQ(comm.OpenPort(1, asked), COMM_OK);
        EXPECT_EQ(device.settings().baud, set) << asked;
        EXPECT_EQ(platform::TraceContains("invalid baud rate " + std::to_string(asked) + "!"),
                  set != asked);
    }
    EXPECT_EQ(platform::TraceLines().at(0),
              "Tessaray_PC: SComm::OpenPort: COM1,115200,N,8,1, handshake=N");
    const Device::LineSettings s = device.settings();
    EXPECT_EQ(Join(s.parity, s.dataBits, s.stopBits, s.handshake), "N 8 1 0");
    EXPECT_EQ(Join(device.opens(), device.closes()), "3 2");
    EXPECT_EQ(comm.strPortName() + comm.DevicePath(), "COM1:/dev/fake1");
}

TEST_F(SCommTest, ReadsAndWritesWaitOnlyAsAsked) {
    char buf[64];
    uint32_t got = 99, queued = 99, written = 99;
    EXPECT_EQ(comm.ReadBytes(buf, 10, &got, &queued, 0.0), COMM_NOT_OPEN);
    EXPECT_EQ(comm.SendBytes("$JI\r\n", 5, &written, 0.0), COMM_NOT_OPEN);
    EXPECT_EQ(comm.EmptyInputQueue(), COMM_NOT_OPEN);
    EXPECT_EQ(std::tuple(got, queued, written, comm.iLastError(), comm.BytesInQueue()),
              std::tuple(0u, 0u, 0u, COMM_NOT_OPEN, 0u));
    ASSERT_EQ(comm.OpenPort(1, 57600), COMM_OK);
    clock.ClearPauses();
    EXPECT_EQ(comm.ReadBytes(buf, 10, &got, nullptr, 0.0), COMM_OK);
    EXPECT_EQ(got, 0u);
    EXPECT_TRUE(clock.pauses().empty());
    EXPECT_EQ(comm.ReadBytes(buf, 10, &got, &queued, 0.5), COMM_TIMEOUT);
    EXPECT_EQ(clock.pauses(), std::vector<uint32_t>(10, 50));
    EXPECT_EQ(comm.iLastError(), COMM_TIMEOUT);
    device.QueueRead(std::string(30, 'a'));
    device.QueueRead(std::string(70, 'b'));
    EXPECT_EQ(comm.ReadBytes(buf, 40, &got, &queued, 0.0), COMM_OK);
    EXPECT_EQ(Join(got, queued, comm.BytesInQueue()), "40 60 60");
    EXPECT_EQ(std::string(buf, 40), std::string(30, 'a') + std::string(10, 'b'));
    EXPECT_EQ(comm.EmptyInputQueue(), COMM_OK);
    EXPECT_EQ(comm.BytesInQueue(), 0u);
    device.SetPurgeError(EIO);
    EXPECT_EQ(comm.EmptyInputQueue(), COMM_OS_CALL_FAILED);
    device.SetReadError(EIO);
    EXPECT_EQ(comm.ReadBytes(buf, 10, &got, nullptr, 0.0), COMM_OS_CALL_FAILED);
    // What the device refuses is dropped unless time is given.
    device.SetWriteLimit(3);
    clock.ClearPauses();
    EXPECT_EQ(comm.SendBytes("$JSAVE\r\n", 8, &written, 0.0), COMM_OK);
    EXPECT_EQ(Join(written, device.written()), "3 $JS");
    EXPECT_TRUE(clock.pauses().empty());
    device.ClearWrites();
    EXPECT_EQ(comm.SendBytes("$JSAVE\r\n", 8, &written, 1.0), COMM_OK);
    EXPECT_EQ(device.written(), "$JSAVE\r\n");
    EXPECT_EQ(clock.pauses(), (std::vector<uint32_t>{50, 50}));
    device.SetWriteError(EIO);
    const int before = comm.iLastError();
    EXPECT_EQ(comm.SendBytes("x", 1, nullptr, 0.0), COMM_OS_CALL_FAILED);
    EXPECT_EQ(comm.iLastError(), before);
    EXPECT_TRUE(platform::TraceContains("SComm::SendBytes: Write To Comm Port Error - 5"));
}

TEST_F(SCommTest, CloseCodesPortFlagAndModemReset) {
    int resets = 0;
    comm.SetModemResetHook([&resets] { ++resets; });
    ASSERT_EQ(comm.OpenPort(1, 57600), COMM_OK);
    App().bPortOpen = 1;
    EXPECT_EQ(comm.ClosePort(), COMM_OK);
    EXPECT_EQ(Join(App().bPortOpen.load(), comm.bOpen()), "0 0");
    App().bPortOpen = 1;
    EXPECT_EQ(comm.ClosePort(), COMM_NOT_OPEN);
    EXPECT_EQ(App().bPortOpen, 0) << "cleared whatever follows";
    ASSERT_EQ(comm.OpenPort(1, 57600), COMM_OK);
    device.SetCloseError(EIO);
    EXPECT_EQ(comm.ClosePort(), COMM_CLOSE_FAILED);
    EXPECT_TRUE(comm.bOpen());
    EXPECT_EQ(comm.ClosePort(), COMM_INVALID_HANDLE);
    EXPECT_EQ(resets, 0);
    // A Bluetooth link resets the modem before each close, even when closed.
    device.SetCloseError(0);
    g_GPS.Info.eReceiverType = RECEIVER_BLUETOOTH;
    ASSERT_EQ(comm.OpenPort(1, 57600), COMM_OK);
    clock.ClearPauses();
    resets = 0;
    EXPECT_EQ(comm.ClosePort(), COMM_OK);
    EXPECT_EQ(comm.ClosePort(), COMM_NOT_OPEN);
    EXPECT_EQ(resets, 2);
    EXPECT_EQ(clock.pauses(), (std::vector<uint32_t>{100, 100}));
}

class ThrowingDevice : public Device {
public:
    long Read(void*, size_t) override { throw std::runtime_error("driver fault"); }
};

TEST_F(SCommTest, ExceptionInsideAReadBecomesANotice) {
    ThrowingDevice dev;
    SComm port(dev);
    ASSERT_EQ(port.OpenPort(1, 57600), COMM_OK);
    std::vector<std::string> notices;
    platform::SetNotifySink([&notices](const std::string& t) { notices.push_back(t); });
    char buf[8];
    uint32_t got = 0;
    EXPECT_EQ(port.ReadBytes(buf, 8, &got, nullptr, 0.0), COMM_EXCEPTION);
    platform::SetNotifySink(nullptr);
    EXPECT_EQ(notices, std::vector<std::string>{"Tessaray_PC: Error Occured on SComm::ReadBytes"});
    EXPECT_TRUE(platform::TraceContains("driver fault"));
}

// Standard speeds are set through their constants, the others in the arbitrary form.
TEST(SCommPty, SpeedsAndRefusals) {
    testsupport::ReceiverSimulator sim;
    ASSERT_TRUE(sim.ok()) << sim.error();
    sim.InstallAsCom(9);
    SComm comm;
    const std::tuple<long, uint32_t, bool> speeds[] = {{56000, 56000, false}, {1200, 9600, true}};
    for (const auto& [asked, set, standard] : speeds) {
        ASSERT_EQ(comm.OpenPort(9, asked), COMM_OK) << asked;
        EXPECT_EQ(testsupport::TtyBaud(sim.SlavePath()), set) << asked;
        EXPECT_EQ(testsupport::TtyHasSpeedConstant(sim.SlavePath()), standard) << asked;
    }
    EXPECT_EQ(comm.ClosePort(), COMM_OK);
    testsupport::TempDir dir;
    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ::setenv("TESSARAY_PC_COM11", fifo.c_str(), 1);
    EXPECT_EQ(comm.OpenPort(11, 57600), COMM_OS_CALL_FAILED);
    EXPECT_EQ(comm.LastOpenError(), "cannot open COM11 (" + fifo + "): not a serial device");
}

class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TESSARAY_PC_COM1", "/dev/fake-receiver", 1);
        AppShared& app = App();
        app.bPortOpen = app.bDemoMode = app.bSentenceReceived = app.bReceiverFound = 0;
        app.bBytesReceived = app.bModemOK = 0;
        app.wLogFlags = 0;
        ClearTerminalText();
        ASSERT_EQ(comm.OpenPort(1, 115200), COMM_OK);
    }
    void Pass(CGPSThread& thread, const std::string& bytes) {
        device.QueueRead(bytes);
        ASSERT_TRUE(thread.ReadAndFrame());
    }
    std::vector<std::string> Framed(const std::vector<std::string>& chunks) {
        testsupport::RecordingSinks sinks;
        CGPSThread thread(&comm, &sinks);
        for (const std::string& chunk : chunks) Pass(thread, chunk);
        return sinks.frames();
    }
    testsupport::FakeSerialDevice device;
    SComm comm{device};
};

// The frames handed over whatever the split, and the largest "$BIN" frame.
TEST_F(ReaderTest, FramesAreHandedOverOnceInOrder) {
    const std::vector<std::string> frames = testsupport::SampleMixedFrames();
    const std::string stream =
        "\r\nnoise" + std::accumulate(frames.begin(), frames.end(), std::string());
    for (size_t cut = 0; cut <= stream.size(); cut += 7)
        ASSERT_EQ(Framed({stream.substr(0, cut), stream.substr(cut)}), frames) << cut;
    const std::string largest = BinFrame(1, std::string(407, 'q'));
    const std::string tooLarge = BinFrame(1, std::string(408, 'q'));
    EXPECT_TRUE(IsCompleteBinFrame(largest.data(), largest.size()));
    EXPECT_FALSE(IsCompleteBinFrame(tooLarge.data(), tooLarge.size()));
    EXPECT_FALSE(IsCompleteBinFrame(largest.data(), largest.size() - 1));
}

TEST_F(ReaderTest, FlagsAndTerminalTextFollowWhatArrives) {
    testsupport::RecordingSinks sinks;
    CGPSThread thread(&comm, &sinks);
    Pass(thread, "$GPG");
    EXPECT_EQ(Join(App().bBytesReceived.load(), App().bSentenceReceived.load()), "1 0");
    Pass(thread, "GA\r\n");
    EXPECT_EQ(
        Join(App().bSentenceReceived.load(), App().bReceiverFound.load(), App().bModemOK.load()),
        "1 1 0");
    Pass(thread, "\r\nOK\r\n");
    EXPECT_EQ(App().bModemOK, 1);
    // The terminal keeps every byte (its cut is checked with a reader thread running).
    ClearTerminalText();
    Pass(thread, std::string("a\0\x80\xFF", 4));
    EXPECT_EQ(TerminalText(), (std::u16string{u'a', 0, 0x80, 0xFF}));
    App().bDemoMode = 1;
    device.QueueRead("$X\r\n");
    EXPECT_FALSE(thread.ReadAndFrame());
    App().bDemoMode = 0;
    device.SetReadError(5);
    EXPECT_FALSE(thread.ReadAndFrame());
}

class StoppingSinks : public ReaderSinks {
public:
    void PassDone() override {
        if (++passes == 3) thread->bStopThread = 1;
        throw std::runtime_error("device gone");
    }
    int passes = 0;
    CGPSThread* thread = nullptr;
};

TEST_F(ReaderTest, RunPausesAfterEveryPassAlsoAfterAFaultAndStops) {
    testsupport::RecordingSinks idle;
    CGPSThread real(&comm, &idle);
    for (int round = 0; round < 2; ++round) {  // a stopped thread can run again
        ASSERT_TRUE(real.Start());
        EXPECT_TRUE(real.IsRunning());
        EXPECT_TRUE(real.Stop(10000));
        EXPECT_FALSE(real.IsRunning());
        EXPECT_TRUE(real.hThreadDone.IsSet());
    }
    testsupport::InstalledVirtualClock clock;
    StoppingSinks sinks;
    CGPSThread thread(&comm, &sinks);
    sinks.thread = &thread;
    App().bPortOpen = 1;
    platform::ClearTrace();
    EXPECT_EQ(thread.Run(), 0);
    EXPECT_EQ(sinks.passes, 3);
    EXPECT_EQ(clock.pauses(), (std::vector<uint32_t>{50, 50, 50}));
    EXPECT_TRUE(platform::TraceContains("Error on Serial Communication: device gone"));
    EXPECT_TRUE(platform::TraceContains("GPS Thread is terminated"));
    EXPECT_TRUE(thread.hThreadDone.IsSet());
}

}  // namespace
