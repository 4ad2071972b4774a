#define QTTEST_NO_ENVIRONMENT
#include "support/qt/shell_harness.h"

#include <QApplication>
#include <QFont>
#include <QPixmap>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "engine/gps.h"
#include "engine/nmea.h"
#include "engine/scomm.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "platform/ports.h"
#include "platform/trace.h"
#include "shell/BaseDialog.h"
#include "shell/DiffSource.h"
#include "shell/ExitInstance.h"
#include "shell/STARTUP3.h"
#include "shell/ScreenRegistry.h"
#include "shell/Tessaray_PC.h"
#include "support/qt/qt_env.h"
#include "ui/dialog.h"
#include "ui/fonts.h"

namespace shelltest {

namespace {

// The application object as a fresh process holds it. The reader stops first: it writes some
// of these fields.
void FreshApp() {
    CTessaray_PCApp& app = theApp();
    if (app.GpsThread.IsRunning()) app.GpsThread.Stop(5000);
    app.GpsThread.SetSinks(nullptr);  // a test's own sinks are gone with the test
    app.GpsThread.SetComm(nullptr);
    for (std::atomic<int>* flag :
         {&app.bPortOpen, &app.bReceiverFound, &app.bSentenceReceived, &app.bBytesReceived,
          &app.bModemOK, &app.bDemoMode, &app.bBin1Position, &app.iHeadingAge, &app.iAreaUnits,
          &app.bNMEALogOn, &app.bRawLogOn, &app.bBinLogOn, &app.bPointSentenceLogOn,
          &app.bPointGGAPending, &app.bPointGSVPending, &app.bReadBackUnanswered})
        flag->store(0);
    app.bStartupPhase = 1;
    g_GPS.Info.eReceiverType = RECEIVER_GPS;
    app.iBin1Rate = 1;
    app.uFramesHeard = 0;
    app.uRepliesHeard = 0;
    app.wLogFlags = 0;
    for (int f = 0; f < LOGFILE_COUNT; ++f) app.SetLogFile(static_cast<eLogFile>(f), "");
    app.ClearPlotRef();
    app.TakePlotRefChanged();
    for (int32_t* field :
         {&app.bExiting, &app.iWinX, &app.iWinY, &app.iWinWidth, &app.iWinHeight, &app.iNavBarWidth,
          &app.iNavBarHeight, &app.bSuspendTimers, &app.bReceiverFoundShown, &app.bSaveOnExit,
          &app.bSearchRequested, &app.iLinkLostCount, &app.bCloseRetry, &app.bExitInProgress,
          &app.bArchiveLoaded})
        *field = 0;
    app.iExitChoice = EXIT_AND_SAVE;
    app.fScaleX = app.fScaleY = 1.0f;
    app.iScalePercent = 100;
    app.iScreenGroup = 1;
    for (int32_t& e : app.iComPortTable) e = 0;
}

// What one test leaves in the program's globals (port, clock, screens, link search, exit and
// end-of-process hooks, the record) would steer the next test of the process: each starts on
// the state of a fresh process.
class FreshProgram : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        DestroyScreens();
        for (int32_t& opened : bScreenOpened) opened = 0;
        FreshApp();
        if (g_Comm.bOpen()) g_Comm.ClosePort();
        g_Comm.SetDevice(nullptr);
        g_Comm.SetModemResetHook(nullptr);
        platform::SetClock(nullptr);
        g_TxNMEA.SetComm(nullptr);
        g_TxNMEA.SetRecord(nullptr);
        g_TxNMEA.SetBaudHandOverHook(nullptr);
        CGPS::SetUnlockHook(nullptr);
        CTessaray_PCApp::SetEndProcessHook(nullptr);
        SetStartupDialogFactory(nullptr);
        RearmExitForTest();
        bLinkWatchOn = bBaudSearchOn = iLinkWatchTicks = bTerminalActive = iSearchStartBaud = 0;
        iTargetBaud = iActiveBaud = 38400;
        bSuppressPolling = 0;
        g_dwLastPollTick = 0;
        bExtThisPort = 1;
        g_bRTKRefInvalid = 0;
        g_ulDiffReplies = g_ulJIReplies = g_ulJRTKPositionReplies = 0;
        g_GPS.Info.Init();
        g_GPS.ResetSubRecords();
        g_GPS.Info.Settings.WizardSnapshot = WizardInfo{};
        ResetOptionCode();
        for (int n = 1; n <= kComPortProbeCount; ++n)
            unsetenv(("TESSARAY_PC_COM" + std::to_string(n)).c_str());
        platform::SetDetectedPortsForTest({});
        platform::ClearTrace();
    }
};

