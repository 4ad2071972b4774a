#include "screens/position/HEADING_3.h"

#include <QFontInfo>
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "engine/gps.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "platform/numbers.h"
#include "resources/dlg_heading3.h"
#include "screens/position/HEADING_1.h"
#include "shell/ScreenPage.h"
#include "shell/Tessaray_PC.h"
#include "ui/fonts.h"

namespace {

constexpr ui::UINT kPlotTimer = 1;
constexpr ui::UINT kPlotMs = 1000;
constexpr int kRateOn = 2;  // eRateCode: 1 Hz
constexpr int kRateOff = 0;
constexpr int kResendTicks = 4;
constexpr int kZoomMin = -2;
constexpr int kZoomMax = 3;
constexpr int kZoomStoredMin = -3;
constexpr double kNoHeading = 0.001;  // degrees; smaller values are seconds without heading
constexpr int kShortWindow = 16;

constexpr ui::Rgb kFiguresBand{212, 208, 200};
constexpr ui::Rgb kFigureBox = ui::kDarkBlue;
constexpr ui::Rgb kFigureInk = ui::kOrange;
constexpr const char* kDegree = "\xC2\xBA";

double Normalised(double degrees) {
    double d = std::fmod(degrees, 360.0);
    if (d < 0.0) d += 360.0;
    return d >= 360.0 ? 0.0 : d;
}

strip::StripChartSpec PlotSpec() {
    GPSInfo& info = g_GPS.Info;
    strip::StripChartSpec spec;
    strip::StripSeries heading{{info.fHeadingHistory, nullptr, &info.iHeadingHistoryIndex}};
    heading.missingMagnitude = kNoHeading;
    spec.series = {heading};
    spec.plot = {48.73, 211.435, 224.68, 305.275};
    spec.title = {48.73, 190, 107.38, 205};
    spec.marginRows = 0;
    spec.strictInside = true;
    spec.widthWord = &GPSInfo::iHeadingPlotLineWidth;
    spec.markerWord = &GPSInfo::iHeadingPlotMarker;
    spec.secondsEdit = IDC_HEADING3_SECONDS;
    spec.minutesEdit = IDC_HEADING3_MINUTES;
    return spec;
}

}  // namespace

std::optional<double> RecentHeadingMean(const std::vector<double>& ring, int writeIndex,
                                        int count) {
    if (ring.size() != static_cast<size_t>(strip::kRingSize)) return std::nullopt;
    double sum = 0.0, northSum = 0.0, southSum = 0.0;
    int used = 0, northCount = 0, southCount = 0;
    for (int back = 1; back <= count; ++back) {
        int pos = (writeIndex - back) % strip::kRingSize;
        if (pos < 0) pos += strip::kRingSize;
        const double v = ring[static_cast<size_t>(pos)];
        if (!std::isfinite(v) || std::fabs(v) <= kNoHeading) continue;
        sum += v;
        ++used;
        if (v <= 0.0 || v >= 180.0) {
            northSum += v;
            ++northCount;
        } else {
            southSum += v;
            ++southCount;
        }
    }
    if (used == 0) return std::nullopt;
    double mean = sum / used;
    if (northCount > 0 && southCount > 0) {
        const double north = northSum / northCount;
        const double south = southSum / southCount;
        // Headings on both sides of north: the western ones count as negative.
        if (north > 275.0 && south > kNoHeading)
            mean = ((north - 360.0) * northCount + south * southCount) / (northCount + southCount);
    }
    return Normalised(mean);
}

CHEADING_3::CHEADING_3()
    : CBaseDialog(Heading3DialogTemplate(), ScreenFamily::Heading, SCR_HEADING_3),
      m_Chart(PlotSpec()) {
    SetTabScreens(IDC_HEADING_TAB, {SCR_HEADING_1, SCR_HEADING_2, SCR_HEADING_3});
    m_Chart.Attach(*this);
    OnControl(IDC_HEADING3_ZOOM_OUT, ui::BN_CLICKED, [this] { OnZoom(+1); });
    OnControl(IDC_HEADING3_ZOOM_IN, ui::BN_CLICKED, [this] { OnZoom(-1); });
}

CHEADING_3::~CHEADING_3() = default;

ui::BOOL CHEADING_3::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    if (FirstActivation()) {
        FillTabLabels(*this, IDC_HEADING_TAB, {"Status", "Setup", "Plot"});
        SetPageFont(*this, Template());
        m_Chart.FirstActivation(*this);
        UpdateStatusStrip();
    }
    m_iTick = 0;
    m_Chart.Activate(*this);
    UpdateStatusStrip();
    SelectOwnTab();
    m_nTimer1 = SetTimer(kPlotTimer, kPlotMs);
    g_TxNMEA.SetMessageRate(kRateOn, "HEHDT", false);
    g_TxNMEA.SetMessageRate(kRateOn, "HEROT", false);
    g_TxNMEA.QueryDiff();
    ActivationDone();
    return ui::TRUE;
}

void CHEADING_3::OnCancel() {
    g_TxNMEA.SetMessageRate(kRateOff, "HEHDT", false);
    g_TxNMEA.SetMessageRate(kRateOff, "HEROT", false);
    KillTimer(kPlotTimer);
    CBaseDialog::OnCancel();
}

