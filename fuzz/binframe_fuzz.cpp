// The "$BIN" frame check and the binary message decoders. The reader thread's own frame test
// and the decoder's frame check must agree on every input.
//
// Input: one option byte, then bytes. Option bit 0 clear: the bytes are handed over as a
// frame as they stand (the frame check must reject what does not agree). Set: the bytes
// are the block ID and the data of a frame whose header, length word, sum and CR LF are
// made to agree, so every input reaches a decoder.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "engine/appstate.h"
#include "engine/binary.h"
#include "engine/gps.h"
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
    const bool complete = IsCompleteBinFrame(exact.get(), frame.size());

    static CGPS* gps = new CGPS;
    gps->ResetSubRecords();
    App().bBin1Position.store(0);
    CBinary binary;
    const bool accepted =
        binary.bParseBINARY(&gps->Info, exact.get(), static_cast<int>(frame.size()));
    // The reader thread hands over only what begins "$BIN"; there its own check and the
    // decoder's must agree on what is a frame.
    if (frame.compare(0, 4, "$BIN") == 0 && accepted != complete) {
        std::fprintf(stderr, "frame check disagrees: reader %d, decoder %d\n", complete, accepted);
        std::abort();
    }
    return 0;
}
