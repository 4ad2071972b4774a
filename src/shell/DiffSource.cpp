#include "shell/DiffSource.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <array>

#include "engine/gps.h"
#include "engine/nmea.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "platform/trace.h"
#include "shell/BaseDialog.h"
#include "shell/NavBar.h"
#include "shell/ScreenRegistry.h"
#include "shell/Tessaray_PC.h"

int32_t iTargetBaud = 38400;
int32_t iActiveBaud = 38400;

namespace {

struct DiffItem {
    const char* text;
    int source;
};

constexpr std::array<DiffItem, 9> kItems{{
    {"SBAS", CORR_SBAS},
    {"BEACON", CORR_BEACON},
    {"LBND", CORR_LBND},
    {"NONE", CORR_NONE},
    {"x-Ref", CORR_XREF},
    {"EXT THIS PORT", CORR_EXTERNAL},
    {"EXT OTHER PORT", CORR_EXTERNAL},
    {"t-Span Base", CORR_TSPAN_BASE},
    {"t-Span Rover", CORR_TSPAN_ROVER},
}};
constexpr int kItemsWithoutTSpan = 7;

// Weak-signal limits of the status lamps.
constexpr int kBeaconWeakSNR = 9;
constexpr int kBerWeak = 150;

// A source request whose "$JDIFF" query the receiver has not answered yet.
struct PendingRequest {
    bool pending = false;
    uint32_t repliesBefore = 0;
};
PendingRequest g_request;

int GroupOfSource(int source) {
    switch (source) {
        case CORR_NONE:
            return GROUP_GPS;
        case CORR_BEACON:
            return GROUP_BEACON;
        case CORR_LBND:
            return GROUP_LBND;
        case CORR_EXTERNAL:
            return GROUP_EXTERNAL;
        case CORR_XREF:
            return GROUP_XREF;
        case CORR_TSPAN_BASE:
            return GROUP_TSPAN_BASE;
        case CORR_TSPAN_ROVER:
            return GROUP_TSPAN_ROVER;
        default:
            return GROUP_SBAS;
    }
}

int ScreenOfGroup(int group) {
    switch (group) {
        case GROUP_SBAS:
            return SCR_SBAS_1;
        case GROUP_BEACON:
            return SCR_BEACON_1;
        case GROUP_LBND:
            return SCR_LBND_1;
        case GROUP_GPS:
        case GROUP_EXTERNAL:
            return SCR_GPS_1;
        case GROUP_XREF:
            return SCR_XREF_1;
        case GROUP_TSPAN_BASE:
            return SCR_TSPAN_BASE;
        case GROUP_TSPAN_ROVER:
            return SCR_TSPAN_ROVER;
        default:
            return -1;
    }
}

// Repaints the page in front before a pause, so the window does not show stale content.
void RepaintTopPage() {
    if (ui::Host* host = ui::Host::Existing()) {
        if (ui::Dialog* top = host->TopPage()) top->RepaintNow();
    }
}

}  // namespace

void InitDiffSourceCombo(ui::Dialog* dlg, int comboId) {
    dlg->ResetContent(comboId);
    const int count = bHasTSpanOption() ? static_cast<int>(kItems.size()) : kItemsWithoutTSpan;
    for (int i = 0; i < count; ++i) dlg->AddString(comboId, kItems[static_cast<size_t>(i)].text);
}

void SelectDiffSourceItem(ui::Dialog* dlg, int comboId) {
    if (dlg->IsComboDroppedDown(comboId)) return;
    int source;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        source = g_GPS.Info.eCurCorrSource;
    }
    int item = -1;
    switch (source) {
        case CORR_NONE:
            item = DIFFITEM_NONE;
            break;
        case CORR_BEACON:
            item = DIFFITEM_BEACON;
            break;
        case CORR_LBND:
            item = DIFFITEM_LBND;
            break;
        case CORR_SBAS:
            item = DIFFITEM_SBAS;
            break;
        case CORR_EXTERNAL:
            item = bExtThisPort.load() ? DIFFITEM_EXT_THIS : DIFFITEM_EXT_OTHER;
            break;
        case CORR_XREF:
            item = DIFFITEM_XREF;
            break;
        case CORR_TSPAN_BASE:
            item = DIFFITEM_TSPAN_BASE;
            break;
        case CORR_TSPAN_ROVER:
            item = DIFFITEM_TSPAN_ROVER;
            break;
        default:
            break;
    }
    // A t-Span source on a list without the t-Span items has nothing to select either.
    if (item < 0 || item >= dlg->GetCount(comboId)) {
        dlg->SetCurSel(comboId, -1);
        dlg->SetDlgItemText(comboId, "NA");
        return;
    }
    if (dlg->GetCurSel(comboId) != item) dlg->SetCurSel(comboId, item);
}

void ApplyDiffSourceItem(ui::Dialog* dlg, int comboId) {
    const int item = dlg->GetCurSel(comboId);
    if (item < 0 || item >= static_cast<int>(kItems.size())) {
        TRACE_ASSERT(false);
        return;
    }
    if ((item == DIFFITEM_TSPAN_BASE || item == DIFFITEM_TSPAN_ROVER) && !bHasTSpanOption()) return;
    if (item == DIFFITEM_EXT_THIS) bExtThisPort.store(1);
    if (item == DIFFITEM_EXT_OTHER) bExtThisPort.store(0);
    SendDiffSource(kItems[static_cast<size_t>(item)].source);
}

