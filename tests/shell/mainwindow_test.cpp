// The real program headless: welcome page, COM probe, profile archive, hand-over.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <memory>

#include "platform/ports.h"
#include "platform/trace.h"
#include "shell/STARTUP3.h"
#include "shell/Tessaray_PC.h"
#include "shell/Tessaray_PCDlg.h"
#include "support/qt/shell_harness.h"
#include "ui/automation.h"
#include "ui/pictures.h"

namespace {

// A pseudo-terminal whose slave side stands for a serial device.
struct Pty {
    int master = -1;
    std::string slave;
    Pty() {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0) {
            slave = ptsname(master);
        }
    }
    ~Pty() {
        if (master >= 0) close(master);
    }
};

// Stands in for the start-up dialog: records that the hand-over reached it and ends.
struct HandOver {
    int runs = 0;
    int loopsSeen = 0;
    bool welcomeHidden = false;
};

class HandOverPage : public ui::Dialog {
public:
    HandOverPage(HandOver& seen, ui::Dialog* welcome)
        : ui::Dialog(Template()), seen_(seen), welcome_(welcome) {}
    static ui::DialogTemplate Template() {
        ui::DialogTemplate t;
        t.id = 210;
        t.controls.push_back({1000, ui::Kind::Picture, {0, 0, 370, 510}, "", 0, 130, {}});
        return t;
    }
    ui::BOOL OnInitDialog() override {
        ++seen_.runs;
        seen_.loopsSeen = ui::Dialog::RunningLoops();
        seen_.welcomeHidden =
            welcome_ && !welcome_->IsWindowVisible() && ui::Host::Instance().TopPage() == this;
        SetTimer(1, 10);
        return ui::TRUE;
    }
    void OnTimer(ui::UINT) override {
        KillTimer(1);
        EndDialog(ui::IDOK);
    }

private:
    HandOver& seen_;
    ui::Dialog* welcome_;
};

CTessaray_PCDlg* Welcome() {
    ui::Host* host = ui::Host::Existing();
    return host ? dynamic_cast<CTessaray_PCDlg*>(host->TopPage()) : nullptr;
}

std::string ArchivePath() {
    return shelltest::ConfigDir() + "/Tessaray_PC.CFG";
}

TEST(MainWindow, WelcomeProbesPortsLoadsArchiveAndHandsOver) {
    shelltest::StartQt();
    shelltest::MakeHost(1.0).show();
    Pty com3, com5;
    ASSERT_FALSE(com3.slave.empty());
    ASSERT_FALSE(com5.slave.empty());
    setenv("TESSARAY_PC_COM3", com3.slave.c_str(), 1);
    setenv("TESSARAY_PC_COM5", com5.slave.c_str(), 1);
    setenv("TESSARAY_PC_COM7", (shelltest::TempDir() + "/no-such-device").c_str(), 1);
    // A regular file is no serial port, whatever its rights.
    const std::string plainFile = shelltest::TempDir() + "/plain-file";
    shelltest::WriteFile(plainFile, "x");
    setenv("TESSARAY_PC_COM8", plainFile.c_str(), 1);
    platform::SetDetectedPortsForTest({});
    CTessaray_PCApp& app = theApp();
    for (int& e : app.iComPortTable) e = 99;

    HandOver seen;
    ui::Dialog* welcome = nullptr;
    SetStartupDialogFactory([&] { return std::make_unique<HandOverPage>(seen, welcome); });

    ui::StepRunner run;
    run.AddWait([] { return Welcome() != nullptr; }, 5000, [] { ADD_FAILURE() << "no page"; });
    run.Add([&] { welcome = Welcome(); });
    run.AddWait([&] { return app.iComPortTable[2] == 3; }, 5000,
                [] { ADD_FAILURE() << "ports not probed"; });
    run.Add([&] {
        CTessaray_PCDlg* w = Welcome();
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->GetDlgItemText(1009), "Tessaray 2.2.0.0");
        EXPECT_EQ(w->GetCount(1003), 6);
        EXPECT_EQ(w->GetDlgItemText(1001), "COMM");
        // Source NONE, receiver not found: the base picture.
        w->UpdateNavBar();
        EXPECT_EQ(w->GetPictureId(1004), 286);
        EXPECT_FALSE(w->IsTimerRunning(CTessaray_PCDlg::kPortProbeTimer));
        EXPECT_TRUE(w->IsTimerRunning(CTessaray_PCDlg::kHandOverTimer));
        // No watchdog on the welcome page, and no archive yet.
        EXPECT_FALSE(w->IsTimerRunning(11));
        EXPECT_EQ(app.bArchiveLoaded, 0);
        // Only the close box acts on the welcome page.
        ui::UserClickDesign(61, 429);
        ui::UserClickDesign(288, 429);
        shelltest::Shot("welcome_scale_1.0");
    });
    run.Start();
    EXPECT_EQ(app.InitInstance(), 0);
    EXPECT_TRUE(run.Done());

    EXPECT_EQ(seen.runs, 1);
    EXPECT_TRUE(seen.welcomeHidden);
    const int expected[kComPortProbeCount] = {0, 0, 3, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < kComPortProbeCount; ++i) {
        EXPECT_EQ(app.iComPortTable[i], expected[i]) << "COM" << i + 1;
    }
    struct stat st {};
    EXPECT_EQ(stat(ArchivePath().c_str(), &st), 0) << ArchivePath();
    EXPECT_EQ(app.bArchiveLoaded, 1);
    EXPECT_EQ(app.iWinWidth, ui::Host::Instance().ClientSize().width());
    EXPECT_FLOAT_EQ(app.fScaleX, static_cast<float>(app.iWinWidth / 370.0));
    EXPECT_EQ(app.iScalePercent, static_cast<int>(app.fScaleX * 100 + 0.01));
    EXPECT_EQ(app.iNavBarWidth, ui::ScaleX(ui::kNavBarRect.x + ui::kNavBarRect.w, app.fScaleX) -
                                    ui::ScaleX(ui::kNavBarRect.x, app.fScaleX));
    EXPECT_EQ(ui::Dialog::RunningLoops(), 0);
}

