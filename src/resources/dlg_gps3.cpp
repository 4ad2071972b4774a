#include "resources/dlg_gps3.h"

#include "resources/dlg_screen_parts.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

struct RateRow {
    int label;
    const char* text;
    int thisCombo, otherCombo;
};
constexpr RateRow kRows[] = {
    {1008, "$GPGGA", 1035, 1053}, {1009, "$GPGLL", 1036, 1054}, {1010, "$GPGSA", 1037, 1055},
    {1011, "$GPGST", 1038, 1056}, {1012, "$GPGSV", 1039, 1057}, {1013, "$GPRMC", 1040, 1058},
    {1014, "$GPRRE", 1041, 1059}, {1015, "$GPVTG", 1049, 1060}, {1016, "$GPZDA", 1050, 1061},
    {1017, "Bin95", 1051, 1062},  {1018, "Bin96", 1052, 1063},
};

constexpr double kLabelX = 60;
constexpr double kThisX = 116;
constexpr double kOtherX = 214;
constexpr double kComboW = 94;
constexpr double kComboH = 16;
constexpr double kRowTop = 139;
constexpr double kRowPitch = 16.5;
constexpr unsigned kCombo = Flag::VScroll;

ui::DialogTemplate Build() {
    ui::DialogTemplate t;
    t.id = 216;
    auto& c = t.controls;
    resources::AddStatusStrip(c, true);
    resources::AddTabStrip(c, 1006);

    c.push_back({1066, Kind::Static, {kThisX, 126, kComboW, 12}, "This Port", Flag::Center, 0, {}});
    c.push_back(
        {1067, Kind::Static, {kOtherX, 126, kComboW, 12}, "Other Port", Flag::Center, 0, {}});
    for (int i = 0; i < static_cast<int>(std::size(kRows)); ++i) {
        const RateRow& r = kRows[i];
        const double y = kRowTop + kRowPitch * i;
        c.push_back({r.label, Kind::Static, {kLabelX, y + 2, 54, 12}, r.text, Flag::NoWrap, 0, {}});
        c.push_back(
            {r.thisCombo, Kind::ComboDropList, {kThisX, y, kComboW, kComboH}, "", kCombo, 0, {}});
        c.push_back(
            {r.otherCombo, Kind::ComboDropList, {kOtherX, y, kComboW, kComboH}, "", kCombo, 0, {}});
    }
    const double allOffY = kRowTop + kRowPitch * 11 + 1;
    c.push_back({1064, Kind::Button, {kThisX, allOffY, kComboW, 15}, "ALL OFF", 0, 0, {}});
    c.push_back({1065, Kind::Button, {kOtherX, allOffY, kComboW, 15}, "ALL OFF", 0, 0, {}});
    const double baudY = allOffY + 18;
    const std::vector<std::string> bauds{"4800", "9600", "19200", "38400", "57600", "115200"};
    c.push_back(
        {1032, Kind::Static, {kLabelX, baudY + 2, 54, 12}, "Baudrate", Flag::NoWrap, 0, {}});
    c.push_back(
        {1068, Kind::ComboDropList, {kThisX, baudY, kComboW, kComboH}, "", kCombo, 0, bauds});
    c.push_back(
        {1069, Kind::ComboDropList, {kOtherX, baudY, kComboW, kComboH}, "", kCombo, 0, bauds});
    c.push_back({1005, Kind::GroupBox, {52, 122, 266, baudY + kComboH + 5 - 122}, "", 0, 0, {}});

    // Elevation mask and differential age.
    const double maskY = baudY + kComboH + 8;
    c.push_back({1030,
                 Kind::Static,
                 {kLabelX - 2, maskY + 2, 78, 12},
                 "ElevationMask",
                 Flag::NoWrap,
                 0,
                 {}});
    c.push_back({1007, Kind::Edit, {138, maskY, 26, 15}, "", Flag::Right, 0, {}});
    c.push_back({1070, Kind::Static, {165, maskY + 1, 12, 12}, " \xC2\xBA", Flag::NoWrap, 0, {}});
    c.push_back({1031, Kind::Static, {180, maskY + 1, 74, 14}, "ZEPHA Age", Flag::NoWrap, 0, {}});
    c.push_back({1034, Kind::Edit, {256, maskY, 36, 15}, "", Flag::Right, 0, {}});
    c.push_back({1071, Kind::Static, {295, maskY + 2, 10, 12}, "s", Flag::NoWrap, 0, {}});

    // Receiver configuration file.
    const double profileY = maskY + 20;
    c.push_back(
        {1076, Kind::Static, {kLabelX, profileY + 2, 36, 12}, "Profile", Flag::NoWrap, 0, {}});
    c.push_back({1074, Kind::Edit, {98, profileY, 140, 15}, "", Flag::ReadOnly, 0, {}});
    c.push_back({1075, Kind::Button, {242, profileY, 36, 15}, "Load", 0, 0, {}});
    c.push_back({1072, Kind::Button, {281, profileY, 36, 15}, "Save", 0, 0, {}});

    resources::AddScreenFrame(c);
    return t;
}

}  // namespace

const ui::DialogTemplate& Gps3DialogTemplate() {
    static const ui::DialogTemplate t = Build();
    return t;
}
