#include "shell/BaseDialog.h"

#include <exception>
#include <utility>

#include "engine/gps.h"
#include "platform/clock.h"
#include "platform/trace.h"
#include "shell/CHECK.h"
#include "shell/DiffSource.h"
#include "shell/STARTUP3.h"
#include "shell/Tessaray_PC.h"

int32_t bLinkWatchOn = 0;
int32_t bBaudSearchOn = 0;
int32_t iLinkWatchTicks = 0;
int32_t bTerminalActive = 0;
int32_t iSearchStartBaud = 0;

CBaseDialog::CBaseDialog(const ui::DialogTemplate& tpl, ScreenFamily family, int screen)
    : ui::Dialog(tpl), family_(family), screen_(screen) {}

CBaseDialog::~CBaseDialog() = default;

ui::UINT CBaseDialog::LinkWatchPeriod() {
    return g_GPS.ReceiverType() == RECEIVER_BLUETOOTH ? kLinkWatchBluetoothMs : kLinkWatchMs;
}

ui::BOOL CBaseDialog::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    SetWindowText("Tessaray PC");
    m_bClosing = 0;
    m_iSearchStep = 0;
    m_bNotFound = 0;
    m_uLinkWatchTimer = SetTimer(kLinkWatchTimer, LinkWatchPeriod());
    bLinkWatchOn = 1;
    PollReceiver();
    bTerminalActive = 0;
    m_iDisabledTicks = 0;
    theApp().bSuspendTimers = 0;
    m_iProbeRepeats = 0;
    bKeepTimersRunning = 0;
    wirePause_ = linkTickWaiting_ = false;
    EnableWindow(ui::TRUE);
    return ui::TRUE;
}

void CBaseDialog::OnCancel() {
    try {
        EnableWindow(ui::FALSE);
        m_bClosing = 1;
        KillTimer(m_uLinkWatchTimer);
        bLinkWatchOn = 0;
        KillTimer(m_uSearchTimer);
        bBaudSearchOn = 0;
        KillOwnTimers();
        EndWirePause(false);
        ShowWindow(ui::SW_HIDE);
        SetWindowPos(ui::ZOrder::Bottom, 0, 0, 0, 0,
                     ui::SWP_NOMOVE | ui::SWP_NOREDRAW | ui::SWP_HIDEWINDOW);
    } catch (const std::exception&) {
        platform::Trace("Tessaray_PC: CBaseDialog::OnCancel() Error! \n");
    }
}

void CBaseDialog::OnFullCancel() {
    try {
        platform::Trace("Tessaray_PC: CBaseDialog::OnFullCancel() Start\n");
        m_bClosing = 1;
        KillTimer(kLinkWatchTimer);
        KillTimer(kBaudSearchTimer);
        bLinkWatchOn = 0;
        bBaudSearchOn = 0;
        KillOwnTimers();
        EndDialog(ui::IDCANCEL);
        platform::Trace("Tessaray_PC: CBaseDialog::OnFullCancel() End\n");
    } catch (const std::exception&) {
        platform::Trace("Tessaray_PC: CBaseDialog::OnFullCancel() Error! \n");
    }
}

void CBaseDialog::OnTimer(ui::UINT id) {
    try {
        if (!IsWindowEnabled()) {
            if (m_iDisabledTicks >= 5) {
                m_iDisabledTicks = 0;
                EnableWindow(ui::TRUE);
            } else {
                ++m_iDisabledTicks;
            }
        }
        CTessaray_PCApp& app = theApp();
        if (m_bClosing || (app.bSuspendTimers && !bKeepTimersRunning)) {
            KillTimer(m_uLinkWatchTimer);
            KillTimer(m_uSearchTimer);
            KillTimer(id);
            return;
        }
        if (id == kLinkWatchTimer && wirePause_) {
            linkTickWaiting_ = true;
            return;
        }
        if (app.bExiting || app.bDemoMode.load() || bTerminalActive) return;
        if (id == kLinkWatchTimer && bLinkWatchOn) {
            CheckLink();
            if (iLinkWatchTicks < kLinkWatchRestartTicks) {
                ++iLinkWatchTicks;
            } else {
                iLinkWatchTicks = 0;
                RestartLinkWatch();
            }
        } else if (id == kBaudSearchTimer && bBaudSearchOn) {
            SearchTick();
        }
    } catch (const std::exception& e) {
        platform::Trace("Error or Exception:%s\n", e.what());
    }
}

