#include "support/reply_clock.h"

#include <chrono>

#include "engine/scomm.h"
#include "support/receiver_simulator.h"

namespace testsupport {

void ReplyClock::Sleep(uint32_t ms) {
    if (std::this_thread::get_id() != owner_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    now_.fetch_add(ms);
    paused.fetch_add(ms);
    if (!waitForReplies.load()) return;
    // What the receiver's answers leave behind is the test's to check, not the wait's.
    if (device != nullptr) sim_.WaitRead(device->written.load(), 30000);
    sim_.WaitIdle(30000);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (comm_.BytesInQueue() != 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    while (device != nullptr && device->taken.load() < sim_.BytesWritten() &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const uint64_t target = sinks_.passes.load() + 2;
    while (sinks_.passes.load() < target && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

}  // namespace testsupport
