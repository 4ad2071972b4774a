#pragma once
// Template of the receiver information screen (219).

#include "ui/controls.h"

const ui::DialogTemplate& Gps6DialogTemplate();
