#include "resources/dlg_lbnd4.h"

#include "resources/dlg_screen_parts.h"
#include "resources/dlg_strip.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

// The plot band of the chart (design units).
constexpr double kLeft = 58.73, kTop = 165.688, kRight = 234.68, kBottom = 259.528;

ui::DialogTemplate Build() {
    ui::DialogTemplate t;
    t.id = 230;
    auto& c = t.controls;
    resources::AddStatusStrip(c, false);
    resources::AddTabStrip(c, 1029);

    // Axis title down the left of the band.
    const char* letters[] = {"B", "E", "R"};
    for (int i = 0; i < 3; ++i)
        c.push_back({1116 + i,
                     Kind::Static,
                     {46, 188 + 14.0 * i, 10, 12},
                     letters[i],
                     Flag::Center | Flag::Bold | Flag::NoWrap,
                     0,
                     {}});
    AddChartAxes(c, kLeft, kTop, kRight, kBottom, 1015);

    // The current bit-error rate beside the chart. The column is too narrow for the group's
    // title on one line, so the title stands inside the frame on two.
    c.push_back({1109,
                 Kind::Static,
                 {261, 129, 54, 26},
                 "LBND Bit\nError Rate",
                 Flag::Center | Flag::Multiline,
                 0,
                 {}});
    c.push_back({1106,
                 Kind::Static,
                 {262, 156, 52, 12},
                 "BER",
                 Flag::Center | Flag::Bold | Flag::NoWrap,
                 0,
                 {}});
    c.push_back({1110, Kind::Static, {290, 170, 24, 12}, "0", Flag::NoWrap, 0, {}});
    c.push_back({1127, Kind::Progress, {272, 171, 14, 70}, "", Flag::Vertical, 0, {}});
    c.push_back({1112, Kind::Static, {290, 230, 24, 12}, "500", Flag::NoWrap, 0, {}});
    c.push_back({1108, Kind::Static, {262, 245, 52, 14}, "", Flag::Center | Flag::NoWrap, 0, {}});
    c.push_back({1031, Kind::GroupBox, {260, 126, 56, 136}, "", 0, 0, {}});

    AddChartSliders(c, 56, 292, 200, 1022, 1023);
    c.push_back({1035, Kind::ComboDropList, {266, 292, 48, 17}, "", resources::kComboFlags, 0, {}});
    c.push_back({1036, Kind::IconCombo, {266, 314, 48, 20}, "", 0, 0, {}});

    // The sample under the cursor.
    c.push_back({1119, Kind::Static, {64, 360, 28, 12}, "Time", Flag::NoWrap, 0, {}});
    c.push_back({1007, Kind::Edit, {92, 358, 56, 14}, "", Flag::ReadOnly | Flag::Right, 0, {}});
    c.push_back({1025, Kind::Static, {152, 360, 14, 12}, "or", Flag::NoWrap, 0, {}});
    c.push_back({1024, Kind::Edit, {168, 358, 50, 14}, "", Flag::ReadOnly | Flag::Right, 0, {}});
    c.push_back({1120, Kind::Static, {228, 360, 24, 12}, "BER", Flag::NoWrap, 0, {}});
    c.push_back({1008, Kind::Edit, {254, 358, 50, 14}, "", Flag::ReadOnly | Flag::Right, 0, {}});
    c.push_back({1005, Kind::GroupBox, {54, 344, 262, 36}, "", 0, 0, {}});

    resources::AddScreenFrame(c);
    return t;
}

}  // namespace

const ui::DialogTemplate& Lbnd4DialogTemplate() {
    static const ui::DialogTemplate t = Build();
    return t;
}
