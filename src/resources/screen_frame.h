#pragma once
// The parts every receiver screen's template shares: the status strip along the top, the
// navigation bar and the background picture.

#include <vector>

#include "ui/controls.h"

// The strip with the ids of kStripIdsNarrow (shell/StatusStrip.h).
void AddNarrowStrip(std::vector<ui::ControlSpec>& c);
// The strip with the ids of kStripIdsWide.
void AddWideStrip(std::vector<ui::ControlSpec>& c);
// Navigation bar (1004, showing `navBarPicture`) and background (1000); last in a template.
void AddScreenFrame(std::vector<ui::ControlSpec>& c, int navBarPicture = 200);
