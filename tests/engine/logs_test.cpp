#include "engine/logs.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "platform/notify.h"
#include "support/temp_dir.h"
#include "support/virtual_clock.h"

namespace {

namespace fs = std::filesystem;

using testsupport::ReadBytes;

std::string Bin(uint8_t id, size_t n = 8) {
    std::string f = "$BIN";
    f += static_cast<char>(id);
    f += '\0';
    f += static_cast<char>(n & 0xFF);
    f += static_cast<char>(n >> 8);
    uint16_t sum = 0;
    for (size_t i = 0; i < n; ++i) {
        const char c = static_cast<char>('A' + (i + id) % 26);
        f += c;
        sum = static_cast<uint16_t>(sum + static_cast<uint8_t>(c));
    }
    f += static_cast<char>(sum & 0xFF);
    f += static_cast<char>(sum >> 8);
    return f + "\r\n";
}

class LogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/tessaray_logs_XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        dir = tmpl;
        gps = std::make_unique<CGPS>();
        // Every gate closed; each test opens what it needs.
        gps->Info.Settings.NMEALogConfig = PortConfig{};
        gps->Info.Settings.BinLogRates = BINLogRateInfo{};
        logs = std::make_unique<CLogs>(gps->Info, &app);
        platform::SetNotifySink([this](const std::string& text) { notices.push_back(text); });
    }
    void TearDown() override {
        platform::SetNotifySink({});
        logs.reset();
        fs::remove_all(dir);
    }
    void Name(eLogFile which, const std::string& file) {
        app.SetLogFile(which, (dir / file).string());
    }
    void Feed(const std::vector<std::string>& frames) {
        for (const std::string& f : frames)
            logs->LogFrame(f.data(), f.size(), app.wLogFlags.load());
    }
    std::string File(const std::string& file) { return ReadBytes(dir / file); }

    fs::path dir;
    AppShared app;
    std::unique_ptr<CGPS> gps;
    std::unique_ptr<CLogs> logs;
    std::vector<std::string> notices;
};

struct NmeaKind {
    int32_t PortConfig::*rate;
    std::vector<std::string> passes;
};

TEST_F(LogsTest, NmeaLogKeepsExactlyTheSentenceKindsWhoseRateIsOn) {
    const std::vector<std::string> stream = {
        "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n",
        "$GPGLL,4916.45,N,12311.12,W,225444,A*31\r\n",
        "$GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1*39\r\n",
        "$GPGST,172814.0,0.006,0.023,0.020,273.6,0.023,0.020,0.031*6A\r\n",
        "$GPGSV,2,1,08,01,40,083,46,02,17,308,41,12,07,344,39,14,22,228,45*75\r\n",
        "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n",
        "$GPRRE,1,01,0.5,0.4,0.3*00\r\n",
        "$GPVTG,054.7,T,034.4,M,005.5,N,010.2,K*48\r\n",
        "$GPZDA,201530.00,04,07,2002,00,00*60\r\n",
        "$HEHDT,274.07,T*03\r\n",
        "$GPHDT,274.07,T*1C\r\n",
        "$HEROT,-0.3,A*0C\r\n",
        "$GPROT,-0.3,A*13\r\n",
        "$PZLT,HPR,123519,274.07,1.2,-0.4*00\r\n",
        "$GPGGA,bad checksum*00\r\n",
        "$GPGSVX,not a GSV sentence*00\r\n",
        "$GPTXT,01,01,02,text*00\r\n",
        "$>JI,311,1,7,04012002,01/01/1900,01/01/3000,6.1Aa01,46*3A\r\n",
        Bin(1, 52),
        "$RD1,1,2*00\r\n",
    };
    const NmeaKind kinds[] = {
        {&PortConfig::eGGA, {stream[0], stream[14]}},
        {&PortConfig::eGLL, {stream[1]}},
        {&PortConfig::eGSA, {stream[2]}},
        {&PortConfig::eGST, {stream[3]}},
        {&PortConfig::eGSV, {stream[4]}},
        {&PortConfig::eRMC, {stream[5]}},
        {&PortConfig::eRRE, {stream[6]}},
        {&PortConfig::eVTG, {stream[7]}},
        {&PortConfig::eZDA, {stream[8]}},
        {&PortConfig::eHEHDT, {stream[9], stream[10]}},
        {&PortConfig::eHEROT, {stream[11], stream[12]}},
        {&PortConfig::eHPR, {stream[13]}},
        {&PortConfig::eBIN95, {}},
        {&PortConfig::bRTCM, {}},
    };
    int k = 0;
    for (const NmeaKind& kind : kinds) {
        const std::string file = "nmea" + std::to_string(k++) + ".log";
        gps->Info.Settings.NMEALogConfig = PortConfig{};
        gps->Info.Settings.NMEALogConfig.*kind.rate = RATE_1HZ;
        Name(LOGFILE_NMEA, file);
        app.wLogFlags.store(LOG_NMEA);
        Feed(stream);
        std::string expected;
        for (const std::string& s : kind.passes) expected += s;
        EXPECT_EQ(File(file), expected) << file;
        app.wLogFlags.store(0);
        Feed({"$GPGGA,x*00\r\n"});
    }
    EXPECT_TRUE(notices.empty());
}

