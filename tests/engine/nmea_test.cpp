// The sentence dispatcher, its decoders and the proprietary responder.

#include "engine/nmea.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "engine/appstate.h"
#include "engine/lbndnmea.h"
#include "engine/stdnmea.h"
#include "platform/trace.h"
#include "support/decimal_comma_locale.h"
#include "support/frames.h"
#include "support/virtual_clock.h"
#include "wire_fixture.h"

namespace {

using wiretest::Join;
std::string Nmea(const std::string& body) {
    return testsupport::NmeaSentence(body);
}
std::string Bare(const std::string& body) {
    return "$" + body + "\r\n";
}  // as replies come
const std::string kGGA = "GPGGA,123519.50,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,2.0,0000";

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override {
        App().bBin1Position.store(0);
        ResetOptionCode();
        platform::ClearTrace();
        nmea.PkrvNMEA.Responder = [this](const std::string& text) { answers += text; };
        nmea.PkrvNMEA.SaveArchive = [this] {
            RecordLock again(rec.ulPart1Lock);  // saved while the record is held: recursive
            ++saves;
            return true;
        };
        nmea.PkrvNMEA.LoadArchive = [this] {
            ++loads;
            return loadResult;
        };
    }
    bool Feed(const std::string& sentence, GPSInfo* to = nullptr) {
        std::vector<char> buffer(sentence.begin(), sentence.end());
        buffer.push_back('\0');
        return nmea.bParseNMEA(to ? to : &rec, buffer.data());
    }
    // Feeds each line and returns what the responder printed.
    std::string Run(const std::vector<std::string>& lines) {
        answers.clear();
        for (const std::string& line : lines) Feed(line);
        return answers;
    }

    testsupport::InstalledVirtualClock clock;
    std::unique_ptr<CGPS> gps = std::make_unique<CGPS>();
    GPSInfo& rec = gps->Info;
    std::unique_ptr<CNMEA> owner = std::make_unique<CNMEA>();
    CNMEA& nmea = *owner;
    std::string answers;
    int saves = 0, loads = 0;
    bool loadResult = true;
};

