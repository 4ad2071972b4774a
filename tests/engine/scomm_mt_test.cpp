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

// The user-interface thread opens, closes and reopens the port while the reader thread reads
// a full-rate stream from it.
TEST(PortAndReaderThreads, ReopeningWhileReadingIsSafe) {
    testsupport::ReceiverSimulator sim;
    ASSERT_TRUE(sim.ok()) << sim.error();
    sim.InstallAsCom(14);
    // 115200 baud is 11520 bytes a second: 576 bytes every 50 ms.
    std::string block;
    for (const std::string& f : testsupport::SampleMixedFrames()) block += f;
    block.resize(576, ' ');
    sim.SetBacklogLimit(16384);
    sim.Stream({block}, 50, true);

    SComm comm;
    testsupport::RecordingSinks sinks;
    CGPSThread thread(&comm, &sinks);
    ASSERT_TRUE(thread.Start());
    App().bDemoMode = 0;

    int opened = 0;
    for (int i = 0; i < 100; ++i) {
        comm.ClosePort();
        if (comm.OpenPort(14, 115200) == COMM_OK) {
            App().bPortOpen = 1;
            ++opened;
        }
        (void)TerminalText();
        // Let the reader make a pass on this opening, then close under it at once.
        const int before = sinks.passes();
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (sinks.passes() == before && std::chrono::steady_clock::now() < until) {
            std::this_thread::yield();
        }
    }
    EXPECT_EQ(opened, 100);

    auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (sinks.frames().empty() && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(sinks.frames().empty());
    EXPECT_TRUE(thread.Stop(10000));
    comm.ClosePort();
    EXPECT_EQ(App().bPortOpen, 0);
}

}  // namespace
