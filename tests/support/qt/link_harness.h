#pragma once
// The program's link to a simulated receiver for the search, watchdog and start-up tests:
// the real serial device wrapped so every opening, purge, write and pause of the
// user-interface thread lands in one timeline, and a clock that is virtual for that thread
// only (the reader thread and the simulator keep real time).

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/serial.h"

namespace shelltest {

struct LinkEvent {
    uint32_t time;     // virtual time
    std::string text;  // a line sent (without CR LF), "~<ms>", "open <baud>", "close", "purge",
                       // or "tick" (a timer tick the test fired)
};

class Timeline {
public:
    void Add(uint32_t time, std::string text);
    // Events with the written bytes joined and cut into lines at CR LF.
    std::vector<LinkEvent> Events() const;
    // Only the texts of Events().
    std::vector<std::string> Texts() const;
    void Clear();
    // Complete lines written so far.
    size_t LinesWritten() const;

private:
    mutable std::mutex mutex_;
    std::vector<LinkEvent> raw_;
    size_t lines_ = 0;
};

// Virtual time for the thread that made it; real sleeps for every other thread.
class SplitClock : public platform::Clock {
public:
    explicit SplitClock(Timeline& timeline, uint32_t start = 100000);
    ~SplitClock() override;
    uint32_t Now() override;
    void Sleep(uint32_t ms) override;
    void Advance(uint32_t ms);

private:
    Timeline& timeline_;
    std::thread::id owner_;
    std::mutex mutex_;
    uint32_t now_;
};

// Forwards to a real device and records what the program does with it. Before a new line
// speed is set, `beforeConfigure` runs (the tests let the simulator take in every command
// sent at the old speed first).
class LoggingDevice : public platform::SerialDevice {
public:
    LoggingDevice(platform::SerialDevice& inner, Timeline& timeline);

    std::function<void()> beforeConfigure;
    int opens() const { return opens_; }

    int Open(const std::string& path) override;
    int QueryState() override;
    int Configure(uint32_t baud, char parity, int dataBits, int stopBits, bool handshake) override;
    long Read(void* buf, size_t max) override;
    long Write(const void* buf, size_t len) override;
    int BytesQueued(uint32_t* count) override;
    int Purge() override;
    int SetDtr(bool on) override;
    int SetRts(bool on) override;
    int Close() override;
    bool IsOpen() const override;
    std::string Path() const override;

private:
    platform::SerialDevice& inner_;
    Timeline& timeline_;
    int opens_ = 0;
};

}  // namespace shelltest
