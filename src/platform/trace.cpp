#include "platform/trace.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <mutex>

#include "platform/numbers.h"

namespace platform {
namespace {

struct TraceRing {
    std::mutex mutex;
    std::deque<std::string> lines;
};

TraceRing& Ring() {
    static TraceRing ring;
    return ring;
}

bool ToStderr() {
    static const bool on = [] {
        const char* v = std::getenv("TESSARAY_PC_TRACE");
        return v != nullptr && std::strcmp(v, "1") == 0;
    }();
    return on;
}

std::atomic<bool> g_wanted{false};

void Emit(std::string text) {
    if (ToStderr()) {
        std::string out = text;
        if (out.empty() || out.back() != '\n') out += '\n';
        std::fwrite(out.data(), 1, out.size(), stderr);
    }
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    TraceRing& ring = Ring();
    std::lock_guard<std::mutex> lock(ring.mutex);
    ring.lines.push_back(std::move(text));
    while (ring.lines.size() > kTraceRingLines) ring.lines.pop_front();
}

}  // namespace

void Trace(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::string text = VFormat(fmt, args);
    va_end(args);
    Emit(std::move(text));
}

bool TracesWanted() {
    return g_wanted.load(std::memory_order_relaxed) || ToStderr();
}

void SetTracesWanted(bool wanted) {
    g_wanted.store(wanted, std::memory_order_relaxed);
}

std::vector<std::string> TraceLines() {
    TraceRing& ring = Ring();
    std::lock_guard<std::mutex> lock(ring.mutex);
    return std::vector<std::string>(ring.lines.begin(), ring.lines.end());
}

void ClearTrace() {
    TraceRing& ring = Ring();
    std::lock_guard<std::mutex> lock(ring.mutex);
    ring.lines.clear();
}

bool TraceContains(const std::string& text) {
    TraceRing& ring = Ring();
    std::lock_guard<std::mutex> lock(ring.mutex);
    for (const std::string& line : ring.lines) {
        if (line.find(text) != std::string::npos) return true;
    }
    return false;
}

void TraceInternalError(const char* file, int line) {
    Trace("internal error %s:%d", file, line);
}

}  // namespace platform
