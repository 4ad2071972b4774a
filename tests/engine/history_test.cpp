// The history rings behind the plots, and the look-ups and conversions the screens share:
// beacon stations and the Windows-1252 code page.

#include "engine/history.h"

#include <gtest/gtest.h>

#include <optional>

#include "engine/appstate.h"
#include "engine/beacon_tables.h"
#include "engine/coords.h"
#include "engine/cp1252.h"
#include "engine/gps.h"
#include "engine/sbas.h"
#include "wire_fixture.h"

namespace {

using wiretest::Join;

constexpr double kDeg = 111319.55;  // metres per degree

class HistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        At(100.0);
        history = std::make_unique<CHistory>(rec, &app);
    }
    void At(double tow) { rec.Binary.Bin1.dGPSTimeOfWeek = tow; }
    AppShared app;
    std::unique_ptr<CGPS> gps = std::make_unique<CGPS>();
    GPSInfo& rec = gps->Info;
    std::unique_ptr<CHistory> history;
};

TEST_F(HistoryTest, MissingSecondsHoldNoValueInEveryBlock) {
    rec.fHeadingHistory[5] = 1.0f;
    rec.iSBASBerHistory[1][9] = rec.iBeaconSNRHistory[3] = 7;
    rec.iPositionHistoryIndex = 77;
    history = std::make_unique<CHistory>(rec, &app);  // clears every ring, stamps this second
    EXPECT_EQ(Join(rec.fHeadingHistory[5], rec.iSBASBerHistory[1][9], rec.iBeaconSNRHistory[3],
                   rec.iPositionHistoryIndex),
              "0 500 0 0");
    LBandInfo& l = rec.LBand;
    std::tie(l.iLBandBer, l.iSBASPRN1, l.iSBASPRN2, l.iSBASBer1, l.iSBASBer2) =
        std::tuple(120, 122, 134, 11, 22);
    std::tie(rec.Nav.fHeading, rec.Beacon.fBeaconFreq, rec.Beacon.iSignalStrength,
             rec.Beacon.iSNR) = std::tuple(42.5f, 313.5f, 55, 18);
    // The heading ring runs only for heading receivers.
    At(101.0);
    history->Update();
    EXPECT_EQ(Join(rec.iHeadingHistoryIndex, rec.iSBASBerHistoryIndex), "0 1");
    // The L-band and beacon blocks start from stamp 0: seconds 1 to 100 were empty.
    ASSERT_EQ(Join(rec.iLBandBerHistoryIndex, rec.iBeaconHistoryIndex), "101 101");
    EXPECT_EQ(Join(rec.iLBandBerHistory[99], rec.iLBandBerHistory[100]), "500 120");
    rec.eReceiverType = RECEIVER_HEADING;
    At(104.0);
    history->Update();
    const float* hdg = rec.fHeadingHistory;
    EXPECT_EQ(Join(rec.iHeadingHistoryIndex, hdg[1], hdg[2], hdg[3]), "4 0 0 42.5");
    const auto& sbas = rec.iSBASBerHistory;
    EXPECT_EQ(Join(rec.iSBASBerHistoryIndex, sbas[0][2], sbas[0][3], sbas[1][3]), "4 500 11 22");
    const int* lb = rec.iLBandBerHistory;
    EXPECT_EQ(Join(rec.iLBandBerHistoryIndex, lb[101], lb[102], lb[103]), "104 500 500 120");
    EXPECT_EQ(
        Join(rec.fBeaconFreqHistory[102], rec.iBeaconSSHistory[102], rec.fBeaconFreqHistory[103],
             rec.iBeaconSSHistory[103], rec.iBeaconSNRHistory[103]),
        "0 0 313.5 55 18");
    // An index spoilt by an archive restarts at zero.
    rec.iSBASBerHistoryIndex = 99999;
    rec.iHeadingHistoryIndex = -5;
    At(105.0);
    history->Update();
    EXPECT_EQ(Join(rec.iSBASBerHistoryIndex, rec.iHeadingHistoryIndex), "1 1");
}

