#include "resources/dlg_xref1.h"

#include "resources/dlg_screen_parts.h"

using ui::Kind;
namespace Flag = ui::Flag;
using namespace resources;

namespace {

constexpr double kButtonW = 74;
constexpr double kButtonH = 18;

ui::DialogTemplate Build() {
    ui::DialogTemplate t;
    t.id = 246;
    auto& c = t.controls;
    AddStatusStrip(c, true);
    AddTabStrip(c, 1006);

    c.push_back({1036, Kind::Button, {72, 141, kButtonW, kButtonH}, "Initialize", 0, 0, {}});
    c.push_back(
        {1037, Kind::Button, {224, 141, kButtonW, kButtonH}, "Recalibrate", Flag::Disabled, 0, {}});
    c.push_back({1033,
                 Kind::GroupBox,
                 {54, 124, 262, 42},
                 "Multiple Run - Unknown Control Point",
                 0,
                 0,
                 {}});

    const ReadoutRow coords[] = {{1010, "Lat:", 1007, 0, ""},
                                 {1011, "Lon:", 1022, 0, ""},
                                 {1012, "Hgt:", 1023, 1041, "meters"}};
    for (int i = 0; i < 3; ++i) AddReadoutRow(c, coords[i], 64, 186 + 17 * i, 30, 120, false);
    c.push_back(
        {1040, Kind::Static, {218, 195, 90, kRowH}, "decimal degrees", Flag::NoWrap, 0, {}});
    c.push_back(
        {1038, Kind::Button, {72, 238, kButtonW, kButtonH}, "Initialize", Flag::Disabled, 0, {}});
    c.push_back(
        {1039, Kind::Button, {224, 238, kButtonW, kButtonH}, "Recalibrate", Flag::Disabled, 0, {}});
    c.push_back(
        {1034, Kind::GroupBox, {54, 168, 262, 94}, "Multiple Run - Known Control Point", 0, 0, {}});

    c.push_back({1049, Kind::Button, {72, 281, kButtonW, kButtonH}, "Initialize", 0, 0, {}});
    c.push_back({1035, Kind::GroupBox, {54, 264, 262, 42}, "Single Run", 0, 0, {}});

    c.push_back({1140, Kind::Picture, {66, 325, 12, 12}, "", 0, 137, {}});
    c.push_back({1050, Kind::Picture, {66, 325, 12, 12}, "", Flag::Hidden, 135, {}});
    c.push_back({1009,
                 Kind::Static,
                 {84, 324, 224, kRowH},
                 "Please select x-Ref mode above.",
                 Flag::NoWrap,
                 0,
                 {}});
    c.push_back({1008, Kind::GroupBox, {54, 308, 262, 38}, "x-Ref Status", 0, 0, {}});

    AddDiffModeGroup(c, 350);
    AddScreenFrame(c);
    return t;
}

}  // namespace

const ui::DialogTemplate& Xref1DialogTemplate() {
    static const ui::DialogTemplate t = Build();
    return t;
}
