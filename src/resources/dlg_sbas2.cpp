#include "resources/dlg_sbas2.h"

#include "resources/dlg_screen_parts.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

struct Choice {
    int label;
    const char* text;
    int radio;
};
constexpr Choice kChoices[] = {
    {1021, "TEC:", 1032},
    {1022, "IONO Vertical Delay", 1033},
    {1023, "GIVE Indicator", 1034},
};

ui::DialogTemplate Build() {
    ui::DialogTemplate t;
    t.id = 222;
    auto& c = t.controls;
    resources::AddStatusStrip(c);
    resources::AddTabStrip(c, 1029);

    // The map is drawn by the page; the picture control only names it.
    c.push_back({1171, Kind::Picture, kIonoMapRect, "", Flag::Hidden, 236, {}});

    // Legend: eight labels spread under the colour scale.
    const double pitch = kIonoScaleWidth / 7;
    for (int i = 0; i < 8; ++i) {
        c.push_back(
            {1008 + i,
             Kind::Static,
             {kIonoScaleLeft + pitch * i - 15, kIonoScaleTop + kIonoScaleHeight + 3, 30, 12},
             "",
             Flag::Center | Flag::NoWrap,
             0,
             {}});
    }

    for (size_t i = 0; i < std::size(kChoices); ++i) {
        const double y = 348 + 15 * static_cast<double>(i);
        c.push_back({kChoices[i].label,
                     Kind::Static,
                     {70, y + 1, 140, 14},
                     kChoices[i].text,
                     Flag::NoWrap,
                     0,
                     {}});
        c.push_back({kChoices[i].radio,
                     Kind::Radio,
                     {226, y, 14, 14},
                     "",
                     i == 0 ? Flag::Group : 0u,
                     0,
                     {}});
    }
    c.push_back({1003, Kind::GroupBox, {54, 330, 262, 68}, "Map Selection", 0, 0, {}});

    resources::AddScreenFrame(c);
    return t;
}

}  // namespace

const ui::DialogTemplate& Sbas2DialogTemplate() {
    static const ui::DialogTemplate t = Build();
    return t;
}
