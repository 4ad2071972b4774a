#pragma once
// Decoders of the standard sentences (GGA, VTG, GSV, GST, HDT, ROT), the heading/pitch/roll
// sentence and the replies to the attitude queries.

#include "engine/gps.h"

class CSTDNMEA {
public:
    // Each decoder takes the dispatcher's field buffer, the sentence and the record to fill;
    // the caller holds the record's lock.
    bool bGPGGA(char* field, char* sentence, NavInfo* nav);
    bool bGPVTG(char* field, char* sentence, NavInfo* nav);
    bool bGPGSV(char* field, char* sentence, SatViewInfo* view);
    bool bGPGST(char* field, char* sentence, NavInfo* nav);
    bool bHEHDT(char* field, char* sentence, NavInfo* nav);
    bool bHEROT(char* field, char* sentence, NavInfo* nav);
    bool bHEHPR(char* field, char* sentence, NavInfo* nav);
    bool bGETROLL(char* field, char* sentence, NavInfo* nav);
    bool bGETAID(char* field, char* sentence, NavInfo* nav);
    bool bGETTAUPARA(char* field, char* sentence, NavInfo* nav);
};