TEST(MainWindow, ClosingDuringWelcomeKeepsTheUsersArchive) {
    shelltest::StartQt();
    shelltest::MakeHost(1.5).show();
    mkdir(shelltest::ConfigDir().c_str(), 0700);
    const std::string userArchive = "the user's own archive, not ours\r\n";
    shelltest::WriteFile(ArchivePath(), userArchive);

    int endCode = -1;
    CTessaray_PCApp::SetEndProcessHook([&](int code) { endCode = code; });
    HandOver seen;
    SetStartupDialogFactory([&] { return std::make_unique<HandOverPage>(seen, Welcome()); });
    platform::ClearTrace();

    ui::StepRunner run;
    run.AddWait([] { return Welcome() != nullptr; }, 5000, [] { ADD_FAILURE() << "no page"; });
    run.Add([] {
        EXPECT_NEAR(theApp().fScaleX, 1.5, 0.05);
        shelltest::Shot("welcome_scale_1.5");
        ui::UserCloseWindow();
    });
    run.Start();
    EXPECT_EQ(theApp().InitInstance(), 0);
    EXPECT_TRUE(run.Done());

    EXPECT_EQ(endCode, 0);
    EXPECT_EQ(seen.runs, 0);
    EXPECT_TRUE(platform::TraceContains("Tessaray_PC: CBaseDialog::OnDestroy() Start!"));
    EXPECT_EQ(shelltest::ReadFile(ArchivePath()), userArchive);
    EXPECT_FALSE(theApp().GpsThread.IsRunning());
}

TEST(MainWindow, CloseBoxByMouseEndsWithoutQuestion) {
    shelltest::StartQt();
    shelltest::MakeHost(1.0).show();
    int endCode = -1;
    CTessaray_PCApp::SetEndProcessHook([&](int code) { endCode = code; });
    HandOver seen;
    SetStartupDialogFactory([&] { return std::make_unique<HandOverPage>(seen, Welcome()); });
    ui::StepRunner run;
    run.AddWait([] { return Welcome() != nullptr; }, 5000, [] { ADD_FAILURE() << "no page"; });
    run.Add([] { ui::UserClickDesign(306, 88); });
    run.Start();
    EXPECT_EQ(theApp().InitInstance(), 0);
    EXPECT_EQ(endCode, 0);
    EXPECT_EQ(seen.runs, 0);
    struct stat st {};
    EXPECT_NE(stat(ArchivePath().c_str(), &st), 0);
}

}  // namespace

namespace {

QWidget* WindowTitled(const char* title) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowTitle() == QString::fromUtf8(title)) return w;
    }
    return nullptr;
}

TEST(MainWindow, AboutBoxFromTheContextMenu) {
    shelltest::StartQt();
    ui::Host& host = shelltest::MakeHost(1.0);
    host.show();
    int endCode = -1;
    CTessaray_PCApp::SetEndProcessHook([&](int code) { endCode = code; });
    bool aboutSeen = false;
    ui::StepRunner run;
    run.AddWait([] { return Welcome() != nullptr; }, 5000, [] { ADD_FAILURE() << "no page"; });
    run.Add([&] {
        Welcome()->KillTimer(CTessaray_PCDlg::kHandOverTimer);
        QContextMenuEvent e(QContextMenuEvent::Mouse, QPoint(100, 200),
                            host.mapToGlobal(QPoint(100, 200)));
        QApplication::sendEvent(&host, &e);
    });
    // A scenario that goes wrong must not leave the program waiting for ever.
    auto giveUp = [](const char* what) {
        return [what] {
            ADD_FAILURE() << what;
            std::fflush(nullptr);
            std::_Exit(3);
        };
    };
    run.AddWait([] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()) != nullptr; },
                5000, giveUp("no context menu"));
    run.Add([] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_EQ(menu->actions().size(), 1);
        EXPECT_EQ(menu->actions()[0]->text().toStdString(), "&About Tessaray_PC...");
        menu->actions()[0]->trigger();
        menu->close();
    });
    run.AddWait([] { return WindowTitled("About Tessaray_PC") != nullptr; }, 5000,
                giveUp("no About box"));
    run.Add([&] {
        QWidget* about = WindowTitled("About Tessaray_PC");
        aboutSeen = true;
        shelltest::ShotOf(about, "about_box");
        QWidget* ok = about->findChild<QWidget*>(QStringLiteral("id1"));
        ASSERT_NE(ok, nullptr);
        ui::UserClick(ok);
    });
    run.AddWait([] { return WindowTitled("About Tessaray_PC") == nullptr; }, 5000,
                giveUp("About box stays"));
    run.Add([] {
        EXPECT_NE(Welcome(), nullptr);
        ui::UserClickDesign(306, 88);
    });
    run.Start();
    EXPECT_EQ(theApp().InitInstance(), 0);
    EXPECT_TRUE(aboutSeen);
    EXPECT_EQ(endCode, 0);
}

}  // namespace
