// The position plot: commands, the reference typed, refused or snapped, offsets on the chart.

#include "engine/history.h"
#include "screens/position/GPS_5.h"
#include "screens/screen_walk.h"

namespace {

class Gps5Test : public shelltest::WalkTest {
protected:
    CGPS_5* Plot() { return As<CGPS_5>(SCR_GPS_5); }
    void TypeReference(const std::string& lat, const std::string& lon, const std::string& alt) {
        Retype(IDC_GPS5_REF_LAT, lat);
        Retype(IDC_GPS5_REF_LON, lon);
        Retype(IDC_GPS5_REF_ALT, alt);
    }
    std::string Reference() {
        return Texts({IDC_GPS5_REF_LAT, IDC_GPS5_REF_LON, IDC_GPS5_REF_ALT});
    }
};

TEST_F(Gps5Test, CommandsZoomLimitsAndSnapShot) {
    Start();
    OnScreen(SCR_GPS_5, [&] {
        EXPECT_EQ(Sent(), "$JASC,GPGST,1\r\n$JDIFF\r\n");
        EXPECT_EQ(TickSent(), "$JASC,GPGST,1\r\n$JDIFF\r\n~0");
        EXPECT_EQ(Reference() + "|" + Texts({IDC_GPS5_NORTH, IDC_GPS5_TIME, 1154, 1151}),
                  "N/A|N/A|N/A|N/A|Now|Now|-150");
        EXPECT_EQ(ValueLabels(), "-2.00m|-1.00m| 0.00m| 1.00m| 2.00m");
        EXPECT_FALSE(Plot()->IsItemVisible(IDC_GPS5_USE_POINT));
        // "Dec" stops at 3, "Inc" at -2; a stored 5 is drawn and written back as 3.
        for (int i = 0; i < 4; ++i) Click(IDC_GPS5_ZOOM_OUT);
        EXPECT_EQ(g_GPS.Info.iPositionPlotZoom, 3);
        for (int i = 0; i < 7; ++i) Click(IDC_GPS5_ZOOM_IN);
        EXPECT_EQ(g_GPS.Info.iPositionPlotZoom, -2);
        g_GPS.Info.iPositionPlotZoom = 5;
        Tick();
        EXPECT_EQ(g_GPS.Info.iPositionPlotZoom, 3);
        // SnapShot takes a fix only.
        NavInfo& n = g_GPS.Info.Nav;
        n.iLatDeg = 45, n.dLatMin = 30.5, n.cLatDir = 'S', n.iLonDeg = 11, n.dLonMin = 31.0;
        n.cLonDir = 'E', n.fAltitude = 545.4f, n.usNavMode = 0, n.iFixQuality = 0;
        Click(IDC_GPS5_SNAPSHOT);
        EXPECT_FALSE(theApp().GetPlotRef().bPlotRefValid);
        n.iFixQuality = 1;
        Click(IDC_GPS5_SNAPSHOT);
        Tick();
        EXPECT_EQ(Reference(), " -45 30.500000|  11 31.000000|   545.400");
        EXPECT_EQ(LeaveSent().rfind("$JASC,GPGST,0\r\n", 0), 0u);
        EXPECT_FALSE(Plot()->IsTimerRunning(1));
    });
}

TEST_F(Gps5Test, UseThisPointInEachFormatAndRefusals) {
    Start();
    OnScreen(SCR_GPS_5, [&] {
        CTessaray_PCApp& app = theApp();
        // Format, altitude unit, binary message 1; typed; degrees, minutes and letter of each
        // coordinate and the altitude in metres as stored ("": refused), the refusal's message
        // when it is not "Please enter a number.".
        // clang-format off
        const struct { int format, altUnit, bin1; const char *lat, *lon, *alt, *stored, *told; } cases[] = {
            {0, 0, 0, "-51 13.27", "114   3.456", "100", "51 13.270000 S|114 3.456000 E|100.0", nullptr},
            {1, 1, 0, " 45.5 ", "-0.5", "328", "45 30.000000 N|0 30.000000 W|100.0", nullptr},
            {2, 0, 0, "10 30 36", "-20 15", "-12.5", "10 30.600000 N|20 15.000000 W|-12.5", nullptr},
            {1, 0, 1, "-0.5", "-114.25", "0", "0 30.000000 S|-114 15.000000 W|0.0", nullptr},  // signed degrees
            {1, 0, 0, "90.5", "10", "0", "", "Latitude must be between -90 and 90 degrees."},
            {0, 0, 0, "10 0", "-180 30", "0", "", "Longitude must be between -180 and 180 degrees."},
            {1, 0, 0, "10", "10", "N/A", "10 0.000000 N|10 0.000000 E|0.0", nullptr}, {1, 0, 0, "10", "", "0", "", nullptr}};
        // clang-format on
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.lat) + "/" + c.lon + "/" + c.alt);
            app.bBin1Position = c.bin1;
            Choose(IDC_GPS5_FORMAT, c.format);
            Choose(IDC_GPS5_ALT_UNIT, c.altUnit);
            const PlotReference before = app.GetPlotRef();
            app.TakePlotRefChanged();
            Told();
            TypeReference(c.lat, c.lon, c.alt);
            Tick();  // typing freezes the panel
            EXPECT_EQ(Text(IDC_GPS5_REF_LON), c.lon);
            Click(IDC_GPS5_USE_POINT);
            const PlotReference r = app.GetPlotRef();
            const bool accepted = *c.stored != '\0';
            EXPECT_EQ(Told(), accepted
                                  ? ""
                                  : std::string(c.told ? c.told : "Please enter a number.") + "|");
            EXPECT_EQ(app.TakePlotRefChanged(), accepted);
            EXPECT_EQ(Plot()->IsItemVisible(IDC_GPS5_USE_POINT), !accepted);
            if (!accepted) {
                EXPECT_EQ(r.dPlotRefLonMin, before.dPlotRefLonMin);
                continue;
            }
            EXPECT_TRUE(r.bPlotRefValid);
            EXPECT_EQ(platform::Format("%d %f %c|%d %f %c|%.1f", r.iPlotRefLatDeg, r.dPlotRefLatMin,
                                       r.cPlotRefNS, r.iPlotRefLonDeg, r.dPlotRefLonMin,
                                       r.cPlotRefEW, double(r.fPlotRefAlt)),
                      c.stored);
        }
        app.bBin1Position = 0;
    });
}

