#include "shell/Tessaray_PC.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine/gps.h"
#include "engine/reader_sinks.h"
#include "platform/instance_lock.h"
#include "platform/numbers.h"
#include "platform/paths.h"
#include "platform/ports.h"
#include "platform/trace.h"
#include "shell/BaseDialog.h"
#include "shell/DiffSource.h"
#include "shell/ExitInstance.h"
#include "shell/ScreenRegistry.h"
#include "shell/Tessaray_PCDlg.h"
#include "ui/messagebox.h"
#include "ui/notices.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

namespace {

std::mutex g_endHookMutex;
std::function<void(int)> g_endHook;
std::vector<std::function<void()>> g_endSavers;

}  // namespace

CTessaray_PCApp& theApp() {
    static CTessaray_PCApp app;
    return app;
}

CTessaray_PCApp::CTessaray_PCApp() = default;

CTessaray_PCApp::~CTessaray_PCApp() {
    // A reader thread still running at process end would touch destroyed globals.
    if (GpsThread.IsRunning()) GpsThread.Stop(2000);
    if (&App() == this) SetApp(nullptr);
}

int CTessaray_PCApp::InitInstance() {
    // Two copies on one configuration folder would each write their settings over the
    // other's at exit: a second copy says so and ends before it touches a file or a port.
    if (int owner = 0; !platform::LockConfigFolder(&owner)) {
        ui::MessageBox("Tessaray PC already runs on the settings in " + platform::ConfigDir() +
                           (owner > 0 ? " (process " + platform::FormatInt(owner) + ")" : "") +
                           ".\nThis copy ends, so that neither overwrites the other's settings.",
                       ui::MB_OK | ui::MB_ICONEXCLAMATION);
        return 1;
    }
    SetApp(this);
    // The engine's notices (a failed save, a log stopped on a full disk, a port that failed)
    // reach the user as message boxes.
    ui::InstallNoticeSink();
    hDataEvent.Set();
    CGPS::SetUnlockHook([] { theApp().hDataEvent.Set(); });
    RegisterAllScreens();
    InstallLinkHooks();
    InstallBaudHandOver();
    StartGpsThread();

    // The welcome page runs first; the start-up dialog and every screen then run nested
    // inside its hand-over, so this returns only when the program is done.
    CTessaray_PCDlg dlg;
    dlg.DoModal();
    // The process ends next: the reader must not outlive what it writes to.
    if (GpsThread.IsRunning()) GpsThread.Stop(5000);
    platform::UnlockConfigFolder();
    return 0;
}

namespace {

// Where the reader thread hands its frames: the engine's decoders, loggers and rings. Built
// once and never destroyed, so a reader still running at process end finds it alive.
ReaderSinks* ProgramReaderSinks() {
    static EngineSinks* sinks = new EngineSinks();
    return sinks;
}

}  // namespace

int CTessaray_PCApp::StartGpsThread() {
    if (GpsThread.IsRunning()) return 1;
    GpsThread.SetSinks(ProgramReaderSinks());
    // Start traces "Could not create GPS thread!" itself when it fails; the program goes on
    // without a reader.
    return GpsThread.Start() ? 1 : 0;
}

int CTessaray_PCApp::EnumSerialPorts() {
    for (int n = 1; n <= kComPortProbeCount; ++n) {
        iComPortTable[n - 1] = 0;
        const std::string path = platform::PortDevicePath(n);
        if (path.empty()) continue;
        // Asked without opening: opening a serial device raises DTR and RTS, which resets
        // some attached devices, only to learn that the port is there and ours to use.
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0 || !S_ISCHR(st.st_mode)) continue;
        if (::access(path.c_str(), R_OK | W_OK) != 0) continue;
        iComPortTable[n - 1] = n;
    }
    return 1;
}

void CTessaray_PCApp::EndProcess(int code, bool tellPending) {
    std::function<void(int)> hook;
    std::vector<std::function<void()>> savers;
    {
        std::lock_guard<std::mutex> lock(g_endHookMutex);
        hook = g_endHook;
        savers = g_endSavers;
    }
    for (const auto& save : savers) save();
    // What went wrong on the way out (the archive not saved) is shown before the end.
    if (tellPending) ui::ShowPendingNotices();
    ReleaseForExit();
    if (hook) {
        hook(code);
        return;
    }
    platform::UnlockConfigFolder();
    std::fflush(nullptr);
#if defined(__SANITIZE_ADDRESS__)
    // The immediate exit skips the leak check that a normal return would run; a leak found
    // here ends the process with the checker's own exit code.
    __lsan_do_leak_check();
#endif
    std::_Exit(code);
}

void CTessaray_PCApp::SetEndProcessHook(std::function<void(int)> hook) {
    std::lock_guard<std::mutex> lock(g_endHookMutex);
    g_endHook = std::move(hook);
}

void CTessaray_PCApp::AddEndProcessSaver(std::function<void()> save) {
    std::lock_guard<std::mutex> lock(g_endHookMutex);
    g_endSavers.push_back(std::move(save));
}

bool CTessaray_PCApp::HasEndProcessHook() {
    std::lock_guard<std::mutex> lock(g_endHookMutex);
    return static_cast<bool>(g_endHook);
}
