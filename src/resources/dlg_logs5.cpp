#include "resources/dlg_logs.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

ui::DialogTemplate Build() {
    ui::DialogTemplate t;
    t.id = 247;
    auto& c = t.controls;
    c.push_back({1054, Kind::Button, {64, 144, 116, 26}, "Start Polygon", 0, 0, {}});
    c.push_back({1170, Kind::Button, {190, 144, 116, 26}, "Close Polygon", 0, 0, {}});
    c.push_back({1051,
                 Kind::Static,
                 {64, 218, 150, 17},
                 "",
                 Flag::Border | Flag::Right | Flag::NoWrap,
                 0,
                 {}});
    c.push_back({1053,
                 Kind::ComboDropList,
                 {222, 218, 84, 17},
                 "",
                 Flag::VScroll,
                 0,
                 {"Acres", "Hectares"}});
    c.push_back({1003, Kind::GroupBox, {54, 196, 262, 52}, "Total Area", 0, 0, {}});
    c.push_back({-1, Kind::GroupBox, {54, 124, 262, 64}, "", 0, 0, {}});
    AddLogsFrame(t, {1036, false, false, -1, false});
    return t;
}

}  // namespace

const ui::DialogTemplate& Logs5DialogTemplate() {
    static const ui::DialogTemplate t = Build();
    return t;
}
