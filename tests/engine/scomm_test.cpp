#include "engine/scomm.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/appstate.h"
#include "platform/notify.h"
#include "platform/ports.h"
#include "platform/trace.h"
#include "support/fake_serial.h"
#include "support/virtual_clock.h"

namespace {

class SCommTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TESSARAY_PC_COM1", "/dev/fake1", 1);
        ::setenv("TESSARAY_PC_COM50", "/dev/fake50", 1);
        ::unsetenv("TESSARAY_PC_COM7");
        ::setenv("TESSARAY_PC_CONFIG_DIR", "/nonexistent-config", 1);
        platform::SetDetectedPortsForTest({});
        App().eReceiverType = RECEIVER_GPS;
        platform::ClearTrace();
    }

    testsupport::InstalledVirtualClock clock;
    testsupport::FakeSerialDevice device;
    SComm comm{device};
};

TEST_F(SCommTest, OpenResultCodes) {
    struct Case {
        const char* name;
        int port;
        std::function<void(testsupport::FakeSerialDevice&)> arrange;
        int result;
        bool open;
        const char* trace;
    };
    const Case cases[] = {
        {"port 0", 0, nullptr, COMM_INVALID_PORT, false, "SComm::OpenPort: invalid COM0"},
        {"port 51", 51, nullptr, COMM_INVALID_PORT, false, "SComm::OpenPort: invalid COM51"},
        {"port 50", 50, nullptr, COMM_OK, true, "SComm::Setup: status=0"},
        {"no device", 7, nullptr, COMM_OS_CALL_FAILED, false, "no serial device is known for COM7"},
        {"open denied", 1, [](auto& d) { d.SetOpenError(EACCES); }, COMM_OS_CALL_FAILED, false,
         "ERROR 13 opening COM1:\ncannot open COM1 (/dev/fake1): Permission denied"},
        {"state unreadable", 1, [](auto& d) { d.SetQueryError(EIO); }, COMM_OS_CALL_FAILED, true,
         "Cannot Get Com1 Port Status - Error = 5"},
        {"settings refused", 1, [](auto& d) { d.SetConfigureError(EINVAL); }, COMM_OS_CALL_FAILED,
         true, "SComm::OpenPort: ...status=5003."},
    };
    for (const Case& c : cases) {
        testsupport::FakeSerialDevice dev;
        SComm port(dev);
        if (c.arrange) c.arrange(dev);
        platform::ClearTrace();
        EXPECT_EQ(port.OpenPort(c.port, 57600), c.result) << c.name;
        EXPECT_EQ(port.bOpen(), c.open) << c.name;
        EXPECT_EQ(port.iLastError(), c.result == COMM_OK ? 0 : c.result) << c.name;
        EXPECT_TRUE(platform::TraceContains(c.trace)) << c.name;
    }
    testsupport::FakeSerialDevice dev;
    SComm port(dev);
    dev.SetOpenError(EACCES);
    port.OpenPort(1, 9600);
    EXPECT_NE(port.LastOpenError().find("dialout"), std::string::npos);
}

TEST_F(SCommTest, FirstTraceNamesTheRequest) {
    comm.OpenPort(1, 19200);
    std::vector<std::string> lines = platform::TraceLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "Tessaray_PC: SComm::OpenPort: COM1,19200,N,8,1, handshake=N");
    EXPECT_EQ(comm.strPortName(), "COM1:");
    EXPECT_EQ(comm.DevicePath(), "/dev/fake1");
}

TEST_F(SCommTest, BaudRatesOutsideTheListBecome9600) {
    struct Case {
        long asked, set;
        bool traced;
    };
    const Case cases[] = {{1200, 9600, true},    {230400, 9600, true}, {14400, 14400, false},
                          {56000, 56000, false}, {2400, 2400, false},  {115200, 115200, false}};
    for (const Case& c : cases) {
        platform::ClearTrace();
        ASSERT_EQ(comm.OpenPort(1, c.asked), COMM_OK);
        EXPECT_EQ(device.settings().baud, static_cast<uint32_t>(c.set)) << c.asked;
        EXPECT_EQ(platform::TraceContains("invalid baud rate " + std::to_string(c.asked) + "!"),
                  c.traced);
    }
    auto s = device.settings();
    EXPECT_EQ(s.parity, 'N');
    EXPECT_EQ(s.dataBits, 8);
    EXPECT_EQ(s.stopBits, 1);
    EXPECT_FALSE(s.handshake);
    // Each open of an open port closed it first.
    EXPECT_EQ(device.opens(), 6);
    EXPECT_EQ(device.closes(), 5);
}

