#pragma once
// A clock for scenarios against the simulated receiver in which the program reads the
// receiver back during its pauses: time moves only by the pauses of the thread that made
// the clock, so the gaps between commands are exactly the pauses the program made; while
// `waitForReplies` is set, each such pause also waits until the receiver's answers so far
// are written, read and decoded (two further reader passes), as the real pause allows.
// Other threads sleep for real.

#include <atomic>
#include <cstdint>
#include <thread>

#include "engine/reader_sinks.h"
#include "platform/clock.h"

class SComm;

namespace testsupport {

class ReceiverSimulator;

// Counts the reader thread's passes.
class CountingSinks : public EngineSinks {
public:
    using EngineSinks::EngineSinks;
    void PassDone() override {
        EngineSinks::PassDone();
        passes.fetch_add(1);
    }
    std::atomic<uint64_t> passes{0};
};

class ReplyClock : public platform::Clock {
public:
    ReplyClock(ReceiverSimulator& sim, SComm& comm, CountingSinks& sinks, uint32_t start = 100000)
        : now_(start), sim_(sim), comm_(comm), sinks_(sinks), owner_(std::this_thread::get_id()) {}
    uint32_t Now() override { return now_.load(); }
    void Sleep(uint32_t ms) override;

    std::atomic<bool> waitForReplies{true};
    std::atomic<uint32_t> paused{0};

private:
    std::atomic<uint32_t> now_;
    ReceiverSimulator& sim_;
    SComm& comm_;
    CountingSinks& sinks_;
    std::thread::id owner_;
};

}  // namespace testsupport
