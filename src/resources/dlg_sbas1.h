#pragma once
// Template of the SBAS status screen (220).

#include <vector>

#include "ui/controls.h"

const ui::DialogTemplate& Sbas1DialogTemplate();

// The two bit-error-rate bars of the SBAS pages (1127, 1128) with their captions, scale ends
// and numbers; a low rate shows a high bar.
void AddSbasBerBars(std::vector<ui::ControlSpec>& c, double x1, double x2, double barTop,
                    double barHeight);
