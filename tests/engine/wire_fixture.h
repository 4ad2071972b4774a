#pragma once
// A recording port and a virtual clock that share one event log, so a test can assert the
// bytes on the wire and the pauses between them in one sequence: writes appear as their
// text, pauses as "~<ms>".

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <clocale>
#include <functional>
#include <locale>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/scomm.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "platform/serial.h"
#include "support/decimal_comma_locale.h"

namespace wiretest {

class EventLog {
public:
    void Add(std::string event) {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(std::move(event));
    }
    std::vector<std::string> Take() {
        std::lock_guard<std::mutex> lock(mutex_);
        return std::exchange(events_, {});
    }

private:
    std::mutex mutex_;
    std::vector<std::string> events_;
};

class LogClock : public platform::Clock {
public:
    explicit LogClock(EventLog& log) : log_(log) {}
    uint32_t Now() override { return now_; }
    void Sleep(uint32_t ms) override {
        now_ += ms;
        log_.Add("~" + std::to_string(ms));
        if (onSleep) onSleep(ms);
    }
    std::function<void(uint32_t)> onSleep;
    void Advance(uint32_t ms) { now_ += ms; }

private:
    EventLog& log_;
    uint32_t now_ = 100000;
};

class LogDevice : public platform::SerialDevice {
public:
    explicit LogDevice(EventLog& log) : log_(log) {}
    int Open(const std::string& path) override {
        path_ = path;
        open_ = true;
        return 0;
    }
    int QueryState() override { return 0; }
    int Configure(uint32_t, char, int, int, bool) override { return 0; }
    long Read(void*, size_t) override { return 0; }
    long Write(const void* buf, size_t len) override {
        if (writeError_) return -writeError_;
        size_t n = limit_ ? std::min(len, limit_) : len;
        const std::string text(static_cast<const char*>(buf), n);
        wire_ += text;
        log_.Add(text);
        if (onWrite) onWrite(text);
        return static_cast<long>(n);
    }
    int BytesQueued(uint32_t* count) override {
        *count = 0;
        return 0;
    }
    int Purge() override { return 0; }
    int SetDtr(bool) override { return 0; }
    int SetRts(bool) override { return 0; }
    int Close() override {
        open_ = false;
        return 0;
    }
    bool IsOpen() const override { return open_; }
    std::string Path() const override { return path_; }

    void SetWriteLimit(size_t n) { limit_ = n; }
    void SetWriteError(int err) { writeError_ = err; }
    const std::string& wire() const { return wire_; }

    // Plays the receiver: runs after each write (the reader thread's decoding of a reply).
    std::function<void(const std::string&)> onWrite;

private:
    EventLog& log_;
    std::string path_;
    bool open_ = false;
    size_t limit_ = 0;
    int writeError_ = 0;
    std::string wire_;
};

// Installs the clock, opens a port on the recording device and points the process-wide
// sender at it.
class Wire {
public:
    Wire() : clock(log), device(log) {
        platform::SetClock(&clock);
        ::setenv("TESSARAY_PC_COM1", "/dev/recording-port", 1);
        comm = std::make_unique<SComm>(device);
        EXPECT_EQ(comm->OpenPort(1, 57600), 0);
        g_TxNMEA.SetComm(comm.get());
        log.Take();
    }
    ~Wire() {
        g_TxNMEA.SetComm(nullptr);
        comm.reset();
        platform::SetClock(nullptr);
    }
    std::vector<std::string> Take() { return log.Take(); }
    // The written bytes alone, pauses left out.
    std::string TakeWire() {
        std::string out;
        for (const auto& e : log.Take()) {
            if (e.empty() || e[0] != '~') out += e;
        }
        return out;
    }

    EventLog log;
    LogClock clock;
    LogDevice device;
    std::unique_ptr<SComm> comm;
};

// Makes every file write beyond the limit fail (EFBIG), as a full disk would; tests run as
// root, which folder permissions do not stop.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

// A decimal point that is a comma, as in German.
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

enum class CommaLocale {
    Numpunct,  // the C++ global locale with a comma facet: always available
    System,    // the C locale de_DE.UTF-8, installed or built for the test
};

// Runs the action under the locale and restores the "C" locale; false when the locale cannot
// be had (nothing is generated).
inline bool WithCommaLocale(CommaLocale kind, const std::function<void()>& action) {
    if (kind == CommaLocale::Numpunct) {
        const std::locale saved =
            std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
        action();
        std::locale::global(saved);
        return true;
    }
    std::string why;
    if (!testsupport::UseDecimalCommaLocale(&why)) return false;
    action();
    testsupport::RestoreCLocale();
    return true;
}

inline std::string CommaLocaleName(const ::testing::TestParamInfo<CommaLocale>& info) {
    return info.param == CommaLocale::Numpunct ? "CommaFacet" : "GermanLocale";
}

inline constexpr const char* kNoGermanLocale =
    "no decimal-comma C locale could be had; the comma numpunct test covers the check";

}  // namespace wiretest
