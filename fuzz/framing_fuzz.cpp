// The reader thread's framing against a byte-by-byte model of it: for any bytes, cut into
// reads anywhere, both must hand over the same frames, the same binary-frame attempts and
// the same log calls, in the same order.
//
// Input: one option byte k (the bytes arrive in reads of k+1 bytes), then the bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/thread.h"
#include "support.h"

namespace {

struct Recorder : ReaderSinks {
    std::vector<std::string> events;
    bool BinaryFrame(const char* frame, size_t len) override {
        events.push_back("B" + std::string(frame, len));
        return IsCompleteBinFrame(frame, len);
    }
    void LogFrame(const char* frame, size_t len, uint32_t) override {
        events.push_back("L" + std::string(frame, len));
    }
    bool Sentence(const char* sentence, size_t len) override {
        if (sentence[len] != '\0') std::abort();
        events.push_back("S" + std::string(sentence, len));
        return true;
    }
};

// Frames one byte at a time: from "$" to CR LF, at most 419 bytes, "$BIN" frames finished
// only when their length and sum agree and abandoned at their full length or at a length
// word no frame can have.
class Model {
public:
    explicit Model(Recorder& sinks) : sinks_(sinks) {}

    void Byte(char c) {
        if (!in_) {
            if (c != '$') return;
            buf_.clear();
            in_ = true;
        }
        if (buf_.size() >= 419) {
            in_ = false;
            return;
        }
        buf_ += c;
        const bool binary = buf_.size() >= 4 && buf_.compare(0, 4, "$BIN") == 0;
        size_t n = 0;
        if (binary && buf_.size() >= 8) {
            n = static_cast<uint8_t>(buf_[6]) | (static_cast<uint8_t>(buf_[7]) << 8);
            if (n < 8 || n > 407) {
                in_ = false;
                return;
            }
        }
        const size_t len = buf_.size();
        if (len >= 2 && buf_[len - 2] == '\r' && buf_[len - 1] == '\n') {
            if (!binary || sinks_.BinaryFrame(buf_.c_str(), len)) {
                in_ = false;
                sinks_.LogFrame(buf_.c_str(), len, 0);
                if (!binary) sinks_.Sentence(buf_.c_str(), len);
                return;
            }
        }
        if (binary && len >= 8 && len >= n + 12) in_ = false;
    }

private:
    Recorder& sinks_;
    std::string buf_;
    bool in_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzsupport::Setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t chunk = static_cast<size_t>(data[0]) + 1;
    const char* bytes = reinterpret_cast<const char*>(data + 1);
    --size;

    Recorder expected;
    Model model(expected);
    for (size_t i = 0; i < size; ++i) model.Byte(bytes[i]);

    Recorder got;
    auto thread = std::make_unique<CGPSThread>(nullptr, &got);
    for (size_t at = 0; at < size; at += chunk) {
        thread->FrameBytes(bytes + at, size - at < chunk ? size - at : chunk);
    }
    ClearTerminalText();

    if (got.events != expected.events) {
        std::fprintf(stderr, "framing differs from the model: %zu events, expected %zu\n",
                     got.events.size(), expected.events.size());
        std::abort();
    }
    return 0;
}
