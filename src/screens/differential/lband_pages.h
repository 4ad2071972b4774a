#pragma once
// What the four L-band pages share: their tabs, the D1 rate they switch on, and the
// bit-error-rate bar.

#include <cstdint>
#include <vector>

#include "shell/BaseDialog.h"

inline const std::vector<eScreen> kLBandTabScreens{SCR_LBND_1, SCR_LBND_2, SCR_LBND_3, SCR_LBND_4};
// eRateCode of "$JASC,D1,1".
inline constexpr int kLBandRateOn = 2;
inline constexpr int kLBandRateOff = 0;
// A bit-error rate of this or more is no value.
inline constexpr int32_t kLBandBerMax = 500;

// "Status", "Tune", "Subscription", "Plot".
void FillLBandTabs(CBaseDialog& screen, int tabId);
// The bar runs 0..500 and fills from the top: full at rate 0, empty at 500 and beyond.
void ShowBerBar(CBaseDialog& screen, int barId, int32_t ber);