// Positions around a reference at 51 N 114 W, 1000 m: 30 s a metre north, 30 s a metre
// east, 30 s a metre south-west and 2.5 m higher.
TEST_F(Gps5Test, OffsetsOnTheChartAndUnderTheCursor) {
    Start();
    OnScreen(SCR_GPS_5, [&] {
        CTessaray_PCApp& app = theApp();
        Choose(IDC_GPS5_FORMAT, 1);
        TypeReference("51", "-114", "1000");
        Click(IDC_GPS5_USE_POINT);
        GPSInfo& info = g_GPS.Info;
        double tow = 1000.0;
        info.Binary.Bin1.dGPSTimeOfWeek = tow;
        CHistory history(info, &app);
        const double dLat = 60.0 / 111319.55;  // minutes of a metre
        const double dLon = 60.0 / (111319.55 * std::cos(51.0 * M_PI / 180.0));
        const auto second = [&](int latDeg, double latMin, int lonDeg, double lonMin, float alt) {
            NavInfo& n = info.Nav;
            n.iLatDeg = latDeg, n.dLatMin = latMin, n.cLatDir = 'N';
            n.iLonDeg = lonDeg, n.dLonMin = lonMin, n.cLonDir = 'W', n.fAltitude = alt;
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
        EXPECT_EQ(Texts({IDC_GPS5_NORTH, IDC_GPS5_EAST, IDC_GPS5_HEIGHT}), "-1.0|-1.0|2.5");
        EXPECT_EQ(ValueLabels(), " -2.00m| -1.00m|  0.00m|  1.00m|  2.00m");
        // Window point i holds the second i - 61 of the script.
        strip::StripChart& chart = Plot()->Chart();
        const ui::Rect band = chart.PlotRect();
        const auto y = [&](double metres) {
            return strip::ValueToY(metres, strip::StripScale{0, 4, false}, band.top, band.bottom);
        };
        const ui::Rgb north{30, 28, 119}, east{234, 175, 15};
        const ui::Canvas& c = chart.Canvas();
        EXPECT_EQ(Pixel(c, chart.XOf(61 + 15), y(1.0)), north);
        EXPECT_EQ(Pixel(c, chart.XOf(61 + 75), y(-1.0)), east);
        // The cursor 80 s back, offsets in feet.
        Plot()->SetPos(1163, 3600 - 80);
        Choose(IDC_GPS5_OFFSET_UNIT, 1);
        Tick();
        EXPECT_EQ(Texts({IDC_GPS5_TIME, IDC_GPS5_NORTH, IDC_GPS5_EAST, IDC_GPS5_HEIGHT}),
                  "-80 s|3.3|0.0|0.0");
        Shot("gps5_plot");
    });
}

// Numbers too large for a double or for the stored altitude are refused like any place off the
// globe; the edges of the globe are on it.
TEST_F(Gps5Test, UseThisPointRefusesOverflowAndTakesTheEdgesOfTheGlobe) {
    Start();
    OnScreen(SCR_GPS_5, [&] {
        CTessaray_PCApp& app = theApp();
        const std::string lat = "Latitude must be between -90 and 90 degrees.|";
        const std::string lon = "Longitude must be between -180 and 180 degrees.|";
        // Format; typed; what is said ("" when the reference is taken); stored as in the
        // table above.
        // clang-format off
        const struct { int format; const char *lat, *lon, *alt; std::string told; const char* stored; } cases[] = {
            {1, "51.5e400", "0", "45", lat, ""}, {1, "-51.5e400", "0", "45", lat, ""},
            {1, "0", "1e309", "45", lon, ""}, {0, "51 1e400", "0", "45", lat, ""},
            {2, "10 0 1e999", "0", "45", lat, ""}, {1, "0", "0", "45e39", "Please enter a number.|", ""},
            {1, "0", "0", "-1e400", "Please enter a number.|", ""},
            {1, "90.0000001", "0", "0", lat, ""}, {1, "-90.0000001", "0", "0", lat, ""},
            {1, "0", "180.0000001", "0", lon, ""}, {1, "0", "-180.0000001", "0", lon, ""},
            {1, "90", "180", "3e38", "", "90 0.000000 N|180 0.000000 E|300000000549775575777803994281145270272.0"},
            {1, "-90", "-180", "1e-400", "", "90 0.000000 S|180 0.000000 W|0.0"},
            {0, "-90 0", "-180 0e5", "0", "", "90 0.000000 S|180 0.000000 W|0.0"}};
        // clang-format on
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.lat) + "/" + c.lon + "/" + c.alt);
            Choose(IDC_GPS5_FORMAT, c.format);
            Choose(IDC_GPS5_ALT_UNIT, 0);
            TypeReference("12", "34", "56");
            Click(IDC_GPS5_USE_POINT);
            app.TakePlotRefChanged();
            TypeReference(c.lat, c.lon, c.alt);
            Told();
            Click(IDC_GPS5_USE_POINT);
            EXPECT_EQ(Told(), c.told);
            const bool accepted = c.told.empty();
            // A refusal keeps the reference and so the hour of history.
            EXPECT_EQ(app.TakePlotRefChanged(), accepted);
            const PlotReference r = app.GetPlotRef();
            EXPECT_EQ(platform::Format("%d %f %c|%d %f %c|%.1f", r.iPlotRefLatDeg, r.dPlotRefLatMin,
                                       r.cPlotRefNS, r.iPlotRefLonDeg, r.dPlotRefLonMin,
                                       r.cPlotRefEW, double(r.fPlotRefAlt)),
                      accepted ? c.stored : "12 0.000000 N|34 0.000000 E|56.0");
        }
    });
}

