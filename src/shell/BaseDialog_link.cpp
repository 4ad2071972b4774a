// Receiver search and link watchdog of the screens: the baud search on the chosen port, the
// port reopening with the radio-modem baud commands, and the watchdog that brings the
// start-up dialog back when the receiver falls silent.

#include <array>
#include <exception>
#include <string>

#include "engine/gps.h"
#include "engine/scomm.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "platform/trace.h"
#include "shell/BaseDialog.h"
#include "shell/STARTUP3.h"
#include "shell/Tessaray_PC.h"

namespace {

// Bauds of the search steps 1..6; step 0 tries the baud the port was last opened at.
constexpr std::array<int, 7> kSearchBauds = {0, 9600, 19200, 4800, 38400, 57600, 115200};
constexpr int kProbeRepeats = 5;
constexpr ui::UINT kSearchPeriodMs = 1000;

// The baud the port is open at, 0 while it is closed.
int g_iPortBaud = 0;

void ClearLinkState() {
    CTessaray_PCApp& app = theApp();
    app.bReceiverFound = 0;
    {
        RecordLock lock(g_GPS.Info.Nav.ulNavLock);
        g_GPS.Info.Nav.iFixQuality = 0;
        g_GPS.Info.Nav.usNavMode = 0;
    }
    app.bBin1Position = 0;
}

// A flag left from before an opening would count a receiver that was never heard at the
// baud now open.
void ClearReceivedFlags() {
    CTessaray_PCApp& app = theApp();
    app.bSentenceReceived = 0;
    app.bBytesReceived = 0;
}

bool PortIsOpen() {
    return theApp().bPortOpen.load() != 0 && g_Comm.bOpen();
}

void SendModemCommand(const char* command) {
    g_TxNMEA.SendString(std::string(command) + "\r\n");
    platform::Sleep(200);
}

const char* ModemBaudCommand(int baud) {
    switch (baud) {
        case 4800:
            return "ATSW20,20,1";
        case 9600:
            return "ATSW20,39,1";
        case 19200:
            return "ATSW20,79,1";
        case 38400:
            return "ATSW20,157,1";
        case 57600:
            return "ATSW20,236,1";
        case 115200:
            return "ATSW20,472,1";
        default:
            return "ATMC";
    }
}

}  // namespace

void InstallLinkHooks() {
    g_Comm.SetModemResetHook([] { g_TxNMEA.ModemReset(); });
}

bool ExitInProgress() {
    return theApp().bExitInProgress != 0;
}

void PollReceiver() {
    g_TxNMEA.Poll();
}

int OpenPortBaud() {
    return PortIsOpen() ? g_iPortBaud : 0;
}

ui::UINT CBaseDialog::StartBaudSearch() {
    CTessaray_PCApp& app = theApp();
    KillTimer(m_uLinkWatchTimer);
    bLinkWatchOn = 0;
    app.iLinkLostCount = 0;
    ClearLinkState();
    ClearReceivedFlags();
    m_iSearchStep = 0;
    // A search started again begins with its first baud at once.
    m_iProbeRepeats = 0;
    m_uSearchTimer = SetTimer(kBaudSearchTimer, kSearchPeriodMs);
    bBaudSearchOn = 1;
    return m_uSearchTimer;
}

void CBaseDialog::SearchTick() {
    if (ExitInProgress()) {
        KillTimer(m_uSearchTimer);
        bBaudSearchOn = 0;
        return;
    }
    if (m_iProbeRepeats < 1) {
        NextBaudStep();
    } else {
        --m_iProbeRepeats;
        PollReceiver();
        platform::Sleep(300);
    }
}

int CBaseDialog::NextBaudStep() {
    try {
        CTessaray_PCApp& app = theApp();
        GPSInfo& info = g_GPS.Info;
        KillTimer(m_uLinkWatchTimer);
        bLinkWatchOn = 0;

        if (app.bSentenceReceived.load() && PortIsOpen()) {
            m_iSearchStep = 0;
            m_bNotFound = 0;
            KillTimer(m_uSearchTimer);
            bBaudSearchOn = 0;
            info.Comm.iOpenBaudRate = g_iPortBaud;
            info.Settings.WizardLive.iNMEABaudRate = g_iPortBaud;
            m_uLinkWatchTimer = SetTimer(kLinkWatchTimer, LinkWatchPeriod());
            bLinkWatchOn = 1;
            return 1;
        }

        int baud = 0;
        bool end = m_iSearchStep >= static_cast<int>(kSearchBauds.size());
        if (!end && m_iSearchStep == 0) {
            baud = info.Comm.iOpenBaudRate;
            iSearchStartBaud = baud;
        } else if (!end) {
            baud = kSearchBauds[static_cast<size_t>(m_iSearchStep)];
            if (baud == iSearchStartBaud) {
                const size_t next = static_cast<size_t>(m_iSearchStep) + 1;
                if (next < kSearchBauds.size()) {
                    baud = kSearchBauds[next];
                } else {
                    end = true;
                }
            }
        }
        if (end) {
            KillTimer(m_uSearchTimer);
            m_iSearchStep = 0;
            m_bNotFound = 1;
            bBaudSearchOn = 0;
            m_uLinkWatchTimer = SetTimer(kLinkWatchTimer, LinkWatchPeriod());
            bLinkWatchOn = 1;
            return 0;
        }

        info.Settings.WizardLive.iNMEABaudRate = baud;
        ReopenPort(info.iComPort, baud);
        // Only an answer at this baud may show the receiver as found.
        app.bReceiverFound = 0;
        m_iProbeRepeats = kProbeRepeats;
        info.Comm.iOpenComPort = info.iComPort;
        info.Comm.iOpenBaudRate = baud;
        platform::Sleep(200);
        PollReceiver();
        platform::Sleep(300);
        ++m_iSearchStep;
    } catch (const std::exception& e) {
        platform::Trace("Error on Serial Communication:%s\n", e.what());
    }
    return 0;
}

