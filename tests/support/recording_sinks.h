#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "engine/thread.h"
#include "support/guarded.h"

namespace testsupport {

// Reader-thread sinks that keep everything they are handed, in order. Binary frames are
// accepted when their length and sum agree. Thread-safe.
class RecordingSinks : public ReaderSinks, private Guarded {
public:
    struct Event {
        enum Kind { Binary, Log, Sentence } kind;
        std::string bytes;
        uint32_t logFlags = 0;
    };

    bool BinaryFrame(const char* frame, size_t len) override {
        const bool ok = IsCompleteBinFrame(frame, len);
        std::lock_guard<std::mutex> lock(mutex_);
        attempts_.emplace_back(frame, len);
        if (ok) events_.push_back({Event::Binary, std::string(frame, len)});
        return ok;
    }
    void LogFrame(const char* frame, size_t len, uint32_t logFlags) override {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back({Event::Log, std::string(frame, len), logFlags});
    }
    bool Sentence(const char* sentence, size_t len) override {
        std::lock_guard<std::mutex> lock(mutex_);
        events_.push_back({Event::Sentence, std::string(sentence, len)});
        return true;
    }
    void PassDone() override {
        std::lock_guard<std::mutex> lock(mutex_);
        ++passes_;
    }

    std::vector<Event> events() const { return Get(events_); }
    std::vector<std::string> binaryAttempts() const { return Get(attempts_); }  // every call
    // Accepted binary frames and sentences in arrival order.
    std::vector<std::string> frames() const {
        std::vector<std::string> out;
        for (const Event& e : events())
            if (e.kind != Event::Log) out.push_back(e.bytes);
        return out;
    }
    int passes() const { return Get(passes_); }

private:
    std::vector<Event> events_;
    std::vector<std::string> attempts_;
    int passes_ = 0;
};

}  // namespace testsupport
