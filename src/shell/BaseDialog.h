#pragma once
// The frame every receiver screen shares: activation and leaving, the link watchdog and baud
// search timers, the navigation bar and its picture, the status strip, the close box, and
// the switch from one screen to another.

#include <cstdint>
#include <vector>

#include "shell/BmpStatic.h"
#include "shell/NavBar.h"
#include "shell/ScreenRegistry.h"
#include "shell/StatusStrip.h"
#include "ui/dialog.h"

// Timers of the base; a screen's own timers are 1 and 2.
inline constexpr ui::UINT kLinkWatchTimer = 11;
inline constexpr ui::UINT kBaudSearchTimer = 12;
inline constexpr ui::UINT kLinkWatchMs = 5000;
inline constexpr ui::UINT kLinkWatchBluetoothMs = 10000;
inline constexpr int kLinkWatchRestartTicks = 100;

// Controls every screen template has.
inline constexpr int IDC_BACKGROUND = 1000;
inline constexpr int IDC_NAVBAR = 1004;

// Shared with the search and the watchdog.
extern int32_t bLinkWatchOn;
extern int32_t bBaudSearchOn;
extern int32_t iLinkWatchTicks;
extern int32_t bTerminalActive;
extern int32_t iSearchStartBaud;

class CBaseDialog : public ui::Dialog {
public:
    // screen: the class's entry of the opened flags, or -1 for the welcome page and the
    // dialogs built on the stack.
    CBaseDialog(const ui::DialogTemplate& tpl, ScreenFamily family, int screen = -1);
    ~CBaseDialog() override;

    ScreenFamily Family() const { return family_; }
    int ScreenIndex() const { return screen_; }

    // Activation: the base part every screen's OnInitDialog calls first.
    ui::BOOL OnInitDialog() override;
    // Leaving: hides the screen; its modal loop keeps running.
    void OnCancel() override;
    // Leaving and ending the modal loop (welcome page, start-up dialog).
    void OnFullCancel();
    // Enter never ends a screen.
    void OnOK() override {}
    // The base timer: disabled-tick re-enable, link watchdog (11) and baud search (12).
    void OnTimer(ui::UINT id) override;
    void OnPaint() override;
    void OnLButtonDown(ui::UINT flags, ui::Point point) override;
    void OnMove(int x, int y) override;
    // The window's own close button runs the close-box action.
    void OnClose() override;

    // Chooses the navigation-bar picture by the family and sets iScreenGroup. 0 when the
    // page shows no bar.
    virtual int UpdateNavBar();
    // Refreshes the status strip by the family's variant (callers hold the record lock).
    virtual void UpdateStatusStrip();
    // The close box (navigation row 7): exit dialog, then close, quit or stay.
    virtual void OnCloseBox();
    // Stops every timer of every screen (a new start-up dialog takes the port over).
    static void StopEveryScreenTimer();
    // The screen's timers were stopped by StopEveryScreenTimer: work they paced is dropped.
    virtual void OnTimersStopped() {}
    // The logging screens ask about running logs before rows 1, 3 and 5 act; true goes on.
    virtual bool ConfirmLeaveWithLogs() { return true; }

    // Screen switching: leaves `from` and activates `to` (DoModal on its first visit).
    static int SwitchScreen(int32_t* pOpened, CBaseDialog* from, CBaseDialog* to);
    int SwitchTo(eScreen target);
    void GoToGpsScreen();
    void GoToDiffScreen();
    void GoToTerminalScreen();
    void GoToLogsScreen();
    void GoToHeadingScreen();
    void GoToStartupScreen();
    // Runs a navigation row (1..7) as this family does it, as a click on it would.
    void RunNavRow(int row);

    // Receiver search and link watchdog.
    ui::UINT StartBaudSearch();
    // One tick of the search timer: the next baud, or one more probe at the baud open.
    void SearchTick();
    int NextBaudStep();
    void CheckLink();
    void Reconnect(int port, int baud);
    void ClearLinkStateOnce();

    // The normal end of the program (exit sequence).
    void OnDestroy();

    // The link-watch period for the receiver type in use.
    static ui::UINT LinkWatchPeriod();

    // Members of the search, the watchdog and leaving.
    int32_t m_bNotFound = 0;
    int32_t m_iSearchStep = 0;
    int32_t m_bClosing = 0;
    ui::UINT m_uLinkWatchTimer = 0;
    ui::UINT m_uSearchTimer = 0;
    int32_t m_iDisabledTicks = 0;
    int32_t bKeepTimersRunning = 0;
    int32_t m_iProbeRepeats = 0;
    int32_t m_bWeakSignalOnce = 0;
    // A screen's timers 1 and 2; the close box and a closing tick kill every own timer.
    ui::UINT m_nTimer1 = 0;
    ui::UINT m_nTimer2 = 0;
    // The navigation-bar picture (control 1004).
    CBmpStatic m_NavBar;

protected:
    // The screen timer skeleton. Returns false (and kills the screen's timers and `id`)
    // while closing or while the screens are frozen; the caller then does nothing else.
    bool BeginScreenTick(ui::UINT id);
    // End of every screen tick: redraws the navigation bar when the link or the source
    // changed since it was last drawn.
    void EndScreenTick();
    // First activation of a screen (its opened flag still 0).
    bool FirstActivation() const;
    // End of a screen's activation: placed on the shared rectangle, opened flag set.
    void ActivationDone();
    // Places the page on the shared rectangle with the background behind everything.
    void PlaceOnSharedRect();
    // The tab control's pages: a TCN_SELCHANGE on `tabId` switches to tabs[index].
    void SetTabScreens(int tabId, std::vector<eScreen> tabs);
    // Selects this screen's own tab without a notification.
    void SelectOwnTab();
    // Kills every timer of the screen but the link watch and the search (close box, leaving,
    // closing ticks).
    void KillOwnTimers();
    // The exit dialog over the screen, whose own timers stand still meanwhile and go on only
    // when the user stays. An exit waits out the screen's wire pause first.
    int AskExit();
    // A pause the screen keeps on the wire without blocking, ended by a timer of its own:
    // until it ends, the link watch's ticks wait.
    void BeginWirePause(uint32_t ms);
    uint32_t WirePauseLeft() const;
    // Sleeps the rest of the pause (leaving, exit).
    void WaitOutWirePause();
    // A link-watch tick that waited is delivered now when `deliver` is set, else dropped.
    void EndWirePause(bool deliver);
    // The always-storing move handler of the welcome page and the dialogs on the stack.
    bool m_bAlwaysStoreMove = false;

private:
    void RestartLinkWatch();
    std::vector<ui::UINT> OwnTimerIds() const;
    void ApplyStrip(const StripIds& ids, const StripState& state, bool showLabel3);

    ScreenFamily family_;
    int screen_;
    int tabId_ = 0;
    std::vector<eScreen> tabs_;
    bool wirePause_ = false;
    uint32_t wirePauseStart_ = 0;
    uint32_t wirePauseMs_ = 0;
    bool linkTickWaiting_ = false;
};

// Search and watchdog helpers without an object.
// Reopens the serial port at a baud rate.
void ReopenPort(int port, int baud);
// Radio-modem commands on the receiver's port.
ui::BOOL ModemProbe();
int ModemSetBaud(int baud);
// The keep-alive probe (CTxNMEA::Poll).
void PollReceiver();
// Installs the command sender's radio-modem reset as the port's close hook (program start).
void InstallLinkHooks();
// An exit is saving the configuration: the search stops and the watchdog only polls.
bool ExitInProgress();
// The baud the serial port is open at, 0 while it is closed.
int OpenPortBaud();
