#include "resources/dlg_beacon3.h"

#include "resources/dlg_screen_parts.h"
#include "resources/dlg_strip.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

constexpr double kRowH = 15;
constexpr unsigned kReadout = Flag::ReadOnly | Flag::Right;

struct Choice {
    int radio;
    int label;
    const char* text;
    double x;
};
constexpr Choice kSeries[] = {
    {1032, 1027, "SS", 58}, {1033, 1017, "SNR", 104}, {1037, 1021, "FREQ", 156}};

ui::DialogTemplate Build() {
    ui::DialogTemplate t;
    t.id = 226;
    auto& c = t.controls;
    resources::AddStatusStrip(c);
    resources::AddTabStrip(c, 1029);

    // The series, one at a time.
    for (size_t i = 0; i < std::size(kSeries); ++i) {
        const Choice& s = kSeries[i];
        c.push_back(
            {s.radio, Kind::Radio, {s.x, 128, 14, 14}, "", i == 0 ? Flag::Group : 0u, 0, {}});
        c.push_back({s.label, Kind::Static, {s.x + 15, 129, 34, 13}, s.text, Flag::NoWrap, 0, {}});
    }

    const strip::DesignBand& b = kBeaconPlotBand;
    AddChartAxes(c, b.left, b.top, b.right, b.bottom, 1015);
    c.push_back({1035,
                 Kind::ComboDropList,
                 {272, 145, 44, 17},
                 "",
                 resources::kComboFlags,
                 0,
                 {"1pt", "2pt", "3pt"}});
    c.push_back({1036, Kind::IconCombo, {272, 165, 44, 20}, "", 0, 0, {}});
    AddChartSliders(c, 52, 296, 264, 1022, 1023);

    // Read-outs under the cursor.
    c.push_back({1119, Kind::Static, {60, 348, 30, kRowH}, "Time", Flag::NoWrap, 0, {}});
    c.push_back({1007, Kind::Edit, {92, 346, 56, kRowH}, "", kReadout, 0, {}});
    c.push_back({1025, Kind::Static, {152, 348, 14, kRowH}, "or", Flag::NoWrap, 0, {}});
    c.push_back({1024, Kind::Edit, {168, 346, 56, kRowH}, "", kReadout, 0, {}});
    c.push_back({1121, Kind::Static, {60, 366, 30, kRowH}, "SS", Flag::NoWrap, 0, {}});
    c.push_back({1009, Kind::Edit, {92, 364, 56, kRowH}, "", kReadout, 0, {}});
    c.push_back({1120, Kind::Static, {152, 366, 30, kRowH}, "SNR", Flag::NoWrap, 0, {}});
    c.push_back({1008, Kind::Edit, {184, 364, 56, kRowH}, "", kReadout, 0, {}});
    c.push_back({1122, Kind::Static, {60, 384, 56, kRowH}, "Frequency", Flag::NoWrap, 0, {}});
    c.push_back({1011, Kind::Edit, {118, 382, 56, kRowH}, "", kReadout, 0, {}});
    c.push_back({1123, Kind::Static, {178, 384, 24, kRowH}, "kHz", Flag::NoWrap, 0, {}});
    c.push_back({1010, Kind::Static, {244, 366, 50, kRowH}, "Heading", Flag::Hidden, 0, {}});
    c.push_back({1005, Kind::GroupBox, {54, 334, 262, 66}, "", 0, 0, {}});

    resources::AddScreenFrame(c);
    return t;
}

}  // namespace

const ui::DialogTemplate& Beacon3DialogTemplate() {
    static const ui::DialogTemplate t = Build();
    return t;
}
