#pragma once
// Template of the heading plot screen (238).

#include "ui/controls.h"

const ui::DialogTemplate& Heading3DialogTemplate();
