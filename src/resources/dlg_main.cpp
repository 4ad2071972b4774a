#include "resources/dlg_main.h"

#include "resources/dlg_screen_parts.h"
#include "ui/pictures.h"

using ui::ControlSpec;
using ui::DesignRect;
using ui::Kind;
namespace Flag = ui::Flag;

namespace {

ui::DialogTemplate BuildMain() {
    ui::DialogTemplate t;
    t.id = 102;
    t.caption = "Tessaray PC";
    auto& c = t.controls;
    resources::AddStatusStrip(c);
    c.push_back({1003, Kind::Tab, {50, 100, 270, 22}, "", 0, 0, {}});
    c.push_back({1005, Kind::GroupBox, {54, 126, 262, 282}, "", 0, 0, {}});
    c.push_back({1008,
                 Kind::Static,
                 {60, 140, 250, 20},
                 "Welcome to Tessaray PC",
                 Flag::Center | Flag::Bold | Flag::NoWrap,
                 0,
                 {}});
    c.push_back({1009,
                 Kind::Static,
                 {60, 162, 250, 18},
                 "Version 2.2.0.0",
                 Flag::Center | Flag::NoWrap,
                 0,
                 {}});
    c.push_back({1070, Kind::Picture, {100, 190, 170, 60}, "", 0, 326, {}});
    c.push_back({1010,
                 Kind::Static,
                 {60, 266, 250, 16},
                 "Varnholt GPS",
                 Flag::Center | Flag::Bold | Flag::NoWrap,
                 0,
                 {}});
    c.push_back({1011,
                 Kind::Static,
                 {60, 284, 250, 16},
                 "GNSS receiver configuration and monitoring",
                 Flag::Center | Flag::NoWrap,
                 0,
                 {}});
    c.push_back({1012,
                 Kind::Static,
                 {60, 312, 250, 16},
                 "Looking for serial ports ...",
                 Flag::Center | Flag::NoWrap,
                 0,
                 {}});
    c.push_back({1013,
                 Kind::Static,
                 {60, 330, 250, 16},
                 "The connection page opens in a moment.",
                 Flag::Center | Flag::NoWrap,
                 0,
                 {}});
    c.push_back({1014,
                 Kind::Static,
                 {60, 362, 250, 16},
                 "Support and updates:",
                 Flag::Center | Flag::NoWrap,
                 0,
                 {}});
    c.push_back({1015,
                 Kind::Static,
                 {60, 380, 250, 16},
                 "www.varnholt-gps.example",
                 Flag::Center | Flag::NoWrap,
                 0,
                 {}});
    const DesignRect nav = ui::kNavBarRect;
    c.push_back({1006, Kind::GroupBox, nav, "", Flag::Hidden, 0, {}});
    c.push_back({1004, Kind::Picture, nav, "", 0, 141, {}});
    c.push_back({1000, Kind::Picture, {0, 0, 370, 510}, "", 0, 130, {}});
    return t;
}

ui::DialogTemplate BuildAbout() {
    ui::DialogTemplate t;
    t.id = 100;
    t.caption = "About Tessaray_PC";
    t.separateWindow = true;
    t.width = 300;
    t.height = 96;
    auto& c = t.controls;
    c.push_back({1101, Kind::Picture, {16, 16, 32, 32}, "", Flag::Icon, 128, {}});
    c.push_back({1102,
                 Kind::Static,
                 {64, 16, 220, 16},
                 "Tessaray_PC Version 2.2.0.0",
                 Flag::NoWrap,
                 0,
                 {}});
    c.push_back({1103,
                 Kind::Static,
                 {64, 36, 220, 16},
                 "Receiver configuration and monitoring",
                 Flag::NoWrap,
                 0,
                 {}});
    c.push_back({ui::IDOK, Kind::Button, {214, 62, 70, 24}, "OK", 0, 0, {}});
    return t;
}

}  // namespace

const ui::DialogTemplate& MainDialogTemplate() {
    static const ui::DialogTemplate t = BuildMain();
    return t;
}

const ui::DialogTemplate& AboutDialogTemplate() {
    static const ui::DialogTemplate t = BuildAbout();
    return t;
}
