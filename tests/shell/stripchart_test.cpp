// The strip chart: time model across the ring's wrap, value scale with undrawable values, and one
// chart on a page (sliders in step, read-outs, gaps, markers, the line-width word).

#include "shell/StripChart.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/gps.h"
#include "support/qt/qt_env.h"
#include "support/qt/shell_harness.h"
#include "ui/automation.h"

namespace {

using strip::StripChart;
using strip::StripScale;

TEST(StripChartTime, PagesLabelsSlidersAndCursorSample) {
    struct Case {
        int coarse, precise, lastPrecise, writeIndex;
        int pageOffset;
        const char *leftLabel, *rightLabel;
        int newCoarse, newPrecise;
        const char *seconds, *minutes;
        int cursorSample, firstPoint, lastPoint;
    };
    // clang-format off
    const Case cases[] = {
        // First visit: newest page, cursor on the newest second.
        {3600, 150, 150, 10, 0, "-150", "Now", 3600, 150, "Now", "Now", 9, 3459, 9},
        // Coarse at 0: the oldest full page, the value wraps to the newest.
        {0, 150, 150, 10, 3450, "-3600", "-3450", 0, 0, "-3600 s", "-60:00", 9, 9, 159},
        // Coarse moved inside a page and onto a page boundary.
        {3500, 150, 150, 0, 0, "-150", "Now", 3500, 50, "-100 s", "-01:40", 3499, 3449, 3599},
        // Precise dragged to the right edge, to the left edge, on the first page.
        {3449, 150, 149, 100, 150, "-300", "-150", 3451, 1, "-149 s", "-02:29", 3550, 3399, 3549},
        // Precise moved inside the page, on a boundary page, at coarse 0, to the newest edge.
        {3300, 20, 150, 3599, 300, "-450", "-300", 3170, 20, "-430 s", "-07:10", 3168, 3148, 3298},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.coarse << " " << c.precise << " " << c.lastPrecise);
        const int r = strip::PageOffset(c.coarse);
        const auto labels = strip::TimeLabels(r);
        const strip::Tracks t = strip::SyncTracks(c.coarse, c.precise, c.lastPrecise);
        EXPECT_EQ(
            labels[0] + "|" + labels[5] + "|" + strip::CursorSecondsText(t.coarse) + "|" +
                strip::CursorMinutesText(t.coarse),
            std::string(c.leftLabel) + "|" + c.rightLabel + "|" + c.seconds + "|" + c.minutes);
        EXPECT_EQ(
            std::vector<int>({r, t.coarse, t.precise, strip::CursorSample(t.coarse, c.writeIndex),
                              strip::WindowSample(c.writeIndex, r, 0),
                              strip::WindowSample(c.writeIndex, r, 150)}),
            std::vector<int>({c.pageOffset, c.newCoarse, c.newPrecise, c.cursorSample, c.firstPoint,
                              c.lastPoint}));
    }
}

TEST(StripChartScale, ValuesToRowsAndMeans) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kInf = std::numeric_limits<double>::infinity();
    const int y0 = 100, y1 = 180;  // mid 140, 80 rows
    // Ends on the edges, far values clamped outside, NaN above, headings across north.
    const struct {
        double v;
        StripScale scale;
        int y;
    } cases[] = {{40, {20, 40, false}, 100},      {30, {20, 40, false}, 120},
                 {-1e9, {20, 40, false}, 276},    {kInf, {20, 40, false}, 4},
                 {kNaN, {20, 40, false}, 4},      {21, {20, 0, false}, 4},
                 {0.25, {359.5, 3.0, true}, 120}, {359.75, {0.25, 2.0, true}, 160}};
    for (const auto& c : cases) EXPECT_EQ(strip::ValueToY(c.v, c.scale, y0, y1), c.y) << c.v;
    std::vector<double> ring(strip::kRingSize, 0.0);
    const strip::Mean none = strip::RecentMean(ring, 0, 151, 0.001);
    EXPECT_TRUE(none.value == 0.0 && none.used == 0);
    // The newest sample is 3599 when the write index is 0; 3590 is outside a 5-sample window.
    ring[3599] = 2.0, ring[3598] = kNaN, ring[3597] = 4.0, ring[3590] = 100.0;
    const strip::Mean m = strip::RecentMean(ring, 0, 5, 0.001);
    EXPECT_TRUE(m.used == 2 && m.value == 3.0) << m.used << " " << m.value;
    for (auto [a, b, d] : {std::tuple{0.1, 359.9, 0.2}, {359.9, 0.1, -0.2}, {0.0, 180.0, 180.0}})
        EXPECT_NEAR(strip::WrappedDifference(a, b), d, 1e-9) << a << " " << b;
}

