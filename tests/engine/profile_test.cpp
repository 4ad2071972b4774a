#include "engine/Profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "engine/gps.h"
#include "platform/textfile.h"
#include "support/temp_dir.h"
#include "wire_fixture.h"

using Events = std::vector<std::string>;

namespace {

using testsupport::ReadBytes;
using testsupport::WriteBytes;

// The lines of the profile file written for the default settings.
std::string DefaultRcf() {
    std::vector<std::string> lines = {
        "[CurrentWizard]", "iNMEABaudRate=57600", "iRTCMBaudRate=9600", "iElevation=5",
        "iMaxAge=3600",    "ulFreqKhz=1540000",   "iSymbolRate=1200",   "fFreq=283.500000",
        "iBitRate=0",      "dRefLat=0.000000",    "dRefLon=0.000000",   "dRefAlt=0.000000",
        "eDfxPort=0"};
    for (const char* section : {"[ThisPortConfig]", "[OtherPortConfig]"}) {
        lines.push_back(section);
        for (const char* key : {"eGGA", "eGLL", "eGSA", "eGST", "eGSV", "eRMC", "eRRE", "eVTG",
                                "eZDA", "eBIN95", "eBIN96", "eHEHDT", "eHEROT", "eHPR", "bRTCM"})
            lines.push_back(std::string(key) + "=0");
    }
    lines.push_back("[BINLogRate]");
    for (const char* key :
         {"eBIN1", "eBIN2", "eBIN80", "eBIN95", "eBIN96", "eBIN97", "eBIN98", "eBIN99", "eD1"})
        lines.push_back(std::string(key) + "=0");
    lines.insert(lines.end(), {"[GPSData]", "fHeading=0.000000", "fROT=0.000000", "fPitch=0.000000",
                               "fRoll=0.000000", "fHDGTau=0.500000", "fHDGRateTau=2.000000",
                               "fCOGTau=0.000000", "fSPDTau=0.000000", "fHBias=0.000000",
                               "fPRBias=0.000000", "fManSep=0.500000", "fCurSep=0.500000",
                               "bTiltAid=1", "bGyroAid=0", "bLevel=0", "bNegTilt=0", "bFLIPBRD=0"});
    EXPECT_EQ(lines.size(), 73u);
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

// Port commands in the receiver's order with their rate texts and 20 ms pauses.
Events PortStream(const char* suffix, const char* rate = "0") {
    Events out;
    for (const char* msg :
         {"GPGGA", "GPGLL", "GPGST", "GPGSV", "GPRMC", "GPRRE", "GPVTG", "GPZDA", "GPGSA"}) {
        out.push_back(std::string("$JASC,") + msg + "," + rate + suffix + "\r\n");
        out.push_back("~20");
    }
    for (const char* id : {"95", "96"}) {
        out.push_back(std::string("$JBIN,") + id + "," + rate + suffix + "\r\n");
        out.push_back("~20");
    }
    for (const char* msg : {"HEHDT", "HEROT", "HPR"}) {
        out.push_back(std::string("$JASC,") + msg + "," + rate + suffix + "\r\n");
        out.push_back("~20");
    }
    return out;
}

Events Concat(std::initializer_list<Events> parts) {
    Events out;
    for (const Events& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

const Events kBinDefaults = {"$JBIN,1,0\r\n",  "$JBIN,2,0\r\n",  "$JBIN,80,0\r\n",
                             "$JBIN,95,0\r\n", "$JBIN,96,0\r\n", "$JBIN,97,0\r\n",
                             "$JBIN,98,0\r\n", "$JBIN,99,0\r\n", "$JASC,D1,0\r\n"};

Events HeadingStream(const char* htau) {
    return {"$JATT,ROLL,YES\r\n",
            "$JATT,TILTAID,YES\r\n",
            "$JATT,GYROAID,NO\r\n",
            "$JATT,LEVEL,NO\r\n",
            "$JATT,NEGTILT,NO\r\n",
            "$JATT,FLIPBRD,NO\r\n",
            std::string("$JATT,HTAU,") + htau + "\r\n",
            "$JATT,HRTAU,2.000000\r\n",
            "$JATT,COGTAU,0.000000\r\n",
            "$JATT,SPDTAU,0.000000\r\n",
            "$JATT,HBIAS,0.000000\r\n",
            "$JATT,PBIAS,0.000000\r\n",
            "$JATT,MSEP,0.500000\r\n",
            "$JATT,CSEP,0.500000\r\n"};
}

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        gps = std::make_unique<CGPS>();
        gps->Info.Settings.WizardSnapshot.Init();
        path = dir.root + "/test.rcf";
    }
    testsupport::TempConfigDir dir;
    wiretest::Wire wire;
    std::unique_ptr<CGPS> gps;
    std::string path;
};

TEST_F(ProfileTest, SavedDefaultsMatchTheFileLayoutLineByLine) {
    CProfile profile(gps.get());
    ASSERT_TRUE(profile.Save(path));
    EXPECT_EQ(ReadBytes(path), DefaultRcf());
    EXPECT_TRUE(wire.Take().empty()) << "a save sends nothing";
}

TEST_F(ProfileTest, SaveWritesTheSnapshotNotTheLiveSettings) {
    gps->Info.Settings.WizardSnapshot.iElevation = 7;
    gps->Info.Settings.WizardSnapshot.ulFreqKhz = 0xFFFFFFFFu;
    gps->Info.Settings.WizardLive.iElevation = 12;
    ASSERT_TRUE(CProfile(gps.get()).Save(path));
    const std::string bytes = ReadBytes(path);
    EXPECT_NE(bytes.find("\r\niElevation=7\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("\r\nulFreqKhz=-1\r\n"), std::string::npos);
}

// Failures name the file and the OS error; a pipe in a file's place never blocks.
TEST_F(ProfileTest, FailuresNameTheFileAndTheOsError) {
    WriteBytes(dir.root + "/plainfile", "x");
    const std::string fifo = dir.root + "/pipe.rcf";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    CProfile profile(gps.get());
    EXPECT_FALSE(profile.Save(dir.root + "/plainfile/test.rcf"));
    EXPECT_EQ(profile.LastError(),
              "cannot write " + dir.root + "/plainfile/test.rcf: Not a directory");
    EXPECT_FALSE(profile.Load(fifo));
    EXPECT_EQ(profile.LastError(), "cannot read " + fifo + ": not a regular file");
    EXPECT_FALSE(profile.Save(fifo));
    EXPECT_EQ(profile.LastError(), "cannot write " + fifo + ": not a regular file");
}

TEST_F(ProfileTest, FailedSaveLeavesTheOldFile) {
    const std::string old = "[GPSData]\r\nfHDGTau=1.5\r\n";
    WriteBytes(path, old);
    CProfile profile(gps.get());
    {
        wiretest::FileSizeLimit limit(100);
        EXPECT_FALSE(profile.Save(path));
    }
    EXPECT_EQ(profile.LastError(), "cannot write " + path + ": File too large");
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.root),
                            std::filesystem::directory_iterator()),
              1)
        << "no temporary file is left behind";
}

TEST_F(ProfileTest, RoundTripThroughTheFile) {
    WizardInfo& snap = gps->Info.Settings.WizardSnapshot;
    snap.iNMEABaudRate = 115200;
    snap.iRTCMBaudRate = 4800;
    snap.iElevation = 12;
    snap.iMaxAge = 60;
    snap.ulFreqKhz = 1545530;
    snap.iSymbolRate = 2400;
    snap.fFreq = 301.5f;
    snap.iBitRate = 2;
    snap.dRefLat = -33.856812;
    snap.dRefLon = 151.215302;
    snap.dRefAlt = 58.125;
    snap.eDfxPort = 3;
    snap.ThisPortConfig.eGSA = 2;
    snap.ThisPortConfig.bRTCM = 1;
    snap.OtherPortConfig.eHPR = 5;
    gps->Info.Settings.BinLogRates.eBIN99 = 4;
    gps->Info.Nav.fHDGTau = 1.25f;
    gps->Info.Nav.bFLIPBRD = 1;
    ASSERT_TRUE(CProfile(gps.get()).Save(path));

    auto other = std::make_unique<CGPS>();
    ASSERT_TRUE(CProfile(other.get()).Load(path));
    const WizardInfo& live = other->Info.Settings.WizardLive;
    EXPECT_EQ(std::tuple(live.iNMEABaudRate, live.iRTCMBaudRate, live.iElevation, live.iMaxAge,
                         live.ulFreqKhz, live.iSymbolRate, live.fFreq, live.iBitRate),
              std::tuple(115200, 4800, 12, 60, 1545530u, 2400, 301.5f, 2));
    EXPECT_EQ(std::tuple(live.dRefLat, live.dRefLon, live.dRefAlt, live.eDfxPort),
              std::tuple(-33.856812, 151.215302, 58.125, 3));
    const NavInfo& nav = other->Info.Nav;
    EXPECT_EQ(
        std::tuple(live.ThisPortConfig.eGSA, live.ThisPortConfig.bRTCM, live.OtherPortConfig.eHPR,
                   other->Info.Settings.BinLogRates.eBIN99, nav.fHDGTau, nav.bFLIPBRD),
        std::tuple(2, 1, 5, 4, 1.25f, 1));
}

TEST_F(ProfileTest, LoadIsTolerantAndSendsThePortsBinaryRatesAndHeading) {
    // LF only, sections out of order, keys in other letter case, unknown keys and sections,
    // a bad number, a port section before the wizard section.
    WriteBytes(path,
               "[ThisPortConfig]\neGGA=4\n"
               "[BINLogRate]\nEBIN1=2\neD1=x\nnoSuchKey=1\n"
               "[Mystery]\nfoo=1\n"
               "[GPSData]\nfhdgtau=1.5\nfManSep=bad\n"
               "[CurrentWizard]\niElevation=9\n[otherportconfig]\neGGA=3\n");
    gps->Info.Settings.BinLogRates.eD1 = 3;
    ASSERT_TRUE(CProfile(gps.get()).Load(path));
    const WizardInfo& live = gps->Info.Settings.WizardLive;
    EXPECT_EQ(live.ThisPortConfig.eGGA, 0) << "a port section needs a wizard section first";
    EXPECT_EQ(live.OtherPortConfig.eGGA, 3);
    EXPECT_EQ(live.iElevation, 9);
    EXPECT_EQ(gps->Info.Settings.BinLogRates.eBIN1, 2);
    EXPECT_EQ(gps->Info.Settings.BinLogRates.eD1, 0) << "integers without digits read as 0";
    EXPECT_EQ(gps->Info.Nav.fHDGTau, 1.5f);
    EXPECT_EQ(gps->Info.Nav.fManSep, 0.5f) << "a bad float leaves the value";

    Events bin = kBinDefaults;
    bin[0] = "$JBIN,1,1\r\n";  // rate code 2 is 1 Hz
    Events other = PortStream(",OTHER\r\n");
    other[0] = "$JASC,GPGGA,5,OTHER\r\n\r\n";
    EXPECT_EQ(wire.Take(), Concat({PortStream(""), other, bin, HeadingStream("1.500000")}));
}

TEST_F(ProfileTest, GpsDataAloneStillSendsEverything) {
    WriteBytes(path, "[GPSData]\r\nfHDGTau=1.5\r\n");
    ASSERT_TRUE(CProfile(gps.get()).Load(path));
    EXPECT_EQ(wire.Take(), Concat({PortStream(""), PortStream(",OTHER\r\n"), kBinDefaults,
                                   HeadingStream("1.500000")}));
}

TEST_F(ProfileTest, MissingFileLoadsNothingAndSendsNothing) {
    EXPECT_FALSE(CProfile(gps.get()).Load(dir.root + "/missing.rcf"));
    EXPECT_TRUE(wire.Take().empty());
}

class ProfileLocaleTest : public ProfileTest,
                          public ::testing::WithParamInterface<wiretest::CommaLocale> {};

TEST_P(ProfileLocaleTest, FileKeepsItsBytesAndLoads) {
    gps->Info.Settings.WizardSnapshot.dRefLat = -33.856812;
    gps->Info.Nav.fHDGTau = 1.25f;
    ASSERT_TRUE(CProfile(gps.get()).Save(path));
    const std::string reference = ReadBytes(path);
    auto loaded = std::make_unique<CGPS>();
    const bool ran = wiretest::WithCommaLocale(GetParam(), [&] {
        EXPECT_TRUE(CProfile(gps.get()).Save(path));
        EXPECT_TRUE(CProfile(loaded.get()).Load(path));
    });
    if (!ran) DECIMAL_COMMA_MISSING(wiretest::kNoGermanLocale);
    EXPECT_EQ(ReadBytes(path), reference);
    EXPECT_DOUBLE_EQ(loaded->Info.Settings.WizardLive.dRefLat, -33.856812);
    EXPECT_EQ(loaded->Info.Nav.fHDGTau, 1.25f);
}

INSTANTIATE_TEST_SUITE_P(Locales, ProfileLocaleTest,
                         ::testing::Values(wiretest::CommaLocale::Numpunct,
                                           wiretest::CommaLocale::System),
                         wiretest::CommaLocaleName);

}  // namespace
