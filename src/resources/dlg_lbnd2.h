#pragma once
// Template of the L-band tune screen (228).

#include "ui/controls.h"

const ui::DialogTemplate& Lbnd2DialogTemplate();
