#include "screens/differential/TSpanDlg1.h"

#include <array>
#include <string>

#include "engine/gps.h"
#include "engine/nmea.h"
#include "engine/tspan.h"
#include "engine/txnmea.h"
#include "platform/numbers.h"
#include "platform/trace.h"
#include "resources/dlg_tspan.h"
#include "screens/differential/diff_page.h"
#include "screens/differential/reference_entry.h"
#include "shell/DiffSource.h"
#include "ui/messagebox.h"

namespace {

constexpr const char* kPortNames[] = {"NONE", "PORTA", "PORTB", "PORTC"};

constexpr ReferenceEdits kEdits = {IDC_TSPAN_LAT, IDC_TSPAN_LON, IDC_TSPAN_HEIGHT};
constexpr ReferenceLimits kLimits = kTSpanReferenceLimits;

}  // namespace

TSpanDlg1::TSpanDlg1()
    : CSetupPage(TSpanBaseDialogTemplate(), ScreenFamily::TSpanBase, SCR_TSPAN_BASE) {
    DDX_Text(IDC_TSPAN_LAT, m_dLat);
    DDX_Text(IDC_TSPAN_LON, m_dLon);
    DDX_Text(IDC_TSPAN_HEIGHT, m_dHeight);
    for (int id : kEdits) OnControl(id, ui::EN_CHANGE, [this, id] { OnCoordinateChange(id); });
    OnControl(IDC_TSPAN_INITIALIZE, ui::BN_CLICKED, [this] { OnInitialize(); });
    WatchDiffSourceCombo(*this);
}

ui::BOOL TSpanDlg1::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    m_bClosing = 0;
    if (FirstActivation()) {
        FirstSetupActivation();
        QueryAndSaveReference();
        ShowSaved();
        UpdateData(ui::FALSE);
    }
    ShowSaved();
    EnableInitialize();
    StartSetupTimers();
    g_TxNMEA.QueryApp(false);
    g_TxNMEA.QueryDiff();
    ActivationDone();
    return ui::TRUE;
}

void TSpanDlg1::ShowSaved() {
    InitDiffSourceCombo(this, IDC_DIFF_SOURCE);
    double lat, lon, alt;
    int32_t port;
    {
        RecordLock lock(g_GPS.Info.RxPortConfig.ulLastWord);
        const WizardInfo& saved = g_GPS.Info.Settings.WizardLive;
        lat = saved.dRefLat;
        lon = saved.dRefLon;
        alt = saved.dRefAlt;
        port = saved.eDfxPort;
    }
    if (port < DFX_NONE || port > DFX_PORTC) port = DFX_NONE;
    SetDlgItemText(IDC_TSPAN_LAT, platform::Format("%.8lf", lat));
    SetDlgItemText(IDC_TSPAN_LON, platform::Format("%.8lf", lon));
    SetDlgItemText(IDC_TSPAN_HEIGHT, platform::Format("%.3lf", alt));
    m_dLat = lat;
    m_dLon = lon;
    m_dHeight = alt;
    ResetContent(IDC_TSPAN_PORT);
    for (const char* name : kPortNames) AddString(IDC_TSPAN_PORT, name);
    SetCurSel(IDC_TSPAN_PORT, port);
    RefreshSource();
}

void TSpanDlg1::ShowAnswered() {
    ShowSaved();
    std::array<std::string, kEdits.size()> fixed;
    for (size_t i = 0; i < kEdits.size(); ++i) fixed[i] = GetDlgItemText(kEdits[i]);
    UpdateData(ui::FALSE);
    // The transfer's general format gives a small number an exponent ("1e-05") and may run past
    // a field: the command cannot carry such a text as it stands, so the edit shows the fixed
    // one again, which a press takes back.
    for (size_t i = 0; i < kEdits.size(); ++i)
        if (!ReferenceTextError(kReferenceFields[i], GetDlgItemText(kEdits[i]), kLimits).empty())
            SetDlgItemText(kEdits[i], fixed[i]);
}

bool TSpanDlg1::QueryAndSaveReference() {
    const uint32_t before = g_ulJRTKPositionReplies.load();
    g_TSpan.QueryReference();
    if (g_ulJRTKPositionReplies.load() == before) return false;
    g_TSpan.SaveReference();
    return true;
}

void TSpanDlg1::OnInitialize() {
    const int port = GetCurSel(IDC_TSPAN_PORT);
    if (port <= DFX_NONE || port > DFX_PORTC) return;
    const std::string lat = GetDlgItemText(IDC_TSPAN_LAT);
    const std::string lon = GetDlgItemText(IDC_TSPAN_LON);
    const std::string height = GetDlgItemText(IDC_TSPAN_HEIGHT);
    const auto entry = ReferenceToSend(*this, kEdits, kLimits);
    if (!entry) return;
    // About a second of pauses follows.
    RepaintNow();
    g_TSpan.SendDfxPortName(GetLBText(IDC_TSPAN_PORT, port));
    const bool accepted = g_TSpan.SendReferenceText(lat, lon, height);
    if (!accepted) ui::MessageBox("Reference position invalid.");
    const bool answered = QueryAndSaveReference();
    // The refusal may also come only while the reference is queried, answered or not.
    const bool refusedLate = g_bRTKRefInvalid.exchange(0) != 0 && accepted;
    if (refusedLate) ui::MessageBox("Reference position invalid.");
    if (answered) {
        ShowAnswered();
        return;
    }
    // The receiver kept its old reference, so the saved one stays too.
    if (!accepted || refusedLate) return;
    // Without an answer the typed position is what the receiver was last sent; keeping it
    // as the saved one stops the exit's configuration send from restoring an older one.
    platform::Trace("Tessaray_PC: TSpan Setup: no reference reply, typed position kept\n");
    m_dLat = entry->lat;
    m_dLon = entry->lon;
    m_dHeight = entry->height;
    RecordLock lock(g_GPS.Info.RxPortConfig.ulLastWord);
    WizardInfo& saved = g_GPS.Info.Settings.WizardLive;
    saved.dRefLat = entry->lat;
    saved.dRefLon = entry->lon;
    saved.dRefAlt = entry->height;
    saved.eDfxPort = port;
}

void TSpanDlg1::OnCoordinateChange(int id) {
    const auto entry = ReferenceTyped(*this, kEdits, kLimits, id);
    if (!entry) return;
    m_dLat = entry->lat;
    m_dLon = entry->lon;
    m_dHeight = entry->height;
}

void TSpanDlg1::OnSetupTick(ui::UINT) {
    EnableInitialize();
}

void TSpanDlg1::EnableInitialize() {
    const auto entry = ReadReferenceEntry(*this, kEdits, kLimits);
    EnableItem(IDC_TSPAN_INITIALIZE,
               entry && IsUsableReference(*entry) && GetCurSel(IDC_TSPAN_PORT) > DFX_NONE);
}
