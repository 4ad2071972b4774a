// The reader thread on a pseudo-terminal writing the NMEA, raw-data and binary logs while
// the binary decoder and the history rings run, with a screen reading the record meanwhile.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
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
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::BinFrame;
using testsupport::NmeaSentence;

// Text sentences of the stream and the NMEA-log word that lets each pass.
struct TextKind {
    const char* body;  // without "$" and the running number
    int32_t PortConfig::*rate;
};

const TextKind kText[] = {
    {"GPGGA,", &PortConfig::eGGA},
    {"GPGLL,", &PortConfig::eGLL},
    {"GPGSA,", &PortConfig::eGSA},
    {"GPGST,", &PortConfig::eGST},
    {"GPGSV,1,1,01,", &PortConfig::eGSV},
    {"GPRMC,", &PortConfig::eRMC},
    {"GPRRE,", &PortConfig::eRRE},
    {"GPVTG,", &PortConfig::eVTG},
    {"GPZDA,", &PortConfig::eZDA},
    {"HEHDT,", &PortConfig::eHEHDT},
    {"GPHDT,", &PortConfig::eHEHDT},
    {"HEROT,", &PortConfig::eHEROT},
    {"GPROT,", &PortConfig::eHEROT},
    {"PZLT,HPR,", &PortConfig::eHPR},
    {"GPTXT,", nullptr},
    {"RD1,", nullptr},
    {">JI,", nullptr},
};
constexpr int kTextKinds = static_cast<int>(std::size(kText));
constexpr int kRd1 = 15;

// Binary messages of the stream with their data size, raw-log word and binary-log word.
struct BinKind {
    uint8_t id;
    size_t size;
    int32_t PortConfig::*raw;
    int32_t BINLogRateInfo::*bin;
};

const BinKind kBin[] = {
    {1, 52, nullptr, &BINLogRateInfo::eBIN1},
    {2, 16, nullptr, &BINLogRateInfo::eBIN2},
    {3, 20, nullptr, nullptr},
    {80, 40, nullptr, &BINLogRateInfo::eBIN80},
    {93, 56, &PortConfig::eBIN95, nullptr},
    {94, 96, &PortConfig::eBIN96, nullptr},
    {95, 128, &PortConfig::eBIN95, &BINLogRateInfo::eBIN95},
    {96, 300, &PortConfig::eBIN96, &BINLogRateInfo::eBIN96},
    {97, 28, nullptr, &BINLogRateInfo::eBIN97},
    {98, 72, nullptr, &BINLogRateInfo::eBIN98},
    {99, 304, nullptr, &BINLogRateInfo::eBIN99},
};
constexpr int kBinKinds = static_cast<int>(std::size(kBin));
constexpr int kKinds = kTextKinds + kBinKinds + 1;  // and a text sentence with a bad sum

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

struct StreamFrame {
    std::string bytes;
    bool nmea = false, raw = false, bin = false;
};

StreamFrame MakeFrame(int i, const Gates& g) {
    const int k = (i * 7 + i / kKinds) % kKinds;
    StreamFrame f;
    if (k < kTextKinds) {
        const TextKind& t = kText[k];
        f.bytes = NmeaSentence(std::string(t.body) + std::to_string(i) + ",1.5,N,2.5,E");
        f.nmea = t.rate != nullptr && g.nmea.*t.rate != 0;
        f.bin = k == kRd1 && g.bin.eD1 != 0;
    } else if (k < kTextKinds + kBinKinds) {
        const BinKind& b = kBin[k - kTextKinds];
        std::string d = Data(b.size, static_cast<uint32_t>(i));
        if (b.id == 1) {
            // Week 1400 and a valid time and position, so the calendar and rings run too.
            d = Data(2, i) + "\x78\x05" + Le64(1000.0 + i * 0.25) + Le64(-33.5 + i * 1e-6) +
                Le64(151.25) + Data(24, i);
        }
        f.bytes = BinFrame(b.id, d);
        f.raw = b.raw != nullptr && g.nmea.*b.raw != 0;
        f.bin = b.bin != nullptr && g.bin.*b.bin != 0;
    } else {
        // Written as it came, whatever its checksum.
        f.bytes = "$GPGGA," + std::to_string(i) + ",bad*00\r\n";
        f.nmea = g.nmea.eGGA != 0;
    }
    return f;
}

using testsupport::ReadBytes;

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
            const StreamFrame f = MakeFrame(i, gates);
            all += f.bytes;
            if (f.nmea) wantNmea += f.bytes;
            if (f.raw) wantRaw += f.bytes;
            if (f.bin) wantBin += f.bytes;
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

        EXPECT_TRUE(ReadBytes(nmea) == wantNmea) << tag << " NMEA log differs";
        EXPECT_TRUE(ReadBytes(raw) == wantRaw) << tag << " raw log differs";
        EXPECT_TRUE(ReadBytes(bin) == wantBin) << tag << " binary log differs";
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
    g.nmea.eGLL = RATE_5HZ;
    g.nmea.eGST = RATE_5S;
    g.nmea.eRMC = RATE_1HZ;
    g.nmea.eZDA = RATE_1HZ;
    g.nmea.eHEHDT = RATE_10HZ;
    g.nmea.eHPR = RATE_20HZ;
    g.nmea.eBIN95 = RATE_1HZ;
    g.bin.eBIN1 = RATE_1HZ;
    g.bin.eBIN96 = RATE_1HZ;
    g.bin.eBIN98 = RATE_1HZ;
    g.bin.eD1 = RATE_1HZ;
    Run(g, 10000, "a");
}

// The gates closed above open here and the reverse.
TEST_F(LogsThreadTest, TheOtherGatesOfEachLog) {
    Gates g;
    g.nmea.eGSA = RATE_1HZ;
    g.nmea.eGSV = RATE_1HZ;
    g.nmea.eRRE = RATE_1HZ;
    g.nmea.eVTG = RATE_1HZ;
    g.nmea.eHEROT = RATE_1HZ;
    g.nmea.eBIN96 = RATE_1HZ;
    g.bin.eBIN2 = RATE_1HZ;
    g.bin.eBIN80 = RATE_1HZ;
    g.bin.eBIN95 = RATE_1HZ;
    g.bin.eBIN97 = RATE_1HZ;
    g.bin.eBIN99 = RATE_1HZ;
    Run(g, 3000, "b");
}

}  // namespace
