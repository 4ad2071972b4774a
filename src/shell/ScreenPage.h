#pragma once
// What the tabbed screens share: their font and their tab labels.

#include <initializer_list>

#include "shell/BaseDialog.h"

// The 8-point "Tahoma" font on every label, read-out, button, group box and combo.
void SetPageFont(CBaseDialog& screen, const ui::DialogTemplate& tpl);
// Refills the tab strip with its labels.
void FillTabLabels(CBaseDialog& screen, int tabId, std::initializer_list<const char*> labels);
