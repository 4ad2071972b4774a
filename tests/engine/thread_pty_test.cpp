#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "engine/appstate.h"
#include "engine/scomm.h"
#include "engine/thread.h"
#include "support/frames.h"
#include "support/receiver_simulator.h"
#include "support/recording_sinks.h"

namespace {

TEST(ReaderOverPty, MixedStreamAt20HzArrivesFrameByFrame) {
    testsupport::ReceiverSimulator sim;
    ASSERT_TRUE(sim.ok()) << sim.error();
    sim.InstallAsCom(12);

    std::vector<std::string> frames = testsupport::SampleMixedFrames();
    std::vector<std::string> items;
    std::vector<std::string> expected;
    for (int round = 0; round < 2; ++round) {
        for (const std::string& f : frames) {
            items.push_back(f);
            expected.push_back(f);
        }
    }
    const std::string s419 = "$" + std::string(416, 'L') + "\r\n";
    const std::string s420 = "$" + std::string(417, 'L') + "\r\n";
    std::string corrupt = testsupport::BinFrame(1, std::string(52, '\r'));
    corrupt[9] ^= 0x55;
    const std::string after = testsupport::NmeaSentence("GPGGA,after,corrupt");
    items.push_back(s420);
    items.push_back(s419);
    items.push_back("\x01\x02 junk before a dollar ");
    items.push_back(corrupt);
    items.push_back(after);
    expected.push_back(s419);
    expected.push_back(after);

    SComm comm;
    ASSERT_EQ(comm.OpenPort(12, 115200), COMM_OK);
    ClearTerminalText();
    App().bDemoMode = 0;
    App().bPortOpen = 1;
    testsupport::RecordingSinks sinks;
    CGPSThread thread(&comm, &sinks);
    ASSERT_TRUE(thread.Start());

    // Pieces of 1, 2, 3, ... bytes: the reads see frames cut at every kind of place.
    std::vector<size_t> chunks;
    for (size_t i = 1; i <= 17; ++i) chunks.push_back(i);
    sim.SetChunkSizes(chunks);
    sim.Stream(items, 50);
    ASSERT_TRUE(sim.WaitIdle(60000));

    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (sinks.frames().size() < expected.size() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(thread.Stop(10000));
    App().bPortOpen = 0;
    comm.ClosePort();

    EXPECT_EQ(sinks.frames(), expected);
    EXPECT_EQ(sinks.binaryFrames().size(), 10u);
    std::u16string terminal = TerminalText();
    EXPECT_NE(terminal.find(u" junk before a dollar "), std::u16string::npos);
    for (const std::string& s : sinks.sentences()) EXPECT_EQ(s.find("junk"), std::string::npos);
}

}  // namespace
