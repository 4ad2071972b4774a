#pragma once
// Pieces that recur on the receiver screens' templates: the status strip, the tab strip, the
// differential-source group, the navigation bar and the background.

#include <vector>

#include "ui/controls.h"

namespace resources {

using Controls = std::vector<ui::ControlSpec>;

// Status strip along the top of the screen area; `wide` selects the ids of the position,
// output-setup, x-Ref and t-Span screens (see shell/StatusStrip.h).
void AddStatusStrip(Controls& c, bool wide);
void AddTabStrip(Controls& c, int tabId);
// "DiffMode" group with its hint and the source combo 1021, its top edge at `top`.
void AddDiffModeGroup(Controls& c, double top, const char* title = "DiffMode");
// Navigation bar and background; last, so they lie below everything else.
void AddScreenFrame(Controls& c);

// A label with its read-out edit (and an optional unit after it) on one row.
struct ReadoutRow {
    int label;
    const char* text;
    int edit;
    int unit;  // 0: none
    const char* unitText;
};
void AddReadoutRow(Controls& c, const ReadoutRow& row, double x, double y, double labelW,
                   double editW, bool readOnly = true);

inline constexpr double kRowH = 14;
inline constexpr unsigned kComboFlags = ui::Flag::VScroll;

}  // namespace resources
