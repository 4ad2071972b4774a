#pragma once

#include <string>
#include <vector>

#include "engine/thread.h"
#include "support/guarded.h"

namespace testsupport {

// Reader-thread sinks that keep everything they are handed, in arrival order, and count the
// passes. Binary frames are accepted when their length and sum agree. Thread-safe.
class RecordingSinks : public ReaderSinks, private Guarded {
public:
    struct Event {
        enum Kind { Binary, Log, Sentence } kind;
        std::string bytes;
        uint32_t logFlags = 0;
    };

    bool BinaryFrame(const char* frame, size_t len) override {
        const bool ok = IsCompleteBinFrame(frame, len);
        Locked([&] {
            attempts_.emplace_back(frame, len);
            if (ok) events_.push_back({Event::Binary, std::string(frame, len)});
        });
        return ok;
    }
    void LogFrame(const char* frame, size_t len, uint32_t logFlags) override {
        Locked([&] { events_.push_back({Event::Log, std::string(frame, len), logFlags}); });
    }
    bool Sentence(const char* sentence, size_t len) override {
        Locked([&] { events_.push_back({Event::Sentence, std::string(sentence, len)}); });
        return true;
    }
    void PassDone() override {
        Locked([&] { ++passes_; });
    }

    std::vector<Event> events() const { return Get(events_); }
    std::vector<std::string> binaryAttempts() const { return Get(attempts_); }     // every call
    std::vector<std::string> binaryFrames() const { return Of({Event::Binary}); }  // accepted
    std::vector<std::string> sentences() const { return Of({Event::Sentence}); }
    // Accepted binary frames and sentences in arrival order.
    std::vector<std::string> frames() const { return Of({Event::Binary, Event::Sentence}); }
    int passes() const { return Get(passes_); }

private:
    std::vector<std::string> Of(std::initializer_list<Event::Kind> kinds) const {
        return Locked([&] {
            std::vector<std::string> out;
            for (const Event& e : events_)
                for (Event::Kind k : kinds)
                    if (e.kind == k) out.push_back(e.bytes);
            return out;
        });
    }

    std::vector<Event> events_;
    std::vector<std::string> attempts_;
    int passes_ = 0;
};

}  // namespace testsupport
