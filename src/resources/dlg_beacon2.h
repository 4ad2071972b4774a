#pragma once
// Template of the beacon tune screen (225).

#include "ui/controls.h"

const ui::DialogTemplate& Beacon2DialogTemplate();
