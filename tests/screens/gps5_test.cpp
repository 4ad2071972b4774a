// The position plot: commands on entry, tick and leave; the reference typed in each format,
// refused when it is not a place, and taken by SnapShot; offsets of scripted positions on the
// chart and under the cursor.

#include <gtest/gtest.h>

#include <QLineEdit>
#include <cmath>

#include "engine/gps.h"
#include "engine/history.h"
#include "screens/position/GPS_5.h"
#include "shell/Tessaray_PC.h"
#include "support/qt/screen_harness.h"
#include "ui/messagebox.h"

namespace {

constexpr double kMetresPerDegree = 111319.55;

class Gps5Test : public shelltest::ScreenTest {
protected:
    CGPS_5* Plot() { return As<CGPS_5>(SCR_GPS_5); }

    // Replaces an edit's text as a user does: select everything, then type.
    void TypeOver(int id, const std::string& text) {
        if (auto* e = Plot()->Item<QLineEdit>(id)) e->selectAll();
        if (text.empty()) {
            ui::UserKey(Plot()->GetDlgItem(id), Qt::Key_Delete);
            ui::ProcessPending();
        }
        Type(id, text);
    }

    void TypeReference(const std::string& lat, const std::string& lon, const std::string& alt) {
        TypeOver(IDC_GPS5_REF_LAT, lat);
        TypeOver(IDC_GPS5_REF_LON, lon);
        TypeOver(IDC_GPS5_REF_ALT, alt);
    }

    std::vector<std::string> ValueLabels() {
        std::vector<std::string> out;
        for (int id = 1157; id <= 1161; ++id) out.push_back(Text(id));
        return out;
    }
};

TEST_F(Gps5Test, CommandsFirstStateAndZoomLimits) {
    Start();
    Open(SCR_GPS_5);
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_5);
    run.Add([&] {
        EXPECT_EQ(Wire(), (std::vector<std::string>{"$JASC,GPGST,1\r\n", "$JDIFF\r\n"}));
        ClearWire();
        Tick();
        EXPECT_EQ(Wire(), (std::vector<std::string>{"$JASC,GPGST,1\r\n", "$JDIFF\r\n", "~0"}));
        for (int id : {IDC_GPS5_REF_LAT, IDC_GPS5_REF_LON, IDC_GPS5_REF_ALT, IDC_GPS5_NORTH,
                       IDC_GPS5_EAST, IDC_GPS5_HEIGHT})
            EXPECT_EQ(Text(id), "N/A") << id;
        EXPECT_EQ(ValueLabels(),
                  (std::vector<std::string>{"-2.00m", "-1.00m", " 0.00m", " 1.00m", " 2.00m"}));
        EXPECT_EQ(Text(IDC_GPS5_TIME), "Now");
        EXPECT_EQ(Text(1154), "Now");
        EXPECT_EQ(Text(1151), "-150");
        EXPECT_FALSE(Plot()->IsItemVisible(IDC_GPS5_USE_POINT));

        // "Dec" stops at 3, "Inc" at -2; a stored 5 is drawn and written back as 3.
        for (int i = 0; i < 4; ++i) Click(IDC_GPS5_ZOOM_OUT);
        EXPECT_EQ(g_GPS.Info.iPositionPlotZoom, 3);
        for (int i = 0; i < 7; ++i) Click(IDC_GPS5_ZOOM_IN);
        EXPECT_EQ(g_GPS.Info.iPositionPlotZoom, -2);
        g_GPS.Info.iPositionPlotZoom = 5;
        Tick();
        EXPECT_EQ(g_GPS.Info.iPositionPlotZoom, 3);

        ClearWire();
        ASSERT_TRUE(ui::UserSelectTab(Plot()->GetDlgItem(IDC_GPS5_TAB), 0));
        ui::ProcessPending();  // the position screen's loop runs inside this step
    });
    WaitShown(run, SCR_GPS_1);
    run.Add([&] {
        const std::vector<std::string> wire = Wire();
        ASSERT_FALSE(wire.empty());
        EXPECT_EQ(wire.front(), "$JASC,GPGST,0\r\n");
        EXPECT_FALSE(Plot()->IsWindowVisible());
        EXPECT_FALSE(Plot()->IsTimerRunning(1));
        ClearWire();
        ASSERT_TRUE(ui::UserSelectTab(Page()->GetDlgItem(1006), 4));
        ui::ProcessPending();
    });
    WaitShown(run, SCR_GPS_5);
    run.Add([&] {
        const std::vector<std::string> wire = Wire();
        ASSERT_GE(wire.size(), 2u);
        EXPECT_EQ(wire[wire.size() - 2], "$JASC,GPGST,1\r\n");
        EXPECT_EQ(wire.back(), "$JDIFF\r\n");
        EXPECT_TRUE(Plot()->IsTimerRunning(1));
        EndAll();
    });
    Run(run);
}