TEST_F(HistoryTest, WeekRolloverHourJumpsWrapAndUnusableTimes) {
    rec.Nav.fHeading = 5.0f;
    At(604799.0);
    history->UpdateHeading();  // more than an hour on: restart, nothing stored
    EXPECT_EQ(rec.iHeadingHistoryIndex, 0);
    At(1.0);
    history->UpdateHeading();  // second 0 of the new week is empty
    EXPECT_EQ(Join(rec.iHeadingHistoryIndex, rec.fHeadingHistory[0], rec.fHeadingHistory[1]),
              "2 0 5");
    // A jump of more than an hour clears the block; an hour exactly is a gap to fill.
    rec.LBand.iLBandBer = 77;
    At(45.0);
    history->UpdateLBand();
    ASSERT_EQ(rec.iLBandBerHistory[44], 77);
    At(45.0 + 3601.0);
    history->UpdateLBand();
    EXPECT_EQ(rec.iLBandBerHistoryIndex, 0);
    for (int v : rec.iLBandBerHistory) ASSERT_EQ(v, 500);
    At(45.0 + 3601.0 + 3600.0);
    history->UpdateLBand();
    EXPECT_EQ(
        Join(rec.iLBandBerHistoryIndex, rec.iLBandBerHistory[3598], rec.iLBandBerHistory[3599]),
        "0 500 77");
    // Without a usable time of week the rings stand still.
    auto fresh = std::make_unique<CGPS>();
    fresh->Info.eReceiverType = RECEIVER_HEADING;
    CHistory idle(fresh->Info, &app);
    for (double tow : {std::numeric_limits<double>::quiet_NaN(), -5.0, 604800.0}) {
        fresh->Info.Binary.Bin1.dGPSTimeOfWeek = tow;
        idle.Update();
    }
    const GPSInfo& f = fresh->Info;
    EXPECT_EQ(Join(f.iHeadingHistoryIndex, f.iSBASBerHistoryIndex, f.iLBandBerHistoryIndex,
                   f.iBeaconHistoryIndex),
              "0 0 0 0");
}

TEST_F(HistoryTest, SbasBitErrorRatesAreClampedAndRowsRefillOnAnotherPrn) {
    rec.LBand.iSBASPRN1 = 122;
    rec.LBand.iSBASPRN2 = 134;
    const std::tuple<double, int, int, int> steps[] = {
        {101.0, 650, -3, 134}, {102.0, 40, 50, 134}, {103.0, 40, 60, 135}};
    for (const auto& [tow, ber1, ber2, prn2] : steps) {
        rec.LBand.iSBASBer1 = ber1;
        rec.LBand.iSBASBer2 = ber2;
        rec.LBand.iSBASPRN2 = prn2;
        At(tow);
        history->UpdateSBAS();
    }
    // Channel 2 tracks another satellite at 103: its row starts afresh, row 0 is kept.
    const auto& s = rec.iSBASBerHistory;
    EXPECT_EQ(Join(s[0][0], s[0][1], s[1][0], s[1][1], s[1][2], rec.iSBASBerHistoryIndex),
              "500 40 500 500 60 3");
}

TEST(PositionOffsets, FromSignedDecimalDegrees) {
    struct Pos {
        int latDeg;
        double latMin;
        char ns;
        int lonDeg;
        double lonMin;
        char ew;
    };
    const struct {
        Pos at, ref;
        bool bin1;
        double north, east;
    } cases[] = {
        {{0, 0.3, 'N', 10, 0.0, 'E'}, {0, 0.3, 'S', 10, 0.0, 'E'}, false, 0.01 * kDeg, 0.0},
        {{-33, 29.4, 'S', 151, 0.0, 'E'}, {-33, 30.0, 'S', 151, 0.0, 'E'}, true, 0.01 * kDeg, 0.0},
        {{-1, 0.0, 'N', -1, 0.0, 'E'}, {0, 0.0, 'N', 0, 0.0, 'E'}, true, -kDeg, -kDeg},
        {{0, 0.0, 'N', 179, 59.7, 'E'}, {0, 0.0, 'N', -179, 59.7, 'E'}, true, 0.0, -0.01 * kDeg},
    };
    for (const auto& c : cases) {
        const Pos &a = c.at, &r = c.ref;
        const CHistory::Offsets o = CHistory::PositionOffsets(
            a.latDeg, a.latMin, a.ns, a.lonDeg, a.lonMin, a.ew, 12.5, r.latDeg, r.latMin, r.ns,
            r.lonDeg, r.lonMin, r.ew, 10.0, c.bin1);
        EXPECT_NEAR(o.north, c.north, 1e-6) << a.latDeg << a.ns << a.lonDeg << a.ew;
        EXPECT_NEAR(o.east, c.east, 1e-6) << a.latDeg << a.ns << a.lonDeg << a.ew;
        EXPECT_DOUBLE_EQ(o.height, 2.5);
    }
}

