#pragma once
// Template of the L-band subscription screen (229).

#include "ui/controls.h"

const ui::DialogTemplate& Lbnd3DialogTemplate();
