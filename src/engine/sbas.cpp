#include "engine/sbas.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

namespace {

constexpr int32_t kBerGoodBelow = 150;

struct Slot {
    float fElevation, fAzimuth, fLongitude;
};

// The first slot wins when both track the same PRN.
bool FindSlot(const LBandInfo& lband, int32_t iPRN, Slot& slot) {
    if (iPRN == lband.iSBASPRN1) {
        slot = {lband.fSBASElevation1, lband.fSBASAzimuth1, lband.fSBASLongitude1};
        return true;
    }
    if (iPRN == lband.iSBASPRN2) {
        slot = {lband.fSBASElevation2, lband.fSBASAzimuth2, lband.fSBASLongitude2};
        return true;
    }
    return false;
}

// Locale-free: the user-interface toolkit may have set a decimal-comma locale.
std::string FormatOneDecimal(float value) {
    std::array<char, 64> buf{};
    const auto result =
        std::to_chars(buf.data(), buf.data() + buf.size(), value, std::chars_format::fixed, 1);
    if (result.ec != std::errc{}) return {};
    return std::string(buf.data(), result.ptr);
}

struct PRNSystem {
    int32_t iPRN;
    const char* szSystem;
};

constexpr std::array<PRNSystem, 10> kPRNSystems = {{
    {120, "EGNOS"},
    {124, "EGNOS"},
    {126, "EGNOS"},
    {131, "EGNOS"},
    {122, "WAAS"},
    {134, "WAAS"},
    {135, "WAAS"},
    {138, "WAAS"},
    {129, "MSAS"},
    {137, "MSAS"},
}};

}  // namespace

bool GetSBASValues(const LBandInfo& lband, int32_t iPRN, float& fElevation, float& fAzimuth) {
    Slot slot{};
    const bool found = FindSlot(lband, iPRN, slot);
    fElevation = slot.fElevation;
    fAzimuth = slot.fAzimuth;
    return found;
}

bool bSBASBerGood(const LBandInfo& lband) {
    return lband.iSBASBer1 < kBerGoodBelow || lband.iSBASBer2 < kBerGoodBelow;
}

BerBar SetBERBar(int32_t iBer) {
    const int32_t clamped = std::clamp(iBer, BerBar::kMin, BerBar::kMax);
    return {clamped, BerBar::kMax - clamped};
}

std::string FormatPRN(int32_t iPRN) {
    return "PRN" + std::to_string(iPRN);
}

bool FormatSBASEntry(const LBandInfo& lband, int32_t iPRN, std::string& value, float& fElevation,
                     float& fAzimuth, std::string& label) {
    Slot slot{};
    if (FindSlot(lband, iPRN, slot)) {
        std::array<char, 32> buf{};
        std::snprintf(buf.data(), buf.size(), "PRN%3d", static_cast<int>(iPRN));
        label = buf.data();
        value = FormatOneDecimal(slot.fLongitude);
    } else {
        label.clear();
        value.clear();
    }
    fElevation = slot.fElevation;
    fAzimuth = slot.fAzimuth;
    return true;
}

std::string GetSBASSystem(int32_t iPRN) {
    const auto row = std::find_if(kPRNSystems.begin(), kPRNSystems.end(),
                                  [&](const PRNSystem& r) { return r.iPRN == iPRN; });
    return row == kPRNSystems.end() ? "Unknown" : row->szSystem;
}
