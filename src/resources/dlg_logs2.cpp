#include "resources/dlg_logs.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

ui::DialogTemplate Build() {
    ui::DialogTemplate t;
    t.id = 232;
    auto& c = t.controls;
    c.push_back({1079,
                 Kind::Static,
                 {58, 132, 254, 12},
                 "Raw data uses the Bin95 and 96 messages.",
                 Flag::NoWrap,
                 0,
                 {}});
    c.push_back({1082,
                 Kind::Static,
                 {58, 148, 254, 14},
                 "Choose the output rate that you wish to log*.",
                 Flag::NoWrap,
                 0,
                 {}});
    c.push_back({1034, Kind::Static, {60, 172, 76, 12}, "Bin95 and 96", Flag::NoWrap, 0, {}});
    c.push_back({1035, Kind::ComboDropList, {142, 169, 80, 17}, "", Flag::VScroll, 0, {}});
    c.push_back({-1,
                 Kind::Static,
                 {58, 194, 254, 12},
                 "This data can be used for post processing.",
                 Flag::NoWrap,
                 0,
                 {}});
    c.push_back({1037, Kind::Static, {58, 226, 120, 12}, "New Station ID:", Flag::NoWrap, 0, {}});
    c.push_back({1053, Kind::ComboDropDown, {58, 240, 198, 17}, "", Flag::VScroll, 0, {}});
    c.push_back({1067, Kind::Button, {260, 239, 52, 19}, "Add", 0, 0, {}});
    c.push_back({-1, Kind::GroupBox, {54, 124, 262, 172}, "", 0, 0, {}});
    AddLogsFrame(t, {1036, true, true, -1, true});
    return t;
}

}  // namespace

const ui::DialogTemplate& Logs2DialogTemplate() {
    static const ui::DialogTemplate t = Build();
    return t;
}
