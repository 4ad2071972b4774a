#include "screens/differential/LBND_2.h"

#include "engine/beacon_tables.h"
#include "engine/gps.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "platform/numbers.h"
#include "platform/trace.h"
#include "resources/dlg_lbnd2.h"
#include "screens/differential/diff_page.h"
#include "screens/differential/lband_pages.h"

namespace {

constexpr ui::UINT kRefreshTimer = 1;
constexpr ui::UINT kRefreshMs = 1000;
constexpr ui::UINT kTunePauseMs = 1000;

constexpr int32_t kRates[] = {1200, 600};
constexpr const char* kRateTexts[] = {"1200", " 600"};

int Clamp(int index, int count) {
    return index >= 0 && index < count ? index : 0;
}

}  // namespace

CLBND_2::CLBND_2() : CBaseDialog(Lbnd2DialogTemplate(), ScreenFamily::LBand, SCR_LBND_2) {
    DDX_Text(IDC_LBND2_FREQ, m_strFreq);
    DDX_Text(IDC_LBND2_BEAM, m_strBeamName);
    DDX_Text(IDC_LBND2_RATE, m_strRate);
    SetTabScreens(IDC_LBND2_TAB, kLBandTabScreens);
    OnControl(IDC_LBND2_FREQ_LIST, ui::CBN_SELCHANGE,
              [this] { m_iFreqIndex = GetCurSel(IDC_LBND2_FREQ_LIST); });
    OnControl(IDC_LBND2_RATE_LIST, ui::CBN_SELCHANGE,
              [this] { m_iRateIndex = GetCurSel(IDC_LBND2_RATE_LIST); });
    OnControl(IDC_LBND2_BEAM_LIST, ui::CBN_SELCHANGE,
              [this] { m_iBeamIndex = GetCurSel(IDC_LBND2_BEAM_LIST); });
    OnControl(IDC_LBND2_CONTINENT, ui::CBN_SELCHANGE, [this] { OnContinent(); });
    OnControl(IDC_LBND2_TUNE_MANUAL, ui::BN_CLICKED, [this] { OnTuneManual(); });
    OnControl(IDC_LBND2_TUNE_AUTO, ui::BN_CLICKED, [this] { OnTuneAuto(); });
    OnControl(IDC_LBND2_TUNE_NAME, ui::BN_CLICKED, [this] { OnTuneByName(); });
}

ui::BOOL CLBND_2::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    if (FirstActivation()) {
        FillLBandTabs(*this, IDC_LBND2_TAB);
        SetPageFont(*this, Template());
        UpdateStatusStrip();
    }
    ResetContent(IDC_LBND2_FREQ_LIST);
    for (const LBandTuneFreq& f : kLBandTuneFreqs) AddString(IDC_LBND2_FREQ_LIST, f.szMHz);
    ResetContent(IDC_LBND2_RATE_LIST);
    for (const char* r : kRateTexts) AddString(IDC_LBND2_RATE_LIST, r);
    ResetContent(IDC_LBND2_CONTINENT);
    for (const LBandContinent& c : LBandContinents()) AddString(IDC_LBND2_CONTINENT, c.szName);

    // A remembered index past its list (a beam of an earlier continent) reads as the first.
    m_iFreqIndex = Clamp(m_iFreqIndex, static_cast<int>(kLBandTuneFreqs.size()));
    m_iRateIndex = Clamp(m_iRateIndex, static_cast<int>(std::size(kRates)));
    m_iContinentIndex = Clamp(m_iContinentIndex, static_cast<int>(LBandContinents().size()));
    FillBeamList(m_iContinentIndex);
    m_iBeamIndex = Clamp(m_iBeamIndex, GetCount(IDC_LBND2_BEAM_LIST));
    SetCurSel(IDC_LBND2_FREQ_LIST, m_iFreqIndex);
    SetCurSel(IDC_LBND2_RATE_LIST, m_iRateIndex);
    SetCurSel(IDC_LBND2_CONTINENT, m_iContinentIndex);
    SetCurSel(IDC_LBND2_BEAM_LIST, m_iBeamIndex);

    RefreshBeam();
    SelectOwnTab();
    m_nTimer1 = SetTimer(kRefreshTimer, kRefreshMs);
    g_TxNMEA.SetMessageRate(kLBandRateOn, "D1", false);
    g_TxNMEA.QueryDiff();
    g_TxNMEA.QueryGeo();
    ActivationDone();
    return ui::TRUE;
}

