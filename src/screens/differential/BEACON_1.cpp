#include "screens/differential/BEACON_1.h"

#include <algorithm>

#include "engine/beacon_tables.h"
#include "engine/cp1252.h"
#include "engine/gps.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "platform/numbers.h"
#include "resources/dlg_beacon1.h"
#include "screens/differential/beacon_sbas.h"
#include "screens/differential/diff_page.h"
#include "shell/DiffSource.h"

namespace {

constexpr ui::UINT kStatusTimer = 1;
constexpr ui::UINT kStatusMs = 1000;

struct BarRange {
    int id;
    int high;
};
constexpr BarRange kBarRanges[] = {{IDC_BEACON1_SS_BAR, 50},
                                   {IDC_BEACON1_SNR_BAR, 25},
                                   {IDC_BEACON1_MTP_BAR, 100},
                                   {IDC_BEACON1_Q_BAR, 25}};

}  // namespace

std::string BeaconRateText(int32_t iBeaconBitRate) {
    if (iBeaconBitRate == BEACON_RATE_100) return "100 bps";
    if (iBeaconBitRate == BEACON_RATE_200) return "200 bps";
    return "Auto";
}

void LeaveBeaconScreen(CBaseDialog& screen) {
    g_TxNMEA.SetBeaconStatus(0, false);
    screen.KillTimer(screen.m_nTimer1);
}

CBEACON_1::CBEACON_1() : CBaseDialog(Beacon1DialogTemplate(), ScreenFamily::Beacon, SCR_BEACON_1) {
    DDX_Text(IDC_BEACON1_NAME, m_strName);
    DDX_Text(IDC_BEACON1_FREQ, m_strFreq);
    DDX_Text(IDC_BEACON1_FREQ_MODE, m_strFreqMode);
    DDX_Text(IDC_BEACON1_RATE, m_strRate);
    DDX_Text(IDC_BEACON1_RATE_MODE, m_strRateMode);
    DDX_Text(IDC_BEACON1_STATION_ID, m_strStationId);
    DDX_Text(IDC_BEACON1_HEALTH, m_strHealth);
    DDX_Text(IDC_BEACON1_SS_VALUE, m_strSS);
    DDX_Text(IDC_BEACON1_SNR_VALUE, m_strSNR);
    DDX_Text(IDC_BEACON1_MTP_VALUE, m_strMTP);
    DDX_Text(IDC_BEACON1_Q_VALUE, m_strQ);
    SetTabScreens(IDC_BEACON1_TAB, BeaconTabs());
    WatchDiffSourceCombo(*this);
}

CBEACON_1::~CBEACON_1() = default;

ui::BOOL CBEACON_1::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    if (FirstActivation()) {
        FillTabLabels(*this, IDC_BEACON1_TAB, {"Status", "Tune", "Plot"});
        SetPageFont(*this, Beacon1DialogTemplate());
        UpdateStatusStrip();
    }
    InitDiffSourceCombo(this, IDC_DIFF_SOURCE);
    RefreshStatus();
    SelectOwnTab();
    m_nTimer1 = SetTimer(kStatusTimer, kStatusMs);
    SendStatusQueries();
    ActivationDone();
    return ui::TRUE;
}

void CBEACON_1::SendStatusQueries() {
    g_TxNMEA.QueryApp(false);
    g_TxNMEA.QueryDiff();
    g_TxNMEA.SetBeaconStatus(1, false);
}

void CBEACON_1::OnCancel() {
    LeaveBeaconScreen(*this);
    CBaseDialog::OnCancel();
}

void CBEACON_1::OnTimer(ui::UINT id) {
    if (!BeginScreenTick(id)) return;
    RefreshStatus();
    if (id == kStatusTimer)
        SendStatusQueries();
    else
        CBaseDialog::OnTimer(id);
    EndScreenTick();
}

void CBEACON_1::RefreshStatus() {
    BeaconInfo beacon;
    {
        RecordLock lock(g_GPS.Info.Nav.ulNavLock);
        beacon = g_GPS.Info.Beacon;
    }
    SelectDiffSourceItem(this, IDC_DIFF_SOURCE);
    m_strName = Cp1252ToUtf8(LookupStationName(beacon.iStationId, beacon.fBeaconFreq));
    m_strFreq = platform::Format("%.1f kHz", static_cast<double>(beacon.fBeaconFreq));
    m_strFreqMode = beacon.cFreqMode == 'M' ? "Manual" : "Auto";
    m_strRate = BeaconRateText(beacon.iBeaconBitRate);
    m_strRateMode = beacon.cRateMode == 'M' ? "Manual" : "Auto";
    m_strStationId = platform::Format("%d", beacon.iStationId);
    m_strHealth = platform::Format("%d", beacon.iHealth);

    // The SNR bar and its label are clamped; the others show the value as it came.
    const int snr = std::clamp(beacon.iSNR, 0, 25);
    const int positions[] = {beacon.iSignalStrength, snr, beacon.iMTP, beacon.iQ};
    for (size_t i = 0; i < std::size(kBarRanges); ++i) {
        SetRange(kBarRanges[i].id, 0, kBarRanges[i].high);
        SetStep(kBarRanges[i].id, 1);
        SetPos(kBarRanges[i].id, positions[i]);
    }
    m_strSS = platform::Format("%d", beacon.iSignalStrength);
    m_strSNR = platform::Format("%d", snr);
    m_strMTP = platform::Format("%d", beacon.iMTP);
    m_strQ = platform::Format("%d", beacon.iQ);

    UpdateStatusStrip();
    UpdateData(ui::FALSE);
}