// The newest seconds of the north ring, oldest first; every earlier second and the east ring
// without a position.
void FillNorth(const std::vector<float>& newest) {
    GPSInfo& info = g_GPS.Info;
    std::fill(std::begin(info.fNorthHistory), std::end(info.fNorthHistory), 0.0f);
    std::fill(std::begin(info.fEastHistory), std::end(info.fEastHistory), 0.0f);
    std::copy(newest.begin(), newest.end(), info.fNorthHistory);
    info.iPositionHistoryIndex = static_cast<int32_t>(newest.size());
}

// The centre follows the mean of the newest 151 seconds, or of the newest 16 when that one is
// far from it; a second without a position breaks the curve.
TEST_F(Gps5Test, CentreFromTheNewest151And16SecondsAndGapsInTheCurve) {
    Start();
    OnScreen(SCR_GPS_5, [&] {
        Choose(IDC_GPS5_FORMAT, 1);
        TypeReference("51", "-114", "1000");
        Click(IDC_GPS5_USE_POINT);
        g_GPS.Info.iPositionPlotZoom = -2;  // 0.25 m a row; the short mean counts beyond 0.375
        // Seconds of 1 m, one of them (counted back from the newest, 1 = the newest) other.
        // clang-format off
        const struct { int seconds, back; float odd; const char* labels; } cases[] = {
            {151, 16, 17.0f, "  1.50m|  1.75m|  2.00m|  2.25m|  2.50m"},
            {151, 17, 17.0f, "  0.50m|  0.75m|  1.00m|  1.25m|  1.50m"},
            {160, 151, 38.75f, "  0.75m|  1.00m|  1.25m|  1.50m|  1.75m"},
            {160, 152, 38.75f, "  0.50m|  0.75m|  1.00m|  1.25m|  1.50m"}};
        // clang-format on
        for (const auto& c : cases) {
            SCOPED_TRACE(c.back);
            std::vector<float> north(static_cast<size_t>(c.seconds), 1.0f);
            north[north.size() - static_cast<size_t>(c.back)] = c.odd;
            FillNorth(north);
            Tick();
            EXPECT_EQ(ValueLabels(), c.labels);
        }
        // Sixteen seconds without a position leave the centre on the longer mean.
        std::vector<float> quiet(135, 1.0f);
        quiet.insert(quiet.end(), 16, 0.0f);
        FillNorth(quiet);
        Tick();
        EXPECT_EQ(ValueLabels(), "  0.50m|  0.75m|  1.00m|  1.25m|  1.50m");
        // A metre north, one second without a position, a metre south; joined by lines.
        std::vector<float> north(75, 1.0f);
        north.push_back(0.0f);
        north.insert(north.end(), 75, -1.0f);
        FillNorth(north);
        g_GPS.Info.iPositionPlotZoom = 0;
        g_GPS.Info.iPositionPlotMarker = 2;
        Tick();
        Tick();
        EXPECT_EQ(ValueLabels(), " -2.00m| -1.00m|  0.00m|  1.00m|  2.00m");
        strip::StripChart& chart = Plot()->Chart();
        const ui::Rect band = chart.PlotRect();
        const int quarter = band.Height() / 4, mid = (band.top + band.bottom) / 2;
        const int width = g_GPS.Info.iPositionPlotLineWidth;
        int across = 0;
        for (int x = chart.XOf(74); x <= chart.XOf(76); ++x)
            for (int y = mid - quarter + width + 1; y < mid + quarter - width; ++y)
                across += Pixel(chart.Canvas(), x, y) == strip::kCurve;
        EXPECT_EQ(across, 0);
        EXPECT_EQ(Pixel(chart.Canvas(), chart.XOf(40), mid - quarter), strip::kCurve);
        EXPECT_EQ(Pixel(chart.Canvas(), chart.XOf(110), mid + quarter), strip::kCurve);
    });
}

