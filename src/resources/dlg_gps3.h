#pragma once
// Template of the output setup screen (216).

#include "ui/controls.h"

const ui::DialogTemplate& Gps3DialogTemplate();
