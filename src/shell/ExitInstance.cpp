// The end of the program: archive, receiver shutdown, reader thread and port.

#include "shell/ExitInstance.h"

#include <atomic>
#include <exception>
#include <vector>

#include "engine/binarysinks.h"
#include "engine/gps.h"
#include "engine/scomm.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "platform/trace.h"
#include "shell/BaseDialog.h"
#include "shell/CLOSESCREEN_1.h"
#include "shell/Tessaray_PC.h"

namespace {

bool g_backToScreen = false;
std::atomic<bool> g_released{false};
std::vector<std::function<void()>> g_exitHooks;

// The shutdown commands block the interface for seconds; the page shown meanwhile should not
// be a half-drawn one.
void RepaintTopPage() {
    if (ui::Host* host = ui::Host::Existing()) {
        if (ui::Dialog* top = host->TopPage()) top->RepaintNow();
    }
}

}  // namespace

int SaveAndCloseReceiver() {
    RepaintTopPage();
    const uint32_t failuresBefore = g_Comm.SendFailures();
    const uint32_t heardBefore = theApp().uFramesHeard.load();
    // Settings never read from the receiver are the record's defaults: written back and saved
    // they would replace the receiver's own.
    const bool unread = theApp().bReadBackUnanswered.load() != 0;
    bSuppressPolling.store(1);
    g_TxNMEA.OutputsOff(false);
    platform::Sleep(100);
    g_TxNMEA.OutputsOff(true);
    g_TxNMEA.SetBeaconStatus(0, false);
    g_TxNMEA.SetBeaconStatus(0, true);
    if (unread) {
        platform::Trace("Tessaray_PC: the receiver's settings were never read: not written back\n");
    } else {
        for (int i = 0; i < 2; ++i) {
            g_GPS.SendConfig(g_GPS.Info.Settings.WizardLive);
            platform::Sleep(100);
        }
        g_TxNMEA.SaveConfig();
        platform::Sleep(100);
    }
    // A receiver unplugged before the watchdog noticed, or a link that stopped taking bytes,
    // took none of it: the saving screen must offer Retry, not report a save, even while the
    // receiver's sentences still come in.
    const bool sendFailed = !g_Comm.bOpen() || g_Comm.SendFailures() != failuresBefore;
    if (sendFailed) {
        platform::Trace("Tessaray_PC: the receiver did not take the shutdown commands\n");
        theApp().bReceiverFound.store(0);
    }
    CCLOSESCREEN_1 dlg;
    dlg.ListenSince(heardBefore);
    dlg.SetSettingsUnread(unread);
    dlg.SetSendFailed(sendFailed);
    dlg.DoModal();
    return 1;
}

void CancelExit(bool backToScreen) {
    CTessaray_PCApp& app = theApp();
    app.bCloseRetry = 1;
    app.bExitInProgress = 0;
    bSuppressPolling.store(0);
    g_backToScreen = backToScreen;
}

void AddExitHook(std::function<void()> hook) {
    g_exitHooks.push_back(std::move(hook));
}

void RearmExitForTest() {
    g_released = false;
    g_backToScreen = false;
}

void ReleaseForExit(bool closeLink) {
    if (g_released.exchange(true)) return;
    for (const auto& hook : g_exitHooks) {
        try {
            hook();
        } catch (const std::exception& e) {
            platform::Trace("Tessaray_PC: exit hook failed: %s\n", e.what());
        }
    }
    CTessaray_PCApp& app = theApp();
    CGPSThread& reader = app.GpsThread;
    bool stopped = true;
    if (reader.IsRunning()) {
        stopped = reader.Stop(kReaderStopWaitMs);
        if (!stopped) platform::Trace("Tessaray_PC: reader thread did not stop in time\n");
    }
    // The logs belong to the reader thread; only once it is gone may they be closed here.
    if (stopped) {
        if (auto* sinks = dynamic_cast<BinarySinks*>(reader.GetSinks())) sinks->Logs().CloseAll();
    }
    // The other ways out (Exit without Saving, Close Anyway, the report's Close) send the
    // receiver nothing more: not even the radio-modem reset of a closing Bluetooth link.
    if (!closeLink) g_Comm.SetModemResetHook(nullptr);
    if (g_Comm.bOpen()) g_Comm.ClosePort();
    app.bPortOpen.store(0);
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
    app.bCloseRetry = 0;
    app.bExitInProgress = 1;
    g_backToScreen = false;
    app.ExitInstance();
    if (app.bCloseRetry) {
        app.bExitInProgress = 0;
        // Back from the report: the screen takes up its refresh and its outputs again rather
        // than showing frozen read-outs.
        if (g_backToScreen && ScreenIndex() >= 0 && IsLoopRunning()) {
            g_backToScreen = false;
            ShowWindow(ui::SW_SHOW);
            OnInitDialog();
        }
        return;
    }
    EndDialog(ui::IDCANCEL);
    KillTimer(m_uLinkWatchTimer);
    bLinkWatchOn = 0;
    KillTimer(m_uSearchTimer);
    bBaudSearchOn = 0;
    platform::Trace("Tessaray_PC: CBaseDialog::OnDestroy() Start 2!\n");
    platform::Trace("Tessaray_PC: CBaseDialog::OnDestroy() Start 3!\n");
    ReleaseForExit(true);
    CTessaray_PCApp::EndProcess(0);
}
