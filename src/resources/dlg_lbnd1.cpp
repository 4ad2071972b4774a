#include "resources/dlg_lbnd1.h"

#include "resources/dlg_screen_parts.h"

using ui::Kind;
namespace Flag = ui::Flag;
using namespace resources;

namespace {

constexpr unsigned kTitle = Flag::NoWrap | Flag::Bold;

ui::DialogTemplate BuildStatus() {
    ui::DialogTemplate t;
    t.id = 227;
    auto& c = t.controls;
    AddStatusStrip(c, false);
    AddTabStrip(c, 1008);

    // Current beam, left; the bit-error-rate bar beside it.
    const ReadoutRow beam[] = {{1094, "Spot Beam:", 1118, 0, ""},
                               {1095, "Frequency:", 1119, 1101, "kHz"},
                               {1100, "Data Rate:", 1120, 1102, "bps"}};
    for (int i = 0; i < 3; ++i) AddReadoutRow(c, beam[i], 62, 141 + 15 * i, 60, 70);
    c.push_back(
        {1005, Kind::GroupBox, {54, 124, 200, 64}, "Current OmniSTAR Information", 0, 0, {}});

    const ReadoutRow location[] = {{1106, "Longitude:", 1121, 1109, "d"},
                                   {1107, "Elevation:", 1122, 1110, "d"},
                                   {1108, "Azimuth:", 1123, 1111, "d"}};
    for (int i = 0; i < 3; ++i) AddReadoutRow(c, location[i], 62, 205 + 15 * i, 60, 70);
    c.push_back({1007, Kind::GroupBox, {54, 188, 200, 64}, "Satellite Location", 0, 0, {}});

    c.push_back({1103, Kind::Static, {258, 132, 54, 12}, "BER", Flag::Center | kTitle, 0, {}});
    c.push_back({1104, Kind::Static, {284, 147, 28, 12}, "0", Flag::NoWrap, 0, {}});
    c.push_back({1070, Kind::Progress, {266, 148, 14, 78}, "", Flag::Vertical, 0, {}});
    c.push_back({1112, Kind::Static, {284, 214, 28, 12}, "500", Flag::NoWrap, 0, {}});
    c.push_back({1105, Kind::Static, {258, 231, 54, 14}, "", Flag::Center | Flag::NoWrap, 0, {}});
    c.push_back({1006, Kind::GroupBox, {256, 124, 60, 128}, "", 0, 0, {}});

    // Service flags in two columns.
    const ReadoutRow flags[] = {
        {1116, "Subsciption:", 1038, 0, ""},      {1117, "Region:", 1041, 0, ""},
        {1049, "Satellite Link:", 1050, 0, ""},   {1052, "Maritime:", 1053, 0, ""},
        {1054, "Remote Site:", 1055, 0, ""},      {1056, "Almanac:", 1057, 0, ""},
        {1058, "Position:", 1059, 0, ""},         {1060, "Time:", 1061, 0, ""},
        {1062, "Satellite Update:", 1063, 0, ""},
    };
    for (int i = 0; i < 9; ++i) {
        const double x = i % 2 == 0 ? 60 : 188;
        AddReadoutRow(c, flags[i], x, 269 + 15 * (i / 2), 86, 34);
    }
    c.push_back({1031, Kind::GroupBox, {54, 252, 262, 96}, "Status", 0, 0, {}});

    AddDiffModeGroup(c, 350, "Diff Mode");
    AddScreenFrame(c);
    return t;
}

}  // namespace

const ui::DialogTemplate& Lbnd1DialogTemplate() {
    static const ui::DialogTemplate t = BuildStatus();
    return t;
}
