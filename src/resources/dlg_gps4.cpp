#include "resources/dlg_gps4.h"

#include "resources/dlg_screen_parts.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

struct Dop {
    int label;
    const char* text;
    int edit;
    double x;
};
constexpr Dop kDops[] = {
    {1008, "HDOP", 1075, 58}, {1009, "VDOP", 1076, 145}, {1010, "PDOP", 1077, 232}};

struct Precision {
    int label;
    const char* text;
    int edit, unit, level;
};
constexpr Precision kRows[] = {{1033, "Northing Precision *", 1015, 1035, 1038},
                               {1070, "Easting Precision *", 1017, 1036, 1039},
                               {1071, "Altitude Precision *", 1025, 1037, 1040}};

struct Semi {
    int label, edit, unit;
    const char* unitText;
};
constexpr Semi kSemis[] = {
    {1021, 1026, 1023, "m"}, {1050, 1027, 1024, "m"}, {1022, 1028, 1031, ""}};

ui::DialogTemplate Build() {
    ui::DialogTemplate t;
    t.id = 217;
    auto& c = t.controls;
    resources::AddStatusStrip(c, false);
    resources::AddTabStrip(c, 1006);

    for (const Dop& d : kDops) {
        c.push_back({d.label, Kind::Static, {d.x, 134, 33, 12}, d.text, Flag::NoWrap, 0, {}});
        c.push_back(
            {d.edit, Kind::Edit, {d.x + 34, 132, 42, 15}, "", Flag::ReadOnly | Flag::Right, 0, {}});
    }
    c.push_back({1003, Kind::GroupBox, {52, 124, 266, 28}, "", 0, 0, {}});

    for (int i = 0; i < 3; ++i) {
        const Precision& p = kRows[i];
        const double y = 163 + 19.0 * i;
        c.push_back({p.label, Kind::Static, {56, y + 1, 108, 14}, p.text, Flag::NoWrap, 0, {}});
        c.push_back(
            {p.edit, Kind::Edit, {165, y, 34, 15}, "", Flag::ReadOnly | Flag::Right, 0, {}});
        c.push_back({p.unit,
                     Kind::ComboDropList,
                     {202, y, 62, 16},
                     "",
                     Flag::VScroll,
                     0,
                     {"meters", "feet"}});
        c.push_back({p.level,
                     Kind::ComboDropList,
                     {267, y, 47, 16},
                     "",
                     Flag::VScroll,
                     0,
                     {"1 \xCF\x83", "95%", "CEP", "99%"}});
    }
    c.push_back({1066, Kind::Static, {58, 220, 80, 12}, "*Estimated", Flag::NoWrap, 0, {}});
    c.push_back({1005, Kind::GroupBox, {52, 154, 266, 80}, "", 0, 0, {}});

    // The ellipse square with its corner labels and the zero marks of its axes.
    const double l = kEllipseLeft, tp = kEllipseTop, r = kEllipseRight, b = kEllipseBottom;
    const double mx = (l + r) / 2, my = (tp + b) / 2;
    c.push_back({1079, Kind::Static, {l - 8, tp - 13, 56, 12}, "(-5,5)m", Flag::NoWrap, 0, {}});
    c.push_back({1081,
                 Kind::Static,
                 {r - 48, tp - 13, 56, 12},
                 "(5,5)m",
                 Flag::Right | Flag::NoWrap,
                 0,
                 {}});
    c.push_back({1080, Kind::Static, {l - 8, b + 1, 56, 12}, "(-5,-5)m", Flag::NoWrap, 0, {}});
    c.push_back({1034,
                 Kind::Static,
                 {r - 48, b + 1, 56, 12},
                 "(5,-5)m",
                 Flag::Right | Flag::NoWrap,
                 0,
                 {}});
    c.push_back(
        {1082, Kind::Static, {mx - 5, tp - 13, 10, 12}, "0", Flag::Center | Flag::NoWrap, 0, {}});
    c.push_back(
        {1083, Kind::Static, {mx - 5, b + 1, 10, 12}, "0", Flag::Center | Flag::NoWrap, 0, {}});
    c.push_back(
        {1084, Kind::Static, {l - 10, my - 6, 9, 12}, "0", Flag::Right | Flag::NoWrap, 0, {}});
    c.push_back({1085, Kind::Static, {r + 2, my - 6, 9, 12}, "0", Flag::NoWrap, 0, {}});

    c.push_back({1067, Kind::Static, {196, 261, 110, 14}, "Error Ellipse", Flag::NoWrap, 0, {}});
    for (int i = 0; i < 3; ++i) {
        const Semi& s = kSemis[i];
        const double y = 284 + 22.0 * i;
        c.push_back({s.label, Kind::Static, {196, y + 2, 46, 12}, "", Flag::NoWrap, 0, {}});
        c.push_back(
            {s.edit, Kind::Edit, {244, y, 48, 15}, "", Flag::ReadOnly | Flag::Right, 0, {}});
        c.push_back({s.unit, Kind::Static, {295, y + 2, 14, 12}, s.unitText, Flag::NoWrap, 0, {}});
    }
    c.push_back({1007, Kind::GroupBox, {52, 238, 266, 174}, "", 0, 0, {}});

    resources::AddScreenFrame(c);
    return t;
}

}  // namespace

const ui::DialogTemplate& Gps4DialogTemplate() {
    static const ui::DialogTemplate t = Build();
    return t;
}
