// Receiver configuration files: the sectioned text reader and writer, the key table that fills
// variables from "key=value" lines, and the profile built on them.

#include "engine/Profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstring>

#include "engine/CfgIO.h"
#include "engine/appstate.h"
#include "engine/Parsable.h"
#include "engine/cfgarchive.h"
#include "engine/gps.h"
#include "engine/nmea.h"
#include "engine/tspan.h"
#include "platform/trace.h"
#include "support/temp_dir.h"
#include "wire_fixture.h"

namespace {

using testsupport::ReadBytes;
using testsupport::WriteBytes;
using wiretest::Concat;
using wiretest::Events;
using wiretest::Join;
using wiretest::PortStream;

TEST(Parsable, AssignmentsByKey) {
    int32_t elevation = 5;
    uint32_t freqKhz = 1;
    float freq = 1.0f;
    double lat = 1.0;
    ParseReset();
    ParseRegister("iElevation", &elevation);
    ParseRegister("ulFreqKhz", &freqKhz);
    ParseRegister("fFreq", &freq);
    ParseRegister("dRefLat", &lat);
    const std::tuple<const char*, bool, int32_t, uint32_t, float, double> cases[] = {
        {"iElevation = 12", true, 5, 1, 1.0f, 1.0},  // the key has a blank: unknown
        {"=12", false, 5, 1, 1.0f, 1.0},
        {"ulFreqKhz=-1", true, 5, 0xFFFFFFFFu, 1.0f, 1.0},
        {"ulFreqKhz=1545000kHz", true, 5, 1545000, 1.0f, 1.0},
        {"fFreq=301,5", true, 5, 1, 301.0f, 1.0},
        {"fFreq=1e39", true, 5, 1, HUGE_VALF, 1.0},
        {"dRefLat=12.25 N", true, 5, 1, 1.0f, 12.25},
    };
    for (const auto& [line, result, e, k, f, d] : cases) {
        std::tie(elevation, freqKhz, freq, lat) = std::tuple(5, 1u, 1.0f, 1.0);
        EXPECT_EQ(ParseLine(line), result) << line;
        EXPECT_EQ(std::tie(elevation, freqKhz, freq, lat), std::tie(e, k, f, d)) << line;
    }
    // A section ends at (and consumes) a line that is no assignment; the last one wins.
    CfgIo io;
    io.OpenText("iElevation=8\niElevation=9\n=bad\nfFreq=2.5\n");
    ParseSection(io);
    std::string line;
    ASSERT_TRUE(io.ReadData(line));
    EXPECT_EQ(Join(elevation, freq, line), "9 1 fFreq=2.5");
    ParseReset();
    static int32_t vars[51];
    static char names[51][8];
    for (int i = 0; i < 51; ++i) {
        std::snprintf(names[i], sizeof(names[i]), "i%d", i);
        ParseRegister(names[i], &vars[i]);
    }
    EXPECT_EQ(ParseTableCount(), 50);
    EXPECT_TRUE(platform::TraceContains("Exceeded parse table size!"));
    EXPECT_TRUE(ParseLine("i49=3") && vars[49] == 3);
    ParseLine("i50=3");
    EXPECT_EQ(vars[50], 0);
    ParseReset();
}

// The profile file written for the default settings.
std::string DefaultRcf() {
    std::string text =
        "[CurrentWizard]\r\niNMEABaudRate=57600\r\niRTCMBaudRate=9600\r\niElevation=5\r\n"
        "iMaxAge=3600\r\nulFreqKhz=1540000\r\niSymbolRate=1200\r\nfFreq=283.500000\r\n"
        "iBitRate=0\r\ndRefLat=0.000000\r\ndRefLon=0.000000\r\ndRefAlt=0.000000\r\neDfxPort=0\r\n";
    for (const char* section : {"[ThisPortConfig]", "[OtherPortConfig]"}) {
        text += std::string(section) + "\r\n";
        for (const char* key : {"eGGA", "eGLL", "eGSA", "eGST", "eGSV", "eRMC", "eRRE", "eVTG",
                                "eZDA", "eBIN95", "eBIN96", "eHEHDT", "eHEROT", "eHPR", "bRTCM"})
            text += std::string(key) + "=0\r\n";
    }
    text += "[BINLogRate]\r\n";
    for (const char* key :
         {"eBIN1", "eBIN2", "eBIN80", "eBIN95", "eBIN96", "eBIN97", "eBIN98", "eBIN99", "eD1"})
        text += std::string(key) + "=0\r\n";
    return text +
           "[GPSData]\r\nfHeading=0.000000\r\nfROT=0.000000\r\nfPitch=0.000000\r\n"
           "fRoll=0.000000\r\nfHDGTau=0.500000\r\nfHDGRateTau=2.000000\r\nfCOGTau=0.000000\r\n"
           "fSPDTau=0.000000\r\nfHBias=0.000000\r\nfPRBias=0.000000\r\nfManSep=0.500000\r\n"
           "fCurSep=0.500000\r\nbTiltAid=1\r\nbGyroAid=0\r\nbLevel=0\r\nbNegTilt=0\r\nbFLIPBRD="
           "0\r\n";
}

const Events kBinDefaults = wiretest::Lines(
    "$JBIN,1,0\r\n$JBIN,2,0\r\n$JBIN,80,0\r\n$JBIN,95,0\r\n$JBIN,96,0\r\n$JBIN,97,0\r\n"
    "$JBIN,98,0\r\n$JBIN,99,0\r\n$JASC,D1,0\r\n");

Events HeadingStream(const std::string& htau) {
    return wiretest::Lines(
        "$JATT,ROLL,YES\r\n$JATT,TILTAID,YES\r\n$JATT,GYROAID,NO\r\n$JATT,LEVEL,NO\r\n"
        "$JATT,NEGTILT,NO\r\n$JATT,FLIPBRD,NO\r\n$JATT,HTAU," +
        htau +
        "\r\n$JATT,HRTAU,2.000000\r\n"
        "$JATT,COGTAU,0.000000\r\n$JATT,SPDTAU,0.000000\r\n$JATT,HBIAS,0.000000\r\n"
        "$JATT,PBIAS,0.000000\r\n$JATT,MSEP,0.500000\r\n$JATT,CSEP,0.500000\r\n");
}

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override { gps->Info.Settings.WizardSnapshot.Init(); }
    testsupport::TempConfigDir dir;
    wiretest::Wire wire;
    std::unique_ptr<CGPS> gps = std::make_unique<CGPS>();
    std::string path = dir.root + "/test.rcf";
};

