#pragma once
// Pieces that recur on the receiver screens' templates: the status strip, the tab strip, the
// differential-source group, the navigation bar and the background.

#include <vector>

#include "ui/controls.h"

namespace resources {

using Controls = std::vector<ui::ControlSpec>;

// Status strip along the top of the screen area: the fix label 1001, "GPS" and the source
// label 1002, each after its lamp pair (good lamp hidden, bad lamp shown until the first
// refresh). `wide` selects the ids of the position, output-setup, x-Ref and t-Span screens
// (see shell/StatusStrip.h).
void AddStatusStrip(Controls& c, bool wide = false);
// The same strip with the heading screens' fourth pair: 1021 good (136) / 1144 bad (134) with
// the label 1017 "Heading"; the source label is narrower to make room for it.
void AddHeadingStatusStrip(Controls& c);
void AddTabStrip(Controls& c, int tabId);
// "DiffMode" group with its hint 1032 and the source combo 1021, its top edge at `top`; a hint
// of three lines makes the group taller.
void AddDiffModeGroup(Controls& c, double top, const char* title = "DiffMode",
                      const char* hint = "Choose one supported\nby your receiver");
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
