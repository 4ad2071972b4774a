// The heading screens: status lamp and needles, setup commands key by key, the plot across north.

#include "screens/position/HEADING_1.h"
#include "screens/position/HEADING_2.h"
#include "screens/position/HEADING_3.h"
#include "screens/screen_walk.h"
#include "shell/StatusStrip.h"

namespace {

class HeadingTest : public shelltest::WalkTest {
protected:
    // The pixel `distance` pixels from a dial's centre along a bearing.
    ui::Rgb Along(const DialGeometry& g, double bearing, double distance) {
        const double b = bearing * std::numbers::pi / 180.0;
        return Pixel(As<CHEADING_1>(SCR_HEADING_1)->Picture(),
                     g.cx + int(std::lround(distance * std::sin(b))),
                     g.cy - int(std::lround(distance * std::cos(b))));
    }
    // The newest seconds of the heading ring, oldest first; the rest without heading.
    static void Fill(const std::vector<float>& newest) {
        GPSInfo& info = g_GPS.Info;
        std::fill(std::begin(info.fHeadingHistory), std::end(info.fHeadingHistory), 0.0f);
        std::copy(newest.begin(), newest.end(), info.fHeadingHistory);
        info.iHeadingHistoryIndex = static_cast<int32_t>(newest.size());
    }
};

const ui::Rgb kOrange{234, 175, 15}, kBlue{30, 28, 119};

TEST_F(HeadingTest, StatusCommandsReadoutsLampAndNeedles) {
    Start();
    OnScreen(SCR_HEADING_1, [&] {
        CHEADING_1* s = As<CHEADING_1>(SCR_HEADING_1);
        const std::string on = "$JASC,HEHDT,1\r\n$JASC,HEROT,1\r\n$JASC,GPVTG,1\r\n$JASC,HPR,1\r\n";
        EXPECT_EQ(Sent(), on + "$JATT,ROLL\r\n$JDIFF\r\n");
        for (int t = 1; t <= 5; ++t)  // resent every fifth tick, paced
            EXPECT_EQ(TickSent(),
                      t % 5 ? "~0"
                            : "$JASC,HEHDT,1\r\n~10$JASC,HEROT,1\r\n~10$JASC,GPVTG,1\r\n~10"
                              "$JASC,HPR,1\r\n~10$JATT,ROLL\r\n~10$JDIFF\r\n~0");
        EXPECT_EQ(ClickSent(IDC_HEADING1_GO), "$JATT,SEARCH\r\n");
        NavInfo& n = g_GPS.Info.Nav;
        n.fPitch = -2.3f, n.fRoll = 4.5f, n.fCourse = 12.5f, n.fROT = -250.0f;
        n.fSpeedKmh = 100.0f, n.bRollOutput = 1;
        EXPECT_TRUE(Feed("HEHDT,123.456,T"));
        Tick();
        EXPECT_EQ(Texts({IDC_HEADING1_HEADING, IDC_HEADING1_PITCH, IDC_HEADING1_ROLL,
                         IDC_HEADING1_SPEED}),
                  "123.456|  -  |4.5|100");
        // The lamp is checked before each tick counts: good for four ticks after the last
        // heading sentence, bad at the fifth, good again at the tick after the next one.
        EXPECT_TRUE(Feed("HEHDT,123.456,T"));
        for (int t = 0; t < 7; ++t) {
            Tick();
            EXPECT_EQ(s->IsItemVisible(kHeadingLampGood), t < 4) << t;
            EXPECT_EQ(s->IsItemVisible(kHeadingLampBad), t >= 4) << t;
        }
        EXPECT_EQ(theApp().iHeadingAge.load(), 4);
        EXPECT_TRUE(Feed("HEHDT,1.0,T"));
        Tick();
        EXPECT_TRUE(s->IsItemVisible(kHeadingLampGood));
        // The heading needle (orange) and the course needle (blue) point at their values.
        const DialGeometry compass = s->Compass();
        const double r = compass.rx - 18;
        for (float heading : {181.0f, 359.5f}) {
            n.fHeading = heading, n.fCourse = heading + 90.0f;
            Tick();
            EXPECT_EQ(Along(compass, heading, 0.7 * r), kOrange) << heading;
            EXPECT_NE(Along(compass, heading, r + 3), kOrange) << heading;
            EXPECT_EQ(Along(compass, heading + 90, 0.5 * r), kBlue) << heading;
        }
        // Rate of turn: 120 degrees of arc for 500 degrees a minute, pinned beyond.
        // Speed: 0..8 up to 8, 0..80 above, pinned at 80; 120 degrees each side of the top.
        const struct {
            float rot, speed;
            double rotBearing, speedBearing;
        } gauges[] = {{-250, 50, -60, 30}, {900, 100, 120, 120}};
        const DialGeometry rot = s->RotGauge(), speed = s->SpeedGauge();
        for (const auto& g : gauges) {
            n.fROT = g.rot, n.fSpeedKmh = g.speed;
            Tick();
            EXPECT_EQ(Along(rot, g.rotBearing, 0.3 * (rot.rx - 13)), kOrange) << g.rot;
            EXPECT_EQ(Along(speed, g.speedBearing, 0.3 * (speed.rx - 13)), kBlue) << g.speed;
        }
        Shot("heading1");
        EXPECT_EQ(LeaveSent(),
                  "$JASC,HEHDT,0\r\n$JASC,HEROT,0\r\n$JASC,GPVTG,0\r\n$JASC,HPR,0\r\n");
    });
}

TEST_F(HeadingTest, SetupQueriesAndEachControlsCommand) {
    Start();
    WizardInfo& live = g_GPS.Info.Settings.WizardLive;
    live.ThisPortConfig.eHEHDT = 1;   // "5 s"
    live.ThisPortConfig.eHEROT = 6;   // no such item
    live.OtherPortConfig.eHEHDT = 3;  // "5 Hz"
    NavInfo& n = g_GPS.Info.Nav;
    n.bRollOutput = 1, n.bGyroAid = 1, n.bTiltAid = 0;
    n.fHDGTau = 2.5f, n.fHBias = -1.25f, n.fCurSep = 0.4999f;
    OnScreen(SCR_HEADING_2, [&] {
        CHEADING_2* s = As<CHEADING_2>(SCR_HEADING_2);
        const auto queries = [](const char* pace) {
            std::string w;
            for (const char* q :
                 {"ROLL", "TILTAID", "GYROAID", "LEVEL", "NEGTILT", "FLIPBRD", "HTAU", "HRTAU",
                  "COGTAU", "SPDTAU", "HBIAS", "PBIAS", "MSEP", "CSEP"})
                w += std::string("$JATT,") + q + "\r\n" + pace;
            return w + "$JDIFF\r\n";
        };
        EXPECT_EQ(Sent(), queries("") + "~1000");
        EXPECT_EQ((std::vector<int>{s->GetCurSel(1059), s->GetCurSel(1060), s->GetCurSel(1063),
                                    s->IsDlgButtonChecked(IDC_HEADING2_ROLL),
                                    s->IsDlgButtonChecked(1147), s->IsDlgButtonChecked(1146)}),
                  (std::vector<int>{3, -1, 2, 1, 1, 0}));
        EXPECT_EQ(Texts({1007, 1035, IDC_HEADING2_CSEP}), "2.5|-1.25|0.500");
        // The separation every tick, the other queries every fifth.
        for (int t = 1; t <= 5; ++t) {
            n.fCurSep = 1.25f;
            EXPECT_EQ(TickSent(), (t == 5 ? queries("~10") : "") + "$JATT,CSEP\r\n~100~0") << t;
        }
        EXPECT_EQ(Text(IDC_HEADING2_CSEP), "1.250");
        // Typed values go out as complete numbers only, clamped; other text is refused once.
        // Edit, keys, what each key sends ("|" after each), shown.
        // clang-format off
        const struct { int id; const char *keys, *sent, *shown; } typed[] = {
            {1007, "0.5", "$JATT,HTAU,0.000000\r\n||$JATT,HTAU,0.500000\r\n|", "0.5"},
            {1035, "-200", "|$JATT,HBIAS,-2.000000\r\n|$JATT,HBIAS,-20.000000\r\n|$JATT,HBIAS,-180.000000\r\n|", "-180"},
            {1037, "1.5x", "$JATT,MSEP,1.000000\r\n||$JATT,MSEP,1.500000\r\n||", "1.5x"}};
        // clang-format on
        for (const auto& t : typed) {
            s->Item<QLineEdit>(t.id)->clear();
            std::string sent;
            for (const char* k = t.keys; *k; ++k) {
                ClearWire();
                Type(t.id, std::string(1, *k));
                sent += Sent() + "|";
            }
            EXPECT_EQ(sent, t.sent) << t.keys;
            EXPECT_EQ(Text(t.id), t.shown) << t.keys;
        }
        EXPECT_EQ(Told(), "Please enter a number.|");
        EXPECT_FLOAT_EQ(n.fHBias, -180.0f);
        EXPECT_FLOAT_EQ(n.fManSep, 1.5f);
        // Flags alternate per click from the shown state; the record waits for the reply.
        std::string clicks;
        for (int id : {1146, 1146, 1147, 1149, 1150, 1151, 1151, int(IDC_HEADING2_ROLL),
                       int(IDC_HEADING2_PITCH)}) {
            ClearWire();
            Click(id);
            clicks += Sent();
        }
        EXPECT_EQ(clicks,
                  "$JATT,TILTAID,YES\r\n$JATT,TILTAID,NO\r\n$JATT,GYROAID,NO\r\n$JATT,LEVEL,YES\r\n"
                  "$JATT,NEGTILT,YES\r\n$JATT,FLIPBRD,YES\r\n$JATT,FLIPBRD,NO\r\n"
                  "$JATT,ROLL,YES\r\n$JATT,ROLL,NO\r\n");
        EXPECT_EQ(n.bTiltAid, 0);
        // A rate goes out through the changed-settings sender, the new rate first.
        g_GPS.Info.Settings.WizardSnapshot = live;
        ClearWire();
        Choose(1065, 5);
        EXPECT_EQ(live.OtherPortConfig.eHPR, RATE_20HZ);
        EXPECT_EQ(Sent().rfind("$JASC,HPR,20,OTHER\r\n", 0), 0u) << Sent();
        Shot("heading2");
        s->OnCancel();
        EXPECT_FALSE(s->IsTimerRunning(1));
    });
}

TEST_F(HeadingTest, PlotCommandsFiguresAndZoom) {
    Start();
    g_GPS.Info.Nav.fHeading = 123.45f;
    g_GPS.Info.Nav.fROT = -250.0f;  // a long figure takes a smaller face
    OnScreen(SCR_HEADING_3, [&] {
        CHEADING_3* plot = As<CHEADING_3>(SCR_HEADING_3);
        EXPECT_EQ(Sent(), "$JASC,HEHDT,1\r\n$JASC,HEROT,1\r\n$JDIFF\r\n");
        for (int t = 1; t <= 5; ++t) {
            EXPECT_EQ(TickSent(),
                      t < 5 ? "~0" : "$JASC,HEHDT,1\r\n~10$JASC,HEROT,1\r\n~10$JDIFF\r\n~0");
        }
        // A ring without heading: centre 0 and the labels across north.
        EXPECT_EQ(ValueLabels(), "359.60|359.80|  0.00|  0.20|  0.40");
        EXPECT_EQ(Texts({IDC_HEADING3_READOUT, IDC_HEADING3_SECONDS, IDC_HEADING3_MINUTES}),
                  "0.0|Now|Now");
        strip::StripChart& chart = plot->Chart();
        const ui::Canvas& c = chart.Canvas();
        // 359.9 and 0.1 alternating, then six seconds without heading: the centre stays north.
        std::vector<float> newest;
        for (int k = 0; k < 5; ++k) newest.insert(newest.end(), {359.9f, 0.1f});
        newest.insert(newest.end(), 6, 0.0f);
        Fill(newest);
        g_GPS.Info.iHeadingPlotZoom = 0;
        Tick();
        Tick();
        EXPECT_EQ(ValueLabels(), "359.60|359.80|  0.00|  0.20|  0.40");
        // 358 sweeping to 2 over the newest page, 1.6 degrees a row; 0.01 is no missing second.
        std::vector<float> sweep;
        for (int i = 0; i <= 150; ++i)
            sweep.push_back(float(std::fmod(358.0 + 4.0 * i / 150.0, 360.0)));
        sweep[75] = 0.01f;
        Fill(sweep);
        g_GPS.Info.iHeadingPlotZoom = 3;
        g_GPS.Info.iHeadingPlotMarker = 2;
        Tick();
        Tick();
        EXPECT_EQ(ValueLabels(), "356.80|358.40|  0.00|  1.60|  3.20");
        // West of north lies below the middle, east above.
        const ui::Rect band = chart.PlotRect();
        const int mid = (band.top + band.bottom) / 2;
        EXPECT_EQ(Pixel(c, chart.XOf(10), mid + int((2.0 - 4.0 * 10 / 150) * band.Height() / 6.4)),
                  strip::kCurve);
        EXPECT_EQ(Text(IDC_HEADING3_READOUT), "2.0");
        Shot("heading3");
        EXPECT_EQ(LeaveSent(), "$JASC,HEHDT,0\r\n$JASC,HEROT,0\r\n");
    });
}

// The centre follows the mean heading of the newest 151 seconds, or of the newest 16 when that
// one is far from it; newest seconds without heading leave the centre where the older ones put
// it, and a second without heading breaks the curve.
TEST_F(HeadingTest, PlotCentreFromTheNewest151And16SecondsAndGaps) {
    Start();
    OnScreen(SCR_HEADING_3, [&] {
        CHEADING_3* plot = As<CHEADING_3>(SCR_HEADING_3);
        g_GPS.Info.iHeadingPlotZoom = 0;
        // Seconds of `heading`, one of them (counted back from the newest, 1 = the newest)
        // other, then seconds without heading.
        // clang-format off
        const struct { int seconds; float heading; int back; float odd; int none; const char* labels; } cases[] = {
            {151, 100.0f, 16, 110.0f, 0, "100.20|100.40|100.60|100.80|101.00"},
            {151, 100.0f, 17, 110.0f, 0, " 99.60| 99.80|100.00|100.20|100.40"},
            {160, 100.0f, 151, 130.2f, 0, " 99.80|100.00|100.20|100.40|100.60"},
            {160, 100.0f, 152, 130.2f, 0, " 99.60| 99.80|100.00|100.20|100.40"},
            {135, 123.5f, 0, 0.0f, 16, "123.20|123.40|123.60|123.80|124.00"},
            {0, 0.0f, 0, 0.0f, 151, "359.60|359.80|  0.00|  0.20|  0.40"}};
        // clang-format on
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << c.heading << " " << c.back << " " << c.none);
            std::vector<float> newest(static_cast<size_t>(c.seconds), c.heading);
            if (c.back) newest[newest.size() - static_cast<size_t>(c.back)] = c.odd;
            newest.insert(newest.end(), static_cast<size_t>(c.none), 0.0f);
            Fill(newest);
            Tick();
            Tick();
            EXPECT_EQ(ValueLabels(), c.labels);
        }
        // After 16 s without heading the older headings are still on the chart.
        strip::StripChart& chart = plot->Chart();
        const ui::Rect band = chart.PlotRect();
        const int mid = (band.top + band.bottom) / 2, quarter = band.Height() / 4;
        const auto curveIn = [&](int firstSecond, int lastSecond, int top, int bottom) {
            int n = 0;
            for (int x = chart.XOf(firstSecond); x <= chart.XOf(lastSecond); ++x)
                for (int y = top; y < bottom; ++y)
                    n += Pixel(chart.Canvas(), x, y) == strip::kCurve;
            return n;
        };
        std::vector<float> blank(135, 123.5f);
        blank.insert(blank.end(), 16, 0.0f);
        Fill(blank);
        Tick();
        Tick();
        EXPECT_GT(curveIn(0, 130, band.top + 1, band.bottom), 0);
        // 0.2 degrees above the centre, one second without heading, 0.2 below, in lines.
        std::vector<float> steps(75, 100.2f);
        steps.push_back(0.0f);
        steps.insert(steps.end(), 75, 99.8f);
        Fill(steps);
        g_GPS.Info.iHeadingPlotMarker = 2;
        Tick();
        Tick();
        EXPECT_EQ(ValueLabels(), " 99.60| 99.80|100.00|100.20|100.40");
        const int width = g_GPS.Info.iHeadingPlotLineWidth;
        EXPECT_EQ(curveIn(74, 76, mid - quarter + width + 1, mid + quarter - width), 0);
        EXPECT_EQ(Pixel(chart.Canvas(), chart.XOf(40), mid - quarter), strip::kCurve);
        EXPECT_EQ(Pixel(chart.Canvas(), chart.XOf(110), mid + quarter), strip::kCurve);
    });
}

}  // namespace
