#include "screens/differential/beacon_3.h"

#include <array>

#include "engine/gps.h"
#include "engine/txnmea.h"
#include "platform/numbers.h"
#include "resources/dlg_beacon3.h"
#include "screens/differential/BEACON_1.h"
#include "screens/differential/beacon_sbas.h"
#include "screens/differential/diff_page.h"

namespace {

constexpr ui::UINT kPlotTimer = 1;
constexpr ui::UINT kPlotMs = 1000;
constexpr double kFreqSpan = 42.0;  // kHz over the band's height

enum Series { kSignal = 0, kSnr = 1, kFreq = 2 };

struct SeriesText {
    const char* title;
    std::array<const char*, 5> labels;  // bottom to top
    int edit;
};
constexpr SeriesText kTexts[] = {
    {"Signal Strength", {"0", "10", "20", "30", "40"}, IDC_BEACON3_SS_VALUE},
    {"Signal To Noise Ratio", {"0", "10", "20", "30", "40"}, IDC_BEACON3_SNR_VALUE},
    {"Beacon frequency", {"283.0", "293.5", "304.0", "314.5", "325.0"}, IDC_BEACON3_FREQ_VALUE},
};

strip::StripChartSpec PlotSpec() {
    GPSInfo& info = g_GPS.Info;
    strip::StripChartSpec spec;
    strip::StripSeries signal{{nullptr, info.iBeaconSSHistory, &info.iBeaconHistoryIndex}};
    signal.clamp = true;
    signal.clampHigh = 40.0;
    strip::StripSeries snr{{nullptr, info.iBeaconSNRHistory, &info.iBeaconHistoryIndex}};
    snr.clamp = true;
    snr.clampHigh = 40.0;
    spec.series = {signal, snr, {{info.fBeaconFreqHistory, nullptr, &info.iBeaconHistoryIndex}}};
    spec.plot = kBeaconPlotBand;
    spec.title = kBeaconTitleBand;
    spec.widthWord = &GPSInfo::iBeaconPlotLineWidth;
    spec.markerWord = &GPSInfo::iBeaconPlotMarker;
    spec.secondsEdit = IDC_BEACON3_SECONDS;
    spec.minutesEdit = IDC_BEACON3_MINUTES;
    return spec;
}

}  // namespace

CBEACON_3::CBEACON_3()
    : CBaseDialog(Beacon3DialogTemplate(), ScreenFamily::Beacon, SCR_BEACON_3),
      m_Chart(PlotSpec()) {
    DDX_Radio(IDC_BEACON3_SS, m_iSeries);
    SetTabScreens(IDC_BEACON3_TAB, BeaconTabs());
    m_Chart.Attach(*this);
    OnControl(IDC_BEACON3_SS, ui::BN_CLICKED, [this] { OnSeries(kSignal); });
    OnControl(IDC_BEACON3_SNR, ui::BN_CLICKED, [this] { OnSeries(kSnr); });
    OnControl(IDC_BEACON3_FREQ, ui::BN_CLICKED, [this] { OnSeries(kFreq); });
}

CBEACON_3::~CBEACON_3() = default;

ui::BOOL CBEACON_3::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    if (FirstActivation()) {
        FillTabLabels(*this, IDC_BEACON3_TAB, {"Status", "Tune", "Plot"});
        SetPageFont(*this, Beacon3DialogTemplate());
        m_Chart.FirstActivation(*this);
        UpdateStatusStrip();
    }
    m_Chart.Activate(*this);
    UpdateData(ui::FALSE);
    SelectOwnTab();
    m_nTimer1 = SetTimer(kPlotTimer, kPlotMs);
    g_TxNMEA.SetBeaconStatus(1, false);
    m_fFreqTop = 325.0f;
    m_fFreqBottom = 283.0f;
    ActivationDone();
    return ui::TRUE;
}

void CBEACON_3::OnCancel() {
    LeaveBeaconScreen(*this);
    CBaseDialog::OnCancel();
}

void CBEACON_3::OnTimer(ui::UINT id) {
    if (!BeginScreenTick(id)) return;
    UpdateStatusStrip();
    UpdateData(ui::FALSE);
    if (id == kPlotTimer) DrawStripChart();
    CBaseDialog::OnTimer(id);
    EndScreenTick();
}

void CBEACON_3::OnSeries(int series) {
    m_iSeries = series;
    UpdateData(ui::FALSE);
}

void CBEACON_3::DrawStripChart() {
    if (m_iSeries < kSignal || m_iSeries > kFreq) m_iSeries = kSnr;
    const SeriesText& text = kTexts[m_iSeries];
    m_Chart.Snapshot();

    strip::StripFrame frame;
    frame.series = {m_iSeries};
    if (m_iSeries == kFreq)
        frame.scale = {(static_cast<double>(m_fFreqTop) + m_fFreqBottom) / 2, kFreqSpan, false};
    else
        frame.scale = {20.0, 40.0, false};
    for (size_t k = 0; k < 5; ++k) frame.valueLabels[k] = text.labels[k];
    frame.title = {{text.title, strip::kCurve, 0, false}};
    const strip::StripCursor cursor = m_Chart.Draw(*this, frame);

    const double value = m_Chart.Sample(m_iSeries, cursor.sample);
    for (int s = kSignal; s <= kFreq; ++s) {
        std::string shown = "N/A";
        if (s == m_iSeries)
            shown = s == kFreq ? platform::Format("%.1f", value)
                               : platform::Format("%d", static_cast<int>(value));
        SetDlgItemText(kTexts[s].edit, shown);
    }
}
