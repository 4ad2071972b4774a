#include "resources/dlg_tspan.h"

#include "resources/dlg_screen_parts.h"

using ui::Kind;
namespace Flag = ui::Flag;
using namespace resources;

namespace {

ui::DialogTemplate BuildBase() {
    ui::DialogTemplate t;
    t.id = 334;
    auto& c = t.controls;
    AddStatusStrip(c, true);
    AddTabStrip(c, 1006);

    const ReadoutRow coords[] = {{1010, "Lat:", 1007, 0, ""},
                                 {1011, "Lon:", 1022, 0, ""},
                                 {1012, "Hgt:", 1023, 1041, "meters"}};
    for (int i = 0; i < 3; ++i) AddReadoutRow(c, coords[i], 64, 146 + 20 * i, 30, 120, false);
    c.push_back(
        {1040, Kind::Static, {218, 156, 90, kRowH}, "decimal degrees", Flag::NoWrap, 0, {}});
    c.push_back({1083,
                 Kind::Static,
                 {64, 212, 130, 28},
                 "Select Port for \noutputting corrections",
                 Flag::Multiline,
                 0,
                 {}});
    c.push_back({1079,
                 Kind::ComboDropList,
                 {200, 217, 90, 17},
                 "",
                 kComboFlags,
                 0,
                 {"NONE", "PORTA", "PORTB", "PORTC"}});
    c.push_back({1036, Kind::Button, {136, 254, 98, 20}, "Initialize", 0, 0, {}});
    c.push_back({1078, Kind::GroupBox, {54, 126, 262, 160}, "Base Station", 0, 0, {}});

    AddDiffModeGroup(c, 300);
    AddScreenFrame(c);
    return t;
}

ui::DialogTemplate BuildRover() {
    ui::DialogTemplate t;
    t.id = 337;
    auto& c = t.controls;
    AddStatusStrip(c, true);
    AddTabStrip(c, 1006);
    // The rover needs no settings of its own: its frame holds the source choice.
    c.push_back({1032,
                 Kind::Static,
                 {70, 164, 116, 28},
                 "Choose one supported\nby your receiver",
                 Flag::Multiline,
                 0,
                 {}});
    c.push_back({1021, Kind::ComboDropDown, {190, 169, 110, 17}, "", kComboFlags, 0, {}});
    c.push_back({1003, Kind::GroupBox, {62, 146, 246, 54}, "DiffMode", 0, 0, {}});
    c.push_back({1033, Kind::GroupBox, {54, 126, 262, 84}, "Rover", 0, 0, {}});
    AddScreenFrame(c);
    return t;
}

}  // namespace

const ui::DialogTemplate& TSpanBaseDialogTemplate() {
    static const ui::DialogTemplate t = BuildBase();
    return t;
}

const ui::DialogTemplate& TSpanRoverDialogTemplate() {
    static const ui::DialogTemplate t = BuildRover();
    return t;
}
