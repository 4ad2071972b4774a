// The sentence dispatcher, its decoders, the proprietary responder and the binary messages.

#include "engine/nmea.h"

#include <gtest/gtest.h>

#include "engine/appstate.h"
#include "engine/binary.h"
#include "engine/gps.h"
#include "engine/lbndnmea.h"
#include "engine/stdnmea.h"
#include "platform/bytes.h"
#include "platform/trace.h"
#include "support/decimal_comma_locale.h"
#include "support/frames.h"
#include "support/virtual_clock.h"
#include "wire_fixture.h"

namespace {

using wiretest::Join;
constexpr auto& Nmea = testsupport::NmeaSentence;
const auto Bare = [](const std::string& body) { return "$" + body + "\r\n"; };  // as replies come
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
    bool Feed(const std::string& sentence) {
        std::vector<char> buffer(sentence.begin(), sentence.end());
        buffer.push_back('\0');
        return nmea.bParseNMEA(&rec, buffer.data());
    }
    std::string Run(const std::string& lines) {
        answers.clear();
        for (const std::string& line : wiretest::Lines(lines)) Feed(line);
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

// What the screens' read-outs do not show, and the odd forms.
TEST_F(Dispatch, FamiliesDecodeIntoTheirFields) {
    const NavInfo& n = rec.Nav;
    const PortConfig& p = rec.RxPortConfig;
    rec.SatView.Channel[10].iPRN = 77;
    App().iHeadingAge.store(5);
    Run(Nmea(kGGA) + Nmea("GPGSV,3,3,10,09,05,010,30,10,80,270,") + Nmea("GPHDT,725.0,T") +
        Nmea("GPROT,12.25,A") + Nmea("PZLT,HPR,123519.00,231.5,-2.5") + Bare(">JATT,TILTAID,NO") +
        Bare(">JATT,MAGAID,YES") + Bare(">JATT,LEVEL,YES") + Bare(">JATT,FLIPBRD,YES") +
        Bare(">JATT,NEGTILT,YES") + Bare(">JATT,HTAU,1.5") + Bare(">JATT,HTAU,") +
        Bare(">JDIFF,EXT-OTHER") + Bare(">JAPP,WAAS,SUBSEA7") + Bare("> JBAUD,19200") +
        Bare(">PKRV,Version,SBX-4 2.03"));
    EXPECT_EQ(Join(n.iHour, n.fSecond, n.iSecond, n.dLatMin, n.cLatDir, n.iLonDeg, n.iFixQuality,
                   n.fAltitude, n.fDiffAge),
              "12 19.5 19 7.038 N 11 1 545.4 2");
    // No satellite from the checksum digits, no heading from HPR; an empty HTAU leaves 1.5.
    const auto& sat = rec.SatView.Channel;
    EXPECT_EQ(Join(sat[9].iPRN, sat[9].iElev, sat[9].iSNR, sat[10].iPRN, n.fHeading, n.fROT,
                   App().iHeadingAge.load(), n.fPitch, n.fRoll, n.fHDGTau, n.bTiltAid, n.bLevel,
                   n.bFLIPBRD, n.bNegTilt),
              "10 80 0 77 5 12.25 0 -2.5 -2.5 1.5 0 1 1 1");
    EXPECT_EQ(Join(rec.eCurCorrSource, bExtThisPort.load(), rec.eRxApp, rec.eRxOtherApp,
                   rec.iRxRTCMBaudRate, rec.Beacon.szBeaconVersion),
              "4 0 3 9 19200 SBX-4 2.03");
    bExtThisPort.store(1);
    Run(Bare(">JSHOW,ASC,GPGGA,1.0") + Bare(">JSHOW,ASC,GPGSV,0.2,OTHER") +
        Nmea(">JSHOW,ASC,HEHDT,10") + Bare(">JSHOW,ASC,PHPR,20,OTHER") +
        Bare(">JSHOW,ASC,GPRMC,5,PORTA") + Bare(">JSHOW,ASC,BEAC,0") +
        Bare(">JSHOW,ASC,DFX,1,PORTB") + Bare(">JSHOW,BIN,95,1") + Bare(">JSHOW,BIN,96,10,OTHER") +
        Bare(">JSHOW,BIN,97,10") + Bare(">JSHOW,MASK,10") + Nmea(">JSHOW,AGE,60") +
        Bare(">JSHOW,BAUD,4800,OTHER") + Nmea(">JSHOW,BAUD,38400") +
        Bare(">JSHOW,BAUD,115200,PORTC") + Bare(">JSHOW,FREQ,1545.0") +
        Bare(">JSHOW,CONF,WHATEVER"));
    EXPECT_EQ(Join(p.eGGA, p.iSpare[RXSPARE_OTHER_GGA + 4], p.eHEHDT, p.iSpare[RXSPARE_OTHER_HPR],
                   p.eRMC, p.bRTCM, p.eCurDfxPort, p.eBIN95, p.iSpare[RXSPARE_OTHER_GGA + 10],
                   p.eBIN96, rec.iRxElevation, rec.iRxMaxAge, rec.iRxRTCMBaudRate,
                   rec.iRxNMEABaudRate, rec.LBand.bFreqAuto),
              "2 1 4 5 0 1 2 2 4 0 10 60 4800 38400 0");
    // After a binary position a GGA gives only quality and dilution.
    App().bBin1Position.store(1);
    Run(Bare(">JSHOW,FREQ,0") +
        Nmea("GPGGA,223519.50,3307.038,S,01131.000,E,0,09,1.7,545.4,M,46.9,M,2.0,0000"));
    App().bBin1Position.store(0);
    EXPECT_EQ(Join(rec.LBand.bFreqAuto, n.iLatDeg, n.iHour, n.iSatsUsed, n.fHDOP, n.iFixQuality,
                   rec.Comm.iChecksumErrors),
              "1 48 12 8 1.7 0 0");
}

TEST_F(Dispatch, ConvertersChecksumsAndTraces) {
    char field[kNMEAFieldSize], sentence[] = "$A,,B*4E\r\n";
    std::string fields;
    for (char* p = sentence; (p = CNMEA::pszGetNMEAfield(field, p)) && fields.size() < 99;)
        fields += std::string(field) + "|";
    EXPECT_EQ(fields, "$A||B|4E|\n|");
    EXPECT_EQ(Join(CNMEA::iACIItoHex("FFFFFFFF"), CNMEA::fACIItoFloat("1e39"),
                   CNMEA::iCheckHeader("$GP", "$GPGGA,"), CNMEA::iCalcChecksum("$AB*00")),
              "-1 0 0 3");  // beyond float: not a number; the shorter length decides
    std::string bad = Nmea(kGGA);
    bad[bad.size() - 3] = bad[bad.size() - 3] == '0' ? '1' : '0';
    EXPECT_FALSE(Feed(Bare("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,*ZZ")));
    EXPECT_EQ(Run(bad + Nmea("PKRV,STATUS,CS") + "$PKRV,STATUS,XX\r\n"),
              "$>PKRV,Status,ChecksumErrors,2\r\n");
    EXPECT_EQ(rec.Nav.iLatDeg, 0);
    EXPECT_TRUE(Feed(Bare(kGGA))) << "without '*' decoded untested";
    EXPECT_EQ(rec.Nav.iLatDeg, 48);
    EXPECT_EQ(Run(Bare("PKRV,8,QERVAD,FULL") + Bare("PKRV,HELP,1") + Bare("PKRV,SETUP,")), "");
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
        {"GPGGA,1,4,N,0,E,1,300,,,,,,", "1 0 0 4 0 0 1 44 N"},  // quality 5 keeps the old value
        {"GPGGA,235960.99,0000.5,N,17959.9,E,5,4,,,,,,", "23 59 60 0 0.5 179 1 4 N"}};
    for (const auto& [body, expected] : ggas) {
        Feed(Nmea(body));
        const NavInfo& n = rec.Nav;
        EXPECT_EQ(Join(n.iHour, n.iMinute, n.iSecond, n.iLatDeg, n.dLatMin, n.iLonDeg,
                       n.iFixQuality, n.iSatsUsed, n.cLatDir),
                  expected)
            << body;
    }
    const std::pair<const char*, float> headings[] = {{"-10.0", 350.0f}, {"1e300", NAN}};
    for (const auto& [text, heading] : headings) {
        rec.Nav.fHeading = 123.0f;
        Feed(Nmea(std::string("HEHDT,") + text + ",T"));
        const float h = rec.Nav.fHeading;
        EXPECT_TRUE(std::isfinite(h) && h >= 0.0f && h <= 360.0f) << text;
        EXPECT_TRUE(std::isnan(heading) || h == heading) << text << " " << h;
    }
    EXPECT_EQ(
        Join(RateToRateCode(20), RateToRateCode(0.195f), RateToRateCode(0.19f), RateToRateCode(2)),
        "5 1 0 0");
    // The differential source reply: -1 where it is not recognised and the source stays.
    const std::tuple<const char*, int, int> sources[] = {
        {"EXT-THIS", 4, 1}, {"X-SUBSEA7", 9, 1}, {"WAAS2", -1, 1}};
    bExtThisPort.store(1);
    for (const auto& [field, source, extThis] : sources) {
        rec.eCurCorrSource = 55;
        Feed(Bare(std::string(">JDIFF,") + field));
        EXPECT_EQ(Join(rec.eCurCorrSource, bExtThisPort.load()),
                  Join(source < 0 ? 55 : source, extThis))
            << field;
    }
    rec.eRxApp = 8;  // the t-Span applications override the reply
    Feed(Bare(">JDIFF,BEACON"));
    EXPECT_EQ(rec.eCurCorrSource, 8);
    // A DFX item at rate 0 with a port stores nothing; an unknown name goes to a spare word.
    rec.RxPortConfig.eCurDfxPort = 0;
    Feed(Bare(">JSHOW,ASC,DFX,0,PORTC"));
    Feed(Bare(">JSHOW,ASC,GPXYZ,5"));
    EXPECT_EQ(Join(rec.RxPortConfig.eCurDfxPort, rec.RxPortConfig.iSpare[RXSPARE_UNUSED],
                   rec.RxPortConfig.ulLastWord),
              "0 3 0");
}

TEST_F(Dispatch, LBandRtkAndReplyCounters) {
    const LBandInfo& l = rec.LBand;
    Feed(Nmea("RD1,000041,1910,1557.8450,1,300-120,0,0,0,0,0,1,2"));
    Feed(Nmea("RD1,1,2,3,4,12"));  // shorter than 30 characters
    EXPECT_EQ(Join(l.iLBandBer, l.iSBASBer1, l.iSBASBer2), "500 120 300");
    Feed(Bare(">JGEO,Sent,FREQ=1545.0,ID=44,LON=1,EL=2,AZ=3"));
    EXPECT_EQ(l.iGeoId, 44);
    Feed(Bare(">JGEO,Sent,FREQ=1545.5,PRN,LON,EL=2,AZ"));  // values without "=" store 0
    EXPECT_EQ(Join(l.iGeoId, l.fGeoLongitude, l.fGeoElevation, l.ulGeoFreqKhz), "0 0 2 1545500");
    // The option code decides the 20 Hz rates and the t-Span screens.
    const std::tuple<const char*, uint32_t, bool, bool> options[] = {
        {"A1B04", 4, false, true}, {"01", 1, true, false}, {"ABC1Z", 0xFFFF, true, true}};
    for (const auto& [option, code, has20, hasTSpan] : options) {
        ResetOptionCode();
        Feed(Bare(std::string(">JI,1,2,3,4,5,") + option + ",APP,DSP"));
        EXPECT_EQ(Join(GetOptionCode(), bHas20HzOption(), bHasTSpanOption()),
                  Join(code, has20, hasTSpan))
            << option;
    }
    const PortConfig& p = rec.RxPortConfig;
    g_bRTKRefInvalid.store(0);
    Feed(Bare(">JRTK,1,FAILED"));
    EXPECT_EQ(Join(g_bRTKRefInvalid.load(), p.dCurRefLat), "1 0");
    g_bRTKRefInvalid.store(0);
    Feed(Bare(">JRTK,6,FAILED,4"));
    EXPECT_EQ(g_bRTKRefInvalid.load(), 1);
    const std::pair<const char*, int> ports[] = {
        {">JRTK,6,OK,3", 2}, {">JRTK,6,OK,7", 3}, {">JRTK,6,OK,Unknown Command \"6\"", 0}};
    for (const auto& [reply, port] : ports) {
        Feed(Bare(reply));
        EXPECT_EQ(p.eCurDfxPort, port) << reply;
    }
    // Screens wait on these: every "$>JI" reply counts, of "$>JRTK" only stored positions.
    const std::tuple<const char*, uint32_t, uint32_t> counted[] = {{">JI,1", 1, 0},
                                                                   {">JRTK,1,51.5,-0.1,45", 0, 1},
                                                                   {">JRTK,1,FAILED", 0, 0},
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
    // Only listed rates are taken; the same one again is saved silently without a pause.
    const std::tuple<const char*, const char*, int> bauds[] = {
        {"14400", "", 9600},
        {"19200", "$>PKRV,MSG,Baud rate set to 19200\r\n", 19200},
        {"19200", "", 19200}};
    for (const auto& [rate, answer, set] : bauds) {
        EXPECT_EQ(Run(Nmea(std::string("PKRV,BAUD,") + rate)), answer) << rate;
        EXPECT_EQ(rec.iRxRTCMBaudRate, set) << rate;
    }
    EXPECT_EQ(Join(saves, clock.pauses().size()), "2 1");
    EXPECT_EQ(Run("$PKRV,SETUP,SAVE\r\n"), "$>PKRV,MSG,Setup Saved\r\n");
    loadResult = false;
    EXPECT_EQ(Run("$PKRV,SETUP,READ\r\n"), "$>PKRV,MSG,CRC Failed\r\n$>PKRV,MSG,Setup Read\r\n");
    EXPECT_EQ(Join(saves, loads), "3 1");
    EXPECT_EQ(Run("$PKRV,SETUP,SET,DMS,FEET,KNOTS,-5,AUTO,5\r\n"
                  "$PKRV,SETUP,INTRO,Top line of the intro,Bottom\r\n$PKRV,SETUP,SHOW\r\n"),
              "$>PKRV,Setup,NMEARate,57600\r\n$>PKRV,Setup,RTCMRate,19200\r\n"
              "$>PKRV,Setup,LLFormat,DMS\r\n$>PKRV,Setup,HeightFormat,Feet\r\n"
              "$>PKRV,Setup,SpeedFormat,KNOTS\r\n$>PKRV,Setup,UTCOffset,-5\r\n"
              "$>PKRV,Setup,DiffSource,AUTODIFF\r\n$>PKRV,Setup,FiveHertz,On\r\n"
              "$>PKRV,Setup,TopIntro,Top line of the \r\n$>PKRV,Setup,BottomIntro,Bottom\r\n");
    EXPECT_EQ(Run("$PKRV,SETUP,MUX,OFF\r\n$PKRV,SETUP,MUX,X\r\n"), "$>PKRV,MSG,MUX Disabled\r\n");
    Run("$PKRV,SETUP,SET,XX,YY,ZZ,13,WHAT,1\r\n");  // offset outside -12..12
    EXPECT_EQ(Join(rec.ulSetupWord1, rec.ulSetupWord2, static_cast<int32_t>(rec.ulSetupWord5)),
              "0 2 0");
    rec.iRxElevation = 20;
    EXPECT_EQ(Run("$PKRV,SETUP,RESET\r\n"), "$>PKRV,MSG,Setup Reset\r\n");
    EXPECT_EQ(Join(rec.iRxElevation, rec.szSetupText2, rec.ulSetupWord2, rec.ulPart1Lock),
              "5  1 0");
    // Beacon status with missing fields takes the defaults; long texts are cut.
    rec.Beacon.iSNR = 9;
    const BeaconInfo& b = rec.Beacon;
    Run(Nmea("PKRV,CS0,FIRMWARE-TEXT-LONGER-THAN-TWENTY,X,301.5") +
        "$>PKRV,Version,A-VERSION-TEXT-OF-MORE-THAN-22\r\n");
    EXPECT_EQ(Join(b.szBeaconFirmware, b.fBeaconFreq, b.cFreqMode, b.iBeaconBitRate, b.cRateMode,
                   b.iSNR, b.szBeaconVersion),
              "FIRMWARE-TEXT-LONGER 301.5 A 0 A 0 A-VERSION-TEXT-OF-MORE");
}

using testsupport::BinFrame;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string Message1(double tow, double lat, double lon, float height = 123.5f) {
    platform::ByteWriter d;
    d.U8(7);  // age of differential corrections
    d.U8(11);
    d.U16(1400);
    d.F64(tow);
    d.F64(lat);
    d.F64(lon);
    for (float f : {height, 1.25f, -2.5f, 0.75f, 0.375f}) d.F32(f);
    d.U16(3);   // navigation mode
    d.U16(41);  // extended age
    return BinFrame(1, d.str());
}

class BinaryTest : public ::testing::Test {
protected:
    bool Parse(const std::string& f, size_t length = std::string::npos) {
        // On the heap at its exact size, so that any read past the frame is caught.
        const size_t n = std::min(length, f.size());
        auto heap = std::make_unique<char[]>(n);
        std::memcpy(heap.get(), f.data(), n);
        return binary.bParseBINARY(rec, heap.get(), static_cast<int>(n));
    }
    AppShared app;
    CBinary binary{&app};
    std::unique_ptr<CGPS> gps = std::make_unique<CGPS>();
    GPSInfo* rec = &gps->Info;
};

TEST_F(BinaryTest, OnlyWholeFramesWithMatchingLengthSumAndLineEndAreTaken) {
    const std::string good = BinFrame(3, std::string(10, 'x'));
    auto with = [&good](size_t at, char c) {
        std::string f = good;
        f[at] = c;
        return f;
    };
    const std::string wraps = BinFrame(99, std::string(300, '\xFF'));
    const std::tuple<const char*, std::string, size_t, bool> cases[] = {
        {"valid, undecoded type", good, good.size(), true},
        {"wrong sum", with(18, good[18] + 1), good.size(), false},
        {"length handed over short", good, good.size() - 1, false},
        {"length word too large", with(6, 11), good.size(), false},
        {"N below 8", BinFrame(3, std::string(7, 'x')), 19, false},
        {"no LF", with(good.size() - 1, ' '), good.size(), false},
        {"sum wraps", wraps, wraps.size(), true},
        {"too short for a header", "$BIN", 4, false},
    };
    for (const auto& [name, frame, length, accepted] : cases)
        EXPECT_EQ(Parse(frame, length), accepted) << name;
    EXPECT_FALSE(CBinary::iCalcChecksum(with(8, '\xFE').data(), static_cast<int>(good.size())));
    // Undecoded types and frames one byte short of their layout are taken and change nothing.
    const std::pair<int, int> layouts[] = {{1, 52},   {2, 16},   {80, 40}, {93, 56}, {94, 96},
                                           {95, 128}, {96, 300}, {97, 28}, {98, 72}, {99, 304}};
    for (auto [id, size] : layouts)
        EXPECT_TRUE(Parse(BinFrame(static_cast<uint8_t>(id), std::string(size - 1, 'Z')))) << id;
    const auto before = std::make_unique<CGPS>();
    EXPECT_EQ(std::memcmp(&before->Info.Binary, &rec->Binary, sizeof(BinaryInfo)), 0);
    EXPECT_EQ(std::memcmp(&before->Info.Nav, &rec->Nav, sizeof(NavInfo)), 0);
    EXPECT_EQ(app.bBin1Position.load(), 0);
}

TEST_F(BinaryTest, Message1FillsNavigationAndItsCopy) {
    ASSERT_TRUE(Parse(Message1(3600.25, 51.75, -1.5)));
    const NavInfo& n = rec->Nav;
    const Bin1Data& b = rec->Binary.Bin1;
    EXPECT_EQ(Join(n.fDiffAge, n.iSatsUsed, n.usGPSWeek, n.dTimeOfWeek, n.fAltitude, n.fGSTRms,
                   n.usNavMode),
              "7 11 1400 3600.25 123.5 0.375 3");
    EXPECT_EQ(Join(n.iLatDeg, n.dLatMin, n.fLatMin, n.cLatDir, n.iLonDeg, n.dLonMin, n.cLonDir),
              "51 45 45 N -1 30 W");
    // Sunday 5 November 2006, 01:00:00.25 GPS time; local is six hours earlier.
    EXPECT_EQ(Join(n.iYear, n.iMonth, n.iDay, n.iHour, n.iMinute, n.iSecond, n.fSecond),
              "2006 11 5 1 0 0 0.25");
    EXPECT_EQ(Join(n.iLocalYear, n.iLocalMonth, n.iLocalDay, n.iLocalHour, n.iLocalMinute,
                   n.iLocalSecond, n.fLocalSecond),
              "2006 11 4 19 0 0 0.25");
    EXPECT_EQ(app.bBin1Position.load(), 1);
    // Signed degrees are split and the hemisphere follows the sign.
    ASSERT_TRUE(Parse(Message1(100.0, -0.5, -179.75)));
    EXPECT_EQ(Join(n.iLatDeg, n.dLatMin, n.cLatDir, n.iLonDeg, n.dLonMin, n.cLonDir),
              "0 30 S -179 45 W");
    // No angle or no height leaves them alone; a non-finite time leaves calendar and time.
    const std::tuple<double, double, float> bad[] = {{kNaN, kNaN, NAN}, {91.0, 181.0, -INFINITY}};
    for (const auto& [lat, lon, height] : bad) {
        ASSERT_TRUE(Parse(Message1(101.0, lat, lon, height)));
        EXPECT_EQ(Join(n.iLatDeg, n.cLatDir, n.iLonDeg, n.fAltitude), "0 S -179 123.5") << lat;
    }
    ASSERT_TRUE(Parse(Message1(kNaN, 20.0, 20.0)));
    EXPECT_EQ(Join(b.dGPSTimeOfWeek, n.dTimeOfWeek, n.iDay, n.iLatDeg), "101 101 5 20");
}

TEST(GpsCalendar, WeeksAndTimesOfWeekGiveTheCalendarDate) {
    const struct {
        int64_t week;
        double tow;
        GpsCalendar want;
    } cases[] = {
        {1400, -1.0, {2006, 11, 4, 23, 59, 59, 59.0f}},  // into the week before
        {6269, 86400.0, {2100, 3, 1, 0, 0, 0, 0.0f}},    // 2100 is no leap year
    };
    for (const auto& c : cases) {
        GpsCalendar cal{};
        ASSERT_TRUE(GpsTimeToCalendar(c.week, c.tow, cal)) << c.week << " " << c.tow;
        const GpsCalendar& w = c.want;
        EXPECT_EQ(std::tie(cal.iYear, cal.iMonth, cal.iDay, cal.iHour, cal.iMinute, cal.iSecond,
                           cal.fSecond),
                  std::tie(w.iYear, w.iMonth, w.iDay, w.iHour, w.iMinute, w.iSecond, w.fSecond))
            << c.week << " " << c.tow;
    }
    for (double tow : {kNaN, -1e300}) {
        GpsCalendar cal{1, 2, 3, 4, 5, 6, 7.0f};
        EXPECT_FALSE(GpsTimeToCalendar(1400, tow, cal)) << tow;
        EXPECT_EQ(Join(cal.iYear, cal.iSecond), "1 6");
    }
}

TEST_F(BinaryTest, Messages2And80) {
    platform::ByteWriter d;
    for (uint32_t v : {0x89ABCDEFu, 0x01234567u}) d.U32(v);
    for (uint16_t v : {14, 17, 25, 0xBEEF}) d.U16(v);
    ASSERT_TRUE(Parse(BinFrame(2, d.str())));
    const Bin2Data& b = rec->Binary.Bin2;
    EXPECT_EQ(Join(b.ulMaskSatsTracked, b.ulMaskSatsUsed, b.usGpsUtcDiff, b.usHDOPTimes10,
                   rec->Binary.usVDOPTimes10, b.usWAASMask, rec->ulSetupWord5),
              "2309737967 19088743 14 17 25 48879 14");
    EXPECT_FLOAT_EQ(rec->Nav.fHDOP, 1.7f);
    // The ring of 50 entries: the 51st overwrites entry 0.
    auto message80 = [](uint32_t base) {
        platform::ByteWriter m;
        m.U32(0xFFFFFFFF);
        m.U32(0xFFFFFFFF);
        for (uint32_t w = 0; w < 8; ++w) m.U32(base + w);
        return BinFrame(80, m.str());
    };
    for (uint32_t k = 0; k < 51; ++k) ASSERT_TRUE(Parse(message80(k == 50 ? 777000 : 1000 * k)));
    const BinaryInfo& r = rec->Binary;
    EXPECT_EQ(Join(r.iBin80Index, r.bBin80Valid, r.ulBin80Ring[49][7], r.ulBin80Ring[1][0]),
              "1 1 49007 1000");
    for (uint32_t w = 0; w < 8; ++w) EXPECT_EQ(r.ulBin80Ring[0][w], 777000 + w);
}

TEST_F(BinaryTest, PayloadHoldingCrLfDecodesOnlyAtItsRealEnd) {
    platform::ByteWriter d;
    d.U8(0);
    d.U8(5);
    d.U16(1400);
    d.Bytes("\r\n\r\n\r\n\r\n", 8);  // a time of week
    d.F64(2.0);
    d.F64(3.0);
    d.Zeros(20);
    d.U16(1);
    d.U16(0);
    const std::string f = BinFrame(1, d.str());
    const size_t firstCrLf = f.find("\r\n");
    EXPECT_FALSE(Parse(f, firstCrLf + 2));
    EXPECT_EQ(rec->Nav.iLatDeg, 0);
    EXPECT_TRUE(Parse(f));
    EXPECT_EQ(Join(rec->Nav.iLatDeg, rec->Nav.iLonDeg), "2 3");
}

}  // namespace
