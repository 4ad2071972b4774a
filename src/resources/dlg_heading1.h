#pragma once
// Template of the heading status screen (236).

#include "ui/controls.h"

const ui::DialogTemplate& Heading1DialogTemplate();
