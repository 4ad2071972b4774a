#include "screens/differential/lband_pages.h"

#include <algorithm>

#include "screens/differential/diff_page.h"

void FillLBandTabs(CBaseDialog& screen, int tabId) {
    FillTabLabels(screen, tabId, {"Status", "Tune", "Subscription", "Plot"});
}

void ShowBerBar(CBaseDialog& screen, int barId, int32_t ber) {
    screen.SetRange(barId, 0, kLBandBerMax);
    screen.SetStep(barId, 1);
    // A negative rate would set a position past the range, which the bar ignores.
    screen.SetPos(barId, ber < kLBandBerMax ? kLBandBerMax - std::max(ber, 0) : 0);
}
