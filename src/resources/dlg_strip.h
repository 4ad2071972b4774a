#pragma once
// The status strip along the top of the screen area, as most screen templates lay it out.

#include <vector>

#include "ui/controls.h"

// Lamp pairs 1018/1043, 1019/1044, 1020/1045 with the labels 1001 "COMM", 1016 "GPS" and
// 1002 "SBAS".
void AddStatusStrip(std::vector<ui::ControlSpec>& c);
// The same strip with the heading screens' fourth pair: 1021 good (136) / 1144 bad (134)
// with the label 1017 "Heading".
void AddHeadingStatusStrip(std::vector<ui::ControlSpec>& c);

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
