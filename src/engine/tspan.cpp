#include "engine/tspan.h"

#include "engine/gps.h"
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
