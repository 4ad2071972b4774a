#pragma once
// Template of the SBAS bit-error-rate plot screen (223), and where its chart lies.

#include "shell/StripChart.h"
#include "ui/controls.h"

// Design units.
inline constexpr strip::DesignBand kSbasPlotBand{56.73, 167.688, 232.68, 261.528};
inline constexpr strip::DesignBand kSbasTitleBand{55, 142, 216, 157};

const ui::DialogTemplate& Sbas3DialogTemplate();
