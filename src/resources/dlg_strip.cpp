#include "resources/dlg_strip.h"

using ui::Kind;
namespace Flag = ui::Flag;

void AddChartAxes(std::vector<ui::ControlSpec>& c, double left, double top, double right,
                  double bottom, int secondsId) {
    constexpr int kTimeIds[] = {1151, 1152, 1153, 1155, 1156, 1154};
    constexpr double kTimeW = 30;
    constexpr double kTextH = 12;
    const double step = (right - left) / 5;
    for (int k = 0; k < 6; ++k) {
        const double x = left + step * k;
        // The oldest label starts at the band's edge so it stays on the screen.
        const ui::DesignRect r = k == 0
                                     ? ui::DesignRect{left - 3, bottom + 5, kTimeW, kTextH}
                                     : ui::DesignRect{x - kTimeW / 2, bottom + 5, kTimeW, kTextH};
        c.push_back(
            {kTimeIds[k], Kind::Static, r, "", (k == 0 ? 0u : Flag::Center) | Flag::NoWrap, 0, {}});
    }
    c.push_back({secondsId,
                 Kind::Static,
                 {(left + right) / 2 - 25, bottom + 16, 50, kTextH},
                 "Seconds",
                 Flag::Center | Flag::NoWrap,
                 0,
                 {}});
    const double row = (bottom - top) / 4;
    for (int k = 0; k < 5; ++k)
        c.push_back({1157 + k,
                     Kind::Static,
                     {right + 1, bottom - row * k - kTextH / 2, 41, kTextH},
                     "",
                     Flag::NoWrap,
                     0,
                     {}});
}

void AddChartSliders(std::vector<ui::ControlSpec>& c, double left, double top, double width,
                     int coarseLabelId, int preciseLabelId) {
    constexpr double kLabelW = 68;
    c.push_back({coarseLabelId,
                 Kind::Static,
                 {left, top + 2, kLabelW, 12},
                 "Coarse Track",
                 Flag::NoWrap,
                 0,
                 {}});
    c.push_back({1163, Kind::Slider, {left + kLabelW, top, width - kLabelW, 16}, "", 0, 0, {}});
    c.push_back({preciseLabelId,
                 Kind::Static,
                 {left, top + 18, kLabelW, 12},
                 "Precise Track",
                 Flag::NoWrap,
                 0,
                 {}});
    c.push_back(
        {1164, Kind::Slider, {left + kLabelW, top + 16, width - kLabelW, 16}, "", 0, 0, {}});
}
