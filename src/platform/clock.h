#pragma once

#include <cstdint>

namespace platform {

// Source of the millisecond tick and of pauses. Production uses steady_clock; tests install
// a virtual clock so that pauses of seconds run at once and can still be asserted.
class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t Now() = 0;  // milliseconds, wraps after about 49.7 days
    virtual void Sleep(uint32_t ms) = 0;
};

// Installs the clock used by TickCount and Sleep; nullptr restores the production clock.
// The caller keeps ownership and must uninstall it before destroying it.
void SetClock(Clock* clock);

// Milliseconds since an arbitrary start, 32-bit, wrapping like the original tick counter.
uint32_t TickCount();

void Sleep(uint32_t ms);

}  // namespace platform
