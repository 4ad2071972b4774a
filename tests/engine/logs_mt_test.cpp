// The reader thread on a pseudo-terminal writing the NMEA, raw-data and binary logs while
// the binary decoder and the history rings run.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "engine/appstate.h"
#include "engine/binarysinks.h"
#include "engine/gps.h"
#include "engine/logs.h"
#include "engine/scomm.h"
#include "engine/thread.h"
#include "support/frames.h"
#include "support/receiver_simulator.h"
#include "support/temp_dir.h"
#include "wire_fixture.h"

namespace {

using wiretest::Join;

const char* const kText[] = {"GPGGA,", "GPGLL,",    "GPGSA,", "GPGST,", "GPGSV,1,1,01,", "GPRMC,",
                             "GPRRE,", "GPVTG,",    "GPZDA,", "HEHDT,", "GPHDT,",        "HEROT,",
                             "GPROT,", "PZLT,HPR,", "GPTXT,", "RD1,",   ">JI,"};
const std::pair<uint8_t, size_t> kBin[] = {{1, 52},  {2, 16},  {3, 20},   {80, 40},
                                           {93, 56}, {94, 96}, {95, 128}, {96, 300},
                                           {97, 28}, {98, 72}, {99, 304}};
constexpr size_t kKinds = std::size(kText) + std::size(kBin) + 1;  // and a bad sum

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

std::string Frame(size_t i) {
    const size_t k = (i * 7 + i / kKinds) % kKinds;
    if (k < std::size(kText))
        return testsupport::NmeaSentence(kText[k] + std::to_string(i) + ",1.5,N,2.5,E");
    if (k == kKinds - 1) return "$GPGGA," + std::to_string(i) + ",bad*00\r\n";  // logged as is
    const auto [id, size] = kBin[k - std::size(kText)];
    // Week 1400 and a valid time and position, so the calendar and rings run too.
    const uint32_t seed = static_cast<uint32_t>(i);
    return testsupport::BinFrame(
        id, id != 1 ? Data(size, seed)
                    : Data(2, seed) + "\x78\x05" + Le64(1000.0 + i * 0.25) +
                          Le64(-33.5 + i * 1e-6) + Le64(151.25) + Data(24, seed));
}

// Half the gates open: the logs hold what the same frames give when logged sequentially.
TEST(LogsThread, FramesIntoThreeLogsAtOnceNothingMissingNothingDoubled) {
    AppShared app, alone;
    SetApp(&app);
    testsupport::ReceiverSimulator sim;
    ASSERT_TRUE(sim.ok()) << sim.error();
    sim.InstallAsCom(41);
    testsupport::TempDir dir{"tessaray_logs_mt_"};
    auto gps = std::make_unique<CGPS>();
    PortConfig& n = gps->Info.Settings.NMEALogConfig;
    BINLogRateInfo& b = gps->Info.Settings.BinLogRates;
    n = PortConfig{};
    b = BINLogRateInfo{};
    for (int32_t PortConfig::*g :
         {&PortConfig::eGGA, &PortConfig::eGLL, &PortConfig::eGST, &PortConfig::eRMC,
          &PortConfig::eZDA, &PortConfig::eHEHDT, &PortConfig::eHPR, &PortConfig::eBIN95})
        n.*g = RATE_5HZ;
    for (int32_t BINLogRateInfo::*g : {&BINLogRateInfo::eBIN1, &BINLogRateInfo::eBIN96,
                                       &BINLogRateInfo::eBIN98, &BINLogRateInfo::eD1})
        b.*g = RATE_1HZ;
    const eLogFile files[] = {LOGFILE_NMEA, LOGFILE_RAW, LOGFILE_BIN};
    for (int l = 0; l < 3; ++l) {
        app.SetLogFile(files[l], dir / ("thread" + std::to_string(l)));
        alone.SetLogFile(files[l], dir / ("alone" + std::to_string(l)));
    }
    const uint32_t flags = LOG_NMEA | LOG_RAW | LOG_BIN;
    app.wLogFlags.store(flags);
    std::string all;
    {
        CLogs sequential(gps->Info, &alone);
        for (size_t i = 0; i < 10000; ++i) {
            const std::string f = Frame(i);
            sequential.LogFrame(f.data(), f.size(), flags);
            all += f;
        }
    }
    std::string want[3];
    for (int l = 0; l < 3; ++l)
        want[l] = testsupport::ReadBytes(dir / ("alone" + std::to_string(l)));
    ASSERT_FALSE(want[0].empty() || want[1].empty() || want[2].empty());
    SComm comm;
    ASSERT_EQ(comm.OpenPort(41, 115200), COMM_OK);
    app.bPortOpen.store(1);
    BinarySinks sinks(*gps, &app);
    CGPSThread thread(&comm, &sinks);
    ASSERT_TRUE(thread.Start());
    sim.Send(all);
    auto size = [&dir](int l) {
        std::error_code ec;
        const auto s = std::filesystem::file_size(dir / ("thread" + std::to_string(l)), ec);
        return ec ? 0 : static_cast<size_t>(s);
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (std::chrono::steady_clock::now() < deadline &&
           (size(0) < want[0].size() || size(1) < want[1].size() || size(2) < want[2].size() ||
            !sim.WaitIdle(0)))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(thread.Stop(10000));
    app.bPortOpen.store(0);
    comm.ClosePort();
    for (int l = 0; l < 3; ++l)
        EXPECT_TRUE(testsupport::ReadBytes(dir / ("thread" + std::to_string(l))) == want[l]) << l;
    EXPECT_EQ(Join(app.bBin1Position.load(), gps->Info.Nav.iLatDeg, gps->Info.Nav.cLatDir,
                   gps->Info.Nav.usGPSWeek),
              "1 -33 S 1400");
    SetApp(nullptr);
}

}  // namespace
