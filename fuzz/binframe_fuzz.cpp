// The "$BIN" frame check and the binary message decoders.
//
// Input: one option byte, then bytes. Option bit 0 clear: the bytes are handed over as a
// frame as they stand (the frame check must reject what does not agree). Set: the bytes
// are the block ID and the data of a frame whose header, length word, sum and CR LF are
// made to agree, so every input reaches a decoder.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "engine/thread.h"
#include "support.h"
#include "support/frames.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzsupport::Setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const uint8_t options = data[0];
    std::string frame;
    if (options & 1) {
        std::string_view payload(reinterpret_cast<const char*>(data + 2), size - 2);
        frame = testsupport::BinFrame(data[1], payload.substr(0, 407));
    } else {
        frame.assign(reinterpret_cast<const char*>(data + 1), size - 1);
    }
    // The reader thread hands over at most 419 bytes, NUL-terminated. A buffer of exactly
    // that size lets the sanitizer see any read past the frame.
    if (frame.size() > CGPSThread::kSentenceBufferSize - 1) return 0;
    auto exact = std::make_unique<char[]>(frame.size() + 1);
    std::memcpy(exact.get(), frame.data(), frame.size());
    exact[frame.size()] = '\0';
    IsCompleteBinFrame(exact.get(), frame.size());
    return 0;
}
