#include "shell/end_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cerrno>

#include "engine/gps.h"
#include "platform/serial.h"
#include "platform/trace.h"
#include "shell/Tessaray_PC.h"

namespace {

int g_pipe[2] = {-1, -1};

// Only what is safe in a handler: the number goes to the pipe, the event loop does the rest.
void OnEndSignal(int signo) {
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signo);
    [[maybe_unused]] const ssize_t n = ::write(g_pipe[1], &number, 1);
    errno = saved;
}

void EndOnSignal(int signo) {
    platform::Trace("Tessaray_PC: signal %d: the settings are saved and the program ends\n", signo);
    CTessaray_PCApp& app = theApp();
    app.bExiting = 1;
    // As the exit saves it: marked as closed normally. An archive this run never loaded
    // holds the user's settings, not ours.
    g_GPS.Info.bCfgMarker = 0;
    if (app.bArchiveLoaded) g_GPS.SaveConfigFile();
    // Nobody may be there to answer a box.
    CTessaray_PCApp::EndProcess(128 + signo, false);
}

}  // namespace

void InstallEndSignals() {
    if (g_pipe[0] >= 0) return;
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        platform::Trace("Tessaray_PC: no pipe for the end signals: %s\n",
                        platform::ErrorText(errno).c_str());
        return;
    }
    auto* notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        unsigned char number = 0;
        if (::read(g_pipe[0], &number, 1) == 1) EndOnSignal(number);
    });
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signo : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(signo, &action, nullptr);
}