TEST_F(HistoryTest, PositionRingRunsAgainstTheReferenceAndRestartsOnANewOne) {
    At(101.0);
    history->UpdatePosition();
    EXPECT_EQ(rec.iPositionHistoryIndex, 0) << "no reference: nothing";
    NavInfo& n = rec.Nav;
    std::tie(n.iLatDeg, n.iLonDeg, n.dLatMin, n.cLatDir, n.dLonMin, n.cLonDir, n.fAltitude) =
        std::tuple(0, 0, 0.3, 'S', 0.6, 'W', 20.0f);
    PlotReference ref;
    std::tie(ref.bPlotRefValid, ref.iPlotRefLatDeg, ref.iPlotRefLonDeg, ref.dPlotRefLatMin,
             ref.cPlotRefNS, ref.dPlotRefLonMin, ref.cPlotRefEW, ref.fPlotRefAlt) =
        std::tuple(true, 0, 0, 0.3, 'N', 0.0, 'E', 5.0f);
    app.SetPlotRef(ref);
    rec.fNorthHistory[7] = 3.0f;
    rec.iPositionHistoryIndex = 8;
    // The new reference clears the rings at the next pass and stores nothing then.
    At(102.0);
    history->UpdatePosition();
    EXPECT_EQ(Join(rec.iPositionHistoryIndex, rec.fNorthHistory[7]), "0 0");
    At(103.0);
    history->UpdatePosition();
    ASSERT_EQ(rec.iPositionHistoryIndex, 3);  // 101 and 102 were not stored
    EXPECT_EQ(rec.fNorthHistory[1], 0.0f);
    EXPECT_NEAR(rec.fNorthHistory[2], -0.01 * kDeg, 1e-3);
    EXPECT_NEAR(rec.fEastHistory[2], -0.01 * kDeg, 1e-3);
    EXPECT_FLOAT_EQ(rec.fHeightHistory[2], 15.0f);
    app.ClearPlotRef();
    At(104.0);
    history->UpdatePosition();
    At(105.0);
    history->UpdatePosition();
    EXPECT_EQ(Join(rec.iPositionHistoryIndex, rec.fNorthHistory[2]), "0 0");
}

TEST(BeaconTables, FallbacksAndLookUps) {
    const std::pair<const char*, float> names[] = {
        {"St. Catherine\x92s", 307.5f},
        {"Polson MT", 0.0f},
        {"S\xC3\xA3o Tom\xC3\xA9", 0.0f},  // UTF-8 bytes are not the table's spelling
    };
    for (const auto& [name, kHz] : names) {
        EXPECT_EQ(LookupStationFreq(std::string_view(name)), kHz) << name;
        EXPECT_EQ(LookupStationFreq(Cp1252ToUtf16(name)), kHz) << name;
    }
    // Shared IDs: the tuned frequency within 0.1 kHz picks the station; else the first row.
    const std::tuple<int32_t, float, const char*> ids[] = {
        {99999, 0.0f, "EndOfTheList"},
        {2, 320.09f, "Horn Is      Qld"},
        {2, 319.8f, "Bolivar"},
    };
    for (const auto& [id, tuned, name] : ids)
        EXPECT_EQ(LookupStationName(id, tuned), name) << id << " at " << tuned;
}

TEST(SBAS, SecondSlotBitErrorRatesAndUntrackedPrns) {
    LBandInfo l{};
    l.InitSBASChannels();
    std::tie(l.iSBASPRN1, l.iSBASPRN2, l.iSBASBer1, l.iSBASBer2) = std::tuple(120, 134, 150, 149);
    std::string value = "stale", label = "stale";
    float elev = -1, azim = -1;
    EXPECT_TRUE(bSBASBerGood(l) && GetSBASValues(l, 134, elev, azim));
    EXPECT_TRUE(FormatSBASEntry(l, 133, value, elev, azim, label) && (value + label).empty());
}

// Every byte goes to UTF-8 and back unchanged, the five bytes without a letter included;
// characters outside the code page are refused.
TEST(Cp1252, EveryByteRoundTripsAndOthersAreRefused) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(byte)), byte) << b;
        EXPECT_EQ(UnicodeToCp1252(Cp1252ToUnicode(static_cast<unsigned char>(b))),
                  static_cast<unsigned char>(b))
            << b;
    }
    EXPECT_EQ(Cp1252ToUtf16(std::string_view("\x00\x7F\x81\x9F\xA0\xFF\x92", 7)),
              std::u16string(u"\u0000\u007F\u0081\u0178\u00A0\u00FF\u2019", 7));
    EXPECT_EQ(Cp1252ToUtf8("\x80\x81\xFF"), "\xE2\x82\xAC\xC2\x81\xC3\xBF");
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"\xE2\x82\xAC\xE2\x80\x99\xE2\x84\xA2", "\x80\x92\x99"},  // euro, quote, trade mark
        {"\xC2\x80", std::nullopt},                                // U+0080 has no byte
        {"\xF0\x9F\x98\x80", std::nullopt},
        {"a\x80", std::nullopt},         // lone continuation byte
        {"a\xC3", std::nullopt},         // cut sequence
        {"\xE0\x80\xAF", std::nullopt},  // overlong
        {"\xED\xA0\x80", std::nullopt},  // surrogate
    };
    for (const auto& [utf8, bytes] : cases) EXPECT_EQ(Utf8ToCp1252(utf8), bytes) << utf8;
    for (char32_t c : {U'\u0080', U'\u0100'})
        EXPECT_EQ(UnicodeToCp1252(c), std::nullopt) << static_cast<uint32_t>(c);
}

}  // namespace