// A pending entry is read as it was typed, or redrawn in the format and unit chosen after it:
// the reference it sets never depends on the order of typing and choosing.
TEST_F(Gps5Test, AFormatOrUnitChosenAfterTypingNeverMovesTheReference) {
    Start();
    OnScreen(SCR_GPS_5, [&] {
        const std::string lat = "Latitude must be between -90 and 90 degrees.|";
        // Format and altitude unit while typing, then chosen; typed; shown after the choice
        // (nullptr: not compared); told; stored as in the tables above.
        // clang-format off
        const struct { int format, altUnit, toFormat, toAltUnit; const char *lat, *lon, *alt, *shown; std::string told; const char* stored; } cases[] = {
            {2, 0, 1, 0, "48 07 12", "-11 31 30", "100", "  48.1200000| -11.5250000|   100.000", "", "48 7.200000 N|11 31.500000 W|100.0"},
            {1, 0, 1, 1, "45.5", "-0.5", "328", "  45.5000000|  -0.5000000|  1075.840", "", "45 30.000000 N|0 30.000000 W|328.0"},
            {1, 1, 1, 0, "45.5", "-0.5", "328", "  45.5000000|  -0.5000000|   100.000", "", "45 30.000000 N|0 30.000000 W|100.0"},
            {0, 0, 2, 1, "-51 13.27", "114 3.456", "0", nullptr, "", "51 13.270000 S|114 3.456000 E|0.0"},
            // No form in the new format: kept as typed, and refused as it was.
            {0, 0, 1, 0, "10 1e400", "20", "0", "10 1e400|  20.0000000|     0.000", lat, ""}};
        // clang-format on
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.lat) + "/" + c.lon + "/" + c.alt);
            Choose(IDC_GPS5_FORMAT, c.format);
            Choose(IDC_GPS5_ALT_UNIT, c.altUnit);
            TypeReference("12", "34", "56");
            Click(IDC_GPS5_USE_POINT);
            Told();
            TypeReference(c.lat, c.lon, c.alt);
            Choose(IDC_GPS5_FORMAT, c.toFormat);
            Choose(IDC_GPS5_ALT_UNIT, c.toAltUnit);
            Tick();
            EXPECT_EQ(c.shown ? Reference() : "", c.shown ? c.shown : "");
            Click(IDC_GPS5_USE_POINT);
            EXPECT_EQ(Told(), c.told);
            const PlotReference r = theApp().GetPlotRef();
            EXPECT_EQ(platform::Format("%d %f %c|%d %f %c|%.1f", r.iPlotRefLatDeg, r.dPlotRefLatMin,
                                       r.cPlotRefNS, r.iPlotRefLonDeg, r.dPlotRefLonMin,
                                       r.cPlotRefEW, double(r.fPlotRefAlt)),
                      *c.stored ? c.stored : "12 0.000000 N|34 0.000000 E|56.0");
        }
    });
}

