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
#include "platform/serial.h"

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

// The program's port, counting the bytes that went out and those taken in (read or purged).
class CountingDevice : public platform::PosixSerialDevice {
public:
    long Write(const void* buf, size_t len) override {
        const long n = platform::PosixSerialDevice::Write(buf, len);
        if (n > 0) written.fetch_add(static_cast<uint64_t>(n));
        return n;
    }
    long Read(void* buf, size_t max) override {
        const long n = platform::PosixSerialDevice::Read(buf, max);
        if (n > 0) taken.fetch_add(static_cast<uint64_t>(n));
        return n;
    }
    int Purge() override {
        uint32_t queued = 0;
        if (BytesQueued(&queued) == 0) taken.fetch_add(queued);
        return platform::PosixSerialDevice::Purge();
    }
    std::atomic<uint64_t> written{0};
    std::atomic<uint64_t> taken{0};
};

class ReplyClock : public platform::Clock {
public:
    ReplyClock(ReceiverSimulator& sim, SComm& comm, CountingSinks& sinks, uint32_t start = 100000)
        : now_(start), sim_(sim), comm_(comm), sinks_(sinks), owner_(std::this_thread::get_id()) {}
    uint32_t Now() override { return now_.load(); }
    void Sleep(uint32_t ms) override;

    std::atomic<bool> waitForReplies{true};
    std::atomic<uint32_t> paused{0};
    // The program's port, when it counts: a pause then also waits until the simulator has read
    // every byte written so far and the program has taken in every byte of the answers. Without
    // it a command or a reply still in the pseudo-terminal looks like silence on a loaded
    // machine. Set before the pauses begin.
    const CountingDevice* device = nullptr;

private:
    std::atomic<uint32_t> now_;
    ReceiverSimulator& sim_;
    SComm& comm_;
    CountingSinks& sinks_;
    std::thread::id owner_;
};

}  // namespace testsupport
