#include "resources/dlg_logs.h"
#include "resources/dlg_screen_parts.h"

using ui::Kind;
namespace Flag = ui::Flag;

namespace {

constexpr double kLeft = 58;
constexpr double kFileTop = 298;
constexpr double kColumnX[2] = {60, 188};
constexpr double kComboRight[2] = {182, 310};

}  // namespace

void AddRateRows(ui::DialogTemplate& t, std::span<const RateRow> rows, double top, double pitch,
                 double labelWidth) {
    for (const RateRow& r : rows) {
        const double x = kColumnX[r.column];
        const double y = top + pitch * r.row;
        const double comboX = x + labelWidth + 2;
        t.controls.push_back(
            {-1, Kind::Static, {x, y + 3, labelWidth, 12}, r.label, Flag::NoWrap, 0, {}});
        t.controls.push_back({r.combo,
                              Kind::ComboDropList,
                              {comboX, y, kComboRight[r.column] - comboX, 17},
                              "",
                              Flag::VScroll,
                              0,
                              {}});
    }
}

void AddLogsFrame(ui::DialogTemplate& t, const LogsFrameSpec& spec) {
    auto& c = t.controls;

    c.push_back({-1,
                 Kind::Static,
                 {kLeft, kFileTop + 6, 120, 12},
                 "File and Location:",
                 Flag::NoWrap,
                 0,
                 {}});
    c.push_back(
        {1052, Kind::ComboDropDown, {kLeft, kFileTop + 20, 198, 17}, "", Flag::VScroll, 0, {}});
    c.push_back({1064, Kind::Button, {260, kFileTop + 19, 52, 19}, "Browse", 0, 0, {}});

    // File modes; the polygon screen hides "Overwrite" and closes the gap.
    double y = kFileTop + 44;
    c.push_back(
        {1032, Kind::Radio, {kLeft, y, 150, 14}, "Append to Existing File", Flag::Group, 0, {}});
    y += 16;
    c.push_back({1033,
                 Kind::Radio,
                 {kLeft, spec.overwriteVisible ? y : kFileTop + 44, 150, 14},
                 "Overwrite Existing File",
                 spec.overwriteVisible ? 0u : Flag::Hidden,
                 0,
                 {}});
    if (spec.overwriteVisible) y += 16;
    c.push_back({spec.createNewId, Kind::Radio, {kLeft, y, 150, 14}, "Create New File", 0, 0, {}});

    if (spec.startStop) {
        c.push_back({1065, Kind::Button, {214, kFileTop + 44, 47, 20}, "Start", 0, 0, {}});
        c.push_back({1066, Kind::Button, {265, kFileTop + 44, 47, 20}, "Stop", 0, 0, {}});
    }
    if (spec.lamp) {
        const double lampY = kFileTop + 77;
        c.push_back({1140, Kind::Picture, {226, lampY, 12, 12}, "", Flag::Hidden, 137, {}});
        c.push_back({1141, Kind::Picture, {226, lampY, 12, 12}, "", 0, 134, {}});
        c.push_back({spec.recordingLabelId,
                     Kind::Static,
                     {242, lampY, 64, 12},
                     "Recording",
                     Flag::NoWrap,
                     0,
                     {}});
    }
    c.push_back({-1, Kind::GroupBox, {54, kFileTop, 262, 104}, "", 0, 0, {}});

    resources::AddStatusStrip(c);
    resources::AddTabStrip(c, 1008);
    resources::AddScreenFrame(c);
}
