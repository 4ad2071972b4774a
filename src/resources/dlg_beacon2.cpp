#include "resources/dlg_beacon2.h"

#include "resources/dlg_screen_parts.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

constexpr double kLeft = 60;
constexpr double kRowH = 15;
constexpr double kComboH = 17;
constexpr double kButtonX = 254;
constexpr double kButtonW = 54;
constexpr double kButtonH = 18;
constexpr unsigned kList = Flag::VScroll;

ui::DialogTemplate Build() {
    ui::DialogTemplate t;
    t.id = 225;
    auto& c = t.controls;
    resources::AddStatusStrip(c);
    resources::AddTabStrip(c, 1050);

    // What the receiver is tuned to.
    c.push_back(
        {1008, Kind::Static, {kLeft, 136, 80, kRowH}, "Current Beacon", Flag::NoWrap, 0, {}});
    c.push_back({1011, Kind::Edit, {142, 134, 166, kRowH}, "", Flag::ReadOnly, 0, {}});
    c.push_back({1009, Kind::Static, {kLeft, 154, 30, kRowH}, "Freq", Flag::NoWrap, 0, {}});
    c.push_back({1067, Kind::Edit, {92, 152, 78, kRowH}, "", Flag::ReadOnly | Flag::Right, 0, {}});
    c.push_back({1010, Kind::Static, {184, 154, 30, kRowH}, "MSK", Flag::NoWrap, 0, {}});
    c.push_back({1068, Kind::Edit, {216, 152, 92, kRowH}, "", Flag::ReadOnly | Flag::Right, 0, {}});
    c.push_back({1003, Kind::GroupBox, {54, 126, 262, 46}, "", 0, 0, {}});

    // Manual tune.
    c.push_back({1012,
                 Kind::Static,
                 {kLeft, 182, 120, kRowH},
                 "Manual Tune",
                 Flag::NoWrap | Flag::Bold,
                 0,
                 {}});
    c.push_back(
        {1013, Kind::Static, {kLeft, 202, 82, kRowH}, "Frequency (kHz)", Flag::NoWrap, 0, {}});
    c.push_back({1035, Kind::ComboDropList, {150, 199, 70, kComboH}, "", kList, 0, {}});
    c.push_back(
        {1014, Kind::Static, {kLeft, 222, 82, kRowH}, "MSK Rate (bps)", Flag::NoWrap, 0, {}});
    c.push_back({1036,
                 Kind::ComboDropList,
                 {150, 219, 70, kComboH},
                 "",
                 kList,
                 0,
                 {"100 bps", "200 bps", "Auto"}});
    c.push_back({1064, Kind::Button, {kButtonX, 209, kButtonW, kButtonH}, "Tune", 0, 0, {}});
    c.push_back({1031, Kind::GroupBox, {54, 174, 262, 66}, "", 0, 0, {}});

    // Automatic tunes.
    c.push_back({1015,
                 Kind::Static,
                 {kLeft, 251, 180, kRowH},
                 "Automatic Tune",
                 Flag::NoWrap | Flag::Bold,
                 0,
                 {}});
    c.push_back({1065, Kind::Button, {kButtonX, 248, kButtonW, kButtonH}, "Tune", 0, 0, {}});
    c.push_back({1005, Kind::GroupBox, {54, 242, 262, 30}, "", 0, 0, {}});
    c.push_back({1017,
                 Kind::Static,
                 {kLeft, 283, 180, kRowH},
                 "Automatic Tune With Erase",
                 Flag::NoWrap | Flag::Bold,
                 0,
                 {}});
    c.push_back({1066, Kind::Button, {kButtonX, 280, kButtonW, kButtonH}, "Tune", 0, 0, {}});
    c.push_back({1006, Kind::GroupBox, {54, 274, 262, 30}, "", 0, 0, {}});

    // By name: region, country, station.
    c.push_back({1021,
                 Kind::Static,
                 {kLeft, 314, 120, kRowH},
                 "Choose by Name",
                 Flag::NoWrap | Flag::Bold,
                 0,
                 {}});
    c.push_back({1022, Kind::Static, {kLeft, 334, 46, kRowH}, "Region", Flag::NoWrap, 0, {}});
    c.push_back({1037,
                 Kind::ComboDropList,
                 {108, 331, 138, kComboH},
                 "",
                 kList,
                 0,
                 {"Africa", "Asia", "Australia", "Europe", "North America", "South America",
                  "Central America"}});
    c.push_back({1023, Kind::Static, {kLeft, 354, 46, kRowH}, "Country", Flag::NoWrap, 0, {}});
    c.push_back({1038, Kind::ComboDropList, {108, 351, 138, kComboH}, "", kList, 0, {}});
    c.push_back({1024, Kind::Static, {kLeft, 374, 46, kRowH}, "Beacon", Flag::NoWrap, 0, {}});
    c.push_back({1039, Kind::ComboDropList, {108, 371, 138, kComboH}, "", kList, 0, {}});
    c.push_back({1069, Kind::Button, {kButtonX, 370, kButtonW, kButtonH}, "Tune", 0, 0, {}});
    c.push_back({1007, Kind::GroupBox, {54, 306, 262, 90}, "", 0, 0, {}});

    resources::AddScreenFrame(c);
    return t;
}

}  // namespace

const ui::DialogTemplate& Beacon2DialogTemplate() {
    static const ui::DialogTemplate t = Build();
    return t;
}
