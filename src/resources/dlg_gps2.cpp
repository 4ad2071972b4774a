#include "resources/dlg_gps2.h"

#include <array>

#include "resources/dlg_screen_parts.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

struct Count {
    int label;
    const char* text;
    int edit;
};
constexpr std::array<Count, 4> kGpsCounts{{{1008, "Viewable:", 1007},
                                           {1009, "AboveMask:", 1022},
                                           {1010, "Corrections:", 1023},
                                           {1011, "Used:", 1024}}};
constexpr std::array<Count, 2> kSbasCounts{{{1012, "Viewable:", 1025}, {1013, "Tracked:", 1026}}};

constexpr std::array<int, 12> kBars{1130, 1070, 1071, 1072, 1073, 1074,
                                    1075, 1076, 1077, 1078, 1079, 1080};
constexpr std::array<int, 12> kBarLabels{1038, 1039, 1040, 1041, 1042, 1046,
                                         1047, 1048, 1049, 1050, 1051, 1052};

constexpr double kPanelX = 199;
constexpr double kPanelW = 118;
constexpr double kCountPitch = 14.5;
constexpr double kCountEditW = 36;

constexpr double kBarsTop = 320;
constexpr double kBarsH = 66;
constexpr double kBarX0 = 76;
constexpr double kBarPitch = 14;
constexpr double kBarW = 9;

void AddCounts(std::vector<ui::ControlSpec>& c, double top, const Count* rows, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        const double y = top + kCountPitch * static_cast<double>(i);
        c.push_back({rows[i].label,
                     Kind::Static,
                     {kPanelX + 6, y + 1, kPanelW - kCountEditW - 14, 13},
                     rows[i].text,
                     Flag::NoWrap,
                     0,
                     {}});
        c.push_back({rows[i].edit,
                     Kind::Edit,
                     {kPanelX + kPanelW - kCountEditW - 6, y, kCountEditW, 13},
                     "",
                     Flag::ReadOnly | Flag::Right,
                     0,
                     {}});
    }
}

// One right-hand bar: title above, value, scale ends beside, the bar, a label under it.
struct SideBar {
    int bar, title, value, scaleTop, scaleBottom, under;
    double x;
};
constexpr std::array<SideBar, 2> kSideBars{
    {{1132, 1030, 1035, 1054, 1056, 1027, 246}, {1131, 1032, 1036, 1055, 1057, 1028, 282}}};

ui::DialogTemplate Build() {
    ui::DialogTemplate t;
    t.id = 215;
    auto& c = t.controls;
    resources::AddStatusStrip(c, false);
    resources::AddTabStrip(c, 1029);

    // Counts beside the sky plot.
    AddCounts(c, 144, kGpsCounts.data(), kGpsCounts.size());
    c.push_back({1005, Kind::GroupBox, {kPanelX, 127, kPanelW, 79}, "GPS Satellites", 0, 0, {}});
    AddCounts(c, 226, kSbasCounts.data(), kSbasCounts.size());
    c.push_back({1006, Kind::GroupBox, {kPanelX, 209, kPanelW, 49}, "SBAS Satellites", 0, 0, {}});

    // Legend of the sky plot, under it.
    struct Legend {
        int label;
        const char* text;
        int picture, pictureId;
        double x, y;
    };
    const Legend legend[] = {
        {1014, "Tracked GPS:", 1133, 221, 56, 278},
        {1017, "Unavail GPS:", 1134, 222, 56, 292},
        {1015, "Tracked SBAS:", 1137, 170, 150, 278},
        {1021, "Unavail SBAS:", 1136, 220, 150, 292},
    };
    for (const Legend& l : legend) {
        c.push_back({l.label, Kind::Static, {l.x, l.y, 76, 13}, l.text, Flag::NoWrap, 0, {}});
        c.push_back({l.picture, Kind::Picture, {l.x + 78, l.y, 11, 11}, "", 0, l.pictureId, {}});
    }

    // The twelve GPS signal bars with their dB values under them.
    c.push_back(
        {1060, Kind::Static, {55, kBarsTop + 12, 9, 44}, "S\nN\nR", Flag::Multiline, 0, {}});
    c.push_back({1059, Kind::Static, {60, kBarsTop - 3, 14, 12}, "30", Flag::Right, 0, {}});
    c.push_back(
        {1058, Kind::Static, {60, kBarsTop + kBarsH - 10, 14, 12}, "0", Flag::Right, 0, {}});
    for (size_t j = 0; j < kBars.size(); ++j) {
        const double x = kBarX0 + kBarPitch * static_cast<double>(j);
        c.push_back(
            {kBars[j], Kind::Progress, {x, kBarsTop, kBarW, kBarsH}, "", Flag::Vertical, 0, {}});
        c.push_back({kBarLabels[j],
                     Kind::Static,
                     {x - 2.5, kBarsTop + kBarsH + 3, kBarW + 5, 12},
                     "",
                     Flag::Center | Flag::NoWrap,
                     0,
                     {}});
    }

    // The right-hand pair: SBAS bit-error rates, the L-band bit-error rate, or the beacon's
    // signal strength and signal-to-noise ratio.
    for (const SideBar& s : kSideBars) {
        c.push_back({s.title, Kind::Static, {s.x, 308, 34, 12}, "BER", Flag::Center, 0, {}});
        c.push_back({s.value,
                     Kind::Static,
                     {s.x, 320, 34, 12},
                     "",
                     Flag::Center | Flag::Bold | Flag::NoWrap,
                     0,
                     {}});
        c.push_back({s.scaleTop, Kind::Static, {s.x - 4, 334, 22, 12}, "0", Flag::Right, 0, {}});
        c.push_back(
            {s.scaleBottom, Kind::Static, {s.x - 4, 376, 22, 12}, "500", Flag::Right, 0, {}});
        c.push_back({s.bar, Kind::Progress, {s.x + 20, 334, 10, 54}, "", Flag::Vertical, 0, {}});
        c.push_back({s.under,
                     Kind::Static,
                     {s.x, 391, 34, 12},
                     s.bar == 1132 ? "SS" : "SNR",
                     Flag::Center | Flag::NoWrap,
                     0,
                     {}});
    }
    c.push_back(
        {1034, Kind::Static, {240, 391, 76, 12}, "MSV-W", Flag::Center | Flag::Hidden, 0, {}});
    c.push_back({1031, Kind::GroupBox, {50, 304, 270, 106}, "", 0, 0, {}});

    resources::AddScreenFrame(c);
    return t;
}

}  // namespace

const ui::DialogTemplate& Gps2DialogTemplate() {
    static const ui::DialogTemplate t = Build();
    return t;
}
