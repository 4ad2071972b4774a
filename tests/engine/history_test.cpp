#include "engine/history.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <tuple>

#include "engine/appstate.h"
#include "engine/gps.h"

namespace {

constexpr double kDeg = 111319.55;  // metres per degree

class HistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        gps = std::make_unique<CGPS>();
        rec = &gps->Info;
        rec->Binary.Bin1.dGPSTimeOfWeek = 100.0;
        history = std::make_unique<CHistory>(*rec, &app);
    }
    void At(double tow) { rec->Binary.Bin1.dGPSTimeOfWeek = tow; }

    AppShared app;
    std::unique_ptr<CGPS> gps;
    GPSInfo* rec = nullptr;
    std::unique_ptr<CHistory> history;
};

TEST_F(HistoryTest, ConstructionClearsEveryRingAndStampsTheCurrentSecond) {
    rec->fHeadingHistory[5] = 1.0f;
    rec->iLBandBerHistory[5] = 7;
    rec->iSBASBerHistory[1][9] = 7;
    rec->iBeaconSNRHistory[3] = 7;
    rec->iPositionHistoryIndex = 77;
    CHistory fresh(*rec, &app);
    EXPECT_EQ(rec->fHeadingHistory[5], 0.0f);
    EXPECT_EQ(rec->iLBandBerHistory[5], 500);
    EXPECT_EQ(rec->iSBASBerHistory[1][9], 500);
    EXPECT_EQ(rec->iBeaconSNRHistory[3], 0);
    EXPECT_EQ(rec->iPositionHistoryIndex, 0);
    EXPECT_EQ(fresh.CurrentSecond(), 100);
    // The heading and SBAS blocks are stamped: the same second again stores nothing.
    fresh.UpdateHeading();
    fresh.UpdateSBAS();
    EXPECT_EQ(rec->iHeadingHistoryIndex, 0);
    EXPECT_EQ(rec->iSBASBerHistoryIndex, 0);
}

TEST_F(HistoryTest, MissingSecondsHoldNoValueInEveryBlock) {
    rec->Nav.fHeading = 42.5f;
    rec->LBand.iLBandBer = 120;
    rec->LBand.iSBASPRN1 = 122;
    rec->LBand.iSBASPRN2 = 134;
    rec->LBand.iSBASBer1 = 11;
    rec->LBand.iSBASBer2 = 22;
    rec->Beacon.fBeaconFreq = 313.5f;
    rec->Beacon.iSignalStrength = 55;
    rec->Beacon.iSNR = 18;
    app.eReceiverType.store(1);
    // The L-band and beacon blocks start from stamp 0: seconds 1 to 99 are empty.
    At(100.0);
    history->Update();
    EXPECT_EQ(rec->iHeadingHistoryIndex, 0);
    ASSERT_EQ(rec->iLBandBerHistoryIndex, 100);
    ASSERT_EQ(rec->iBeaconHistoryIndex, 100);
    EXPECT_EQ(rec->iLBandBerHistory[98], 500);
    EXPECT_EQ(rec->iLBandBerHistory[99], 120);
    const int lband0 = rec->iLBandBerHistoryIndex;
    const int beacon0 = rec->iBeaconHistoryIndex;

    At(103.0);
    history->Update();
    // Each block: its index, then the two empty seconds and the value.
    const float* hdg = rec->fHeadingHistory;
    EXPECT_EQ(std::tuple(rec->iHeadingHistoryIndex, hdg[0], hdg[1], hdg[2]),
              std::tuple(3, 0.0f, 0.0f, 42.5f));
    const auto& sbas = rec->iSBASBerHistory;
    EXPECT_EQ(std::tuple(rec->iSBASBerHistoryIndex, sbas[0][1], sbas[0][2], sbas[1][2]),
              std::tuple(3, 500, 11, 22));
    const int* lb = rec->iLBandBerHistory + lband0;
    EXPECT_EQ(std::tuple(rec->iLBandBerHistoryIndex - lband0, lb[0], lb[1], lb[2]),
              std::tuple(3, 500, 500, 120));
    const int b = beacon0;
    EXPECT_EQ(std::tuple(rec->iBeaconHistoryIndex - b, rec->fBeaconFreqHistory[b + 1],
                         rec->iBeaconSSHistory[b + 1], rec->fBeaconFreqHistory[b + 2],
                         rec->iBeaconSSHistory[b + 2], rec->iBeaconSNRHistory[b + 2]),
              std::tuple(3, 0.0f, 0, 313.5f, 55, 18));

    // Fractions of a second within the same second store nothing more; 0.99 + 0.01 counts
    // as the next second.
    At(103.5);
    history->Update();
    EXPECT_EQ(rec->iHeadingHistoryIndex, 3);
    At(103.995);
    history->Update();
    EXPECT_EQ(rec->iHeadingHistoryIndex, 4);
}

