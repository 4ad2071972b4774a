#pragma once
// What the beacon and SBAS screens share: their tab pages and their registration.

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

// Registers the beacon and SBAS screens.
void RegisterBeaconSbasScreens();
