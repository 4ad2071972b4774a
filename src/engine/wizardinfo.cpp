#include "engine/wizardinfo.h"

#include <cstring>

void PortConfig::Init() {
    std::memset(this, 0, sizeof(*this));
}

void BINLogRateInfo::Init() {
    std::memset(this, 0, sizeof(*this));
}

void WizardInfo::Init() {
    iNMEABaudRate = 57600;
    iRTCMBaudRate = 9600;
    iElevation = 5;
    iMaxAge = 3600;
    ulFreqKhz = 1540000;
    ulSpare1 = 0;
    iSymbolRate = 1200;
    fFreq = 283.5f;
    iBitRate = BEACON_RATE_AUTO;
    iStationId = 0;
    dRefLat = 0.0;
    dRefLon = 0.0;
    dRefAlt = 0.0;
    eDfxPort = DFX_NONE;
    ulSpare2 = 0;
    ThisPortConfig.Init();
    OtherPortConfig.Init();
}
