#include "screens/differential/BEACON_2.h"

#include <array>

#include "engine/beacon_tables.h"
#include "engine/cp1252.h"
#include "engine/gps.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "platform/numbers.h"
#include "resources/dlg_beacon2.h"
#include "screens/differential/BEACON_1.h"
#include "screens/differential/beacon_sbas.h"
#include "screens/differential/diff_page.h"

namespace {

constexpr ui::UINT kStatusTimer = 1;
constexpr ui::UINT kStatusMs = 1000;

constexpr int kFreqCount = 84;  // 283.5 to 325.0 kHz in half kilohertz
constexpr double kFirstFreq = 283.5;
constexpr uint32_t kTunePauseMs = 1000;
constexpr uint32_t kErasePauseMs = 500;

constexpr std::array<const char*, 7> kRegions{
    "Africa", "Asia", "Australia", "Europe", "North America", "South America", "Central America"};
constexpr std::array<const char*, 3> kRates{"100 bps", "200 bps", "Auto"};

// Names before the list's end mark, as far as the list goes.
std::vector<std::string> UntilEnd(std::vector<std::string> list, size_t cap) {
    std::vector<std::string> names;
    for (std::string& name : list) {
        if (name == kEndOfList || names.size() == cap) break;
        names.push_back(std::move(name));
    }
    return names;
}

int IndexOf(const std::vector<std::string>& list, const std::string& name) {
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i] == name) return static_cast<int>(i);
    return -1;
}

}  // namespace

CBEACON_2::CBEACON_2() : CBaseDialog(Beacon2DialogTemplate(), ScreenFamily::Beacon, SCR_BEACON_2) {
    DDX_Text(IDC_BEACON2_NAME, m_strName);
    DDX_Text(IDC_BEACON2_FREQ, m_strFreq);
    DDX_Text(IDC_BEACON2_RATE, m_strRate);
    SetTabScreens(IDC_BEACON2_TAB, BeaconTabs());
    OnControl(IDC_BEACON2_REGION, ui::CBN_SELCHANGE, [this] { OnRegionChange(); });
    OnControl(IDC_BEACON2_COUNTRY, ui::CBN_SELCHANGE, [this] { OnCountryChange(); });
    OnControl(IDC_BEACON2_STATION, ui::CBN_SELCHANGE, [this] { OnStationChange(); });
    OnControl(IDC_BEACON2_TUNE_MANUAL, ui::BN_CLICKED, [this] { OnManualTune(); });
    OnControl(IDC_BEACON2_TUNE_AUTO, ui::BN_CLICKED, [this] { OnAutoTune(); });
    OnControl(IDC_BEACON2_TUNE_ERASE, ui::BN_CLICKED, [this] { OnAutoTuneErase(); });
    OnControl(IDC_BEACON2_TUNE_NAME, ui::BN_CLICKED, [this] { OnTuneByName(); });
}

CBEACON_2::~CBEACON_2() = default;

ui::BOOL CBEACON_2::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    const bool first = FirstActivation();
    if (first) {
        FillTabLabels(*this, IDC_BEACON2_TAB, {"Status", "Tune", "Plot"});
        SetPageFont(*this, Beacon2DialogTemplate());
        UpdateStatusStrip();
        m_strRegion = "North America";
        m_strCountry = "USA";
        m_strStation = "Polson       MT";
        m_fFreq = 287.0f;
    }
    FillLists();
    SelectOwnTab();
    m_nTimer1 = SetTimer(kStatusTimer, kStatusMs);
    g_TxNMEA.SetBeaconStatus(1, false);
    ActivationDone();
    return ui::TRUE;
}

void CBEACON_2::FillLists() {
    ResetContent(IDC_BEACON2_RATE_LIST);
    for (const char* rate : kRates) AddString(IDC_BEACON2_RATE_LIST, rate);
    ResetContent(IDC_BEACON2_REGION);
    for (const char* region : kRegions) AddString(IDC_BEACON2_REGION, region);
    ResetContent(IDC_BEACON2_FREQ_LIST);
    for (int i = 0; i < kFreqCount; ++i)
        AddString(IDC_BEACON2_FREQ_LIST, platform::Format("%.1f", kFirstFreq + 0.5 * i));
    SetCurSel(IDC_BEACON2_FREQ_LIST, 0);

    int32_t rate = 0;
    {
        RecordLock lock(g_GPS.Info.Nav.ulNavLock);
        rate = g_GPS.Info.Beacon.iBeaconBitRate;
    }
    SetCurSel(IDC_BEACON2_RATE_LIST, rate == BEACON_RATE_100 ? 0 : rate == BEACON_RATE_200 ? 1 : 2);

    for (size_t i = 0; i < kRegions.size(); ++i)
        if (m_strRegion == kRegions[i]) SetCurSel(IDC_BEACON2_REGION, static_cast<int>(i));
    FillCountries(false);
    FillStations(false);
    RefreshStatus();
}

