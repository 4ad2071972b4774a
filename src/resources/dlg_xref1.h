#pragma once
// Template of the x-Ref screen (246).

#include "ui/controls.h"

const ui::DialogTemplate& Xref1DialogTemplate();