TEST_F(LogsTest, RawLogKeepsMessages93And95Or94And96ByTheirWords) {
    const std::vector<std::string> stream = {Bin(93, 56),      Bin(94, 96), Bin(95, 128),
                                             Bin(96, 300),     Bin(1, 52),  Bin(99, 304),
                                             "$GPGGA,1*00\r\n"};
    const struct {
        const char* file;
        int32_t bin95, bin96;
        std::string expected;
    } cases[] = {
        {"raw95.log", RATE_1HZ, RATE_OFF, stream[0] + stream[2]},
        {"raw96.log", RATE_OFF, RATE_5S, stream[1] + stream[3]},
        {"rawboth.log", RATE_1HZ, RATE_1HZ, stream[0] + stream[1] + stream[2] + stream[3]},
        {"rawnone.log", RATE_OFF, RATE_OFF, ""},
    };
    for (const auto& c : cases) {
        gps->Info.Settings.NMEALogConfig.eBIN95 = c.bin95;
        gps->Info.Settings.NMEALogConfig.eBIN96 = c.bin96;
        Name(LOGFILE_RAW, c.file);
        app.wLogFlags.store(LOG_RAW);
        Feed(stream);
        EXPECT_EQ(File(c.file), c.expected) << c.file;
        app.wLogFlags.store(0);
        Feed({"$GPGGA,x*00\r\n"});
    }
    // A log whose gate never opened has no file.
    EXPECT_FALSE(fs::exists(dir / "rawnone.log"));
}

TEST_F(LogsTest, BinaryLogKeepsEachMessageByItsWord) {
    const std::vector<std::string> stream = {
        Bin(1, 52),   Bin(2, 16),          Bin(80, 40),      Bin(93, 56), Bin(94, 96),
        Bin(95, 128), Bin(96, 300),        Bin(97, 28),      Bin(98, 72), Bin(99, 304),
        Bin(3, 8),    "$RD1,1,2,3*00\r\n", "$GPGGA,1*00\r\n"};
    const struct {
        int32_t BINLogRateInfo::*rate;
        size_t index;
    } words[] = {
        {&BINLogRateInfo::eBIN1, 0},  {&BINLogRateInfo::eBIN2, 1},  {&BINLogRateInfo::eBIN80, 2},
        {&BINLogRateInfo::eBIN95, 5}, {&BINLogRateInfo::eBIN96, 6}, {&BINLogRateInfo::eBIN97, 7},
        {&BINLogRateInfo::eBIN98, 8}, {&BINLogRateInfo::eBIN99, 9}, {&BINLogRateInfo::eD1, 11},
    };
    int k = 0;
    for (const auto& w : words) {
        const std::string file = "bin" + std::to_string(k++) + ".log";
        gps->Info.Settings.BinLogRates = BINLogRateInfo{};
        gps->Info.Settings.BinLogRates.*w.rate = RATE_1HZ;
        Name(LOGFILE_BIN, file);
        app.wLogFlags.store(LOG_BIN);
        Feed(stream);
        EXPECT_EQ(File(file), stream[w.index]) << file;
        app.wLogFlags.store(0);
        Feed({"$GPGGA,x*00\r\n"});
    }
}