TEST_F(ProfileTest, SaveWritesTheSnapshotAndLoadReadsItBack) {
    ASSERT_TRUE(CProfile(gps.get()).Save(path));
    EXPECT_EQ(ReadBytes(path), DefaultRcf());
    EXPECT_TRUE(wire.Take().empty()) << "a save sends nothing";
    WizardInfo& snap = gps->Info.Settings.WizardSnapshot;
    std::tie(snap.iNMEABaudRate, snap.iRTCMBaudRate, snap.iElevation, snap.iMaxAge, snap.ulFreqKhz,
             snap.iSymbolRate, snap.fFreq, snap.iBitRate, snap.dRefLat, snap.dRefLon, snap.dRefAlt,
             snap.eDfxPort) = std::tuple(115200, 4800, 12, 60, 0xFFFFFFFFu, 2400, 301.5f, 2,
                                         -33.856812, 151.215302, 58.125, 3);
    std::tie(snap.ThisPortConfig.eGSA, snap.ThisPortConfig.bRTCM, snap.OtherPortConfig.eHPR) =
        std::tuple(2, 1, 5);
    gps->Info.Settings.WizardLive.iElevation = 7;  // not saved
    std::tie(gps->Info.Settings.BinLogRates.eBIN99, gps->Info.Nav.fHDGTau, gps->Info.Nav.bFLIPBRD) =
        std::tuple(4, 1.25f, 1);
    ASSERT_TRUE(CProfile(gps.get()).Save(path));
    EXPECT_NE(ReadBytes(path).find("\r\nulFreqKhz=-1\r\n"), std::string::npos);
    snap.ulFreqKhz = 0x7FFFFFFFu;
    ASSERT_TRUE(CProfile(gps.get()).Save(path));
    auto other = std::make_unique<CGPS>();
    ASSERT_TRUE(CProfile(other.get()).Load(path));
    const WizardInfo& live = other->Info.Settings.WizardLive;
    EXPECT_EQ(Join(live.iNMEABaudRate, live.iRTCMBaudRate, live.iElevation, live.iMaxAge,
                   live.ulFreqKhz, live.iSymbolRate, live.fFreq, live.iBitRate),
              "115200 4800 12 60 2147483647 2400 301.5 2");
    EXPECT_EQ(Join(live.dRefLat, live.dRefLon, live.dRefAlt, live.eDfxPort),
              "-33.856812 151.215302 58.125 3");
    const NavInfo& nav = other->Info.Nav;
    EXPECT_EQ(Join(live.ThisPortConfig.eGSA, live.ThisPortConfig.bRTCM, live.OtherPortConfig.eHPR,
                   other->Info.Settings.BinLogRates.eBIN99, nav.fHDGTau, nav.bFLIPBRD),
              "2 1 5 4 1.25 1");
}

