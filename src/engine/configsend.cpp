// Moving the settings records to and from the receiver.

#include <cstring>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "engine/tspan.h"
#include "engine/txnmea.h"
#include "engine/wizardinfo.h"
#include "platform/clock.h"
#include "platform/trace.h"

using platform::Sleep;

namespace {

// The reader thread writes the settings too (beacon status, the setup responder's archive
// read): copies are taken and kept under the record's lock.
WizardInfo CopyUnderLock(const WizardInfo& source, uint32_t& lockWord) {
    RecordLock lock(lockWord);
    return source;
}

// What was last read from or sent to the receiver.
void KeepSnapshot(GPSInfo& info, const WizardInfo& sent) {
    RecordLock lock(info.ulPart1Lock);
    info.Settings.WizardSnapshot = sent;
}

struct PortCommand {
    const char* message;  // nullptr: a binary message
    int binaryId;
    int32_t PortConfig::*member;
    int otherSpare;  // the word of RxPortConfig that holds the other port's rate
};

// The receiver's order; GSA comes after ZDA.
constexpr PortCommand kPortCommands[] = {
    {"GPGGA", 0, &PortConfig::eGGA, RXSPARE_OTHER_GGA + 0},
    {"GPGLL", 0, &PortConfig::eGLL, RXSPARE_OTHER_GGA + 1},
    {"GPGST", 0, &PortConfig::eGST, RXSPARE_OTHER_GGA + 3},
    {"GPGSV", 0, &PortConfig::eGSV, RXSPARE_OTHER_GGA + 4},
    {"GPRMC", 0, &PortConfig::eRMC, RXSPARE_OTHER_GGA + 5},
    {"GPRRE", 0, &PortConfig::eRRE, RXSPARE_OTHER_GGA + 6},
    {"GPVTG", 0, &PortConfig::eVTG, RXSPARE_OTHER_GGA + 7},
    {"GPZDA", 0, &PortConfig::eZDA, RXSPARE_OTHER_GGA + 8},
    {"GPGSA", 0, &PortConfig::eGSA, RXSPARE_OTHER_GGA + 2},
    {nullptr, 95, &PortConfig::eBIN95, RXSPARE_OTHER_GGA + 9},
    {nullptr, 96, &PortConfig::eBIN96, RXSPARE_OTHER_GGA + 10},
    {"HEHDT", 0, &PortConfig::eHEHDT, RXSPARE_OTHER_HEHDT},
    {"HEROT", 0, &PortConfig::eHEROT, RXSPARE_OTHER_HEROT},
    {"HPR", 0, &PortConfig::eHPR, RXSPARE_OTHER_HPR},
};

void SendPortCommand(const PortCommand& c, int32_t rate, int32_t ePort) {
    const bool other = ePort == PORT_OTHER;
    if (c.message) {
        g_TxNMEA.SetMessageRate(rate, c.message, other);
    } else {
        g_TxNMEA.SetBinaryRate(rate, c.binaryId, other);
    }
}

// Fills the settings from what the replies put into the record; they become the snapshot.
void TakeReadBack(GPSInfo& info, WizardInfo& w) {
    {
        RecordLock lock(info.ulPart1Lock);
        w.iNMEABaudRate = info.iRxNMEABaudRate;
        w.iRTCMBaudRate = info.iRxRTCMBaudRate;
        w.iElevation = info.iRxElevation;
        w.iMaxAge = info.iRxMaxAge;
    }
    {
        // The receiver lists its SBAS satellites among the L-band ones: the tune is the last
        // L-band beam's, when one was ever listed.
        const LBandInfo& lb = info.LBand;
        RecordLock lock(info.LBand.ulLBandLock);
        const bool beamHeard = lb.LBandBeam.ulFreqKhz != 0;
        w.ulFreqKhz = beamHeard ? lb.LBandBeam.ulFreqKhz : lb.ulGeoFreqKhz;
        w.iSymbolRate = beamHeard ? lb.LBandBeam.iId : lb.iGeoId;
    }
    {
        RecordLock lock(info.Beacon.ulBeaconLock);
        w.fFreq = info.Beacon.fBeaconFreq;
        w.iBitRate = info.Beacon.iBeaconBitRate;
        w.iStationId = info.Beacon.iStationId;
    }
    {
        const PortConfig& rx = info.RxPortConfig;
        RecordLock lock(info.RxPortConfig.ulLastWord);
        w.ThisPortConfig = rx;
        w.OtherPortConfig = rx;
        for (const PortCommand& c : kPortCommands) {
            w.OtherPortConfig.*c.member = rx.iSpare[c.otherSpare];
        }
        // The copies are settings, not the receiver record: they hold no lock.
        w.ThisPortConfig.ulLastWord = 0;
        w.OtherPortConfig.ulLastWord = 0;
    }
    {
        // The t-Span reference the receiver reported becomes the saved one.
        const PortConfig& rx = info.RxPortConfig;
        RecordLock lock(info.RxPortConfig.ulLastWord);
        w.dRefLat = rx.dCurRefLat;
        w.dRefLon = rx.dCurRefLon;
        w.dRefAlt = rx.dCurRefAlt;
        w.eDfxPort = rx.eCurDfxPort;
    }
    KeepSnapshot(info, w);
}

}  // namespace

