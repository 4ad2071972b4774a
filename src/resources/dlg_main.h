#pragma once
// Templates of the welcome page (102) and the About box (100).

#include "ui/controls.h"

const ui::DialogTemplate& MainDialogTemplate();
const ui::DialogTemplate& AboutDialogTemplate();
