// The dispatcher behind the reader thread: sentences written by a simulated receiver on a
// pseudo-terminal, framed by the reader thread and decoded into the record.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "engine/appstate.h"
#include "engine/decoder_cases.h"
#include "engine/gps.h"
#include "engine/nmea.h"
#include "engine/reader_sinks.h"
#include "engine/scomm.h"
#include "engine/thread.h"
#include "support/receiver_simulator.h"

namespace {

using decoder_cases::Nmea;

constexpr int kCom = 7;

// Polls a condition with a generous deadline; the condition decides, never the time.
template <class Pred>
bool Eventually(Pred pred) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

// No answers on standard output and no archive files from the tests.
void Quiet(CNMEA& nmea) {
    nmea.PkrvNMEA.Responder = [](const std::string&) {};
    nmea.PkrvNMEA.SaveArchive = [] { return true; };
    nmea.PkrvNMEA.LoadArchive = [] { return true; };
}

// A receiver on a pseudo-terminal, the port opened on it and a reader thread feeding a
// fresh record through the production sinks.
class ReaderFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim_.ok()) << sim_.error();
        sim_.InstallAsCom(kCom);
        ASSERT_EQ(comm_.OpenPort(kCom, 57600), COMM_OK) << comm_.LastOpenError();
        App().bBin1Position.store(0);
        App().bDemoMode.store(0);
        App().bPortOpen.store(1);
        Quiet(*nmea_);
    }
    void TearDown() override {
        StopReader();
        App().bPortOpen.store(0);
        comm_.ClosePort();
    }

    void StartReader() {
        sinks_ = std::make_unique<EngineSinks>(gps_.get(), nmea_.get());
        thread_ = std::make_unique<CGPSThread>(&comm_, sinks_.get());
        ASSERT_TRUE(thread_->Start());
    }
    void StopReader() {
        if (thread_) {
            EXPECT_TRUE(thread_->Stop(30000));
        }
        thread_.reset();
    }

    // Sends the sentences and waits until the dispatcher has seen them all.
    bool SendAndWait(const std::vector<std::string>& sentences) {
        const long target = CNMEA::SentenceCount() + static_cast<long>(sentences.size());
        std::string bytes;
        for (const std::string& s : sentences) bytes += s;
        sim_.Send(bytes);
        return Eventually([&] { return CNMEA::SentenceCount() >= target; });
    }

    testsupport::ReceiverSimulator sim_;
    SComm comm_;
    std::unique_ptr<CGPS> gps_ = std::make_unique<CGPS>();
    std::unique_ptr<CNMEA> nmea_ = std::make_unique<CNMEA>();
    std::unique_ptr<EngineSinks> sinks_;
    std::unique_ptr<CGPSThread> thread_;
};

TEST_F(ReaderFixture, EveryFamilyDecodesThroughTheReaderThread) {
    // Split writes make the reader complete sentences across passes.
    sim_.SetChunkSizes({5, 64, 1, 200});
    for (const decoder_cases::Case& c : decoder_cases::AllFamilies()) {
        SCOPED_TRACE(c.name);
        gps_ = std::make_unique<CGPS>();
        nmea_ = std::make_unique<CNMEA>();
        Quiet(*nmea_);
        if (c.setup) c.setup(gps_->Info);
        StartReader();
        ASSERT_TRUE(SendAndWait(c.sentences));
        StopReader();
        c.check(gps_->Info);
        EXPECT_EQ(gps_->Info.Comm.iChecksumErrors, 0);
    }
}

TEST_F(ReaderFixture, ChecksumErrorsAreCountedOnTheWire) {
    StartReader();
    std::string bad = Nmea(decoder_cases::kGGA);
    bad[bad.size() - 4] = bad[bad.size() - 4] == '1' ? '2' : '1';
    ASSERT_TRUE(SendAndWait({bad, "noise before the dollar " + bad, Nmea("GPZDA,1")}));
    StopReader();
    EXPECT_EQ(gps_->Info.Comm.iChecksumErrors, 2);
    EXPECT_EQ(gps_->Info.Nav.iLatDeg, 0);
}

TEST_F(ReaderFixture, ScreenNeverSeesAHalfWrittenPosition) {
    StartReader();
    const std::vector<std::string> two = {
        Nmea("GPGGA,101010.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,2.0,0000"),
        Nmea("GPGGA,202020.00,3355.500,S,15112.250,W,2,11,1.1,12.5,M,46.9,M,1.0,0000")};
    sim_.Stream(two, 1, true);
    int seen = 0;
    Eventually([&] {
        RecordLock hold(gps_->Info.Nav.ulNavLock);
        const NavInfo& n = gps_->Info.Nav;
        if (n.iLatDeg == 48) {
            EXPECT_EQ(n.cLonDir, 'E');
            EXPECT_EQ(n.iHour, 10);
            EXPECT_DOUBLE_EQ(n.dLatMin, 7.038);
            ++seen;
        } else if (n.iLatDeg == 33) {
            EXPECT_EQ(n.cLonDir, 'W');
            EXPECT_EQ(n.iHour, 20);
            EXPECT_DOUBLE_EQ(n.dLonMin, 12.25);
            ++seen;
        }
        return seen >= 200;
    });
    sim_.FallSilent();
    EXPECT_GE(seen, 200);
}

