#pragma once
// What the L-band, x-Ref and t-Span screens share: the differential-source combo's handler and
// the one-page set-up screen.

#include "shell/BaseDialog.h"
#include "shell/ScreenPage.h"

// Combo 1021: the receiver is switched to the chosen source and its screen is opened.
void OnDiffSourceChosen(CBaseDialog& screen);
// Listens on combo 1021 with OnDiffSourceChosen.
void WatchDiffSourceCombo(CBaseDialog& screen);

// The one-page set-up screens (x-Ref, t-Span base and rover): a 1 s timer that refreshes and
// polls the receiver's application and source, a 10 s timer, and the same leave.
class CSetupPage : public CBaseDialog {
public:
    using CBaseDialog::CBaseDialog;

    // "$PKRV,1,0"; both timers stop, so nothing is sent after leaving.
    void OnCancel() override;
    // Timers 1 and 2: the page's own part, the refresh and the navigation-bar check, then
    // for timer 1 "$JAPP" and "$JDIFF". Nothing while closing.
    void OnTimer(ui::UINT id) override;

    static constexpr ui::UINT kRefreshTimer = 1;
    static constexpr ui::UINT kSlowTimer = 2;
    static constexpr int kTabId = 1006;

protected:
    virtual void OnSetupTick(ui::UINT id) { (void)id; }
    // The source combo and the status strip.
    void RefreshSource();
    // First activation: the single tab "Setup", the font and the status strip.
    void FirstSetupActivation();
    // The tab selected, timers 1 (1000 ms) and 2 (10000 ms) started.
    void StartSetupTimers();
};
