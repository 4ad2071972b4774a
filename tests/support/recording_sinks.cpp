#include "support/recording_sinks.h"

namespace testsupport {

bool RecordingSinks::BinaryFrame(const char* frame, size_t len) {
    bool ok = IsCompleteBinFrame(frame, len);
    std::lock_guard<std::mutex> lock(mutex_);
    attempts_.emplace_back(frame, len);
    if (ok) events_.push_back({Event::Binary, std::string(frame, len)});
    return ok;
}

void RecordingSinks::LogFrame(const char* frame, size_t len, uint32_t logFlags) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back({Event::Log, std::string(frame, len), logFlags});
}

bool RecordingSinks::Sentence(const char* sentence, size_t len) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back({Event::Sentence, std::string(sentence, len)});
    return true;
}

void RecordingSinks::PassDone() {
    std::lock_guard<std::mutex> lock(mutex_);
    ++passes_;
}

std::vector<RecordingSinks::Event> RecordingSinks::events() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
}

std::vector<std::string> RecordingSinks::binaryFrames() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> out;
    for (const Event& e : events_)
        if (e.kind == Event::Binary) out.push_back(e.bytes);
    return out;
}

std::vector<std::string> RecordingSinks::binaryAttempts() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return attempts_;
}

std::vector<std::string> RecordingSinks::sentences() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> out;
    for (const Event& e : events_)
        if (e.kind == Event::Sentence) out.push_back(e.bytes);
    return out;
}

std::vector<std::string> RecordingSinks::logged() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> out;
    for (const Event& e : events_)
        if (e.kind == Event::Log) out.push_back(e.bytes);
    return out;
}

std::vector<std::string> RecordingSinks::frames() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<std::string> out;
    for (const Event& e : events_)
        if (e.kind != Event::Log) out.push_back(e.bytes);
    return out;
}

int RecordingSinks::passes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return passes_;
}

void RecordingSinks::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.clear();
    attempts_.clear();
    passes_ = 0;
}

}  // namespace testsupport
