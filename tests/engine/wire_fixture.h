#pragma once
// A recording port and a virtual clock sharing one event log, so a test asserts the bytes on
// the wire and the pauses between them in one sequence: writes as their text, pauses as "~ms".

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <locale>
#include <map>
#include <mutex>
#include <string>
#include <type_traits>
#include <vector>

#include "engine/scomm.h"
#include "engine/txnmea.h"
#include "support/decimal_comma_locale.h"
#include "support/fake_serial.h"
#include "support/virtual_clock.h"

namespace wiretest {

// The values as text, separated by blanks, numbers in their shortest exact form.
template <class... T>
std::string Join(const T&... values) {
    std::string out;
    auto one = [&out](const auto& v) {
        using V = std::decay_t<decltype(v)>;
        if (!out.empty()) out += ' ';
        if constexpr (std::is_same_v<V, char>) {
            out += v;
        } else if constexpr (std::is_same_v<V, bool>) {
            out += v ? '1' : '0';
        } else if constexpr (std::is_arithmetic_v<V>) {
            char text[40];
            out.append(text, std::to_chars(text, text + sizeof text, v).ptr);
        } else {
            out += v;
        }
    };
    (one(values), ...);
    return out;
}

using Events = std::vector<std::string>;

// Writes and pauses in one sequence, whichever thread makes them.
class EventLog {
public:
    void Add(std::string event) {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back(std::move(event));
    }
    Events Take() {
        std::lock_guard<std::mutex> lock(mutex_);
        return std::exchange(events_, {});
    }

private:
    std::mutex mutex_;
    Events events_;
};

class LogClock : public testsupport::VirtualClock {
public:
    explicit LogClock(EventLog& log) : log_(log) {}
    void Sleep(uint32_t ms) override {
        VirtualClock::Sleep(ms);
        log_.Add("~" + std::to_string(ms));
        if (onSleep) onSleep(ms);
    }
    std::function<void(uint32_t)> onSleep;

private:
    EventLog& log_;
};

// Plays the receiver through onWrite, run after each write as a decoded reply would.
class LogDevice : public testsupport::FakeSerialDevice {
public:
    explicit LogDevice(EventLog& log) : log_(log) {}
    long Write(const void* buf, size_t len) override {
        const long n = FakeSerialDevice::Write(buf, len);
        if (n <= 0) return n;
        const std::string text(static_cast<const char*>(buf), static_cast<size_t>(n));
        log_.Add(text);
        if (onWrite) onWrite(text);
        return n;
    }
    std::function<void(const std::string&)> onWrite;

private:
    EventLog& log_;
};

// Installs the clock and points the process-wide sender at a port on the recording device.
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
    Events Take() { return log.Take(); }

    EventLog log;
    LogClock clock;
    LogDevice device;
    std::unique_ptr<SComm> comm;
};

// Commands written one after the other, each ending in CR LF, as separate events.
inline Events Lines(const std::string& text) {
    Events out;
    for (size_t at = 0, end; (end = text.find("\r\n", at)) != text.npos; at = end + 2)
        out.push_back(text.substr(at, end + 2 - at));
    return out;
}

inline Events Concat(std::initializer_list<Events> parts) {
    Events out;
    for (const Events& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// The port commands in the receiver's order, each with its 20 ms pause; rates other than 0.
inline Events PortStream(const std::string& suffix, std::map<std::string, std::string> rates = {}) {
    Events out;
    for (const std::string m : {"GPGGA", "GPGLL", "GPGST", "GPGSV", "GPRMC", "GPRRE", "GPVTG",
                                "GPZDA", "GPGSA", "95", "96", "HEHDT", "HEROT", "HPR"}) {
        const std::string rate = rates.count(m) ? rates[m] : "0";
        out.push_back((m[0] <= '9' ? "$JBIN," : "$JASC,") + m + "," + rate + suffix);
        out.push_back("~20");
    }
    return out;
}

// Writes beyond the limit fail (EFBIG) as on a full disk; tests run as root.
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

struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

// Runs under a decimal-comma C++ locale, then C locale; false when the latter is missing.
inline bool UnderCommaLocales(const std::function<void()>& action) {
    const std::locale saved =
        std::locale::global(std::locale(std::locale::classic(), new CommaPunct));
    action();
    std::locale::global(saved);
    std::string why;
    if (!testsupport::UseDecimalCommaLocale(&why)) return false;
    action();
    testsupport::RestoreCLocale();
    return true;
}

}  // namespace wiretest
