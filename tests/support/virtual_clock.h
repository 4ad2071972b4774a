#pragma once

#include <cstdint>
#include <mutex>
#include <vector>

#include "platform/clock.h"

namespace testsupport {

// A clock whose Sleep advances time at once and records each pause. Thread-safe.
class VirtualClock : public platform::Clock {
public:
    explicit VirtualClock(uint32_t start = 100000) : now_(start) {}

    uint32_t Now() override;
    void Sleep(uint32_t ms) override;
    void Advance(uint32_t ms);

    std::vector<uint32_t> pauses() const;
    uint32_t TotalPaused() const;
    void ClearPauses();

private:
    mutable std::mutex mutex_;
    uint32_t now_;
    std::vector<uint32_t> pauses_;
};

// Installs a clock for its lifetime.
class ScopedClock {
public:
    explicit ScopedClock(platform::Clock& clock) { platform::SetClock(&clock); }
    ~ScopedClock() { platform::SetClock(nullptr); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;
};

// A virtual clock that installs itself.
class InstalledVirtualClock : public VirtualClock {
public:
    explicit InstalledVirtualClock(uint32_t start = 100000) : VirtualClock(start), scope_(*this) {}

private:
    ScopedClock scope_;
};

}  // namespace testsupport
