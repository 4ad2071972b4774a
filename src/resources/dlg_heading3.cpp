#include "resources/dlg_heading3.h"

#include "resources/dlg_strip.h"
#include "ui/pictures.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

constexpr double kEditH = 15;

ui::DialogTemplate Build() {
    ui::DialogTemplate t;
    t.id = 238;
    auto& c = t.controls;
    AddHeadingStatusStrip(c);
    c.push_back({1029, Kind::Tab, {50, 100, 270, 22}, "", 0, 0, {}});

    // Captions over the large figures (drawn at 57..142 and 182..287, 155..180).
    c.push_back({1009, Kind::Static, {57, 140, 90, 12}, "Current Heading", Flag::NoWrap, 0, {}});
    c.push_back(
        {1010, Kind::Static, {182, 140, 110, 12}, "Current Rate of Turn", Flag::NoWrap, 0, {}});

    // The chart: title band 48.73..107.38, 190..205; plot band 48.73..224.68, 211.435..305.275.
    AddChartAxes(c, 48.73, 211.435, 224.68, 305.275, 1028);
    c.push_back({1035, Kind::ComboDropList, {270, 212, 48, 17}, "", Flag::VScroll, 0, {}});
    c.push_back({1036, Kind::IconCombo, {270, 232, 48, 20}, "", 0, 0, {}});
    c.push_back({1149, Kind::Button, {270, 256, 23, 16}, "Inc", 0, 0, {}});
    c.push_back({1148, Kind::Button, {295, 256, 23, 16}, "Dec", 0, 0, {}});
    AddChartSliders(c, 50, 336, 218, 1030, 1031);

    // Heading and time under the cursor.
    c.push_back({1012, Kind::Static, {46, 373, 52, 14}, "Heading:", Flag::NoWrap, 0, {}});
    c.push_back({1007, Kind::Edit, {99, 372, 52, kEditH}, "", Flag::ReadOnly | Flag::Right, 0, {}});
    c.push_back({1015, Kind::Static, {153, 374, 10, 12}, "d", Flag::NoWrap, 0, {}});
    c.push_back({1013, Kind::Static, {46, 391, 52, 14}, "Time:", Flag::NoWrap, 0, {}});
    c.push_back({1014, Kind::Edit, {99, 390, 52, kEditH}, "", Flag::ReadOnly | Flag::Right, 0, {}});
    c.push_back({1033, Kind::Static, {156, 392, 14, 12}, "or", Flag::NoWrap, 0, {}});
    c.push_back(
        {1032, Kind::Edit, {172, 390, 52, kEditH}, "", Flag::ReadOnly | Flag::Right, 0, {}});

    c.push_back({1004, Kind::Picture, ui::kNavBarRect, "", 0, 200, {}});
    c.push_back({1000, Kind::Picture, {0, 0, 370, 510}, "", 0, 130, {}});
    return t;
}

}  // namespace

const ui::DialogTemplate& Heading3DialogTemplate() {
    static const ui::DialogTemplate t = Build();
    return t;
}
