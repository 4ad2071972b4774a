#include "resources/dlg_beacon1.h"

#include "resources/dlg_screen_parts.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

struct Readout {
    int label;
    const char* text;
    int edit;
    double x;  // left of the label
    double y;
};

constexpr double kLabelW = 60;
constexpr double kEditH = 15;
constexpr Readout kReadouts[] = {
    {1009, "Frequency:", 1024, 60, 162},  {1010, "Tune Mode:", 1025, 188, 162},
    {1011, "MSK Rate:", 1026, 60, 180},   {1012, "MSK Mode:", 1027, 188, 180},
    {1013, "Station ID:", 1028, 60, 198}, {1014, "Health:", 1029, 188, 198},
};

// One signal bar with its caption, scale ends and value, in the order shown.
struct Bar {
    int bar, caption;
    const char* name;
    int top;
    const char* topText;
    int bottom, value;
};
constexpr Bar kBars[] = {
    {1066, 1022, "SS", 1039, "50", 1046, 1035},
    {1067, 1023, "SNR", 1040, "25", 1047, 1036},
    {1068, 1030, "MTP", 1041, "100", 1048, 1037},
    {1069, 1031, "Q", 1042, "25", 1049, 1038},
};
constexpr double kBarLeft = 70;
constexpr double kBarPitch = 62;
constexpr double kBarTop = 256;
constexpr double kBarHeight = 54;
constexpr double kBarWidth = 14;

ui::DialogTemplate Build() {
    ui::DialogTemplate t;
    t.id = 224;
    auto& c = t.controls;
    resources::AddStatusStrip(c);
    resources::AddTabStrip(c, 1051);

    c.push_back({1008, Kind::Static, {60, 144, 72, kEditH}, "Beacon Name", Flag::NoWrap, 0, {}});
    c.push_back({1007, Kind::Edit, {134, 142, 176, kEditH}, "", Flag::ReadOnly, 0, {}});
    for (const Readout& r : kReadouts) {
        c.push_back(
            {r.label, Kind::Static, {r.x, r.y + 2, kLabelW, kEditH}, r.text, Flag::NoWrap, 0, {}});
        c.push_back({r.edit,
                     Kind::Edit,
                     {r.x + kLabelW + 2, r.y, 58, kEditH},
                     "",
                     Flag::ReadOnly | Flag::Right,
                     0,
                     {}});
    }
    c.push_back({1005, Kind::GroupBox, {54, 124, 262, 96}, "Current Beacon Information", 0, 0, {}});

    for (size_t i = 0; i < std::size(kBars); ++i) {
        const Bar& b = kBars[i];
        const double x = kBarLeft + kBarPitch * static_cast<double>(i);
        const double barX = x + 24;
        c.push_back({b.caption,
                     Kind::Static,
                     {barX - 13, 242, 40, 12},
                     b.name,
                     Flag::Center | Flag::NoWrap,
                     0,
                     {}});
        c.push_back({b.top,
                     Kind::Static,
                     {x, kBarTop - 1, 22, 12},
                     b.topText,
                     Flag::Right | Flag::NoWrap,
                     0,
                     {}});
        c.push_back({b.bottom,
                     Kind::Static,
                     {x, kBarTop + kBarHeight - 11, 22, 12},
                     "0",
                     Flag::Right | Flag::NoWrap,
                     0,
                     {}});
        c.push_back({b.bar,
                     Kind::Progress,
                     {barX, kBarTop, kBarWidth, kBarHeight},
                     "",
                     Flag::Vertical,
                     0,
                     {}});
        c.push_back({b.value,
                     Kind::Static,
                     {barX - 13, kBarTop + kBarHeight + 3, 40, 12},
                     "0",
                     Flag::Center | Flag::NoWrap,
                     0,
                     {}});
    }
    c.push_back({1006, Kind::GroupBox, {54, 224, 262, 108}, "Beacon Signal Status", 0, 0, {}});

    resources::AddDiffModeGroup(c, 336, "Diff Mode", "Choose one\nsupported by\nyour receiver");

    resources::AddScreenFrame(c);
    return t;
}

}  // namespace

const ui::DialogTemplate& Beacon1DialogTemplate() {
    static const ui::DialogTemplate t = Build();
    return t;
}