TEST_F(HistoryTest, HeadingRingRunsOnlyForHeadingReceivers) {
    rec->Nav.fHeading = 10.0f;
    At(101.0);
    history->Update();
    EXPECT_EQ(rec->iHeadingHistoryIndex, 0);
    EXPECT_EQ(rec->iSBASBerHistoryIndex, 1);
    app.eReceiverType.store(1);
    At(102.0);
    history->Update();
    EXPECT_EQ(rec->iHeadingHistoryIndex, 2);
    EXPECT_EQ(rec->fHeadingHistory[1], 10.0f);
}

TEST_F(HistoryTest, WeekRolloverCountsOnIntoTheNewWeek) {
    rec->Nav.fHeading = 5.0f;
    At(604799.0);
    history->UpdateHeading();  // 604799 - 100 > 3600: restart
    EXPECT_EQ(rec->iHeadingHistoryIndex, 0);
    At(1.0);
    history->UpdateHeading();
    EXPECT_EQ(rec->iHeadingHistoryIndex, 2);
    EXPECT_EQ(rec->fHeadingHistory[0], 0.0f);  // second 0 of the new week
    EXPECT_EQ(rec->fHeadingHistory[1], 5.0f);
    At(2.0);
    history->UpdateHeading();
    EXPECT_EQ(rec->iHeadingHistoryIndex, 3);
    // The last instant of the week rounds up into second 0 of the next.
    At(604799.0);
    history->UpdateHeading();
    At(604799.995);
    history->UpdateHeading();
    const int before = rec->iHeadingHistoryIndex;
    At(0.2);
    history->UpdateHeading();
    EXPECT_EQ(rec->iHeadingHistoryIndex, before);
    At(1.0);
    history->UpdateHeading();
    EXPECT_EQ(rec->iHeadingHistoryIndex, before + 1);
}

TEST_F(HistoryTest, JumpOfMoreThanAnHourClearsTheBlockAndStoresNothing) {
    rec->LBand.iLBandBer = 77;
    for (double t = 40.0; t <= 45.0; t += 1.0) {
        At(t);
        history->UpdateLBand();
    }
    ASSERT_EQ(rec->iLBandBerHistoryIndex, 45);
    ASSERT_EQ(rec->iLBandBerHistory[44], 77);
    At(45.0 + 3601.0);
    history->UpdateLBand();
    EXPECT_EQ(rec->iLBandBerHistoryIndex, 0);
    for (int v : rec->iLBandBerHistory) ASSERT_EQ(v, 500);
    // An hour exactly is still a gap to fill: 3599 empty seconds and the value.
    At(45.0 + 3601.0 + 3600.0);
    history->UpdateLBand();
    EXPECT_EQ(rec->iLBandBerHistoryIndex, 0);
    EXPECT_EQ(rec->iLBandBerHistory[3599], 77);
    EXPECT_EQ(rec->iLBandBerHistory[3598], 500);
}

TEST_F(HistoryTest, IndexWrapsAtTheEndOfTheRing) {
    rec->Nav.fHeading = 1.0f;
    for (int s = 101; s <= 100 + 3600 + 2; ++s) {
        rec->Nav.fHeading = static_cast<float>(s);
        At(s);
        history->UpdateHeading();
    }
    EXPECT_EQ(rec->iHeadingHistoryIndex, 2);
    EXPECT_EQ(rec->fHeadingHistory[1], 3702.0f);
    EXPECT_EQ(rec->fHeadingHistory[2], 103.0f);  // the oldest entry
}