// Valid sentences of every family, cut at random places, mixed with random bytes.
std::string SoakBytes(std::mt19937& rng, size_t total) {
    std::vector<std::string> sentences;
    for (const decoder_cases::Case& c : decoder_cases::AllFamilies())
        for (const std::string& s : c.sentences) sentences.push_back(s);
    sentences.push_back("$PKRV,SETUP,SHOW\r\n");
    sentences.push_back("$PKRV,HELP\r\n");
    sentences.push_back("$BIN1");
    std::string out;
    out.reserve(total + 512);
    std::uniform_int_distribution<int> byte(0, 255);
    while (out.size() < total) {
        const std::string& s = sentences[rng() % sentences.size()];
        switch (rng() % 4) {
            case 0:
                out += s;
                break;
            case 1:
                out += s.substr(0, rng() % (s.size() + 1));
                break;
            case 2:
                for (int k = static_cast<int>(rng() % 64); k > 0; --k)
                    out += static_cast<char>(byte(rng));
                break;
            default: {
                std::string t = s;
                for (int k = static_cast<int>(rng() % 4); k > 0; --k)
                    t[rng() % t.size()] = static_cast<char>(byte(rng));
                out += t;
            }
        }
        if (rng() % 97 == 0) out += std::string(rng() % 600, ',');
    }
    return out;
}

// After any junk: a line long enough to abandon whatever was being collected, then a known
// position.
const std::string kFlush = std::string(430, 'x') + "\r\n";
const std::string kSentinel =
    Nmea("GPGGA,111111.00,1234.500,N,12345.500,E,1,05,1.0,10.0,M,0.0,M,,");

TEST_F(ReaderFixture, SoakOfRandomBytesThroughThePort) {
    sim_.SetChunkSizes({4096, 17, 999, 1});
    g_GPS.SetReceiverType(RECEIVER_GPS);
    StartReader();
    std::mt19937 rng(20240601);
    const std::string bytes = SoakBytes(rng, 768 * 1024);
    for (size_t at = 0; at < bytes.size(); at += 65536) sim_.Send(bytes.substr(at, 65536));
    sim_.Send(kFlush + kSentinel);
    EXPECT_TRUE(Eventually([&] {
        RecordLock hold(gps_->Info.Nav.ulNavLock);
        return gps_->Info.Nav.iLatDeg == 12 && gps_->Info.Nav.iLonDeg == 123;
    }));
    StopReader();
    EXPECT_DOUBLE_EQ(gps_->Info.Nav.dLatMin, 34.5);
    EXPECT_EQ(gps_->Info.Nav.ulNavLock, 0u);
    EXPECT_EQ(gps_->Info.ulPart1Lock, 0u);
}

// What the last well-formed "$GPGGA" line of a capture says about latitude degrees, or -1.
int LastGgaLatitudeDegrees(const std::string& bytes) {
    int result = -1;
    size_t at = 0;
    while ((at = bytes.find("$GPGGA,", at)) != std::string::npos) {
        const size_t end = bytes.find("\r\n", at);
        if (end == std::string::npos) break;
        const std::string line = bytes.substr(at, end - at);
        at = end;
        const size_t star = line.find('*');
        if (line.size() > 419 || star == std::string::npos ||
            line.find('$', 1) != std::string::npos)
            continue;
        unsigned sum = 0;
        for (size_t k = 1; k < star; ++k) sum ^= static_cast<unsigned char>(line[k]);
        if (std::strtoul(line.c_str() + star + 1, nullptr, 16) != sum) continue;
        // Field 2 of the line: latitude ddmm.mmmm.
        size_t field = 0;
        for (int commas = 0; commas < 2; ++commas) field = line.find(',', field) + 1;
        const std::string lat = line.substr(field, line.find(',', field) - field);
        result = lat.size() >= 2 ? std::stoi(lat.substr(0, 2)) : 0;
    }
    return result;
}

TEST_F(ReaderFixture, RealReceiverCapturesDecode) {
    const std::filesystem::path folder = std::filesystem::path(TESSARAY_CAPTURES);
    ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
    int withPosition = 0;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".log") continue;
        SCOPED_TRACE(entry.path().filename().string());
        ++files;
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        auto gps = std::make_unique<CGPS>();
        auto nmea = std::make_unique<CNMEA>();
        Quiet(*nmea);
        EngineSinks sinks(gps.get(), nmea.get());
        CGPSThread framer(&comm_, &sinks);
        for (size_t at = 0; at < bytes.size(); at += 1000)
            framer.FrameBytes(bytes.data() + at, std::min<size_t>(1000, bytes.size() - at));

        const int latDeg = LastGgaLatitudeDegrees(bytes);
        const NavInfo& n = gps->Info.Nav;
        if (latDeg > 0) {
            ++withPosition;
            EXPECT_EQ(n.iLatDeg, latDeg);
            EXPECT_TRUE(n.cLatDir == 'N' || n.cLatDir == 'S');
            EXPECT_TRUE(n.cLonDir == 'E' || n.cLonDir == 'W');
            EXPECT_GE(n.dLatMin, 0.0);
            EXPECT_LT(n.dLatMin, 60.0);
            EXPECT_LE(n.iLonDeg, 180);
        }
        EXPECT_EQ(n.ulNavLock, 0u);
    }
    EXPECT_GE(files, 10);
    EXPECT_GE(withPosition, 3);
}

}  // namespace