TEST_F(LogsTest, ClearedBitClosesAtTheNextFrameAndAStartAppends) {
    ASSERT_TRUE(std::ofstream(dir / "n.log") << "kept\r\n");
    gps->Info.Settings.NMEALogConfig.eGGA = RATE_1HZ;
    Name(LOGFILE_NMEA, "n.log");
    app.wLogFlags.store(LOG_NMEA);
    EXPECT_EQ(logs->iLogState(CLogs::NMEA), CLogs::CLOSED);
    Feed({"$GPVTG,1*00\r\n"});
    EXPECT_EQ(logs->iLogState(CLogs::NMEA), CLogs::TO_OPEN);  // opened on its first write
    Feed({"$GPGGA,1*00\r\n"});
    EXPECT_EQ(logs->iLogState(CLogs::NMEA), CLogs::OPEN);
    app.wLogFlags.store(0);
    EXPECT_EQ(logs->iLogState(CLogs::NMEA), CLogs::OPEN);
    Feed({"$GPGGA,2*00\r\n"});
    EXPECT_EQ(logs->iLogState(CLogs::NMEA), CLogs::CLOSED);
    app.wLogFlags.store(LOG_NMEA);
    Feed({"$GPGGA,3*00\r\n"});
    EXPECT_EQ(File("n.log"), "kept\r\n$GPGGA,1*00\r\n$GPGGA,3*00\r\n");
}

TEST_F(LogsTest, FileEmptiedMeanwhileGetsNoHole) {
    gps->Info.Settings.NMEALogConfig.eGGA = RATE_1HZ;
    Name(LOGFILE_NMEA, "n.log");
    app.wLogFlags.store(LOG_NMEA);
    Feed({"$GPGGA,first sentence*00\r\n"});
    ASSERT_EQ(::truncate((dir / "n.log").c_str(), 0), 0);
    Feed({"$GPGGA,2*00\r\n"});
    EXPECT_EQ(File("n.log"), "$GPGGA,2*00\r\n");
}

TEST_F(LogsTest, NewNameOrRestartBetweenTwoFramesReopensOnTheCurrentName) {
    gps->Info.Settings.NMEALogConfig.eGGA = RATE_1HZ;
    gps->Info.Settings.BinLogRates.eBIN1 = RATE_1HZ;
    Name(LOGFILE_NMEA, "a.log");
    Name(LOGFILE_BIN, "b1.log");
    app.wLogFlags.store(LOG_NMEA | LOG_BIN);
    Feed({"$GPGGA,1*00\r\n", Bin(1, 52)});
    // The bit stays set throughout; only the names change.
    Name(LOGFILE_NMEA, "c.log");
    Feed({"$GPGGA,2*00\r\n", Bin(1, 52)});
    // Stopped and started again on the same name after the file was moved away.
    fs::rename(dir / "c.log", dir / "moved.log");
    Name(LOGFILE_NMEA, "c.log");
    Feed({"$GPGGA,3*00\r\n"});
    EXPECT_EQ(File("a.log"), "$GPGGA,1*00\r\n");
    EXPECT_EQ(File("moved.log"), "$GPGGA,2*00\r\n");
    EXPECT_EQ(File("c.log"), "$GPGGA,3*00\r\n");
    EXPECT_EQ(File("b1.log"), Bin(1, 52) + Bin(1, 52));
}

TEST_F(LogsTest, UnopenableFileIsReportedOnceAndOnlyThatLogStops) {
    gps->Info.Settings.NMEALogConfig.eGGA = RATE_1HZ;
    gps->Info.Settings.BinLogRates.eBIN1 = RATE_1HZ;
    app.SetLogFile(LOGFILE_NMEA, (dir / "missing" / "n.log").string());
    Name(LOGFILE_BIN, "b.log");
    app.bNMEALogOn.store(1);
    app.bBinLogOn.store(1);
    app.wLogFlags.store(LOG_NMEA | LOG_BIN);
    for (int i = 0; i < 5; ++i) Feed({"$GPGGA,1*00\r\n", Bin(1, 52)});
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_NE(notices[0].find((dir / "missing" / "n.log").string()), std::string::npos);
    EXPECT_NE(notices[0].find("No such file or directory"), std::string::npos);
    EXPECT_EQ(app.wLogFlags.load(), static_cast<uint32_t>(LOG_BIN));
    EXPECT_EQ(app.bNMEALogOn.load(), 0);
    EXPECT_EQ(app.bBinLogOn.load(), 1);
    EXPECT_EQ(logs->iLogState(CLogs::NMEA), CLogs::CLOSED);
    std::string five;
    for (int i = 0; i < 5; ++i) five += Bin(1, 52);
    EXPECT_EQ(File("b.log"), five);
}