// Sentences of every family, and the fields they leave.
TEST_F(Dispatch, EveryFamilyDecodesIntoItsFields) {
    auto feed = [this](const std::string& lines) {  // one sentence per line
        for (size_t at = 0, end; (end = lines.find("\r\n", at)) != lines.npos; at = end + 2)
            Feed(lines.substr(at, end + 2 - at));
    };
    const NavInfo& n = rec.Nav;
    const auto& sat = rec.SatView.Channel;
    const LBandInfo& l = rec.LBand;
    const PortConfig& p = rec.RxPortConfig;
    const BeaconInfo& b = rec.Beacon;
    rec.SatView.Channel[10].iPRN = 77;
    App().iHeadingAge.store(5);
    feed(Nmea(kGGA) + Nmea("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K") +
         Nmea("GPGSV,3,1,10,01,40,083,46,02,17,308,41,03,07,344,39,04,10,200,38") +
         Nmea("GPGSV,3,2,10,05,40,083,46,06,17,308,41,07,07,344,39,08,10,200,38") +
         Nmea("GPGSV,3,3,10,09,05,010,30,10,80,270,") +
         Nmea("GPGST,172814.0,0.006,0.023,0.020,273.6,0.021,0.022,0.031") + Nmea("HEHDT,-10.0,T") +
         Nmea("HEROT,-3.5,A") + Nmea("GPHDT,725.0,T") + Nmea("GPROT,12.25,A") +
         Nmea("PZLT,HPR,123519.00,231.5,-2.5") + Bare(">JATT,ROLL,NO") + Bare(">JATT,TILTAID,NO") +
         Bare(">JATT,GYROAID,YES") + Bare(">JATT,MAGAID,YES") + Bare(">JATT,LEVEL,YES") +
         Bare(">JATT,FLIPBRD,YES") + Nmea(">JATT,NEGTILT,YES") + Bare(">JATT,HTAU,1.5") +
         Bare(">JATT,HRTAU,3.25") + Bare(">JATT,COGTAU,0.75") + Bare(">JATT,SPDTAU,0.5") +
         Bare(">JATT,HBIAS,-1.25") + Bare(">JATT,PBIAS,2.5") + Bare(">JATT,MSEP,0.9") +
         Nmea(">JATT,CSEP,1.1") + Bare(">JATT,HTAU,"));
    EXPECT_EQ(Join(n.iHour, n.iMinute, n.fSecond, n.iSecond, n.iLatDeg, n.dLatMin, n.fLatMin,
                   n.cLatDir, n.iLonDeg, n.dLonMin, n.cLonDir, n.iFixQuality, n.iSatsUsed, n.fHDOP,
                   n.fAltitude, n.fDiffAge, n.fCourse, n.fSpeedKmh),
              "12 35 19.5 19 48 7.038 7.038 N 11 31 E 1 8 0.9 545.4 2 54.7 10.2");
    // The checksum digits make no satellite.
    EXPECT_EQ(Join(rec.SatView.iSatsInView, sat[0].iPRN, sat[4].iPRN, sat[4].iElev, sat[4].iAzim,
                   sat[7].iSNR, sat[9].iPRN, sat[9].iElev, sat[9].iSNR, sat[10].iPRN),
              "10 1 5 40 83 38 10 80 0 77");
    EXPECT_EQ(Join(n.fGSTRms, n.fGSTSemiMajor, n.fGSTSemiMinor, n.fGSTOrient, n.fGSTLatErr,
                   n.fGSTLonErr, n.fGSTAltErr),
              "0.006 0.023 0.02 273.6 0.021 0.022 0.031");
    // The heading is not taken from the HPR sentence; an empty HTAU leaves 1.5.
    EXPECT_EQ(Join(n.fHeading, n.fROT, App().iHeadingAge.load(), n.fPitch, n.fRoll),
              "5 12.25 0 -2.5 -2.5");
    EXPECT_EQ(
        Join(n.bRollOutput, n.bTiltAid, n.bGyroAid, n.bLevel, n.bFLIPBRD, n.bNegTilt, n.fHDGTau,
             n.fHDGRateTau, n.fCOGTau, n.fSPDTau, n.fHBias, n.fPRBias, n.fManSep, n.fCurSep),
        "0 0 1 1 1 1 1.5 3.25 0.75 0.5 -1.25 2.5 0.9 1.1");

    rec.LBand.iSBASPRN1 = rec.LBand.iSBASPRN2 = 0;
    feed(Nmea("RD1,000041,1910,1557.8450,1,700,0,0,0,0,0,0D4B,FFFFFFFF") +
         Bare(">JGEO,Sent,FREQ=1575.4200,PRN=122,LON=-15.5,EL=30.2,AZ=200.1") +
         Nmea(">JGEO,Sent,FREQ=1575.4200,PRN=134,LON=178.0,EL=12.5,AZ=250.5") +
         Bare(">JGEO,Sent,FREQ=1575.4200,PRN=122,LON=-15.5,EL=31.0,AZ=201.0") +
         Bare(">JGEO,Sent,FREQ=1534.7410,PRN=129,LON=-98.0,EL=40.0,AZ=180.0") +
         Bare(">JI,311689,1,7,26031,01/01/1900,A1B04,MFA 3.6Ac,") +
         Bare(">JOMS,1,2,3,4,01/02/2024,31/12/2025,86400") +
         Bare(">JRTK,1,51.0123456,-114.5,1048.25") + Nmea(">JRTK,6,OK,6") +
         Bare(">JDIFF,EXT-OTHER") + Bare(">JAPP,WAAS,SUBSEA7") + Bare("> JBAUD,19200"));
    EXPECT_EQ(Join(l.iLBandBer, l.iSBASBer1, l.iSBASBer2, l.wLBandStatus, l.ulRD1Status),
              "700 500 500 3403 4294967295");
    EXPECT_EQ(Join(l.iSBASPRN1, l.iSBASPRN2, l.iGeoId, l.ulGeoFreqKhz, l.fGeoLongitude,
                   l.fGeoElevation, l.fGeoAzimuth, l.fSBASElevation1, l.fSBASElevation2,
                   l.fSBASAzimuth2, l.fSBASLongitude2),
              "129 122 129 1534741 -98 40 180 40 31 201 -15.5");
    EXPECT_EQ(Join(l.lSerialNumber, l.szAppFirmware, l.szDspFirmware, GetOptionCode(),
                   l.szSubscriptionBegin, l.szSubscriptionExpiry, l.ulSubscriptionCountdown),
              "311689 MFA 3.6Ac Unavailable 4 01/02/2024 31/12/2025 86400");
    EXPECT_EQ(Join(p.dCurRefLat, p.dCurRefLon, p.dCurRefAlt, p.eCurDfxPort, rec.eCurCorrSource,
                   bExtThisPort.load(), rec.eRxApp, rec.eRxOtherApp, rec.iRxRTCMBaudRate),
              "51.0123456 -114.5 1048.25 3 4 0 3 9 19200");
    bExtThisPort.store(1);

    rec.JRAD.bXRefSubscribed = 1;
    feed(Bare(">JSHOW,ASC,GPGGA,1.0") + Bare(">JSHOW,ASC,GPGSV,0.2,OTHER") +
         Nmea(">JSHOW,ASC,HEHDT,10") + Bare(">JSHOW,ASC,PHPR,20,OTHER") +
         Bare(">JSHOW,ASC,GPRMC,5,PORTA") + Bare(">JSHOW,ASC,BEAC,0") +
         Bare(">JSHOW,ASC,DFX,1,PORTB") + Bare(">JSHOW,BIN,95,1") + Bare(">JSHOW,BIN,96,10,OTHER") +
         Bare(">JSHOW,BIN,97,10") + Bare(">JSHOW,MASK,10") + Nmea(">JSHOW,AGE,60") +
         Bare(">JSHOW,BAUD,4800,OTHER") + Nmea(">JSHOW,BAUD,38400") +
         Bare(">JSHOW,BAUD,115200,PORTC") + Bare(">JSHOW,FREQ,1545.0") +
         Bare(">JSHOW,CONF,WHATEVER") + Bare(">JRAD,1,FAILED,Not Subscribed for AUTODIFF") +
         Bare(">JRAD,2,OK") + Nmea("PKRV,CS0,FW2.1,X,301.5,M,200,M,25,18,3,4,123,1") +
         Nmea("PKRV,CS1,1,2,3") + Bare(">PKRV,Version,SBX-4 2.03"));
    EXPECT_EQ(Join(p.eGGA, p.iSpare[RXSPARE_OTHER_GGA + 4], p.eHEHDT, p.iSpare[RXSPARE_OTHER_HPR],
                   p.eRMC, p.bRTCM, p.eCurDfxPort, p.eBIN95, p.iSpare[RXSPARE_OTHER_GGA + 10],
                   p.eBIN96, rec.iRxElevation, rec.iRxMaxAge, rec.iRxRTCMBaudRate,
                   rec.iRxNMEABaudRate, l.bFreqAuto, rec.JRAD.bXRefSubscribed, rec.JRAD.bXRefReady),
              "2 1 4 5 0 1 2 2 4 0 10 60 4800 38400 0 0 1");
    const WizardInfo& w = rec.Settings.WizardLive;
    EXPECT_EQ(Join(b.szBeaconFirmware, b.fBeaconFreq, b.cFreqMode, b.iBeaconBitRate, b.cRateMode,
                   b.szBeaconVersion, b.iSignalStrength, b.iSNR, b.iMTP, b.iQ, b.iStationId,
                   b.iHealth, w.fFreq, w.iBitRate, w.iStationId),
              "FW2.1 301.5 M 2 M SBX-4 2.03 25 18 3 4 123 1 301.5 2 123");

    // After a binary position a GGA gives only quality and dilution.
    App().bBin1Position.store(1);
    feed(Nmea("GPGSV,4,4,14,21,40,083,46,22,17,308,41,23,07,344,39,24,10,200,38") +
         Bare(">JSHOW,FREQ,0") + Bare(">JRAD,1,OK") + Bare(">JRAD,2,OK") + Bare(">JRAD,3,BUSY") +
         Nmea("GPGGA,223519.50,3307.038,S,01131.000,E,0,09,1.7,545.4,M,46.9,M,2.0,0000"));
    App().bBin1Position.store(0);
    EXPECT_EQ(Join(rec.SatView.iSatsInView, sat[0].iPRN, sat[3].iPRN, l.bFreqAuto,
                   rec.JRAD.bXRefSubscribed, rec.JRAD.bXRefReady, n.iLatDeg, n.iHour, n.iSatsUsed,
                   n.fHDOP, n.iFixQuality),
              "14 21 24 1 1 0 48 12 8 1.7 0");
    EXPECT_EQ(rec.Comm.iChecksumErrors, 0);
}

