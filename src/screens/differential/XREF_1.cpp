#include "screens/differential/XREF_1.h"

#include <string_view>

#include "engine/gps.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "platform/numbers.h"
#include "resources/dlg_xref1.h"
#include "screens/differential/diff_page.h"
#include "screens/differential/reference_entry.h"
#include "shell/DiffSource.h"
#include "shell/Tessaray_PC.h"
#include "ui/messagebox.h"

namespace {

constexpr ui::UINT kRunPauseMs = 500;

constexpr const char* kChooseMode = "Please select x-Ref mode above.";
constexpr const char* kNotReady = "x-Ref not ready, please wait ...";
constexpr const char* kReady = "x-Ref now ready";

constexpr ReferenceEdits kEdits = {IDC_XREF_LAT, IDC_XREF_LON, IDC_XREF_HEIGHT};
constexpr ReferenceLimits kLimits = kXRefReferenceLimits;

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
    for (int id : kEdits) OnControl(id, ui::EN_CHANGE, [this, id] { OnCoordinateChange(id); });
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
    // A run still pending at the last leave is followed no more; its "please wait" would
    // stay for good.
    if (m_iPendingRun != XREF_RUN_NONE) ShowRunState(Ready() ? kReady : kChooseMode);
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
    uint32_t subscribed;
    {
        RecordLock lock(g_GPS.Info.JRAD.ulJRADLock);
        subscribed = g_GPS.Info.JRAD.bXRefSubscribed;
    }
    if (subscribed == 1 && m_bRunsBlocked) {
        // The subscription has come: the runs are back, and a later refusal warns again.
        m_bRunsBlocked = false;
        m_bWarned = 0;
        for (size_t i = 0; i < std::size(kRunButtons); ++i)
            if (m_uRunsEnabled & (1u << i)) EnableItem(kRunButtons[i], true);
        return;
    }
    // Not subscribed until this visit's queries have been answered so: a receiver that never
    // answers gets the warning at the first tick. Demo mode has no receiver to ask.
    if (m_bWarned || subscribed == 1 || theApp().bDemoMode.load()) return;
    m_bWarned = 1;
    if (!m_bRunsBlocked) {
        m_bRunsBlocked = true;
        m_uRunsEnabled = 0;
        for (size_t i = 0; i < std::size(kRunButtons); ++i)
            if (IsItemEnabled(kRunButtons[i])) m_uRunsEnabled |= 1u << i;
    }
    for (int id : kRunButtons) EnableItem(id, false);
    ui::MessageBox("Not subscribed to x-Ref");
}

void CXREF_1::EnableKnownPoint() {
    const auto entry = ReadReferenceEntry(*this, kEdits, kLimits);
    EnableItem(IDC_XREF_INIT_KNOWN, entry && IsUsableReference(*entry));
}

bool CXREF_1::Ready() {
    RecordLock lock(g_GPS.Info.JRAD.ulJRADLock);
    return g_GPS.Info.JRAD.bXRefReady != 0;
}

void CXREF_1::WatchRun() {
    if (Ready()) {
        m_iPendingRun = XREF_RUN_NONE;
        ShowRunState(kReady);
        return;
    }
    g_TxNMEA.SendString(m_iPendingRun == XREF_RUN_SINGLE ? "$JRAD,3\r\n" : "$JRAD,2\r\n");
    ShowRunState(kNotReady);
}

void CXREF_1::StartRun(eXRefRun run) {
    m_iPendingRun = run;
    SetReady(0);
    ShowRunState(kNotReady);
    // The run's commands pause the window; it shows the new state meanwhile.
    RepaintNow();
}

void CXREF_1::ShowRunState(const char* status) {
    const bool ready = std::string_view(status) == kReady;
    m_strStatus = status;
    ShowItem(IDC_XREF_LAMP_WAIT, !ready);
    ShowItem(IDC_XREF_LAMP_READY, ready);
    // Only the status text: the coordinate edits may hold an entry still being typed.
    SetDlgItemText(IDC_XREF_STATUS, m_strStatus);
}

void CXREF_1::OnCoordinateChange(int id) {
    const auto entry = ReferenceTyped(*this, kEdits, kLimits, id);
    if (!entry) return;
    m_dLat = entry->lat;
    m_dLon = entry->lon;
    m_dHeight = entry->height;
}

void CXREF_1::OnInitKnownPoint() {
    const auto entry = ReferenceToSend(*this, kEdits, kLimits);
    if (!entry) return;
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
