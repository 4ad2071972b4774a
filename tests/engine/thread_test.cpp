#include "engine/thread.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <numeric>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/appstate.h"
#include "engine/scomm.h"
#include "platform/trace.h"
#include "support/fake_serial.h"
#include "support/frames.h"
#include "support/recording_sinks.h"
#include "support/virtual_clock.h"

using testsupport::BinFrame;
using testsupport::NmeaSentence;

namespace {

std::string Join(const std::vector<std::string>& parts) {
    return std::accumulate(parts.begin(), parts.end(), std::string());
}

void ResetApp() {
    AppShared& app = App();
    app.bPortOpen = 0;
    app.bDemoMode = 0;
    app.bSentenceReceived = 0;
    app.bReceiverFound = 0;
    app.bBytesReceived = 0;
    app.bModemOK = 0;
    app.wLogFlags = 0;
}

class ReaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TESSARAY_PC_COM1", "/dev/fake-receiver", 1);
        ResetApp();
        ClearTerminalText();
        ASSERT_EQ(comm.OpenPort(1, 115200), COMM_OK);
    }
    void TearDown() override { comm.ClosePort(); }

    // One read pass that finds these bytes queued.
    void Pass(CGPSThread& thread, const std::string& bytes) {
        device.QueueRead(bytes);
        ASSERT_TRUE(thread.ReadAndFrame());
    }

    testsupport::FakeSerialDevice device;
    SComm comm{device};
};

TEST_F(ReaderTest, EverySplitPointDeliversEachFrameOnceInOrder) {
    const std::vector<std::string> frames = testsupport::SampleMixedFrames();
    const std::string stream = "\r\nnoise" + Join(frames);
    for (size_t cut = 0; cut <= stream.size(); ++cut) {
        testsupport::RecordingSinks sinks;
        CGPSThread thread(&comm, &sinks);
        Pass(thread, stream.substr(0, cut));
        Pass(thread, stream.substr(cut));
        ASSERT_EQ(sinks.frames(), frames) << "split at byte " << cut;
    }
    // And one byte per read.
    testsupport::RecordingSinks sinks;
    CGPSThread thread(&comm, &sinks);
    for (char c : stream) Pass(thread, std::string(1, c));
    EXPECT_EQ(sinks.frames(), frames);
    EXPECT_EQ(sinks.binaryFrames().size(), 5u);
}

TEST_F(ReaderTest, FramingCases) {
    const std::string next = NmeaSentence("GPGGA,1,2,3");
    std::string badSum = BinFrame(1, std::string(52, 'x'));
    badSum[8 + 52] ^= 1;
    std::string shortLength = BinFrame(2, "abc");  // length word 3
    std::string longLength = BinFrame(2, std::string(300, 'y'));
    longLength[6] = static_cast<char>(500 & 0xFF);
    longLength[7] = static_cast<char>(500 >> 8);
    const std::string s419 = "$" + std::string(416, 'A') + "\r\n";
    const std::string s420 = "$" + std::string(417, 'A') + "\r\n";
    struct Case {
        const char* name;
        std::vector<std::string> chunks;
        std::vector<std::string> frames;
    };
    const Case cases[] = {
        {"bytes before $ are not framed", {"junk\r\n" + next}, {next}},
        {"sentence split over two reads", {next.substr(0, 5), next.substr(5)}, {next}},
        {"second $ does not restart", {"$AB$CD\r\n"}, {"$AB$CD\r\n"}},
        {"419 bytes survive", {s419, next}, {s419, next}},
        {"420 bytes dropped, next survives", {s420 + next}, {next}},
        {"bad sum does not swallow the next", {badSum + next}, {next}},
        {"length below 8 abandoned", {shortLength + next}, {next}},
        {"length above 407 abandoned", {longLength + next}, {next}},
        {"cr alone does not end", {"$A\rB\r\n"}, {"$A\rB\r\n"}},
    };
    for (const Case& c : cases) {
        testsupport::RecordingSinks sinks;
        CGPSThread thread(&comm, &sinks);
        for (const std::string& chunk : c.chunks) Pass(thread, chunk);
        EXPECT_EQ(sinks.frames(), c.frames) << c.name;
    }
}

