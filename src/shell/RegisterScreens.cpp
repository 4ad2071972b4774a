#include "shell/ScreenRegistry.h"

// Each screen group defines its registration function next to its screens and adds a call
// here, e.g. `void RegisterPositionScreens();` with
// `RegisterScreen(SCR_GPS_1, [] { return std::make_unique<CGPS_1>(); });` per screen.
// A class that is not registered is simply not reachable from the navigation bar yet.
void RegisterPositionScreens();
void RegisterHeadingScreens();
void RegisterBeaconSbasScreens();
void RegisterLbandXrefTspanScreens();
void RegisterLoggingScreens();
void RegisterTerminalScreens();

void RegisterAllScreens() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterPositionScreens();
    RegisterHeadingScreens();
    RegisterBeaconSbasScreens();
    RegisterLbandXrefTspanScreens();
    RegisterLoggingScreens();
    RegisterTerminalScreens();
}
