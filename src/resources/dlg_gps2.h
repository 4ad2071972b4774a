#pragma once
// Template of the satellites screen (215).

#include "ui/controls.h"

const ui::DialogTemplate& Gps2DialogTemplate();

// Sky plot square in design units, where the screen draws it.
inline constexpr double kSkyPlotLeft = 52.865;
inline constexpr double kSkyPlotTop = 132.844;
inline constexpr double kSkyPlotRight = 193.625;
inline constexpr double kSkyPlotBottom = 273.604;
