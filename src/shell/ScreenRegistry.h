#pragma once
// The receiver screens by class. Each screen is one long-lived object, built the first time
// something switches to it; a screen group makes its screens known with RegisterScreen from
// its registration function, which RegisterAllScreens calls.

#include <cstdint>
#include <functional>
#include <memory>

class CBaseDialog;

// The screen classes, in the order of the opened flags.
enum eScreen : int {
    SCR_GPS_1,
    SCR_GPS_2,
    SCR_GPS_3,
    SCR_GPS_4,
    SCR_GPS_5,
    SCR_GPS_6,
    SCR_BEACON_1,
    SCR_BEACON_2,
    SCR_BEACON_3,
    SCR_TERMINAL_1,
    SCR_TERMINAL_2,
    SCR_SBAS_1,
    SCR_SBAS_2,
    SCR_SBAS_3,
    SCR_LBND_1,
    SCR_LBND_2,
    SCR_LBND_3,
    SCR_LBND_4,
    SCR_LOGS_1,
    SCR_LOGS_2,
    SCR_LOGS_3,
    SCR_LOGS_4,
    SCR_LOGS_5,
    SCR_HEADING_1,
    SCR_HEADING_2,
    SCR_HEADING_3,
    SCR_XREF_1,
    SCR_TSPAN_BASE,
    SCR_TSPAN_ROVER,
    SCR_COUNT
};

// 1 once the screen has been activated; later visits re-run its activation without a new
// modal loop.
extern int32_t bScreenOpened[SCR_COUNT];

// "CGPS_1", "TSpanDlg1", ...; nullptr outside the list.
const char* ScreenClassName(int screen);
// The screen whose class has this name, or -1.
int ScreenByClassName(const char* name);

using ScreenFactory = std::function<std::unique_ptr<CBaseDialog>()>;

// Makes a screen class known. A second registration replaces the first (tests put their own
// pages in); a screen already built stays as it is.
void RegisterScreen(eScreen screen, ScreenFactory factory);
bool IsScreenRegistered(eScreen screen);

// The screen object, built on first use; nullptr when no group registered it.
CBaseDialog* Screen(eScreen screen);
// The screen object only when it was built already.
CBaseDialog* ScreenIfBuilt(eScreen screen);

// Called once at start: each screen group registers its screens here.
void RegisterAllScreens();

// Destroys the built screens (before the user interface goes away) and forgets them.
void DestroyScreens();