void CBaseDialog::RestartLinkWatch() {
    m_uLinkWatchTimer = SetTimer(kLinkWatchTimer, LinkWatchPeriod());
    bLinkWatchOn = 1;
}

bool CBaseDialog::BeginScreenTick(ui::UINT id) {
    if (m_bClosing || theApp().bSuspendTimers) {
        KillOwnTimers();
        KillTimer(id);
        return false;
    }
    return true;
}

void CBaseDialog::EndScreenTick() {
    platform::Sleep(0);
    CTessaray_PCApp& app = theApp();
    GPSInfo& info = g_GPS.Info;
    const int found = app.bReceiverFound.load();
    const int32_t source = info.eCurCorrSource;
    if (found != app.bReceiverFoundShown || source != info.eShownCorrSource) {
        UpdateNavBar();
        info.eShownCorrSource = source;
        app.bReceiverFoundShown = found;
    }
}

std::vector<ui::UINT> CBaseDialog::OwnTimerIds() const {
    std::vector<ui::UINT> ids = TimerIds();
    std::erase_if(ids, [](ui::UINT id) { return id == kLinkWatchTimer || id == kBaudSearchTimer; });
    return ids;
}

void CBaseDialog::KillOwnTimers() {
    for (ui::UINT id : OwnTimerIds()) KillTimer(id);
}

void CBaseDialog::StopEveryScreenTimer() {
    ui::Host* host = ui::Host::Existing();
    if (!host) return;
    for (ui::Dialog* page : host->Pages()) {
        if (auto* screen = dynamic_cast<CBaseDialog*>(page)) {
            screen->KillOwnTimers();
            screen->KillTimer(kLinkWatchTimer);
            screen->KillTimer(kBaudSearchTimer);
            screen->EndWirePause(false);
            screen->OnTimersStopped();
        }
    }
}

void CBaseDialog::BeginWirePause(uint32_t ms) {
    wirePause_ = true;
    wirePauseStart_ = platform::TickCount();
    wirePauseMs_ = ms;
}

uint32_t CBaseDialog::WirePauseLeft() const {
    if (!wirePause_) return 0;
    const uint32_t waited = platform::TickCount() - wirePauseStart_;
    return waited < wirePauseMs_ ? wirePauseMs_ - waited : 0;
}

void CBaseDialog::WaitOutWirePause() {
    if (const uint32_t left = WirePauseLeft(); left > 0) {
        RepaintNow();
        platform::Sleep(left);
    }
}

void CBaseDialog::EndWirePause(bool deliver) {
    wirePause_ = false;
    const bool waiting = std::exchange(linkTickWaiting_, false);
    if (deliver && waiting && IsTimerRunning(kLinkWatchTimer)) OnTimer(kLinkWatchTimer);
}

bool CBaseDialog::FirstActivation() const {
    return screen_ < 0 || screen_ >= SCR_COUNT || bScreenOpened[screen_] == 0;
}

void CBaseDialog::ActivationDone() {
    PlaceOnSharedRect();
    if (screen_ >= 0 && screen_ < SCR_COUNT) bScreenOpened[screen_] = 1;
}

void CBaseDialog::PlaceOnSharedRect() {
    const CTessaray_PCApp& app = theApp();
    SetWindowPos(ui::ZOrder::Top, app.iWinX, app.iWinY, app.iWinWidth, app.iWinHeight,
                 ui::SWP_SHOWWINDOW);
    if (GetDlgItem(IDC_BACKGROUND)) {
        const ui::Rect client = GetClientRect();
        SetItemPos(IDC_BACKGROUND, ui::ZOrder::Bottom, 0, 0, client.Width(), client.Height(),
                   ui::SWP_SHOWWINDOW);
    }
}

void CBaseDialog::SetTabScreens(int tabId, std::vector<eScreen> tabs) {
    tabId_ = tabId;
    tabs_ = std::move(tabs);
    OnNotify(tabId, ui::TCN_SELCHANGE, [this](const ui::Notification&) {
        const int index = GetCurSel(tabId_);
        if (index < 0 || index >= static_cast<int>(tabs_.size())) return;
        const eScreen target = tabs_[static_cast<size_t>(index)];
        if (target == screen_) return;
        SwitchTo(target);
    });
}

