// The received byte stream: framing, the "$BIN" frame check, dispatch and every decoder,
// the thread-written logs and the per-pass history update, as the reader thread runs them.
//
// Input: one option byte, then the bytes as they come from the port. Low nibble of the
// option: the logs switched on (bit 0 NMEA, bit 1 point sentences, bit 2 raw data, bit 3
// binary), with every gate open. High nibble k: the bytes arrive in reads of k*k bytes
// (0: one read).
#include <cstddef>
#include <cstdint>
#include <memory>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "engine/nmea.h"
#include "engine/reader_sinks.h"
#include "engine/thread.h"
#include "support.h"

namespace {

void OpenEveryGate(GPSSettings& s) {
    PortConfig& n = s.NMEALogConfig;
    for (int32_t* w : {&n.eGGA, &n.eGLL, &n.eGSA, &n.eGST, &n.eGSV, &n.eRMC, &n.eRRE, &n.eVTG,
                       &n.eZDA, &n.eBIN95, &n.eBIN96, &n.eHEHDT, &n.eHEROT, &n.eHPR})
        *w = 1;
    BINLogRateInfo& b = s.BinLogRates;
    for (int32_t* w : {&b.eBIN1, &b.eBIN2, &b.eBIN80, &b.eBIN95, &b.eBIN96, &b.eBIN97, &b.eBIN98,
                       &b.eBIN99, &b.eD1})
        *w = 1;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const std::string& dir = fuzzsupport::Setup();
    AppShared& app = App();
    app.SetLogFile(LOGFILE_NMEA, dir + "/nmea.log");
    app.SetLogFile(LOGFILE_POINT, dir + "/point.log");
    app.SetLogFile(LOGFILE_RAW, dir + "/raw.log");
    app.SetLogFile(LOGFILE_BIN, dir + "/bin.log");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t options = data[0];
    ++data;
    --size;

    AppShared& app = App();
    uint32_t flags = 0;
    if (options & 1) flags |= LOG_NMEA;
    if (options & 2) flags |= LOG_POINT_SENTENCES;
    if (options & 4) flags |= LOG_RAW;
    if (options & 8) flags |= LOG_BIN;
    app.wLogFlags.store(flags);
    app.bPointSentenceLogOn.store((options & 2) ? 1 : 0);
    app.bPointGGAPending.store((options & 2) ? 1 : 0);
    app.bPointGSVPending.store((options & 2) ? 1 : 0);
    app.bBin1Position.store(0);

    {
        auto gps = std::make_unique<CGPS>();
        OpenEveryGate(gps->Info.Settings);
        CNMEA nmea;
        EngineSinks sinks(gps.get(), &nmea);
        auto thread = std::make_unique<CGPSThread>(nullptr, &sinks);

        const size_t chunk = (options >> 4) ? (options >> 4) * (options >> 4) : size;
        for (size_t at = 0; at < size; at += chunk) {
            const size_t n = size - at < chunk ? size - at : chunk;
            thread->FrameBytes(reinterpret_cast<const char*>(data + at), n);
            sinks.PassDone();
        }
    }
    // The logs are closed with their sinks; start the next input without them.
    fuzzsupport::ClearConfigDir();
    ClearTerminalText();
    return 0;
}
