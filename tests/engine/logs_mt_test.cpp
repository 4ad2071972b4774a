// The reader thread on a pseudo-terminal writing the NMEA, raw-data and binary logs while
// the binary decoder and the history rings run, with a screen reading the record meanwhile.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "engine/appstate.h"
#include "engine/binarysinks.h"
#include "engine/gps.h"
#include "engine/scomm.h"
#include "engine/thread.h"
#include "support/frames.h"
#include "support/receiver_simulator.h"
#include "support/temp_dir.h"
#include "wire_fixture.h"

namespace {

using wiretest::Join;

namespace fs = std::filesystem;

// Text sentences of the stream and the NMEA-log word that lets each pass.
const std::pair<const char*, int32_t PortConfig::*> kText[] = {
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
const std::tuple<uint8_t, size_t, int32_t PortConfig::*, int32_t BINLogRateInfo::*> kBin[] = {
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
constexpr int kKinds = kTextKinds + static_cast<int>(std::size(kBin)) + 1;  // and a bad sum

std::string Data(size_t n, uint32_t seed) {
    std::string d(n, '\0');
    for (char& c : d) c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 16);
    return d;
}

std::string Le64(double v) {
    std::string s(8, '\0');
    std::memcpy(s.data(), &v, 8);
    return s;
}

class LogsThreadTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetApp(&app);
        ASSERT_TRUE(sim.ok()) << sim.error();
        sim.InstallAsCom(kCom);
    }
    void TearDown() override { SetApp(nullptr); }

    // Streams `count` frames through the reader thread with these gates and checks each log
    // holds exactly the frames that pass, in order, once.
    void Run(const PortConfig& nmeaGates, const BINLogRateInfo& binGates, int count) {
        gps->Info.Settings.NMEALogConfig = nmeaGates;
        gps->Info.Settings.BinLogRates = binGates;
        const std::string logs[] = {dir / "nmea", dir / "raw", dir / "bin"};
        std::string want[3], all;
        for (int i = 0; i < count; ++i) {
            const int k = (i * 7 + i / kKinds) % kKinds;
            std::string frame;
            bool pass[3] = {false, false, false};
            if (k < kTextKinds) {
                const auto& [body, gate] = kText[k];
                frame = testsupport::NmeaSentence(body + std::to_string(i) + ",1.5,N,2.5,E");
                pass[0] = gate != nullptr && nmeaGates.*gate != 0;
                pass[2] = k == kRd1 && binGates.eD1 != 0;
            } else if (k < kKinds - 1) {
                const auto& [id, size, raw, bin] = kBin[k - kTextKinds];
                std::string d = Data(size, static_cast<uint32_t>(i));
                // Week 1400 and a valid time and position, so the calendar and rings run too.
                if (id == 1)
                    d = Data(2, i) + "\x78\x05" + Le64(1000.0 + i * 0.25) + Le64(-33.5 + i * 1e-6) +
                        Le64(151.25) + Data(24, i);
                frame = testsupport::BinFrame(id, d);
                pass[1] = raw != nullptr && nmeaGates.*raw != 0;
                pass[2] = bin != nullptr && binGates.*bin != 0;
            } else {
                frame = "$GPGGA," + std::to_string(i) + ",bad*00\r\n";  // logged as it came
                pass[0] = nmeaGates.eGGA != 0;
            }
            all += frame;
            for (int l = 0; l < 3; ++l)
                if (pass[l]) want[l] += frame;
        }
        app.SetLogFile(LOGFILE_NMEA, logs[0]);
        app.SetLogFile(LOGFILE_RAW, logs[1]);
        app.SetLogFile(LOGFILE_BIN, logs[2]);
        app.wLogFlags.store(LOG_NMEA | LOG_RAW | LOG_BIN);

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
                    sink = sink + gps->Info.fNorthHistory[(idx + kHistorySize - 1) % kHistorySize] +
                           static_cast<float>(gps->Info.iSBASBerHistory[0][idx % kHistorySize]);
                }
                {
                    RecordLock nav(gps->Info.Nav.ulNavLock);
                    sink = sink + static_cast<float>(gps->Info.Nav.iLatDeg + gps->Info.Nav.iYear) +
                           gps->Info.Binary.Bin99.Channel[3].usCodeLock();
                }
                std::this_thread::yield();
            }
        });
        sim.Send(all);
        auto size = [](const std::string& p) {
            std::error_code ec;
            const auto s = fs::file_size(p, ec);
            return ec ? 0 : static_cast<size_t>(s);
        };
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (std::chrono::steady_clock::now() < deadline &&
               (size(logs[0]) < want[0].size() || size(logs[1]) < want[1].size() ||
                size(logs[2]) < want[2].size() || !sim.WaitIdle(0)))
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_TRUE(thread.Stop(10000));
        done.store(true);
        screen.join();
        app.bPortOpen.store(0);
        comm.ClosePort();
        for (int l = 0; l < 3; ++l) {
            EXPECT_EQ(size(logs[l]), want[l].size()) << logs[l];
            EXPECT_TRUE(testsupport::ReadBytes(logs[l]) == want[l]) << logs[l] << " differs";
        }
        // The decoder and the rings ran on the same stream.
        EXPECT_EQ(Join(app.bBin1Position.load(), gps->Info.Nav.iLatDeg, gps->Info.Nav.cLatDir,
                       gps->Info.Nav.usGPSWeek),
                  "1 -33 S 1400");
    }

    static constexpr int kCom = 41;
    testsupport::TempDir dir{"tessaray_logs_mt_"};
    AppShared app;
    testsupport::ReceiverSimulator sim;
    std::unique_ptr<CGPS> gps = std::make_unique<CGPS>();
};

// Half the gates of each log open (each gate alone is checked without threads).
TEST_F(LogsThreadTest, FramesIntoThreeLogsAtOnceNothingMissingNothingDoubled) {
    PortConfig n{};
    BINLogRateInfo b{};
    for (int32_t PortConfig::*g :
         {&PortConfig::eGGA, &PortConfig::eGLL, &PortConfig::eGST, &PortConfig::eRMC,
          &PortConfig::eZDA, &PortConfig::eHEHDT, &PortConfig::eHPR, &PortConfig::eBIN95})
        n.*g = RATE_5HZ;
    for (int32_t BINLogRateInfo::*g : {&BINLogRateInfo::eBIN1, &BINLogRateInfo::eBIN96,
                                       &BINLogRateInfo::eBIN98, &BINLogRateInfo::eD1})
        b.*g = RATE_1HZ;
    Run(n, b, 10000);
}

}  // namespace