TEST_F(Gps5Test, UseThisPointInEachFormatAndRefusals) {
    Start();
    Open(SCR_GPS_5);
    struct Case {
        const char* name;
        int format, altUnit, bin1;
        const char *lat, *lon, *alt;
        bool accepted;
        int latDeg = 0;
        double latMin = 0;
        char ns = 0;
        int lonDeg = 0;
        double lonMin = 0;
        char ew = 0;
        float altitude = 0;
        const char *shownLat = "", *shownLon = "", *shownAlt = "";
    };
    const Case cases[] = {
        {"DM.M south", 0, 0, 0, "-51 13.27", "114   3.456", "100", true, 51, 13.27, 'S', 114, 3.456,
         'E', 100.0f, " -51 13.270000", " 114 03.456000", "   100.000"},
        {"D.D with feet", 1, 1, 0, " 45.5 ", "-0.5", "328", true, 45, 30.0, 'N', 0, 30.0, 'W',
         100.0f, "  45.5000000", "  -0.5000000", "   328.000"},
        {"DMS three and two parts", 2, 0, 0, "10 30 36", "-20 15", "-12.5", true, 10, 30.6, 'N', 20,
         15.0, 'W', -12.5f, "  10 30 36.0000", " -20 15 00.0000", "   -12.500"},
        {"signed degrees keep the hemisphere below one degree", 1, 0, 1, "-0.5", "-114.25", "0",
         true, 0, 30.0, 'S', -114, 15.0, 'W', 0.0f, "  -0.5000000", "-114.2500000", "     0.000"},
        {"no number in the latitude", 1, 0, 0, "abc", "10", "0", false},
        {"latitude beyond the pole", 1, 0, 0, "90.5", "10", "0", false},
        {"longitude beyond 180", 0, 0, 0, "10 0", "-180 30", "0", false},
        {"altitude left as N/A", 1, 0, 0, "10", "10", "N/A", false},
        {"empty longitude", 1, 0, 0, "10", "", "0", false},
    };
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_5);
    run.Add([&] {
        CTessaray_PCApp& app = theApp();
        ui::MessageBoxRecorder boxes;
        for (const Case& c : cases) {
            app.bBin1Position = c.bin1;
            Choose(IDC_GPS5_FORMAT, c.format);
            Choose(IDC_GPS5_ALT_UNIT, c.altUnit);
            const PlotReference before = app.GetPlotRef();
            app.TakePlotRefChanged();
            boxes.Clear();
            TypeReference(c.lat, c.lon, c.alt);
            EXPECT_TRUE(Plot()->IsItemVisible(IDC_GPS5_USE_POINT)) << c.name;
            Tick();  // typing freezes the panel
            EXPECT_EQ(Text(IDC_GPS5_REF_LON), c.lon) << c.name;
            Click(IDC_GPS5_USE_POINT);
            const PlotReference ref = app.GetPlotRef();
            if (!c.accepted) {
                EXPECT_EQ(boxes.texts(), std::vector<std::string>{"Please enter a number."})
                    << c.name;
                EXPECT_FALSE(app.TakePlotRefChanged()) << c.name;
                EXPECT_EQ(ref.iPlotRefLatDeg, before.iPlotRefLatDeg) << c.name;
                EXPECT_EQ(ref.dPlotRefLonMin, before.dPlotRefLonMin) << c.name;
                EXPECT_TRUE(Plot()->IsItemVisible(IDC_GPS5_USE_POINT)) << c.name;
                continue;
            }
            EXPECT_TRUE(boxes.texts().empty()) << c.name;
            EXPECT_TRUE(app.TakePlotRefChanged()) << c.name;
            EXPECT_TRUE(ref.bPlotRefValid) << c.name;
            EXPECT_EQ(ref.iPlotRefLatDeg, c.latDeg) << c.name;
            EXPECT_NEAR(ref.dPlotRefLatMin, c.latMin, 1e-9) << c.name;
            EXPECT_EQ(ref.cPlotRefNS, c.ns) << c.name;
            EXPECT_EQ(ref.iPlotRefLonDeg, c.lonDeg) << c.name;
            EXPECT_NEAR(ref.dPlotRefLonMin, c.lonMin, 1e-9) << c.name;
            EXPECT_EQ(ref.cPlotRefEW, c.ew) << c.name;
            EXPECT_NEAR(ref.fPlotRefAlt, c.altitude, 1e-3) << c.name;
            EXPECT_FALSE(Plot()->IsItemVisible(IDC_GPS5_USE_POINT)) << c.name;
            Tick();
            EXPECT_EQ(Text(IDC_GPS5_REF_LAT), c.shownLat) << c.name;
            EXPECT_EQ(Text(IDC_GPS5_REF_LON), c.shownLon) << c.name;
            EXPECT_EQ(Text(IDC_GPS5_REF_ALT), c.shownAlt) << c.name;
        }
        app.bBin1Position = 0;
        EndAll();
    });
    Run(run);
}

