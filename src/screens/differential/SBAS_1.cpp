#include "screens/differential/SBAS_1.h"

#include "engine/gps.h"
#include "engine/sbas.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "platform/numbers.h"
#include "resources/dlg_sbas1.h"
#include "screens/differential/beacon_sbas.h"
#include "screens/differential/diff_page.h"
#include "screens/differential/lband_pages.h"
#include "shell/DiffSource.h"

namespace {

constexpr ui::UINT kStatusTimer = 1;
constexpr ui::UINT kStatusMs = 1000;
constexpr int kRateOn = 2;  // eRateCode: 1 Hz
constexpr int kRateOff = 0;

}  // namespace

CSBAS_1::CSBAS_1() : CBaseDialog(Sbas1DialogTemplate(), ScreenFamily::Sbas, SCR_SBAS_1) {
    DDX_Text(IDC_SBAS1_SYSTEM1, m_strSystem1);
    DDX_Text(IDC_SBAS1_SYSTEM2, m_strSystem2);
    DDX_Text(IDC_SBAS1_PRN1, m_strPRN1);
    DDX_Text(IDC_SBAS1_PRN2, m_strPRN2);
    DDX_Text(IDC_SBAS1_LOC_PRN1, m_strLocPRN1);
    DDX_Text(IDC_SBAS1_LOC_PRN2, m_strLocPRN2);
    DDX_Text(IDC_SBAS1_LON1, m_strLon1);
    DDX_Text(IDC_SBAS1_LON2, m_strLon2);
    DDX_Text(IDC_SBAS1_EL1, m_strEl1);
    DDX_Text(IDC_SBAS1_EL2, m_strEl2);
    DDX_Text(IDC_SBAS1_AZ1, m_strAz1);
    DDX_Text(IDC_SBAS1_AZ2, m_strAz2);
    DDX_Text(IDC_SBAS_BER1, m_strBer1);
    DDX_Text(IDC_SBAS_BER2, m_strBer2);
    DDX_Text(IDC_SBAS_CAPTION1, m_strCaption1);
    DDX_Text(IDC_SBAS_CAPTION2, m_strCaption2);
    SetTabScreens(IDC_SBAS1_TAB, SbasTabs());
    WatchDiffSourceCombo(*this);
}

CSBAS_1::~CSBAS_1() = default;

ui::BOOL CSBAS_1::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    if (FirstActivation()) {
        FillTabLabels(*this, IDC_SBAS1_TAB, {"Status", "Plot"});
        SetPageFont(*this, Sbas1DialogTemplate());
        UpdateStatusStrip();
    }
    InitDiffSourceCombo(this, IDC_DIFF_SOURCE);
    RefreshStatus();
    SelectOwnTab();
    m_nTimer1 = SetTimer(kStatusTimer, kStatusMs);
    g_TxNMEA.SetMessageRate(kRateOn, "D1", false);
    g_TxNMEA.QueryGeo();
    g_TxNMEA.QueryApp(false);
    g_TxNMEA.QueryDiff();
    ActivationDone();
    return ui::TRUE;
}

void CSBAS_1::OnCancel() {
    g_TxNMEA.SetMessageRate(kRateOff, "D1", false);
    KillTimer(m_nTimer1);
    CBaseDialog::OnCancel();
}

void CSBAS_1::OnTimer(ui::UINT id) {
    if (!BeginScreenTick(id)) return;
    RefreshStatus();
    if (id == kStatusTimer) {
        g_TxNMEA.QueryApp(false);
        platform::Sleep(0);
        g_TxNMEA.QueryDiff();
        platform::Sleep(0);
        g_TxNMEA.QueryGeo();
        platform::Sleep(0);
    } else {
        CBaseDialog::OnTimer(id);
    }
    EndScreenTick();
}

void CSBAS_1::RefreshStatus() {
    LBandInfo lband;
    {
        RecordLock lock(g_GPS.Info.Nav.ulNavLock);
        lband = g_GPS.Info.LBand;
    }
    SelectDiffSourceItem(this, IDC_DIFF_SOURCE);
    const int32_t prn1 = lband.iSBASPRN1;
    const int32_t prn2 = lband.iSBASPRN2;
    m_strPRN1 = platform::Format("%d", prn1);
    m_strPRN2 = platform::Format("%d", prn2);
    m_strSystem1 = GetSBASSystem(prn1);
    m_strSystem2 = GetSBASSystem(prn2);

    struct Box {
        int32_t prn;
        std::string *prnText, *lon, *el, *az, *caption;
    };
    const Box boxes[] = {
        {prn1, &m_strLocPRN1, &m_strLon1, &m_strEl1, &m_strAz1, &m_strCaption1},
        {prn2, &m_strLocPRN2, &m_strLon2, &m_strEl2, &m_strAz2, &m_strCaption2},
    };
    for (const Box& b : boxes) {
        float elevation = 0.0f;
        float azimuth = 0.0f;
        *b.prnText = platform::Format("%d", b.prn);
        FormatSBASEntry(lband, b.prn, *b.lon, elevation, azimuth, *b.caption);
        *b.el = platform::Format("%g", static_cast<double>(elevation));
        *b.az = platform::Format("%g", static_cast<double>(azimuth));
    }

    ShowBerBar(*this, IDC_SBAS_BAR1, lband.iSBASBer1);
    ShowBerBar(*this, IDC_SBAS_BAR2, lband.iSBASBer2);
    m_strBer1 = platform::Format("%d", SetBERBar(lband.iSBASBer1).iBer);
    m_strBer2 = platform::Format("%d", SetBERBar(lband.iSBASBer2).iBer);

    UpdateStatusStrip();
    UpdateData(ui::FALSE);
}
