#include "support/qt/link_harness.h"

#include <chrono>

namespace shelltest {

void Timeline::Add(uint32_t time, std::string text) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (text.rfind(">", 0) == 0) {
        for (size_t i = 0; i + 1 < text.size(); ++i) {
            if (text[i] == '\r' && text[i + 1] == '\n') ++lines_;
        }
    }
    raw_.push_back({time, std::move(text)});
}

std::vector<LinkEvent> Timeline::Events() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<LinkEvent> out;
    std::string pending;
    uint32_t pendingTime = 0;
    auto flush = [&] {
        size_t start = 0;
        for (size_t pos; (pos = pending.find("\r\n", start)) != std::string::npos;
             start = pos + 2) {
            out.push_back({pendingTime, pending.substr(start, pos - start)});
        }
        pending.erase(0, start);
    };
    for (const LinkEvent& e : raw_) {
        const bool marker = e.text.rfind("~", 0) == 0 || e.text.rfind("open ", 0) == 0 ||
                            e.text == "close" || e.text == "purge" || e.text == "tick";
        if (!marker) {
            if (pending.empty()) pendingTime = e.time;
            pending += e.text.substr(1);
            flush();
            continue;
        }
        if (!pending.empty()) {
            out.push_back({pendingTime, pending});  // a line left without its CR LF
            pending.clear();
        }
        out.push_back(e);
    }
    if (!pending.empty()) out.push_back({pendingTime, pending});
    return out;
}

std::vector<std::string> Timeline::Texts() const {
    std::vector<std::string> out;
    for (const LinkEvent& e : Events()) out.push_back(e.text);
    return out;
}

void Timeline::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    raw_.clear();
}

size_t Timeline::LinesWritten() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
}

SplitClock::SplitClock(Timeline& timeline, uint32_t start)
    : timeline_(timeline), owner_(std::this_thread::get_id()), now_(start) {}

SplitClock::~SplitClock() = default;

uint32_t SplitClock::Now() {
    std::lock_guard<std::mutex> lock(mutex_);
    return now_;
}

void SplitClock::Sleep(uint32_t ms) {
    if (std::this_thread::get_id() != owner_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    uint32_t now;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        now_ += ms;
        now = now_;
    }
    if (ms > 0) timeline_.Add(now, "~" + std::to_string(ms));
}

void SplitClock::Advance(uint32_t ms) {
    std::lock_guard<std::mutex> lock(mutex_);
    now_ += ms;
}

LoggingDevice::LoggingDevice(platform::SerialDevice& inner, Timeline& timeline)
    : inner_(inner), timeline_(timeline) {}

int LoggingDevice::Open(const std::string& path) {
    return inner_.Open(path);
}

int LoggingDevice::QueryState() {
    return inner_.QueryState();
}

int LoggingDevice::Configure(uint32_t baud, char parity, int dataBits, int stopBits,
                             bool handshake) {
    if (beforeConfigure) beforeConfigure();
    ++opens_;
    timeline_.Add(platform::TickCount(), "open " + std::to_string(baud));
    return inner_.Configure(baud, parity, dataBits, stopBits, handshake);
}

long LoggingDevice::Read(void* buf, size_t max) {
    return inner_.Read(buf, max);
}

long LoggingDevice::Write(const void* buf, size_t len) {
    const long n = inner_.Write(buf, len);
    // Marked with a leading byte so a written "~..." never reads as a pause.
    if (n > 0) {
        timeline_.Add(platform::TickCount(),
                      ">" + std::string(static_cast<const char*>(buf), static_cast<size_t>(n)));
    }
    return n;
}

int LoggingDevice::BytesQueued(uint32_t* count) {
    return inner_.BytesQueued(count);
}

int LoggingDevice::Purge() {
    timeline_.Add(platform::TickCount(), "purge");
    return inner_.Purge();
}

int LoggingDevice::SetDtr(bool on) {
    return inner_.SetDtr(on);
}

int LoggingDevice::SetRts(bool on) {
    return inner_.SetRts(on);
}

int LoggingDevice::Close() {
    timeline_.Add(platform::TickCount(), "close");
    return inner_.Close();
}

bool LoggingDevice::IsOpen() const {
    return inner_.IsOpen();
}

std::string LoggingDevice::Path() const {
    return inner_.Path();
}

}  // namespace shelltest
