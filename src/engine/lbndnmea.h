#pragma once
// Decoders of the receiver's replies to queries ("$>" sentences) and of the L-band
// demodulator sentence "$RD1".

#include <atomic>
#include <cstdint>

#include "engine/gps.h"

// The external differential source comes in on this port (1) or on the other port (0).
extern std::atomic<int32_t> bExtThisPort;
// Set when the receiver rejected the t-Span reference; cleared when a new one is sent.
extern std::atomic<uint8_t> g_bRTKRefInvalid;

// eRateCode of an output rate in Hz (0.2 for one message every 5 s).
int32_t RateToRateCode(float hz);
// eCorrSource of a receiver application name; 0 (NONE) and false when the name is unknown.
bool AppNameToCode(int32_t* code, const char* name);

// PRNs 120 to 138 are SBAS satellites; every other "$>JGEO" id is an L-band one.
bool IsSBASPRN(int32_t id);

class CLBNDNMEA {
public:
    bool bRD1(char* field, char* sentence, LBandInfo* lband);
    bool bJGEO(char* field, char* sentence, LBandInfo* lband);
    bool bJI(char* field, char* sentence, LBandInfo* lband);
    bool bJOMS(char* field, char* sentence, LBandInfo* lband);
    bool bJRTK(char* field, char* sentence, PortConfig* rxPort);
    bool bJDIFF(char* field, char* sentence, int32_t* source);
    bool bJAPP(char* field, char* sentence, int32_t* app, int32_t* otherApp);
    bool bJBAUD(char* field, char* sentence, int32_t* baud);
    // Takes the locks of the words it writes itself.
    bool bJSHOW(char* field, char* sentence, GPSInfo* rec);

    // Which SBAS slot a newly seen PRN fills next.
    uint8_t bSBASSlotToggle = 0;
};
