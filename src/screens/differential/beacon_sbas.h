#pragma once
// What the beacon and SBAS screens share: their tab pages, the font of their texts, and
// their registration.

#include <string>
#include <vector>

#include "shell/BaseDialog.h"

// The beacon group's tabs, and the SBAS group's (the ionosphere map page lists its own).
inline const std::vector<eScreen>& BeaconTabs() {
    static const std::vector<eScreen> tabs{SCR_BEACON_1, SCR_BEACON_2, SCR_BEACON_3};
    return tabs;
}
inline const std::vector<eScreen>& SbasTabs() {
    static const std::vector<eScreen> tabs{SCR_SBAS_1, SCR_SBAS_3};
    return tabs;
}

// First activation of a group page: the tab labels and the "Tahoma" 8-point font on every
// control that shows text.
void SetUpGroupPage(CBaseDialog& page, const ui::DialogTemplate& tpl, int tabId,
                    const std::vector<std::string>& tabLabels);

// Registers the beacon and SBAS screens.
void RegisterBeaconSbasScreens();
