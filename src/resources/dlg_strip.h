#pragma once
// Template parts of the strip-chart screens: the chart's axes and its two sliders.

#include <vector>

#include "resources/dlg_screen_parts.h"
#include "ui/controls.h"

// The status strip is one of the common template parts.
using resources::AddHeadingStatusStrip;
using resources::AddStatusStrip;

// The axes of a strip chart whose plot band has these edges (design units): the time labels
// 1151, 1152, 1153, 1155, 1156, 1154 under the grid lines, the caption `secondsId`
// ("Seconds") under them, and the value labels 1157 (bottom) to 1161 (top) right of the band
// beside the grid rows.
void AddChartAxes(std::vector<ui::ControlSpec>& c, double left, double top, double right,
                  double bottom, int secondsId);
// The "Coarse Track" (1163) and "Precise Track" (1164) sliders with their labels, one above
// the other from `top`.
void AddChartSliders(std::vector<ui::ControlSpec>& c, double left, double top, double width,
                     int coarseLabelId, int preciseLabelId);
