#include "screens/differential/LBND_4.h"

#include "engine/gps.h"
#include "engine/txnmea.h"
#include "platform/numbers.h"
#include "resources/dlg_lbnd4.h"
#include "screens/differential/diff_page.h"
#include "screens/differential/lband_pages.h"

namespace {

constexpr ui::UINT kRefreshTimer = 1;
constexpr ui::UINT kRefreshMs = 1000;

strip::StripChartSpec PlotSpec() {
    GPSInfo& info = g_GPS.Info;
    strip::StripChartSpec spec;
    spec.series = {{{nullptr, info.iLBandBerHistory, &info.iLBandBerHistoryIndex}}};
    spec.plot = {58.73, 165.688, 234.68, 259.528};
    spec.title = {57, 142, 163, 158};
    spec.newestFirst = true;
    spec.copyExtraRows = 2;
    spec.widthWord = &GPSInfo::iLBandPlotLineWidth;
    spec.markerWord = &GPSInfo::iLBandPlotMarker;
    spec.secondsEdit = IDC_LBND4_TIME;
    spec.minutesEdit = IDC_LBND4_MINUTES;
    return spec;
}

}  // namespace

CLBND_4::CLBND_4()
    : CBaseDialog(Lbnd4DialogTemplate(), ScreenFamily::LBand, SCR_LBND_4), m_Chart(PlotSpec()) {
    DDX_Text(IDC_LBND4_BER_TEXT, m_strBer);
    DDX_Text(IDC_LBND4_VALUE, m_strValue);
    SetTabScreens(IDC_LBND4_TAB, kLBandTabScreens);
    m_Chart.Attach(*this);
}

ui::BOOL CLBND_4::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    if (FirstActivation()) {
        FillLBandTabs(*this, IDC_LBND4_TAB);
        SetPageFont(*this, Template());
        m_Chart.FirstActivation(*this);
        UpdateStatusStrip();
    }
    m_Chart.Activate(*this);
    RefreshBar();
    SelectOwnTab();
    m_nTimer1 = SetTimer(kRefreshTimer, kRefreshMs);
    g_TxNMEA.SetMessageRate(kLBandRateOn, "D1", false);
    g_TxNMEA.QueryGeo();
    g_TxNMEA.QueryDiff();
    {
        GPSInfo& info = g_GPS.Info;
        RecordLock lock(info.ulPart1Lock);
        m_Scale = {BerRingPos(info.iLBandBerHistoryIndex), kLBandBerMax, 0};
        info.iLBandPlotScale = 0;
    }
    ActivationDone();
    return ui::TRUE;
}

void CLBND_4::OnCancel() {
    g_TxNMEA.SetMessageRate(kLBandRateOff, "D1", false);
    KillTimer(m_nTimer1);
    CBaseDialog::OnCancel();
}

void CLBND_4::OnTimer(ui::UINT id) {
    if (!BeginScreenTick(id)) return;
    if (id != kRefreshTimer) {
        CBaseDialog::OnTimer(id);
        return;
    }
    RefreshBar();
    EndScreenTick();
    DrawStripChart();
    g_TxNMEA.QueryDiff();
    g_TxNMEA.QueryGeo();
}

void CLBND_4::RefreshBar() {
    int32_t ber;
    {
        RecordLock lock(g_GPS.Info.LBand.ulLBandLock);
        ber = g_GPS.Info.LBand.iLBandBer;
    }
    ShowBerBar(*this, IDC_LBND4_BER_BAR, ber);
    m_strBer = platform::Format("%d", ber);
    UpdateStatusStrip();
    UpdateData(ui::FALSE);
}

void CLBND_4::DrawStripChart() {
    m_Chart.Snapshot();
    m_Scale = DecideBerScale({&m_Chart.Ring(0)}, m_Chart.WriteIndex(0), m_Scale);
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        g_GPS.Info.iLBandPlotScale = m_Scale.scale;
    }
    const BerScaleMode& mode = BerScale(m_Scale.scale);
    strip::StripFrame frame;
    frame.series = {0};
    frame.scale = {mode.span / 2.0, static_cast<double>(mode.span), false};
    frame.valueLabels = mode.labels;
    frame.title = {{"Bit Error Rate"}};
    const strip::StripCursor cursor = m_Chart.Draw(*this, frame);
    m_strValue = platform::Format("%d", static_cast<int>(m_Chart.Sample(0, cursor.sample)));
    SetDlgItemText(IDC_LBND4_VALUE, m_strValue);
}