// A position the receiver reported is saved as the entries and the files take it, and a file
// is judged by the values it holds, not by those it leaves as they were.
TEST_F(ProfileTest, WhatTheReceiverReportedSavesAndLoadsBack) {
    std::string reply = "$>JRTK,1,51.123456,358.765432,123.400\r\n";
    CNMEA().bParseNMEA(&gps->Info, reply.data());
    TSpan(gps.get()).SaveReference();
    gps->Info.Settings.WizardSnapshot = gps->Info.Settings.WizardLive;
    ASSERT_TRUE(CProfile(gps.get()).Save(path));
    const std::string saved = ReadBytes(path);
    EXPECT_NE(saved.find("\r\ndRefLat=51.123456\r\ndRefLon=-1.234568\r\ndRefAlt=123.400000\r\n"),
              std::string::npos);
    CProfile profile(gps.get());
    ASSERT_TRUE(profile.Load(path)) << profile.LastError();
    gps->Info.Settings.WizardSnapshot = gps->Info.Settings.WizardLive;
    ASSERT_TRUE(CProfile(gps.get()).Save(path));
    EXPECT_EQ(ReadBytes(path), saved);
    // Live values no file holds: the example file of a single heading setting still loads.
    gps->Info.Settings.WizardLive.dRefLon = 358.765432;
    gps->Info.Settings.WizardLive.iNMEABaudRate = 1234;
    WriteBytes(path, "[GPSData]\r\nfHDGTau=1.5\r\n");
    wire.Take();
    ASSERT_TRUE(profile.Load(path)) << profile.LastError();
    EXPECT_EQ(gps->Info.Nav.fHDGTau, 1.5f);
    EXPECT_EQ(gps->Info.Settings.WizardLive.dRefLon, 358.765432);
    EXPECT_FALSE(wire.Take().empty());
}

// Whatever the receiver reports, the file saved from it loads back and saves to the same bytes;
// a value no setting can take is not taken and the one before stays.
TEST_F(ProfileTest, EveryFileSavedFromTheReceiverLoadsBackUnchanged) {
    // clang-format off
    const struct { const char* replies; const char* saved; } cases[] = {
        {"$>JSHOW,BAUD,19200\r\n$>JSHOW,BAUD,230400\r\n", "\r\niNMEABaudRate=19200\r\n"},
        {"$>JSHOW,BAUD,4800,OTHER\r\n$>JSHOW,BAUD,1200,OTHER\r\n", "\r\niRTCMBaudRate=4800\r\n"},
        {"$>JSHOW,BAUD,9600,OTHER\r\n$> JBAUD,14400\r\n", "\r\niRTCMBaudRate=9600\r\n"},
        {"$>JGEO,Sent,FREQ=1545.5,ID=7,LON=1,EL=2,AZ=3\r\n$>JGEO,Sent,FREQ=1600.5,ID=-1,LON=1,EL=2,AZ=3\r\n",
         "\r\nulFreqKhz=1545500\r\niSymbolRate=7\r\n"},
        {"$>JGEO,Sent,FREQ=1545.5,ID=7,LON=1,EL=2,AZ=3\r\n$>JGEO,Sent,FREQ=3000000,ID=9,LON=1,EL=2,AZ=3\r\n",
         "\r\nulFreqKhz=1545500\r\niSymbolRate=7\r\n"},
        {"$>JRTK,1,51.5,2.25,10\r\n$>JRTK,1,95,2.25,1e12\r\n",
         "\r\ndRefLat=51.500000\r\ndRefLon=2.250000\r\ndRefAlt=10.000000\r\n"},
        {"$>JRTK,1,-90,359.9999999,-99999999999\r\n",
         "\r\ndRefLat=-90.000000\r\ndRefLon=0.000000\r\ndRefAlt=-99999999999.000000\r\n"},
        {"$>JRTK,1,1,nan,inf\r\n", "\r\ndRefLat=1.000000\r\ndRefLon=0.000000\r\ndRefAlt=0.000000\r\n"},
        {"$>JRTK,1,1,2.5,1\r\n$>JRTK,1,1,1e308,1\r\n$>JRTK,1,1,-361,1\r\n", "\r\ndRefLon=2.500000\r\n"},
        {"$>JATT,HBIAS,-180\r\n$>JATT,HBIAS,200\r\n$>JATT,PBIAS,15\r\n$>JATT,PBIAS,-15.5\r\n",
         "\r\nfHBias=-180.000000\r\nfPRBias=15.000000\r\n"},
        {"$>JATT,HTAU,2\r\n$>JATT,HTAU,inf\r\n", "\r\nfHDGTau=2.000000\r\n"},
        {"$>JATT,HBIAS,100\r\n$>JATT,HBIAS,nan\r\n$>JATT,HBIAS,1e39\r\n", "\r\nfHBias=100.000000\r\n"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.replies);
        auto first = std::make_unique<CGPS>();
        wire.device.onWrite = [&](const std::string& command) {
            App().uRepliesHeard.fetch_add(1);
            if (command != "$JRTK\r\n") return;
            std::string replies = c.replies;
            for (size_t at = 0, end; (end = replies.find('\n', at)) != std::string::npos;
                 at = end + 1) {
                std::string reply = replies.substr(at, end + 1 - at);
                CNMEA().bParseNMEA(&first->Info, reply.data());
            }
        };
        first->ReadConfig(first->Info.Settings.WizardLive);
        wire.device.onWrite = nullptr;
        ASSERT_TRUE(CProfile(first.get()).Save(path));
        const std::string saved = ReadBytes(path);
        EXPECT_NE(saved.find(c.saved), std::string::npos) << saved;
        auto second = std::make_unique<CGPS>();
        CProfile profile(second.get());
        ASSERT_TRUE(profile.Load(path)) << profile.LastError();
        second->Info.Settings.WizardSnapshot = second->Info.Settings.WizardLive;
        ASSERT_TRUE(CProfile(second.get()).Save(path));
        EXPECT_EQ(ReadBytes(path), saved);
        wire.Take();
    }
    // Settings never read back save as zeros; the bauds of such a file leave the ports' bauds.
    auto fresh = std::make_unique<CGPS>();
    ASSERT_TRUE(CProfile(fresh.get()).Save(path));
    EXPECT_NE(ReadBytes(path).find("\r\niNMEABaudRate=0\r\niRTCMBaudRate=0\r\n"), std::string::npos);
    WizardInfo& live = gps->Info.Settings.WizardLive;
    std::tie(live.iNMEABaudRate, live.iRTCMBaudRate) = std::tuple(19200, 38400);
    CProfile profile(gps.get());
    ASSERT_TRUE(profile.Load(path)) << profile.LastError();
    EXPECT_EQ(Join(live.iNMEABaudRate, live.iRTCMBaudRate, live.iElevation), "19200 38400 0");
}

