#pragma once
// Pieces every screen template of the receiver groups carries: the status strip along the top
// of the screen area, the tab strip under it, the navigation bar and the background.

#include <initializer_list>
#include <vector>

#include "ui/controls.h"

namespace dlgframe {

// Top of the content below the tab strip, and the screen area's usable width.
inline constexpr double kContentTop = 126;
inline constexpr double kContentLeft = 54;
inline constexpr double kContentWidth = 262;

// The status strip with the control ids of every screen but the wide ones.
void AddStatusStrip(std::vector<ui::ControlSpec>& c);
// The tab strip; its labels are set by the screen on its first activation.
void AddTabStrip(std::vector<ui::ControlSpec>& c, int id);
// The navigation bar (control 1004, showing `navPicture` until the screen chooses) and the
// background (1000). Added last, so they lie below everything else.
void AddNavBarAndBackground(std::vector<ui::ControlSpec>& c, int navPicture);

}  // namespace dlgframe