void CHEADING_3::OnTimer(ui::UINT id) {
    if (!BeginScreenTick(id)) return;
    UpdateStatusStrip();
    theApp().iHeadingAge.fetch_add(1);
    if (id == kPlotTimer) {
        DrawStripChart();
        if (m_iTick < kResendTicks) {
            ++m_iTick;
        } else {
            m_iTick = 0;
            g_TxNMEA.SetMessageRate(kRateOn, "HEHDT", false);
            platform::Sleep(10);
            g_TxNMEA.SetMessageRate(kRateOn, "HEROT", false);
            platform::Sleep(10);
            g_TxNMEA.QueryDiff();
        }
    } else {
        CBaseDialog::OnTimer(id);
    }
    EndScreenTick();
}

void CHEADING_3::OnZoom(int delta) {
    RecordLock lock(g_GPS.Info.ulPart1Lock);
    int32_t& z = g_GPS.Info.iHeadingPlotZoom;
    if (delta > 0 && z < kZoomMax) ++z;
    if (delta < 0 && z > kZoomMin) --z;
}

void CHEADING_3::DrawStripChart() {
    m_Chart.Snapshot();
    int zoom;
    {
        RecordLock lock(g_GPS.Info.ulPart1Lock);
        int32_t& z = g_GPS.Info.iHeadingPlotZoom;
        z = std::clamp(z, kZoomStoredMin, kZoomMax);
        zoom = z;
    }
    const double step = 0.2 * std::ldexp(1.0, zoom);
    const std::vector<double>& ring = m_Chart.Ring(0);
    const int index = m_Chart.WriteIndex(0);
    // Without any heading the scale stands around 0; without a recent one it stays where the
    // longer window puts it.
    const std::optional<double> longMean = RecentHeadingMean(ring, index, strip::kPoints);
    const std::optional<double> shortMean = RecentHeadingMean(ring, index, kShortWindow);
    double centre = longMean.value_or(0.0);
    // Means either side of north are close, not 360 degrees apart.
    if (shortMean && std::fabs(strip::WrappedDifference(*shortMean, centre)) > 1.5 * step)
        centre = *shortMean;
    const double c = Normalised(step * std::trunc(centre / step + 0.5));

    strip::StripFrame frame;
    frame.series = {0};
    frame.scale = strip::StripScale{c, 4 * step, true};
    for (int k = 0; k < 5; ++k)
        frame.valueLabels[static_cast<size_t>(k)] =
            platform::Format("%6.2f", Normalised(c + (k - 2) * step));
    frame.title = {{"Heading", strip::kCurve, 0, false}};
    m_Scale = frame.scale;
    const strip::StripCursor cursor = m_Chart.Draw(*this, frame);
    SetDlgItemText(IDC_HEADING3_READOUT,
                   platform::Format("%.1f", m_Chart.Sample(0, cursor.sample)));
    DrawFigures();
}

void CHEADING_3::DrawFigures() {
    float heading, rot;
    {
        RecordLock lock(g_GPS.Info.Nav.ulNavLock);
        heading = g_GPS.Info.Nav.fHeading;
        rot = g_GPS.Info.Nav.fROT;
    }
    ui::Canvas& c = m_Chart.Canvas();
    const ui::Rect band{m_Chart.PxX(57), m_Chart.PxY(155), m_Chart.PxX(302), m_Chart.PxY(180)};
    c.FillRect(band, kFiguresBand);
    const QFont large = ui::MakeFont("Tahoma", 15);
    const auto figure = [&](double left, double right, const std::string& text) {
        const ui::Rect box{m_Chart.PxX(left), band.top, m_Chart.PxX(right), band.bottom};
        c.FillRect(box, kFigureBox);
        // The printed width pads with blanks; the figure sits at the box's right edge.
        const std::string shown = text.substr(std::min(text.find_first_not_of(' '), text.size()));
        c.SetFont(large);
        ui::Point ext = c.GetTextExtent(shown);
        // A long figure (a rate of turn of three digits and a sign) takes a smaller face
        // rather than running out of its box.
        const int room = box.Width() - 2 * m_Chart.PxX(2);
        if (ext.x > room && ext.x > 0) {
            QFont smaller = large;
            smaller.setPixelSize(std::max(1, QFontInfo(large).pixelSize() * room / ext.x));
            c.SetFont(smaller);
            ext = c.GetTextExtent(shown);
        }
        c.SetBkMode(ui::BkMode::Transparent);
        c.SetTextColor(kFigureInk);
        c.TextOut(std::max(box.left, box.right - ext.x - m_Chart.PxX(4)),
                  box.top + (box.Height() - ext.y) / 2, shown);
    };
    figure(57, 57 + 85, platform::Format("%9.1f", static_cast<double>(heading)) + kDegree);
    figure(57 + 125, 57 + 230,
           platform::Format("%8.1f", static_cast<double>(rot)) + kDegree + "/min");
    c.SetBkMode(ui::BkMode::Opaque);
    CopyToWindow(c, band);
}
