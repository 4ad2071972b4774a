#include "screens/differential/LBND_1.h"

#include <utility>

#include "engine/beacon_tables.h"
#include "engine/gps.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "platform/numbers.h"
#include "resources/dlg_lbnd1.h"
#include "screens/differential/diff_page.h"
#include "screens/differential/lband_pages.h"
#include "shell/DiffSource.h"
#include "shell/Tessaray_PC.h"

namespace {

constexpr ui::UINT kRefreshTimer = 1;
constexpr ui::UINT kRefreshMs = 1000;

// The values one refresh shows, copied under the record's lock.
struct StatusCopy {
    uint32_t freqKhz = 0;
    int32_t geoId = 0;
    float longitude = 0, elevation = 0, azimuth = 0;
    int32_t ber = 0;
    uint32_t status = 0;
};

}  // namespace

CLBND_1::CLBND_1() : CBaseDialog(Lbnd1DialogTemplate(), ScreenFamily::LBand, SCR_LBND_1) {
    DDX_Text(IDC_LBND1_BEAM, m_strBeamName);
    DDX_Text(IDC_LBND1_FREQ, m_strFreq);
    DDX_Text(IDC_LBND1_RATE, m_strRate);
    DDX_Text(IDC_LBND1_LONGITUDE, m_strLongitude);
    DDX_Text(IDC_LBND1_ELEVATION, m_strElevation);
    DDX_Text(IDC_LBND1_AZIMUTH, m_strAzimuth);
    DDX_Text(IDC_LBND1_BER_TEXT, m_strBer);
    for (size_t i = 0; i < std::size(kLBandStatusFlags); ++i)
        DDX_Text(kLBandStatusFlags[i].edit, m_strFlag[i]);
    SetTabScreens(IDC_LBND1_TAB, kLBandTabScreens);
    WatchDiffSourceCombo(*this);
}

ui::BOOL CLBND_1::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    if (FirstActivation()) {
        FillLBandTabs(*this, IDC_LBND1_TAB);
        SetPageFont(*this, Template());
        UpdateStatusStrip();
    }
    m_bRetunePending = m_bEntryHeld = m_bTickHeld = false;
    InitDiffSourceCombo(this, IDC_DIFF_SOURCE);
    RefreshStatus();
    SelectOwnTab();
    m_nTimer1 = SetTimer(kRefreshTimer, kRefreshMs);
    if (m_bRetunePending)
        m_bEntryHeld = true;
    else
        SendEntryQueries();
    ActivationDone();
    return ui::TRUE;
}

void CLBND_1::OnCancel() {
    KillTimer(kRetuneTimer);
    if (m_bRetunePending) {
        // A retune begun is finished first, its second kept, as if the page had waited.
        WaitOutWirePause();
        FinishRetune(false);
    }
    g_TxNMEA.SetBeaconStatus(0, false);
    KillTimer(m_nTimer1);
    CBaseDialog::OnCancel();
}

void CLBND_1::OnTimer(ui::UINT id) {
    if (id == kRetuneTimer) {
        // A timer may fire a little early; the pause is a minimum.
        if (const uint32_t left = WirePauseLeft(); m_bRetunePending && left > 0) {
            SetOneShotTimer(kRetuneTimer, left);
            return;
        }
        FinishRetune(true);
        return;
    }
    if (!BeginScreenTick(id)) return;
    if (id != kRefreshTimer) {
        CBaseDialog::OnTimer(id);
        return;
    }
    RefreshStatus();
    EndScreenTick();
    // Nothing else goes out in the second after "$JFREQ,0".
    if (m_bRetunePending)
        m_bTickHeld = true;
    else
        SendTickQueries();
}

void CLBND_1::SendEntryQueries() {
    g_TxNMEA.SetMessageRate(kLBandRateOn, "D1", false);
    g_TxNMEA.QueryGeo();
    g_TxNMEA.QueryApp(false);
    g_TxNMEA.QueryDiff();
}

void CLBND_1::SendTickQueries() {
    g_TxNMEA.QueryApp(false);
    g_TxNMEA.QueryDiff();
    g_TxNMEA.QueryGeo();
    g_TxNMEA.SetMessageRate(kLBandRateOn, "D1", false);
}

void CLBND_1::RefreshStatus() {
    StatusCopy v;
    bool retune = false;
    {
        GPSInfo& info = g_GPS.Info;
        RecordLock lock(info.LBand.ulLBandLock);
        const LBandInfo& lb = info.LBand;
        v.freqKhz = lb.LBandBeam.ulFreqKhz;
        v.geoId = lb.LBandBeam.iId;
        v.longitude = lb.LBandBeam.fLongitude;
        v.elevation = lb.LBandBeam.fElevation;
        v.azimuth = lb.LBandBeam.fAzimuth;
        v.ber = lb.iLBandBer;
        v.status = lb.wLBandStatus;
        // Nothing to retune before the receiver has named a frequency, nor while one retune
        // is still waiting for its follow-up.
        retune = !m_bRetunePending && v.freqKhz != 0 && !IsLBandBeamFreq(v.freqKhz) &&
                 !theApp().bDemoMode.load();
        if (retune) {
            WizardInfo& wiz = info.Settings.WizardLive;
            wiz.ulFreqKhz = 0;
            wiz.iSymbolRate = 0;
        }
    }
    if (retune) StartRetune();

    SelectDiffSourceItem(this, IDC_DIFF_SOURCE);
    m_strFreq = platform::Format("%lu", static_cast<unsigned long>(v.freqKhz));
    m_strRate = platform::Format("%d", v.geoId);
    m_strLongitude = platform::Format("%.1f", static_cast<double>(v.longitude));
    m_strElevation = platform::Format("%g", static_cast<double>(v.elevation));
    m_strAzimuth = platform::Format("%g", static_cast<double>(v.azimuth));
    m_strBeamName = LBandBeamName(v.freqKhz, v.longitude);
    ShowBerBar(*this, IDC_LBND1_BER_BAR, v.ber);
    m_strBer = platform::Format("%d", v.ber);
    for (size_t i = 0; i < std::size(kLBandStatusFlags); ++i)
        m_strFlag[i] = (v.status & kLBandStatusFlags[i].bit) ? "BAD" : "OK";
    UpdateStatusStrip();
    UpdateData(ui::FALSE);
}

void CLBND_1::StartRetune() {
    m_bRetunePending = true;
    g_TxNMEA.SetFrequency(true, 0, 0);
    BeginWirePause(kRetuneFollowUpMs);
    SetOneShotTimer(kRetuneTimer, kRetuneFollowUpMs);
}

void CLBND_1::FinishRetune(bool deliverLinkTick) {
    if (!m_bRetunePending) return;
    m_bRetunePending = false;
    g_TxNMEA.SetMessageRate(kLBandRateOn, "D1", false);
    if (std::exchange(m_bEntryHeld, false)) SendEntryQueries();
    if (std::exchange(m_bTickHeld, false)) SendTickQueries();
    EndWirePause(deliverLinkTick);
}
