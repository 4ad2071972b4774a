// The real program headless: welcome page, COM probe, profile archive, hand-over, About box.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/ports.h"
#include "platform/trace.h"
#include "shell/STARTUP3.h"
#include "shell/Tessaray_PC.h"
#include "shell/Tessaray_PCDlg.h"
#include "support/qt/shell_harness.h"
#include "ui/automation.h"
#include "ui/pictures.h"

namespace {

struct Pty {  // its slave side stands for a serial device
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    std::string slave =
        master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0 ? ptsname(master) : "";
    ~Pty() {
        if (master >= 0) close(master);
    }
};

// Stands in for the start-up dialog: records that the hand-over reached it and ends.
class HandOverPage : public ui::Dialog {
public:
    HandOverPage() : ui::Dialog(ui::DialogTemplate{.id = 210}) {}
    ui::BOOL OnInitDialog() override {
        ++runs;
        welcomeHidden = welcome && !welcome->IsWindowVisible();
        SetTimer(1, 10);
        return ui::TRUE;
    }
    void OnTimer(ui::UINT) override {
        KillTimer(1);
        EndDialog(ui::IDOK);
    }
    static inline int runs = 0;
    static inline bool welcomeHidden = false;
    static inline ui::Dialog* welcome = nullptr;
};

CTessaray_PCDlg* Welcome() {
    ui::Host* host = ui::Host::Existing();
    return host ? dynamic_cast<CTessaray_PCDlg*>(host->TopPage()) : nullptr;
}

std::string ArchivePath() {
    return shelltest::ConfigDir() + "/Tessaray_PC.CFG";
}

// Runs the program at `scale`; `steps` run once the welcome page shows. The end code.
int RunProgram(double scale, ui::StepRunner& run) {
    shelltest::StartQt();
    shelltest::MakeHost(scale).show();
    static int endCode;
    endCode = -1;
    HandOverPage::runs = 0;
    HandOverPage::welcomeHidden = false;
    CTessaray_PCApp::SetEndProcessHook([](int code) { endCode = code; });
    SetStartupDialogFactory([] { return std::make_unique<HandOverPage>(); });
    run.Start();
    EXPECT_EQ(theApp().InitInstance(), 0);
    EXPECT_TRUE(run.Done());
    return endCode;
}

TEST(MainWindow, WelcomeProbesPortsLoadsArchiveAndHandsOver) {
    shelltest::StartQt();
    Pty com3;
    ASSERT_FALSE(com3.slave.empty());
    setenv("TESSARAY_PC_COM3", com3.slave.c_str(), 1);
    setenv("TESSARAY_PC_COM7", (shelltest::TempDir() + "/no-such-device").c_str(), 1);
    // A regular file is no serial port, whatever its rights.
    shelltest::WriteFile(shelltest::TempDir() + "/plain-file", "x");
    setenv("TESSARAY_PC_COM8", (shelltest::TempDir() + "/plain-file").c_str(), 1);
    platform::SetDetectedPortsForTest({});
    CTessaray_PCApp& app = theApp();
    for (int& e : app.iComPortTable) e = 99;
    ui::StepRunner run;
    run.AddWait([&] { return Welcome() && app.iComPortTable[2] == 3; }, 5000,
                [] { ADD_FAILURE() << "ports not probed"; });
    run.Add([&] {
        CTessaray_PCDlg* w = Welcome();
        HandOverPage::welcome = w;
        EXPECT_EQ(shelltest::Texts(w, {1009, 1001}), "Tessaray 2.2.0.0|COMM");
        // Source NONE, receiver not found: the base picture. No watchdog, no archive yet.
        w->UpdateNavBar();
        EXPECT_EQ(std::vector<int>({w->GetCount(1003), w->GetPictureId(1004), app.bArchiveLoaded,
                                    w->IsTimerRunning(CTessaray_PCDlg::kPortProbeTimer),
                                    w->IsTimerRunning(CTessaray_PCDlg::kHandOverTimer),
                                    w->IsTimerRunning(11)}),
                  std::vector<int>({6, 286, 0, 0, 1, 0}));
        // Only the close box acts on the welcome page.
        ui::UserClickDesign(61, 429);
        ui::UserClickDesign(288, 429);
        shelltest::Shot("welcome_scale_1.0");
    });
    EXPECT_EQ(RunProgram(1.0, run), -1);
    EXPECT_TRUE(HandOverPage::runs == 1 && HandOverPage::welcomeHidden);
    EXPECT_EQ(std::vector<int>(app.iComPortTable, app.iComPortTable + kComPortProbeCount),
              std::vector<int>({0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    struct stat st {};
    EXPECT_EQ(stat(ArchivePath().c_str(), &st), 0) << ArchivePath();
    EXPECT_EQ(app.bArchiveLoaded, 1);
    EXPECT_FLOAT_EQ(app.fScaleX, static_cast<float>(app.iWinWidth / 370.0));
    EXPECT_EQ(ui::Dialog::RunningLoops(), 0);
}

// Closing during the welcome page keeps the user's archive.
TEST(MainWindow, ClosingDuringWelcomeKeepsTheUsersArchive) {
    shelltest::StartQt();
    mkdir(shelltest::ConfigDir().c_str(), 0700);
    const std::string userArchive = "the user's own archive, not ours\r\n";
    shelltest::WriteFile(ArchivePath(), userArchive);
    platform::ClearTrace();
    ui::StepRunner run;
    run.AddWait([] { return Welcome() != nullptr; }, 5000,
                [] {
                    ADD_FAILURE() << "no page";  // the program would wait for ever
                    std::_Exit(3);
                });
    run.Add([] {
        EXPECT_NEAR(theApp().fScaleX, 1.5, 0.05);
        shelltest::Shot("welcome_scale_1.5");
        Welcome()->KillTimer(CTessaray_PCDlg::kHandOverTimer);
        ui::UserCloseWindow();
    });
    EXPECT_EQ(RunProgram(1.5, run), 0);
    EXPECT_EQ(HandOverPage::runs, 0);
    EXPECT_TRUE(platform::TraceContains("Tessaray_PC: CBaseDialog::OnDestroy() Start!"));
    EXPECT_EQ(shelltest::ReadFile(ArchivePath()), userArchive);
    EXPECT_FALSE(theApp().GpsThread.IsRunning());
}

}  // namespace
