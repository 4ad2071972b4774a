// The position and heading screens at their edges: leaving in the middle of something, waits
// that must run whole, text that is not a number, seconds without data, the ellipse's scale,
// and files that are not configuration files.

#include <QAbstractEventDispatcher>
#include <QLineEdit>
#include <regex>

#include "resources/dlg_gps4.h"
#include "screens/position/GPS_1.h"
#include "screens/position/GPS_3.h"
#include "screens/position/GPS_4.h"
#include "screens/position/GPS_5.h"
#include "screens/position/GPS_6.h"
#include "screens/position/HEADING_3.h"
#include "screens/screen_walk.h"
#include "shell/FileOpenDlg.h"

namespace {

class PositionEdgeTest : public shelltest::WalkTest {
protected:
    CGPS_6* Gps6() { return As<CGPS_6>(SCR_GPS_6); }
    bool Orange(int x, int y) {
        const ui::Rgb p = PagePixel({x, y});
        return std::abs(p.r - 234) <= 6 && std::abs(p.g - 175) <= 6 && std::abs(p.b - 15) <= 6;
    }
};

TEST_F(PositionEdgeTest, LeavingBeforeTheCaptureBeginsGivesGoBack) {
    Start();
    g_GPS.Info.Settings.WizardLive.iRTCMBaudRate = g_GPS.Info.Settings.WizardLive.iNMEABaudRate;
    Walk({{SCR_GPS_6,
           [&] {
               Click(IDC_GPS6_GO);
               EXPECT_FALSE(Gps6()->IsItemEnabled(IDC_GPS6_GO));
               SelectTab(IDC_GPS6_TAB, 0);  // within the second: no tick has come
           }},
          {SCR_GPS_1, [&] { SelectTab(IDC_GPS1_TAB, 5); }},
          {SCR_GPS_6, [&] {
               EXPECT_TRUE(Gps6()->IsItemEnabled(IDC_GPS6_GO));
               EXPECT_EQ(Text(IDC_GPS6_STATUS), "Click GO Button to Capture Information.");
               // The dropped capture does not start on its own.
               EXPECT_EQ(TickSent().find("OTHER"), std::string::npos);
               EXPECT_EQ(iCaptureState, 0);
               // "GO" still works.
               Click(IDC_GPS6_GO);
               EXPECT_EQ(TickSent(), "~0$JAPP,OTHER\r\n");
               EXPECT_EQ(iCaptureState, 1);
           }}});
}

TEST_F(PositionEdgeTest, TheCapturesWaitsRunWholeOnTheClock) {
    Start();
    g_GPS.Info.Settings.WizardLive.iNMEABaudRate = 19200;
    g_GPS.Info.Settings.WizardLive.iRTCMBaudRate = 19200;
    OnScreen(SCR_GPS_6, [&] {
        // Every timer of the page is precise: a coarse one fires up to 5 % early.
        const auto timers =
            QAbstractEventDispatcher::instance()->registeredTimers(Gps6()->Widget());
        ASSERT_FALSE(timers.empty());
        for (const auto& t : timers) EXPECT_EQ(t.timerType, Qt::PreciseTimer) << t.interval;
        Click(IDC_GPS6_GO);
        EXPECT_EQ(TickSent(), "~0$JAPP,OTHER\r\n");
        // Milliseconds that pass before the step timer fires, what that tick sends, and the
        // wait left then (a timer runs 10 ms at least).
        // clang-format off
        const struct { uint32_t passed; const char* sent; int left; } ticks[] = {
            {6650, "", 350}, {349, "", 10}, {1, "$JI\r\n", 1000}, {999, "", 10}, {1, "$JI\r\n", 1000},
            {1000, "$JAPP,OTHER\r\n", 7000}, {6999, "", 10}, {1, "$JAPP\r\n", 500}};
        // clang-format on
        for (const auto& t : ticks) {
            SCOPED_TRACE(t.sent);
            clock.Advance(t.passed);
            EXPECT_EQ(TickSent(kCaptureStepTimer), t.sent);
            EXPECT_EQ(Gps6()->TimerInterval(kCaptureStepTimer), t.left);
        }
        // A new activation starts idle.
        Gps6()->OnInitDialog();
        EXPECT_EQ(iCaptureState, 0);
        EXPECT_FALSE(Gps6()->IsTimerRunning(kCaptureStepTimer));
    });
}

TEST_F(PositionEdgeTest, HeadingSetupRefusesWhatIsNotANumberInEveryEdit) {
    Start();
    OnScreen(SCR_HEADING_2, [&] {
        // Text typed over the edit's own, and whether its last key brings the box (else it is
        // a number still being typed); a lone minus sign or one at the end is one only in the
        // biases.
        // clang-format off
        const struct { const char* text; bool box, boxInBias; } typed[] = {
            {"1.2.3", true, true}, {"5-", true, false}, {"--1", true, true}, {"1 2", true, true},
            {"-", true, false}, {"12.", false, false}};
        // clang-format on
        const struct {
            int id;
            const char* name;
        } edits[] = {{1007, "HTAU"},  {1030, "HRTAU"}, {1031, "COGTAU"}, {1034, "SPDTAU"},
                     {1035, "HBIAS"}, {1036, "PBIAS"}, {1037, "MSEP"}};
        for (const auto& e : edits) {
            const bool bias = e.id == 1035 || e.id == 1036;
            for (const auto& t : typed) {
                SCOPED_TRACE(std::string(e.name) + " " + t.text);
                const std::string text = t.text;
                Retype(e.id, text.substr(0, text.size() - 1));
                ui::ProcessPending();  // the emptied edit's notification
                ClearWire();
                Told();
                Type(e.id, text.substr(text.size() - 1));
                EXPECT_EQ(Sent(), "");
                EXPECT_EQ(Told(), (bias ? t.boxInBias : t.box) ? "Please enter a number.|" : "");
                EXPECT_EQ(Text(e.id), text);
            }
            // A number still goes out.
            Retype(e.id, "-7.");
            ClearWire();
            Type(e.id, "5");
            EXPECT_EQ(Sent(), std::string("$JATT,") + e.name + ",-7.500000\r\n");
        }
    });
}

// A value beyond the range of the stored float is refused, never sent as infinity.
TEST_F(PositionEdgeTest, HeadingSetupRefusesNumbersBeyondAFloat) {
    Start();
    OnScreen(SCR_HEADING_2, [&] {
        // Heading tau and the manual separation, which have no limits of their own.
        for (int id : {1007, 1037}) {
            for (const char* text :
                 {"340282350000000000000000000000000000000",
                  "-1000000000000000000000000000000000000000", "1e39", "45e39"}) {
                SCOPED_TRACE(text);
                const std::string typed = text;
                Page()->SetDlgItemText(id, typed.substr(0, typed.size() - 1));
                ClearWire();
                Told();
                Type(id, typed.substr(typed.size() - 1));
                EXPECT_EQ(Sent() + Told(), "Please enter a number.|");
            }
        }
    });
}

// What the edits show of large and small values is taken back when typed key by key, with
// no box on the way through the exponent.
TEST_F(PositionEdgeTest, HeadingSetupTakesBackWhatItShows) {
    Start();
    NavInfo& nav = g_GPS.Info.Nav;
    nav.fHDGTau = 1e6f, nav.fHDGRateTau = 5e-5f, nav.fHBias = -2.5e-5f, nav.fManSep = 1.5e7f;
    OnScreen(SCR_HEADING_2, [&] {
        // clang-format off
        const struct { int id; const char *shown, *sent; } edits[] = {
            {1007, "1e+06", "$JATT,HTAU,1000000.000000\r\n"},
            {1030, "5e-05", "$JATT,HRTAU,0.000050\r\n"},
            {1035, "-2.5e-05", "$JATT,HBIAS,-0.000025\r\n"},
            {1037, "1.5e+07", "$JATT,MSEP,15000000.000000\r\n"}};
        // clang-format on
        for (const auto& e : edits) {
            SCOPED_TRACE(e.shown);
            EXPECT_EQ(Text(e.id), e.shown);
            Retype(e.id, "");
            ClearWire();
            Told();
            for (const char key : std::string(e.shown)) Type(e.id, std::string(1, key));
            EXPECT_EQ(Told(), "");
            const std::string sent = Sent();
            EXPECT_EQ(sent.substr(sent.rfind("$JATT")), e.sent);
        }
    });
}

TEST_F(PositionEdgeTest, HeadingPlotSkipsSecondsWithoutHeading) {
    Start();
    GPSInfo& info = g_GPS.Info;
    // Heading 0.2 for the newest 20 seconds, none before: the centre is 0.2 and a second
    // without heading, were it drawn, would lie a step below the middle.
    std::fill(std::begin(info.fHeadingHistory), std::end(info.fHeadingHistory), 0.0f);
    std::fill(info.fHeadingHistory + 200, info.fHeadingHistory + 220, 0.2f);
    info.iHeadingHistoryIndex = 220;
    info.iHeadingPlotZoom = 0;
    OnScreen(SCR_HEADING_3, [&] {
        strip::StripChart& chart = As<CHEADING_3>(SCR_HEADING_3)->Chart();
        for (int marker : {0, 2}) {
            SCOPED_TRACE(marker);
            info.iHeadingPlotMarker = marker;
            Tick();
            Tick();
            EXPECT_EQ(ValueLabels(), "359.80|  0.00|  0.20|  0.40|  0.60");
            const ui::Rect band = chart.PlotRect();
            const int mid = (band.top + band.bottom) / 2;
            const auto curveIn = [&](int firstSecond, int lastSecond) {
                int n = 0;
                for (int x = chart.XOf(firstSecond); x <= chart.XOf(lastSecond); ++x)
                    for (int y = band.top + 1; y < band.bottom; ++y)
                        n += Pixel(chart.Canvas(), x, y) == strip::kCurve;
                return n;
            };
            EXPECT_EQ(curveIn(0, 128), 0);
            EXPECT_GT(curveIn(133, 150), 0);
            EXPECT_EQ(Pixel(chart.Canvas(), chart.XOf(140), mid), strip::kCurve);
        }
    });
}

TEST_F(PositionEdgeTest, EllipseAgreesWithTheGridsCornersOnBothAxes) {
    for (double scale : {1.0, 1.5}) {
        SCOPED_TRACE(scale);
        Start(scale);
        OnScreen(SCR_GPS_4, [&] {
            const double sx = theApp().fScaleX, sy = theApp().fScaleY;
            const int left = int(kEllipseLeft * sx), top = int(kEllipseTop * sy);
            // The grid's lines as drawn, 0..10; the middle one is the centre.
            const auto lineX = [&](int k) { return left + 1 + int(k * 11.73 * sx); };
            const auto lineY = [&](int k) { return top + int(k * 11.73 * sy); };
            // Semi-axes (north-south, east-west), the corner label, grid cells each spans.
            // clang-format off
            const struct { double a, b; const char* corner; int cellsA, cellsB; } cases[] = {
                {0.8, 0.6, "(1,1)m", 4, 3}, {3.0, 2.0, "(5,5)m", 3, 2}, {8.0, 4.0, "(10,10)m", 4, 2}};
            // clang-format on
            for (const auto& c : cases) {
                SCOPED_TRACE(c.corner);
                ASSERT_TRUE(
                    Feed(platform::Format("GPGST,172814.0,0.006,%g,%g,0,0.5,0.4,1.25", c.a, c.b)));
                Tick();
                EXPECT_EQ(Text(IDC_GPS4_TOP_RIGHT), c.corner);
                // The last orange pixel going north beside the major axis, and going east
                // beside the minor one.
                int y = lineY(5);
                while (Orange(lineX(5) + 2, y - 1)) --y;
                int x = lineX(5);
                while (Orange(x + 1, lineY(5) + 2)) ++x;
                EXPECT_NEAR(y, lineY(5 - c.cellsA), 2);
                EXPECT_NEAR(x, lineX(5 + c.cellsB), 2);
            }
            Shot("gps4_ellipse_in_grid_scale_" + std::to_string(int(scale * 10)));
        });
        TearDown();
    }
}

TEST_F(PositionEdgeTest, UseThisPointTakesNoAltitudeAsZeroAndNamesTheRange) {
    Start();
    OnScreen(SCR_GPS_5, [&] {
        EXPECT_EQ(Text(IDC_GPS5_REF_ALT), "N/A");
        // Latitude, longitude, altitude as typed ("N/A": left as the fresh screen shows it),
        // the message, or the reference stored.
        // clang-format off
        const struct { const char *lat, *lon, *alt, *told; double refLat, refAlt; } cases[] = {
            {"48 07.2", "11 31.0", "N/A", "", 48.12, 0.0},
            {"91", "11 31.0", "12", "Latitude must be between -90 and 90 degrees.|", 48.12, 0.0},
            {"-45", "-181", "12", "Longitude must be between -180 and 180 degrees.|", 48.12, 0.0},
            {"abc", "11", "12", "Please enter a number.|", 48.12, 0.0},
            {"-45 30", "-180", "", "", -45.5, 0.0},
            {"10", "20", "30", "", 10.0, 30.0}};
        // clang-format on
        for (const auto& c : cases) {
            SCOPED_TRACE(c.lat);
            Retype(IDC_GPS5_REF_LAT, c.lat);
            Retype(IDC_GPS5_REF_LON, c.lon);
            if (std::string(c.alt) != "N/A") Retype(IDC_GPS5_REF_ALT, c.alt);
            Click(IDC_GPS5_USE_POINT);
            EXPECT_EQ(Told(), c.told);
            const PlotReference ref = theApp().GetPlotRef();
            EXPECT_TRUE(ref.bPlotRefValid);
            const double lat = (ref.iPlotRefLatDeg + ref.dPlotRefLatMin / 60.0) *
                               (ref.cPlotRefNS == 'S' ? -1.0 : 1.0);
            EXPECT_NEAR(lat, c.refLat, 1e-9);
            EXPECT_EQ(ref.fPlotRefAlt, float(c.refAlt));
        }
    });
}

TEST_F(PositionEdgeTest, OnlyAConfigurationFileLoads) {
    Start();
    ::setenv("HOME", shelltest::TempDir().c_str(), 1);  // where the file browser starts
    const std::string dir = shelltest::TempDir() + "/";
    const std::string setting = "[GPSData]\r\nfHDGTau=1.5\r\n";
    // The file, and what is wrong with it ("" when it loads).
    // clang-format off
    const struct { const char* name; std::string bytes; const char* fault; } files[] = {
        {"empty.rcf", "", "no setting of a receiver configuration file found"},
        {"noise.rcf", std::string("\x00\xff\x1b[\x80=\r\n\x7f", 9), "no setting of a receiver configuration file found"},
        {"notes.rcf", "[Shopping]\r\nbread=2\r\nmilk\r\n", "no setting of a receiver configuration file found"},
        {"huge.rcf", setting + std::string(1 << 20, ';'), nullptr},
        {"some.rcf", setting, ""}};
    // clang-format on
    std::vector<Step> steps;
    for (const auto& file : files) {
        const auto* f = &file;
        shelltest::WriteFile(dir + f->name, f->bytes);
        steps.push_back({SCR_GPS_3, [this] {
                             ClearWire();
                             Told();
                             Click(IDC_GPS3_LOAD);
                         }});
        steps.push_back({Top<CFileOpenDlg>(), [f] { PickFile(f->name); }});
        steps.push_back({SCR_GPS_3, [this, f, dir] {
                             SCOPED_TRACE(f->name);
                             const std::string path = dir + f->name;
                             const std::string told = Told();
                             // The once-a-second query may fall between.
                             const std::string sent =
                                 std::regex_replace(Sent(), std::regex("\\$JDIFF\r\n"), "");
                             if (f->fault && !*f->fault) {
                                 EXPECT_EQ(told, "");
                                 EXPECT_NE(sent.find("$JATT,HTAU,1.500000\r\n"), sent.npos);
                                 return;
                             }
                             const std::string fault =
                                 f->fault ? path + ": " + f->fault
                                          : "cannot read " + path + ": larger than 1048576 bytes";
                             EXPECT_EQ(told, "Could not read the receiver configuration file\n" +
                                                 fault + "|");
                             EXPECT_EQ(sent.find("$J"), sent.npos) << sent;
                         }});
    }
    Walk(steps);
    EXPECT_EQ(g_GPS.Info.Nav.fHDGTau, 1.5f);
}

}  // namespace
