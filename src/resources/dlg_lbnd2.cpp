#include "resources/dlg_lbnd2.h"

#include "resources/dlg_screen_parts.h"

using ui::Kind;
namespace Flag = ui::Flag;
using namespace resources;

namespace {

constexpr unsigned kTitle = Flag::NoWrap | Flag::Bold;

ui::DialogTemplate BuildTune() {
    ui::DialogTemplate t;
    t.id = 228;
    auto& c = t.controls;
    AddStatusStrip(c, false);
    AddTabStrip(c, 1008);

    c.push_back({1079, Kind::Static, {62, 134, 96, 14}, "Current Beam", kTitle, 0, {}});
    c.push_back(
        {1125, Kind::Edit, {152, 132, 80, kRowH}, "", Flag::ReadOnly | Flag::Center, 0, {}});
    AddReadoutRow(c, {1080, "Frequency:", 1124, 1081, "kHz"}, 62, 150, 90, 80);
    AddReadoutRow(c, {1034, "Data Rate:", 1126, 1082, "bps"}, 62, 166, 90, 80);
    c.push_back({1003, Kind::GroupBox, {54, 124, 262, 62}, "", 0, 0, {}});

    c.push_back({1083, Kind::Static, {62, 198, 120, 14}, "Manual Tune", kTitle, 0, {}});
    c.push_back(
        {1084, Kind::Static, {62, 216, 90, kRowH}, "Frequency (kHz):", Flag::NoWrap, 0, {}});
    c.push_back({1035, Kind::ComboDropList, {152, 213, 100, 17}, "", kComboFlags, 0, {}});
    c.push_back(
        {1085, Kind::Static, {62, 236, 90, kRowH}, "Data Rate (bps):", Flag::NoWrap, 0, {}});
    c.push_back({1036, Kind::ComboDropList, {152, 233, 100, 17}, "", kComboFlags, 0, {}});
    c.push_back({1064, Kind::Button, {258, 223, 52, 18}, "Tune", 0, 0, {}});
    c.push_back({1031, Kind::GroupBox, {54, 188, 262, 68}, "", 0, 0, {}});

    c.push_back({1092, Kind::Static, {62, 270, 120, 14}, "Automatic Tune", kTitle, 0, {}});
    c.push_back({1065, Kind::Button, {258, 267, 52, 18}, "Tune", 0, 0, {}});
    c.push_back({1005, Kind::GroupBox, {54, 258, 262, 34}, "", 0, 0, {}});

    c.push_back({1093, Kind::Static, {62, 304, 120, 14}, "Choose by Name", kTitle, 0, {}});
    c.push_back({1094, Kind::Static, {62, 322, 100, kRowH}, "Continent:", Flag::NoWrap, 0, {}});
    c.push_back({1037, Kind::ComboDropList, {152, 319, 100, 17}, "", kComboFlags, 0, {}});
    c.push_back({1095, Kind::Static, {62, 342, 100, kRowH}, "Beam:", Flag::NoWrap, 0, {}});
    c.push_back({1038, Kind::ComboDropList, {152, 339, 100, 17}, "", kComboFlags, 0, {}});
    c.push_back({1066, Kind::Button, {258, 329, 52, 18}, "Tune", 0, 0, {}});
    c.push_back({1007, Kind::GroupBox, {54, 294, 262, 68}, "", 0, 0, {}});

    AddScreenFrame(c);
    return t;
}

}  // namespace

const ui::DialogTemplate& Lbnd2DialogTemplate() {
    static const ui::DialogTemplate t = BuildTune();
    return t;
}