// A second is one without a position only when north, east and height all hold 0.0: a
// receiver due east or straight above the reference draws its other offsets at 0.
TEST_F(Gps5Test, AnOffsetAloneAtZeroIsDrawn) {
    Start();
    OnScreen(SCR_GPS_5, [&] {
        Choose(IDC_GPS5_FORMAT, 1);
        TypeReference("51", "-114", "1000");
        Click(IDC_GPS5_USE_POINT);
        GPSInfo& info = g_GPS.Info;
        info.iPositionPlotZoom = 0;
        info.iPositionPlotMarker = 0;
        // Seconds 0-49 due east, 50-99 straight above, 100 none, 101-150 north-east.
        for (int i = 0; i < strip::kPoints; ++i) {
            const bool east = i < 50;
            const bool above = i >= 50 && i < 100;
            const bool ne = i > 100;
            info.fNorthHistory[i] = ne ? 1.0f : 0.0f;
            info.fEastHistory[i] = east ? 1.5f : ne ? 0.5f : 0.0f;
            info.fHeightHistory[i] = above ? 2.0f : 0.0f;
        }
        info.iPositionHistoryIndex = strip::kPoints;
        Tick();
        Tick();
        EXPECT_EQ(ValueLabels(), " -1.00m|  0.00m|  1.00m|  2.00m|  3.00m");
        strip::StripChart& chart = Plot()->Chart();
        const ui::Rect band = chart.PlotRect();
        const auto y = [&](double metres) {
            return strip::ValueToY(metres, strip::StripScale{1, 4, false}, band.top, band.bottom);
        };
        const ui::Rgb north{30, 28, 119}, east{234, 175, 15};
        const ui::Canvas& c = chart.Canvas();
        // Second, offset, curve seen there.
        // clang-format off
        const struct { int second; double metres; ui::Rgb colour; } probes[] = {
            {25, 0.0, north}, {25, 1.5, east}, {75, 0.0, east}, {125, 1.0, north}, {125, 0.5, east}};
        // clang-format on
        for (const auto& p : probes) {
            SCOPED_TRACE(p.second);
            EXPECT_EQ(Pixel(c, chart.XOf(p.second), y(p.metres)), p.colour);
        }
    });
}

}  // namespace
