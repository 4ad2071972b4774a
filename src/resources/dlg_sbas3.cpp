#include "resources/dlg_sbas3.h"

#include "resources/dlg_sbas1.h"
#include "resources/dlg_screen_parts.h"
#include "resources/dlg_strip.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

constexpr double kRowH = 15;
constexpr unsigned kReadout = Flag::ReadOnly | Flag::Right;

ui::DialogTemplate Build() {
    ui::DialogTemplate t;
    t.id = 223;
    auto& c = t.controls;
    resources::AddStatusStrip(c);
    resources::AddTabStrip(c, 1029);

    const strip::DesignBand& b = kSbasPlotBand;
    // "BER" down the left of the band.
    const char* letters[] = {"B", "E", "R"};
    for (int i = 0; i < 3; ++i)
        c.push_back({1116 + i,
                     Kind::Static,
                     {46, b.top + 26 + 12 * i, 9, 12},
                     letters[i],
                     Flag::Center | Flag::NoWrap,
                     0,
                     {}});
    AddChartAxes(c, b.left, b.top, b.right, b.bottom, 1015);
    c.push_back({1035,
                 Kind::ComboDropList,
                 {274, 142, 42, 17},
                 "",
                 resources::kComboFlags,
                 0,
                 {"1pt", "2pt", "3pt"}});
    c.push_back({1036, Kind::IconCombo, {274, 162, 42, 20}, "", 0, 0, {}});
    AddChartSliders(c, 52, 290, 264, 1022, 1023);

    // Read-outs under the cursor.
    c.push_back({1119, Kind::Static, {60, 342, 44, kRowH}, "Time", Flag::NoWrap, 0, {}});
    c.push_back({1007, Kind::Edit, {106, 340, 60, kRowH}, "", kReadout, 0, {}});
    c.push_back({1120, Kind::Static, {60, 360, 44, kRowH}, "", Flag::NoWrap, 0, {}});
    c.push_back({1008, Kind::Edit, {106, 358, 60, kRowH}, "", kReadout, 0, {}});
    c.push_back({1121, Kind::Static, {60, 378, 44, kRowH}, "", Flag::NoWrap, 0, {}});
    c.push_back({1009, Kind::Edit, {106, 376, 60, kRowH}, "", kReadout, 0, {}});
    c.push_back({1005, Kind::GroupBox, {54, 324, 120, 80}, "", 0, 0, {}});

    AddSbasBerBars(c, 226, 280, 357, 30);
    c.push_back({1031, Kind::GroupBox, {178, 324, 138, 80}, "SBAS Bit Error Rate", 0, 0, {}});

    resources::AddScreenFrame(c);
    return t;
}

}  // namespace

const ui::DialogTemplate& Sbas3DialogTemplate() {
    static const ui::DialogTemplate t = Build();
    return t;
}
