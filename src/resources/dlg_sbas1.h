#pragma once
// Template of the SBAS status screen (220).

#include "ui/controls.h"

const ui::DialogTemplate& Sbas1DialogTemplate();
