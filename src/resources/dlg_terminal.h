#pragma once
// Templates of the terminal (234), the hot-key editor (235) and the command-bunch editor (244).

#include <array>

#include "ui/controls.h"

namespace resources {

inline constexpr int IDD_TERMINAL_1 = 234;
inline constexpr int IDD_TERMINAL_2 = 235;
inline constexpr int IDD_BUNCH = 244;

// Both pages of the terminal group.
inline constexpr int IDC_TERMINAL_TAB = 1006;
inline constexpr int IDC_HOTKEY_LEVEL = 1070;
inline constexpr int IDC_HOTKEY_LEVEL_LABEL = 1008;

// Terminal.
inline constexpr int IDC_TERMINAL_VIEW = 1068;
inline constexpr int IDC_TERMINAL_COMMAND = 1069;
inline constexpr int IDC_TERMINAL_COMMAND_COUNT = 1139;  // characters typed of the 97 allowed
inline constexpr std::array<int, 9> kHotKeyButtons{1064, 1065, 1066, 1067, 1073,
                                                   1074, 1075, 1076, 1077};
inline constexpr int IDC_TERMINAL_PAUSE = 1133;
inline constexpr int IDC_TERMINAL_RESUME = 1134;
inline constexpr int IDC_TERMINAL_SEND = 1135;
inline constexpr int IDC_TERMINAL_SEND_DOWN = 1136;
inline constexpr int IDC_TERMINAL_CLEAR = 1137;
inline constexpr int IDC_TERMINAL_CLEAR_DOWN = 1138;

// Hot-key editor: label and command edit of each row (hot-key entry).
inline constexpr std::array<int, 9> kHotKeyLabelEdits{1007, 1023, 1025, 1027, 1029,
                                                      1031, 1011, 1068, 1012};
inline constexpr std::array<int, 9> kHotKeyCommandEdits{1022, 1024, 1026, 1028, 1030,
                                                        1034, 1067, 1035, 1036};
inline constexpr int IDC_HOTKEYS_FILE_LABEL = 1008;
inline constexpr int IDC_HOTKEYS_FILE = 1074;
inline constexpr int IDC_HOTKEYS_LEVEL_LABEL = 1009;
inline constexpr int IDC_HOTKEYS_BUNCH = 1013;

// Command-bunch editor.
inline constexpr int IDC_BUNCH_LEVEL_LABEL = 1008;
inline constexpr int IDC_BUNCH_ENTRY = 1069;
inline constexpr int IDC_BUNCH_TEXT = 1016;
inline constexpr int IDC_BUNCH_SAVE = 1;
inline constexpr int IDC_BUNCH_EXIT = 2;

const ui::DialogTemplate& Terminal1Template();
const ui::DialogTemplate& Terminal2Template();
const ui::DialogTemplate& BunchTemplate();

}  // namespace resources