// Failures name the file and the OS error; a pipe never blocks; a failed save keeps the old.
TEST_F(ProfileTest, FailuresNameTheFileAndTheOsError) {
    WriteBytes(dir.root + "/plainfile", "x");
    const std::string fifo = dir.root + "/pipe.rcf", old = "[GPSData]\r\nfHDGTau=1.5\r\n";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    WriteBytes(path, old);
    CProfile profile(gps.get());
    EXPECT_FALSE(profile.Save(dir.root + "/plainfile/test.rcf"));
    EXPECT_EQ(profile.LastError(),
              "cannot write " + dir.root + "/plainfile/test.rcf: Not a directory");
    EXPECT_FALSE(profile.Load(fifo));
    EXPECT_EQ(profile.LastError(), "cannot read " + fifo + ": not a regular file");
    EXPECT_FALSE(profile.Save(fifo));
    EXPECT_EQ(profile.LastError(), "cannot write " + fifo + ": not a regular file");
    {
        wiretest::FileSizeLimit limit(100);
        EXPECT_FALSE(profile.Save(path));
    }
    EXPECT_EQ(profile.LastError(), "cannot write " + path + ": File too large");
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.root), {}), 3);
    EXPECT_FALSE(profile.Load(dir.root + "/missing.rcf"));
    EXPECT_TRUE(wire.Take().empty());
}

TEST_F(ProfileTest, LoadIsTolerantAndSendsThePortsBinaryRatesAndHeading) {
    // LF only, sections out of order, other letter case, unknown keys, bad numbers.
    WriteBytes(path,
               "[ThisPortConfig]\neGGA=4\n"
               "[BINLogRate]\nEBIN1=2\neD1= +0 \nnoSuchKey=1\n"
               "[Mystery]\nfoo=1\n"
               "[GPSData]\nfhdgtau=1.5\n"
               "[CurrentWizard]\niElevation=9\n[otherportconfig]\neGGA=3\n");
    gps->Info.Settings.BinLogRates.eD1 = 3;
    ASSERT_TRUE(CProfile(gps.get()).Load(path));
    const WizardInfo& live = gps->Info.Settings.WizardLive;
    EXPECT_EQ(live.ThisPortConfig.eGGA, 0) << "a port section needs a wizard section first";
    EXPECT_EQ(Join(live.OtherPortConfig.eGGA, live.iElevation), "3 9");
    EXPECT_EQ(gps->Info.Settings.BinLogRates.eBIN1, 2);
    EXPECT_EQ(gps->Info.Settings.BinLogRates.eD1, 0) << "a sign and blanks around a number";
    EXPECT_EQ(gps->Info.Nav.fHDGTau, 1.5f);
    EXPECT_EQ(gps->Info.Nav.fManSep, 0.5f) << "a key the file does not hold keeps its value";
    Events bin = kBinDefaults;
    bin[0] = "$JBIN,1,1\r\n";  // rate code 2 is 1 Hz
    EXPECT_EQ(wire.Take(),
              Concat({PortStream("\r\n"), PortStream(",OTHER\r\n\r\n", {{"GPGGA", "5"}}), bin,
                      HeadingStream("1.500000")}));
}

