#include "resources/dlg_gps6.h"

#include "resources/dlg_screen_parts.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

struct Line {
    int label;
    const char* text;
    int edit;
};
constexpr Line kLines[] = {{1008, "Receiver Engine:", 1007},
                           {1009, "ARM Firmware App1:", 1022},
                           {1010, "ARM Firmware App2:", 1023},
                           {1011, "DSP Firmware:", 1024},
                           {1013, "Beacon Engine Firmware:", 1026}};

ui::DialogTemplate Build() {
    ui::DialogTemplate t;
    t.id = 219;
    auto& c = t.controls;
    resources::AddStatusStrip(c, false);
    resources::AddTabStrip(c, 1006);

    for (int i = 0; i < 5; ++i) {
        const Line& l = kLines[i];
        const double y = 134 + 32.0 * i;
        c.push_back({l.label, Kind::Static, {62, y, 240, 14}, l.text, Flag::NoWrap, 0, {}});
        c.push_back({l.edit, Kind::Edit, {62, y + 15, 246, 15}, "", Flag::ReadOnly, 0, {}});
    }
    c.push_back({1005, Kind::GroupBox, {52, 124, 266, 174}, "", 0, 0, {}});

    c.push_back({1014, Kind::Static, {62, 310, 200, 14}, "Capture Information", Flag::Bold, 0, {}});
    c.push_back({1015,
                 Kind::Static,
                 {62, 330, 246, 14},
                 "Click GO Button to Capture Information.",
                 Flag::NoWrap,
                 0,
                 {}});
    c.push_back({1142, Kind::Progress, {62, 330, 246, 14}, "", Flag::Hidden, 0, {}});
    c.push_back({1064, Kind::Button, {252, 352, 56, 20}, "GO", 0, 0, {}});

    resources::AddScreenFrame(c);
    return t;
}

}  // namespace

const ui::DialogTemplate& Gps6DialogTemplate() {
    static const ui::DialogTemplate t = Build();
    return t;
}
