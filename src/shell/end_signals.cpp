#include "shell/end_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>
#include <QtGlobal>
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

// As the program's normal end, less the receiver's shutdown.
void EndSaving(int code) {
    CTessaray_PCApp& app = theApp();
    app.bExiting = 1;
    // As the exit saves it: marked as closed normally. An archive this run never loaded
    // holds the user's settings, not ours.
    g_GPS.Info.bCfgMarker = 0;
    if (app.bArchiveLoaded) g_GPS.SaveConfigFile();
    // Nobody may be there to answer a box.
    CTessaray_PCApp::EndProcess(code, false);
}

void EndOnSignal(int signo) {
    platform::Trace("Tessaray_PC: signal %d: the settings are saved and the program ends\n", signo);
    EndSaving(128 + signo);
}

// Qt's display plugin warns so, then calls exit(1), when the connection to the display breaks
// (both its own check and its Xlib I/O error handler). The warning is the last moment at which
// the program is whole: exit handlers run after some objects are already destroyed.
constexpr char kDisplayLost[] = "The X11 connection broke";
QtMessageHandler g_previousMessageHandler = nullptr;

void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (g_previousMessageHandler) g_previousMessageHandler(type, context, text);
    if (type != QtWarningMsg || !text.startsWith(QLatin1String(kDisplayLost))) return;
    // Only the thread that owns the pages and the record may end the program.
    const QCoreApplication* application = QCoreApplication::instance();
    if (!application || QThread::currentThread() != application->thread()) return;
    static bool ending = false;
    if (ending) return;
    ending = true;
    platform::Trace(
        "Tessaray_PC: the display is gone: the settings are saved and the program "
        "ends\n");
    EndSaving(1);
}

}  // namespace

void InstallEndSignals() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    // A write past the file-size limit fails with EFBIG, which the writer reports, instead of
    // ending the program without a word.
    ::signal(SIGXFSZ, SIG_IGN);
    g_previousMessageHandler = qInstallMessageHandler(OnQtMessage);
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