// The field splitter keeps empty fields and stops at the checksum.
TEST_F(Dispatch, FieldSplitterAndConverters) {
    char field[kNMEAFieldSize];
    const std::pair<const char*, const char*> views[] = {
        {"$GPVTG,,T,,M,0.0,N,0.0,K*4E\r\n", "$GPVTG||T||M|0.0|N|0.0|K|"},
        {"$A,1,*3F\r\n", "$A|1||"},
        {"$A,,\r\n", "$A|||"},
        {"$A\r\n", "$A|"},
        {"$A,x", "$A|x|"}};
    for (const auto& [text, expected] : views) {
        NMEAFields f(field, text);
        std::string got;
        while (f.Next()) got += std::string(f.Text()) + "|";
        EXPECT_EQ(got, expected) << text;
    }
    char sentence[] = "$A,,B*4E\r\n", empty[] = "";
    std::string fields;
    for (char* p = sentence; (p = CNMEA::pszGetNMEAfield(field, p)) && fields.size() < 99;)
        fields += std::string(field) + "|";
    EXPECT_EQ(fields, "$A||B|4E|\n|");
    EXPECT_TRUE(!CNMEA::pszGetNMEAfield(field, nullptr) && !CNMEA::pszGetNMEAfield(field, empty));
    EXPECT_EQ(Join(CNMEA::iACIItoHex("1F"), CNMEA::iACIItoHex("FFFFFFFF"), CNMEA::iHexDigit('G'),
                   CNMEA::fACIItoFloat("12.5abc"), CNMEA::fACIItoFloat("1e39"),
                   CNMEA::iCheckHeader("$GP", "$GPGGA,"), CNMEA::iCalcChecksum("$AB*00")),
              "31 -1 0 12.5 0 0 3");  // beyond float: not a number; the shorter length decides
    EXPECT_LT(CNMEA::iCheckHeader("$GPAAA,", "$GPGGA,"), 0);
    EXPECT_GT(CNMEA::iCheckHeader("$GPZZZ,", "$GPGGA,"), 0);
}

