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
#include "engine/decoder_cases.h"
#include "engine/lbndnmea.h"
#include "engine/stdnmea.h"
#include "platform/trace.h"
#include "support/decimal_comma_locale.h"
#include "support/virtual_clock.h"

namespace {

using decoder_cases::Bare;
using decoder_cases::Nmea;

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override {
        App().bBin1Position.store(0);
        ResetOptionCode();
        platform::ClearTrace();
        nmea.PkrvNMEA.Responder = [this](const std::string& text) { answers += text; };
        nmea.PkrvNMEA.SaveArchive = [this] {
            // The archive save runs while the record is held; the recursive lock allows it.
            RecordLock again(rec.ulPart1Lock);
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
    std::unique_ptr<CNMEA> nmeaOwner = std::make_unique<CNMEA>();
    CNMEA& nmea = *nmeaOwner;
    std::string answers;
    int saves = 0, loads = 0;
    bool loadResult = true;
};

TEST_F(Dispatch, EveryFamilyDecodesIntoItsFields) {
    for (const decoder_cases::Case& c : decoder_cases::AllFamilies()) {
        SCOPED_TRACE(c.name);
        auto fresh = std::make_unique<CGPS>();
        if (c.setup) c.setup(fresh->Info);
        for (const std::string& s : c.sentences) Feed(s, &fresh->Info);
        c.check(fresh->Info);
        EXPECT_EQ(fresh->Info.Comm.iChecksumErrors, 0);
    }
}

TEST_F(Dispatch, FieldHelpers) {
    char sentence[] = "$GPVTG,,T,,M,0.0,N,0.0,K*4E\r\n";
    char field[kNMEAFieldSize];
    std::vector<std::string> fields;
    for (char* p = sentence; (p = CNMEA::pszGetNMEAfield(field, p)) && fields.size() < 20;)
        fields.push_back(field);
    ASSERT_GE(fields.size(), 10u);
    EXPECT_LT(fields.size(), 20u);
    EXPECT_EQ(std::vector<std::string>(fields.begin(), fields.begin() + 10),
              (std::vector<std::string>{"$GPVTG", "", "T", "", "M", "0.0", "N", "0.0", "K", "4E"}));
    char empty[] = "";
    EXPECT_EQ(CNMEA::pszGetNMEAfield(field, nullptr), nullptr);
    EXPECT_EQ(CNMEA::pszGetNMEAfield(field, empty), nullptr);

    const std::pair<const char*, std::vector<std::string>> views[] = {
        {"$A,1,2*3F\r\n", {"$A", "1", "2"}},
        {"$A,1,*3F\r\n", {"$A", "1", ""}},
        {"$A,,\r\n", {"$A", "", ""}},
        {"$A\r\n", {"$A"}},
        {"$A,x", {"$A", "x"}},
    };
    for (const auto& [text, expected] : views) {
        NMEAFields f(field, text);
        std::vector<std::string> got;
        while (f.Next()) got.push_back(f.Text());
        EXPECT_EQ(got, expected) << text;
    }
    EXPECT_EQ(
        std::tuple(CNMEA::iACIItoHex("1F"), CNMEA::iACIItoHex("a"), CNMEA::iACIItoHex("FFFFFFFF")),
        std::tuple(31, 10, -1));
    EXPECT_EQ(std::tuple(CNMEA::iHexDigit('9'), CNMEA::iHexDigit('A'), CNMEA::iHexDigit('f'),
                         CNMEA::iHexDigit('G'), CNMEA::iHexDigit('*')),
              std::tuple(9, 10, 15, 0, 0));
    EXPECT_EQ(CNMEA::iCalcChecksum("$GPGLL,1*00"), 'G' ^ 'P' ^ 'G' ^ 'L' ^ 'L' ^ ',' ^ '1');
    EXPECT_EQ(CNMEA::iCalcChecksum("$AB"), 'A' ^ 'B');
    EXPECT_EQ(CNMEA::iCheckHeader("$GPGGA,1", "$GPGGA,"), 0);
    EXPECT_EQ(CNMEA::iCheckHeader("$GP", "$GPGGA,"), 0);  // the shorter length decides
    EXPECT_LT(CNMEA::iCheckHeader("$GPAAA,", "$GPGGA,"), 0);
    EXPECT_GT(CNMEA::iCheckHeader("$GPZZZ,", "$GPGGA,"), 0);
    EXPECT_EQ(std::tuple(CNMEA::fACIItoFloat("12.5abc"), CNMEA::fACIItoFloat("abc"),
                         CNMEA::fACIItoFloat("1e39"), CNMEA::dACIItoDouble("-114.5,")),
              std::tuple(12.5f, 0.0f, 0.0f, -114.5));  // beyond float: not a number here
}

TEST_F(Dispatch, ChecksumsUnknownTalkersAndStatistics) {
    std::string bad = Nmea(decoder_cases::kGGA);
    bad[bad.size() - 3] = bad[bad.size() - 3] == '0' ? '1' : '0';
    EXPECT_FALSE(Feed(bad));
    EXPECT_FALSE(Feed("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,*\r\n"));
    EXPECT_FALSE(Feed("$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,,M,,*ZZ\r\n"));
    EXPECT_EQ(rec.Comm.iChecksumErrors, 3);
    EXPECT_EQ(Run({bad, Nmea("PKRV,STATUS,CS"), "$PKRV,STATUS,XX\r\n", "$PKRV,STATUS,\r\n"}),
              "$>PKRV,Status,ChecksumErrors,4\r\n");
    EXPECT_EQ(rec.Nav.iLatDeg, 0);
    EXPECT_TRUE(Feed(Bare(decoder_cases::kGGA))) << "without '*' decoded untested";
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
    EXPECT_EQ(std::tie(before.iRxRTCMBaudRate, before.Nav.iLatDeg),
              std::tie(rec.iRxRTCMBaudRate, rec.Nav.iLatDeg));
    EXPECT_EQ(answers, "");

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
    Feed(Nmea(decoder_cases::kGGA));
    Feed(Bare(">JGEO,Sent,FREQ=1535.1375,PRN=122,LON=-15.5,EL=30.2,AZ=200.1"));
    Feed(Bare(">JSHOW,ASC,GPGGA,0.2"));
    testsupport::RestoreCLocale();
    EXPECT_EQ(std::tuple(rec.Nav.dLatMin, rec.Nav.fHDOP, rec.LBand.ulGeoFreqKhz,
                         rec.LBand.fGeoLongitude, rec.RxPortConfig.eGGA),
              std::tuple(7.038, 0.9f, 1535137u, -15.5f, RATE_5S));
}

TEST_F(Dispatch, GgaShortOddFieldsAndHeadingRange) {
    struct Row {
        const char* body;
        int hour, minute, second, latDeg, lonDeg, quality, sats;
        double latMin;
        char latDir;
    };
    const Row rows[] = {
        {"GPGGA,1,4,N,0,E,1,300,,,,,,", 1, 0, 0, 4, 0, 1, 44, 0.0, 'N'},
        {"GPGGA,,,,,,,,,,,,,", 0, 0, 0, 0, 0, 0, 0, 0.0, '\0'},
        {"GPGGA,0959,48,S,011,W,2,12,,,,,,", 9, 59, 0, 48, 11, 2, 12, 0.0, 'S'},
        {"GPGGA,235960.99,0000.5,N,17959.9,E,5,4,,,,,,", 23, 59, 60, 0, 179, 2, 4, 0.5, 'N'},
    };
    for (const Row& r : rows) {
        Feed(Nmea(r.body));  // quality 5 keeps the old value
        const NavInfo& n = rec.Nav;
        EXPECT_EQ(std::tuple(n.iHour, n.iMinute, n.iSecond, n.iLatDeg, n.dLatMin, n.iLonDeg,
                             n.iFixQuality, n.iSatsUsed, n.cLatDir),
                  std::tuple(r.hour, r.minute, r.second, r.latDeg, r.latMin, r.lonDeg, r.quality,
                             r.sats, r.latDir))
            << r.body;
    }
    const std::pair<const char*, float> headings[] = {
        {"-10.0", 350.0f}, {"725.0", 5.0f}, {"360.0", 360.0f}, {"720", 360.0f}, {"-360", 0.0f},
        {"359.5", 359.5f}, {"", 0.0f},      {"400", 40.0f},    {"1e300", NAN},  {"-1e308", NAN},
    };
    for (const auto& [text, heading] : headings) {
        rec.Nav.fHeading = 123.0f;
        Feed(Nmea(std::string("HEHDT,") + text + ",T"));
        const float h = rec.Nav.fHeading;
        EXPECT_TRUE(std::isfinite(h) && h >= 0.0f && h <= 360.0f) << text;
        if (!std::isnan(heading)) {
            EXPECT_FLOAT_EQ(h, heading) << text;
        }
    }
}

TEST_F(Dispatch, RateApplicationAndSourceCodes) {
    const std::pair<float, int> rates[] = {{20, 5},     {10, 4},    {5, 3}, {1, 2}, {0.2f, 1},
                                           {0.195f, 1}, {0.19f, 0}, {2, 0}, {-1, 0}};
    for (const auto& [hz, code] : rates) EXPECT_EQ(RateToRateCode(hz), code) << hz;
    const std::pair<const char*, int> apps[] = {
        {"WAAS", 3},   {"LBAND", 2},  {"AUTODIFF", 6}, {"SUBSEA7", 9}, {"RTK", 5},    {"BEACON", 1},
        {"RTKBAS", 7}, {"LOCDIF", 8}, {"waas", 0},     {"", 0},        {"RTKBASE", 0}};
    for (const auto& [name, code] : apps) {
        int32_t got = 77;
        EXPECT_EQ(AppNameToCode(&got, name), code != 0) << name;
        EXPECT_EQ(got, code) << name;
    }
    struct Row {
        const char* field;
        int source;  // -1: not recognised, source unchanged
        int extThis;
    };
    const Row rows[] = {
        {"WAAS", 3, 1},      {"LBAND", 2, 1},    {"BEACON", 1, 1},  {"EXT-THIS", 4, 1},
        {"EXT-OTHER", 4, 0}, {"NONE", 0, 0},     {"AUTO", 6, 0},    {"X-SUBSEA7", 9, 0},
        {"RTKBAS", 7, 0},    {"RTKROVER", 7, 0}, {"LOCDIFF", 8, 0}, {"SOMETHING", -1, 0},
        {"WAAS2", -1, 0},
    };
    bExtThisPort.store(1);
    for (const Row& row : rows) {
        rec.eCurCorrSource = 55;
        Feed(Bare(std::string(">JDIFF,") + row.field));
        EXPECT_EQ(std::tuple(rec.eCurCorrSource, bExtThisPort.load()),
                  std::tuple(row.source < 0 ? 55 : row.source, row.extThis))
            << row.field;
    }
    rec.eRxApp = 8;  // a base or local application overrides the reply
    Feed(Bare(">JDIFF,SOMETHING"));
    EXPECT_EQ(rec.eCurCorrSource, 8);

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
    EXPECT_EQ(rec.RxPortConfig.eCurDfxPort, 0);
    Feed(Bare(">JSHOW,ASC,GPXYZ,5"));
    EXPECT_EQ(std::tuple(rec.RxPortConfig.iSpare[RXSPARE_UNUSED], rec.RxPortConfig.ulLastWord),
              std::tuple(3, 0u));
}

TEST_F(Dispatch, LBandReplies) {
    LBandInfo& l = rec.LBand;
    struct Ber {
        const char* ber;
        int lband, sbas1, sbas2;
    };
    const Ber bers[] = {{"300-120", 500, 120, 300},
                        {"700", 700, 500, 500},
                        {"90-800", 500, 90, 500},
                        {"", 500, 90, 500},
                        {"12", 12, 500, 500}};
    for (const Ber& b : bers) {
        Feed(Nmea(std::string("RD1,000041,1910,1557.8450,1,") + b.ber + ",0,0,0,0,0,1,2"));
        EXPECT_EQ(std::tuple(l.iLBandBer, l.iSBASBer1, l.iSBASBer2),
                  std::tuple(b.lband, b.sbas1, b.sbas2))
            << b.ber;
    }
    Feed(Nmea("RD1,1,2,3,4,300"));  // shorter than 30 characters
    EXPECT_EQ(l.iLBandBer, 12);

    Feed(Bare(">JGEO,Sent,FREQ=1545.0,ID=44,LON=1,EL=2,AZ=3"));  // toggle set
    EXPECT_EQ(l.iGeoId, 44);
    Feed(Bare(">JGEO,Sent,FREQ=1545.0,PRN=131,LON=1,EL=2,AZ=3"));
    Feed(Bare(">JGEO,Sent,FREQ=1545.0,PRN,LON,EL=2,AZ"));  // values without "=" store 0
    EXPECT_EQ(std::tuple(l.iGeoId, l.fGeoLongitude, l.fGeoElevation, l.iSBASPRN1),
              std::tuple(0, 0.0f, 2.0f, 131));
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
        l.ulGeoFreqKhz = 99;
        Feed(Bare(std::string(">JGEO,Sent,") + field + ",PRN=122,LON=1,EL=2,AZ=3"));
        EXPECT_EQ(l.ulGeoFreqKhz, khz) << field;
    }

    const std::pair<const char*, uint32_t> options[] = {
        {"A1B04", 4},   {"01", 1},         {"7", 0xFFFF}, {"", 0xFFFF},
        {"X1", 0xFFFF}, {"ABC1Z", 0xFFFF}, {"99", 99}};
    for (const auto& [option, code] : options) {
        ResetOptionCode();
        Feed(Bare(std::string(">JI,1,2,3,4,5,") + option + ",APP,DSP"));
        EXPECT_EQ(GetOptionCode(), code) << option;
    }
    // The option code decides the 20 Hz rates and the t-Span screens; none known allows both.
    const std::tuple<int, bool, bool> rules[] = {
        {-1, true, true}, {4, false, true}, {1, true, false}, {0, false, false}, {5, true, true}};
    for (const auto& [code, has20, hasTSpan] : rules) {
        ResetOptionCode();
        if (code >= 0) SetOptionCode(static_cast<uint32_t>(code));
        EXPECT_EQ(std::tuple(bHas20HzOption(), bHasTSpanOption()), std::tuple(has20, hasTSpan))
            << code;
    }
    Feed(Bare(">JI,42,2,3,4,5,00,APPLICATION-FIRMWARE-TEXT,DSP"));
    EXPECT_EQ(std::string(l.szAppFirmware) + "|" + l.szDspFirmware, "APPLICATION-FIRMWAR|DSP");
    Feed(Bare(">JI,43,2,3,4,5,00,,"));
    EXPECT_EQ(std::string(l.szAppFirmware) + "|" + l.szDspFirmware, "Unavailable|Unavailable");
    Feed(Bare(">JI,44,2,3,4,5,00,NEW"));  // field 8 missing: stops after field 7
    EXPECT_EQ(std::string(l.szAppFirmware) + "|" + l.szDspFirmware, "NEW|Unavailable");
    EXPECT_EQ(l.lSerialNumber, 44);
}

TEST_F(Dispatch, RtkRepliesAndReplyCounters) {
    PortConfig& p = rec.RxPortConfig;
    g_bRTKRefInvalid.store(0);
    Feed(Bare(">JRTK,1,FAILED"));
    EXPECT_EQ(std::tuple(g_bRTKRefInvalid.load(), p.dCurRefLat), std::tuple(1, 0.0));
    Feed(Bare(">JRTK,1,10.5,,"));
    EXPECT_EQ(std::tuple(p.dCurRefLat, p.dCurRefAlt), std::tuple(10.5, 0.0));
    const std::pair<const char*, int> ports[] = {
        {">JRTK,6,OK,1", 1},     {">JRTK,6,OK,2", 2}, {">JRTK,6,OK,3", 2},
        {">JRTK,6,OK,0", 2},     {">JRTK,6,OK,7", 3}, {">JRTK,6,OK,Unknown Command \"6\"", 0},
        {">JRTK,6,FAILED,4", 0}, {">JRTK,9,OK,4", 0},
    };
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
        {">JIX,1", 0, 0},
    };
    for (const auto& [sentence, ji, jrtk] : counted) {
        const uint32_t ji0 = g_ulJIReplies.load(), jrtk0 = g_ulJRTKPositionReplies.load();
        Feed(Bare(sentence));
        EXPECT_EQ(std::tuple(g_ulJIReplies.load() - ji0, g_ulJRTKPositionReplies.load() - jrtk0),
                  std::tuple(ji, jrtk))
            << sentence;
    }
}

