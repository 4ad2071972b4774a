#include "resources/dlg_logs.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

constexpr double kTop = 146;
constexpr double kPitch = 19;

constexpr RateRow kGpsRows[] = {
    {1035, "$GPGGA", 0, 0}, {1036, "$GPGLL", 0, 1}, {1037, "$GPGSA", 0, 2},
    {1038, "$GPGST", 0, 3}, {1039, "$GPGSV", 0, 4}, {1040, "$GPRMC", 1, 0},
    {1041, "$GPRRE", 1, 1}, {1049, "$GPVTG", 1, 2}, {1050, "$GPZDA", 1, 3},
};
constexpr RateRow kHeadingRows[] = {
    {1053, "$HEHDT", 0, 0},
    {1054, "$HEROT", 1, 0},
    {1055, "$PZLT,HPR", 0, 1},
};
constexpr double kHeadingTop = 258;

ui::DialogTemplate Build() {
    ui::DialogTemplate t;
    t.id = 231;
    t.controls.push_back({1079,
                          Kind::Static,
                          {58, 130, 250, 14},
                          "Choose GPS messages to log:",
                          Flag::NoWrap,
                          0,
                          {}});
    AddRateRows(t, kGpsRows, kTop, kPitch);
    t.controls.push_back({1080,
                          Kind::Static,
                          {58, kHeadingTop - 15, 250, 14},
                          "Choose Quillbar messages to log:",
                          Flag::NoWrap,
                          0,
                          {}});
    AddRateRows(t, kHeadingRows, kHeadingTop, kPitch, 60);
    t.controls.push_back({-1, Kind::GroupBox, {54, 124, 262, 172}, "", 0, 0, {}});
    AddLogsFrame(t, {1034, true, true, -1, true});
    return t;
}

}  // namespace

const ui::DialogTemplate& Logs1DialogTemplate() {
    static const ui::DialogTemplate t = Build();
    return t;
}
