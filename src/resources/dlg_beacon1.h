#pragma once
// Template of the beacon status screen (224).

#include "ui/controls.h"

const ui::DialogTemplate& Beacon1DialogTemplate();
