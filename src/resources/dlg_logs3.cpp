#include "resources/dlg_logs.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

constexpr double kTop = 150;
constexpr double kPitch = 24;

constexpr RateRow kRows[] = {
    {1035, "Bin1", 0, 0},  {1036, "Bin2", 0, 1},  {1037, "Bin80", 0, 2},
    {1038, "Bin95", 0, 3}, {1039, "Bin96", 0, 4}, {1040, "Bin97", 1, 0},
    {1041, "Bin98", 1, 1}, {1049, "Bin99", 1, 2}, {1050, "D1", 1, 3},
};

ui::DialogTemplate Build() {
    ui::DialogTemplate t;
    t.id = 233;
    t.controls.push_back(
        {1079, Kind::Static, {58, 130, 250, 12}, "Choose messages to log:", Flag::NoWrap, 0, {}});
    AddRateRows(t, kRows, kTop, kPitch);
    t.controls.push_back({-1, Kind::GroupBox, {54, 124, 262, 172}, "", 0, 0, {}});
    AddLogsFrame(t, {1034, true, true, -1, true});
    return t;
}

}  // namespace

const ui::DialogTemplate& Logs3DialogTemplate() {
    static const ui::DialogTemplate t = Build();
    return t;
}