TEST_F(HistoryTest, CorruptIndexFromAnArchiveRestartsAtZero) {
    rec->iSBASBerHistoryIndex = 99999;
    rec->iHeadingHistoryIndex = -5;
    app.eReceiverType.store(1);
    At(101.0);
    history->Update();
    EXPECT_EQ(rec->iSBASBerHistoryIndex, 1);
    EXPECT_EQ(rec->iHeadingHistoryIndex, 1);
}

TEST_F(HistoryTest, SbasBitErrorRatesAreClampedAndRowsRefillOnAnotherPrn) {
    rec->LBand.iSBASPRN1 = 122;
    rec->LBand.iSBASPRN2 = 134;
    rec->LBand.iSBASBer1 = 650;
    rec->LBand.iSBASBer2 = -3;
    At(101.0);
    history->UpdateSBAS();
    EXPECT_EQ(rec->iSBASBerHistory[0][0], 500);
    EXPECT_EQ(rec->iSBASBerHistory[1][0], 0);
    rec->LBand.iSBASBer1 = 40;
    rec->LBand.iSBASBer2 = 50;
    At(102.0);
    history->UpdateSBAS();
    ASSERT_EQ(rec->iSBASBerHistory[1][0], 0);
    ASSERT_EQ(rec->iSBASBerHistory[1][1], 50);

    // Channel 2 now tracks another satellite: its row starts afresh, row 0 is kept.
    rec->LBand.iSBASPRN2 = 135;
    rec->LBand.iSBASBer2 = 60;
    At(103.0);
    history->UpdateSBAS();
    EXPECT_EQ(rec->iSBASBerHistory[1][0], 500);
    EXPECT_EQ(rec->iSBASBerHistory[1][1], 500);
    EXPECT_EQ(rec->iSBASBerHistory[1][2], 60);
    EXPECT_EQ(rec->iSBASBerHistory[0][1], 40);
    EXPECT_EQ(rec->iSBASBerHistoryIndex, 3);
}

TEST_F(HistoryTest, RingsStandStillWithoutAUsableTimeOfWeek) {
    app.eReceiverType.store(1);
    for (double tow : {std::numeric_limits<double>::quiet_NaN(), -5.0, 604800.0, 1e300,
                       std::numeric_limits<double>::infinity()}) {
        At(tow);
        history->Update();
    }
    EXPECT_EQ(rec->iHeadingHistoryIndex, 0);
    EXPECT_EQ(rec->iSBASBerHistoryIndex, 0);
    EXPECT_EQ(rec->iLBandBerHistoryIndex, 0);
    EXPECT_EQ(rec->iBeaconHistoryIndex, 0);
    At(101.0);
    history->UpdateHeading();
    EXPECT_EQ(rec->iHeadingHistoryIndex, 1);
}

struct OffsetCase {
    const char* name;
    int latDeg;
    double latMin;
    char ns;
    int lonDeg;
    double lonMin;
    char ew;
    int refLatDeg;
    double refLatMin;
    char refNS;
    int refLonDeg;
    double refLonMin;
    char refEW;
    bool bin1;
    double north, east;
};

