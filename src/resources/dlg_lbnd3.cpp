#include "resources/dlg_lbnd3.h"

#include "resources/dlg_screen_parts.h"

using ui::Kind;
namespace Flag = ui::Flag;
using namespace resources;

namespace {

ui::DialogTemplate BuildSubscription() {
    ui::DialogTemplate t;
    t.id = 229;
    auto& c = t.controls;
    AddStatusStrip(c, false);
    AddTabStrip(c, 1014);

    const ReadoutRow rows[] = {{1008, "Begin Date:", 1007, 0, ""},
                               {1009, "Expiry Date:", 1022, 0, ""},
                               {1010, "Serial Number:", 1023, 0, ""},
                               {1011, "Countdown Timer:", 1024, 1012, "HH:MM:SS"}};
    for (int i = 0; i < 4; ++i) AddReadoutRow(c, rows[i], 64, 152 + 22 * i, 96, 84);
    c.push_back({1005, Kind::GroupBox, {54, 130, 262, 112}, "Subscription Status", 0, 0, {}});

    AddScreenFrame(c);
    return t;
}

}  // namespace

const ui::DialogTemplate& Lbnd3DialogTemplate() {
    static const ui::DialogTemplate t = BuildSubscription();
    return t;
}
