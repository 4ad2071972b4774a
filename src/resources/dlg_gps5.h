#pragma once
// Template of the position plot screen (218).

#include "ui/controls.h"

const ui::DialogTemplate& Gps5DialogTemplate();
