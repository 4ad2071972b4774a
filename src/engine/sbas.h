#pragma once
// Answers about the two SBAS satellites the receiver tracks. The caller holds ulLBandLock while
// these read the record.

#include <cstdint>
#include <string>

#include "engine/gps.h"

// Elevation and azimuth of the slot tracking the PRN (the first slot when both do); false and
// 0.0 when neither does.
bool GetSBASValues(const LBandInfo& lband, int32_t iPRN, float& fElevation, float& fAzimuth);

// True when either slot's bit-error rate is below 150.
bool bSBASBerGood(const LBandInfo& lband);

// What a bit-error-rate bar shows: the rate clamped to its range, and the bar position, which
// grows as the rate falls.
struct BerBar {
    int32_t iBer;
    int32_t iPos;
    static constexpr int32_t kMin = 0;
    static constexpr int32_t kMax = kBerNoValue;
    static constexpr int32_t kStep = 1;
};
BerBar SetBERBar(int32_t iBer);

// "PRN%d".
std::string FormatPRN(int32_t iPRN);

// For a tracked PRN: label "PRN%3d", the slot's longitude as "%.1f", its elevation and azimuth.
// For any other PRN: empty texts and 0.0. Always true.
bool FormatSBASEntry(const LBandInfo& lband, int32_t iPRN, std::string& value, float& fElevation,
                     float& fAzimuth, std::string& label);

// "EGNOS", "WAAS", "MSAS" or "Unknown".
std::string GetSBASSystem(int32_t iPRN);
