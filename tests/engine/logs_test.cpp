#include "engine/logs.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <future>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "platform/notify.h"
#include "support/frames.h"
#include "support/temp_dir.h"
#include "support/virtual_clock.h"
#include "wire_fixture.h"

namespace {

using wiretest::Join;

std::string Bin(uint8_t id, size_t n) {
    std::string data(n, '\0');
    for (size_t i = 0; i < n; ++i) data[i] = static_cast<char>('A' + (i + id) % 26);
    return testsupport::BinFrame(id, data);
}

class LogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        gps->Info.Settings.NMEALogConfig = PortConfig{};
        gps->Info.Settings.BinLogRates = BINLogRateInfo{};
        logs = std::make_unique<CLogs>(gps->Info, &app);
        platform::SetNotifySink([this](const std::string& text) { notices.push_back(text); });
    }
    void TearDown() override { platform::SetNotifySink({}); }
    void Name(eLogFile which, const std::string& file) { app.SetLogFile(which, dir / file); }
    void Feed(const std::vector<std::string>& frames) {
        for (const std::string& f : frames)
            logs->LogFrame(f.data(), f.size(), app.wLogFlags.load());
    }
    std::string File(const std::string& file) { return testsupport::ReadBytes(dir / file); }
    testsupport::TempDir dir{"tessaray_logs_"};
    AppShared app;
    std::unique_ptr<CGPS> gps = std::make_unique<CGPS>();
    PortConfig& nmeaGates = gps->Info.Settings.NMEALogConfig;
    BINLogRateInfo& binGates = gps->Info.Settings.BinLogRates;
    std::unique_ptr<CLogs> logs;
    std::vector<std::string> notices;
};

// Each gate alone lets exactly its frames into its log.
TEST_F(LogsTest, EachLogKeepsExactlyTheFramesWhoseGateIsOpen) {
    std::vector<std::string> stream = wiretest::Lines(
        "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
        "$GPGLL,4916.45,N,12311.12,W,225444,A*31\r\n$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*"
        "39\r\n"
        "$GPGST,172814.0,0.006,0.023,0.020,273.6,0.023,0.020,0.031*6A\r\n"
        "$GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*75\r\n"
        "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n"
        "$GPRRE,1,01,0.5,0.4,0.3*00\r\n$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*48\r\n"
        "$GPZDA,201530.00,04,07,2002,00,00*60\r\n$HEHDT,274.07,T*03\r\n$GPHDT,274.07,T*1C\r\n"
        "$HEROT,-0.3,A*0C\r\n$GPROT,-0.3,A*13\r\n$PZLT,HPR,123519,274.07,1.2,-0.4*00\r\n"
        "$GPGGA,bad checksum*00\r\n$GPGSVX,not a GSV sentence*00\r\n$GPTXT,01,01,02,text*00\r\n"
        "$>JI,311,1,7,04012002,01/01/1900,01/01/3000,6.1Aa01,46*3A\r\n$RD1,1,2*00\r\n");
    const std::pair<uint8_t, size_t> frames[] = {{1, 52},  {2, 16},   {80, 40},  {93, 56},
                                                 {94, 96}, {95, 128}, {96, 300}, {97, 28},
                                                 {98, 72}, {99, 304}, {3, 8}};
    for (const auto& [id, size] : frames) stream.push_back(Bin(id, size));
    auto nmea = [this](int32_t PortConfig::*gate) { return [=, this] { nmeaGates.*gate = 1; }; };
    auto bin = [this](int32_t BINLogRateInfo::*gate) { return [=, this] { binGates.*gate = 1; }; };
    const struct {
        uint32_t bit;
        eLogFile file;
        std::function<void()> open;
        std::vector<int> passes;
    } cases[] = {
        {LOG_NMEA, LOGFILE_NMEA, nmea(&PortConfig::eGGA), {0, 14}},
        {LOG_NMEA, LOGFILE_NMEA, nmea(&PortConfig::eGSV), {4}},
        {LOG_NMEA, LOGFILE_NMEA, nmea(&PortConfig::eHEHDT), {9, 10}},
        {LOG_NMEA, LOGFILE_NMEA, nmea(&PortConfig::bRTCM), {}},
        {LOG_RAW, LOGFILE_RAW, nmea(&PortConfig::eBIN95), {22, 24}},
        {LOG_RAW, LOGFILE_RAW, nmea(&PortConfig::eBIN96), {23, 25}},
        {LOG_RAW, LOGFILE_RAW, [] {}, {}},
        {LOG_BIN, LOGFILE_BIN, bin(&BINLogRateInfo::eBIN1), {19}},
        {LOG_BIN, LOGFILE_BIN, bin(&BINLogRateInfo::eBIN96), {25}},
        {LOG_BIN, LOGFILE_BIN, bin(&BINLogRateInfo::eD1), {18}},
    };
    int k = 0;
    for (const auto& c : cases) {
        const std::string file = "log" + std::to_string(k++);
        nmeaGates = PortConfig{};
        binGates = BINLogRateInfo{};
        c.open();
        Name(c.file, file);
        app.wLogFlags.store(c.bit);
        Feed(stream);
        std::string expected;
        for (int i : c.passes) expected += stream[i];
        EXPECT_EQ(File(file), expected) << file;
        app.wLogFlags.store(0);
        Feed({"$GPGGA,x*00\r\n"});  // closes it
        EXPECT_EQ(std::filesystem::exists(dir / file), !c.passes.empty()) << "opened on a write";
    }
    EXPECT_TRUE(notices.empty());
}

