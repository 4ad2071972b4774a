#include "shell/CLOSESCREEN_1.h"

#include <algorithm>

#include "resources/dlg_exit.h"
#include "shell/CHECK.h"
#include "shell/CLOSESCREEN_2.h"
#include "shell/ExitInstance.h"
#include "shell/STARTUP3.h"
#include "shell/Tessaray_PC.h"

using namespace resources;

namespace {

constexpr int kMaxTicks = 100;
// The receiver had this many ticks to be heard before it counts as gone.
constexpr int kNotFoundAfterTicks = 2;

}  // namespace

CCLOSESCREEN_1::CCLOSESCREEN_1() : ui::Dialog(CloseScreen1Template()) {
    for (int i = 0; i < kLines; ++i) DDX_Text(IDC_SAVING_LINE1 + i, m_strLine[i]);
}

ui::BOOL CCLOSESCREEN_1::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    m_nTimer = SetTimer(kTickTimer, kTickMs);
    SetWindowText("Tessaray PC");
    EnableItem(IDC_SAVING_CLOSE, false);
    EnableItem(IDC_SAVING_RETRY, false);
    m_iTick = 0;
    theApp().bCloseRetry = 0;
    OnControl(IDC_SAVING_RETRY, ui::BN_CLICKED, [this] { OnRetry(); });
    OnControl(IDC_SAVING_CLOSE, ui::BN_CLICKED, [this] { OnCloseAnyway(); });
    PlaceOnSharedRectangle(*this);
    return ui::TRUE;
}

void CCLOSESCREEN_1::OnTimer(ui::UINT id) {
    if (id != kTickTimer) return;
    m_iTick = std::min(m_iTick + 1, kMaxTicks);
    m_strLine[0] = " - Clearing old configuration ...";
    CTessaray_PCApp& app = theApp();
    // A receiver that said nothing at all to the shutdown commands did not save them either.
    if (m_iTick > kNotFoundAfterTicks && !ReceiverHeard()) app.bReceiverFound.store(0);
    // Once told, "not found" holds until Retry or Close Anyway: a receiver that speaks again
    // (power-cycled meanwhile) took none of the commands sent into the silence.
    if (!m_bNotFoundShown && app.bReceiverFound.load() && !m_bSendFailed) {
        switch (m_iTick) {
            case 1:
                m_strLine[1] = m_bSettingsUnread ? " - Receiver settings were never read,"
                                                 : " - Sending new configuration ...";
                break;
            case 2:
                m_strLine[2] =
                    m_bSettingsUnread ? " - no settings sent or saved" : " - Saving ...";
                break;
            case 3:
            case 4:
                if (!m_bSettingsUnread) m_strLine[3] = " - Save complete";
                break;
            case 5:
                m_strLine[4] = " - Compiling new configuration report";
                break;
            case 6: {
                UpdateData(ui::FALSE);
                KillTimer(m_nTimer);
                RunConfigReport();
                EndDialog(ui::IDOK);
                return;
            }
            default:
                break;
        }
    } else if (m_iTick > kNotFoundAfterTicks) {
        m_bNotFoundShown = true;
        m_strLine[1] = " - Receiver not found, ";
        m_strLine[2] = " - Reconnect and retry ...";
        EnableItem(IDC_SAVING_RETRY, true);
        EnableItem(IDC_SAVING_CLOSE, true);
    }
    UpdateData(ui::FALSE);
}

bool CCLOSESCREEN_1::ReceiverHeard() const {
    return !m_heardBefore || theApp().uFramesHeard.load() != *m_heardBefore;
}

void CCLOSESCREEN_1::OnClose() {
    if (IsItemEnabled(IDC_SAVING_CLOSE)) OnCloseAnyway();
}

void CCLOSESCREEN_1::OnMove(int x, int y) {
    StoreSharedPosition(x, y);
}

void CCLOSESCREEN_1::OnRetry() {
    KillTimer(m_nTimer);
    EndDialog(ui::IDOK);
    ShowWindow(ui::SW_HIDE);
    CancelExit(false);
    // The start-up dialog runs inside this handler; the exit is over.
    RunStartupDialog(0);
}

void CCLOSESCREEN_1::OnCloseAnyway() {
    KillTimer(m_nTimer);
    ShowWindow(ui::SW_HIDE);
    ShowWindow(ui::SW_SHOW);
    PlaceOnSharedRectangle(*this);
    CTessaray_PCApp::EndProcess(0);
}
