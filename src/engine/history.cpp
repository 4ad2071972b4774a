#include "engine/history.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <numbers>

#include "engine/appstate.h"
#include "engine/coords.h"
#include "engine/gps.h"

namespace {

constexpr double kMetresPerDegree = 111319.55;

// Advances one block to second s. write(index, hasValue) stores one entry; clear() empties
// the block. The caller holds ulPart1Lock, so index and entries move together.
template <typename Write, typename Clear>
void Advance(int32_t& stamp, int32_t s, int32_t& index, Write write, Clear clear) {
    if (s == stamp) return;
    // An earlier second means the week rolled over.
    const int64_t effective = s < stamp ? int64_t{s} + CHistory::kSecondsPerWeek : s;
    const int64_t gap = effective - stamp;
    stamp = s;
    if (index < 0 || index >= kHistorySize) index = 0;
    if (gap > CHistory::kMaxGap) {
        clear();
        index = 0;
        return;
    }
    for (int64_t k = 1; k < gap; ++k) {
        write(index, false);
        index = (index + 1) % kHistorySize;
    }
    write(index, true);
    index = (index + 1) % kHistorySize;
}

}  // namespace

CHistory::CHistory(GPSInfo& rec, AppShared* app) : rec_(rec), app_(app) {
    Reset();
}

AppShared& CHistory::app() const {
    return app_ != nullptr ? *app_ : App();
}

void CHistory::Reset() {
    const int32_t s = std::max<int32_t>(CurrentSecond(), 0);
    {
        RecordLock lock(rec_.ulPart1Lock);
        std::fill(std::begin(rec_.fHeadingHistory), std::end(rec_.fHeadingHistory), 0.0f);
        std::fill(std::begin(rec_.fNorthHistory), std::end(rec_.fNorthHistory), 0.0f);
        std::fill(std::begin(rec_.fEastHistory), std::end(rec_.fEastHistory), 0.0f);
        std::fill(std::begin(rec_.fHeightHistory), std::end(rec_.fHeightHistory), 0.0f);
        for (auto& row : rec_.iSBASBerHistory)
            std::fill(std::begin(row), std::end(row), kBerNoValue);
        std::fill(std::begin(rec_.iLBandBerHistory), std::end(rec_.iLBandBerHistory), kBerNoValue);
        std::fill(std::begin(rec_.fBeaconFreqHistory), std::end(rec_.fBeaconFreqHistory), 0.0f);
        std::fill(std::begin(rec_.iBeaconSSHistory), std::end(rec_.iBeaconSSHistory), 0);
        std::fill(std::begin(rec_.iBeaconSNRHistory), std::end(rec_.iBeaconSNRHistory), 0);
        rec_.iHeadingHistoryIndex = 0;
        rec_.iPositionHistoryIndex = 0;
        rec_.iSBASBerHistoryIndex = 0;
        rec_.iLBandBerHistoryIndex = 0;
        rec_.iBeaconHistoryIndex = 0;
    }
    headingStamp_ = s;
    positionStamp_ = s;
    sbasStamp_ = s;
    lbandStamp_ = 0;
    beaconStamp_ = 0;
    sbasPrn_[0] = 122;
    sbasPrn_[1] = 134;
}

int32_t CHistory::CurrentSecond() const {
    double tow;
    {
        RecordLock lock(rec_.Nav.ulNavLock);
        tow = rec_.Binary.Bin1.dGPSTimeOfWeek;
    }
    if (!std::isfinite(tow) || tow < 0.0 || tow >= kSecondsPerWeek) return -1;
    const auto s = static_cast<int32_t>(tow + 0.01);
    return s >= kSecondsPerWeek ? s - kSecondsPerWeek : s;
}

void CHistory::Update() {
    bool heading;
    {
        RecordLock lock(rec_.ulPart1Lock);
        heading = rec_.eReceiverType == RECEIVER_HEADING;
    }
    if (heading) UpdateHeading();
    UpdatePosition();
    UpdateSBAS();
    UpdateBeacon();
    UpdateLBand();
}

void CHistory::UpdateHeading() {
    const int32_t s = CurrentSecond();
    if (s < 0) return;
    RecordLock part1(rec_.ulPart1Lock);
    float heading;
    {
        RecordLock nav(rec_.Nav.ulNavLock);
        heading = rec_.Nav.fHeading;
    }
    Advance(
        headingStamp_, s, rec_.iHeadingHistoryIndex,
        [&](int32_t i, bool value) { rec_.fHeadingHistory[i] = value ? heading : 0.0f; },
        [&] { std::fill(std::begin(rec_.fHeadingHistory), std::end(rec_.fHeadingHistory), 0.0f); });
}

CHistory::Offsets CHistory::PositionOffsets(int32_t latDeg, double latMin, char latDir,
                                            int32_t lonDeg, double lonMin, char lonDir,
                                            double altitude, int32_t refLatDeg, double refLatMin,
                                            char refNS, int32_t refLonDeg, double refLonMin,
                                            char refEW, double refAltitude, bool bin1Position) {
    const double lat = SignedDegrees(latDeg, latMin, latDir, bin1Position);
    const double lon = SignedDegrees(lonDeg, lonMin, lonDir, bin1Position);
    const double refLat = SignedDegrees(refLatDeg, refLatMin, refNS, bin1Position);
    const double refLon = SignedDegrees(refLonDeg, refLonMin, refEW, bin1Position);
    double dLon = std::fmod(lon - refLon, 360.0);
    if (dLon >= 180.0) dLon -= 360.0;
    if (dLon < -180.0) dLon += 360.0;
    Offsets o;
    o.north = (lat - refLat) * kMetresPerDegree;
    o.east = dLon * kMetresPerDegree * std::cos(refLat * std::numbers::pi / 180.0);
    o.height = altitude - refAltitude;
    return o;
}

