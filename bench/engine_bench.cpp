// Throughput of the engine on the stream of a 20 Hz receiver and on captures of real
// receivers of other makes: framing, the "$BIN" frame check, dispatch and decoding into the
// record, with the record's lock pair and its unlock hook as the program installs them. Logs
// are off (they measure the disk, not the engine).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

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

// Every capture of bench/data/real-nmea back to back, each line ending in CR LF as a
// receiver sends it (some captures were stored with LF only). Mostly sentences of other
// talkers and types, which the dispatcher looks up and drops.
const std::string& RealCaptures() {
    static const std::string stream = [] {
        std::vector<std::filesystem::path> files;
        for (const auto& entry : std::filesystem::directory_iterator(
                 std::filesystem::path(TESSARAY_TEST_DATA) / "real-nmea"))
            if (entry.path().extension() == ".log") files.push_back(entry.path());
        std::sort(files.begin(), files.end());
        std::string out;
        for (const auto& file : files) {
            std::ifstream in(file, std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
            for (char c : bytes) {
                if (c == '\r') continue;
                if (c == '\n') out += '\r';
                out += c;
            }
        }
        return out;
    }();
    return stream;
}

// Reads of `chunk` bytes, as the reader thread gets them from the port.
template <class Sinks>
void RunStream(benchmark::State& state, Sinks& sinks, const std::string& stream = Stream()) {
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

// The same on the real captures.
void BM_EngineRealCaptures(benchmark::State& state) {
    auto gps = std::make_unique<CGPS>();
    CNMEA nmea;
    EngineSinks sinks(gps.get(), &nmea);
    RunStream(state, sinks, RealCaptures());
}
BENCHMARK(BM_EngineRealCaptures)->Arg(576);

// Framing alone on them, to tell the dispatch and decoding apart.
void BM_FramingRealCaptures(benchmark::State& state) {
    ReaderSinks sinks;
    RunStream(state, sinks, RealCaptures());
}
BENCHMARK(BM_FramingRealCaptures)->Arg(576);

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
