#include "support/qt/link_harness.h"

#include <utility>

#include "platform/clock.h"

namespace shelltest {

void Timeline::Add(uint32_t time, std::string text) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (text.starts_with(">"))
        for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2) ++lines_;
    raw_.push_back({time, std::move(text)});
}

std::vector<LinkEvent> Timeline::Events() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<LinkEvent> out;
    std::string pending;
    uint32_t pendingTime = 0;
    for (const LinkEvent& e : raw_) {
        if (e.text.starts_with(">")) {
            if (pending.empty()) pendingTime = e.time;
            pending += e.text.substr(1);
            size_t start = 0;
            for (size_t pos; (pos = pending.find("\r\n", start)) != std::string::npos;
                 start = pos + 2)
                out.push_back({pendingTime, pending.substr(start, pos - start)});
            pending.erase(0, start);
            continue;
        }
        if (!pending.empty()) out.push_back({pendingTime, std::exchange(pending, {})});
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

int LoggingDevice::Configure(uint32_t baud, char parity, int dataBits, int stopBits,
                             bool handshake) {
    if (beforeConfigure) beforeConfigure();
    ++opens_;
    timeline_.Add(platform::TickCount(), "open " + std::to_string(baud));
    return inner_.Configure(baud, parity, dataBits, stopBits, handshake);
}

long LoggingDevice::Write(const void* buf, size_t len) {
    const long n = inner_.Write(buf, len);
    // Marked with a leading byte so a written "~..." never reads as a pause.
    if (n > 0)
        timeline_.Add(platform::TickCount(),
                      ">" + std::string(static_cast<const char*>(buf), static_cast<size_t>(n)));
    return n;
}

int LoggingDevice::Purge() {
    timeline_.Add(platform::TickCount(), "purge");
    return inner_.Purge();
}

int LoggingDevice::Close() {
    timeline_.Add(platform::TickCount(), "close");
    return inner_.Close();
}

}  // namespace shelltest
