#pragma once
// The link to a simulated receiver for the search, watchdog and start-up tests: every opening,
// purge, write and pause of the user-interface thread in one timeline, its time virtual.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/serial.h"
#include "support/guarded.h"
#include "support/virtual_clock.h"

namespace shelltest {

struct LinkEvent {
    uint32_t time;     // virtual time
    std::string text;  // a line sent (without CR LF), "~<ms>", "open <baud>", "close", "purge",
                       // or "tick" (a timer tick the test fired)
};

class Timeline : private testsupport::Guarded {
public:
    void Add(uint32_t time, std::string text);
    // Events with the written bytes joined and cut into lines at CR LF.
    std::vector<LinkEvent> Events() const;
    std::vector<std::string> Texts() const;
    void Clear() { Set(raw_, {}); }
    // Complete lines written so far.
    size_t LinesWritten() const { return Get(lines_); }

private:
    std::vector<LinkEvent> raw_;
    size_t lines_ = 0;
};

// Virtual time for the thread that made it, each pause in the timeline; real sleeps elsewhere.
class SplitClock : public testsupport::VirtualClock {
public:
    explicit SplitClock(Timeline& timeline, uint32_t start = 100000)
        : VirtualClock(start, true), timeline_(timeline) {}
    void Sleep(uint32_t ms) override {
        VirtualClock::Sleep(ms);
        if (OnOwner() && ms > 0) timeline_.Add(Now(), "~" + std::to_string(ms));
    }

private:
    Timeline& timeline_;
};

// Forwards to a real device and records what the program does with it. Before a new line
// speed is set, `beforeConfigure` runs (the tests let the simulator take in every command
// sent at the old speed first).
class LoggingDevice : public platform::SerialDevice {
public:
    LoggingDevice(platform::SerialDevice& inner, Timeline& timeline)
        : inner_(inner), timeline_(timeline) {}

    std::function<void()> beforeConfigure;
    int opens() const { return opens_; }

    int Open(const std::string& path) override { return inner_.Open(path); }
    int QueryState() override { return inner_.QueryState(); }
    int Configure(uint32_t baud, char parity, int dataBits, int stopBits, bool handshake) override;
    long Read(void* buf, size_t max) override { return inner_.Read(buf, max); }
    long Write(const void* buf, size_t len) override;
    int BytesQueued(uint32_t* count) override { return inner_.BytesQueued(count); }
    int Purge() override;
    int SetDtr(bool on) override { return inner_.SetDtr(on); }
    int SetRts(bool on) override { return inner_.SetRts(on); }
    int Close() override;
    bool IsOpen() const override { return inner_.IsOpen(); }
    std::string Path() const override { return inner_.Path(); }

private:
    platform::SerialDevice& inner_;
    Timeline& timeline_;
    int opens_ = 0;
};

}  // namespace shelltest
