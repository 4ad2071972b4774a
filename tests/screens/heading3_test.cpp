// The heading plot: commands, the large figures, the scale centred across north, a trace
// that crosses north in one piece, and the centring means without the missing seconds.

#include <gtest/gtest.h>

#include <cmath>

#include "engine/gps.h"
#include "screens/position/HEADING_3.h"
#include "support/qt/screen_harness.h"

namespace {

using Wires = std::vector<std::string>;

class Heading3Test : public shelltest::ScreenTest {
protected:
    CHEADING_3* Plot() { return As<CHEADING_3>(SCR_HEADING_3); }

    std::vector<std::string> ValueLabels() {
        std::vector<std::string> out;
        for (int id = 1157; id <= 1161; ++id) out.push_back(Text(id));
        return out;
    }

    // The newest seconds of the heading ring, oldest first; the rest without heading.
    static void Fill(const std::vector<float>& newest) {
        GPSInfo& info = g_GPS.Info;
        std::fill(std::begin(info.fHeadingHistory), std::end(info.fHeadingHistory), 0.0f);
        for (size_t k = 0; k < newest.size(); ++k) info.fHeadingHistory[k] = newest[k];
        info.iHeadingHistoryIndex = static_cast<int32_t>(newest.size());
    }
};

TEST(HeadingMean, NoValueSecondsAndNorth) {
    struct Case {
        const char* name;
        std::vector<double> newest;  // newest last
        int count;
        double mean;
    };
    const Case cases[] = {
        {"plain", {10, 20, 30}, 3, 20},
        {"seconds without heading left out", {10, 0, 30, 0}, 4, 20},
        {"either side of north", {359.9, 0.1, 359.9, 0.1}, 4, 0},
        {"either side of north with missing seconds",
         {359.9, 359.9, 359.9, 359.9, 359.9, 0.1, 0.1, 0.1, 0.1, 0.1, 0, 0, 0, 0, 0, 0},
         16,
         0},
        {"west of north", {359.0, 359.5, 0.0}, 3, 359.25},
        {"south of the compass stays plain", {170, 190}, 2, 180},
        {"nothing", {0, 0}, 2, 0},
    };
    for (const Case& c : cases) {
        std::vector<double> ring(strip::kRingSize, 0.0);
        const int index = 100;
        for (size_t k = 0; k < c.newest.size(); ++k)
            ring[static_cast<size_t>(index - static_cast<int>(c.newest.size()) +
                                     static_cast<int>(k))] = c.newest[k];
        const double m = RecentHeadingMean(ring, index, c.count);
        EXPECT_NEAR(strip::WrappedDifference(m, c.mean), 0.0, 1e-6) << c.name << " " << m;
        EXPECT_GE(m, 0.0) << c.name;
        EXPECT_LT(m, 360.0) << c.name;
    }
}

TEST_F(Heading3Test, CommandsFiguresAndZoom) {
    Start();
    NavInfo& n = g_GPS.Info.Nav;
    n.fHeading = 123.45f;
    n.fROT = -12.5f;
    Open(SCR_HEADING_3);
    ui::StepRunner run;
    WaitShown(run, SCR_HEADING_3);
    run.Add([&] {
        EXPECT_EQ(Wire(), (Wires{"$JASC,HEHDT,1\r\n", "$JASC,HEROT,1\r\n", "$JDIFF\r\n"}));
        for (int t = 1; t <= 4; ++t) {
            ClearWire();
            Tick();
            EXPECT_EQ(Wire(), Wires{"~0"}) << t;
        }
        ClearWire();
        Tick();
        EXPECT_EQ(Wire(), (Wires{"$JASC,HEHDT,1\r\n", "~10", "$JASC,HEROT,1\r\n", "~10",
                                 "$JDIFF\r\n", "~0"}));
        // A ring without heading: centre 0 and the labels across north.
        EXPECT_EQ(ValueLabels(),
                  (std::vector<std::string>{"359.60", "359.80", "  0.00", "  0.20", "  0.40"}));
        EXPECT_EQ(Text(IDC_HEADING3_READOUT), "0.0");
        EXPECT_EQ(Text(IDC_HEADING3_SECONDS), "Now");
        EXPECT_EQ(Text(IDC_HEADING3_MINUTES), "Now");
        // The figures band shows the heading in orange on dark blue.
        strip::StripChart& chart = Plot()->Chart();
        const ui::Canvas& c = chart.Canvas();
        bool inked = false;
        for (int x = chart.PxX(57); x < chart.PxX(142); ++x)
            for (int y = chart.PxY(155); y < chart.PxY(180); ++y)
                inked = inked || Pixel(c, x, y) == ui::Rgb{234, 175, 15};
        EXPECT_TRUE(inked);
        EXPECT_EQ(Pixel(c, chart.PxX(57) + 1, chart.PxY(155) + 1), (ui::Rgb{30, 28, 119}));

        for (int i = 0; i < 5; ++i) Click(IDC_HEADING3_ZOOM_OUT);
        EXPECT_EQ(g_GPS.Info.iHeadingPlotZoom, 3);
        Tick();
        EXPECT_EQ(Text(1159), "  0.00");
        EXPECT_EQ(Text(1160), "  1.60");
        for (int i = 0; i < 7; ++i) Click(IDC_HEADING3_ZOOM_IN);
        EXPECT_EQ(g_GPS.Info.iHeadingPlotZoom, -2);

        ClearWire();
        Plot()->OnCancel();
        EXPECT_EQ(Wire(), (Wires{"$JASC,HEHDT,0\r\n", "$JASC,HEROT,0\r\n"}));
        EndAll();
    });
    Run(run);
}

TEST_F(Heading3Test, TraceAcrossNorthIsOnePiece) {
    Start();
    // 358 degrees sweeping to 2 degrees over the newest page, drawn as a line at 1.6 degrees
    // a grid row.
    std::vector<float> sweep;
    for (int i = 0; i <= 150; ++i) {
        const double h = 358.0 + 4.0 * i / 150.0;
        sweep.push_back(static_cast<float>(h >= 360.0 ? h - 360.0 : h));
    }
    sweep[75] = 0.01f;  // not a missing second, only very close to north
    Fill(sweep);
    g_GPS.Info.iHeadingPlotZoom = 3;
    g_GPS.Info.iHeadingPlotMarker = 2;
    Open(SCR_HEADING_3);
    ui::StepRunner run;
    WaitShown(run, SCR_HEADING_3);
    run.Add([&] {
        Tick();
        Tick();  // the line joins from the previous redraw's last point
        EXPECT_NEAR(strip::WrappedDifference(Plot()->Scale().centre, 0.0), 0.0, 1e-9);
        EXPECT_EQ(ValueLabels(),
                  (std::vector<std::string>{"356.80", "358.40", "  0.00", "  1.60", "  3.20"}));
        strip::StripChart& chart = Plot()->Chart();
        const ui::Rect band = chart.PlotRect();
        const ui::Canvas& c = chart.Canvas();
        // Every column of the page holds the trace.
        for (int x = chart.XOf(0) + 1; x < chart.XOf(150); ++x) {
            bool found = false;
            for (int y = band.top + 1; y < band.bottom && !found; ++y) {
                // The slanted line is smoothed: a pixel mostly of the curve's blue counts.
                const ui::Rgb p = Pixel(c, x, y);
                found = p.b >= p.r + 30 && p.b >= p.g + 30;
            }
            EXPECT_TRUE(found) << "column " << x;
        }
        // West of north above the middle is wrong: it lies below, east above.
        const int mid = (band.top + band.bottom) / 2;
        EXPECT_EQ(Pixel(c, chart.XOf(10),
                        mid + static_cast<int>((2.0 - 4.0 * 10 / 150) * band.Height() / 6.4)),
                  strip::kCurve);
        EXPECT_EQ(Text(IDC_HEADING3_READOUT), "2.0");
        Shot("heading3");
        EndAll();
    });
    Run(run);
}

TEST_F(Heading3Test, MissingSecondsDoNotPullTheCentreSouth) {
    Start();
    // Oldest to newest: five times 359.9 and 0.1 alternating, then six seconds without heading.
    std::vector<float> newest;
    for (int k = 0; k < 5; ++k) {
        newest.push_back(359.9f);
        newest.push_back(0.1f);
    }
    newest.insert(newest.end(), 6, 0.0f);
    Fill(newest);
    Open(SCR_HEADING_3);
    ui::StepRunner run;
    WaitShown(run, SCR_HEADING_3);
    run.Add([&] {
        Tick();
        Tick();
        EXPECT_EQ(ValueLabels(),
                  (std::vector<std::string>{"359.60", "359.80", "  0.00", "  0.20", "  0.40"}));
        strip::StripChart& chart = Plot()->Chart();
        const ui::Rect band = chart.PlotRect();
        const strip::StripScale scale = Plot()->Scale();
        // Window point i holds ring entry i - 135: 359.9 at 137, 0.1 at 138; both are drawn.
        const ui::Canvas& c = chart.Canvas();
        EXPECT_EQ(Pixel(c, chart.XOf(137), strip::ValueToY(359.9, scale, band.top, band.bottom)),
                  strip::kCurve);
        EXPECT_EQ(Pixel(c, chart.XOf(138), strip::ValueToY(0.1, scale, band.top, band.bottom)),
                  strip::kCurve);
        EXPECT_LT(strip::ValueToY(0.1, scale, band.top, band.bottom),
                  strip::ValueToY(359.9, scale, band.top, band.bottom));
        EndAll();
    });
    Run(run);
}

}  // namespace
