#pragma once
// Templates of the exit dialog (103), the saving screen (212) and the configuration report
// (213).

#include "ui/controls.h"

namespace resources {

inline constexpr int IDD_CHECK = 103;
inline constexpr int IDD_CLOSESCREEN_1 = 212;
inline constexpr int IDD_CLOSESCREEN_2 = 213;

// Exit dialog.
inline constexpr int IDC_CHECK_PROMPT = 1001;
inline constexpr int IDC_EXIT_SAVE_PROFILE = 3;
inline constexpr int IDC_EXIT_SAVE = 1;
inline constexpr int IDC_EXIT_NO_SAVE = 1005;
inline constexpr int IDC_EXIT_CANCEL = 2;

// Saving screen.
inline constexpr int IDC_SAVING_TITLE = 1167;
inline constexpr int IDC_SAVING_LINE1 = 1168;  // to 1172
inline constexpr int IDC_SAVING_RETRY = 1;
inline constexpr int IDC_SAVING_CLOSE = 2;

// Report: rate read-outs of this port and of the other port, in message order.
inline constexpr int kReportRows = 11;
inline constexpr int kReportThisRate[kReportRows] = {1007, 1034, 1035, 1036, 1037, 1038,
                                                     1039, 1040, 1041, 1049, 1050};
inline constexpr int kReportOtherRate[kReportRows] = {1051, 1052, 1053, 1059, 1061, 1063,
                                                      1054, 1056, 1058, 1060, 1062};
inline constexpr int IDC_REPORT_ELEVATION = 1168;
inline constexpr int IDC_REPORT_AGE = 1169;
inline constexpr int IDC_REPORT_THIS_BAUD = 1064;
inline constexpr int IDC_REPORT_OTHER_BAUD = 1065;
inline constexpr int IDC_REPORT_SOURCE = 1068;
inline constexpr int IDC_REPORT_DETAIL1 = 1069;
inline constexpr int IDC_REPORT_DETAIL2 = 1073;
inline constexpr int IDC_REPORT_DETAIL3 = 1075;
inline constexpr int IDC_REPORT_FREQ_LABEL = 1057;
inline constexpr int IDC_REPORT_MSK_LABEL = 1072;
inline constexpr int IDC_REPORT_STATION_LABEL = 1074;
inline constexpr int IDC_REPORT_PRN1_LABEL = 1077;
inline constexpr int IDC_REPORT_PRN1 = 1078;
inline constexpr int IDC_REPORT_PRN2_LABEL = 1079;
inline constexpr int IDC_REPORT_PRN2 = 1080;
inline constexpr int IDC_REPORT_ELEVATION_UNIT = 1070;
inline constexpr int IDC_REPORT_CLOSE = 1170;
inline constexpr int IDC_REPORT_GO_BACK = 1171;

const ui::DialogTemplate& CheckTemplate();
const ui::DialogTemplate& CloseScreen1Template();
const ui::DialogTemplate& CloseScreen2Template();

}  // namespace resources
