#pragma once
// Template of the L-band plot screen (230).

#include "ui/controls.h"

const ui::DialogTemplate& Lbnd4DialogTemplate();
