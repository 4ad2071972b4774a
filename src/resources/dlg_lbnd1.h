#pragma once
// Template of the L-band status screen (227).

#include "ui/controls.h"

const ui::DialogTemplate& Lbnd1DialogTemplate();
