#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace platform {

// Manual-reset event: stays set until Reset.
class Event {
public:
    explicit Event(bool initiallySet = false) : set_(initiallySet) {}
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();
    bool IsSet() const;
    // Waits up to ms milliseconds of real time (0 polls); true when the event is set.
    bool Wait(uint32_t ms);

private:
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool set_;
};

}  // namespace platform