TEST_F(ReaderTest, LoggersSeeEveryFinishedFrameBeforeTheDispatcher) {
    const std::string gga = NmeaSentence("GPGGA,1");
    std::string data;
    for (int i = 0; i < 8; ++i) data += "\r\n";
    const std::string bin = BinFrame(2, data);
    App().wLogFlags = LOG_NMEA | LOG_BIN;
    testsupport::RecordingSinks sinks;
    CGPSThread thread(&comm, &sinks);
    Pass(thread, gga + bin);
    using E = testsupport::RecordingSinks::Event;
    std::vector<E> events = sinks.events();
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].kind, E::Log);
    EXPECT_EQ(events[0].bytes, gga);
    EXPECT_EQ(events[0].logFlags, LOG_NMEA | LOG_BIN);
    EXPECT_EQ(events[1].kind, E::Sentence);
    EXPECT_EQ(events[2].kind, E::Binary);
    EXPECT_EQ(events[3].kind, E::Log);
    EXPECT_EQ(events[3].bytes, bin);
    // The CR LF inside the data was offered first and refused.
    EXPECT_GT(sinks.binaryAttempts().size(), 1u);
}

TEST_F(ReaderTest, FlagsFollowWhatArrives) {
    testsupport::RecordingSinks sinks;
    CGPSThread thread(&comm, &sinks);
    Pass(thread, "$GPG");
    EXPECT_EQ(App().bBytesReceived, 1);
    EXPECT_EQ(App().bSentenceReceived, 0);
    Pass(thread, "GA\r\n");
    EXPECT_EQ(App().bSentenceReceived, 1);
    EXPECT_EQ(App().bReceiverFound, 1);
    EXPECT_EQ(App().bModemOK, 0);

    Pass(thread, std::string("xx\0OK\r\n", 7));
    EXPECT_EQ(App().bModemOK, 0);  // after a NUL
    Pass(thread, "\r\nOK\r\n");
    EXPECT_EQ(App().bModemOK, 1);

    App().bDemoMode = 1;
    device.QueueRead("$X\r\n");
    EXPECT_FALSE(thread.ReadAndFrame());
    App().bDemoMode = 0;
    device.SetReadError(5);
    EXPECT_FALSE(thread.ReadAndFrame());
}

// Sentences the dispatcher sees while the shared counters are read at each one.
class CounterReadingSinks : public ReaderSinks {
public:
    bool Sentence(const char*, size_t) override {
        seen.push_back({App().uFramesHeard.load(), App().uRepliesHeard.load()});
        return true;
    }
    std::vector<std::pair<uint32_t, uint32_t>> seen;
};

// Frames, and replies among them, are counted whole and once; a read's counts reach the
// shared counters together at its end, not frame by frame.
TEST_F(ReaderTest, HeardCountersTakeEachReadAtItsEnd) {
    CounterReadingSinks sinks;
    CGPSThread thread(&comm, &sinks);
    App().ResetHeardCounters();
    const struct {
        std::string bytes;
        uint32_t frames, replies;  // after the read
    } reads[] = {
        {NmeaSentence("GPGGA,1") + "$>JI,1\r\n$PKRV,CS0,x*00\r\n$PKRV,CS1,y\r\n$GPG", 4, 3},
        {"SV,2\r\n" + BinFrame(1, std::string(52, 'b')) + "noise\r\n$PKRV,1,1\r\n", 7, 3},
        {"$>", 7, 3},
        {"JRTK,1\r\n", 8, 4},
    };
    for (const auto& read : reads) {
        SCOPED_TRACE(read.bytes);
        const std::pair before{App().uFramesHeard.load(), App().uRepliesHeard.load()};
        sinks.seen.clear();
        Pass(thread, read.bytes);
        for (const auto& seen : sinks.seen) EXPECT_EQ(seen, before);
        EXPECT_EQ(App().uFramesHeard.load(), read.frames);
        EXPECT_EQ(App().uRepliesHeard.load(), read.replies);
    }
    App().ResetHeardCounters();
    Pass(thread, "$>JI,2\r\n");
    EXPECT_EQ(App().uFramesHeard.load() + App().uRepliesHeard.load(), 2u);
}