// The country list of the region chosen; with `takeFirst` its first country becomes the
// choice (an empty list keeps the previous one).
void CBEACON_2::FillCountries(bool takeFirst) {
    countries_ = UntilEnd(GetCountryList(m_strRegion), 50);
    if (takeFirst && !countries_.empty()) m_strCountry = countries_.front();
    ResetContent(IDC_BEACON2_COUNTRY);
    for (const std::string& name : countries_) AddString(IDC_BEACON2_COUNTRY, Cp1252ToUtf8(name));
    SetCurSel(IDC_BEACON2_COUNTRY, IndexOf(countries_, m_strCountry));
}

void CBEACON_2::FillStations(bool takeFirst) {
    stations_ = UntilEnd(GetStationList(m_strCountry), 150);
    if (takeFirst && !stations_.empty()) m_strStation = stations_.front();
    ResetContent(IDC_BEACON2_STATION);
    for (const std::string& name : stations_) AddString(IDC_BEACON2_STATION, Cp1252ToUtf8(name));
    SetCurSel(IDC_BEACON2_STATION, IndexOf(stations_, m_strStation));
}

void CBEACON_2::OnRegionChange() {
    const int sel = GetCurSel(IDC_BEACON2_REGION);
    if (sel < 0 || sel >= static_cast<int>(kRegions.size())) return;
    m_strRegion = kRegions[static_cast<size_t>(sel)];
    FillCountries(true);
    FillStations(true);
}

void CBEACON_2::OnCountryChange() {
    const int sel = GetCurSel(IDC_BEACON2_COUNTRY);
    if (sel < 0 || sel >= static_cast<int>(countries_.size())) return;
    m_strCountry = countries_[static_cast<size_t>(sel)];
    FillStations(true);
}

void CBEACON_2::OnStationChange() {
    const int sel = GetCurSel(IDC_BEACON2_STATION);
    if (sel < 0 || sel >= static_cast<int>(stations_.size())) return;
    m_strStation = stations_[static_cast<size_t>(sel)];
}

void CBEACON_2::OnManualTune() {
    const int sel = GetCurSel(IDC_BEACON2_FREQ_LIST);
    const float freq = sel >= 0 ? static_cast<float>(kFirstFreq + 0.5 * sel) : 0.0f;
    const int rateSel = GetCurSel(IDC_BEACON2_RATE_LIST);
    const int rate = rateSel == 0 ? BEACON_RATE_100 : rateSel == 1 ? BEACON_RATE_200 : 0;
    Tune(freq, rate, false);
    m_fFreq = freq;
    m_iBitRate = rate;
}

void CBEACON_2::OnAutoTune() {
    Tune(0.0f, 0, false);
}

void CBEACON_2::OnAutoTuneErase() {
    Tune(0.0f, 0, true);
}

void CBEACON_2::OnTuneByName() {
    const float freq = LookupStationFreq(std::string_view(m_strStation));
    Tune(freq, 0, false);
    m_fFreq = freq;
    m_iBitRate = 0;
}

void CBEACON_2::Tune(float freqKhz, int bitRate, bool erase) {
    g_TxNMEA.TuneBeacon(freqKhz, bitRate, 1);
    // The pauses hold the window; show the press before them.
    RepaintNow();
    if (erase) {
        platform::Sleep(kErasePauseMs);
        g_TxNMEA.BeaconErase();
    }
    platform::Sleep(kTunePauseMs);
    g_TxNMEA.SetBeaconStatus(1, false);
    RecordLock lock(g_GPS.Info.Beacon.ulBeaconLock);
    WizardInfo& live = g_GPS.Info.Settings.WizardLive;
    live.fFreq = freqKhz;
    live.iBitRate = bitRate;
}

void CBEACON_2::OnCancel() {
    LeaveBeaconScreen(*this);
    CBaseDialog::OnCancel();
}

void CBEACON_2::OnTimer(ui::UINT id) {
    if (!BeginScreenTick(id)) return;
    RefreshStatus();
    CBaseDialog::OnTimer(id);
    EndScreenTick();
}

void CBEACON_2::RefreshStatus() {
    BeaconInfo beacon;
    {
        RecordLock lock(g_GPS.Info.Nav.ulNavLock);
        beacon = g_GPS.Info.Beacon;
    }
    m_strName = Cp1252ToUtf8(LookupStationName(beacon.iStationId, beacon.fBeaconFreq));
    m_strFreq = platform::Format("%.1f kHz", static_cast<double>(beacon.fBeaconFreq));
    m_strRate = BeaconRateText(beacon.iBeaconBitRate);
    UpdateStatusStrip();
    UpdateData(ui::FALSE);
}
