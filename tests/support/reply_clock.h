#pragma once
// A clock for scenarios in which the program reads the simulated receiver back during its
// pauses: time moves only by the pauses of the thread that made it; while `waitForReplies` is
// set, each such pause also waits until the receiver's answers so far are written, read and
// decoded (two further reader passes), as the real pause allows. Other threads sleep for real.

#include <atomic>
#include <cstdint>

#include "engine/reader_sinks.h"
#include "platform/serial.h"
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

// The program's port, counting the bytes that went out and those taken in (read or purged).
class CountingDevice : public platform::PosixSerialDevice {
public:
    long Write(const void* buf, size_t len) override {
        return Count(written, platform::PosixSerialDevice::Write(buf, len));
    }
    long Read(void* buf, size_t max) override {
        return Count(taken, platform::PosixSerialDevice::Read(buf, max));
    }
    int Purge() override {
        uint32_t queued = 0;
        if (BytesQueued(&queued) == 0) taken.fetch_add(queued);
        return platform::PosixSerialDevice::Purge();
    }
    std::atomic<uint64_t> written{0};
    std::atomic<uint64_t> taken{0};

private:
    static long Count(std::atomic<uint64_t>& total, long n) {
        if (n > 0) total.fetch_add(static_cast<uint64_t>(n));
        return n;
    }
};

class ReplyClock : public VirtualClock {
public:
    ReplyClock(ReceiverSimulator& sim, SComm& comm, CountingSinks& sinks, uint32_t start = 100000)
        : VirtualClock(start, true), sim_(sim), comm_(comm), sinks_(sinks) {}
    void Sleep(uint32_t ms) override;

    std::atomic<bool> waitForReplies{true};
    // When set (before the pauses begin), a pause also waits until the simulator has read every
    // byte written and the program has taken in every byte of the answers: on a loaded machine
    // a command or reply still in the pseudo-terminal would otherwise look like silence.
    const CountingDevice* device = nullptr;

private:
    ReceiverSimulator& sim_;
    SComm& comm_;
    CountingSinks& sinks_;
};

}  // namespace testsupport
