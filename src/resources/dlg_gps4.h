#pragma once
// Template of the precision screen (217).

#include "ui/controls.h"

const ui::DialogTemplate& Gps4DialogTemplate();

// The error-ellipse square in design units, where the screen draws it.
inline constexpr double kEllipseLeft = 62.249;
inline constexpr double kEllipseTop = 264.739;
inline constexpr double kEllipseRight = 180.549;
inline constexpr double kEllipseBottom = 383.039;
