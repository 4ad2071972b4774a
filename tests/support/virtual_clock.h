#pragma once

#include <chrono>
#include <cstdint>
#include <numeric>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "support/guarded.h"

namespace testsupport {

// A clock whose Sleep advances time at once and records each pause. With `ownerOnly`, only the
// thread that made it lives in virtual time; every other thread sleeps for real. Thread-safe.
class VirtualClock : public platform::Clock, protected Guarded {
public:
    explicit VirtualClock(uint32_t start = 100000, bool ownerOnly = false)
        : now_(start), ownerOnly_(ownerOnly) {}

    uint32_t Now() override { return Get(now_); }
    void Sleep(uint32_t ms) override {
        if (!OnOwner()) return std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        Locked([&] { now_ += ms, pauses_.push_back(ms); });
    }
    void Advance(uint32_t ms) {
        Locked([&] { now_ += ms; });
    }
    std::vector<uint32_t> pauses() const { return Get(pauses_); }
    uint32_t TotalPaused() const {
        return Locked([&] { return std::accumulate(pauses_.begin(), pauses_.end(), 0u); });
    }
    void ClearPauses() {
        Locked([&] { pauses_.clear(); });
    }

protected:
    bool OnOwner() const { return !ownerOnly_ || std::this_thread::get_id() == owner_; }

private:
    uint32_t now_;
    std::vector<uint32_t> pauses_;
    const bool ownerOnly_;
    const std::thread::id owner_ = std::this_thread::get_id();
};

// A virtual clock installed for its lifetime.
class InstalledVirtualClock : public VirtualClock {
public:
    explicit InstalledVirtualClock(uint32_t start = 100000) : VirtualClock(start) {
        platform::SetClock(this);
    }
    ~InstalledVirtualClock() override { platform::SetClock(nullptr); }
};

}  // namespace testsupport
