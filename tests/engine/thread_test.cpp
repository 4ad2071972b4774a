#include "engine/thread.h"

#include <gtest/gtest.h>
#include <numeric>
#include <stdexcept>

#include "engine/appstate.h"
#include "engine/scomm.h"
#include "platform/trace.h"
#include "support/fake_serial.h"
#include "support/frames.h"
#include "support/recording_sinks.h"
#include "support/virtual_clock.h"
#include "wire_fixture.h"

using testsupport::BinFrame;
using testsupport::NmeaSentence;

namespace {

using wiretest::Join;

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
    // One read pass that finds these bytes queued.
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

TEST_F(ReaderTest, EverySplitPointDeliversEachFrameOnceInOrder) {
    const std::vector<std::string> frames = testsupport::SampleMixedFrames();
    const std::string stream =
        "\r\nnoise" + std::accumulate(frames.begin(), frames.end(), std::string());
    for (size_t cut = 0; cut <= stream.size(); ++cut)
        ASSERT_EQ(Framed({stream.substr(0, cut), stream.substr(cut)}), frames) << cut;
    std::vector<std::string> bytes;
    for (char c : stream) bytes.emplace_back(1, c);
    EXPECT_EQ(Framed(bytes), frames);
    const std::string next = NmeaSentence("GPGGA,1,2,3");
    std::string badSum = BinFrame(1, std::string(52, 'x'));
    badSum[8 + 52] ^= 1;
    std::string longLength = BinFrame(2, std::string(300, 'y'));
    longLength[6] = static_cast<char>(500 & 0xFF);
    longLength[7] = static_cast<char>(500 >> 8);
    const std::string s419 = "$" + std::string(416, 'A') + "\r\n";
    const std::string s420 = "$" + std::string(417, 'A') + "\r\n";
    const std::pair<std::vector<std::string>, std::vector<std::string>> cases[] = {
        {{"junk\r\n" + next}, {next}},          // bytes before $ are not framed
        {{"$AB$CD\r\n"}, {"$AB$CD\r\n"}},       // a second $ does not restart
        {{s419, next}, {s419, next}},           // 419 bytes survive
        {{s420 + next}, {next}},                // 420 are dropped, the next survives
        {{badSum + next}, {next}},              // a bad sum does not swallow the next
        {{BinFrame(2, "abc") + next}, {next}},  // a length below 8 is abandoned
        {{longLength + next}, {next}},          // and one above 407
        {{"$A\rB\r\n"}, {"$A\rB\r\n"}},         // a CR alone does not end
    };
    for (const auto& [chunks, expected] : cases) EXPECT_EQ(Framed(chunks), expected) << chunks[0];
    const std::string good = BinFrame(1, std::string(52, '\r'));
    EXPECT_TRUE(IsCompleteBinFrame(good.data(), good.size()));
    EXPECT_FALSE(IsCompleteBinFrame(good.data(), good.size() - 1));
    const std::string largest = BinFrame(1, std::string(407, 'q'));
    const std::string tooLarge = BinFrame(1, std::string(408, 'q'));
    EXPECT_TRUE(IsCompleteBinFrame(largest.data(), largest.size()));
    EXPECT_FALSE(IsCompleteBinFrame(tooLarge.data(), tooLarge.size()));
    EXPECT_FALSE(IsCompleteBinFrame("$BIN", 4));
}

TEST_F(ReaderTest, LoggersSeeEveryFinishedFrameBeforeTheDispatcher) {
    const std::string gga = NmeaSentence("GPGGA,1");
    const std::string bin = BinFrame(2, "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    App().wLogFlags = LOG_NMEA | LOG_BIN;
    testsupport::RecordingSinks sinks;
    CGPSThread thread(&comm, &sinks);
    Pass(thread, gga + bin);
    using E = testsupport::RecordingSinks::Event;
    const std::vector<E> events = sinks.events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(std::tuple(events[0].kind, events[0].bytes, events[0].logFlags),
              std::tuple(E::Log, gga, uint32_t{LOG_NMEA | LOG_BIN}));
    EXPECT_EQ(std::tuple(events[1].kind, events[2].kind, events[3].kind, events[3].bytes),
              std::tuple(E::Sentence, E::Binary, E::Log, bin));
    EXPECT_GT(sinks.binaryAttempts().size(), 1u) << "the CR LF inside was offered and refused";
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
    Pass(thread, std::string("xx\0OK\r\n", 7));
    EXPECT_EQ(App().bModemOK, 0) << "after a NUL";
    Pass(thread, "\r\nOK\r\n");
    EXPECT_EQ(App().bModemOK, 1);
    // The terminal keeps every byte, cut to its last 4096 only before the next pass appends.
    ClearTerminalText();
    Pass(thread, std::string("a\0\x80\xFF", 4));
    EXPECT_EQ(TerminalText(), (std::u16string{u'a', 0, 0x80, 0xFF}));
    ClearTerminalText();
    Pass(thread, std::string(5000, 'x'));
    EXPECT_EQ(TerminalText().size(), 5000u);
    Pass(thread, "yz");
    const std::u16string text = TerminalText();
    ASSERT_EQ(text.size(), 4096u + 2);
    EXPECT_EQ(text.substr(4094), u"xxyz");
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
