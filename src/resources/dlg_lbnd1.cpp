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
    for (int i = 0; i < 3; ++i) AddReadoutRow(c, beam[i], 62, 138 + 16 * i, 60, 70);
    c.push_back(
        {1005, Kind::GroupBox, {54, 124, 200, 66}, "Current OmniSTAR Information", 0, 0, {}});

    const ReadoutRow location[] = {{1106, "Longitude:", 1121, 1109, "d"},
                                   {1107, "Elevation:", 1122, 1110, "d"},
                                   {1108, "Azimuth:", 1123, 1111, "d"}};
    for (int i = 0; i < 3; ++i) AddReadoutRow(c, location[i], 62, 204 + 16 * i, 60, 70);
    c.push_back({1007, Kind::GroupBox, {54, 190, 200, 66}, "Satellite Location", 0, 0, {}});

    c.push_back({1103, Kind::Static, {258, 138, 54, 12}, "BER", Flag::Center | kTitle, 0, {}});
    c.push_back({1104, Kind::Static, {284, 152, 28, 12}, "0", Flag::NoWrap, 0, {}});
    c.push_back({1070, Kind::Progress, {266, 153, 14, 80}, "", Flag::Vertical, 0, {}});
    c.push_back({1112, Kind::Static, {284, 222, 28, 12}, "500", Flag::NoWrap, 0, {}});
    c.push_back({1105, Kind::Static, {258, 237, 54, 14}, "", Flag::Center | Flag::NoWrap, 0, {}});
    c.push_back({1006, Kind::GroupBox, {256, 124, 60, 132}, "", 0, 0, {}});

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
        AddReadoutRow(c, flags[i], x, 270 + 15 * (i / 2), 86, 34);
    }
    c.push_back({1031, Kind::GroupBox, {54, 256, 262, 90}, "Status", 0, 0, {}});

    AddDiffModeGroup(c, 348, "Diff Mode");
    AddScreenFrame(c);
    return t;
}

}  // namespace

const ui::DialogTemplate& Lbnd1DialogTemplate() {
    static const ui::DialogTemplate t = BuildStatus();
    return t;
}