void CBaseDialog::SelectOwnTab() {
    for (size_t i = 0; i < tabs_.size(); ++i) {
        if (tabs_[i] == screen_) SetCurSel(tabId_, static_cast<int>(i));
    }
}

int CBaseDialog::SwitchScreen(int32_t* pOpened, CBaseDialog* from, CBaseDialog* to) {
    if (!to) return 0;
    from->OnCancel();
    from->ShowWindow(ui::SW_HIDE);
    if (pOpened && *pOpened && to->IsLoopRunning()) {
        to->ShowWindow(ui::SW_SHOW);
        return to->OnInitDialog();
    }
    // The new loop runs inside the handler of the screen left; it is never unwound.
    return to->DoModal();
}

int CBaseDialog::SwitchTo(eScreen target) {
    CBaseDialog* to = Screen(target);
    if (!to) {
        platform::Trace("Tessaray_PC: screen %s is not available\n", ScreenClassName(target));
        return 0;
    }
    return SwitchScreen(&bScreenOpened[target], this, to);
}

void CBaseDialog::GoToGpsScreen() {
    SwitchTo(SCR_GPS_1);
}
void CBaseDialog::GoToTerminalScreen() {
    SwitchTo(SCR_TERMINAL_1);
}
void CBaseDialog::GoToLogsScreen() {
    SwitchTo(SCR_LOGS_1);
}
void CBaseDialog::GoToHeadingScreen() {
    SwitchTo(SCR_HEADING_1);
}
void CBaseDialog::GoToStartupScreen() {
    RunStartupDialog(0);
}

void CBaseDialog::GoToDiffScreen() {
    const int target = DiffScreenTarget(theApp().iScreenGroup);
    if (target >= 0) SwitchTo(static_cast<eScreen>(target));
}

void CBaseDialog::RunNavRow(int row) {
    const NavAction action = NavRowAction(family_, row, g_GPS.ReceiverType());
    if (action == NavAction::None) return;
    if (NavRowAsksAboutLogs(family_, row) && !ConfirmLeaveWithLogs()) return;
    switch (action) {
        case NavAction::GoToGps:
            GoToGpsScreen();
            break;
        case NavAction::GoToDiff:
            GoToDiffScreen();
            break;
        case NavAction::GoToTerminal:
            GoToTerminalScreen();
            break;
        case NavAction::GoToLogs:
            GoToLogsScreen();
            break;
        case NavAction::GoToHeading:
            GoToHeadingScreen();
            break;
        case NavAction::GoToStartup:
            GoToStartupScreen();
            break;
        case NavAction::CloseBox:
            OnCloseBox();
            break;
        case NavAction::None:
            break;
    }
}

void CBaseDialog::OnLButtonDown(ui::UINT flags, ui::Point point) {
    (void)flags;
    const CTessaray_PCApp& app = theApp();
    RunNavRow(NavHitRow(point.x, point.y, app.fScaleX, app.fScaleY));
}

void CBaseDialog::OnClose() {
    if (NavRowAction(family_, 7, g_GPS.ReceiverType()) == NavAction::CloseBox) OnCloseBox();
}

int CBaseDialog::AskExit() {
    const std::vector<StoppedTimer> held = StopTimers(OwnTimerIds());
    const int action = RunExitDialog();
    // A screen left meanwhile (the link was lost under the dialog) stays stopped.
    if (action == EXIT_ACTION_STAY && !m_bClosing) RestartTimers(held);
    if (action == EXIT_ACTION_CLOSE) {
        WaitOutWirePause();
        EndWirePause(false);
    }
    return action;
}

void CBaseDialog::OnCloseBox() {
    const int action = AskExit();
    if (action == EXIT_ACTION_STAY) return;
    if (action == EXIT_ACTION_CLOSE) {
        KillOwnTimers();
        OnDestroy();
        return;
    }
    if (action == EXIT_ACTION_QUIT) {
        theApp().bExiting = 1;
        OnCancel();
        ShowWindow(ui::SW_SHOW);
        const CTessaray_PCApp& app = theApp();
        SetWindowPos(ui::ZOrder::Top, app.iWinX, app.iWinY, app.iWinWidth, app.iWinHeight,
                     ui::SWP_SHOWWINDOW);
        BeforeExitProcess();
        CTessaray_PCApp::EndProcess(0);
    }
}

