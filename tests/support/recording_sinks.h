#pragma once

#include <string>
#include <vector>

#include "engine/thread.h"
#include "support/guarded.h"

namespace testsupport {

// Reader-thread sinks that keep the accepted binary frames and the sentences in arrival order,
// and count the passes. Thread-safe.
class RecordingSinks : public ReaderSinks, private Guarded {
public:
    bool BinaryFrame(const char* frame, size_t len) override {
        return IsCompleteBinFrame(frame, len) && Sentence(frame, len);
    }
    bool Sentence(const char* sentence, size_t len) override {
        Locked([&] { frames_.emplace_back(sentence, len); });
        return true;
    }
    void PassDone() override {
        Locked([&] { ++passes_; });
    }

    std::vector<std::string> frames() const { return Get(frames_); }
    int passes() const { return Get(passes_); }

private:
    std::vector<std::string> frames_;
    int passes_ = 0;
};

}  // namespace testsupport