TEST_F(Dispatch, ChecksumsUnknownTalkersAndStatistics) {
    std::string bad = Nmea(kGGA);
    bad[bad.size() - 3] = bad[bad.size() - 3] == '0' ? '1' : '0';
    for (const std::string& s :
         {bad, Bare("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,*"),
          Bare("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,*ZZ")})
        EXPECT_FALSE(Feed(s));
    EXPECT_EQ(Run({bad, Nmea("PKRV,STATUS,CS"), "$PKRV,STATUS,XX\r\n", "$PKRV,STATUS,\r\n"}),
              "$>PKRV,Status,ChecksumErrors,4\r\n");
    EXPECT_EQ(rec.Nav.iLatDeg, 0);
    EXPECT_TRUE(Feed(Bare(kGGA))) << "without '*' decoded untested";
    EXPECT_EQ(rec.Nav.iLatDeg, 48);
    EXPECT_TRUE(Feed(Nmea("GPGGA,1")) && Feed(Nmea("GPVTG,"))) << "GP sentences give one";

    // Only when traces are wanted: formatting one for every such sentence costs.
    const std::string gn = Nmea("GNGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,");
    EXPECT_FALSE(Feed(gn));
    EXPECT_FALSE(platform::TraceContains("Unrecognized"));
    platform::SetTracesWanted(true);
    EXPECT_FALSE(Feed(gn));
    EXPECT_TRUE(platform::TraceContains("Unrecognized response!"));
    EXPECT_TRUE(platform::TraceContains("<$GNGGA,123519"));
    platform::ClearTrace();
    const GPSInfo before = rec;
    for (const std::string& s :
         {Nmea("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W"),
          Nmea("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"), Bare(">JUNKNOWN,1,2"), Bare(">")})
        EXPECT_FALSE(Feed(s)) << s;
    EXPECT_FALSE(platform::TraceContains("Unrecognized"));
    platform::SetTracesWanted(false);
    // Hidden-mode forms and unknown proprietary commands are ignored.
    for (const std::string& s : {Bare("PKRV,8,QERVAD"), Bare("PKRV,8,QERVAD,FULL"),
                                 Bare("PKRV,8,QERVAD,MORE"), Bare("PKRV,UNKNOWN,1")})
        EXPECT_FALSE(Feed(s)) << s;
    EXPECT_EQ(Run({Bare("PKRV,HELP,1"), Bare("PKRV,SETUP,WHAT"), Bare("PKRV,SETUP,")}), "");
    EXPECT_EQ(std::memcmp(&before.Beacon, &rec.Beacon, sizeof before.Beacon), 0);
    EXPECT_EQ(Join(before.iRxRTCMBaudRate, before.Nav.iLatDeg),
              Join(rec.iRxRTCMBaudRate, rec.Nav.iLatDeg));

    const long start = CNMEA::SentenceCount(), toNext = 1000 - start % 1000;
    for (long k = 0; k < toNext - 1; ++k) Feed(Nmea("GPZDA,1"));
    EXPECT_FALSE(platform::TraceContains("Responses="));
    Feed(Nmea("GPZDA,1"));
    EXPECT_TRUE(
        platform::TraceContains("Responses=" + std::to_string(start + toNext) + ", comparisons="));
    EXPECT_TRUE(platform::TraceContains("compare/response="));
}

