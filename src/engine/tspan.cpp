#include "engine/tspan.h"

#include "engine/gps.h"
#include "engine/lbndnmea.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "platform/numbers.h"
#include "platform/trace.h"

TSpan g_TSpan;

CGPS& TSpan::Record() {
    return gps_ ? *gps_ : g_GPS;
}

CTxNMEA& TSpan::Tx() {
    return tx_ ? *tx_ : g_TxNMEA;
}

void TSpan::ResetReference() {
    PortConfig& rx = Record().Info.RxPortConfig;
    RecordLock lock(rx.ulLastWord);
    rx.eCurDfxPort = DFX_NONE;
    rx.dCurRefLat = 0.0;
    rx.dCurRefLon = 0.0;
    rx.dCurRefAlt = 0.0;
}

void TSpan::QueryReference() {
    platform::Sleep(100);
    Tx().SendRTK6();
    platform::Sleep(100);
    Tx().QueryRTK();
    platform::Sleep(500);
}

void TSpan::SaveReference() {
    GPSInfo& info = Record().Info;
    PortConfig& rx = info.RxPortConfig;
    WizardInfo& saved = info.Settings.WizardLive;
    RecordLock lock(rx.ulLastWord);
    saved.dRefLat = rx.dCurRefLat;
    saved.dRefLon = rx.dCurRefLon;
    saved.dRefAlt = rx.dCurRefAlt;
    saved.eDfxPort = rx.eCurDfxPort;
}

void TSpan::SendReference(double lat, double lon, double height) {
    Tx().SetRTKReference(lat, lon, height);
    platform::Sleep(100);
}

void TSpan::SendDfxPort(int32_t port) {
    static const char* const kPorts[] = {"PORTA", "PORTB", "PORTC"};
    if (port == DFX_NONE) return;
    if (port < DFX_PORTA || port > DFX_PORTC) {
        TRACE_ASSERT(false);
        return;
    }
    Tx().SendString(platform::Format("$JASC,DFX,1,%s\r\n", kPorts[port - 1]));
}

void TSpan::DfxAllOff() {
    for (const char* text :
         {"$JASC,DFX,0,PORTA\r\n", "$JASC,DFX,0,PORTB\r\n", "$JASC,DFX,0,PORTC\r\n"}) {
        Tx().SendString(text);
        platform::Sleep(40);
    }
}

void TSpan::SendDfxPortName(std::string_view portName) {
    DfxAllOff();
    const std::string command = "$JASC,DFX,1," + ReferenceField(portName) + "\r\n";
    Tx().SendString(command);
    platform::Trace("TSpan Setup: %s", command.c_str());
    platform::Sleep(50);
}

std::string TSpan::ReferenceField(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (out.size() >= kReferenceTextMax) break;
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) out.push_back(c);
    }
    return out;
}

bool TSpan::SendReferenceText(std::string_view lat, std::string_view lon, std::string_view height) {
    const std::string command = "$JRTK,1," + ReferenceField(lat) + "," + ReferenceField(lon) + "," +
                                ReferenceField(height) + "\r\n";
    // A rejection left over from an earlier command must not be taken for this one's.
    g_bRTKRefInvalid.store(0);
    Tx().SendString(command);
    platform::Trace("TSpan Setup: %s", command.c_str());
    platform::Sleep(250);
    return g_bRTKRefInvalid.exchange(0) == 0;
}
