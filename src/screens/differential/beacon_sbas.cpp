#include "screens/differential/beacon_sbas.h"

#include <memory>

#include "screens/differential/BEACON_1.h"
#include "screens/differential/BEACON_2.h"
#include "screens/differential/SBAS_1.h"
#include "screens/differential/SBAS_2.h"
#include "screens/differential/SBAS_3.h"
#include "screens/differential/beacon_3.h"

void RegisterBeaconSbasScreens() {
    RegisterScreen(SCR_BEACON_1, [] { return std::make_unique<CBEACON_1>(); });
    RegisterScreen(SCR_BEACON_2, [] { return std::make_unique<CBEACON_2>(); });
    RegisterScreen(SCR_BEACON_3, [] { return std::make_unique<CBEACON_3>(); });
    RegisterScreen(SCR_SBAS_1, [] { return std::make_unique<CSBAS_1>(); });
    RegisterScreen(SCR_SBAS_2, [] { return std::make_unique<CSBAS_2>(); });
    RegisterScreen(SCR_SBAS_3, [] { return std::make_unique<CSBAS_3>(); });
}
