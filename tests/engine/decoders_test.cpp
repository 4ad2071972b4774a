#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "engine/appstate.h"
#include "engine/decoder_cases.h"
#include "engine/lbndnmea.h"
#include "engine/nmea.h"
#include "engine/stdnmea.h"
#include "platform/numbers.h"

namespace {

using decoder_cases::Bare;
using decoder_cases::Nmea;

class Decoders : public ::testing::Test {
protected:
    void SetUp() override {
        App().bBin1Position.store(0);
        ResetOptionCode();
    }
    void Feed(const std::string& sentence) {
        std::vector<char> buffer(sentence.begin(), sentence.end());
        buffer.push_back('\0');
        nmea_->bParseNMEA(&gps_->Info, buffer.data());
    }
    std::unique_ptr<CGPS> gps_ = std::make_unique<CGPS>();
    std::unique_ptr<CNMEA> nmea_ = std::make_unique<CNMEA>();
};

TEST_F(Decoders, GgaShortAndOddFields) {
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
    gps_->Info.Nav.iFixQuality = 2;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.body);
        Feed(Nmea(row.body));
        const NavInfo& n = gps_->Info.Nav;
        EXPECT_EQ(n.iHour, row.hour);
        EXPECT_EQ(n.iMinute, row.minute);
        EXPECT_EQ(n.iSecond, row.second);
        EXPECT_EQ(n.iLatDeg, row.latDeg);
        EXPECT_DOUBLE_EQ(n.dLatMin, row.latMin);
        EXPECT_EQ(n.iLonDeg, row.lonDeg);
        EXPECT_EQ(n.iFixQuality, row.quality);
        EXPECT_EQ(n.iSatsUsed, row.sats);
        EXPECT_EQ(n.cLatDir, row.latDir);
    }
}

TEST_F(Decoders, GgaQualityFiveKeepsTheOldValue) {
    gps_->Info.Nav.iFixQuality = 2;
    Feed(Nmea("GPGGA,123519,4807.038,N,01131.000,E,5,08,0.9,545.4,M,46.9,M,2.0,0000"));
    EXPECT_EQ(gps_->Info.Nav.iFixQuality, 2);
    EXPECT_EQ(gps_->Info.Nav.iLatDeg, 48);
}

TEST_F(Decoders, HeadingIsBroughtIntoRange) {
    struct Row {
        const char* text;
        float heading;
    };
    const Row rows[] = {
        {"-10.0", 350.0f}, {"725.0", 5.0f},  {"360.0", 360.0f}, {"720", 360.0f},
        {"-360", 0.0f},    {"0", 0.0f},      {"359.5", 359.5f}, {"1e300", 0.0f},
        {"", 0.0f},        {"-1e308", 0.0f}, {"400", 40.0f},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        gps_->Info.Nav.fHeading = 123.0f;
        Feed(Nmea(std::string("HEHDT,") + row.text + ",T"));
        const float h = gps_->Info.Nav.fHeading;
        EXPECT_TRUE(std::isfinite(h));
        EXPECT_GE(h, 0.0f);
        EXPECT_LE(h, 360.0f);
        if (std::string(row.text).find('e') == std::string::npos) {
            EXPECT_FLOAT_EQ(h, row.heading);
        }
    }
}

TEST_F(Decoders, RateAndApplicationCodes) {
    struct Rate {
        float hz;
        int code;
    };
    for (const Rate r : {Rate{20, 5}, Rate{10, 4}, Rate{5, 3}, Rate{1, 2}, Rate{0.2f, 1},
                         Rate{0.195f, 1}, Rate{0.19f, 0}, Rate{2, 0}, Rate{0, 0}, Rate{-1, 0}})
        EXPECT_EQ(RateToRateCode(r.hz), r.code) << r.hz;

    struct Name {
        const char* name;
        int code;
        bool known;
    };
    for (const Name n : {Name{"WAAS", 3, true}, Name{"LBAND", 2, true}, Name{"AUTODIFF", 6, true},
                         Name{"SUBSEA7", 9, true}, Name{"RTK", 5, true}, Name{"BEACON", 1, true},
                         Name{"RTKBAS", 7, true}, Name{"LOCDIF", 8, true}, Name{"waas", 0, false},
                         Name{"", 0, false}, Name{"RTKBASE", 0, false}}) {
        int32_t code = 77;
        EXPECT_EQ(AppNameToCode(&code, n.name), n.known) << n.name;
        EXPECT_EQ(code, n.code) << n.name;
    }
}

TEST_F(Decoders, DifferentialSourceReply) {
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
        SCOPED_TRACE(row.field);
        gps_->Info.eCurCorrSource = 55;
        Feed(Bare(std::string(">JDIFF,") + row.field));
        EXPECT_EQ(gps_->Info.eCurCorrSource, row.source < 0 ? 55 : row.source);
        EXPECT_EQ(bExtThisPort.load(), row.extThis);
    }
    gps_->Info.eRxApp = 8;
    Feed(Bare(">JDIFF,SOMETHING"));
    EXPECT_EQ(gps_->Info.eCurCorrSource, 8);
}

