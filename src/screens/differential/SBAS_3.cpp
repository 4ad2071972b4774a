#include "screens/differential/SBAS_3.h"

#include <algorithm>

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
using ui::kBlack;

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
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        m_Scale = {BerRingPos(g_GPS.Info.iSBASBerHistoryIndex), kBerNoValue, 0};
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
    // The scale is decided every ten seconds of history on the 22 newest samples.
    const BerScaleDecision before = m_Scale;
    m_Scale = DecideBerScale({&m_Chart.Ring(0), &m_Chart.Ring(1)}, m_Chart.WriteIndex(0), m_Scale);
    int32_t scale;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        if (m_Scale.lastIndex != before.lastIndex) g_GPS.Info.iSBASPlotScale = m_Scale.scale;
        scale = g_GPS.Info.iSBASPlotScale;
    }
    const BerScaleMode& s = BerScale(scale);

    strip::StripFrame frame;
    frame.series = {0, 1};
    frame.scale = {s.span / 2.0, static_cast<double>(s.span), false};
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
