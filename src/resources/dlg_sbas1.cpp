#include "resources/dlg_sbas1.h"

#include "resources/dlg_screen_parts.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

constexpr double kRowH = 15;
constexpr unsigned kReadout = Flag::ReadOnly | Flag::Right;
constexpr const char* kDegree = "\xC2\xBA";

// One location column: labels, read-outs and the degree marks after the angles.
struct Column {
    double x;
    int labels[4];
    int edits[4];
    int degrees[3];
};
constexpr Column kColumns[] = {
    {60, {1079, 1080, 1081, 1082}, {1088, 1089, 1090, 1091}, {1083, 1084, 1092}},
    {188, {1085, 1093, 1094, 1095}, {1096, 1097, 1075, 1076}, {1100, 1101, 1102}},
};
constexpr const char* kLocationLabels[] = {"PRN:", "Longitude:", "Elevation:", "Azimuth:"};

ui::DialogTemplate Build() {
    ui::DialogTemplate t;
    t.id = 220;
    auto& c = t.controls;
    resources::AddStatusStrip(c);
    resources::AddTabStrip(c, 1008);

    // Tracked satellites.
    c.push_back({1026, Kind::Static, {62, 142, 44, kRowH}, "Channel", Flag::NoWrap, 0, {}});
    c.push_back(
        {1027, Kind::Static, {112, 142, 50, kRowH}, "PRN", Flag::NoWrap | Flag::Center, 0, {}});
    c.push_back({1028,
                 Kind::Static,
                 {170, 142, 136, kRowH},
                 "Augmentation System",
                 Flag::NoWrap | Flag::Center,
                 0,
                 {}});
    c.push_back(
        {1029, Kind::Static, {62, 160, 40, kRowH}, "1", Flag::NoWrap | Flag::Center, 0, {}});
    c.push_back({1086, Kind::Edit, {112, 158, 50, kRowH}, "", kReadout, 0, {}});
    c.push_back(
        {1013, Kind::Edit, {170, 158, 136, kRowH}, "", Flag::ReadOnly | Flag::Center, 0, {}});
    c.push_back(
        {1030, Kind::Static, {62, 178, 40, kRowH}, "2", Flag::NoWrap | Flag::Center, 0, {}});
    c.push_back({1087, Kind::Edit, {112, 176, 50, kRowH}, "", kReadout, 0, {}});
    c.push_back(
        {1014, Kind::Edit, {170, 176, 136, kRowH}, "", Flag::ReadOnly | Flag::Center, 0, {}});
    c.push_back({1005, Kind::GroupBox, {54, 124, 262, 72}, "SBAS Satellites Tracked", 0, 0, {}});

    // Where they are.
    for (const Column& col : kColumns) {
        for (int row = 0; row < 4; ++row) {
            const double y = 219 + 16 * row;
            c.push_back({col.labels[row],
                         Kind::Static,
                         {col.x, y + 2, 56, kRowH},
                         kLocationLabels[row],
                         Flag::NoWrap,
                         0,
                         {}});
            c.push_back(
                {col.edits[row], Kind::Edit, {col.x + 58, y, 52, kRowH}, "", kReadout, 0, {}});
            if (row > 0)
                c.push_back({col.degrees[row - 1],
                             Kind::Static,
                             {col.x + 112, y, 8, kRowH},
                             kDegree,
                             Flag::NoWrap,
                             0,
                             {}});
        }
    }
    c.push_back({1006, Kind::GroupBox, {54, 200, 262, 88}, "SBAS Satellites Locations", 0, 0, {}});

    AddSbasBerBars(c, 96, 150, 322, 48);
    c.push_back({1031, Kind::GroupBox, {54, 292, 136, 106}, "SBAS Bit Error Rate", 0, 0, {}});

    // Differential source.
    c.push_back({1032,
                 Kind::Static,
                 {200, 310, 108, 42},
                 "Choose one\nsupported by\nyour receiver",
                 Flag::Multiline,
                 0,
                 {}});
    c.push_back({1021, Kind::ComboDropDown, {200, 354, 108, 17}, "", Flag::VScroll, 0, {}});
    c.push_back({1003, Kind::GroupBox, {194, 292, 122, 106}, "Diff Mode", 0, 0, {}});

    resources::AddScreenFrame(c);
    return t;
}

}  // namespace

void AddSbasBerBars(std::vector<ui::ControlSpec>& c, double x1, double x2, double barTop,
                    double barHeight) {
    struct Ids {
        int bar, top, bottom, caption, number;
        const char* caption0;
    };
    const Ids ids[] = {{1127, 1110, 1112, 1106, 1108, "PRN122"},
                       {1128, 1111, 1113, 1107, 1109, "PRN134"}};
    const double xs[] = {x1, x2};
    constexpr unsigned kLabel = Flag::NoWrap;
    for (int i = 0; i < 2; ++i) {
        const Ids& b = ids[i];
        const double x = xs[i];
        c.push_back({b.caption,
                     Kind::Static,
                     {x - 20, barTop - 14, 54, 12},
                     b.caption0,
                     Flag::Center | kLabel,
                     0,
                     {}});
        c.push_back(
            {b.top, Kind::Static, {x - 24, barTop - 1, 22, 12}, "0", Flag::Right | kLabel, 0, {}});
        c.push_back({b.bottom,
                     Kind::Static,
                     {x - 24, barTop + barHeight - 11, 22, 12},
                     "500",
                     Flag::Right | kLabel,
                     0,
                     {}});
        c.push_back({b.bar, Kind::Progress, {x, barTop, 14, barHeight}, "", Flag::Vertical, 0, {}});
        c.push_back({b.number,
                     Kind::Static,
                     {x - 20, barTop + barHeight + 3, 54, 12},
                     "",
                     Flag::Center | kLabel,
                     0,
                     {}});
    }
}

const ui::DialogTemplate& Sbas1DialogTemplate() {
    static const ui::DialogTemplate t = Build();
    return t;
}
