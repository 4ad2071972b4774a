#include "screens/differential/diff_page.h"

#include <QFont>
#include <QWidget>

#include "engine/txnmea.h"
#include "shell/DiffSource.h"
#include "ui/fonts.h"

void SetPageFont(CBaseDialog& screen, const ui::DialogTemplate& tpl) {
    // "Tahoma" 8 point is the dialog font itself, which grows with the window's scale.
    QFont font = screen.Widget()->font();
    font.setFamily(ui::SubstituteFamily("Tahoma"));
    for (const ui::ControlSpec& spec : tpl.controls) {
        switch (spec.kind) {
            case ui::Kind::Static:
            case ui::Kind::Edit:
            case ui::Kind::Button:
            case ui::Kind::GroupBox:
            case ui::Kind::ComboDropDown:
            case ui::Kind::ComboDropList: {
                QFont own = font;
                own.setBold((spec.flags & ui::Flag::Bold) != 0);
                screen.SetItemFont(spec.id, own);
                break;
            }
            default:
                break;
        }
    }
}

void FillTabLabels(CBaseDialog& screen, int tabId, std::initializer_list<const char*> labels) {
    screen.DeleteAllItems(tabId);
    int index = 0;
    for (const char* label : labels) screen.InsertItem(tabId, index++, label);
}

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