TEST_F(LogsTest, LogsCloseOnTheirBitAppendAndFollowTheirName) {
    std::ofstream(dir / "n.log") << "kept\r\n";
    nmeaGates.eGGA = RATE_1HZ;
    binGates.eBIN1 = RATE_1HZ;
    Name(LOGFILE_NMEA, "n.log");
    Name(LOGFILE_BIN, "b.log");
    app.wLogFlags.store(LOG_NMEA);
    Feed({"$GPVTG,1*00\r\n", "$GPGGA,1*00\r\n"});
    EXPECT_EQ(logs->iLogState(CLogs::NMEA), CLogs::OPEN);
    app.wLogFlags.store(0);
    Feed({"$GPGGA,2*00\r\n"});
    EXPECT_EQ(logs->iLogState(CLogs::NMEA), CLogs::CLOSED);
    app.wLogFlags.store(LOG_NMEA | LOG_BIN);
    Feed({"$GPGGA,3*00\r\n", Bin(1, 52)});
    EXPECT_EQ(File("n.log"), "kept\r\n$GPGGA,1*00\r\n$GPGGA,3*00\r\n");
    // A file emptied meanwhile gets no hole.
    ASSERT_EQ(::truncate((dir / "n.log").c_str(), 0), 0);
    Feed({"$GPGGA,4*00\r\n"});
    EXPECT_EQ(File("n.log"), "$GPGGA,4*00\r\n");
    // The bit stays set throughout; only the name changes.
    Name(LOGFILE_NMEA, "c.log");
    Feed({"$GPGGA,5*00\r\n", Bin(1, 52)});
    EXPECT_EQ(File("c.log"), "$GPGGA,5*00\r\n");
    EXPECT_EQ(File("b.log"), Bin(1, 52) + Bin(1, 52));
}

TEST_F(LogsTest, UnopenableFileIsReportedOnceAndOnlyThatLogStops) {
    nmeaGates.eGGA = RATE_1HZ;
    binGates.eBIN1 = RATE_1HZ;
    app.SetLogFile(LOGFILE_NMEA, dir / "missing/n.log");
    Name(LOGFILE_BIN, "b.log");
    app.bNMEALogOn.store(1);
    app.bBinLogOn.store(1);
    app.wLogFlags.store(LOG_NMEA | LOG_BIN);
    for (int i = 0; i < 3; ++i) Feed({"$GPGGA,1*00\r\n", Bin(1, 52)});
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find(dir / "missing/n.log"), std::string::npos);
    EXPECT_NE(notices[0].find("No such file or directory"), std::string::npos);
    EXPECT_EQ(std::tuple(app.wLogFlags.load(), app.bNMEALogOn.load(), app.bBinLogOn.load()),
              std::tuple(uint32_t{LOG_BIN}, 0, 1));
    EXPECT_EQ(logs->iLogState(CLogs::NMEA), CLogs::CLOSED);
    EXPECT_EQ(File("b.log"), Bin(1, 52) + Bin(1, 52) + Bin(1, 52));
}

