#include "resources/dlg_gps5.h"

#include "resources/dlg_strip.h"
#include "ui/pictures.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

constexpr unsigned kCombo = Flag::VScroll;
constexpr double kEditH = 15;
constexpr double kComboH = 17;

ui::DialogTemplate Build() {
    ui::DialogTemplate t;
    t.id = 218;
    auto& c = t.controls;
    resources::AddStatusStrip(c);
    c.push_back({1029, Kind::Tab, {50, 100, 270, 22}, "", 0, 0, {}});

    // Reference position: SnapShot beside the title, three edits with their format and unit,
    // Use This Point beside them.
    c.push_back({1008, Kind::Static, {56, 126, 150, 13}, "Reference Position", Flag::Bold, 0, {}});
    struct Row {
        int label;
        const char* text;
        int edit;
        double y;
    };
    const Row rows[] = {{1009, "Latitude:", 1025, 141},
                        {1026, "Longitude:", 1031, 159},
                        {1027, "Altitude:", 1032, 177}};
    for (const Row& r : rows) {
        c.push_back({r.label, Kind::Static, {54, r.y + 2, 57, 13}, r.text, Flag::NoWrap, 0, {}});
        c.push_back({r.edit, Kind::Edit, {112, r.y, 94, kEditH}, "", Flag::Right, 0, {}});
    }
    c.push_back({1036,
                 Kind::ComboDropList,
                 {209, 140, 61, kComboH},
                 "",
                 kCombo,
                 0,
                 {"DM.M", "D.D", "DMS"}});
    c.push_back(
        {1037, Kind::ComboDropList, {209, 176, 61, kComboH}, "", kCombo, 0, {"Meters", "Feet"}});
    c.push_back({1064, Kind::Button, {256, 124, 62, 16}, "SnapShot", 0, 0, {}});
    c.push_back({1066, Kind::Button, {273, 158, 45, 34}, "Use This\n Point", Flag::Hidden, 0, {}});

    // The chart: its legend band (drawn) at 52..199, 201..217, the plot band at
    // 52.73..229.68, 220.127..300.583.
    c.push_back({1028, Kind::Static, {232, 201, 36, 12}, "Error", Flag::NoWrap, 0, {}});
    AddChartAxes(c, 52.73, 220.127, 229.68, 300.583, 1015);
    c.push_back({1035, Kind::ComboDropList, {272, 220, 46, kComboH}, "", kCombo, 0, {}});
    c.push_back({1039, Kind::IconCombo, {272, 240, 46, 20}, "", 0, 0, {}});
    c.push_back({1149, Kind::Button, {272, 264, 22, 16}, "Inc", 0, 0, {}});
    c.push_back({1148, Kind::Button, {296, 264, 22, 16}, "Dec", 0, 0, {}});

    AddChartSliders(c, 52, 329, 214, 1022, 1023);

    // Offsets and time under the cursor.
    struct Readout {
        int label;
        const char* text;
        int edit;
        double y;
    };
    const Readout readouts[] = {{1011, "Northing Error*:", 1007, 363},
                                {1012, "Easting Error*:", 1013, 379},
                                {1014, "Altitude Error*:", 1024, 395}};
    for (const Readout& r : readouts) {
        c.push_back({r.label, Kind::Static, {50, r.y + 1, 88, 14}, r.text, Flag::NoWrap, 0, {}});
        c.push_back(
            {r.edit, Kind::Edit, {139, r.y, 48, kEditH}, "", Flag::ReadOnly | Flag::Right, 0, {}});
    }
    c.push_back(
        {1038, Kind::ComboDropList, {191, 362, 61, kComboH}, "", kCombo, 0, {"Meters", "Feet"}});
    c.push_back({1017, Kind::Static, {191, 397, 30, 13}, "Time:", Flag::NoWrap, 0, {}});
    c.push_back(
        {1021, Kind::Edit, {222, 395, 38, kEditH}, "", Flag::ReadOnly | Flag::Right, 0, {}});
    c.push_back({1030,
                 Kind::Static,
                 {262, 362, 58, 44},
                 "* From\nReference\nPosition",
                 Flag::Multiline,
                 0,
                 {}});

    c.push_back({1004, Kind::Picture, ui::kNavBarRect, "", 0, 200, {}});
    c.push_back({1000, Kind::Picture, {0, 0, 370, 510}, "", 0, 130, {}});
    return t;
}

}  // namespace

const ui::DialogTemplate& Gps5DialogTemplate() {
    static const ui::DialogTemplate t = Build();
    return t;
}