TEST_F(Decoders, Rd1BitErrorRates) {
    struct Row {
        const char* ber;
        int lband, sbas1, sbas2;
    };
    const Row rows[] = {
        {"300-120", 500, 120, 300}, {"700", 700, 500, 500}, {"90-800", 500, 90, 500},
        {"", 700, 500, 500},  // empty changes nothing (follows the row before)
        {"12", 12, 500, 500},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.ber);
        if (std::string(row.ber).empty()) {
            gps_->Info.LBand.iLBandBer = 700;
            gps_->Info.LBand.iSBASBer1 = gps_->Info.LBand.iSBASBer2 = 500;
        }
        Feed(Nmea(std::string("RD1,000041,1910,1557.8450,1,") + row.ber + ",0,0,0,0,0,1,2"));
        EXPECT_EQ(gps_->Info.LBand.iLBandBer, row.lband);
        EXPECT_EQ(gps_->Info.LBand.iSBASBer1, row.sbas1);
        EXPECT_EQ(gps_->Info.LBand.iSBASBer2, row.sbas2);
    }
    gps_->Info.LBand.iLBandBer = 1;
    Feed(Nmea("RD1,1,2,3,4,300"));  // shorter than 30 characters
    EXPECT_EQ(gps_->Info.LBand.iLBandBer, 1);
}

// A bit-error field that is not one number or a pair of them keeps the rates shown; the
// status word after it is still read.
TEST_F(Decoders, Rd1GarbledBitErrorFieldChangesNothing) {
    for (const char* ber :
         {"abc-def", "5-", "-", "abc", "12abc", "1-2-3", "7-x", "1.5", "99999999999"}) {
        SCOPED_TRACE(ber);
        LBandInfo& l = gps_->Info.LBand;
        l.iLBandBer = 123, l.iSBASBer1 = 45, l.iSBASBer2 = 67, l.wLBandStatus = 0;
        Feed(Nmea(std::string("RD1,000041,1910,1557.8450,1,") + ber + ",0,0,0,0,0,8001,2"));
        EXPECT_EQ(
            platform::Format("%d %d %d %X", l.iLBandBer, l.iSBASBer1, l.iSBASBer2, l.wLBandStatus),
            "123 45 67 8001");
    }
}

TEST_F(Decoders, GeoFrequencyHasNoFloatError) {
    struct Row {
        const char* field;
        uint32_t khz;
    };
    const Row rows[] = {
        {"FREQ=1534.7410", 1534741},
        {"FREQ=1535.1375", 1535137},
        {"FREQ=1536.7820", 1536782},
        {"FREQ=1545", 1545000},
        {"FREQ=1545.5", 1545500},
        {"FREQ=", 0},
        {"FRE", 0},
        {"", 0},
        {"FREQ=x", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.field);
        gps_->Info.LBand.ulGeoFreqKhz = 99;
        Feed(Bare(std::string(">JGEO,Sent,") + row.field + ",PRN=122,LON=1,EL=2,AZ=3"));
        EXPECT_EQ(gps_->Info.LBand.ulGeoFreqKhz, row.khz);
    }
}

TEST_F(Decoders, GeoReplyOutsideSbasRangeSetsTheToggle) {
    LBandInfo& l = gps_->Info.LBand;
    Feed(Bare(">JGEO,Sent,FREQ=1545.0,ID=44,LON=1,EL=2,AZ=3"));  // toggle set
    EXPECT_EQ(l.iGeoId, 44);
    Feed(Bare(">JGEO,Sent,FREQ=1545.0,PRN=131,LON=1,EL=2,AZ=3"));
    EXPECT_EQ(l.iSBASPRN1, 131);
    Feed(Bare(">JGEO,Sent,FREQ=1545.0,PRN,LON,EL=2,AZ"));  // values without "=" store 0
    EXPECT_EQ(l.iGeoId, 0);
    EXPECT_FLOAT_EQ(l.fGeoLongitude, 0.0f);
    EXPECT_FLOAT_EQ(l.fGeoElevation, 2.0f);
    EXPECT_EQ(l.iSBASPRN1, 131);
}

TEST_F(Decoders, ReceiverInformationOption) {
    struct Row {
        const char* option;
        uint32_t code;  // 0xFFFF: none stored
    };
    const Row rows[] = {{"A1B04", 4},   {"01", 1},         {"7", 0xFFFF}, {"", 0xFFFF},
                        {"X1", 0xFFFF}, {"ABC1Z", 0xFFFF}, {"99", 99}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.option);
        ResetOptionCode();
        Feed(Bare(std::string(">JI,1,2,3,4,5,") + row.option + ",APP,DSP"));
        EXPECT_EQ(GetOptionCode(), row.code);
    }
    Feed(Bare(">JI,42,2,3,4,5,00,APPLICATION-FIRMWARE-TEXT,DSP"));
    EXPECT_STREQ(gps_->Info.LBand.szAppFirmware, "APPLICATION-FIRMWAR");
    EXPECT_STREQ(gps_->Info.LBand.szDspFirmware, "DSP");
    Feed(Bare(">JI,43,2,3,4,5,00,,"));
    EXPECT_STREQ(gps_->Info.LBand.szAppFirmware, "Unavailable");
    EXPECT_STREQ(gps_->Info.LBand.szDspFirmware, "Unavailable");
    Feed(Bare(">JI,44,2,3,4,5,00,NEW"));  // field 8 missing: stops after field 7
    EXPECT_STREQ(gps_->Info.LBand.szAppFirmware, "NEW");
    EXPECT_STREQ(gps_->Info.LBand.szDspFirmware, "Unavailable");
    EXPECT_EQ(gps_->Info.LBand.lSerialNumber, 44);
}

