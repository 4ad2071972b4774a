#include "support/virtual_clock.h"

#include <numeric>

namespace testsupport {

uint32_t VirtualClock::Now() {
    std::lock_guard<std::mutex> lock(mutex_);
    return now_;
}

void VirtualClock::Sleep(uint32_t ms) {
    std::lock_guard<std::mutex> lock(mutex_);
    now_ += ms;
    pauses_.push_back(ms);
}

void VirtualClock::Advance(uint32_t ms) {
    std::lock_guard<std::mutex> lock(mutex_);
    now_ += ms;
}

std::vector<uint32_t> VirtualClock::pauses() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return pauses_;
}

uint32_t VirtualClock::TotalPaused() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::accumulate(pauses_.begin(), pauses_.end(), 0u);
}

void VirtualClock::ClearPauses() {
    std::lock_guard<std::mutex> lock(mutex_);
    pauses_.clear();
}

}  // namespace testsupport