TEST_F(Gps5Test, SnapShotTakesTheFixOnly) {
    Start();
    Open(SCR_GPS_5);
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_5);
    run.Add([&] {
        NavInfo& n = g_GPS.Info.Nav;
        n.iLatDeg = 45, n.dLatMin = 30.5, n.cLatDir = 'S';
        n.iLonDeg = 11, n.dLonMin = 31.0, n.cLonDir = 'E';
        n.fAltitude = 545.4f;
        n.usNavMode = 0, n.iFixQuality = 0;
        Click(IDC_GPS5_SNAPSHOT);
        EXPECT_FALSE(theApp().GetPlotRef().bPlotRefValid);
        n.iFixQuality = 1;
        Click(IDC_GPS5_SNAPSHOT);
        Tick();
        EXPECT_EQ(Text(IDC_GPS5_REF_LAT), " -45 30.500000");
        EXPECT_EQ(Text(IDC_GPS5_REF_LON), "  11 31.000000");
        EXPECT_EQ(Text(IDC_GPS5_REF_ALT), "   545.400");
        Shot("gps5_reference");
        EndAll();
    });
    Run(run);
}

// Positions around a reference at 51 N 114 W, 1000 m: 30 s a metre north, 30 s a metre
// east, 30 s a metre south-west and 2.5 m higher.
TEST_F(Gps5Test, OffsetsOnTheChartAndUnderTheCursor) {
    Start();
    Open(SCR_GPS_5);
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_5);
    run.Add([&] {
        CTessaray_PCApp& app = theApp();
        Choose(IDC_GPS5_FORMAT, 1);
        TypeReference("51", "-114", "1000");
        Click(IDC_GPS5_USE_POINT);

        GPSInfo& info = g_GPS.Info;
        double tow = 1000.0;
        info.Binary.Bin1.dGPSTimeOfWeek = tow;
        CHistory history(info, &app);
        const double dLat = 1.0 / kMetresPerDegree * 60.0;  // minutes
        const double dLon = 1.0 / (kMetresPerDegree * std::cos(51.0 * M_PI / 180.0)) * 60.0;
        const auto second = [&](int latDeg, double latMin, int lonDeg, double lonMin, float alt) {
            NavInfo& n = info.Nav;
            n.iLatDeg = latDeg, n.dLatMin = latMin, n.cLatDir = 'N';
            n.iLonDeg = lonDeg, n.dLonMin = lonMin, n.cLonDir = 'W';
            n.fAltitude = alt;
            info.Binary.Bin1.dGPSTimeOfWeek = tow;
            tow += 1.0;
            history.UpdatePosition();
        };
        second(51, 0.0, 114, 0.0, 1000.0f);  // takes the new reference: the rings restart
        for (int s = 0; s < 30; ++s) second(51, dLat, 114, 0.0, 1000.0f);
        for (int s = 0; s < 30; ++s) second(51, 0.0, 113, 60.0 - dLon, 1000.0f);
        for (int s = 0; s < 30; ++s) second(50, 60.0 - dLat, 114, dLon, 1002.5f);
        EXPECT_EQ(info.iPositionHistoryIndex, 90);

        Tick();
        EXPECT_EQ(Text(IDC_GPS5_NORTH), "-1.0");
        EXPECT_EQ(Text(IDC_GPS5_EAST), "-1.0");
        EXPECT_EQ(Text(IDC_GPS5_HEIGHT), "2.5");
        EXPECT_EQ(ValueLabels(), (std::vector<std::string>{" -2.00m", " -1.00m", "  0.00m",
                                                           "  1.00m", "  2.00m"}));

        // Window point i holds the second i - 61 of the script.
        strip::StripChart& chart = Plot()->Chart();
        const ui::Rect band = chart.PlotRect();
        const auto y = [&](double metres, double centre, double step) {
            return strip::ValueToY(metres, strip::StripScale{centre, 4 * step, false}, band.top,
                                   band.bottom);
        };
        const ui::Rgb north{30, 28, 119}, east{234, 175, 15};
        const ui::Canvas& c = chart.Canvas();
        EXPECT_EQ(Pixel(c, chart.XOf(61 + 15), y(1.0, 0, 1)), north);
        EXPECT_EQ(Pixel(c, chart.XOf(61 + 15), y(0.0, 0, 1)), east);
        EXPECT_EQ(Pixel(c, chart.XOf(61 + 45), y(1.0, 0, 1)), east);
        EXPECT_EQ(Pixel(c, chart.XOf(61 + 45), y(0.0, 0, 1)), north);
        EXPECT_EQ(Pixel(c, chart.XOf(61 + 75), y(-1.0, 0, 1)), east);
        EXPECT_EQ(Pixel(c, chart.XOf(61 + 75), y(0.5, 0, 1)), strip::kPlotBackground);

        // Finer grid: the recent south-west second moves the centre to -0.5 m; a metre north
        // is then above the band.
        Click(IDC_GPS5_ZOOM_IN);
        Tick();
        EXPECT_EQ(ValueLabels(), (std::vector<std::string>{" -1.50m", " -1.00m", " -0.50m",
                                                           "  0.00m", "  0.50m"}));
        EXPECT_EQ(Pixel(c, chart.XOf(61 + 75), y(-1.0, -0.5, 0.5)), east);
        for (int yy = band.top + 1; yy < band.bottom; ++yy)
            EXPECT_NE(Pixel(c, chart.XOf(61 + 15), yy), north) << yy;

        // The cursor 80 s back, offsets in feet.
        Plot()->SetPos(1163, 3600 - 80);
        Choose(IDC_GPS5_OFFSET_UNIT, 1);
        Tick();
        EXPECT_EQ(Text(IDC_GPS5_TIME), "-80 s");
        EXPECT_EQ(Text(IDC_GPS5_NORTH), "3.3");
        EXPECT_EQ(Text(IDC_GPS5_EAST), "0.0");
        EXPECT_EQ(Text(IDC_GPS5_HEIGHT), "0.0");

        app.bDemoMode = 1;
        Tick();
        EXPECT_EQ(Text(IDC_GPS5_NORTH), "N/A");
        app.bDemoMode = 0;
        Plot()->SetPos(1163, 3600);
        Click(IDC_GPS5_ZOOM_OUT);
        Tick();
        Shot("gps5_plot");
        EndAll();
    });
    Run(run);
}

}  // namespace
