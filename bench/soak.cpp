// Runs the engine against a simulated receiver on a pseudo-terminal at a full 115200-baud
// load for a given time, with the NMEA, raw-data and binary logs on and a second thread
// reading the record and the terminal text as the screens do. At the end it checks that each
// log holds exactly the frames that passed its gate, in order, and reports the resident
// memory. Built with ThreadSanitizer by scripts/soak.
//
//   soak [--seconds N] [--keep]
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "engine/nmea.h"
#include "engine/reader_sinks.h"
#include "engine/scomm.h"
#include "engine/thread.h"
#include "platform/clock.h"
#include "stream.h"
#include "support/receiver_simulator.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr size_t kBytesPerSecond = 115200 / 10;  // 8 data bits, start and stop bit
constexpr uint32_t kChunkMs = 50;
constexpr size_t kChunkBytes = kBytesPerSecond * kChunkMs / 1000;
constexpr int kComNumber = 41;

long ResidentKiB() {
    std::ifstream in("/proc/self/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool StartsWith(const std::string& s, const char* prefix) {
    return s.rfind(prefix, 0) == 0;
}

int BinId(const std::string& frame) {
    return StartsWith(frame, "$BIN") ? static_cast<uint8_t>(frame[4]) : -1;
}

// The gates set below: every NMEA kind, raw messages 93 to 96, binary messages and RD1.
bool ToNmeaLog(const std::string& f) {
    static const char* const kKinds[] = {"$GPGGA,", "$GPGLL,", "$GPGSA,", "$GPGST,",   "$GPGSV,",
                                         "$GPRMC,", "$GPRRE,", "$GPVTG,", "$GPZDA,",   "$HEHDT,",
                                         "$GPHDT,", "$HEROT,", "$GPROT,", "$PZLT,HPR,"};
    for (const char* k : kKinds) {
        if (StartsWith(f, k)) return true;
    }
    return false;
}
bool ToRawLog(const std::string& f) {
    int id = BinId(f);
    return id >= 93 && id <= 96;
}
bool ToBinLog(const std::string& f) {
    int id = BinId(f);
    return id == 1 || id == 2 || id == 80 || (id >= 95 && id <= 99) || StartsWith(f, "$RD1,");
}

bool CheckLog(const char* name, const fs::path& path, const std::string& expected) {
    std::string got = ReadFile(path);
    if (got == expected) {
        std::printf("soak: %s log: %zu bytes, as sent\n", name, got.size());
        return true;
    }
    size_t at = 0;
    while (at < got.size() && at < expected.size() && got[at] == expected[at]) ++at;
    std::printf("soak: %s log: %zu bytes, expected %zu; first difference at byte %zu\n", name,
                got.size(), expected.size(), at);
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    unsigned seconds = 600;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            seconds = static_cast<unsigned>(std::strtoul(argv[++i], nullptr, 10));
        } else if (std::strcmp(argv[i], "--keep") == 0) {
            keep = true;
        } else {
            std::fprintf(stderr, "usage: soak [--seconds N] [--keep]\n");
            return 2;
        }
    }

    char pattern[] = "/tmp/tessaray-soak-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        std::perror("soak: mkdtemp");
        return 1;
    }
    const fs::path dir = pattern;
    ::setenv("TESSARAY_PC_CONFIG_DIR", pattern, 1);

    // What is sent: whole receiver seconds until the load fills the run, cut into chunks
    // without regard to frame boundaries, one chunk every 50 ms.
    std::vector<std::string> frames;
    size_t total = 0;
    for (unsigned s = 0; total < seconds * kBytesPerSecond; ++s) {
        for (std::string& f : benchsupport::ReceiverSecond(s, true)) {
            total += f.size();
            frames.push_back(std::move(f));
        }
    }
    std::string sent;
    sent.reserve(total);
    std::string expectNmea, expectRaw, expectBin;
    for (const std::string& f : frames) {
        sent += f;
        if (ToNmeaLog(f)) expectNmea += f;
        if (ToRawLog(f)) expectRaw += f;
        if (ToBinLog(f)) expectBin += f;
    }
    frames.clear();
    frames.shrink_to_fit();
    std::vector<std::string> chunks;
    for (size_t at = 0; at < sent.size(); at += kChunkBytes)
        chunks.push_back(sent.substr(at, kChunkBytes));

    testsupport::ReceiverSimulator sim;
    if (!sim.ok()) {
        std::fprintf(stderr, "soak: %s\n", sim.error().c_str());
        return 1;
    }
    sim.InstallAsCom(kComNumber);

    auto gps = std::make_unique<CGPS>();
    PortConfig& nmeaGates = gps->Info.Settings.NMEALogConfig;
    for (int32_t* w :
         {&nmeaGates.eGGA, &nmeaGates.eGLL, &nmeaGates.eGSA, &nmeaGates.eGST, &nmeaGates.eGSV,
          &nmeaGates.eRMC, &nmeaGates.eRRE, &nmeaGates.eVTG, &nmeaGates.eZDA, &nmeaGates.eBIN95,
          &nmeaGates.eBIN96, &nmeaGates.eHEHDT, &nmeaGates.eHEROT, &nmeaGates.eHPR})
        *w = 1;
    BINLogRateInfo& binGates = gps->Info.Settings.BinLogRates;
    for (int32_t* w :
         {&binGates.eBIN1, &binGates.eBIN2, &binGates.eBIN80, &binGates.eBIN95, &binGates.eBIN96,
          &binGates.eBIN97, &binGates.eBIN98, &binGates.eBIN99, &binGates.eD1})
        *w = 1;

    AppShared& app = App();
    app.SetLogFile(LOGFILE_NMEA, (dir / "nmea.log").string());
    app.SetLogFile(LOGFILE_RAW, (dir / "raw.log").string());
    app.SetLogFile(LOGFILE_BIN, (dir / "bin.log").string());
    app.wLogFlags.store(LOG_NMEA | LOG_RAW | LOG_BIN);
    CGPS::SetUnlockHook([] { App().hDataEvent.Set(); });

    SComm comm;
    if (comm.OpenPort(kComNumber, 115200) != 0) {
        std::fprintf(stderr, "soak: %s\n", comm.LastOpenError().c_str());
        return 1;
    }
    app.bPortOpen.store(1);
    CNMEA nmea;
    auto sinks = std::make_unique<EngineSinks>(gps.get(), &nmea);
    auto reader = std::make_unique<CGPSThread>(&comm, sinks.get());

    // The screens: read the record under its locks and take the terminal text, as the
    // position screen and the terminal do on their timers.
    std::atomic<bool> stopScreens{false};
    std::atomic<uint64_t> refreshes{0};
    double lastLat = 0.0;
    std::thread screens([&] {
        while (!stopScreens.load()) {
            {
                RecordLock lock(gps->Info.Nav.ulNavLock);
                lastLat = gps->Info.Nav.dLatMin + gps->Info.Binary.ulBin80Ring[0][0];
            }
            {
                RecordLock lock(gps->Info.SatView.ulSatViewLock);
                lastLat += gps->Info.SatView.iSatsInView;
            }
            if (TerminalText().size() > CGPSThread::kTerminalMax / 2) ClearTerminalText();
            app.bSentenceReceived.store(0);
            refreshes.fetch_add(1);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });

    const auto start = Clock::now();
    if (!reader->Start()) return 1;
    sim.Stream(chunks, kChunkMs, false);
    std::this_thread::sleep_for(std::chrono::seconds(seconds < 20 ? 1 : 5));
    const long rssStart = ResidentKiB();
    std::printf("soak: %u s at %zu bytes/s, %zu bytes to send; resident %ld KiB after warm-up\n",
                seconds, kBytesPerSecond, sent.size(), rssStart);
    std::fflush(stdout);

    long rssMax = rssStart;
    while (!sim.WaitIdle(10000)) {
        long rss = ResidentKiB();
        rssMax = std::max(rssMax, rss);
        double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
        std::printf("soak: %5.0f s: %llu bytes sent, resident %ld KiB\n", elapsed,
                    static_cast<unsigned long long>(sim.BytesWritten()), rss);
        std::fflush(stdout);
    }
    const double sendSeconds = std::chrono::duration<double>(Clock::now() - start).count();
    // Let the reader drain the port.
    for (int i = 0; i < 200 && comm.BytesInQueue() > 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const long rssEnd = ResidentKiB();
    rssMax = std::max(rssMax, rssEnd);

    reader->Stop();
    stopScreens.store(true);
    screens.join();
    sinks.reset();  // closes the logs
    reader.reset();
    app.bPortOpen.store(0);
    comm.ClosePort();
    CGPS::SetUnlockHook(nullptr);

    bool ok = sim.BytesWritten() == sent.size();
    std::printf("soak: sent %llu of %zu bytes in %.1f s (%.0f bytes/s), %llu screen refreshes\n",
                static_cast<unsigned long long>(sim.BytesWritten()), sent.size(), sendSeconds,
                static_cast<double>(sim.BytesWritten()) / sendSeconds,
                static_cast<unsigned long long>(refreshes.load()));
    std::printf("soak: checksum errors %d\n", gps->Info.Comm.iChecksumErrors);
    int latDeg, satsInView;
    {
        RecordLock lock(gps->Info.Nav.ulNavLock);
        latDeg = gps->Info.Nav.iLatDeg;
    }
    {
        RecordLock lock(gps->Info.SatView.ulSatViewLock);
        satsInView = gps->Info.SatView.iSatsInView;
    }
    std::printf("soak: decoded latitude %d degrees, %d satellites in view\n", latDeg, satsInView);
    if (latDeg != 48 || satsInView != 10) ok = false;
    ok = CheckLog("NMEA", dir / "nmea.log", expectNmea) && ok;
    ok = CheckLog("raw-data", dir / "raw.log", expectRaw) && ok;
    ok = CheckLog("binary", dir / "bin.log", expectBin) && ok;
    std::printf("soak: resident memory %ld KiB after warm-up, %ld KiB at the end, %ld KiB peak\n",
                rssStart, rssEnd, rssMax);
    // Flat: what the run adds stays within a few MiB, whatever its length.
    if (rssEnd - rssStart > 8 * 1024) {
        std::printf("soak: resident memory grew by %ld KiB\n", rssEnd - rssStart);
        ok = false;
    }
    if (gps->Info.Comm.iChecksumErrors != 0) ok = false;
    if (!keep) fs::remove_all(dir);
    std::printf("soak: %s\n", ok ? "passed" : "FAILED");
    return ok ? 0 : 1;
}
