#pragma once
// Template of the position screen (214).

#include "ui/controls.h"

const ui::DialogTemplate& Gps1DialogTemplate();
