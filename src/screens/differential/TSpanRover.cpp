#include "screens/differential/TSpanRover.h"

#include "engine/txnmea.h"
#include "resources/dlg_tspan.h"
#include "shell/DiffSource.h"

TSpanRover::TSpanRover()
    : CSetupPage(TSpanRoverDialogTemplate(), ScreenFamily::TSpanRover, SCR_TSPAN_ROVER) {
    WatchDiffSourceCombo(*this);
}

ui::BOOL TSpanRover::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    m_bClosing = 0;
    if (FirstActivation()) FirstSetupActivation();
    InitDiffSourceCombo(this, IDC_DIFF_SOURCE);
    RefreshSource();
    StartSetupTimers();
    g_TxNMEA.QueryApp(false);
    g_TxNMEA.QueryDiff();
    ActivationDone();
    return ui::TRUE;
}
