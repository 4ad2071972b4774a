#pragma once
// The GPS group's tab strip, shared by its screens: the six tab labels, the switch to the
// screen of a chosen tab, and the font the group's screens put on their controls.

#include <QFont>
#include <span>

#include "shell/ScreenRegistry.h"

class CBaseDialog;

// Puts the six labels into the tab control (first activation).
void InsertGpsTabs(CBaseDialog& dlg, int tabId);
// A chosen tab switches to its screen; a screen not available keeps this screen's tab.
void ConnectGpsTabs(CBaseDialog& dlg, int tabId, eScreen own);
// Selects the screen's own tab without a notification.
void SelectGpsTab(CBaseDialog& dlg, int tabId, eScreen own);
// The page's font scaled by `factor`, whether its size is given in points or pixels.
QFont ScaledFont(const CBaseDialog& dlg, double factor);
// "Tahoma" 8 point (the dialog font, which grows with the window's scale) on the controls.
void SetGroupFont(CBaseDialog& dlg, std::span<const int> ids, bool bold = false);

// Registers the satellites, output setup, precision and receiver information screens.
void RegisterGpsDetailScreens();
