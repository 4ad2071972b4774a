// Receiver search and link watchdog of the screens.
// TO BE FILLED with the baud search, the watchdog, the port reopening and the radio-modem
// commands; until then a search starts its timer and ends at once, and the watchdog only
// listens.

#include "engine/gps.h"
#include "engine/txnmea.h"
#include "shell/BaseDialog.h"
#include "shell/Tessaray_PC.h"

void PollReceiver() {
    g_TxNMEA.Poll();
}

ui::UINT CBaseDialog::StartBaudSearch() {
    KillTimer(m_uLinkWatchTimer);
    bLinkWatchOn = 0;
    theApp().iLinkLostCount = 0;
    m_iSearchStep = 0;
    m_uSearchTimer = SetTimer(kBaudSearchTimer, 1000);
    bBaudSearchOn = 1;
    return m_uSearchTimer;
}

int CBaseDialog::NextBaudStep() {
    KillTimer(m_uSearchTimer);
    bBaudSearchOn = 0;
    m_iSearchStep = 0;
    m_bNotFound = theApp().bSentenceReceived.load() ? 0 : 1;
    m_uLinkWatchTimer = SetTimer(kLinkWatchTimer, LinkWatchPeriod());
    bLinkWatchOn = 1;
    return m_bNotFound ? 0 : 1;
}

void CBaseDialog::CheckLink() {}

void CBaseDialog::Reconnect(int port, int baud) {
    (void)port;
    (void)baud;
    m_iSearchStep = 0;
    m_bNotFound = 0;
    m_uLinkWatchTimer = SetTimer(kLinkWatchTimer, LinkWatchPeriod());
    bLinkWatchOn = 1;
}

void CBaseDialog::ClearLinkStateOnce() {
    if (m_bWeakSignalOnce) return;
    m_bWeakSignalOnce = 1;
    g_GPS.Info.Nav.usNavMode = 0;
    g_GPS.Info.Nav.iFixQuality = 0;
}

void ReopenPort(int port, int baud) {
    (void)port;
    (void)baud;
}

ui::BOOL ModemProbe() {
    return ui::FALSE;
}

int ModemSetBaud(int baud) {
    (void)baud;
    return 1;
}