// A pipe given as a log name would hold the reader thread in open(); each log refuses it.
TEST_F(LogsTest, PipeNamedAsALogIsRefusedWithoutBlocking) {
    nmeaGates.eGGA = nmeaGates.eBIN95 = binGates.eBIN1 = RATE_1HZ;
    const struct {
        eLogFile name;
        uint32_t bit;
        std::atomic<int> AppShared::*running;
        bool reader;  // someone holds the pipe open for reading
    } cases[] = {
        {LOGFILE_RAW, LOG_RAW, &AppShared::bRawLogOn, false},
        {LOGFILE_BIN, LOG_BIN, &AppShared::bBinLogOn, true},
    };
    for (const auto& c : cases) {
        const std::string fifo = dir / ("pipe" + std::to_string(c.name));
        ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
        const int reader = c.reader ? ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK) : -1;
        app.SetLogFile(c.name, fifo);
        (app.*c.running).store(1);
        app.wLogFlags.store(c.bit);
        notices.clear();
        auto fed = std::async(std::launch::async, [&] {
            Feed({"$GPGGA,1*00\r\n", Bin(1, 52), Bin(95, 128)});
        });
        if (fed.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
            const int unblock = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
            fed.wait();
            ::close(unblock);
            ADD_FAILURE() << "the log blocked on " << fifo;
        }
        if (reader >= 0) ::close(reader);
        ASSERT_EQ(notices.size(), 1u) << fifo;
        EXPECT_NE(notices[0].find("\"" + fifo + "\": not a regular file"), std::string::npos)
            << notices[0];
        EXPECT_EQ(Join(app.wLogFlags.load(), (app.*c.running).load()), "0 0");
    }
}

TEST_F(LogsTest, PointLogWritesTheNextGgaAndTheNextWholeGsvSetThenEndsItself) {
    testsupport::InstalledVirtualClock clock;
    Name(LOGFILE_POINT, "p.log");
    const std::string gga1 = "$GPGGA,1*00\r\n", gga2 = "$GPGGA,2*00\r\n";
    auto gsv = [](int total, int number, char tag) {
        return "$GPGSV," + std::to_string(total) + "," + std::to_string(number) + ",08," +
               std::string(1, tag) + "*00\r\n";
    };
    app.wLogFlags.store(LOG_POINT_SENTENCES);
    app.bPointSentenceLogOn.store(1);
    Feed({gga1, gsv(1, 1, 'x')});
    EXPECT_EQ(File("p.log"), "");
    // Logged mid-set: the set written starts at message 1; the NMEA log beside it goes on.
    Name(LOGFILE_NMEA, "n.log");
    nmeaGates.eGGA = RATE_1HZ;
    app.wLogFlags.store(LOG_NMEA | LOG_POINT_SENTENCES);
    app.bPointGGAPending.store(1);
    app.bPointGSVPending.store(1);
    Feed({gsv(3, 2, 'a'), gsv(3, 3, 'a'), "$GPVTG,1*00\r\n", gga2});
    EXPECT_EQ(app.bPointGGAPending.load(), 0);
    EXPECT_EQ(app.wLogFlags.load(), uint32_t{LOG_NMEA | LOG_POINT_SENTENCES});
    Feed({gsv(3, 1, 'b'), gsv(3, 2, 'b'), gsv(3, 1, 'c'), gsv(3, 2, 'c'), gsv(3, 3, 'c'),
          gsv(3, 1, 'd')});
    const std::string point = gga2 + gsv(3, 1, 'c') + gsv(3, 2, 'c') + gsv(3, 3, 'c');
    EXPECT_EQ(File("p.log"), point);
    EXPECT_EQ(std::tuple(app.bPointGSVPending.load(), app.bPointSentenceLogOn.load(),
                         app.wLogFlags.load()),
              std::tuple(0, 0, uint32_t{LOG_NMEA}));
    Feed({gga1});
    EXPECT_EQ(logs->iLogState(CLogs::POINT), CLogs::CLOSED);
    EXPECT_EQ(File("n.log"), gga2 + gga1);
    // Sets of more than four messages are not collected; a kept sentence is cut to 299.
    app.wLogFlags.store(LOG_POINT_SENTENCES);
    app.bPointGSVPending.store(1);
    const std::string longGsv = "$GPGSV,1,1," + std::string(320, '9') + "\r\n";
    Feed({gsv(5, 1, 'e'), longGsv});
    EXPECT_EQ(File("p.log"), point + longGsv.substr(0, 299));
}

}  // namespace
