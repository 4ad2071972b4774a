#include "support/reply_clock.h"

#include "engine/scomm.h"
#include "support/driver_client.h"
#include "support/receiver_simulator.h"

namespace testsupport {

void ReplyClock::Sleep(uint32_t ms) {
    VirtualClock::Sleep(ms);
    if (!OnOwner() || !waitForReplies.load()) return;
    // What the answers leave behind is the test's to check, not the wait's.
    if (device != nullptr) sim_.WaitRead(device->written.load(), 30000);
    sim_.WaitIdle(30000);
    WaitUntil(
        [&] {
            return comm_.BytesInQueue() == 0 &&
                   (device == nullptr || device->taken.load() >= sim_.BytesWritten());
        },
        30000, 2);
    const uint64_t target = sinks_.passes.load() + 2;
    WaitUntil([&] { return sinks_.passes.load() >= target; }, 30000, 2);
}

}  // namespace testsupport