TEST_F(ReaderTest, TerminalTextKeepsEveryByteAndItsCap) {
    testsupport::RecordingSinks sinks;
    CGPSThread thread(&comm, &sinks);
    Pass(thread, std::string("a\0\x80\xFF", 4));
    EXPECT_EQ(TerminalText(), (std::u16string{u'a', 0, 0x80, 0xFF}));
    ClearTerminalText();
    Pass(thread, std::string(5000, 'x'));
    EXPECT_EQ(TerminalText().size(), 5000u);  // cut only before the next pass appends
    Pass(thread, "yz");
    std::u16string text = TerminalText();
    ASSERT_EQ(text.size(), 4096u + 2);
    EXPECT_EQ(text.substr(4094), u"xxyz");
}

class StoppingSinks : public ReaderSinks {
public:
    explicit StoppingSinks(CGPSThread*& thread) : thread_(thread) {}
    void PassDone() override {
        if (++passes == 3) thread_->bStopThread = 1;
        throw std::runtime_error("device gone");
    }
    int passes = 0;

private:
    CGPSThread*& thread_;
};

TEST_F(ReaderTest, RunPausesAfterEveryPassAlsoAfterAFault) {
    testsupport::InstalledVirtualClock clock;
    CGPSThread* self = nullptr;
    StoppingSinks sinks(self);
    CGPSThread thread(&comm, &sinks);
    self = &thread;
    App().bPortOpen = 1;
    platform::ClearTrace();
    EXPECT_EQ(thread.Run(), 0);
    EXPECT_EQ(sinks.passes, 3);
    EXPECT_EQ(clock.pauses(), (std::vector<uint32_t>{50, 50, 50}));
    EXPECT_TRUE(platform::TraceContains("Error on Serial Communication: device gone"));
    EXPECT_TRUE(platform::TraceContains("GPS Thread is terminated"));
    EXPECT_TRUE(thread.hThreadDone.IsSet());
}

TEST_F(ReaderTest, StartAndStopEndTheThread) {
    testsupport::RecordingSinks sinks;
    CGPSThread thread(&comm, &sinks);
    ASSERT_TRUE(thread.Start());
    EXPECT_TRUE(thread.IsRunning());
    EXPECT_TRUE(thread.Stop(10000));
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_TRUE(thread.hThreadDone.IsSet());
    ASSERT_TRUE(thread.Start());  // a stopped thread can run again
    EXPECT_TRUE(thread.Stop(10000));
}

TEST(BinFrameCheck, AcceptsOnlyWholeFrames) {
    const std::string good = BinFrame(1, std::string(52, '\r'));
    EXPECT_TRUE(IsCompleteBinFrame(good.data(), good.size()));
    EXPECT_FALSE(IsCompleteBinFrame(good.data(), good.size() - 1));
    std::string badEnd = good;
    badEnd.back() = 'x';
    EXPECT_FALSE(IsCompleteBinFrame(badEnd.data(), badEnd.size()));
    const std::string tiny = BinFrame(1, "1234567");
    EXPECT_FALSE(IsCompleteBinFrame(tiny.data(), tiny.size()));
    const std::string largest = BinFrame(1, std::string(407, 'q'));
    EXPECT_TRUE(IsCompleteBinFrame(largest.data(), largest.size()));
    const std::string tooLarge = BinFrame(1, std::string(408, 'q'));
    EXPECT_FALSE(IsCompleteBinFrame(tooLarge.data(), tooLarge.size()));
    EXPECT_FALSE(IsCompleteBinFrame("$BIN", 4));
}

}  // namespace