// A file that sets every key to a value its field may hold, none of them the default.
std::string FullRcf() {
    std::string text =
        "[CurrentWizard]\r\niNMEABaudRate=115200\r\niRTCMBaudRate=4800\r\niElevation=90\r\n"
        "iMaxAge=60\r\nulFreqKhz=1545000\r\niSymbolRate=2400\r\nfFreq=301.500000\r\n"
        "iBitRate=2\r\ndRefLat=-90.000000\r\ndRefLon=180.000000\r\ndRefAlt=-12.500000\r\n"
        "eDfxPort=3\r\n";
    const char* const keys[] = {"eGGA", "eGLL", "eGSA",   "eGST",   "eGSV",   "eRMC",   "eRRE",
                                "eVTG", "eZDA", "eBIN95", "eBIN96", "eHEHDT", "eHEROT", "eHPR"};
    for (const char* section : {"[ThisPortConfig]", "[OtherPortConfig]"}) {
        text += std::string(section) + "\r\n";
        int code = section[1] == 'T' ? 0 : 3;
        for (const char* key : keys)
            text += std::string(key) + "=" + std::to_string(code++ % 6) + "\r\n";
        text += "bRTCM=1\r\n";
    }
    text +=
        "[BINLogRate]\r\neBIN1=5\r\neBIN2=4\r\neBIN80=3\r\neBIN95=2\r\neBIN96=1\r\n"
        "eBIN97=0\r\neBIN98=5\r\neBIN99=4\r\neD1=3\r\n";
    return text +
           "[GPSData]\r\nfHeading=359.500000\r\nfROT=-3.000000\r\nfPitch=1.000000\r\n"
           "fRoll=-2.000000\r\nfHDGTau=1.500000\r\nfHDGRateTau=3.000000\r\nfCOGTau=4.000000\r\n"
           "fSPDTau=5.000000\r\nfHBias=0.250000\r\nfPRBias=-0.250000\r\nfManSep=1.000000\r\n"
           "fCurSep=2.000000\r\nbTiltAid=0\r\nbGyroAid=1\r\nbLevel=1\r\nbNegTilt=1\r\nbFLIPBRD="
           "1\r\n";
}

// What loading FullRcf() sends: both ports, the binary rates, the heading settings.
Events FullRcfStream() {
    return Concat({PortStream("\r\n", {{"GPGLL", "0.2"},
                                       {"GPGSA", "1"},
                                       {"GPGST", "5"},
                                       {"GPGSV", "10"},
                                       {"GPRMC", "20"},
                                       {"GPVTG", "0.2"},
                                       {"GPZDA", "1"},
                                       {"95", "5"},
                                       {"96", "10"},
                                       {"HEHDT", "20"},
                                       {"HEROT", "0"},
                                       {"HPR", "0.2"},
                                       {"GPRRE", "0"},
                                       {"GPGGA", "0"}}),
                   PortStream(",OTHER\r\n\r\n", {{"GPGGA", "5"},
                                                 {"GPGLL", "10"},
                                                 {"GPGSA", "20"},
                                                 {"GPGST", "0"},
                                                 {"GPGSV", "0.2"},
                                                 {"GPRMC", "1"},
                                                 {"GPRRE", "5"},
                                                 {"GPVTG", "10"},
                                                 {"GPZDA", "20"},
                                                 {"95", "0"},
                                                 {"96", "0.2"},
                                                 {"HEHDT", "1"},
                                                 {"HEROT", "5"},
                                                 {"HPR", "10"}}),
                   wiretest::Lines("$JBIN,1,20\r\n$JBIN,2,10\r\n$JBIN,80,5\r\n$JBIN,95,1\r\n"
                                   "$JBIN,96,0.2\r\n$JBIN,97,0\r\n$JBIN,98,20\r\n$JBIN,99,10\r\n"
                                   "$JASC,D1,5\r\n"),
                   wiretest::Lines(
                       "$JATT,ROLL,YES\r\n$JATT,TILTAID,NO\r\n$JATT,GYROAID,YES\r\n"
                       "$JATT,LEVEL,YES\r\n$JATT,NEGTILT,YES\r\n$JATT,FLIPBRD,YES\r\n"
                       "$JATT,HTAU,1.500000\r\n$JATT,HRTAU,3.000000\r\n$JATT,COGTAU,4.000000\r\n"
                       "$JATT,SPDTAU,5.000000\r\n$JATT,HBIAS,0.250000\r\n"
                       "$JATT,PBIAS,-0.250000\r\n$JATT,MSEP,1.000000\r\n$JATT,CSEP,2.000000\r\n")});
}

TEST_F(ProfileTest, AFileOfValidValuesLoadsAndSavesAsItIs) {
    WriteBytes(path, FullRcf());
    CProfile profile(gps.get());
    ASSERT_TRUE(profile.Load(path)) << profile.LastError();
    EXPECT_EQ(wire.Take(), FullRcfStream());
    gps->Info.Settings.WizardSnapshot = gps->Info.Settings.WizardLive;
    ASSERT_TRUE(CProfile(gps.get()).Save(path));
    EXPECT_EQ(ReadBytes(path), FullRcf());
}

