#pragma once
// Template of the ionosphere map page (222), and where its map and colour scale lie.

#include "ui/controls.h"
#include "ui/types.h"

// Design units: the map picture, the colour-scale frame and the legend row under it.
// The map picture is 240 x 190; the rectangle shows its rows from kIonoMapTopRows on.
inline constexpr ui::DesignRect kIonoMapRect{65, 128, 240, 165};
inline constexpr double kIonoMapTopRows = 25;
inline constexpr double kIonoScaleLeft = 80;  // the frame's left edge; bars start one unit in
inline constexpr double kIonoScaleTop = 298;
inline constexpr double kIonoScaleWidth = 210;
inline constexpr double kIonoScaleHeight = 10;

const ui::DialogTemplate& Sbas2DialogTemplate();