TEST_F(Dispatch, ResponderHelpBaudAndArchive) {
    EXPECT_EQ(Run({"$PKRV,HELP\r\n"}),
              "$>PKRV,Version,P022-0.001\r\n"
              "$>PKRV,HELP          -Help message\r\n"
              "$>PKRV,BAUD,         -Baud Rate\r\n"
              "$>PKRV,SETUP,SET,    -LL,HGT,SPD,UTC,SRC,RT\r\n"
              "$>PKRV,SETUP,SHOW    -Shows Setup\r\n"
              "$>PKRV,SETUP,MUX     -Enable/Disable Communication Mux\r\n"
              "$>PKRV,STATUS,CS     -Checksum Error Report\r\n");
    // Only listed rates are taken; the same rate again is accepted silently and saved again;
    // only a change of rate pauses before the save.
    const std::tuple<const char*, const char*, int> bauds[] = {
        {"14400", "", 9600},  {"19200", "$>PKRV,MSG,Baud rate set to 19200\r\n", 19200},
        {"19200", "", 19200}, {"4800", "$>PKRV,MSG,Baud rate set to 4800\r\n", 4800},
        {"115200", "", 4800}, {"", "", 4800},
    };
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
    EXPECT_EQ(rec.ulPart1Lock, 0u);
}

