// The received byte stream: framing, the "$BIN" frame check, dispatch and every decoder,
// the thread-written logs and the per-pass history update, as the reader thread runs them.
//
// Input: one option byte, then the bytes as they come from the port. Low nibble of the
// option: the logs switched on (NMEA, point sentences, raw, binary). High nibble k: the
// bytes arrive in reads of k*k bytes (0: one read).
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "engine/thread.h"
#include "support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzsupport::Setup();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t options = data[0];
    ++data;
    --size;

    auto gps = std::make_unique<CGPS>();
    ReaderSinks sinks;
    auto thread = std::make_unique<CGPSThread>(nullptr, &sinks);

    const size_t chunk = (options >> 4) ? (options >> 4) * (options >> 4) : size;
    for (size_t at = 0; at < size; at += chunk) {
        const size_t n = size - at < chunk ? size - at : chunk;
        thread->FrameBytes(reinterpret_cast<const char*>(data + at), n);
        sinks.PassDone();
    }
    ClearTerminalText();
    return 0;
}
