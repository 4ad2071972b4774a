#include "resources/dlg_startup.h"

#include "ui/pictures.h"

using ui::ControlSpec;
using ui::Kind;
namespace Flag = ui::Flag;

namespace {

ui::DialogTemplate BuildStartup() {
    ui::DialogTemplate t;
    t.id = 210;
    t.caption = "Tessaray PC";
    auto& c = t.controls;

    // Serial port settings.
    c.push_back({1008,
                 Kind::Static,
                 {56, 74, 200, 16},
                 "Serial Port Settings",
                 Flag::Bold | Flag::NoWrap,
                 0,
                 {}});
    c.push_back({1011, Kind::Static, {66, 111, 60, 16}, "Port:", Flag::NoWrap, 0, {}});
    c.push_back({IDC_PORT_COMBO, Kind::ComboDropDown, {130, 108, 96, 22}, "", 0, 0, {}});
    c.push_back({IDC_PORT_DEVICE, Kind::Static, {130, 132, 182, 14}, "", Flag::NoWrap, 0, {}});
    c.push_back(
        {IDC_BAUD_LABEL, Kind::Static, {66, 153, 60, 16}, "Baud Rate:", Flag::NoWrap, 0, {}});
    c.push_back({IDC_BAUD_COMBO, Kind::ComboDropDown, {130, 150, 96, 22}, "", 0, 0, {}});
    c.push_back({1013, Kind::Static, {66, 180, 60, 16}, "Auto-Baud:", Flag::NoWrap, 0, {}});
    c.push_back({IDC_AUTO_BAUD, Kind::CheckBox, {130, 179, 18, 18}, "", 0, 0, {}});
    c.push_back({IDC_SEARCH, Kind::Button, {238, 108, 72, 24}, "Search", 0, 0, {}});
    c.push_back({IDC_DEMO_MODE, Kind::Button, {238, 150, 72, 24}, "Demo Mode", 0, 0, {}});
    c.push_back({1005, Kind::GroupBox, {52, 96, 266, 110}, "", 0, 0, {}});

    // Progress of the search.
    c.push_back(
        {1009, Kind::Static, {62, 220, 200, 16}, "Status", Flag::Bold | Flag::NoWrap, 0, {}});
    // The last line may carry why a port could not be opened: it wraps onto a second line
    // rather than losing the reason.
    for (int i = 0; i < 4; ++i) {
        c.push_back({kProgressLineIds[i],
                     Kind::Static,
                     {66, 236.0 + 14 * i, 246, 14},
                     "",
                     Flag::NoWrap,
                     0,
                     {}});
    }
    c.push_back({kProgressLineIds[4], Kind::Static, {66, 292, 246, 28}, "", 0, 0, {}});
    c.push_back({1006, Kind::GroupBox, {52, 212, 266, 110}, "", 0, 0, {}});

    // Receiver type and hand-over, shown once the receiver is found (or in demo mode).
    c.push_back({IDC_RECEIVER_TYPE_LABEL,
                 Kind::Static,
                 {66, 340, 84, 16},
                 "Receiver Type",
                 Flag::Hidden | Flag::NoWrap,
                 0,
                 {}});
    c.push_back({IDC_RECEIVER_TYPE_COMBO,
                 Kind::ComboDropDown,
                 {150, 337, 160, 22},
                 "",
                 Flag::Hidden,
                 0,
                 {"Varnholt GPS", "Varnholt Quillbar", "Varnholt Bluetooth"}});
    c.push_back({IDC_GENERATE_REPORT_LABEL,
                 Kind::Static,
                 {66, 375, 84, 16},
                 "Generate Report",
                 Flag::Hidden | Flag::NoWrap,
                 0,
                 {}});
    c.push_back({IDC_GENERATE_REPORT, Kind::CheckBox, {150, 374, 18, 18}, "", Flag::Hidden, 0, {}});
    c.push_back({IDC_STARTUP_OK, Kind::Button, {238, 372, 72, 24}, "OK", Flag::Hidden, 0, {}});
    c.push_back({1007, Kind::GroupBox, {52, 328, 266, 82}, "", 0, 0, {}});

    c.push_back({1004, Kind::Picture, ui::kNavBarRect, "", 0, 141, {}});
    c.push_back({1000, Kind::Picture, {0, 0, 370, 510}, "", 0, 130, {}});
    return t;
}

}  // namespace

const ui::DialogTemplate& StartupDialogTemplate() {
    static const ui::DialogTemplate t = BuildStartup();
    return t;
}
