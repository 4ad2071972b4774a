#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "engine/thread.h"

namespace testsupport {

// Reader-thread sinks that keep everything they are handed, in order. Binary frames are
// accepted when their length and sum agree. Thread-safe.
class RecordingSinks : public ReaderSinks {
public:
    struct Event {
        enum Kind { Binary, Log, Sentence } kind;
        std::string bytes;
        uint32_t logFlags = 0;
    };

    bool BinaryFrame(const char* frame, size_t len) override;
    void LogFrame(const char* frame, size_t len, uint32_t logFlags) override;
    bool Sentence(const char* sentence, size_t len) override;
    void PassDone() override;

    std::vector<Event> events() const;
    std::vector<std::string> binaryFrames() const;    // accepted ones
    std::vector<std::string> binaryAttempts() const;  // every call
    std::vector<std::string> sentences() const;
    std::vector<std::string> logged() const;
    // Accepted binary frames and sentences in arrival order.
    std::vector<std::string> frames() const;
    int passes() const;
    void Clear();

private:
    mutable std::mutex mutex_;
    std::vector<Event> events_;
    std::vector<std::string> attempts_;
    int passes_ = 0;
};

}  // namespace testsupport
