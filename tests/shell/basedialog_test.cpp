// The screen base on test pages: switching, revisits, keys, timers, the navigation bar.

#include "shell/BaseDialog.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "engine/gps.h"
#include "shell/CHECK.h"
#include "shell/Tessaray_PC.h"
#include "support/qt/shell_harness.h"
#include "support/qt/test_pages.h"
#include "ui/automation.h"

using shelltest::Page;
using shelltest::TestPage;

namespace {

bool g_finished = false;

// A scenario that goes wrong must not leave its loops waiting for ever.
std::function<void()> Fail(const char* what) {
    return [what] {
        ADD_FAILURE() << "timed out waiting for " << what;
        std::fflush(nullptr);
        std::_Exit(3);
    };
}

void WaitTop(ui::StepRunner& run, eScreen s) {
    run.AddWait([s] { return ScreenIfBuilt(s) && ui::Host::Instance().TopPage() == Page(s); }, 5000,
                Fail(ScreenClassName(s)));
}

// Last step of a scenario: ends every page loop, innermost first.
void EndAll() {
    g_finished = true;
    for (eScreen s : {SCR_SBAS_1, SCR_HEADING_1, SCR_LOGS_1, SCR_TERMINAL_1, SCR_GPS_2, SCR_GPS_1})
        if (CBaseDialog* d = ScreenIfBuilt(s); d && d->IsLoopRunning()) d->EndDialog(ui::IDCANCEL);
}

// Runs the steps inside the loop of the GPS position page, which the test opens.
void RunOnPositionPage(double scale, ui::StepRunner& run, int receiver = RECEIVER_GPS) {
    g_finished = false;
    shelltest::StartProgram(scale);
    shelltest::RegisterTestPages();
    g_GPS.Info.eReceiverType = receiver;
    g_GPS.Info.eCurCorrSource = CORR_RTK;
    WaitTop(run, SCR_GPS_1);
    run.Start();
    Page(SCR_GPS_1)->DoModal();
    EXPECT_TRUE(g_finished);
    EXPECT_EQ(ui::Dialog::RunningLoops(), 0);
}

TEST(BaseDialog, RevisitCallsOnInitDialogWithoutNewLoopAndKeysDoNotEndAScreen) {
    ui::StepRunner run;
    run.Add([] {
        TestPage* a = Page(SCR_GPS_1);
        EXPECT_EQ(bScreenOpened[SCR_GPS_1], 1);
        ui::UserKey(a->GetDlgItem(1022), Qt::Key_Return);
        for (int key : {Qt::Key_Return, Qt::Key_Escape}) ui::UserKey(a->Widget(), key);
        // The close button runs the close box; its exit dialog's Cancel keeps the user here.
        ui::UserCloseWindow();
    });
    run.AddWait([] { return dynamic_cast<CCHECK*>(ui::Host::Instance().TopPage()) != nullptr; },
                5000, Fail("exit dialog"));
    run.Add([] { ui::UserClick(ui::Host::Instance().TopPage()->GetDlgItem(ui::IDCANCEL)); });
    WaitTop(run, SCR_GPS_1);
    run.Add([] {
        ui::ProcessPending();
        TestPage* a = Page(SCR_GPS_1);
        EXPECT_EQ(a->leaves + a->m_bClosing, 0);
        EXPECT_EQ(ui::Dialog::RunningLoops(), 1);
        ui::UserSelectTab(a->GetDlgItem(1006), 1);
    });
    WaitTop(run, SCR_GPS_2);
    run.Add([] {
        TestPage *a = Page(SCR_GPS_1), *b = Page(SCR_GPS_2);
        EXPECT_EQ(std::vector<int>(
                      {ui::Dialog::RunningLoops(), a->leaves, a->m_bClosing, b->GetCurSel(1006)}),
                  std::vector<int>({2, 1, 1, 1}));
        EXPECT_FALSE(a->IsTimerRunning(1) || a->IsTimerRunning(kLinkWatchTimer));
        ui::UserSelectTab(b->GetDlgItem(1006), 0);
    });
    WaitTop(run, SCR_GPS_1);
    run.Add([] {
        TestPage* a = Page(SCR_GPS_1);
        EXPECT_EQ(std::vector<int>(
                      {a->inits, ui::Dialog::RunningLoops(), a->m_bClosing, a->GetCurSel(1006)}),
                  std::vector<int>({2, 2, 0, 0}));
        EXPECT_TRUE(a->IsTimerRunning(1) && a->IsTimerRunning(kLinkWatchTimer));
        EXPECT_FALSE(Page(SCR_GPS_2)->IsWindowVisible());
        // Selecting the page's own tab does nothing.
        ui::UserSelectTab(a->GetDlgItem(1006), 0);
        ui::ProcessPending();
        EXPECT_EQ(a->inits + ui::Dialog::RunningLoops(), 4);
        shelltest::Shot("framework_page_scale_1.0");
        EndAll();
    });
    RunOnPositionPage(1.0, run);
}

TEST(BaseDialog, WatchdogTicksDisabledPagesSuspendedTimersAndRestart) {
    ui::StepRunner run;
    run.Add([] {
        TestPage* a = Page(SCR_GPS_1);
        CTessaray_PCApp& app = theApp();
        // A disabled page comes back on the sixth tick; the count starts again after.
        for (int round = 0; round < 2; ++round) {
            a->EnableWindow(ui::FALSE);
            for (int tick = 1; tick <= 5; ++tick) {
                ASSERT_TRUE(a->FireTimer(kLinkWatchTimer));
                EXPECT_FALSE(a->IsWindowEnabled()) << "tick " << tick;
            }
            a->FireTimer(kLinkWatchTimer);
            EXPECT_TRUE(a->IsWindowEnabled());
        }
        // Suspended timers: the screen's tick does nothing and both kinds stop.
        app.bSuspendTimers = 1;
        const int ticks = a->ticks;
        ASSERT_TRUE(a->FireTimer(1));
        EXPECT_EQ(a->ticks, ticks);
        a->FireTimer(kLinkWatchTimer);
        EXPECT_FALSE(a->IsTimerRunning(1) || a->IsTimerRunning(2) ||
                     a->IsTimerRunning(kLinkWatchTimer));
        // The next activation clears the freeze and starts everything again.
        a->ShowWindow(ui::SW_SHOW);
        a->OnInitDialog();
        EXPECT_TRUE(!app.bSuspendTimers && a->IsTimerRunning(1) &&
                    a->IsTimerRunning(kLinkWatchTimer));
        // A page that keeps running (the terminal) keeps its base timers while frozen.
        app.bSuspendTimers = 1;
        a->bKeepTimersRunning = 1;
        a->CBaseDialog::OnTimer(kLinkWatchTimer);
        EXPECT_TRUE(a->IsTimerRunning(kLinkWatchTimer));
        a->bKeepTimersRunning = 0;
        a->CBaseDialog::OnTimer(kLinkWatchTimer);
        EXPECT_FALSE(a->IsTimerRunning(kLinkWatchTimer));
        a->bKeepTimersRunning = 1;
        a->OnInitDialog();
        EXPECT_EQ(a->bKeepTimersRunning + app.bSuspendTimers, 0);
        // The watchdog restarts itself after a hundred ticks.
        iLinkWatchTicks = 0;
        for (int i = 0; i < 101; ++i) a->FireTimer(kLinkWatchTimer);
        EXPECT_TRUE(iLinkWatchTicks == 0 && bLinkWatchOn && a->IsTimerRunning(kLinkWatchTimer));
        // A leaving page only kills its timers at its next tick.
        a->OnCancel();
        a->m_uLinkWatchTimer = a->SetTimer(kLinkWatchTimer, 5000);
        a->FireTimer(kLinkWatchTimer);
        EXPECT_FALSE(a->IsTimerRunning(kLinkWatchTimer));
        EndAll();
    });
    RunOnPositionPage(1.0, run);
}

}  // namespace
