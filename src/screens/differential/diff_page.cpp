#include "screens/differential/diff_page.h"

#include "engine/txnmea.h"
#include "shell/DiffSource.h"

void OnDiffSourceChosen(CBaseDialog& screen) {
    ApplyDiffSourceItem(&screen, IDC_DIFF_SOURCE);
    screen.UpdateNavBar();
    screen.GoToDiffScreen();
}

void WatchDiffSourceCombo(CBaseDialog& screen) {
    screen.OnControl(IDC_DIFF_SOURCE, ui::CBN_SELCHANGE, [&screen] { OnDiffSourceChosen(screen); });
}

void CSetupPage::OnCancel() {
    g_TxNMEA.SetBeaconStatus(0, false);
    m_bClosing = 1;
    KillOwnTimers();
    CBaseDialog::OnCancel();
}

void CSetupPage::OnTimer(ui::UINT id) {
    if (id != kRefreshTimer && id != kSlowTimer) {
        CBaseDialog::OnTimer(id);
        return;
    }
    if (!BeginScreenTick(id)) return;
    OnSetupTick(id);
    RefreshSource();
    EndScreenTick();
    if (id == kRefreshTimer) {
        g_TxNMEA.QueryApp(false);
        g_TxNMEA.QueryDiff();
    }
}

void CSetupPage::RefreshSource() {
    SelectDiffSourceItem(this, IDC_DIFF_SOURCE);
    UpdateStatusStrip();
}

void CSetupPage::FirstSetupActivation() {
    FillTabLabels(*this, kTabId, {"Setup"});
    SetPageFont(*this, Template());
    UpdateStatusStrip();
}

void CSetupPage::StartSetupTimers() {
    SetCurSel(kTabId, 0);
    m_nTimer1 = SetTimer(kRefreshTimer, 1000);
    m_nTimer2 = SetTimer(kSlowTimer, 10000);
}
