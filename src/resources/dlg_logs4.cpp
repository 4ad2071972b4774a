#include "resources/dlg_logs.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

ui::DialogTemplate Build() {
    ui::DialogTemplate t;
    t.id = 245;
    auto& c = t.controls;
    c.push_back({1037, Kind::Static, {58, 132, 120, 12}, "New Point ID:", Flag::NoWrap, 0, {}});
    c.push_back({1053, Kind::ComboDropDown, {58, 146, 160, 17}, "", Flag::VScroll, 0, {}});
    c.push_back({1055, Kind::Radio, {230, 134, 80, 14}, "Auto", Flag::Group, 0, {}});
    c.push_back({1056, Kind::Radio, {230, 150, 80, 14}, "Custom", 0, 0, {}});
    c.push_back({1059, Kind::Button, {110, 208, 150, 26}, "Log Point", 0, 0, {}});
    // Nothing reads these two choices: the point-sentence log is never switched on.
    c.push_back({1060, Kind::CheckBox, {230, 204, 60, 14}, "GGA", Flag::Hidden, 0, {}});
    c.push_back({1061, Kind::CheckBox, {230, 220, 60, 14}, "GSV", Flag::Hidden, 0, {}});
    c.push_back({1009, Kind::GroupBox, {54, 180, 262, 80}, "Log", 0, 0, {}});
    c.push_back({-1, Kind::GroupBox, {54, 124, 262, 50}, "", 0, 0, {}});
    AddLogsFrame(t, {1036, false, true, 1086, true});
    return t;
}

}  // namespace

const ui::DialogTemplate& Logs4DialogTemplate() {
    static const ui::DialogTemplate t = Build();
    return t;
}
