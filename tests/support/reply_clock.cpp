#include "support/reply_clock.h"

#include "engine/scomm.h"
#include "support/receiver_simulator.h"

namespace testsupport {

void ReplyClock::Sleep(uint32_t ms) {
    VirtualClock::Sleep(ms);
    if (!OnOwner()) return;
    paused.fetch_add(ms);
    if (!waitForReplies.load()) return;
    // What the answers leave behind is the test's to check, not the wait's.
    if (device != nullptr) sim_.WaitRead(device->written.load(), 30000);
    sim_.WaitIdle(30000);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    auto wait = [&](auto done) {
        while (!done() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
    };
    wait([&] {
        return comm_.BytesInQueue() == 0 &&
               (device == nullptr || device->taken.load() >= sim_.BytesWritten());
    });
    const uint64_t target = sinks_.passes.load() + 2;
    wait([&] { return sinks_.passes.load() >= target; });
}

}  // namespace testsupport
