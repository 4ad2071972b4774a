#pragma once
// What the L-band, x-Ref and t-Span screens share: their font, their tab labels and the
// differential-source combo's handler.

#include <initializer_list>

#include "shell/BaseDialog.h"

// The 8-point "Tahoma" font on every label, read-out, button, group box and combo.
void SetPageFont(CBaseDialog& screen, const ui::DialogTemplate& tpl);
// Refills the tab strip with its labels.
void FillTabLabels(CBaseDialog& screen, int tabId, std::initializer_list<const char*> labels);
// Combo 1021: the receiver is switched to the chosen source and its screen is opened.
void OnDiffSourceChosen(CBaseDialog& screen);
// Listens on combo 1021 with OnDiffSourceChosen.
void WatchDiffSourceCombo(CBaseDialog& screen);
