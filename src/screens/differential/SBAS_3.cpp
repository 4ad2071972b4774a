#include "screens/differential/SBAS_3.h"

#include <algorithm>
#include <array>

#include "engine/gps.h"
#include "engine/sbas.h"
#include "engine/txnmea.h"
#include "platform/numbers.h"
#include "resources/dlg_sbas3.h"
#include "screens/differential/SBAS_1.h"
#include "screens/differential/beacon_sbas.h"
#include "screens/differential/diff_page.h"
#include "screens/differential/lband_pages.h"

namespace {

constexpr ui::UINT kPlotTimer = 1;
constexpr ui::UINT kPlotMs = 1000;
constexpr int kRateOn = 2;
constexpr int kRateOff = 0;
constexpr int kDecisionSeconds = 10;
constexpr int kRecentSeconds = 11;
constexpr ui::Rgb kBlack{0, 0, 0};

struct Scale {
    double span;
    std::array<const char*, 5> labels;
};
constexpr Scale kScales[] = {
    {500, {"0", "125", "250", "375", "500"}},
    {200, {"0", "50", "100", "150", "200"}},
    {40, {"0", "10", "20", "30", "40"}},
};

strip::StripChartSpec PlotSpec() {
    GPSInfo& info = g_GPS.Info;
    strip::StripChartSpec spec;
    strip::StripSeries first{{nullptr, info.iSBASBerHistory[0], &info.iSBASBerHistoryIndex},
                             strip::kOrange};
    first.thinPen = true;
    spec.series = {first,
                   {{nullptr, info.iSBASBerHistory[1], &info.iSBASBerHistoryIndex}, strip::kCurve}};
    spec.plot = kSbasPlotBand;
    spec.title = kSbasTitleBand;
    spec.copyExtraRows = 2;
    spec.widthWord = &GPSInfo::iSBASPlotLineWidth;
    spec.markerWord = &GPSInfo::iSBASPlotMarker;
    spec.secondsEdit = IDC_SBAS3_SECONDS;
    return spec;
}

}  // namespace

int SbasPlotScaleFor(int32_t largest) {
    if (largest >= 201) return 0;
    if (largest < 41) return 2;
    return 1;
}

CSBAS_3::CSBAS_3()
    : CBaseDialog(Sbas3DialogTemplate(), ScreenFamily::Sbas, SCR_SBAS_3), m_Chart(PlotSpec()) {
    SetTabScreens(IDC_SBAS3_TAB, SbasTabs());
    m_Chart.Attach(*this);
}

CSBAS_3::~CSBAS_3() = default;

ui::BOOL CSBAS_3::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    if (FirstActivation()) {
        FillTabLabels(*this, IDC_SBAS3_TAB, {"Status", "Plot"});
        SetPageFont(*this, Sbas3DialogTemplate());
        m_Chart.FirstActivation(*this);
        UpdateStatusStrip();
    }
    m_Chart.Activate(*this);
    RefreshBars();
    SelectOwnTab();
    m_nTimer1 = SetTimer(kPlotTimer, kPlotMs);
    g_TxNMEA.SetMessageRate(kRateOn, "D1", false);
    g_TxNMEA.QueryGeo();
    g_TxNMEA.QueryDiff();
    m_iLargest = kBerNoValue;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        m_iLastDecision = g_GPS.Info.iSBASBerHistoryIndex;
        g_GPS.Info.iSBASPlotScale = 0;
    }
    ActivationDone();
    return ui::TRUE;
}

void CSBAS_3::OnCancel() {
    g_TxNMEA.SetMessageRate(kRateOff, "D1", false);
    KillTimer(m_nTimer1);
    CBaseDialog::OnCancel();
}

void CSBAS_3::OnTimer(ui::UINT id) {
    if (!BeginScreenTick(id)) return;
    if (id == kPlotTimer) {
        RefreshBars();
        DrawStripChart();
        g_TxNMEA.QueryDiff();
        g_TxNMEA.QueryGeo();
    } else {
        CBaseDialog::OnTimer(id);
    }
    EndScreenTick();
}

void CSBAS_3::RefreshBars() {
    int32_t ber1 = 0;
    int32_t ber2 = 0;
    {
        RecordLock lock(g_GPS.Info.Nav.ulNavLock);
        const LBandInfo& l = g_GPS.Info.LBand;
        m_iPRN1 = l.iSBASPRN1;
        m_iPRN2 = l.iSBASPRN2;
        ber1 = l.iSBASBer1;
        ber2 = l.iSBASBer2;
    }
    const std::string prn1 = FormatPRN(m_iPRN1);
    const std::string prn2 = FormatPRN(m_iPRN2);
    SetDlgItemText(IDC_SBAS_CAPTION1, prn1);
    SetDlgItemText(IDC_SBAS_CAPTION2, prn2);
    SetDlgItemText(IDC_SBAS3_ROW1, prn1);
    SetDlgItemText(IDC_SBAS3_ROW2, prn2);
    ShowBerBar(*this, IDC_SBAS_BAR1, ber1);
    ShowBerBar(*this, IDC_SBAS_BAR2, ber2);
    SetDlgItemText(IDC_SBAS_BER1, platform::Format("%d", SetBERBar(ber1).iBer));
    SetDlgItemText(IDC_SBAS_BER2, platform::Format("%d", SetBERBar(ber2).iBer));
    UpdateStatusStrip();
}

void CSBAS_3::DrawStripChart() {
    m_Chart.Snapshot();
    // The scale is decided every ten seconds of history on the 22 newest samples; the
    // distance is taken around the ring, so it goes on deciding after the index wraps.
    const int index = m_Chart.WriteIndex(0);
    int32_t scale = 0;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        scale = g_GPS.Info.iSBASPlotScale;
    }
    if ((index - m_iLastDecision + strip::kRingSize) % strip::kRingSize >= kDecisionSeconds) {
        m_iLargest = 0;
        m_iLastDecision = index;
        for (int back = 0; back < kRecentSeconds; ++back)
            for (int row = 0; row < 2; ++row)
                m_iLargest = std::max(m_iLargest, static_cast<int32_t>(m_Chart.Newest(row, back)));
        scale = SbasPlotScaleFor(m_iLargest);
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        g_GPS.Info.iSBASPlotScale = scale;
    }
    const Scale& s = kScales[std::clamp(scale, 0, 2)];

    strip::StripFrame frame;
    frame.series = {0, 1};
    frame.scale = {s.span / 2, s.span, false};
    for (size_t k = 0; k < 5; ++k) frame.valueLabels[k] = s.labels[k];
    frame.title = {{FormatPRN(m_iPRN1), strip::kOrange, 0, false},
                   {FormatPRN(m_iPRN2), strip::kCurve, 46.92, false},
                   {"Bit Error Rate", kBlack, 93.84, false}};
    const strip::StripCursor cursor = m_Chart.Draw(*this, frame);

    for (int row = 0; row < 2; ++row) {
        const int value =
            std::clamp(static_cast<int>(m_Chart.Sample(row, cursor.sample)), 0, kBerNoValue);
        SetDlgItemText(row == 0 ? IDC_SBAS3_VALUE1 : IDC_SBAS3_VALUE2,
                       platform::Format("%d", value));
    }
}
