#include "resources/dlg_exit.h"

#include <string>

namespace resources {

namespace {

using ui::ControlSpec;
using ui::Kind;
namespace Flag = ui::Flag;

constexpr int kBackgroundPicture = 130;

ControlSpec Background() {
    return {1000, Kind::Picture, {0, 0, 370, 510}, "", 0, kBackgroundPicture, {}};
}

ui::DialogTemplate BuildCheck() {
    ui::DialogTemplate t;
    t.id = IDD_CHECK;
    auto& c = t.controls;
    c.push_back({1006, Kind::GroupBox, {54, 100, 262, 300}, "", 0, 0, {}});
    c.push_back({IDC_CHECK_PROMPT,
                 Kind::Static,
                 {66, 130, 238, 40},
                 "Please choose one of the following options:",
                 Flag::Center,
                 0,
                 {}});
    const char* const texts[] = {"Exit and Save Profile", "Exit and Save", "Exit without Saving",
                                 "Cancel"};
    const int ids[] = {IDC_EXIT_SAVE_PROFILE, IDC_EXIT_SAVE, IDC_EXIT_NO_SAVE, IDC_EXIT_CANCEL};
    for (int i = 0; i < 4; ++i) {
        c.push_back({ids[i], Kind::Button, {95, 190.0 + 46 * i, 180, 30}, texts[i], 0, 0, {}});
    }
    c.push_back(Background());
    return t;
}

ui::DialogTemplate BuildCloseScreen1() {
    ui::DialogTemplate t;
    t.id = IDD_CLOSESCREEN_1;
    auto& c = t.controls;
    c.push_back({IDC_SAVING_TITLE,
                 Kind::Static,
                 {62, 124, 246, 20},
                 "Saving receiver configuration - please wait",
                 Flag::Center | Flag::Bold | Flag::NoWrap,
                 0,
                 {}});
    for (int i = 0; i < 5; ++i) {
        c.push_back({IDC_SAVING_LINE1 + i,
                     Kind::Static,
                     {70, 170.0 + 28 * i, 236, 20},
                     "",
                     Flag::NoWrap,
                     0,
                     {}});
    }
    c.push_back({1005, Kind::GroupBox, {54, 100, 262, 250}, "", 0, 0, {}});
    c.push_back({IDC_SAVING_RETRY, Kind::Button, {70, 366, 105, 30}, "Retry", 0, 0, {}});
    c.push_back({IDC_SAVING_CLOSE, Kind::Button, {195, 366, 105, 30}, "Close Anyway", 0, 0, {}});
    c.push_back(Background());
    return t;
}

void AddLabel(std::vector<ControlSpec>& c, int id, double x, double y, double w,
              const std::string& text, unsigned flags = 0) {
    c.push_back({id, Kind::Static, {x, y, w, 14}, text, Flag::NoWrap | flags, 0, {}});
}

void AddValue(std::vector<ControlSpec>& c, int id, double x, double y, double w,
              unsigned flags = 0) {
    c.push_back({id, Kind::Static, {x, y, w, 14}, "", Flag::NoWrap | Flag::Right | flags, 0, {}});
}

ui::DialogTemplate BuildCloseScreen2() {
    ui::DialogTemplate t;
    t.id = IDD_CLOSESCREEN_2;
    auto& c = t.controls;
    AddLabel(c, 1076, 58, 104, 254, "New Receiver  Configuration Report",
             Flag::Center | Flag::Bold);
    AddLabel(c, 1066, 62, 122, 104, "This Port", Flag::Bold);
    AddLabel(c, 1067, 194, 122, 104, "Other Port", Flag::Bold);
    const char* const rows[kReportRows] = {"$GPGGA", "$GPGLL", "$GPGSA", "$GPGST",
                                           "$GPGSV", "$GPRMC", "$GPRRE", "$GPVTG",
                                           "$GPZDA", "Bin95",  "Bin96"};
    for (int i = 0; i < kReportRows; ++i) {
        const double y = 138.0 + 14 * i;
        AddLabel(c, 1008 + i, 62, y, 60, rows[i]);
        AddValue(c, kReportThisRate[i], 128, y, 44);
        AddLabel(c, 1019 + i, 194, y, 60, rows[i]);
        AddValue(c, kReportOtherRate[i], 256, y, 44);
    }
    const double y1 = 138.0 + 14 * kReportRows + 6;
    AddLabel(c, 1030, 62, y1, 76, "ElevationMask");
    AddValue(c, IDC_REPORT_ELEVATION, 140, y1, 24);
    AddLabel(c, IDC_REPORT_ELEVATION_UNIT, 166, y1, 10, "");
    AddLabel(c, 1031, 194, y1, 60, "ZEPHA Age");
    AddValue(c, IDC_REPORT_AGE, 256, y1, 34);
    AddLabel(c, 1071, 292, y1, 12, "s");
    const double y2 = y1 + 14;
    AddLabel(c, 1032, 62, y2, 60, "ThisBaud");
    AddValue(c, IDC_REPORT_THIS_BAUD, 124, y2, 48);
    AddLabel(c, 1033, 194, y2, 60, "OtherBaud");
    AddValue(c, IDC_REPORT_OTHER_BAUD, 252, y2, 48);
    const double y3 = y2 + 18;
    AddLabel(c, 1055, 62, y3, 66, "Diff Source:");
    AddLabel(c, IDC_REPORT_SOURCE, 130, y3, 120, "", Flag::Bold);
    const double y4 = y3 + 15;
    AddLabel(c, IDC_REPORT_FREQ_LABEL, 62, y4, 40, "Freq:", Flag::Hidden);
    AddLabel(c, IDC_REPORT_DETAIL1, 106, y4, 70, "", Flag::Hidden);
    AddLabel(c, IDC_REPORT_MSK_LABEL, 194, y4, 56, "MSK:", Flag::Hidden);
    AddLabel(c, IDC_REPORT_DETAIL2, 252, y4, 56, "", Flag::Hidden);
    AddLabel(c, IDC_REPORT_PRN1_LABEL, 62, y4, 60, "SBAS PRN1", Flag::Hidden);
    AddLabel(c, IDC_REPORT_PRN1, 130, y4, 40, "", Flag::Hidden);
    AddLabel(c, IDC_REPORT_PRN2_LABEL, 194, y4, 60, "SBAS PRN2", Flag::Hidden);
    AddLabel(c, IDC_REPORT_PRN2, 258, y4, 40, "", Flag::Hidden);
    const double y5 = y4 + 14;
    AddLabel(c, IDC_REPORT_STATION_LABEL, 62, y5, 60, "Station ID", Flag::Hidden);
    AddLabel(c, IDC_REPORT_DETAIL3, 130, y5, 100, "", Flag::Hidden);
    c.push_back({1005, Kind::GroupBox, {54, 98, 262, 282}, "", 0, 0, {}});
    c.push_back({IDC_REPORT_CLOSE, Kind::Button, {70, 385, 105, 23}, "Close", 0, 0, {}});
    c.push_back({IDC_REPORT_GO_BACK, Kind::Button, {195, 385, 105, 23}, "Go Back", 0, 0, {}});
    c.push_back(Background());
    return t;
}

}  // namespace

const ui::DialogTemplate& CheckTemplate() {
    static const ui::DialogTemplate t = BuildCheck();
    return t;
}

const ui::DialogTemplate& CloseScreen1Template() {
    static const ui::DialogTemplate t = BuildCloseScreen1();
    return t;
}

const ui::DialogTemplate& CloseScreen2Template() {
    static const ui::DialogTemplate t = BuildCloseScreen2();
    return t;
}

}  // namespace resources
