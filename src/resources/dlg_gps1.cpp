#include "resources/dlg_gps1.h"

#include "resources/dlg_screen_parts.h"
#include "ui/pictures.h"

using ui::ControlSpec;
using ui::Kind;
namespace Flag = ui::Flag;

namespace {

// Read-out rows: label, edit.
struct Row {
    int label;
    const char* text;
    int edit;
};
constexpr Row kRows[] = {
    {1008, "Date:", 1007}, {1009, "Time:", 1022},    {1010, "Lat:", 1023},
    {1011, "Lon:", 1024},  {1012, "Alt:", 1025},     {1013, "Speed:", 1026},
    {1014, "COG:", 1027},  {1015, "Heading:", 1028}, {1016, "Precision:", 1029},
    {1017, "HDOP:", 1030}, {1018, "DiffAge:", 1031},
};

constexpr double kRowTop = 134;
constexpr double kRowPitch = 18;
constexpr double kLabelX = 61;
constexpr double kLabelW = 52;
constexpr double kEditX = 114;
constexpr double kEditW = 98;
constexpr double kEditH = 15;
constexpr double kOptionX = 218;
constexpr double kOptionW = 91;
constexpr double kOffsetLabelW = 35;
constexpr unsigned kCombo = Flag::VScroll;

double RowY(int row) {
    return kRowTop + kRowPitch * row;
}

ui::DialogTemplate Build() {
    ui::DialogTemplate t;
    t.id = 214;
    auto& c = t.controls;

    resources::AddStatusStrip(c, true);

    c.push_back({1006, Kind::Tab, {50, 100, 270, 22}, "", 0, 0, {}});

    for (int i = 0; i < static_cast<int>(std::size(kRows)); ++i) {
        const Row& r = kRows[i];
        c.push_back({r.label,
                     Kind::Static,
                     {kLabelX, RowY(i) + 2, kLabelW, kEditH},
                     r.text,
                     Flag::NoWrap,
                     0,
                     {}});
        c.push_back({r.edit,
                     Kind::Edit,
                     {kEditX, RowY(i), kEditW, kEditH},
                     "",
                     Flag::ReadOnly | Flag::Right,
                     0,
                     {}});
    }

    // Unit and format choices beside the rows they change.
    c.push_back({1035,
                 Kind::ComboDropDown,
                 {kOptionX, RowY(0) - 1, kOptionW, 17},
                 "",
                 kCombo,
                 0,
                 {"Local", "UTC"}});
    c.push_back({1050,
                 Kind::Static,
                 {kOptionX, RowY(1) + 2, kOffsetLabelW, kEditH},
                 "Offset:",
                 Flag::NoWrap,
                 0,
                 {}});
    c.push_back({1049,
                 Kind::ComboDropDown,
                 {kOptionX + kOffsetLabelW + 2, RowY(1) - 1, kOptionW - kOffsetLabelW - 2, 17},
                 "",
                 kCombo,
                 0,
                 {}});
    c.push_back({1036,
                 Kind::ComboDropDown,
                 {kOptionX, RowY(2) - 1, kOptionW, 17},
                 "",
                 kCombo,
                 0,
                 {"DM.M", "D.D", "DMS"}});
    c.push_back({1038,
                 Kind::ComboDropDown,
                 {kOptionX, RowY(4) - 1, kOptionW, 17},
                 "",
                 kCombo,
                 0,
                 {"Meters", "Feet"}});
    c.push_back({1039,
                 Kind::ComboDropDown,
                 {kOptionX, RowY(5) - 1, kOptionW, 17},
                 "",
                 kCombo,
                 0,
                 {"KMH", "MPH", "KNOTS"}});
    c.push_back({1040,
                 Kind::ComboDropDown,
                 {kOptionX, RowY(8) - 1, kOptionW, 17},
                 "",
                 kCombo,
                 0,
                 {"1 \xCF\x83", "95%", "CEP", "99%"}});

    // Pause and resume at the same place; one of them is shown.
    const ui::DesignRect pause{kOptionX + (kOptionW - 28) / 2, RowY(6) + 4, 28, 22};
    c.push_back({1133, Kind::Picture, pause, "", Flag::Notify, ui::IDB_PAUSE_OFF, {}});
    c.push_back(
        {1134, Kind::Picture, pause, "", Flag::Notify | Flag::Hidden, ui::IDB_PAUSE_ON, {}});

    c.push_back({1005, Kind::GroupBox, {54, 126, 262, 208}, "", 0, 0, {}});

    // Differential source.
    c.push_back({1032,
                 Kind::Static,
                 {64, 360, 120, 28},
                 "Choose one supported\nby your receiver",
                 Flag::Multiline,
                 0,
                 {}});
    c.push_back({1021, Kind::ComboDropDown, {190, 365, 116, 17}, "", kCombo, 0, {}});
    c.push_back({1003, Kind::GroupBox, {54, 340, 262, 56}, "DiffMode", 0, 0, {}});

    c.push_back({1004, Kind::Picture, ui::kNavBarRect, "", 0, 200, {}});
    c.push_back({1000, Kind::Picture, {0, 0, 370, 510}, "", 0, 130, {}});
    return t;
}

}  // namespace

const ui::DialogTemplate& Gps1DialogTemplate() {
    static const ui::DialogTemplate t = Build();
    return t;
}