void PortConfig::Send(int32_t ePort) const {
    for (const PortCommand& c : kPortCommands) {
        SendPortCommand(c, this->*c.member, ePort);
        Sleep(20);
    }
}

void PortConfig::SendChanged(const PortConfig& newConfig, int32_t ePort) const {
    for (const PortCommand& c : kPortCommands) {
        if (newConfig.*c.member == this->*c.member) continue;
        SendPortCommand(c, newConfig.*c.member, ePort);
        if (c.member != &PortConfig::eZDA) Sleep(20);
    }
}

void WizardInfo::SendPorts() const {
    platform::Trace("Setting this & other port config.\n");
    ThisPortConfig.Send(PORT_THIS);
    OtherPortConfig.Send(PORT_OTHER);
}

void BINLogRateInfo::Send(int32_t ePort) const {
    const bool other = ePort == PORT_OTHER;
    const std::pair<int, int32_t> rates[] = {{1, eBIN1},   {2, eBIN2},   {80, eBIN80},
                                             {95, eBIN95}, {96, eBIN96}, {97, eBIN97},
                                             {98, eBIN98}, {99, eBIN99}};
    for (const auto& [id, rate] : rates) g_TxNMEA.SetBinaryRate(rate, id, other);
    g_TxNMEA.SetMessageRate(eD1, "D1", other);
}

void NavInfo::SendHeadingSettings() const {
    g_TxNMEA.SetRoll(bRollOutput != 0);
    const std::pair<const char*, int32_t> flags[] = {{"TILTAID", bTiltAid},
                                                     {"GYROAID", bGyroAid},
                                                     {"LEVEL", bLevel},
                                                     {"NEGTILT", bNegTilt},
                                                     {"FLIPBRD", bFLIPBRD}};
    for (const auto& [name, on] : flags) g_TxNMEA.SetAttitudeFlag(name, on != 0);
    const std::pair<const char*, float> values[] = {
        {"HTAU", fHDGTau}, {"HRTAU", fHDGRateTau}, {"COGTAU", fCOGTau}, {"SPDTAU", fSPDTau},
        {"HBIAS", fHBias}, {"PBIAS", fPRBias},     {"MSEP", fManSep},   {"CSEP", fCurSep}};
    for (const auto& [name, value] : values) g_TxNMEA.SetAttitudeValue(name, value);
}

