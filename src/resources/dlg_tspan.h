#pragma once
// Templates of the t-Span base (334) and rover (337) screens.

#include "ui/controls.h"

const ui::DialogTemplate& TSpanBaseDialogTemplate();
const ui::DialogTemplate& TSpanRoverDialogTemplate();
