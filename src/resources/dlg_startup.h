#pragma once
// Template of the start-up dialog (210).

#include "ui/controls.h"

// Controls of the start-up dialog.
inline constexpr int IDC_STARTUP_OK = 1001;
inline constexpr int IDC_RECEIVER_TYPE_COMBO = 1002;
inline constexpr int IDC_RECEIVER_TYPE_LABEL = 1010;
inline constexpr int IDC_BAUD_LABEL = 1012;
inline constexpr int IDC_GENERATE_REPORT_LABEL = 1023;
inline constexpr int IDC_PORT_COMBO = 1035;
inline constexpr int IDC_BAUD_COMBO = 1036;
inline constexpr int IDC_AUTO_BAUD = 1146;
inline constexpr int IDC_GENERATE_REPORT = 1147;
inline constexpr int IDC_SEARCH = 1166;
inline constexpr int IDC_DEMO_MODE = 1167;
// The device behind the chosen COM port.
inline constexpr int IDC_PORT_DEVICE = 1180;
// The five progress lines, top to bottom.
inline constexpr int kProgressLineIds[5] = {1014, 1015, 1017, 1021, 1022};

const ui::DialogTemplate& StartupDialogTemplate();
