#include "resources/dlg_heading2.h"

#include "resources/dlg_strip.h"
#include "ui/pictures.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

constexpr double kRowH = 17;

struct Labelled {
    int label;
    const char* text;
    int control;
};
struct Value {
    int label;
    const char* text;
    int edit;
    int unit;
    const char* unitText;
};

const std::vector<std::string> kRates{"OFF", "1 Hz", "5 Hz", "5 s", "10Hz", "20Hz"};

ui::DialogTemplate Build() {
    ui::DialogTemplate t;
    t.id = 237;
    auto& c = t.controls;
    AddHeadingStatusStrip(c);
    c.push_back({1029, Kind::Tab, {50, 100, 270, 22}, "", 0, 0, {}});

    // Aiding and mounting flags, then pitch or roll.
    const Labelled flags[] = {{1008, "Tilt Aiding", 1146},
                              {1009, "Gyro Aiding", 1147},
                              {1011, "Level Operation", 1149},
                              {1012, "Negative Tilt", 1150},
                              {1070, "FLIPBRD", 1151}};
    double y = 134;
    for (const Labelled& f : flags) {
        c.push_back({f.label, Kind::Static, {57, y + 1, 82, 14}, f.text, Flag::NoWrap, 0, {}});
        c.push_back({f.control, Kind::CheckBox, {140, y, 14, 14}, "", 0, 0, {}});
        y += kRowH;
    }
    y += 6;
    c.push_back({1013, Kind::Static, {57, y + 1, 82, 14}, "Pitch", Flag::NoWrap, 0, {}});
    c.push_back({1032, Kind::Radio, {140, y, 14, 14}, "", Flag::Group, 0, {}});
    y += kRowH;
    c.push_back({1014, Kind::Static, {57, y + 1, 82, 14}, "Roll", Flag::NoWrap, 0, {}});
    c.push_back({1033, Kind::Radio, {140, y, 14, 14}, "", 0, 0, {}});
    c.push_back({1003, Kind::GroupBox, {52, 126, 104, 146}, "", 0, 0, {}});

    // Time constants, biases and antenna separation.
    const Value values[] = {
        {1015, "Heading Tau", 1007, 1039, "s"},  {1022, "Heading Rate Tau", 1030, 1040, "s"},
        {1023, "COG Tau", 1031, 1041, "s"},      {1024, "Speed Tau", 1034, 1042, "s"},
        {1025, "Heading Bias", 1035, 1046, "d"}, {1026, "Pitch/Roll Bias", 1036, 1047, "d"},
        {1027, "MSEP", 1037, 1048, "m"},         {1028, "CSEP", 1038, 1049, "m"}};
    y = 132;
    for (const Value& v : values) {
        c.push_back({v.label, Kind::Static, {163, y + 1, 90, 14}, v.text, Flag::NoWrap, 0, {}});
        const unsigned readOnly = v.edit == 1038 ? Flag::ReadOnly : 0u;
        c.push_back({v.edit, Kind::Edit, {254, y, 46, 15}, "", Flag::Right | readOnly, 0, {}});
        c.push_back({v.unit, Kind::Static, {302, y + 1, 12, 14}, v.unitText, Flag::NoWrap, 0, {}});
        y += kRowH;
    }
    c.push_back({1005, Kind::GroupBox, {160, 126, 160, 146}, "", 0, 0, {}});

    // Output rates of the heading sentences on both ports.
    const Labelled thisPort[] = {
        {1051, "$HEHDT", 1059}, {1052, "$HEROT", 1060}, {1053, "$PZLT,HPR", 1061}};
    const Labelled otherPort[] = {
        {1055, "$HEHDT", 1063}, {1056, "$HEROT", 1064}, {1057, "$PZLT,HPR", 1065}};
    c.push_back({1050, Kind::Static, {60, 284, 100, 14}, "This Port", Flag::Bold, 0, {}});
    c.push_back({1054, Kind::Static, {190, 284, 100, 14}, "OtherPort", Flag::Bold, 0, {}});
    for (int i = 0; i < 3; ++i) {
        const double ry = 302 + 21.0 * i;
        const Labelled& a = thisPort[i];
        c.push_back({a.label, Kind::Static, {60, ry + 2, 58, 14}, a.text, Flag::NoWrap, 0, {}});
        c.push_back(
            {a.control, Kind::ComboDropList, {118, ry, 60, 17}, "", Flag::VScroll, 0, kRates});
        const Labelled& b = otherPort[i];
        c.push_back({b.label, Kind::Static, {190, ry + 2, 58, 14}, b.text, Flag::NoWrap, 0, {}});
        c.push_back(
            {b.control, Kind::ComboDropList, {248, ry, 60, 17}, "", Flag::VScroll, 0, kRates});
    }
    c.push_back({1006, Kind::GroupBox, {52, 276, 268, 94}, "", 0, 0, {}});

    c.push_back({1004, Kind::Picture, ui::kNavBarRect, "", 0, 200, {}});
    c.push_back({1000, Kind::Picture, {0, 0, 370, 510}, "", 0, 130, {}});
    return t;
}

}  // namespace

const ui::DialogTemplate& Heading2DialogTemplate() {
    static const ui::DialogTemplate t = Build();
    return t;
}