// A page with the chart's controls where the plot screens have them.
ui::DialogTemplate ChartPage() {
    using ui::Kind;
    ui::DialogTemplate t;
    t.id = 9900;
    auto& c = t.controls;
    c.push_back({1163, Kind::Slider, {50, 330, 180, 16}});
    c.push_back({1164, Kind::Slider, {50, 350, 180, 16}});
    const int times[] = {1151, 1152, 1153, 1155, 1156, 1154};
    for (int n = 0; n < 6; ++n) c.push_back({times[n], Kind::Static, {45.0 + 30 * n, 310, 28, 10}});
    for (int n = 0; n < 5; ++n)
        c.push_back({1157 + n, Kind::Static, {240, 290.0 - 20 * n, 40, 10}});
    c.push_back({1007, Kind::Edit, {240, 330, 60, 14}, "", ui::Flag::ReadOnly});
    c.push_back({1024, Kind::Edit, {240, 350, 60, 14}, "", ui::Flag::ReadOnly});
    c.push_back({1035, Kind::ComboDropList, {60, 380, 50, 60}});
    c.push_back({1036, Kind::IconCombo, {120, 380, 50, 60}});
    return t;
}

strip::StripChartSpec BeaconLikeSpec() {
    GPSInfo& info = g_GPS.Info;
    strip::StripChartSpec spec;
    // clang-format off
    spec.series.push_back({{nullptr, info.iBeaconSSHistory, &info.iBeaconHistoryIndex},
                           strip::kCurve, false, true, 0.0, 40.0});
    spec.series.push_back({{info.fBeaconFreqHistory, nullptr, &info.iBeaconHistoryIndex},
                           strip::kCurve, false, false, 0.0, 0.0});
    // clang-format on
    spec.plot = {51.73, 175.072, 227.68, 268.912};
    spec.title = {51, 145, 158, 161};
    spec.widthWord = &GPSInfo::iBeaconPlotLineWidth;
    spec.markerWord = &GPSInfo::iBeaconPlotMarker;
    spec.secondsEdit = 1007, spec.minutesEdit = 1024;
    return spec;
}

bool IsCurve(const ui::Canvas& c, int x, int y) {
    return c.GetPixel(x, y) == strip::kCurve;
}

