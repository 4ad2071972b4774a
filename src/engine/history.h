#pragma once
// The one-hour history rings of the receiver-state record, advanced once per second of GPS
// time (taken from binary message 1) by the reader thread, so the plots are complete
// whatever screen is showing.

#include <cstdint>

struct AppShared;
struct GPSInfo;

class CHistory {
public:
    static constexpr int32_t kSecondsPerWeek = 604800;
    static constexpr int32_t kMaxGap = 3600;  // a longer gap restarts a block

    // Clears every ring of rec (see Reset). app: plot reference, bBin1Position and the
    // receiver type (null: App()).
    explicit CHistory(GPSInfo& rec, AppShared* app = nullptr);

    // Every ring to its "no value" (0, or 500 for bit-error rates), every index to 0; the
    // heading, position and SBAS blocks stamped with the current second, the L-band and
    // beacon blocks with 0; the SBAS PRN pair back to 122 and 134.
    void Reset();

    // One pass: heading (heading receivers only), position, SBAS, beacon, L-band.
    void Update();

    void UpdateHeading();
    void UpdatePosition();
    void UpdateSBAS();
    void UpdateBeacon();
    void UpdateLBand();

    // The second of the week the rings stand at (time of week + 0.01, truncated), or -1
    // while binary message 1 gave no usable time.
    int32_t CurrentSecond() const;

    // North, east and height offsets in metres of a position from a reference, from signed
    // decimal degrees. Degrees are signed when bin1Position is set (the letter counts only
    // for 0 degrees), else unsigned with the letters.
    struct Offsets {
        double north, east, height;
    };
    static Offsets PositionOffsets(int32_t latDeg, double latMin, char latDir, int32_t lonDeg,
                                   double lonMin, char lonDir, double altitude, int32_t refLatDeg,
                                   double refLatMin, char refNS, int32_t refLonDeg,
                                   double refLonMin, char refEW, double refAltitude,
                                   bool bin1Position);

private:
    AppShared& app() const;

    GPSInfo& rec_;
    AppShared* app_;

    int32_t headingStamp_ = 0;
    int32_t positionStamp_ = 0;
    int32_t sbasStamp_ = 0;
    int32_t lbandStamp_ = 0;
    int32_t beaconStamp_ = 0;
    int32_t sbasPrn_[2] = {122, 134};
};
