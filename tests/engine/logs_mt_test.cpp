// The reader thread on a pseudo-terminal writing the NMEA, raw-data and binary logs while
// the binary decoder and the history rings run, with a screen reading the record meanwhile.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "engine/appstate.h"
#include "engine/binarysinks.h"
#include "engine/gps.h"
#include "engine/scomm.h"
#include "engine/thread.h"
#include "support/frames.h"
#include "support/receiver_simulator.h"

namespace {

namespace fs = std::filesystem;
using testsupport::BinFrame;
using testsupport::NmeaSentence;

enum Kind {
    GGA,
    BAD_GGA,
    VTG,
    GSV,
    RMC,
    RD1,
    B1,
    B2,
    B80,
    B93,
    B94,
    B95,
    B96,
    B97,
    B98,
    B99,
    KINDS
};

// Which log keeps a kind, and under which gate word.
struct Gates {
    PortConfig nmea{};
    BINLogRateInfo bin{};
};

std::string Data(size_t n, uint32_t seed) {
    std::string d(n, '\0');
    for (size_t i = 0; i < n; ++i) {
        seed = seed * 1103515245u + 12345u;
        d[i] = static_cast<char>(seed >> 16);
    }
    return d;
}

std::string Le64(double v) {
    uint64_t b;
    std::memcpy(&b, &v, 8);
    std::string s;
    for (int i = 0; i < 8; ++i) s += static_cast<char>((b >> (8 * i)) & 0xFF);
    return s;
}

std::string MakeFrame(Kind kind, int i) {
    const std::string n = std::to_string(i);
    switch (kind) {
        case GGA:
            return NmeaSentence("GPGGA," + n + ",4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,");
        case BAD_GGA:
            return "$GPGGA," + n + ",bad*00\r\n";
        case VTG:
            return NmeaSentence("GPVTG," + n + ",T,034.4,M,005.5,N,010.2,K");
        case GSV:
            return NmeaSentence("GPGSV,1,1,01," + n + ",40,083,46");
        case RMC:
            return NmeaSentence("GPRMC," + n + ",A,4807.038,N,01131.000,E,022.4,084.4,,,");
        case RD1:
            return NmeaSentence("RD1," + n + ",1,2,3");
        case B1: {
            // Position and time, so the calendar and the rings run as well.
            std::string d = Data(4, i);
            d[2] = static_cast<char>(0x78);
            d[3] = static_cast<char>(0x05);
            d += Le64(1000.0 + i * 0.25) + Le64(-33.5 + i * 1e-6) + Le64(151.25) + Data(24, i);
            return BinFrame(1, d);
        }
        case B2:
            return BinFrame(2, Data(16, i));
        case B80:
            return BinFrame(80, Data(40, i));
        case B93:
            return BinFrame(93, Data(56, i));
        case B94:
            return BinFrame(94, Data(96, i));
        case B95:
            return BinFrame(95, Data(128, i));
        case B96:
            return BinFrame(96, Data(300, i));
        case B97:
            return BinFrame(97, Data(28, i));
        case B98:
            return BinFrame(98, Data(72, i));
        case B99:
            return BinFrame(99, Data(304, i));
        default:
            return {};
    }
}

bool PassesNmea(Kind k, const PortConfig& g) {
    switch (k) {
        case GGA:
        case BAD_GGA:
            return g.eGGA != 0;
        case VTG:
            return g.eVTG != 0;
        case GSV:
            return g.eGSV != 0;
        case RMC:
            return g.eRMC != 0;
        default:
            return false;
    }
}

bool PassesRaw(Kind k, const PortConfig& g) {
    if (k == B93 || k == B95) return g.eBIN95 != 0;
    if (k == B94 || k == B96) return g.eBIN96 != 0;
    return false;
}

bool PassesBin(Kind k, const BINLogRateInfo& g) {
    switch (k) {
        case B1:
            return g.eBIN1 != 0;
        case B2:
            return g.eBIN2 != 0;
        case B80:
            return g.eBIN80 != 0;
        case B95:
            return g.eBIN95 != 0;
        case B96:
            return g.eBIN96 != 0;
        case B97:
            return g.eBIN97 != 0;
        case B98:
            return g.eBIN98 != 0;
        case B99:
            return g.eBIN99 != 0;
        case RD1:
            return g.eD1 != 0;
        default:
            return false;
    }
}

std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

class LogsThreadTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/tessaray_logs_mt_XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
        SetApp(&app);
        ASSERT_TRUE(sim.ok()) << sim.error();
        sim.InstallAsCom(kCom);
        gps = std::make_unique<CGPS>();
    }
    void TearDown() override {
        SetApp(nullptr);
        fs::remove_all(dir);
    }

    // Streams `count` frames through the reader thread with these gates and checks each log
    // holds exactly the frames that pass, in order, once.
    void Run(const Gates& gates, int count, const char* tag) {
        gps->Info.Settings.NMEALogConfig = gates.nmea;
        gps->Info.Settings.BinLogRates = gates.bin;
        const fs::path nmea = dir / (std::string(tag) + ".nmea");
        const fs::path raw = dir / (std::string(tag) + ".raw");
        const fs::path bin = dir / (std::string(tag) + ".bin");
        app.SetLogFile(LOGFILE_NMEA, nmea.string());
        app.SetLogFile(LOGFILE_RAW, raw.string());
        app.SetLogFile(LOGFILE_BIN, bin.string());
        app.wLogFlags.store(LOG_NMEA | LOG_RAW | LOG_BIN);

        std::string all, wantNmea, wantRaw, wantBin;
        for (int i = 0; i < count; ++i) {
            const Kind k = static_cast<Kind>((i * 7 + i / KINDS) % KINDS);
            const std::string f = MakeFrame(k, i);
            all += f;
            if (PassesNmea(k, gates.nmea)) wantNmea += f;
            if (PassesRaw(k, gates.nmea)) wantRaw += f;
            if (PassesBin(k, gates.bin)) wantBin += f;
        }

        SComm comm;
        ASSERT_EQ(comm.OpenPort(kCom, 115200), COMM_OK);
        app.bPortOpen.store(1);
        BinarySinks sinks(*gps, &app);
        CGPSThread thread(&comm, &sinks);
        ASSERT_TRUE(thread.Start());

        // A screen refreshing from the record meanwhile.
        std::atomic<bool> done{false};
        std::thread screen([&] {
            volatile float sink = 0;
            while (!done.load()) {
                {
                    RecordLock part1(gps->Info.ulPart1Lock);
                    const int idx = gps->Info.iPositionHistoryIndex;
                    sink = sink + gps->Info.fNorthHistory[(idx + kHistorySize - 1) % kHistorySize];
                    sink =
                        sink + static_cast<float>(gps->Info.iSBASBerHistory[0][idx % kHistorySize]);
                }
                {
                    RecordLock nav(gps->Info.Nav.ulNavLock);
                    sink = sink + static_cast<float>(gps->Info.Nav.iLatDeg + gps->Info.Nav.iYear);
                    sink = sink + gps->Info.Binary.Bin99.Channel[3].usCodeLock();
                }
                std::this_thread::yield();
            }
        });

        sim.Send(all);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        auto size = [](const fs::path& p) {
            std::error_code ec;
            const auto s = fs::file_size(p, ec);
            return ec ? 0 : static_cast<size_t>(s);
        };
        while (std::chrono::steady_clock::now() < deadline &&
               (size(nmea) < wantNmea.size() || size(raw) < wantRaw.size() ||
                size(bin) < wantBin.size() || !sim.WaitIdle(0))) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        // Let the thread finish what it read, then stop it.
        EXPECT_TRUE(thread.Stop(10000));
        done.store(true);
        screen.join();
        app.bPortOpen.store(0);
        comm.ClosePort();

        EXPECT_TRUE(ReadFile(nmea) == wantNmea) << tag << " NMEA log differs";
        EXPECT_TRUE(ReadFile(raw) == wantRaw) << tag << " raw log differs";
        EXPECT_TRUE(ReadFile(bin) == wantBin) << tag << " binary log differs";
        EXPECT_EQ(size(nmea), wantNmea.size());
        EXPECT_EQ(size(raw), wantRaw.size());
        EXPECT_EQ(size(bin), wantBin.size());

        // The decoder and the rings ran on the same stream.
        EXPECT_EQ(app.bBin1Position.load(), 1);
        EXPECT_EQ(gps->Info.Nav.iLatDeg, -33);
        EXPECT_EQ(gps->Info.Nav.cLatDir, 'S');
        EXPECT_EQ(gps->Info.Nav.usGPSWeek, 0x578);
    }

    static constexpr int kCom = 41;
    fs::path dir;
    AppShared app;
    testsupport::ReceiverSimulator sim;
    std::unique_ptr<CGPS> gps;
};

TEST_F(LogsThreadTest, TenThousandFramesIntoThreeLogsAtOnceNothingMissingNothingDoubled) {
    Gates g;
    g.nmea.eGGA = RATE_1HZ;
    g.nmea.eRMC = RATE_5HZ;
    g.nmea.eBIN95 = RATE_1HZ;
    g.bin.eBIN1 = RATE_1HZ;
    g.bin.eBIN96 = RATE_1HZ;
    g.bin.eBIN98 = RATE_1HZ;
    g.bin.eD1 = RATE_1HZ;
    Run(g, 10000, "a");
}

TEST_F(LogsThreadTest, TheOtherGatesOfEachLog) {
    Gates g;
    g.nmea.eVTG = RATE_1HZ;
    g.nmea.eGSV = RATE_1HZ;
    g.nmea.eBIN96 = RATE_1HZ;
    g.bin.eBIN2 = RATE_1HZ;
    g.bin.eBIN80 = RATE_1HZ;
    g.bin.eBIN95 = RATE_1HZ;
    g.bin.eBIN97 = RATE_1HZ;
    g.bin.eBIN99 = RATE_1HZ;
    Run(g, 2000, "b");
}

}  // namespace