TEST_F(Dispatch, NumbersDoNotFollowTheProcessLocale) {
    USE_DECIMAL_COMMA_LOCALE();
    Feed(Nmea(kGGA));
    Feed(Bare(">JGEO,Sent,FREQ=1535.1375,PRN=122,LON=-15.5,EL=30.2,AZ=200.1"));
    Feed(Bare(">JSHOW,ASC,GPGGA,0.2"));
    testsupport::RestoreCLocale();
    EXPECT_EQ(Join(rec.Nav.dLatMin, rec.Nav.fHDOP, rec.LBand.ulGeoFreqKhz, rec.LBand.fGeoLongitude,
                   rec.RxPortConfig.eGGA),
              "7.038 0.9 1535137 -15.5 1");
}

TEST_F(Dispatch, OddPositionsHeadingsRatesAndSources) {
    const std::pair<const char*, const char*> ggas[] = {
        // quality 5 keeps the old value
        {"GPGGA,1,4,N,0,E,1,300,,,,,,", "1 0 0 4 0 0 1 44 N"},
        {"GPGGA,,,,,,,,,,,,,", "0 0 0 0 0 0 0 0 -"},
        {"GPGGA,0959,48,S,011,W,2,12,,,,,,", "9 59 0 48 0 11 2 12 S"},
        {"GPGGA,235960.99,0000.5,N,17959.9,E,5,4,,,,,,", "23 59 60 0 0.5 179 2 4 N"}};
    for (const auto& [body, expected] : ggas) {
        Feed(Nmea(body));
        const NavInfo& n = rec.Nav;
        EXPECT_EQ(Join(n.iHour, n.iMinute, n.iSecond, n.iLatDeg, n.dLatMin, n.iLonDeg,
                       n.iFixQuality, n.iSatsUsed, n.cLatDir ? n.cLatDir : '-'),
                  expected)
            << body;
    }
    const std::pair<const char*, float> headings[] = {
        {"-10.0", 350.0f}, {"725.0", 5.0f}, {"360.0", 360.0f}, {"720", 360.0f}, {"-360", 0.0f},
        {"359.5", 359.5f}, {"", 0.0f},      {"400", 40.0f},    {"1e300", NAN},  {"-1e308", NAN}};
    for (const auto& [text, heading] : headings) {
        rec.Nav.fHeading = 123.0f;
        Feed(Nmea(std::string("HEHDT,") + text + ",T"));
        const float h = rec.Nav.fHeading;
        EXPECT_TRUE(std::isfinite(h) && h >= 0.0f && h <= 360.0f) << text;
        EXPECT_TRUE(std::isnan(heading) || h == heading) << text << " " << h;
    }
    const std::pair<float, int> rates[] = {{20, 5},     {10, 4},    {5, 3}, {1, 2}, {0.2f, 1},
                                           {0.195f, 1}, {0.19f, 0}, {2, 0}, {-1, 0}};
    for (const auto& [hz, code] : rates) EXPECT_EQ(RateToRateCode(hz), code) << hz;
    int32_t app = 77;  // names are matched whole and in capitals
    EXPECT_TRUE(AppNameToCode(&app, "AUTODIFF") && app == 6);
    EXPECT_FALSE(AppNameToCode(&app, "waas") || AppNameToCode(&app, "RTKBASE") || app != 0);
    // The differential source reply: -1 where it is not recognised and the source stays.
    const std::tuple<const char*, int, int> sources[] = {
        {"WAAS", 3, 1},      {"LBAND", 2, 1},    {"BEACON", 1, 1},  {"EXT-THIS", 4, 1},
        {"EXT-OTHER", 4, 0}, {"NONE", 0, 0},     {"AUTO", 6, 0},    {"X-SUBSEA7", 9, 0},
        {"RTKBAS", 7, 0},    {"RTKROVER", 7, 0}, {"LOCDIFF", 8, 0}, {"SOMETHING", -1, 0},
        {"WAAS2", -1, 0}};
    bExtThisPort.store(1);
    for (const auto& [field, source, extThis] : sources) {
        rec.eCurCorrSource = 55;
        Feed(Bare(std::string(">JDIFF,") + field));
        EXPECT_EQ(Join(rec.eCurCorrSource, bExtThisPort.load()),
                  Join(source < 0 ? 55 : source, extThis))
            << field;
    }
    for (int app : {7, 8}) {  // the t-Span applications override the reply
        rec.eRxApp = app;
        Feed(Bare(">JDIFF,BEACON"));
        EXPECT_EQ(rec.eCurCorrSource, app);
    }
    const std::pair<const char*, int> show[] = {
        {"0.2", 1}, {"2", 0}, {"1.0", 2}, {"20", 5}, {"", 0}};
    for (const auto& [item, rate] : show) {
        rec.RxPortConfig.eVTG = 9;
        Feed(Bare(std::string(">JSHOW,ASC,GPVTG,") + item));
        EXPECT_EQ(rec.RxPortConfig.eVTG, rate) << item;
    }
    // A DFX item with rate 0 and a port word stores nothing; an unknown name goes to the
    // spare word nobody reads.
    rec.RxPortConfig.eCurDfxPort = 0;
    Feed(Bare(">JSHOW,ASC,DFX,0,PORTC"));
    Feed(Bare(">JSHOW,ASC,GPXYZ,5"));
    EXPECT_EQ(Join(rec.RxPortConfig.eCurDfxPort, rec.RxPortConfig.iSpare[RXSPARE_UNUSED],
                   rec.RxPortConfig.ulLastWord),
              "0 3 0");
}

