#include "resources/dlg_heading1.h"

#include "resources/dlg_strip.h"
#include "ui/pictures.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

constexpr double kEditH = 15;
constexpr const char* kDegree = "\xC2\xBA";

struct Row {
    int label;
    const char* text;
    int edit;
    int unit;
    const char* unitText;
};

ui::DialogTemplate Build() {
    ui::DialogTemplate t;
    t.id = 236;
    auto& c = t.controls;
    AddHeadingStatusStrip(c);
    c.push_back({1029, Kind::Tab, {50, 100, 270, 22}, "", 0, 0, {}});

    // Over the picture, under the speed gauge.
    c.push_back({1111, Kind::Static, {212, 282, 74, 14}, "New Solution", Flag::NoWrap, 0, {}});
    c.push_back({1145, Kind::Button, {288, 280, 30, 16}, "GO", 0, 0, {}});

    // Read-outs in two columns under the picture.
    const Row left[] = {{1094, "Heading:", 1124, 1095, kDegree},
                        {1100, "Pitch:", 1125, 1101, kDegree},
                        {1102, "COG:", 1126, 1103, kDegree}};
    const Row right[] = {{1104, "Roll:", 1023, 1105, kDegree},
                         {1106, "ROT:", 1026, 1107, "\xC2\xBA\\min"},
                         {1108, "Speed:", 1030, 0, ""}};
    for (int i = 0; i < 3; ++i) {
        const double y = 316 + 24.0 * i;
        const Row& l = left[i];
        c.push_back({l.label, Kind::Static, {56, y + 2, 48, 14}, l.text, Flag::NoWrap, 0, {}});
        c.push_back(
            {l.edit, Kind::Edit, {105, y, 60, kEditH}, "", Flag::ReadOnly | Flag::Right, 0, {}});
        c.push_back({l.unit, Kind::Static, {167, y + 2, 14, 12}, l.unitText, Flag::NoWrap, 0, {}});
        const Row& r = right[i];
        c.push_back({r.label, Kind::Static, {186, y + 2, 37, 14}, r.text, Flag::NoWrap, 0, {}});
        const double editW = r.unit ? 52 : 40;  // the speed shares its row with the unit
        c.push_back(
            {r.edit, Kind::Edit, {224, y, editW, kEditH}, "", Flag::ReadOnly | Flag::Right, 0, {}});
        if (r.unit)
            c.push_back(
                {r.unit, Kind::Static, {278, y + 2, 36, 12}, r.unitText, Flag::NoWrap, 0, {}});
    }
    c.push_back({1035,
                 Kind::ComboDropList,
                 {266, 316 + 48 - 1, 52, 17},
                 "",
                 Flag::VScroll,
                 0,
                 {"KMH", "MPH", "KNOTS"}});
    c.push_back({1003, Kind::GroupBox, {50, 304, 270, 86}, "", 0, 0, {}});

    c.push_back({1004, Kind::Picture, ui::kNavBarRect, "", 0, 200, {}});
    c.push_back({1000, Kind::Picture, {0, 0, 370, 510}, "", 0, 130, {}});
    return t;
}

}  // namespace

const ui::DialogTemplate& Heading1DialogTemplate() {
    static const ui::DialogTemplate t = Build();
    return t;
}