// One value outside what its field holds refuses the whole file: nothing is sent and the
// settings stay as they were.
TEST_F(ProfileTest, AValueItsFieldCannotHoldRefusesTheFile) {
    // The line replaced (its first occurrence after the label), the new line, the fault.
    // clang-format off
    const struct { const char *label, *line, *bad, *fault; } cases[] = {
        {"[ThisPortConfig]", "eGGA=0", "eGGA=9", "eGGA=9 in [ThisPortConfig] is not a rate code (0 to 5)"},
        {"[OtherPortConfig]", "eHPR=4", "eHPR=-1", "eHPR=-1 in [OtherPortConfig] is not a rate code (0 to 5)"},
        {"[OtherPortConfig]", "bRTCM=1", "bRTCM=2", "bRTCM=2 in [OtherPortConfig] is not 0 or 1"},
        {"[BINLogRate]", "eBIN95=2", "eBIN95=6", "eBIN95=6 in [BINLogRate] is not a rate code (0 to 5)"},
        {"[BINLogRate]", "eD1=3", "eD1=x6", "eD1=x6 in [BINLogRate] is not a rate code (0 to 5)"},
        {"[CurrentWizard]", "eDfxPort=3", "eDfxPort=9",
         "eDfxPort=9 in [CurrentWizard] is not an output port (0 NONE, 1 PORTA, 2 PORTB, 3 PORTC)"},
        {"[CurrentWizard]", "iBitRate=2", "iBitRate=3",
         "iBitRate=3 in [CurrentWizard] is not a beacon bit rate (0 auto, 1 100 bps, 2 200 bps)"},
        {"[CurrentWizard]", "dRefLat=-90.000000", "dRefLat=1e300",
         "dRefLat=1e300 in [CurrentWizard] is not a latitude (-90 to 90 degrees)"},
        {"[CurrentWizard]", "dRefLat=-90.000000", "dRefLat=-90.0000001",
         "dRefLat=-90.0000001 in [CurrentWizard] is not a latitude (-90 to 90 degrees)"},
        {"[CurrentWizard]", "dRefLon=180.000000", "dRefLon=-180.5",
         "dRefLon=-180.5 in [CurrentWizard] is not a longitude (-180 to 180 degrees)"},
        {"[CurrentWizard]", "dRefAlt=-12.500000", "dRefAlt=1e999", "dRefAlt=1e999 in [CurrentWizard] is not a height (-99999999999 to 999999999999 meters)"},
        {"[CurrentWizard]", "dRefAlt=-12.500000", "dRefAlt=-Infinity", "dRefAlt=-Infinity in [CurrentWizard] is not a height (-99999999999 to 999999999999 meters)"},
        {"[CurrentWizard]", "dRefLat=-90.000000", "dRefLat=nan",
         "dRefLat=nan in [CurrentWizard] is not a latitude (-90 to 90 degrees)"},
        {"[CurrentWizard]", "dRefAlt=-12.500000", "dRefAlt=1e-999", nullptr},  // too small: kept
        {"[GPSData]", "bLevel=1", "bLevel=2", "bLevel=2 in [GPSData] is not 0 or 1"},
        {"[CurrentWizard]", "fFreq=301.500000", "fFreq=1e39", "fFreq=1e39 in [CurrentWizard] is not a finite frequency"},
        {"[CurrentWizard]", "fFreq=301.500000", "fFreq=nan", "fFreq=nan in [CurrentWizard] is not a finite frequency"},
        {"[GPSData]", "fROT=-3.000000", "fROT=-1e40", "fROT=-1e40 in [GPSData] is not a finite number"},
        {"[GPSData]", "fROT=-3.000000", "fROT=-3e38", nullptr},  // within a float
        {"[GPSData]", "fManSep=1.000000", "fManSep=bad", "fManSep=bad in [GPSData] is not a finite number"},
        // Every key of the wizard section, each within the limits of what it is sent as.
        {"[CurrentWizard]", "ulFreqKhz=1545000", "ulFreqKhz=-1",
         "ulFreqKhz=-1 in [CurrentWizard] is not a frequency in kHz (0 to 2147483647)"},
        {"[CurrentWizard]", "ulFreqKhz=1545000", "ulFreqKhz=L-band",
         "ulFreqKhz=L-band in [CurrentWizard] is not a frequency in kHz (0 to 2147483647)"},
        {"[CurrentWizard]", "ulFreqKhz=1545000", "ulFreqKhz=2147483647", nullptr},
        {"[CurrentWizard]", "iSymbolRate=2400", "iSymbolRate=-99",
         "iSymbolRate=-99 in [CurrentWizard] is not a symbol rate (0 to 2147483647)"},
        {"[CurrentWizard]", "iMaxAge=60", "iMaxAge=99999999999",
         "iMaxAge=99999999999 in [CurrentWizard] is not a whole number of seconds"},
        {"[CurrentWizard]", "iMaxAge=60", "iMaxAge=-5", nullptr},  // the setup screen clamps it
        {"[CurrentWizard]", "iElevation=90", "iElevation=-2147483649",
         "iElevation=-2147483649 in [CurrentWizard] is not a whole number of degrees"},
        {"[CurrentWizard]", "iElevation=90", "iElevation=120", nullptr},
        {"[CurrentWizard]", "iNMEABaudRate=115200", "iNMEABaudRate=1234",
         "iNMEABaudRate=1234 in [CurrentWizard] is not a baud rate (4800, 9600, 19200, 38400, 57600 or 115200)"},
        {"[CurrentWizard]", "iRTCMBaudRate=4800", "iRTCMBaudRate=fast",
         "iRTCMBaudRate=fast in [CurrentWizard] is not a baud rate (4800, 9600, 19200, 38400, 57600 or 115200)"},
        {"[CurrentWizard]", "dRefAlt=-12.500000", "dRefAlt=1e300",
         "dRefAlt=1e300 in [CurrentWizard] is not a height (-99999999999 to 999999999999 meters)"},
        {"[CurrentWizard]", "dRefAlt=-12.500000", "dRefAlt=1000000000000.5",
         "dRefAlt=1000000000000.5 in [CurrentWizard] is not a height (-99999999999 to 999999999999 meters)"},
        {"[CurrentWizard]", "dRefAlt=-12.500000", "dRefAlt=-100000000000.5",
         "dRefAlt=-100000000000.5 in [CurrentWizard] is not a height (-99999999999 to 999999999999 meters)"},
        {"[CurrentWizard]", "dRefAlt=-12.500000", "dRefAlt=999999999999", nullptr},
        {"[CurrentWizard]", "dRefAlt=-12.500000", "dRefAlt=-99999999999", nullptr},
    };
    // clang-format on
    const std::string full = FullRcf();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bad);
        auto fresh = std::make_unique<CGPS>();
        fresh->Info.Settings.WizardSnapshot = fresh->Info.Settings.WizardLive;
        ASSERT_TRUE(CProfile(fresh.get()).Save(path));
        const std::string before = ReadBytes(path);
        std::string text = full;
        const size_t at = text.find(std::string(c.line) + "\r\n", text.find(c.label));
        ASSERT_NE(at, std::string::npos);
        text.replace(at, std::strlen(c.line), c.bad);
        WriteBytes(path, text);
        CProfile profile(fresh.get());
        if (!c.fault) {
            EXPECT_TRUE(profile.Load(path)) << profile.LastError();
            wire.Take();
            continue;
        }
        EXPECT_FALSE(profile.Load(path));
        EXPECT_EQ(profile.LastError(), path + ": " + c.fault);
        EXPECT_EQ(profile.RefusedValue(), c.fault);
        EXPECT_TRUE(wire.Take().empty());
        fresh->Info.Settings.WizardSnapshot = fresh->Info.Settings.WizardLive;
        ASSERT_TRUE(CProfile(fresh.get()).Save(path));
        EXPECT_EQ(ReadBytes(path), before) << "the settings changed";
    }
}

