#pragma once
// A clock for scenarios in which the program reads the simulated receiver back during its
// pauses: time moves only by the pauses of the thread that made it; while `waitForReplies` is
// set, each such pause also waits until the receiver's answers so far are written, read and
// decoded (two further reader passes), as the real pause allows. Other threads sleep for real.

#include <atomic>
#include <cstdint>

#include "engine/reader_sinks.h"
#include "support/virtual_clock.h"

class SComm;

namespace testsupport {

class ReceiverSimulator;

class CountingSinks : public EngineSinks {
public:
    using EngineSinks::EngineSinks;
    void PassDone() override {
        EngineSinks::PassDone();
        passes.fetch_add(1);
    }
    std::atomic<uint64_t> passes{0};
};

class ReplyClock : public VirtualClock {
public:
    ReplyClock(ReceiverSimulator& sim, SComm& comm, CountingSinks& sinks, uint32_t start = 100000)
        : VirtualClock(start, true), sim_(sim), comm_(comm), sinks_(sinks) {}
    void Sleep(uint32_t ms) override;

    std::atomic<bool> waitForReplies{true};

private:
    ReceiverSimulator& sim_;
    SComm& comm_;
    CountingSinks& sinks_;
};

}  // namespace testsupport
