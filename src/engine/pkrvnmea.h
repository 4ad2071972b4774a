#pragma once
// The maker's proprietary "$PKRV" family: beacon status sentences and the version reply,
// and the commands a device answers (HELP, BAUD, STATUS, SETUP).

#include <functional>
#include <string>

#include "engine/gps.h"

class CPKRVNMEA {
public:
    CPKRVNMEA();

    // Beacon status and version, into BeaconInfo (the dispatcher holds ulBeaconLock).
    bool bCS0(char* field, char* sentence, BeaconInfo* beacon, WizardInfo* live);
    bool bCS1(char* field, char* sentence, BeaconInfo* beacon);
    bool bVersion(char* field, char* sentence, BeaconInfo* beacon);

    // Device commands; answers go to the responder sink.
    bool bHELP();
    bool bBAUD(char* field, char* sentence, int32_t* otherBaud);
    // Whether the last bBAUD set a new rate; only a new rate is followed by the pause.
    bool BaudChanged() const { return baudChanged_; }
    bool bSTATUS(char* field, char* sentence, const CommSettings* comm);
    bool bSETUP(char* field, char* sentence, GPSInfo* rec);

    // Where the answers go; the default writes them to standard output.
    std::function<void(const std::string&)> Responder;
    // The profile archive calls of BAUD and SETUP SAVE/READ; the defaults use g_GPS.
    std::function<bool()> SaveArchive;
    std::function<bool()> LoadArchive;

private:
    void Answer(const std::string& text);

    bool baudChanged_ = false;
};