void CBaseDialog::OnMove(int x, int y) {
    if (!m_bAlwaysStoreMove && FirstActivation()) return;
    CTessaray_PCApp& app = theApp();
    app.iWinX = x - ui::Host::kClientOffset.x;
    app.iWinY = y - ui::Host::kClientOffset.y;
}

void CBaseDialog::OnPaint() {
    UpdateNavBar();
}

int CBaseDialog::UpdateNavBar() {
    const GPSInfo& info = g_GPS.Info;
    const NavBarChoice choice =
        ChooseNavBar(family_, info.eCurCorrSource, theApp().bReceiverFound.load() != 0,
                     g_GPS.ReceiverType() == RECEIVER_HEADING);
    if (choice.iBitmapId == 0) return 0;
    // Called from painting too: only a changed picture is set, so no repaint is triggered.
    m_NavBar.Attach(Item<ui::Picture>(IDC_NAVBAR));
    const CTessaray_PCApp& app = theApp();
    if (app.iNavBarWidth > 0 && app.iNavBarHeight > 0) {
        m_NavBar.SetNavBarSize(QSize(app.iNavBarWidth, app.iNavBarHeight));
    }
    if (m_NavBar.control() && m_NavBar.GetBitmapId() != choice.iBitmapId) {
        m_NavBar.SetBitmapId(choice.iBitmapId);
    }
    theApp().iScreenGroup = choice.iScreenGroup;
    return 1;
}

void CBaseDialog::ApplyStrip(const StripIds& ids, const StripState& state, bool showLabel3) {
    if (showLabel3) ShowItem(ids.label3, true);
    const int good[3] = {ids.good1, ids.good2, ids.good3};
    const int bad[3] = {ids.bad1, ids.bad2, ids.bad3};
    for (size_t i = 0; i < 3; ++i) {
        if (state.pair[i] == LampState::Unchanged) continue;
        const bool ok = state.pair[i] == LampState::Good;
        ShowItem(good[i], ok);
        ShowItem(bad[i], !ok);
    }
    if (state.label1) {
        SetDlgItemText(ids.label1, *state.label1);
        SetDlgItemText(ids.label2, "GPS");
        SetDlgItemText(ids.label3, "SBAS");
    }
}

void CBaseDialog::UpdateStatusStrip() {
    CTessaray_PCApp& app = theApp();
    GPSInfo& info = g_GPS.Info;
    RecordLock lock(info.Nav.ulNavLock);
    const bool found = app.bReceiverFound.load() != 0;

    StripVariant variant = StripVariant::Standard;
    if (family_ == ScreenFamily::Main) variant = StripVariant::Main;
    if (screen_ == SCR_GPS_3) variant = StripVariant::OutputSetup;
    const bool wide = screen_ == SCR_GPS_1 || screen_ == SCR_GPS_3 || screen_ == SCR_XREF_1 ||
                      screen_ == SCR_TSPAN_BASE || screen_ == SCR_TSPAN_ROVER;
    const StripIds& ids = wide ? kStripIdsWide : kStripIdsNarrow;

    const StripState state =
        ComputeStatusStrip(variant, info.Nav.usNavMode, info.Nav.iFixQuality, found);
    ApplyStrip(ids, state, variant != StripVariant::Main);

    if (variant == StripVariant::Main) {
        const int source = info.eCurCorrSource;
        if (source == CORR_NONE) {
            SetDlgItemText(ids.label3, "NONE");
            ShowItem(ids.label3, false);
            ShowItem(ids.good3, false);
            ShowItem(ids.bad3, false);
            SetDlgItemText(ids.label1, "COMM");
            ShowItem(ids.good1, found);
            ShowItem(ids.bad1, !found);
        } else if (const auto name = MainWindowSourceLabel(source)) {
            SetDlgItemText(ids.label3, *name);
        }
    } else {
        ShowDiffSourceStatus(this, ids.label3, ids.good3, ids.bad3, ids.label1, ids.good1,
                             ids.bad1);
    }

    if (family_ == ScreenFamily::Heading) {
        const bool stale = app.iHeadingAge.load() > 3;
        if (stale) app.iHeadingAge.store(3);
        ShowItem(kHeadingLampGood, !stale);
        ShowItem(kHeadingLampBad, stale);
    }
}
