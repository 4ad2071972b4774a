#include "platform/event.h"

#include <chrono>

namespace platform {

void Event::Set() {
    // Already set: no waiter can be blocked, and the lock and wake-up are saved (the engine
    // sets its data event on every unlock of the record).
    if (set_.load(std::memory_order_acquire)) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        set_ = true;
    }
    cv_.notify_all();
}

void Event::Reset() {
    std::lock_guard<std::mutex> lock(mutex_);
    set_ = false;
}

bool Event::IsSet() const {
    return set_.load(std::memory_order_acquire);
}

bool Event::Wait(uint32_t ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    return cv_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return set_.load(); });
}

}  // namespace platform