// A pipe given as a log name would hold the reader thread in open(); each log refuses it.
TEST_F(LogsTest, PipeNamedAsALogIsRefusedWithoutBlocking) {
    gps->Info.Settings.NMEALogConfig.eGGA = RATE_1HZ;
    gps->Info.Settings.NMEALogConfig.eBIN95 = RATE_1HZ;
    gps->Info.Settings.BinLogRates.eBIN1 = RATE_1HZ;
    const struct {
        eLogFile name;
        uint32_t bit;
        std::atomic<int> AppShared::*running;
        bool reader;  // someone holds the pipe open for reading
    } cases[] = {
        {LOGFILE_NMEA, LOG_NMEA, &AppShared::bNMEALogOn, false},
        {LOGFILE_RAW, LOG_RAW, &AppShared::bRawLogOn, false},
        {LOGFILE_BIN, LOG_BIN, &AppShared::bBinLogOn, true},
    };
    for (const auto& c : cases) {
        const std::string fifo = (dir / ("pipe" + std::to_string(c.name))).string();
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
            // Let the blocked open go so the test ends with its failure.
            const int unblock = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
            fed.wait();
            ::close(unblock);
            ADD_FAILURE() << "the log blocked on " << fifo;
        }
        if (reader >= 0) ::close(reader);
        ASSERT_EQ(notices.size(), 1u) << fifo;
        EXPECT_NE(notices[0].find("\"" + fifo + "\": not a regular file"), std::string::npos)
            << notices[0];
        EXPECT_EQ(app.wLogFlags.load(), 0u) << fifo;
        EXPECT_EQ((app.*c.running).load(), 0) << fifo;
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
    // No point pending: nothing written.
    app.wLogFlags.store(LOG_POINT_SENTENCES);
    app.bPointSentenceLogOn.store(1);
    Feed({gga1, gsv(1, 1, 'x')});
    EXPECT_EQ(File("p.log"), "");

    // A point logged while a set is half received: the set written starts at message 1. The
    // NMEA log beside it goes on.
    Name(LOGFILE_NMEA, "n.log");
    gps->Info.Settings.NMEALogConfig.eGGA = RATE_1HZ;
    app.wLogFlags.store(LOG_NMEA | LOG_POINT_SENTENCES);
    app.bPointGGAPending.store(1);
    app.bPointGSVPending.store(1);
    Feed({gsv(3, 2, 'a'), gsv(3, 3, 'a'), "$GPVTG,1*00\r\n", gga2});
    EXPECT_EQ(app.bPointGGAPending.load(), 0);
    EXPECT_EQ(app.wLogFlags.load(), static_cast<uint32_t>(LOG_NMEA | LOG_POINT_SENTENCES));
    Feed({gsv(3, 1, 'b'), gsv(3, 2, 'b'), gsv(3, 1, 'c'), gsv(3, 2, 'c'), gsv(3, 3, 'c'),
          gsv(3, 1, 'd')});
    EXPECT_EQ(File("p.log"), gga2 + gsv(3, 1, 'c') + gsv(3, 2, 'c') + gsv(3, 3, 'c'));
    EXPECT_EQ(app.bPointGSVPending.load(), 0);
    EXPECT_EQ(app.bPointSentenceLogOn.load(), 0);
    EXPECT_EQ(app.wLogFlags.load(), static_cast<uint32_t>(LOG_NMEA));
    Feed({gga1});
    EXPECT_EQ(logs->iLogState(CLogs::POINT), CLogs::CLOSED);
    EXPECT_EQ(File("n.log"), gga2 + gga1);

    // Sets of more than four messages are not collected; a kept sentence is cut to 299.
    app.wLogFlags.store(LOG_POINT_SENTENCES);
    app.bPointGSVPending.store(1);
    const std::string longGsv = "$GPGSV,1,1," + std::string(320, '9') + "\r\n";
    Feed({gsv(5, 1, 'e'), longGsv});
    EXPECT_EQ(File("p.log"),
              gga2 + gsv(3, 1, 'c') + gsv(3, 2, 'c') + gsv(3, 3, 'c') + longGsv.substr(0, 299));
}

}  // namespace
