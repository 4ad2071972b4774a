#include "platform/clock.h"

#include <atomic>
#include <chrono>
#include <thread>

namespace platform {
namespace {

std::atomic<Clock*> g_clock{nullptr};

uint32_t SteadyMilliseconds() {
    auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

}  // namespace

void SetClock(Clock* clock) {
    g_clock.store(clock);
}

uint32_t TickCount() {
    if (Clock* clock = g_clock.load()) return clock->Now();
    return SteadyMilliseconds();
}

void Sleep(uint32_t ms) {
    if (Clock* clock = g_clock.load()) {
        clock->Sleep(ms);
        return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace platform