void CHistory::UpdatePosition() {
    AppShared& a = app();
    if (a.TakePlotRefChanged()) {
        RecordLock part1(rec_.ulPart1Lock);
        std::fill(std::begin(rec_.fNorthHistory), std::end(rec_.fNorthHistory), 0.0f);
        std::fill(std::begin(rec_.fEastHistory), std::end(rec_.fEastHistory), 0.0f);
        std::fill(std::begin(rec_.fHeightHistory), std::end(rec_.fHeightHistory), 0.0f);
        rec_.iPositionHistoryIndex = 0;
        return;
    }
    const PlotReference ref = a.GetPlotRef();
    if (!ref.bPlotRefValid) return;
    const int32_t s = CurrentSecond();
    if (s < 0) return;
    const bool bin1 = a.bBin1Position.load() != 0;

    RecordLock part1(rec_.ulPart1Lock);
    Offsets o;
    {
        RecordLock nav(rec_.Nav.ulNavLock);
        const NavInfo& n = rec_.Nav;
        o = PositionOffsets(n.iLatDeg, n.dLatMin, n.cLatDir, n.iLonDeg, n.dLonMin, n.cLonDir,
                            n.fAltitude, ref.iPlotRefLatDeg, ref.dPlotRefLatMin, ref.cPlotRefNS,
                            ref.iPlotRefLonDeg, ref.dPlotRefLonMin, ref.cPlotRefEW, ref.fPlotRefAlt,
                            bin1);
    }
    Advance(
        positionStamp_, s, rec_.iPositionHistoryIndex,
        [&](int32_t i, bool value) {
            rec_.fNorthHistory[i] = value ? static_cast<float>(o.north) : 0.0f;
            rec_.fEastHistory[i] = value ? static_cast<float>(o.east) : 0.0f;
            rec_.fHeightHistory[i] = value ? static_cast<float>(o.height) : 0.0f;
        },
        [&] {
            std::fill(std::begin(rec_.fNorthHistory), std::end(rec_.fNorthHistory), 0.0f);
            std::fill(std::begin(rec_.fEastHistory), std::end(rec_.fEastHistory), 0.0f);
            std::fill(std::begin(rec_.fHeightHistory), std::end(rec_.fHeightHistory), 0.0f);
        });
}

void CHistory::UpdateSBAS() {
    const int32_t s = CurrentSecond();
    if (s < 0) return;
    RecordLock part1(rec_.ulPart1Lock);
    int32_t prn[2];
    int32_t ber[2];
    {
        RecordLock lband(rec_.LBand.ulLBandLock);
        prn[0] = rec_.LBand.iSBASPRN1;
        prn[1] = rec_.LBand.iSBASPRN2;
        ber[0] = std::clamp(rec_.LBand.iSBASBer1, 0, kBerNoValue);
        ber[1] = std::clamp(rec_.LBand.iSBASBer2, 0, kBerNoValue);
    }
    // Another satellite in a channel: its row starts afresh.
    for (int row = 0; row < 2; ++row) {
        if (prn[row] == sbasPrn_[row]) continue;
        sbasPrn_[row] = prn[row];
        std::fill(std::begin(rec_.iSBASBerHistory[row]), std::end(rec_.iSBASBerHistory[row]),
                  kBerNoValue);
    }
    Advance(
        sbasStamp_, s, rec_.iSBASBerHistoryIndex,
        [&](int32_t i, bool value) {
            rec_.iSBASBerHistory[0][i] = value ? ber[0] : kBerNoValue;
            rec_.iSBASBerHistory[1][i] = value ? ber[1] : kBerNoValue;
        },
        [&] {
            for (auto& row : rec_.iSBASBerHistory)
                std::fill(std::begin(row), std::end(row), kBerNoValue);
        });
}

void CHistory::UpdateBeacon() {
    const int32_t s = CurrentSecond();
    if (s < 0) return;
    RecordLock part1(rec_.ulPart1Lock);
    float freq;
    int32_t strength;
    int32_t snr;
    {
        RecordLock beacon(rec_.Beacon.ulBeaconLock);
        freq = rec_.Beacon.fBeaconFreq;
        strength = rec_.Beacon.iSignalStrength;
        snr = rec_.Beacon.iSNR;
    }
    Advance(
        beaconStamp_, s, rec_.iBeaconHistoryIndex,
        [&](int32_t i, bool value) {
            rec_.fBeaconFreqHistory[i] = value ? freq : 0.0f;
            rec_.iBeaconSSHistory[i] = value ? strength : 0;
            rec_.iBeaconSNRHistory[i] = value ? snr : 0;
        },
        [&] {
            std::fill(std::begin(rec_.fBeaconFreqHistory), std::end(rec_.fBeaconFreqHistory), 0.0f);
            std::fill(std::begin(rec_.iBeaconSSHistory), std::end(rec_.iBeaconSSHistory), 0);
            std::fill(std::begin(rec_.iBeaconSNRHistory), std::end(rec_.iBeaconSNRHistory), 0);
        });
}

void CHistory::UpdateLBand() {
    const int32_t s = CurrentSecond();
    if (s < 0) return;
    RecordLock part1(rec_.ulPart1Lock);
    int32_t ber;
    {
        RecordLock lband(rec_.LBand.ulLBandLock);
        ber = rec_.LBand.iLBandBer;
    }
    Advance(
        lbandStamp_, s, rec_.iLBandBerHistoryIndex,
        [&](int32_t i, bool value) { rec_.iLBandBerHistory[i] = value ? ber : kBerNoValue; },
        [&] {
            std::fill(std::begin(rec_.iLBandBerHistory), std::end(rec_.iLBandBerHistory),
                      kBerNoValue);
        });
}