void ReopenPort(int port, int baud) {
    CTessaray_PCApp& app = theApp();
    GPSInfo& info = g_GPS.Info;
    info.Comm.iOpenBaudRate = baud;
    // A port left half open by a failed set-up is closed by OpenPort itself.
    if (app.bPortOpen.load()) {
        app.bPortOpen = 0;
        platform::Sleep(200);
        g_Comm.ClosePort();
    }
    g_iPortBaud = 0;
    platform::Sleep(500);
    const int rc = g_Comm.OpenPort(port, baud, 'N', 8, 1, false);
    app.bPortOpen = rc == COMM_OK ? 1 : 0;
    if (rc == COMM_OK) g_iPortBaud = baud;
    if (info.iComPort != 1) {
        platform::Sleep(200);
        ModemSetBaud(baud);
    }
    g_Comm.EmptyInputQueue();
    ClearReceivedFlags();
}

void CBaseDialog::CheckLink() {
    try {
        CTessaray_PCApp& app = theApp();
        // Over the saving screen of an exit the link is only kept alive.
        if (ExitInProgress()) {
            PollReceiver();
            return;
        }
        if (g_GPS.ReceiverType() == RECEIVER_BLUETOOTH && app.bBytesReceived.load()) {
            app.bBytesReceived = 0;
            PollReceiver();
            return;
        }
        if (app.bSentenceReceived.load()) {
            app.bSentenceReceived = 0;
            m_bNotFound = 0;
            PollReceiver();
            return;
        }
        if (!m_bNotFound) {
            m_bNotFound = 1;
            PollReceiver();
            return;
        }
        // Second silent tick in a row: the link is lost.
        app.bReceiverFound = 0;
        if (app.bStartupPhase.load()) {
            ++app.iLinkLostCount;
            ClearLinkState();
            return;
        }
        app.iLinkLostCount = 0;
        ClearLinkState();
        OnCancel();
        // The port stays open: the new search starts from the baud in use.
        RunStartupDialogModal();
    } catch (const std::exception& e) {
        platform::Trace("Error or Exception:%s\n", e.what());
    }
}

void CBaseDialog::Reconnect(int port, int baud) {
    try {
        GPSInfo& info = g_GPS.Info;
        KillTimer(m_uLinkWatchTimer);
        bLinkWatchOn = 0;
        KillTimer(m_uSearchTimer);
        bBaudSearchOn = 0;
        ClearLinkState();
        ReopenPort(port, baud);
        info.Comm.iOpenComPort = port;
        info.Comm.iOpenBaudRate = baud;
        platform::Sleep(200);
        PollReceiver();
        platform::Sleep(300);
        m_iSearchStep = 0;
        m_bNotFound = 0;
        m_uLinkWatchTimer = SetTimer(kLinkWatchTimer, LinkWatchPeriod());
        bLinkWatchOn = 1;
    } catch (const std::exception& e) {
        platform::Trace("Error on Serial Communication:%s\n", e.what());
    }
}

void CBaseDialog::ClearLinkStateOnce() {
    if (m_bWeakSignalOnce) return;
    m_bWeakSignalOnce = 1;
    RecordLock lock(g_GPS.Info.Nav.ulNavLock);
    g_GPS.Info.Nav.usNavMode = 0;
    g_GPS.Info.Nav.iFixQuality = 0;
}

void RunStartupDialog(int unused) {
    (void)unused;
    g_Comm.ClosePort();
    g_iPortBaud = 0;
    theApp().iLinkLostCount = 0;
    ClearLinkState();
    RunStartupDialogModal();
}

ui::BOOL ModemProbe() {
    CTessaray_PCApp& app = theApp();
    app.bModemOK = 0;
    SendModemCommand("ATMC");
    SendModemCommand("ATMD");
    SendModemCommand("ATMD");
    return app.bModemOK.load() ? ui::TRUE : ui::FALSE;
}

int ModemSetBaud(int baud) {
    SendModemCommand("ATMC");
    const char* command = ModemBaudCommand(baud);
    SendModemCommand(command);
    SendModemCommand(command);
    SendModemCommand("ATMD");
    SendModemCommand("ATMD");
    return 1;
}