// A value is wholly a number of its key's kind, within what the screens take, or the file is
// refused, named with the text it holds.
TEST_F(ProfileTest, AValueThatIsNotWhollyANumberRefusesTheFile) {
    using namespace std::string_literals;
    const std::string deg = " in [CurrentWizard] is not a whole number of degrees";
    const std::string baud =
        " in [CurrentWizard] is not a baud rate (4800, 9600, 19200, 38400, 57600 or 115200)";
    const std::string khz = " in [CurrentWizard] is not a frequency in kHz (0 to 2147483647)";
    // clang-format off
    const struct { const char* section; std::string line, fault; } cases[] = {
        {"CurrentWizard", "iElevation=-", "iElevation=-" + deg},
        {"CurrentWizard", "iElevation=", "iElevation=" + deg},
        {"CurrentWizard", "iElevation=abc", "iElevation=abc" + deg},
        {"CurrentWizard", "iElevation=1e5", "iElevation=1e5" + deg},
        {"CurrentWizard", "iElevation=12 3", "iElevation=12 3" + deg},
        {"CurrentWizard", "iElevation=1\0"s "0", "iElevation=1\\x000" + deg},
        {"CurrentWizard", "iElevation=\t+12 ", ""},
        {"CurrentWizard", "iMaxAge=1e9", "iMaxAge=1e9 in [CurrentWizard] is not a whole number of seconds"},
        {"CurrentWizard", "iSymbolRate=1e3", "iSymbolRate=1e3 in [CurrentWizard] is not a symbol rate (0 to 2147483647)"},
        {"CurrentWizard", "ulFreqKhz=1.5e6", "ulFreqKhz=1.5e6" + khz},
        {"CurrentWizard", "ulFreqKhz=-", "ulFreqKhz=-" + khz},
        {"CurrentWizard", "ulFreqKhz=4294967295", "ulFreqKhz=4294967295" + khz},
        {"CurrentWizard", "eDfxPort=-", "eDfxPort=- in [CurrentWizard] is not an output port (0 NONE, 1 PORTA, 2 PORTB, 3 PORTC)"},
        {"ThisPortConfig", "eGGA=x", "eGGA=x in [ThisPortConfig] is not a rate code (0 to 5)"},
        {"CurrentWizard", "iNMEABaudRate=-", "iNMEABaudRate=-" + baud},
        {"CurrentWizard", "iNMEABaudRate=1.92e4", "iNMEABaudRate=1.92e4" + baud},
        {"CurrentWizard", "iNMEABaudRate=19200abc", "iNMEABaudRate=19200abc" + baud},
        {"CurrentWizard", "dRefLat=1.2.3", "dRefLat=1.2.3 in [CurrentWizard] is not a latitude (-90 to 90 degrees)"},
        {"CurrentWizard", "dRefLat=\0"s "1e300", "dRefLat=\\x001e300 in [CurrentWizard] is not a latitude (-90 to 90 degrees)"},
        {"CurrentWizard", "dRefLat=1.5e1", ""},
        {"CurrentWizard", "dRefLat=-.5", ""},
        {"CurrentWizard", "dRefAlt=5e", "dRefAlt=5e in [CurrentWizard] is not a height (-99999999999 to 999999999999 meters)"},
        {"CurrentWizard", "dRefAlt=0x10", "dRefAlt=0x10 in [CurrentWizard] is not a height (-99999999999 to 999999999999 meters)"},
        {"GPSData", "fHDGTau=-", "fHDGTau=- in [GPSData] is not a finite number"},
        {"GPSData", "fHDGTau=1.5 s", "fHDGTau=1.5 s in [GPSData] is not a finite number"},
        {"GPSData", "fHBias=1000", "fHBias=1000 in [GPSData] is not a bias (-180 to 180 degrees)"},
        {"GPSData", "fHBias=-180.0001", "fHBias=-180.0001 in [GPSData] is not a bias (-180 to 180 degrees)"},
        {"GPSData", "fHBias=-180", ""},
        {"GPSData", "fPRBias=15.5", "fPRBias=15.5 in [GPSData] is not a bias (-15 to 15 degrees)"},
        {"GPSData", "fPRBias=-15", ""},
        // The first value refused is named, though a later one would do.
        {"GPSData", "fHBias=x\r\nfHBias=1", "fHBias=x in [GPSData] is not a bias (-180 to 180 degrees)"},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        const std::string prefix = std::string(c.section) == "ThisPortConfig" ? "[CurrentWizard]\r\n" : "";
        WriteBytes(path, prefix + "[" + c.section + "]\r\n" + c.line + "\r\n");
        auto fresh = std::make_unique<CGPS>();
        CProfile profile(fresh.get());
        const bool loaded = profile.Load(path);
        EXPECT_EQ(profile.RefusedValue(), c.fault);
        EXPECT_EQ(loaded, c.fault.empty());
        EXPECT_EQ(wire.Take().empty(), !loaded);
        if (!loaded) {
            EXPECT_EQ(fresh->Info.Settings.WizardLive.iElevation, 5);
            EXPECT_EQ(fresh->Info.Nav.fHBias, 0.0f);
        }
    }
}