TEST(StripChartPage, SlidersReadoutsGapsMarkersAndWidthWord) {
    g_GPS.Info.Init();
    ui::Dialog page(ChartPage());
    StripChart chart(BeaconLikeSpec());
    chart.Attach(page);
    const StripScale scale{20, 40, false};
    const auto frameOf = [&](int series) {
        strip::StripFrame f;
        f.series = {series};
        f.scale = series == 0 ? scale : StripScale{304.0, 42.0, false};
        f.valueLabels = {"0", "10", "20", "30", "40"};
        f.title = {{"Signal Strength", strip::kCurve, 0, false}};
        return f;
    };
    ui::StepRunner steps;
    steps.Add([&] {
        GPSInfo& info = g_GPS.Info;
        // The newest page across the ring's end: 300 kHz with a far high, a far low and a NaN
        // second in the middle; strengths of 25, the newest second at 55.
        info.iBeaconHistoryIndex = 7;
        for (int i = 0; i <= 150; ++i) {
            info.fBeaconFreqHistory[strip::WindowSample(7, 0, i)] = 300.0f;
            info.iBeaconSSHistory[strip::WindowSample(7, 0, i)] = 25;
        }
        info.fBeaconFreqHistory[strip::WindowSample(7, 0, 70)] = 1e9f;
        info.fBeaconFreqHistory[strip::WindowSample(7, 0, 71)] = -1e9f;
        info.fBeaconFreqHistory[strip::WindowSample(7, 0, 72)] =
            std::numeric_limits<float>::quiet_NaN();
        info.iBeaconSSHistory[6] = 55;
        info.iBeaconPlotMarker = 2, info.iBeaconPlotLineWidth = 0;  // a width of 0 is drawn as 2
        chart.FirstActivation(page);
        chart.Activate(page);
        EXPECT_EQ(page.GetCurSel(1035) * 10 + page.GetCurSel(1036), 12);  // an invalid width: "2pt"
        chart.Snapshot();
        strip::StripCursor cur = chart.Draw(page, frameOf(1));
        EXPECT_EQ(info.iBeaconPlotLineWidth, 2);
        EXPECT_EQ(shelltest::Texts(&page, {1154, 1151, 1159, 1007, 1024}), "Now|-150|20|Now|Now");
        EXPECT_EQ(std::pair(chart.Sample(0, cur.sample), chart.Sample(1, cur.sample)),
                  std::pair(55.0, 300.0));
        const ui::Canvas& c = chart.Canvas();
        const ui::Rect band = chart.PlotRect();
        const int y300 =
            strip::ValueToY(300, StripScale{304.0, 42.0, false}, band.top, band.bottom);
        const int y25 = strip::ValueToY(25, scale, band.top, band.bottom);
        // Line mode joins neighbouring seconds but not across the gap.
        EXPECT_TRUE(IsCurve(c, (chart.XOf(20) + chart.XOf(21)) / 2, y300));
        for (int x = chart.XOf(69) + 3; x < chart.XOf(73) - 2; ++x)
            EXPECT_FALSE(IsCurve(c, x, y300)) << x;
        for (int y = band.top - 2; y <= band.bottom + 2; ++y)
            EXPECT_FALSE(IsCurve(c, chart.XOf(71), y)) << y;
        EXPECT_TRUE(IsCurve(c, (chart.XOf(74) + chart.XOf(75)) / 2, y300));
        // The cursor sits on the right edge of the page.
        EXPECT_EQ(c.GetPixel(chart.XOf(150), band.top + 1), strip::kCursor);
        // A ring of NaN draws nothing at all, not even along an edge.
        for (float& f : info.fBeaconFreqHistory) f = std::numeric_limits<float>::quiet_NaN();
        chart.Snapshot();
        page.SetPos(1163, 3600);
        chart.Draw(page, frameOf(1));
        const ui::Canvas& n = chart.Canvas();
        for (int i = 0; i <= 150; i += 5)
            for (int y = band.top - 2; y <= band.bottom + 2; ++y)
                EXPECT_FALSE(IsCurve(n, chart.XOf(i) + 1, y)) << i << "," << y;
        // Markers: a dot at every inside second; the user's choice reaches the record.
        ASSERT_TRUE(ui::UserSelectCombo(page.GetDlgItem(1036), 0) &&
                    ui::UserSelectCombo(page.GetDlgItem(1035), 2));
        ui::ProcessPending();
        EXPECT_EQ(info.iBeaconPlotMarker * 10 + info.iBeaconPlotLineWidth, 3);
        chart.Snapshot();
        chart.Draw(page, frameOf(0));
        const ui::Canvas& d = chart.Canvas();
        // 55 is clamped to the top edge.
        EXPECT_TRUE(IsCurve(d, chart.XOf(30), y25) && IsCurve(d, chart.XOf(150), band.top + 1) &&
                    IsCurve(d, chart.XOf(30), y25 - 2) && !IsCurve(d, chart.XOf(30), y25 - 5));
        page.EndDialog(ui::IDOK);
    });
    steps.Start();
    page.DoModal();
}

}  // namespace