void SendDiffSource(int source) {
    g_TxNMEA.SetDiffSource(source);
    RepaintTopPage();
    platform::Sleep(500);
    {
        RecordLock nav(g_GPS.Info.Nav.ulNavLock);
        RecordLock part1(g_GPS.Info.ulPart1Lock);
        g_GPS.Info.Nav.usNavMode = 0;
        g_GPS.Info.eCurCorrSource = CORR_NONE;
        // From here until the receiver answers, the source shown is only a placeholder.
        g_request.pending = true;
        g_request.repliesBefore = g_ulDiffReplies.load();
    }
    g_TxNMEA.QueryApp(false);
    platform::Sleep(100);
    g_TxNMEA.QueryDiff();
    platform::Sleep(100);
}

void ShowDiffSourceStatus(CBaseDialog* screen, int label3, int good3, int bad3, int label1,
                          int good1, int bad1) {
    GPSInfo& info = g_GPS.Info;
    RecordLock lock(info.Nav.ulNavLock);
    const int source = info.eCurCorrSource;
    bool weak = false;
    switch (source) {
        case CORR_NONE: {
            screen->SetDlgItemText(label3, "NONE");
            screen->ShowItem(label3, false);
            screen->ShowItem(good3, false);
            screen->ShowItem(bad3, false);
            screen->SetDlgItemText(label1, "COMM");
            const bool found = theApp().bReceiverFound.load() != 0;
            screen->ShowItem(good1, found);
            screen->ShowItem(bad1, !found);
            return;
        }
        case CORR_BEACON:
            screen->SetDlgItemText(label3, "Beacon");
            weak = info.Beacon.iSNR < kBeaconWeakSNR;
            break;
        case CORR_LBND:
            screen->SetDlgItemText(label3, "LBand");
            weak = info.LBand.iLBandBer >= kBerWeak;
            break;
        case CORR_SBAS:
            screen->SetDlgItemText(label3, "SBAS");
            weak = !(info.LBand.iSBASBer1 < kBerWeak || info.LBand.iSBASBer2 < kBerWeak);
            break;
        case CORR_EXTERNAL:
            screen->SetDlgItemText(label3, "EXT");
            return;
        case CORR_RTK:
            screen->SetDlgItemText(label3, "RTK");
            return;
        case CORR_XREF:
            screen->SetDlgItemText(label3, "x-Ref");
            return;
        case CORR_TSPAN_BASE:
            screen->SetDlgItemText(label3, "t-Span Base");
            return;
        case CORR_TSPAN_ROVER:
            screen->SetDlgItemText(label3, "t-Span Rover");
            return;
        case CORR_SUBSEA7:
            screen->SetDlgItemText(label3, "SubSea7");
            return;
        default:
            TRACE_ASSERT(false);
            return;
    }
    if (!weak) {
        screen->ShowItem(good3, true);
        screen->ShowItem(bad3, false);
        screen->m_bWeakSignalOnce = 0;
        return;
    }
    screen->ShowItem(good3, false);
    screen->ShowItem(bad3, true);
    if (screen->GetDlgItemText(label1) != "COMM") {
        screen->ShowItem(good1, false);
        screen->ShowItem(bad1, true);
    }
    screen->ClearLinkStateOnce();
}

void DiffSourceName(int source, std::string& name) {
    switch (source) {
        case CORR_NONE:
            name = "NONE";
            break;
        case CORR_BEACON:
            name = "BEACON";
            break;
        case CORR_LBND:
            name = "LBND";
            break;
        case CORR_EXTERNAL:
            name = "EXTERNAL";
            break;
        case CORR_XREF:
            name = "x-Ref";
            break;
        case CORR_TSPAN_BASE:
            name = "t-Span Base";
            break;
        case CORR_TSPAN_ROVER:
            name = "t-Span Rover";
            break;
        default:  // SBAS, and the sources that cannot be chosen
            name = "SBAS";
            break;
    }
}

void SetPortBaud(int baud) {
    iTargetBaud = baud;
    iActiveBaud = baud;
}

void SetTargetBaud(int baud) {
    iTargetBaud = baud;
}

void ApplyTargetBaud() {
    if (iTargetBaud == iActiveBaud) return;
    int port;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        port = g_GPS.Info.iComPort;
    }
    // The new application listens at the baud it was found at; the active baud is kept for
    // the next switch.
    ReopenPort(port, iActiveBaud);
    g_TxNMEA.SetBaud(iTargetBaud, false);
    platform::Sleep(100);
    ReopenPort(port, iTargetBaud);
}

void InstallBaudHandOver() {
    g_TxNMEA.SetBaudHandOverHook([] { ApplyTargetBaud(); });
}

int DiffScreenTarget(int iScreenGroup) {
    int group = iScreenGroup;
    if (g_request.pending) {
        if (g_ulDiffReplies.load() != g_request.repliesBefore) {
            g_request.pending = false;
        } else {
            RecordLock lock(g_GPS.Info.ulPart1Lock);
            group = GroupOfSource(g_GPS.Info.eReqCorrSource);
        }
    }
    const int screen = ScreenOfGroup(group);
    if (screen < 0) {
        TRACE_ASSERT(false);
        return -1;
    }
    if (!IsScreenRegistered(static_cast<eScreen>(screen))) {
        platform::Trace("Tessaray_PC: screen %s is not available, showing %s\n",
                        ScreenClassName(screen), ScreenClassName(SCR_GPS_1));
        return SCR_GPS_1;
    }
    return screen;
}