TEST_F(SCommTest, ReadsWaitOnlyAsAsked) {
    char buf[64];
    uint32_t got = 99, queued = 99;
    EXPECT_EQ(comm.ReadBytes(buf, 10, &got, &queued, 0.0), COMM_NOT_OPEN);
    EXPECT_EQ(got, 0u);
    EXPECT_EQ(queued, 0u);
    EXPECT_EQ(comm.iLastError(), COMM_NOT_OPEN);

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
    EXPECT_EQ(got, 40u);
    EXPECT_EQ(queued, 60u);
    EXPECT_EQ(std::string(buf, 40), std::string(30, 'a') + std::string(10, 'b'));
    EXPECT_EQ(comm.BytesInQueue(), 60u);

    device.SetReadError(EIO);
    EXPECT_EQ(comm.ReadBytes(buf, 10, &got, nullptr, 0.0), COMM_OS_CALL_FAILED);
}

TEST_F(SCommTest, WritesDropWhatTheDeviceRefusesUnlessGivenTime) {
    uint32_t written = 99;
    EXPECT_EQ(comm.SendBytes("$JI\r\n", 5, &written, 0.0), COMM_NOT_OPEN);
    EXPECT_EQ(written, 0u);
    ASSERT_EQ(comm.OpenPort(1, 57600), COMM_OK);

    EXPECT_EQ(comm.SendBytes("$JI\r\n", 5, &written, 0.0), COMM_OK);
    EXPECT_EQ(written, 5u);
    EXPECT_EQ(device.written(), "$JI\r\n");

    device.ClearWrites();
    device.SetWriteLimit(3);
    clock.ClearPauses();
    EXPECT_EQ(comm.SendBytes("$JSAVE\r\n", 8, &written, 0.0), COMM_OK);
    EXPECT_EQ(written, 3u);
    EXPECT_EQ(device.written(), "$JS");
    EXPECT_TRUE(clock.pauses().empty());

    device.ClearWrites();
    EXPECT_EQ(comm.SendBytes("$JSAVE\r\n", 8, &written, 1.0), COMM_OK);
    EXPECT_EQ(device.written(), "$JSAVE\r\n");
    EXPECT_EQ(clock.pauses(), (std::vector<uint32_t>{50, 50}));

    device.SetWriteLimit(0);
    device.SetWriteError(EIO);
    int before = comm.iLastError();
    EXPECT_EQ(comm.SendBytes("x", 1, nullptr, 0.0), COMM_OS_CALL_FAILED);
    EXPECT_EQ(comm.iLastError(), before);
    EXPECT_TRUE(platform::TraceContains("SComm::SendBytes: Write To Comm Port Error - 5"));
}

TEST_F(SCommTest, PurgeAndQueue) {
    EXPECT_EQ(comm.EmptyInputQueue(), COMM_NOT_OPEN);
    EXPECT_EQ(comm.BytesInQueue(), 0u);
    ASSERT_EQ(comm.OpenPort(1, 57600), COMM_OK);
    device.QueueRead("$GPGGA,stale\r\n");
    EXPECT_EQ(comm.BytesInQueue(), 14u);
    EXPECT_EQ(comm.EmptyInputQueue(), COMM_OK);
    EXPECT_EQ(comm.BytesInQueue(), 0u);
    device.SetPurgeError(EIO);
    EXPECT_EQ(comm.EmptyInputQueue(), COMM_OS_CALL_FAILED);
    EXPECT_EQ(comm.iLastError(), COMM_OS_CALL_FAILED);
}

TEST_F(SCommTest, CloseCodesAndPortFlag) {
    ASSERT_EQ(comm.OpenPort(1, 57600), COMM_OK);
    App().bPortOpen = 1;
    EXPECT_EQ(comm.ClosePort(), COMM_OK);
    EXPECT_EQ(App().bPortOpen, 0);
    EXPECT_FALSE(comm.bOpen());
    App().bPortOpen = 1;
    EXPECT_EQ(comm.ClosePort(), COMM_NOT_OPEN);
    EXPECT_EQ(App().bPortOpen, 0);  // cleared whatever follows

    ASSERT_EQ(comm.OpenPort(1, 57600), COMM_OK);
    device.SetCloseError(EIO);
    EXPECT_EQ(comm.ClosePort(), COMM_CLOSE_FAILED);
    EXPECT_TRUE(comm.bOpen());
    EXPECT_EQ(comm.ClosePort(), COMM_INVALID_HANDLE);
}

TEST_F(SCommTest, BluetoothCloseResetsTheModemFirstEvenWhenClosed) {
    int resets = 0;
    comm.SetModemResetHook([&resets] { ++resets; });
    App().eReceiverType = RECEIVER_BLUETOOTH;
    ASSERT_EQ(comm.OpenPort(1, 57600), COMM_OK);
    clock.ClearPauses();
    EXPECT_EQ(comm.ClosePort(), COMM_OK);
    EXPECT_EQ(comm.ClosePort(), COMM_NOT_OPEN);
    EXPECT_EQ(resets, 2);
    EXPECT_EQ(clock.pauses(), (std::vector<uint32_t>{100, 100}));
    App().eReceiverType = RECEIVER_GPS;
}

class ThrowingDevice : public testsupport::FakeSerialDevice {
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

}  // namespace
