#include "screens/differential/XREF_1.h"

#include "engine/gps.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "platform/numbers.h"
#include "resources/dlg_xref1.h"
#include "screens/differential/diff_page.h"
#include "screens/differential/reference_entry.h"
#include "shell/DiffSource.h"
#include "ui/messagebox.h"

namespace {

constexpr ui::UINT kRunPauseMs = 500;

constexpr const char* kNotReady = "x-Ref not ready, please wait ...";
constexpr const char* kReady = "x-Ref now ready";

constexpr int kRunButtons[] = {IDC_XREF_INIT_UNKNOWN, IDC_XREF_INIT_KNOWN, IDC_XREF_INIT_SINGLE,
                               IDC_XREF_RECAL_UNKNOWN, IDC_XREF_RECAL_KNOWN};

void SetReady(uint32_t value) {
    RecordLock lock(g_GPS.Info.JRAD.ulJRADLock);
    g_GPS.Info.JRAD.bXRefReady = value;
}

}  // namespace

CXREF_1::CXREF_1() : CSetupPage(Xref1DialogTemplate(), ScreenFamily::XRef, SCR_XREF_1) {
    DDX_Text(IDC_XREF_LAT, m_dLat);
    DDX_Text(IDC_XREF_LON, m_dLon);
    DDX_Text(IDC_XREF_HEIGHT, m_dHeight);
    DDX_Text(IDC_XREF_STATUS, m_strStatus);
    for (int id : {IDC_XREF_LAT, IDC_XREF_LON, IDC_XREF_HEIGHT})
        OnControl(id, ui::EN_CHANGE, [this] { OnCoordinateChange(); });
    OnControl(IDC_XREF_INIT_UNKNOWN, ui::BN_CLICKED, [this] {
        StartRun(XREF_RUN_UNKNOWN_POINT);
        g_TxNMEA.SendString("$JRAD,1,P\r\n");
        platform::Sleep(kRunPauseMs);
        g_TxNMEA.SendString("$JRAD,2\r\n");
        EnableItem(IDC_XREF_RECAL_UNKNOWN, true);
    });
    OnControl(IDC_XREF_RECAL_UNKNOWN, ui::BN_CLICKED, [this] {
        StartRun(XREF_RUN_UNKNOWN_POINT);
        g_TxNMEA.SendString("$JRAD,2\r\n");
    });
    OnControl(IDC_XREF_INIT_KNOWN, ui::BN_CLICKED, [this] { OnInitKnownPoint(); });
    OnControl(IDC_XREF_RECAL_KNOWN, ui::BN_CLICKED, [this] {
        StartRun(XREF_RUN_KNOWN_POINT);
        g_TxNMEA.SendString("$JRAD,2\r\n");
    });
    OnControl(IDC_XREF_INIT_SINGLE, ui::BN_CLICKED, [this] {
        StartRun(XREF_RUN_SINGLE);
        g_TxNMEA.SendString("$JRAD,3\r\n");
    });
    WatchDiffSourceCombo(*this);
}

ui::BOOL CXREF_1::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    if (FirstActivation()) {
        FirstSetupActivation();
        UpdateData(ui::FALSE);
    }
    {
        // Only a reply to this visit's queries may say that x-Ref is not subscribed.
        RecordLock lock(g_GPS.Info.JRAD.ulJRADLock);
        g_GPS.Info.JRAD.bXRefSubscribed = kXRefSubscriptionUnknown;
    }
    InitDiffSourceCombo(this, IDC_DIFF_SOURCE);
    RefreshSource();
    EnableKnownPoint();
    StartSetupTimers();
    for (int i = 0; i < 2; ++i) {
        g_TxNMEA.SendString("$JRAD,1\r\n");
        platform::Sleep(kRunPauseMs);
    }
    g_TxNMEA.QueryApp(false);
    g_TxNMEA.QueryDiff();
    ActivationDone();
    m_bWarned = 0;
    m_iPendingRun = XREF_RUN_NONE;
    return ui::TRUE;
}

void CXREF_1::OnSetupTick(ui::UINT id) {
    CheckSubscription();
    EnableKnownPoint();
    if (id == kSlowTimer && m_iPendingRun != XREF_RUN_NONE) WatchRun();
}

void CXREF_1::CheckSubscription() {
    if (m_bWarned) return;
    uint32_t subscribed;
    {
        RecordLock lock(g_GPS.Info.JRAD.ulJRADLock);
        subscribed = g_GPS.Info.JRAD.bXRefSubscribed;
    }
    if (subscribed != 0) return;
    m_bWarned = 1;
    for (int id : kRunButtons) EnableItem(id, false);
    ui::MessageBox("Not subscribed to x-Ref");
}

void CXREF_1::EnableKnownPoint() {
    const auto entry =
        ParseReferenceEntry(GetDlgItemText(IDC_XREF_LAT), GetDlgItemText(IDC_XREF_LON),
                            GetDlgItemText(IDC_XREF_HEIGHT));
    EnableItem(IDC_XREF_INIT_KNOWN, entry && IsUsableReference(*entry));
}

void CXREF_1::WatchRun() {
    uint32_t ready;
    {
        RecordLock lock(g_GPS.Info.JRAD.ulJRADLock);
        ready = g_GPS.Info.JRAD.bXRefReady;
    }
    if (ready) {
        m_iPendingRun = XREF_RUN_NONE;
        ShowRunState(true);
        return;
    }
    g_TxNMEA.SendString(m_iPendingRun == XREF_RUN_SINGLE ? "$JRAD,3\r\n" : "$JRAD,2\r\n");
    ShowRunState(false);
}

void CXREF_1::StartRun(eXRefRun run) {
    m_iPendingRun = run;
    SetReady(0);
    ShowRunState(false);
    // The run's commands pause the window; it shows the new state meanwhile.
    RepaintNow();
}

void CXREF_1::ShowRunState(bool ready) {
    m_strStatus = ready ? kReady : kNotReady;
    ShowItem(IDC_XREF_LAMP_WAIT, !ready);
    ShowItem(IDC_XREF_LAMP_READY, ready);
    // Only the status text: the coordinate edits may hold an entry still being typed.
    SetDlgItemText(IDC_XREF_STATUS, m_strStatus);
}

void CXREF_1::OnCoordinateChange() {
    const auto entry =
        ParseReferenceEntry(GetDlgItemText(IDC_XREF_LAT), GetDlgItemText(IDC_XREF_LON),
                            GetDlgItemText(IDC_XREF_HEIGHT));
    if (!entry) return;
    m_dLat = entry->lat;
    m_dLon = entry->lon;
    m_dHeight = entry->height;
}

void CXREF_1::OnInitKnownPoint() {
    const auto entry =
        ParseReferenceEntry(GetDlgItemText(IDC_XREF_LAT), GetDlgItemText(IDC_XREF_LON),
                            GetDlgItemText(IDC_XREF_HEIGHT));
    if (!entry || !InRange(*entry)) {
        ui::MessageBox("Please enter a number.", ui::MB_OK | ui::MB_ICONEXCLAMATION);
        return;
    }
    m_dLat = entry->lat;
    m_dLon = entry->lon;
    m_dHeight = entry->height;
    StartRun(XREF_RUN_KNOWN_POINT);
    g_TxNMEA.SendString(
        platform::Format("$JRAD,1,%12.7lf,%12.7lf,%10.3lf\r\n", m_dLat, m_dLon, m_dHeight));
    platform::Sleep(kRunPauseMs);
    g_TxNMEA.SendString("$JRAD,2\r\n");
    EnableItem(IDC_XREF_RECAL_KNOWN, true);
}
