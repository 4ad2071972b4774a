#include "screens/position/register_gps.h"

#include <memory>

#include "screens/position/GPS_2.h"
#include "screens/position/GPS_3.h"
#include "screens/position/GPS_4.h"
#include "screens/position/GPS_6.h"
#include "shell/ScreenRegistry.h"

void RegisterGpsDetailScreens() {
    RegisterScreen(SCR_GPS_2, [] { return std::make_unique<CGPS_2>(); });
    RegisterScreen(SCR_GPS_3, [] { return std::make_unique<CGPS_3>(); });
    RegisterScreen(SCR_GPS_4, [] { return std::make_unique<CGPS_4>(); });
    RegisterScreen(SCR_GPS_6, [] { return std::make_unique<CGPS_6>(); });
}
