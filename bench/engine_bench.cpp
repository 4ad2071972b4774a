// Throughput of the engine on the stream of a 20 Hz receiver: framing, the "$BIN" frame
// check, dispatch and decoding into the record, with the record's lock pair and its unlock
// hook as the program installs them. Logs are off (they measure the disk, not the engine).
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "engine/nmea.h"
#include "engine/reader_sinks.h"
#include "engine/thread.h"
#include "stream.h"

namespace {

const std::string& Stream() {
    static const std::string stream = benchsupport::ReceiverStream(60);
    return stream;
}

// Reads of `chunk` bytes, as the reader thread gets them from the port.
template <class Sinks>
void RunStream(benchmark::State& state, Sinks& sinks) {
    const std::string& stream = Stream();
    const size_t chunk = static_cast<size_t>(state.range(0));
    CGPS::SetUnlockHook([] { App().hDataEvent.Set(); });
    auto thread = std::make_unique<CGPSThread>(nullptr, &sinks);
    for (auto _ : state) {
        for (size_t at = 0; at < stream.size(); at += chunk) {
            const size_t n = stream.size() - at < chunk ? stream.size() - at : chunk;
            thread->FrameBytes(stream.data() + at, n);
        }
        sinks.PassDone();
        ClearTerminalText();
    }
    CGPS::SetUnlockHook(nullptr);
    const double frames = static_cast<double>(benchsupport::FrameCount(stream));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
    state.counters["frames/s"] = benchmark::Counter(
        frames * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

// Framing alone: frames handed to sinks that ignore them.
void BM_Framing(benchmark::State& state) {
    ReaderSinks sinks;
    RunStream(state, sinks);
}
BENCHMARK(BM_Framing)->Arg(576)->Arg(40960);

// Framing, frame check, dispatch and every decoder, as the program runs them.
void BM_Engine(benchmark::State& state) {
    auto gps = std::make_unique<CGPS>();
    CNMEA nmea;
    EngineSinks sinks(gps.get(), &nmea);
    RunStream(state, sinks);
}
BENCHMARK(BM_Engine)->Arg(576)->Arg(40960);

// The record's lock pair; with argument 1 the program's unlock hook (the data event) too.
void BM_LockPair(benchmark::State& state) {
    auto gps = std::make_unique<CGPS>();
    if (state.range(0)) CGPS::SetUnlockHook([] { App().hDataEvent.Set(); });
    for (auto _ : state) {
        CGPS::Lock(&gps->Info.Nav.ulNavLock);
        benchmark::DoNotOptimize(gps->Info.Nav.ulNavLock);
        CGPS::Unlock(&gps->Info.Nav.ulNavLock);
    }
    CGPS::SetUnlockHook(nullptr);
}
BENCHMARK(BM_LockPair)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
