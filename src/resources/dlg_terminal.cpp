#include "resources/dlg_terminal.h"

#include <string>

#include "ui/pictures.h"

namespace resources {

namespace {

using ui::ControlSpec;
using ui::Kind;
namespace Flag = ui::Flag;

constexpr int kBackgroundPicture = 130;
constexpr int kLampBad = 134;
constexpr int kLampFix = 135;
constexpr int kLampGood = 138;
constexpr double kLeft = 54;
constexpr double kWidth = 262;  // the screen area less its margins
constexpr double kComboH = 17;
constexpr double kEditH = 18;
constexpr double kLevelLabelW = 76;

std::vector<std::string> Levels() {
    return {"1", "2", "3", "4"};
}

// The status strip in the ids of the narrow strip, and the group's two tabs.
void AddStripAndTab(std::vector<ControlSpec>& c) {
    c.push_back({1018, Kind::Picture, {54, 67, 12, 12}, "", Flag::Hidden, kLampFix, {}});
    c.push_back({1043, Kind::Picture, {54, 67, 12, 12}, "", 0, kLampBad, {}});
    c.push_back({1001, Kind::Static, {69, 66, 56, 14}, "COMM", Flag::NoWrap, 0, {}});
    c.push_back({1019, Kind::Picture, {128, 67, 12, 12}, "", Flag::Hidden, kLampGood, {}});
    c.push_back({1044, Kind::Picture, {128, 67, 12, 12}, "", 0, kLampBad, {}});
    c.push_back({1016, Kind::Static, {143, 66, 40, 14}, "GPS", Flag::NoWrap, 0, {}});
    c.push_back({1020, Kind::Picture, {186, 67, 12, 12}, "", Flag::Hidden, kLampGood, {}});
    c.push_back({1045, Kind::Picture, {186, 67, 12, 12}, "", 0, kLampBad, {}});
    c.push_back({1002, Kind::Static, {201, 66, 76, 14}, "SBAS", Flag::NoWrap, 0, {}});
    c.push_back({IDC_TERMINAL_TAB, Kind::Tab, {50, 100, 270, 22}, "", 0, 0, {}});
}

void AddFrame(std::vector<ControlSpec>& c) {
    c.push_back({1004, Kind::Picture, ui::kNavBarRect, "", 0, 200, {}});
    c.push_back({1000, Kind::Picture, {0, 0, 370, 510}, "", 0, kBackgroundPicture, {}});
}

ui::DialogTemplate BuildTerminal1() {
    ui::DialogTemplate t;
    t.id = IDD_TERMINAL_1;
    auto& c = t.controls;
    AddStripAndTab(c);

    c.push_back({IDC_TERMINAL_VIEW,
                 Kind::TextView,
                 {kLeft, 127, kWidth, 145},
                 "",
                 Flag::VScroll | Flag::ReadOnly,
                 0,
                 {}});

    // The command line with its history, and how much of the receiver's line is used.
    c.push_back({IDC_TERMINAL_COMMAND,
                 Kind::ComboDropDown,
                 {kLeft, 277, 220, kComboH},
                 "$",
                 Flag::VScroll,
                 0,
                 {}});
    c.push_back({IDC_TERMINAL_COMMAND_COUNT,
                 Kind::Static,
                 {kLeft + 222, 279, kWidth - 222, 14},
                 "1/97",
                 Flag::NoWrap | Flag::Right,
                 0,
                 {}});

    c.push_back({IDC_HOTKEY_LEVEL_LABEL,
                 Kind::Static,
                 {kLeft, 303, kLevelLabelW, 14},
                 "Hot Key Level",
                 Flag::NoWrap,
                 0,
                 {}});
    c.push_back({IDC_HOTKEY_LEVEL,
                 Kind::ComboDropList,
                 {kLeft + kLevelLabelW, 300, 40, kComboH},
                 "",
                 Flag::VScroll,
                 0,
                 Levels()});

    // Pause or resume, send and clear; send and clear have a pressed look at the same place.
    constexpr double kPicW = 28, kPicH = 22, kPicY = 298;
    const ui::DesignRect pause{kLeft + kWidth - 3 * kPicW - 8, kPicY, kPicW, kPicH};
    const ui::DesignRect send{kLeft + kWidth - 2 * kPicW - 4, kPicY, kPicW, kPicH};
    const ui::DesignRect clear{kLeft + kWidth - kPicW, kPicY, kPicW, kPicH};
    c.push_back(
        {IDC_TERMINAL_PAUSE, Kind::Picture, pause, "", Flag::Notify, ui::IDB_PAUSE_OFF, {}});
    c.push_back({IDC_TERMINAL_RESUME,
                 Kind::Picture,
                 pause,
                 "",
                 Flag::Notify | Flag::Hidden,
                 ui::IDB_PAUSE_ON,
                 {}});
    c.push_back({IDC_TERMINAL_SEND, Kind::Picture, send, "", Flag::Notify, 224, {}});
    c.push_back({IDC_TERMINAL_SEND_DOWN, Kind::Picture, send, "", Flag::Hidden, 223, {}});
    c.push_back({IDC_TERMINAL_CLEAR, Kind::Picture, clear, "", Flag::Notify, 219, {}});
    c.push_back({IDC_TERMINAL_CLEAR_DOWN, Kind::Picture, clear, "", Flag::Hidden, 218, {}});

    // Nine hot keys, three by three.
    const char* const captions[] = {"SBAS Diff",    "All NMEA Off", "Tune 301.5/100",
                                    "Beacon Diff",  "GGA 5Hz",      "Show Config",
                                    "Applications", "GSV 5Hz",      "Empty"};
    constexpr double kKeyGap = 4, kKeyH = 26, kKeyTop = 326;
    constexpr double kKeyW = (kWidth - 2 * kKeyGap) / 3;
    for (size_t i = 0; i < kHotKeyButtons.size(); ++i) {
        const double x = kLeft + static_cast<double>(i % 3) * (kKeyW + kKeyGap);
        const double y = kKeyTop + static_cast<double>(i / 3) * (kKeyH + kKeyGap - 1);
        c.push_back({kHotKeyButtons[i], Kind::Button, {x, y, kKeyW, kKeyH}, captions[i], 0, 0, {}});
    }
    AddFrame(c);
    return t;
}

ui::DialogTemplate BuildTerminal2() {
    ui::DialogTemplate t;
    t.id = IDD_TERMINAL_2;
    auto& c = t.controls;
    AddStripAndTab(c);

    c.push_back({IDC_HOTKEYS_FILE_LABEL,
                 Kind::Static,
                 {kLeft, 128, kWidth, 14},
                 "Hot Key List File Name and Location",
                 Flag::NoWrap | Flag::Bold,
                 0,
                 {}});
    c.push_back({IDC_HOTKEYS_FILE, Kind::Static, {kLeft, 143, kWidth, 26}, "", 0, 0, {}});
    c.push_back({IDC_HOTKEYS_LEVEL_LABEL,
                 Kind::Static,
                 {kLeft, 175, kLevelLabelW, 14},
                 "Hot Key Level",
                 Flag::NoWrap,
                 0,
                 {}});
    c.push_back({IDC_HOTKEY_LEVEL,
                 Kind::ComboDropList,
                 {kLeft + kLevelLabelW, 172, 40, kComboH},
                 "",
                 Flag::VScroll,
                 0,
                 Levels()});
    c.push_back({IDC_HOTKEYS_BUNCH,
                 Kind::Button,
                 {kLeft + kWidth - 100, 170, 100, 20},
                 "Bunch Commands",
                 Flag::Hidden,
                 0,
                 {}});

    constexpr double kRowTop = 196, kRowPitch = 23.5, kLabelW = 84;
    for (size_t i = 0; i < kHotKeyLabelEdits.size(); ++i) {
        const double y = kRowTop + kRowPitch * static_cast<double>(i);
        c.push_back({kHotKeyLabelEdits[i], Kind::Edit, {kLeft, y, kLabelW, kEditH}, "", 0, 0, {}});
        c.push_back({kHotKeyCommandEdits[i],
                     Kind::Edit,
                     {kLeft + kLabelW + 4, y, kWidth - kLabelW - 4, kEditH},
                     "",
                     0,
                     0,
                     {}});
    }
    AddFrame(c);
    return t;
}

ui::DialogTemplate BuildBunch() {
    ui::DialogTemplate t;
    t.id = IDD_BUNCH;
    auto& c = t.controls;
    constexpr double kIn = kLeft + 10, kInW = kWidth - 20;
    c.push_back({IDC_BUNCH_LEVEL_LABEL,
                 Kind::Static,
                 {kIn, 118, kLevelLabelW, 14},
                 "Hot Key Level",
                 Flag::NoWrap,
                 0,
                 {}});
    c.push_back({IDC_HOTKEY_LEVEL,
                 Kind::ComboDropList,
                 {kIn + kLevelLabelW, 115, 40, kComboH},
                 "",
                 Flag::VScroll,
                 0,
                 Levels()});
    c.push_back({IDC_BUNCH_ENTRY,
                 Kind::ComboDropList,
                 {kIn + kLevelLabelW + 46, 115, kInW - kLevelLabelW - 46, kComboH},
                 "",
                 Flag::VScroll,
                 0,
                 {}});
    c.push_back({1009,
                 Kind::Static,
                 {kIn, 144, kInW, 14},
                 "Type in your commands below:",
                 Flag::NoWrap,
                 0,
                 {}});
    c.push_back({IDC_BUNCH_TEXT, Kind::RichEdit, {kIn, 160, kInW, 128}, "", Flag::VScroll, 0, {}});
    c.push_back({1010,
                 Kind::Static,
                 {kIn, 294, kInW, 28},
                 "Press 'Save' button to save each bunch command.",
                 0,
                 0,
                 {}});
    c.push_back({1012,
                 Kind::Static,
                 {kIn, 327, kInW, 14},
                 "Press 'Enter' key to start a new line. ",
                 0,
                 0,
                 {}});
    c.push_back({IDC_BUNCH_SAVE, Kind::Button, {kIn + 20, 358, 90, 26}, "Save", 0, 0, {}});
    c.push_back({IDC_BUNCH_EXIT, Kind::Button, {kIn + kInW - 110, 358, 90, 26}, "Exit", 0, 0, {}});
    c.push_back({1005, Kind::GroupBox, {kLeft, 100, kWidth, 296}, "", 0, 0, {}});
    c.push_back({1000, Kind::Picture, {0, 0, 370, 510}, "", 0, kBackgroundPicture, {}});
    return t;
}

}  // namespace

const ui::DialogTemplate& Terminal1Template() {
    static const ui::DialogTemplate t = BuildTerminal1();
    return t;
}

const ui::DialogTemplate& Terminal2Template() {
    static const ui::DialogTemplate t = BuildTerminal2();
    return t;
}

const ui::DialogTemplate& BunchTemplate() {
    static const ui::DialogTemplate t = BuildBunch();
    return t;
}

}  // namespace resources