TEST_F(Decoders, RtkReplies) {
    PortConfig& p = gps_->Info.RxPortConfig;
    g_bRTKRefInvalid.store(0);
    Feed(Bare(">JRTK,1,FAILED"));
    EXPECT_EQ(g_bRTKRefInvalid.load(), 1);
    EXPECT_DOUBLE_EQ(p.dCurRefLat, 0.0);
    Feed(Bare(">JRTK,1,10.5,,"));
    EXPECT_DOUBLE_EQ(p.dCurRefLat, 10.5);
    EXPECT_DOUBLE_EQ(p.dCurRefAlt, 0.0);
    // Longitudes come in as -180 to 180, however the receiver counts them; beyond a turn
    // either way it is no longitude and the one before stays.
    const std::pair<const char*, double> longitudes[] = {
        {">JRTK,1,51.123456,358.765432,123.400", -1.234568},
        {">JRTK,1,0,-190.5,0", 169.5},
        {">JRTK,1,0,180,0", 180.0},
        {">JRTK,1,0,-360,0", 0.0},
        {">JRTK,1,0,-114.5,0", -114.5},
        {">JRTK,1,0,720.25", -114.5},
        {">JRTK,1,0,1e308", -114.5}};
    for (const auto& [reply, lon] : longitudes) {
        Feed(Bare(reply));
        EXPECT_NEAR(p.dCurRefLon, lon, 1e-9) << reply;
    }

    struct Row {
        const char* reply;
        int port;
    };
    const Row rows[] = {
        {">JRTK,6,OK,1", 1},     {">JRTK,6,OK,2", 2}, {">JRTK,6,OK,3", 2},
        {">JRTK,6,OK,0", 2},     {">JRTK,6,OK,7", 3}, {">JRTK,6,OK,Unknown Command \"6\"", 0},
        {">JRTK,6,FAILED,4", 0}, {">JRTK,9,OK,4", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.reply);
        Feed(Bare(row.reply));
        EXPECT_EQ(p.eCurDfxPort, row.port);
    }
}

// Screens wait for these counters to move: every "$>JI" reply counts, a failed one too; of
// the "$>JRTK" replies only those that stored a position; nothing else moves them.
TEST_F(Decoders, ReplyCountersMoveOnTheirRepliesOnly) {
    struct Row {
        const char* sentence;
        uint32_t ji, jrtk;
    };
    const Row rows[] = {
        {">JI,1,2,3,4,5,00,APP,DSP", 1, 0},
        {">JI,1", 1, 0},
        {">JRTK,1,51.5,-0.1,45", 0, 1},
        {">JRTK,1,FAILED", 0, 0},
        {">JRTK,6,OK,1", 0, 0},
        {">JDIFF,BEACON", 0, 0},
        {"GPJI,1,2", 0, 0},
        {">JIX,1", 0, 0},
    };
    for (const Row& row : rows) {
        const uint32_t ji = g_ulJIReplies.load(), jrtk = g_ulJRTKPositionReplies.load();
        Feed(Bare(row.sentence));
        EXPECT_EQ(g_ulJIReplies.load() - ji, row.ji) << row.sentence;
        EXPECT_EQ(g_ulJRTKPositionReplies.load() - jrtk, row.jrtk) << row.sentence;
    }
}

TEST_F(Decoders, JshowAscRates) {
    struct Row {
        const char* item;
        int rate;
    };
    const Row rows[] = {{"0.2", 1}, {"2", 0}, {"1.0", 2}, {"20", 5}, {"", 0}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.item);
        gps_->Info.RxPortConfig.eVTG = 9;
        Feed(Bare(std::string(">JSHOW,ASC,GPVTG,") + row.item));
        EXPECT_EQ(gps_->Info.RxPortConfig.eVTG, row.rate);
    }
    // A DFX item with rate 0 and a port word stores nothing; an unknown name goes to the
    // spare word nobody reads.
    gps_->Info.RxPortConfig.eCurDfxPort = 0;
    Feed(Bare(">JSHOW,ASC,DFX,0,PORTC"));
    EXPECT_EQ(gps_->Info.RxPortConfig.eCurDfxPort, 0);
    Feed(Bare(">JSHOW,ASC,GPXYZ,5"));
    EXPECT_EQ(gps_->Info.RxPortConfig.iSpare[RXSPARE_UNUSED], 3);
    EXPECT_EQ(gps_->Info.RxPortConfig.ulLastWord, 0u);
}

}  // namespace