TEST_F(Dispatch, LBandRtkAndReplyCounters) {
    const LBandInfo& l = rec.LBand;
    const std::pair<const char*, const char*> bers[] = {{"300-120", "500 120 300"},
                                                        {"700", "700 500 500"},
                                                        {"90-800", "500 90 500"},
                                                        {"", "500 90 500"},
                                                        {"12", "12 500 500"}};
    for (const auto& [ber, expected] : bers) {
        Feed(Nmea(std::string("RD1,000041,1910,1557.8450,1,") + ber + ",0,0,0,0,0,1,2"));
        EXPECT_EQ(Join(l.iLBandBer, l.iSBASBer1, l.iSBASBer2), expected) << ber;
    }
    Feed(Nmea("RD1,1,2,3,4,300"));  // shorter than 30 characters
    EXPECT_EQ(l.iLBandBer, 12);
    Feed(Bare(">JGEO,Sent,FREQ=1545.0,ID=44,LON=1,EL=2,AZ=3"));  // toggle set
    EXPECT_EQ(l.iGeoId, 44);
    Feed(Bare(">JGEO,Sent,FREQ=1545.0,PRN=131,LON=1,EL=2,AZ=3"));
    Feed(Bare(">JGEO,Sent,FREQ=1545.0,PRN,LON,EL=2,AZ"));  // values without "=" store 0
    EXPECT_EQ(Join(l.iGeoId, l.fGeoLongitude, l.fGeoElevation, l.iSBASPRN1), "0 0 2 131");
    const std::pair<const char*, uint32_t> freqs[] = {{"FREQ=1534.7410", 1534741},
                                                      {"FREQ=1535.1375", 1535137},
                                                      {"FREQ=1536.7820", 1536782},
                                                      {"FREQ=1545", 1545000},
                                                      {"FREQ=1545.5", 1545500},
                                                      {"FREQ=", 0},
                                                      {"FRE", 0},
                                                      {"", 0},
                                                      {"FREQ=x", 0}};
    for (const auto& [field, khz] : freqs) {
        rec.LBand.ulGeoFreqKhz = 99;
        Feed(Bare(std::string(">JGEO,Sent,") + field + ",PRN=122,LON=1,EL=2,AZ=3"));
        EXPECT_EQ(l.ulGeoFreqKhz, khz) << field;
    }
    // The option code decides the 20 Hz rates and the t-Span screens.
    const std::tuple<const char*, uint32_t, bool, bool> options[] = {
        {"A1B04", 4, false, true}, {"01", 1, true, false},     {"7", 0xFFFF, true, true},
        {"", 0xFFFF, true, true},  {"X1", 0xFFFF, true, true}, {"ABC1Z", 0xFFFF, true, true},
        {"99", 99, true, false},   {"00", 0, false, false}};
    for (const auto& [option, code, has20, hasTSpan] : options) {
        ResetOptionCode();
        Feed(Bare(std::string(">JI,1,2,3,4,5,") + option + ",APP,DSP"));
        EXPECT_EQ(Join(GetOptionCode(), bHas20HzOption(), bHasTSpanOption()),
                  Join(code, has20, hasTSpan))
            << option;
    }
    Feed(Bare(">JI,42,2,3,4,5,00,APPLICATION-FIRMWARE-TEXT,DSP"));
    EXPECT_EQ(Join(l.szAppFirmware, l.szDspFirmware), "APPLICATION-FIRMWAR DSP");
    Feed(Bare(">JI,43,2,3,4,5,00,,"));
    EXPECT_EQ(Join(l.szAppFirmware, l.szDspFirmware), "Unavailable Unavailable");
    Feed(Bare(">JI,44,2,3,4,5,00,NEW"));  // field 8 missing: stops after field 7
    EXPECT_EQ(Join(l.szAppFirmware, l.szDspFirmware, l.lSerialNumber), "NEW Unavailable 44");

    const PortConfig& p = rec.RxPortConfig;
    g_bRTKRefInvalid.store(0);
    Feed(Bare(">JRTK,1,FAILED"));
    EXPECT_EQ(Join(g_bRTKRefInvalid.load(), p.dCurRefLat), "1 0");
    Feed(Bare(">JRTK,1,10.5,,"));
    EXPECT_EQ(Join(p.dCurRefLat, p.dCurRefAlt), "10.5 0");
    const std::pair<const char*, int> ports[] = {
        {">JRTK,6,OK,1", 1},     {">JRTK,6,OK,2", 2}, {">JRTK,6,OK,3", 2},
        {">JRTK,6,OK,0", 2},     {">JRTK,6,OK,7", 3}, {">JRTK,6,OK,Unknown Command \"6\"", 0},
        {">JRTK,6,FAILED,4", 0}, {">JRTK,9,OK,4", 0}};
    for (const auto& [reply, port] : ports) {
        Feed(Bare(reply));
        EXPECT_EQ(p.eCurDfxPort, port) << reply;
    }
    // Screens wait for these counters: every "$>JI" reply counts, a failed one too; of the
    // "$>JRTK" replies only those that stored a position; nothing else moves them.
    const std::tuple<const char*, uint32_t, uint32_t> counted[] = {
        {">JI,1,2,3,4,5,00,APP,DSP", 1, 0},
        {">JI,1", 1, 0},
        {">JRTK,1,51.5,-0.1,45", 0, 1},
        {">JRTK,1,FAILED", 0, 0},
        {">JRTK,6,OK,1", 0, 0},
        {">JDIFF,BEACON", 0, 0},
        {"GPJI,1,2", 0, 0},
        {">JIX,1", 0, 0}};
    for (const auto& [sentence, ji, jrtk] : counted) {
        const uint32_t ji0 = g_ulJIReplies.load(), jrtk0 = g_ulJRTKPositionReplies.load();
        Feed(Bare(sentence));
        EXPECT_EQ(Join(g_ulJIReplies.load() - ji0, g_ulJRTKPositionReplies.load() - jrtk0),
                  Join(ji, jrtk))
            << sentence;
    }
}