// Every test starts on an empty temporary folder: files an earlier test of the process left
// there (archive, terminal file, profiles, logs, pipes) would change what the program loads.
// Qt's runtime folder stays.
class FreshFolders : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override {
        namespace fs = std::filesystem;
        const fs::path root = qttest::TempRoot();
        std::error_code ec;
        for (const fs::directory_entry& e : fs::directory_iterator(root, ec))
            if (e.path().filename() != "runtime") fs::remove_all(e.path(), ec);
        for (const char* sub : {"config", "home"}) fs::create_directories(root / sub, ec);
    }
};

[[maybe_unused]] const bool kFreshFolders = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshFolders);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FreshProgram);
    return true;
}();

}  // namespace

void StartQt() {
    if (QCoreApplication::instance()) return;
    qttest::StartApp();
    setenv("TESSARAY_PC_CONFIG_DIR", ConfigDir().c_str(), 1);
}

std::string TempDir() {
    return qttest::TempRoot();
}

std::string ConfigDir() {
    return TempDir() + "/config/Tessaray_PC";
}

ui::Host& MakeHost(double scale) {
    QFont best = ui::DialogFont();
    double bestError = 1e9;
    for (int px = 6; px <= 40; ++px) {
        QFont f = ui::DialogFont();
        f.setPixelSize(px);
        const QSize s = ui::Host::ClientSizeFor(f);
        const double error =
            std::fabs(s.width() / 370.0 - scale) + std::fabs(s.height() / 510.0 - scale);
        if (error < bestError) bestError = error, best = f;
    }
    // A window of another scale, left by an earlier test of the process, is replaced.
    if (ui::Host* existing = ui::Host::Existing()) {
        if (existing->ClientSize() == ui::Host::ClientSizeFor(best)) return *existing;
        delete existing;
    }
    QApplication::setFont(best);
    return *new ui::Host(best);
}

ui::Host& StartProgram(double scale) {
    StartQt();
    ui::Host& host = MakeHost(scale);
    CTessaray_PCApp& app = theApp();
    SetApp(&app);
    app.iWinWidth = host.ClientSize().width();
    app.iWinHeight = host.ClientSize().height();
    app.fScaleX = host.fScaleX();
    app.fScaleY = host.fScaleY();
    app.iNavBarWidth = static_cast<int>(282 * app.fScaleX);
    app.iNavBarHeight = static_cast<int>(28 * app.fScaleY);
    host.show();
    return host;
}

void Shot(const std::string& name) {
    ShotOf(ui::Host::Existing(), name);
}

void ShotOf(QWidget* window, const std::string& name) {
    const char* dir = getenv("TESSARAY_PC_SHOTS");
    if (dir && *dir && window)
        window->grab().save(QString::fromStdString(std::string(dir) + "/" + name + ".png"));
}

std::string Texts(const ui::Dialog* page, std::initializer_list<int> ids) {
    std::string out;
    for (int id : ids) out += (out.empty() ? "" : "|") + page->GetDlgItemText(id);
    return out;
}

std::string Shown(const ui::Dialog* page, std::initializer_list<int> ids) {
    std::string out;
    for (int id : ids) out += page->IsItemVisible(id) ? '1' : '0';
    return out;
}

}  // namespace shelltest