TEST(PositionOffsets, FromSignedDecimalDegrees) {
    const double cos60 = 0.5;
    const OffsetCase cases[] = {
        // 0.3' north of the equator against 0.3' south of it.
        {"across the equator", 0, 0.3, 'N', 10, 0.0, 'E', 0, 0.3, 'S', 10, 0.0, 'E', false,
         0.01 * kDeg, 0.0},
        {"across the equator, signed", 0, 0.3, 'N', 10, 0.0, 'E', 0, 0.3, 'S', 10, 0.0, 'E', true,
         0.01 * kDeg, 0.0},
        {"across the prime meridian", 0, 0.0, 'N', 0, 0.3, 'E', 0, 0.0, 'N', 0, 0.3, 'W', false,
         0.0, 0.01 * kDeg},
        {"across the prime meridian, signed", 0, 0.0, 'N', 0, 0.3, 'E', 0, 0.0, 'N', 0, 0.3, 'W',
         true, 0.0, 0.01 * kDeg},
        {"west of the reference at 60 north", 60, 0.0, 'N', 2, 0.0, 'W', 60, 0.0, 'N', 1, 0.0, 'W',
         false, 0.0, -1.0 * kDeg * cos60},
        {"signed degrees in the south", -33, 29.4, 'S', 151, 0.0, 'E', -33, 30.0, 'S', 151, 0.0,
         'E', true, 0.01 * kDeg, 0.0},
        {"unsigned degrees in the south", 33, 29.4, 'S', 151, 0.0, 'E', 33, 30.0, 'S', 151, 0.0,
         'E', false, 0.01 * kDeg, 0.0},
        {"signed degrees with a stale letter", -1, 0.0, 'N', -1, 0.0, 'E', 0, 0.0, 'N', 0, 0.0, 'E',
         true, -1.0 * kDeg, -1.0 * kDeg},
        {"across the antimeridian", 0, 0.0, 'N', 179, 59.7, 'W', 0, 0.0, 'N', 179, 59.7, 'E', false,
         0.0, 0.01 * kDeg},
        {"across the antimeridian, signed", 0, 0.0, 'N', 179, 59.7, 'E', 0, 0.0, 'N', -179, 59.7,
         'E', true, 0.0, -0.01 * kDeg},
    };
    for (const OffsetCase& c : cases) {
        const CHistory::Offsets o = CHistory::PositionOffsets(
            c.latDeg, c.latMin, c.ns, c.lonDeg, c.lonMin, c.ew, 12.5, c.refLatDeg, c.refLatMin,
            c.refNS, c.refLonDeg, c.refLonMin, c.refEW, 10.0, c.bin1);
        EXPECT_NEAR(o.north, c.north, 1e-6) << c.name;
        EXPECT_NEAR(o.east, c.east, 1e-6) << c.name;
        EXPECT_DOUBLE_EQ(o.height, 2.5) << c.name;
    }
}

TEST_F(HistoryTest, PositionRingRunsAgainstTheReferenceAndRestartsOnANewOne) {
    // No reference: nothing.
    At(101.0);
    history->UpdatePosition();
    EXPECT_EQ(rec->iPositionHistoryIndex, 0);

    NavInfo& n = rec->Nav;
    n.iLatDeg = 0;
    n.dLatMin = 0.3;
    n.cLatDir = 'S';
    n.iLonDeg = 0;
    n.dLonMin = 0.6;
    n.cLonDir = 'W';
    n.fAltitude = 20.0f;
    PlotReference ref;
    ref.bPlotRefValid = true;
    ref.iPlotRefLatDeg = 0;
    ref.dPlotRefLatMin = 0.3;
    ref.cPlotRefNS = 'N';
    ref.iPlotRefLonDeg = 0;
    ref.dPlotRefLonMin = 0.0;
    ref.cPlotRefEW = 'E';
    ref.fPlotRefAlt = 5.0f;
    app.SetPlotRef(ref);
    rec->fNorthHistory[7] = 3.0f;
    rec->iPositionHistoryIndex = 8;

    // The new reference clears the rings at the next pass and stores nothing then.
    At(102.0);
    history->UpdatePosition();
    EXPECT_EQ(rec->iPositionHistoryIndex, 0);
    EXPECT_EQ(rec->fNorthHistory[7], 0.0f);

    At(103.0);
    history->UpdatePosition();
    ASSERT_EQ(rec->iPositionHistoryIndex, 3);  // 101 and 102 were not stored
    EXPECT_EQ(rec->fNorthHistory[1], 0.0f);
    EXPECT_NEAR(rec->fNorthHistory[2], -0.01 * kDeg, 1e-3);
    EXPECT_NEAR(rec->fEastHistory[2], -0.01 * kDeg, 1e-3);
    EXPECT_FLOAT_EQ(rec->fHeightHistory[2], 15.0f);

    app.ClearPlotRef();
    At(104.0);
    history->UpdatePosition();
    At(105.0);
    history->UpdatePosition();
    EXPECT_EQ(rec->iPositionHistoryIndex, 0);
    EXPECT_EQ(rec->fNorthHistory[2], 0.0f);
}

}  // namespace