void CLBND_2::OnCancel() {
    g_TxNMEA.SetBeaconStatus(0, false);
    KillTimer(m_nTimer1);
    CBaseDialog::OnCancel();
}

void CLBND_2::OnTimer(ui::UINT id) {
    if (!BeginScreenTick(id)) return;
    if (id != kRefreshTimer) {
        CBaseDialog::OnTimer(id);
        return;
    }
    RefreshBeam();
    EndScreenTick();
    g_TxNMEA.QueryDiff();
    g_TxNMEA.QueryGeo();
}

void CLBND_2::RefreshBeam() {
    uint32_t freq;
    int32_t rate;
    float longitude;
    {
        const LBandInfo& lb = g_GPS.Info.LBand;
        RecordLock lock(g_GPS.Info.LBand.ulLBandLock);
        freq = lb.LBandBeam.ulFreqKhz;
        rate = lb.LBandBeam.iId;
        longitude = lb.LBandBeam.fLongitude;
    }
    m_strFreq = platform::Format("%lu", static_cast<unsigned long>(freq));
    m_strRate = platform::Format("%d", rate);
    m_strBeamName = LBandBeamName(freq, longitude);
    UpdateStatusStrip();
    UpdateData(ui::FALSE);
}

void CLBND_2::FillBeamList(int continent) {
    ResetContent(IDC_LBND2_BEAM_LIST);
    const auto& continents = LBandContinents();
    if (continent < 0 || continent >= static_cast<int>(continents.size())) return;
    for (const char* beam : continents[static_cast<size_t>(continent)].beams)
        AddString(IDC_LBND2_BEAM_LIST, beam);
}

void CLBND_2::OnContinent() {
    const int continent = GetCurSel(IDC_LBND2_CONTINENT);
    if (continent < 0) return;
    m_iContinentIndex = continent;
    FillBeamList(continent);
    SetCurSel(IDC_LBND2_BEAM_LIST, 0);
    // The remembered beam belonged to the old list.
    m_iBeamIndex = 0;
}

void CLBND_2::OnTuneManual() {
    if (m_iFreqIndex < 0 || m_iFreqIndex >= static_cast<int>(kLBandTuneFreqs.size()) ||
        m_iRateIndex < 0 || m_iRateIndex >= static_cast<int>(std::size(kRates))) {
        TRACE_ASSERT(false);
        return;
    }
    const uint32_t freq = kLBandTuneFreqs[static_cast<size_t>(m_iFreqIndex)].ulFreqKhz;
    const int32_t rate = kRates[m_iRateIndex];
    g_TxNMEA.SetFrequency(false, freq, rate);
    AfterTune(freq, rate);
}

void CLBND_2::OnTuneAuto() {
    g_TxNMEA.SetFrequency(true, 0, 0);
    AfterTune(0, 0);
}

void CLBND_2::OnTuneByName() {
    const int beam = GetCurSel(IDC_LBND2_BEAM_LIST);
    const uint32_t freq = beam >= 0 ? LBandBeamFreq(GetLBText(IDC_LBND2_BEAM_LIST, beam)) : 0;
    if (freq == 0) {
        TRACE_ASSERT(false);
        return;
    }
    g_TxNMEA.SetFrequency(false, freq, kLBandBeamRate);
    AfterTune(freq, kLBandBeamRate);
}

void CLBND_2::AfterTune(uint32_t freqKhz, int32_t rate) {
    RepaintNow();
    platform::Sleep(kTunePauseMs);
    g_TxNMEA.SetMessageRate(kLBandRateOn, "D1", false);
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        WizardInfo& wiz = g_GPS.Info.Settings.WizardLive;
        wiz.ulFreqKhz = freqKhz;
        wiz.iSymbolRate = rate;
    }
    m_strFreq.clear();
    m_strBeamName.clear();
    m_strRate.clear();
    for (int id : {IDC_LBND2_FREQ, IDC_LBND2_BEAM, IDC_LBND2_RATE}) SetDlgItemText(id, "");
}
