#include "platform/notify.h"

#include <mutex>

#include "platform/trace.h"

namespace platform {
namespace {

std::mutex g_sinkMutex;
std::function<void(const std::string&)> g_sink;

}  // namespace

void Notify(const std::string& text) {
    std::function<void(const std::string&)> sink;
    {
        std::lock_guard<std::mutex> lock(g_sinkMutex);
        sink = g_sink;
    }
    if (sink) {
        sink(text);
    } else {
        Trace("%s", text.c_str());
    }
}

void SetNotifySink(std::function<void(const std::string&)> sink) {
    std::lock_guard<std::mutex> lock(g_sinkMutex);
    g_sink = std::move(sink);
}

}  // namespace platform
