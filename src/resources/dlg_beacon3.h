#pragma once
// Template of the beacon plot screen (226), and where its chart lies.

#include "shell/StripChart.h"
#include "ui/controls.h"

// Design units.
inline constexpr strip::DesignBand kBeaconPlotBand{51.73, 175.072, 227.68, 268.912};
// The title band reaches to the plot band's right edge so the longest title fits.
inline constexpr strip::DesignBand kBeaconTitleBand{51, 145, 227.68, 161};

const ui::DialogTemplate& Beacon3DialogTemplate();