TEST_F(Dispatch, ResponderCommands) {
    EXPECT_EQ(Run({"$PKRV,HELP\r\n"}),
              "$>PKRV,Version,P022-0.001\r\n$>PKRV,HELP          -Help message\r\n"
              "$>PKRV,BAUD,         -Baud Rate\r\n$>PKRV,SETUP,SET,    -LL,HGT,SPD,UTC,SRC,RT\r\n"
              "$>PKRV,SETUP,SHOW    -Shows Setup\r\n"
              "$>PKRV,SETUP,MUX     -Enable/Disable Communication Mux\r\n"
              "$>PKRV,STATUS,CS     -Checksum Error Report\r\n");
    // Only listed rates are taken; the same rate again is accepted silently and saved again;
    // only a change of rate pauses before the save.
    const std::tuple<const char*, const char*, int> bauds[] = {
        {"14400", "", 9600},  {"19200", "$>PKRV,MSG,Baud rate set to 19200\r\n", 19200},
        {"19200", "", 19200}, {"4800", "$>PKRV,MSG,Baud rate set to 4800\r\n", 4800},
        {"115200", "", 4800}, {"", "", 4800}};
    for (const auto& [rate, answer, set] : bauds) {
        EXPECT_EQ(Run({Nmea(std::string("PKRV,BAUD,") + rate)}), answer) << rate;
        EXPECT_EQ(rec.iRxRTCMBaudRate, set) << rate;
    }
    EXPECT_EQ(saves, 3);
    EXPECT_EQ(clock.pauses(), (std::vector<uint32_t>{250, 250}));
    EXPECT_EQ(Run({"$PKRV,SETUP,SAVE\r\n"}), "$>PKRV,MSG,Setup Saved\r\n");
    EXPECT_EQ(saves, 4);
    EXPECT_EQ(Run({"$PKRV,SETUP,READ\r\n"}), "$>PKRV,MSG,CRC Passed\r\n$>PKRV,MSG,Setup Read\r\n");
    loadResult = false;
    EXPECT_EQ(Run({"$PKRV,SETUP,READ\r\n"}), "$>PKRV,MSG,CRC Failed\r\n$>PKRV,MSG,Setup Read\r\n");
    EXPECT_EQ(loads, 2);

    auto words = [this] {
        return Join(rec.ulSetupWord1, rec.ulSetupWord2, rec.ulSetupWord3, rec.ulSetupWord4,
                    static_cast<int32_t>(rec.ulSetupWord5), rec.eCurCorrSource);
    };
    EXPECT_EQ(Run({"$PKRV,SETUP,SET,DMS,FEET,KNOTS,-5,LBAND,5\r\n"}), "");
    EXPECT_EQ(words(), "1 2 1 2 -5 2");
    Run({"$PKRV,SETUP,SET,XX,YY,ZZ,13,WHAT,1\r\n"});  // offset outside -12..12
    EXPECT_EQ(words(), "0 2 1 2 0 2");
    Run({"$PKRV,SETUP,SET,DD,METERS,MPH\r\n"});  // a missing offset becomes 0
    EXPECT_EQ(words(), "0 0 0 1 0 2");
    EXPECT_EQ(Run({"$PKRV,SETUP,MUX,ON\r\n", "$PKRV,SETUP,MUX,OFF\r\n", "$PKRV,SETUP,MUX,X\r\n"}),
              "$>PKRV,MSG,MUX Enabled\r\n$>PKRV,MSG,MUX Disabled\r\n");
    const std::string head = "$>PKRV,Setup,NMEARate,57600\r\n$>PKRV,Setup,RTCMRate,4800\r\n";
    const std::string intro =
        "$>PKRV,Setup,TopIntro,Top line of the \r\n$>PKRV,Setup,BottomIntro,Bottom\r\n";
    EXPECT_EQ(Run({"$PKRV,SETUP,SET,DMS,FEET,KNOTS,-5,AUTO,5\r\n",
                   "$PKRV,SETUP,INTRO,Top line of the intro,Bottom\r\n", "$PKRV,SETUP,SHOW\r\n"}),
              head +
                  "$>PKRV,Setup,LLFormat,DMS\r\n$>PKRV,Setup,HeightFormat,Feet\r\n"
                  "$>PKRV,Setup,SpeedFormat,KNOTS\r\n$>PKRV,Setup,UTCOffset,-5\r\n"
                  "$>PKRV,Setup,DiffSource,AUTODIFF\r\n$>PKRV,Setup,FiveHertz,On\r\n" +
                  intro);
    EXPECT_EQ(Run({"$PKRV,SETUP,SET,DM,METERS,KMPH,0,RTKBAS,1\r\n", "$PKRV,SETUP,SHOW\r\n"}),
              head +
                  "$>PKRV,Setup,LLFormat,DM\r\n$>PKRV,Setup,HeightFormat,Meters\r\n"
                  "$>PKRV,Setup,SpeedFormat,KMPH\r\n$>PKRV,Setup,UTCOffset,0\r\n"
                  "$>PKRV,Setup,DiffSource,\r\n$>PKRV,Setup,FiveHertz,Off\r\n" +
                  intro);
    rec.iRxElevation = 20;
    EXPECT_EQ(Run({"$PKRV,SETUP,RESET\r\n"}), "$>PKRV,MSG,Setup Reset\r\n");
    EXPECT_EQ(Join(rec.iRxElevation, rec.szSetupText2, rec.ulSetupWord2, rec.ulPart1Lock),
              "5  1 0");

    // Beacon status with missing fields takes the defaults; long texts are cut.
    rec.Beacon.iSNR = 9;
    const BeaconInfo& b = rec.Beacon;
    Run({Nmea("PKRV,CS0,FIRMWARE-TEXT-LONGER-THAN-TWENTY,X,301.5")});
    EXPECT_EQ(
        Join(b.szBeaconFirmware, b.fBeaconFreq, b.cFreqMode, b.iBeaconBitRate, b.cRateMode, b.iSNR),
        "FIRMWARE-TEXT-LONGER 301.5 A 0 A 0");
    Run({Nmea("PKRV,CS0,"), "$>PKRV,Version,SBX 1.0\r\n", "$>PKRV,Version\r\n"});
    EXPECT_EQ(Join(b.szBeaconFirmware, b.fBeaconFreq, b.szBeaconVersion),
              "Unavailable 0 Unavailable");
    Run({"$>PKRV,Version,A-VERSION-TEXT-OF-MORE-THAN-22\r\n"});
    EXPECT_EQ(Join(b.szBeaconVersion, b.ulBeaconLock), "A-VERSION-TEXT-OF-MORE 0");
}

}  // namespace