// Numbers in commands, the archive and the profile never follow the process locale.
TEST_F(ProfileTest, BytesOnTheWireAndInFilesIgnoreTheLocale) {
    gps->Info.Settings.WizardSnapshot.dRefLat = -33.856812;
    gps->Info.Nav.fHDGTau = 1.25f;
    gps->Info.fLocalTimeOffset = 5.5f;
    auto everything = [&] {
        g_TxNMEA.SetRTKReference(-33.8568, 151.2153, 58.125);
        g_TxNMEA.SetAttitudeValue("HTAU", 0.5f);
        g_TxNMEA.TuneBeacon(301.5f, 1, 0);
        g_TxNMEA.SetMessageRate(RATE_5S, "GPGGA", false);
        EXPECT_TRUE(CProfile(gps.get()).Save(path));
        EXPECT_TRUE(gps->SaveConfigFile());
        auto loaded = std::make_unique<CGPS>();
        EXPECT_TRUE(CProfile(loaded.get()).Load(path));
        EXPECT_DOUBLE_EQ(loaded->Info.Settings.WizardLive.dRefLat, -33.856812);
        EXPECT_EQ(loaded->Info.Nav.fHDGTau, 1.25f);
        wire.Take();
        std::string all = wire.device.written() + ReadBytes(path) + ReadBytes(CfgArchivePath());
        wire.device.ClearWrites();
        return all;
    };
    const std::string reference = everything();
    ASSERT_NE(reference.find("0.500000"), std::string::npos);
    if (!wiretest::UnderCommaLocales([&] { EXPECT_EQ(everything(), reference); }))
        DECIMAL_COMMA_MISSING("no decimal-comma C locale could be had");
}

}  // namespace