TEST_F(Dispatch, ResponderSetup) {
    auto words = [this] {
        return std::tuple(rec.ulSetupWord1, rec.ulSetupWord2, rec.ulSetupWord3, rec.ulSetupWord4,
                          static_cast<int32_t>(rec.ulSetupWord5), rec.eCurCorrSource);
    };
    EXPECT_EQ(Run({"$PKRV,SETUP,SET,DMS,FEET,KNOTS,-5,LBAND,5\r\n"}), "");
    EXPECT_EQ(words(), std::tuple(1u, 2u, 1u, 2u, -5, 2));
    Run({"$PKRV,SETUP,SET,XX,YY,ZZ,13,WHAT,1\r\n"});  // offset outside -12..12
    EXPECT_EQ(words(), std::tuple(0u, 2u, 1u, 2u, 0, 2));
    Run({"$PKRV,SETUP,SET,DD,METERS,MPH\r\n"});  // a missing offset becomes 0
    EXPECT_EQ(words(), std::tuple(0u, 0u, 0u, 1u, 0, 2));
    EXPECT_EQ(Run({"$PKRV,SETUP,MUX,ON\r\n", "$PKRV,SETUP,MUX,OFF\r\n", "$PKRV,SETUP,MUX,X\r\n"}),
              "$>PKRV,MSG,MUX Enabled\r\n$>PKRV,MSG,MUX Disabled\r\n");
    const std::string head = "$>PKRV,Setup,NMEARate,57600\r\n$>PKRV,Setup,RTCMRate,9600\r\n";
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
    EXPECT_EQ(std::tuple(rec.iRxElevation, std::string(rec.szSetupText2), rec.ulSetupWord2,
                         rec.ulPart1Lock),
              std::tuple(5, "", 1u, 0u));

    // Beacon status with missing fields takes the defaults; long texts are cut.
    rec.Beacon.iSNR = 9;
    Run({Nmea("PKRV,CS0,FIRMWARE-TEXT-LONGER-THAN-TWENTY,X,301.5")});
    const BeaconInfo& b = rec.Beacon;
    EXPECT_EQ(std::tuple(std::string(b.szBeaconFirmware), b.fBeaconFreq, b.cFreqMode,
                         b.iBeaconBitRate, b.cRateMode, b.iSNR),
              std::tuple("FIRMWARE-TEXT-LONGER", 301.5f, 'A', 0, 'A', 0));
    Run({Nmea("PKRV,CS0,")});
    EXPECT_EQ(std::tuple(std::string(b.szBeaconFirmware), b.fBeaconFreq),
              std::tuple("Unavailable", 0.0f));
    Run({"$>PKRV,Version,SBX 1.0\r\n", "$>PKRV,Version\r\n"});
    EXPECT_STREQ(b.szBeaconVersion, "Unavailable");
    Run({"$>PKRV,Version,A-VERSION-TEXT-OF-MORE-THAN-22\r\n"});
    EXPECT_STREQ(b.szBeaconVersion, "A-VERSION-TEXT-OF-MORE");
    EXPECT_EQ(b.ulBeaconLock, 0u);
}

}  // namespace