int CGPS::SendConfig(WizardInfo& live) {
    const WizardInfo w = CopyUnderLock(live, Info.ulPart1Lock);
    g_TxNMEA.SetBaud(w.iNMEABaudRate, false);
    g_TxNMEA.SetBaud(w.iRTCMBaudRate, true);
    g_TxNMEA.SetElevationMask(w.iElevation);
    g_TxNMEA.SetMaxAge(w.iMaxAge);
    Sleep(20);
    g_TxNMEA.SetFrequency(false, w.ulFreqKhz, w.iSymbolRate);
    Sleep(20);
    TSpan tspan(this, &g_TxNMEA);
    tspan.SendReference(w.dRefLat, w.dRefLon, w.dRefAlt);
    tspan.SendDfxPort(w.eDfxPort);
    w.ThisPortConfig.Send(PORT_THIS);
    w.OtherPortConfig.Send(PORT_OTHER);
    g_TxNMEA.SetCorrectionOutput(w.ThisPortConfig.bRTCM, 1);
    Sleep(20);
    g_TxNMEA.SetCorrectionOutput(w.ThisPortConfig.bRTCM, 2);
    Sleep(20);
    KeepSnapshot(Info, w);
    return 1;
}

int CGPS::SendChangedConfig(WizardInfo& live) {
    const WizardInfo w = CopyUnderLock(live, Info.ulPart1Lock);
    const WizardInfo old = CopyUnderLock(Info.Settings.WizardSnapshot, Info.ulPart1Lock);
    if (w.iNMEABaudRate != old.iNMEABaudRate) {
        g_TxNMEA.SetBaud(w.iNMEABaudRate, false);
        Sleep(20);
    }
    if (w.iRTCMBaudRate != old.iRTCMBaudRate) {
        g_TxNMEA.SetBaud(w.iRTCMBaudRate, true);
        Sleep(20);
    }
    if (w.iElevation != old.iElevation) {
        g_TxNMEA.SetElevationMask(w.iElevation);
        Sleep(20);
    }
    if (w.iMaxAge != old.iMaxAge) {
        g_TxNMEA.SetMaxAge(w.iMaxAge);
        Sleep(20);
    }
    if (w.ulFreqKhz != old.ulFreqKhz || w.iSymbolRate != old.iSymbolRate) {
        g_TxNMEA.SetFrequency(false, w.ulFreqKhz, w.iSymbolRate);
        Sleep(20);
    }
    old.ThisPortConfig.SendChanged(w.ThisPortConfig, PORT_THIS);
    old.OtherPortConfig.SendChanged(w.OtherPortConfig, PORT_OTHER);
    g_TxNMEA.SetCorrectionOutput(w.ThisPortConfig.bRTCM, 1);
    g_TxNMEA.SetCorrectionOutput(w.ThisPortConfig.bRTCM, 2);
    Sleep(20);
    KeepSnapshot(Info, w);
    return 1;
}

int CGPS::ReadConfig(WizardInfo& w) {
    const uint32_t repliesBefore = App().uRepliesHeard.load();
    for (const int id : {1, 2, 80, 93, 94, 97, 98, 99}) {
        if (id != 1) Sleep(100);
        g_TxNMEA.SetBinaryRate(RATE_OFF, id, false);
    }
    {
        PortConfig& rx = Info.RxPortConfig;
        RecordLock lock(rx.ulLastWord);
        for (const PortCommand& c : kPortCommands) {
            rx.*c.member = 0;
            rx.iSpare[c.otherSpare] = 0;
        }
    }
    g_TxNMEA.QueryInfo();
    Sleep(50);
    TSpan tspan(this, &g_TxNMEA);
    tspan.ResetReference();
    for (int i = 0; i < 6; ++i) {
        g_TxNMEA.QueryShow();
        Sleep(500);
    }
    for (int i = 0; i < 2; ++i) {
        g_TxNMEA.QueryGeo();
        Sleep(500);
    }
    for (int i = 0; i < 2; ++i) {
        g_TxNMEA.SetBeaconStatus(1, false);
        Sleep(500);
    }
    g_TxNMEA.QueryDiff();
    Sleep(100);
    tspan.QueryReference();
    const bool unanswered = App().uRepliesHeard.load() == repliesBefore;
    App().bReadBackUnanswered.store(unanswered ? 1 : 0);
    // Without a reply the record holds nothing of this receiver: the settings held stay.
    if (!unanswered) TakeReadBack(Info, w);
    g_TxNMEA.SetBeaconStatus(0, false);
    Sleep(100);
    return 1;
}
