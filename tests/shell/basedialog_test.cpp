// The screen base on test pages: switching, revisits, timers, the navigation bar by mouse
// and the status strip on the page.

#include "shell/BaseDialog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "engine/gps.h"
#include "platform/trace.h"
#include "shell/CHECK.h"
#include "shell/Tessaray_PC.h"
#include "support/qt/shell_harness.h"
#include "support/qt/test_pages.h"
#include "ui/automation.h"

using shelltest::Page;
using shelltest::TestPage;

namespace {

bool g_finished = false;

void SetUpProgram(double scale) {
    shelltest::StartProgram(scale);
    shelltest::RegisterTestPages();
}

// Runs the steps inside the loop of the GPS position page, which the test opens.
void RunOnPositionPage(ui::StepRunner& run) {
    TestPage* a = Page(SCR_GPS_1);
    ASSERT_NE(a, nullptr);
    run.Start();
    a->DoModal();
    EXPECT_TRUE(g_finished);
    EXPECT_EQ(ui::Dialog::RunningLoops(), 0);
}

// A scenario that goes wrong must not leave its loops waiting for ever.
void Fail(const char* what) {
    ADD_FAILURE() << "timed out waiting for " << what;
    std::fflush(nullptr);
    std::_Exit(3);
}

// Last step of a scenario: ends every page loop, innermost first.
void EndAll() {
    g_finished = true;
    for (eScreen s :
         {SCR_SBAS_1, SCR_HEADING_1, SCR_LOGS_1, SCR_TERMINAL_1, SCR_GPS_2, SCR_GPS_1}) {
        if (CBaseDialog* d = ScreenIfBuilt(s)) {
            if (d->IsLoopRunning()) d->EndDialog(ui::IDCANCEL);
        }
    }
}

TEST(BaseDialog, RevisitCallsOnInitDialogWithoutNewLoop) {
    SetUpProgram(1.0);
    TestPage* a = Page(SCR_GPS_1);
    ui::StepRunner run;
    run.AddWait([&] { return a->IsWindowVisible(); }, 5000, [] { Fail("position page"); });
    run.Add([&] {
        EXPECT_EQ(ui::Dialog::RunningLoops(), 1);
        EXPECT_EQ(bScreenOpened[SCR_GPS_1], 1);
        ui::UserSelectTab(a->GetDlgItem(1006), 1);
    });
    run.AddWait([&] { return ScreenIfBuilt(SCR_GPS_2) && Page(SCR_GPS_2)->IsWindowVisible(); },
                5000, [] { Fail("satellites page"); });
    run.Add([&] {
        TestPage* b = Page(SCR_GPS_2);
        EXPECT_EQ(ui::Dialog::RunningLoops(), 2);
        EXPECT_EQ(ui::Host::Instance().TopPage(), b);
        EXPECT_EQ(a->leaves, 1);
        EXPECT_EQ(a->m_bClosing, 1);
        EXPECT_FALSE(a->IsTimerRunning(1));
        EXPECT_FALSE(a->IsTimerRunning(kLinkWatchTimer));
        EXPECT_EQ(b->GetCurSel(1006), 1);
        ui::UserSelectTab(b->GetDlgItem(1006), 0);
    });
    run.AddWait([&] { return a->IsWindowVisible(); }, 5000, [] { Fail("position again"); });
    run.Add([&] {
        TestPage* b = Page(SCR_GPS_2);
        EXPECT_EQ(a->inits, 2);
        EXPECT_EQ(ui::Dialog::RunningLoops(), 2);
        EXPECT_EQ(a->m_bClosing, 0);
        EXPECT_TRUE(a->IsTimerRunning(1));
        EXPECT_TRUE(a->IsTimerRunning(kLinkWatchTimer));
        EXPECT_EQ(a->GetCurSel(1006), 0);
        EXPECT_FALSE(b->IsWindowVisible());
        ui::UserSelectTab(a->GetDlgItem(1006), 1);
    });
    run.AddWait([&] { return Page(SCR_GPS_2)->IsWindowVisible(); }, 5000,
                [] { Fail("satellites again"); });
    run.Add([&] {
        EXPECT_EQ(Page(SCR_GPS_2)->inits, 2);
        EXPECT_EQ(ui::Dialog::RunningLoops(), 2);
        // Selecting the page's own tab does nothing.
        ui::UserSelectTab(Page(SCR_GPS_2)->GetDlgItem(1006), 1);
    });
    run.Add([&] {
        ui::ProcessPending();
        EXPECT_EQ(Page(SCR_GPS_2)->inits, 2);
        shelltest::Shot("framework_page_scale_1.0");
        EndAll();
    });
    RunOnPositionPage(run);
}

TEST(BaseDialog, DisabledPageComesBackOnSixthTick) {
    SetUpProgram(1.0);
    TestPage* a = Page(SCR_GPS_1);
    ui::StepRunner run;
    run.AddWait([&] { return a->IsWindowVisible(); }, 5000, [] { Fail("position page"); });
    run.Add([&] {
        a->EnableWindow(ui::FALSE);
        for (int tick = 1; tick <= 5; ++tick) {
            ASSERT_TRUE(a->FireTimer(kLinkWatchTimer));
            EXPECT_FALSE(a->IsWindowEnabled()) << "tick " << tick;
        }
        ASSERT_TRUE(a->FireTimer(kLinkWatchTimer));
        EXPECT_TRUE(a->IsWindowEnabled());
        // The counter starts again from zero.
        a->EnableWindow(ui::FALSE);
        for (int tick = 1; tick <= 5; ++tick) a->FireTimer(kLinkWatchTimer);
        EXPECT_FALSE(a->IsWindowEnabled());
        a->FireTimer(kLinkWatchTimer);
        EXPECT_TRUE(a->IsWindowEnabled());
        // A leaving page only kills its timers at its next tick.
        a->OnCancel();
        a->m_uLinkWatchTimer = a->SetTimer(kLinkWatchTimer, 5000);
        a->FireTimer(kLinkWatchTimer);
        EXPECT_FALSE(a->IsTimerRunning(kLinkWatchTimer));
        EndAll();
    });
    RunOnPositionPage(run);
}

TEST(BaseDialog, SuspendedTimersAndKeepRunning) {
    SetUpProgram(1.0);
    TestPage* a = Page(SCR_GPS_1);
    CTessaray_PCApp& app = theApp();
    ui::StepRunner run;
    run.AddWait([&] { return a->IsWindowVisible(); }, 5000, [] { Fail("position page"); });
    run.Add([&] {
        app.bSuspendTimers = 1;
        const int ticks = a->ticks;
        ASSERT_TRUE(a->FireTimer(1));
        EXPECT_EQ(a->ticks, ticks);
        EXPECT_FALSE(a->IsTimerRunning(1));
        EXPECT_FALSE(a->IsTimerRunning(2));
        ASSERT_TRUE(a->FireTimer(kLinkWatchTimer));
        EXPECT_FALSE(a->IsTimerRunning(kLinkWatchTimer));

        // The next activation clears the freeze and starts everything again.
        a->ShowWindow(ui::SW_SHOW);
        a->OnInitDialog();
        EXPECT_EQ(app.bSuspendTimers, 0);
        EXPECT_TRUE(a->IsTimerRunning(1));
        EXPECT_TRUE(a->IsTimerRunning(kLinkWatchTimer));

        // A page that keeps running (the terminal) keeps its base timers while frozen; the
        // base handler is what such a page calls from its own.
        app.bSuspendTimers = 1;
        a->bKeepTimersRunning = 1;
        a->CBaseDialog::OnTimer(kLinkWatchTimer);
        EXPECT_TRUE(a->IsTimerRunning(kLinkWatchTimer));
        a->bKeepTimersRunning = 0;
        a->CBaseDialog::OnTimer(kLinkWatchTimer);
        EXPECT_FALSE(a->IsTimerRunning(kLinkWatchTimer));
        a->bKeepTimersRunning = 1;
        a->OnInitDialog();
        EXPECT_EQ(a->bKeepTimersRunning, 0);
        EXPECT_EQ(app.bSuspendTimers, 0);
        // The watchdog restarts itself after a hundred ticks.
        iLinkWatchTicks = 0;
        for (int i = 0; i < 101; ++i) a->FireTimer(kLinkWatchTimer);
        EXPECT_EQ(iLinkWatchTicks, 0);
        EXPECT_TRUE(a->IsTimerRunning(kLinkWatchTimer));
        EXPECT_EQ(bLinkWatchOn, 1);
        EndAll();
    });
    RunOnPositionPage(run);
}

TEST(BaseDialog, EnterEscapeAndCloseButtonDoNotEndAScreen) {
    SetUpProgram(1.0);
    TestPage* a = Page(SCR_GPS_1);
    ui::StepRunner run;
    run.AddWait([&] { return a->IsWindowVisible(); }, 5000, [] { Fail("position page"); });
    run.Add([&] {
        ui::UserKey(a->GetDlgItem(1022), Qt::Key_Return);
        ui::UserKey(a->Widget(), Qt::Key_Return);
        ui::UserKey(a->Widget(), Qt::Key_Escape);
        // The close button runs the close box; its exit dialog's Cancel keeps the user here.
        ui::UserCloseWindow();
    });
    run.AddWait([] { return dynamic_cast<CCHECK*>(ui::Host::Instance().TopPage()) != nullptr; },
                5000, [] { Fail("exit dialog"); });
    run.Add([] { ui::UserClick(ui::Host::Instance().TopPage()->GetDlgItem(ui::IDCANCEL)); });
    run.AddWait([&] { return ui::Host::Instance().TopPage() == a; }, 5000,
                [] { Fail("position page again"); });
    run.Add([&] {
        ui::ProcessPending();
        EXPECT_TRUE(a->IsWindowVisible());
        EXPECT_EQ(a->leaves, 0);
        EXPECT_EQ(a->m_bClosing, 0);
        EXPECT_EQ(ui::Dialog::RunningLoops(), 1);
        EndAll();
    });
    RunOnPositionPage(run);
}

// Centre of navigation row `row` in design units.
std::pair<double, double> RowCentre(int row) {
    const NavHotSpot& s = kNavHotSpots[static_cast<size_t>(row - 1)];
    return {(s.left + s.right) / 2.0, (s.top + s.bottom) / 2.0};
}

void ClickRow(int row) {
    const auto [x, y] = RowCentre(row);
    ui::UserClickDesign(x, y);
}

TEST(BaseDialog, NavigationBarByMouseOnHeadingReceiver) {
    SetUpProgram(1.5);
    g_GPS.Info.eReceiverType = RECEIVER_HEADING;
    g_GPS.Info.eCurCorrSource = CORR_RTK;
    TestPage* a = Page(SCR_GPS_1);
    auto waitTop = [&](ui::StepRunner& run, eScreen s) {
        run.AddWait(
            [s] { return ScreenIfBuilt(s) && ui::Host::Instance().TopPage() == ScreenIfBuilt(s); },
            5000, [s] { Fail(ScreenClassName(s)); });
    };
    ui::StepRunner run;
    waitTop(run, SCR_GPS_1);
    run.Add([&] {
        // RTK shows the SBAS pictures of the GPS family; the differential button opens SBAS.
        a->UpdateNavBar();
        EXPECT_EQ(a->GetPictureId(IDC_NAVBAR), 190);
        theApp().bReceiverFound = 1;
        a->FireTimer(1);
        EXPECT_EQ(a->GetPictureId(IDC_NAVBAR), 142);
        EXPECT_EQ(theApp().iScreenGroup, GROUP_SBAS);
        // CGPS_1 carries the wide strip: found, no fix yet.
        EXPECT_EQ(shelltest::Shown(a, {1043, 1044, 1045, 1046}), "1001");
        EXPECT_EQ(a->GetDlgItemText(1002), "RTK");
        shelltest::Shot("framework_page_scale_1.5");
        ClickRow(2);
    });
    waitTop(run, SCR_SBAS_1);
    run.Add([&] { ClickRow(3); });
    waitTop(run, SCR_TERMINAL_1);
    run.Add([&] {
        EXPECT_EQ(Page(SCR_TERMINAL_1)->GetPictureId(IDC_NAVBAR), 208);
        ClickRow(3);  // the terminal's own button does nothing
    });
    run.Add([&] {
        ui::ProcessPending();
        EXPECT_EQ(Page(SCR_TERMINAL_1)->inits, 1);
        ClickRow(4);
    });
    waitTop(run, SCR_LOGS_1);
    run.Add([&] { ClickRow(5); });
    waitTop(run, SCR_HEADING_1);
    run.Add([&] {
        ClickRow(5);  // the heading screens' own button does nothing
    });
    run.Add([&] {
        ui::ProcessPending();
        EXPECT_EQ(Page(SCR_HEADING_1)->inits, 1);
        // A double click on the GPS button switches once.
        const auto [x, y] = RowCentre(1);
        ui::UserDoubleClick(
            Page(SCR_HEADING_1)->Widget(),
            QPoint(static_cast<int>(x * theApp().fScaleX), static_cast<int>(y * theApp().fScaleY)));
    });
    waitTop(run, SCR_GPS_1);
    run.Add([&] {
        ui::ProcessPending();
        EXPECT_EQ(a->inits, 2);
        EXPECT_EQ(ui::Dialog::RunningLoops(), 5);
        EndAll();
    });
    RunOnPositionPage(run);
}

TEST(BaseDialog, StatusStripOnThePage) {
    SetUpProgram(1.0);
    TestPage* heading = Page(SCR_HEADING_1);
    ui::StepRunner run;
    run.AddWait([&] { return heading->IsWindowVisible(); }, 5000, [] { Fail("heading"); });
    run.Add([&] {
        CTessaray_PCApp& app = theApp();
        app.bReceiverFound = 0;
        // A source whose end of the strip leaves the fix label and lamps as they are.
        g_GPS.Info.eCurCorrSource = CORR_EXTERNAL;
        g_GPS.Info.Nav.usNavMode = 1;
        app.iHeadingAge = 7;
        heading->UpdateStatusStrip();
        // Lamps: fix good and bad, GPS good and bad, heading good and bad.
        const auto lamps = {1018, 1043, 1019, 1044, kHeadingLampGood, kHeadingLampBad};
        EXPECT_EQ(shelltest::Shown(heading, lamps), "011001");
        EXPECT_EQ(shelltest::Texts(heading, {1001, 1016}), "2D+DIFF|GPS");
        EXPECT_EQ(app.iHeadingAge.load(), 3);
        app.iHeadingAge = 2;
        g_GPS.Info.Nav.usNavMode = 0;
        g_GPS.Info.Nav.iFixQuality = 0;
        app.bReceiverFound = 1;
        heading->UpdateStatusStrip();
        EXPECT_EQ(shelltest::Shown(heading, lamps), "100110");
        EXPECT_EQ(heading->GetDlgItemText(1001), "COMM");
        EndAll();
    });
    run.Start();
    heading->DoModal();
    EXPECT_TRUE(g_finished);
}

}  // namespace
