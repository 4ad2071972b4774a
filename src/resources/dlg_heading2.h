#pragma once
// Template of the heading setup screen (237).

#include "ui/controls.h"

const ui::DialogTemplate& Heading2DialogTemplate();
