// The end of the program: archive, receiver shutdown, reader thread and port.

#include "engine/gps.h"
#include "engine/scomm.h"
#include "platform/trace.h"
#include "shell/BaseDialog.h"
#include "shell/Tessaray_PC.h"

// TO BE FILLED with the receiver shutdown sequence and the saving screen (CCLOSESCREEN_1).
int SaveAndCloseReceiver() {
    return 1;
}

int CTessaray_PCApp::ExitInstance() {
    g_GPS.Info.bCfgMarker = 0;
    // An archive this run never loaded or created holds the user's settings, not ours.
    if (bArchiveLoaded) g_GPS.SaveConfigFile();
    if (bDemoMode.load()) return 0;
    if (bSaveOnExit) SaveAndCloseReceiver();
    return bCloseRetry ? -1 : 0;
}

void CBaseDialog::OnDestroy() {
    platform::Trace("Tessaray_PC: CBaseDialog::OnDestroy() Start!\n");
    CTessaray_PCApp& app = theApp();
    app.ExitInstance();
    if (app.bCloseRetry) return;
    EndDialog(ui::IDCANCEL);
    KillTimer(m_uLinkWatchTimer);
    bLinkWatchOn = 0;
    KillTimer(m_uSearchTimer);
    bBaudSearchOn = 0;
    platform::Trace("Tessaray_PC: CBaseDialog::OnDestroy() Start 2!\n");
    platform::Trace("Tessaray_PC: CBaseDialog::OnDestroy() Start 3!\n");
    // A reader thread that was never started has nothing to wait for; a stuck one is not
    // waited on for ever.
    if (app.GpsThread.IsRunning()) app.GpsThread.Stop(5000);
    g_Comm.ClosePort();
    CTessaray_PCApp::EndProcess(0);
}
