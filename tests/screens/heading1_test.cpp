// The heading status screen: commands on entry, every fifth tick and leave; read-outs; the
// heading lamp counted in ticks; the needles of the dial and the gauges.

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "engine/gps.h"
#include "screens/position/HEADING_1.h"
#include "shell/StatusStrip.h"
#include "shell/Tessaray_PC.h"
#include "support/qt/screen_harness.h"

namespace {

using Wires = std::vector<std::string>;

class Heading1Test : public shelltest::ScreenTest {
protected:
    CHEADING_1* Status() { return As<CHEADING_1>(SCR_HEADING_1); }

    // The pixel `distance` pixels from a dial's centre along a bearing.
    ui::Rgb Along(const DialGeometry& g, double bearing, double distance) {
        const double b = bearing * std::numbers::pi / 180.0;
        return Pixel(Status()->Picture(),
                     g.cx + static_cast<int>(std::lround(distance * std::sin(b))),
                     g.cy - static_cast<int>(std::lround(distance * std::cos(b))));
    }
};

const Wires kOutputsOn{"$JASC,HEHDT,1\r\n", "$JASC,HEROT,1\r\n", "$JASC,GPVTG,1\r\n",
                       "$JASC,HPR,1\r\n",   "$JATT,ROLL\r\n",    "$JDIFF\r\n"};

TEST_F(Heading1Test, CommandsOnEntryEveryFifthTickAndLeave) {
    Start();
    Open(SCR_HEADING_1);
    ui::StepRunner run;
    WaitShown(run, SCR_HEADING_1);
    run.Add([&] {
        EXPECT_EQ(Wire(), kOutputsOn);
        for (int round = 0; round < 2; ++round) {
            for (int t = 1; t <= 4; ++t) {
                ClearWire();
                Tick();
                EXPECT_EQ(Wire(), Wires{"~0"}) << round << " " << t;
            }
            ClearWire();
            Tick();
            EXPECT_EQ(Wire(), (Wires{"$JASC,HEHDT,1\r\n", "~10", "$JASC,HEROT,1\r\n", "~10",
                                     "$JASC,GPVTG,1\r\n", "~10", "$JASC,HPR,1\r\n", "~10",
                                     "$JATT,ROLL\r\n", "~10", "$JDIFF\r\n", "~0"}))
                << round;
        }
        ClearWire();
        Click(IDC_HEADING1_GO);
        EXPECT_EQ(Wire(), Wires{"$JATT,SEARCH\r\n"});
        ClearWire();
        Status()->OnCancel();
        EXPECT_EQ(Wire(), (Wires{"$JASC,HEHDT,0\r\n", "$JASC,HEROT,0\r\n", "$JASC,GPVTG,0\r\n",
                                 "$JASC,HPR,0\r\n"}));
        EndAll();
    });
    Run(run);
}

TEST_F(Heading1Test, ReadoutsAndTheLampInTicks) {
    Start();
    Open(SCR_HEADING_1);
    ui::StepRunner run;
    WaitShown(run, SCR_HEADING_1);
    run.Add([&] {
        NavInfo& n = g_GPS.Info.Nav;
        n.fPitch = -2.3f, n.fRoll = 4.5f, n.fCourse = 12.5f, n.fROT = -250.0f;
        n.fSpeedKmh = 100.0f;
        n.bRollOutput = 1;
        EXPECT_TRUE(Feed("HEHDT,123.456,T"));
        Tick();
        EXPECT_EQ(Text(IDC_HEADING1_HEADING), "123.456");
        EXPECT_EQ(Text(IDC_HEADING1_PITCH), "  -  ");
        EXPECT_EQ(Text(IDC_HEADING1_ROLL), "4.5");
        EXPECT_EQ(Text(IDC_HEADING1_COG), "12.5");
        EXPECT_EQ(Text(IDC_HEADING1_ROT), "-250");
        EXPECT_EQ(Text(IDC_HEADING1_SPEED), "100");
        n.bRollOutput = 0;
        Choose(IDC_HEADING1_SPEED_UNIT, 1);
        Tick();
        EXPECT_EQ(Text(IDC_HEADING1_PITCH), "-2.3");
        EXPECT_EQ(Text(IDC_HEADING1_ROLL), "  -  ");
        EXPECT_EQ(Text(IDC_HEADING1_SPEED), "62.15");
        EXPECT_EQ(g_GPS.Info.eSpeedUnit, 1);

        // The lamp is checked before each tick counts: good for four ticks after the last
        // heading sentence, bad at the fifth, good again at the tick after the next one.
        CTessaray_PCApp& app = theApp();
        EXPECT_TRUE(Feed("HEHDT,123.456,T"));
        const bool good[] = {true, true, true, true, false, false, false};
        for (size_t t = 0; t < std::size(good); ++t) {
            Tick();
            EXPECT_EQ(Status()->IsItemVisible(kHeadingLampGood), good[t]) << t;
            EXPECT_EQ(Status()->IsItemVisible(kHeadingLampBad), !good[t]) << t;
        }
        EXPECT_EQ(app.iHeadingAge.load(), 4);
        EXPECT_TRUE(Feed("HEHDT,1.0,T"));
        Tick();
        EXPECT_TRUE(Status()->IsItemVisible(kHeadingLampGood));
        EndAll();
    });
    Run(run);
}

TEST_F(Heading1Test, NeedlesPointAtTheirValues) {
    Start();
    Open(SCR_HEADING_1);
    ui::StepRunner run;
    WaitShown(run, SCR_HEADING_1);
    run.Add([&] {
        const ui::Rgb orange{234, 175, 15}, blue{30, 28, 119};
        NavInfo& n = g_GPS.Info.Nav;
        CHEADING_1* s = Status();
        const DialGeometry compass = s->Compass();
        const double r = compass.rx - 18;  // the heading needle's length
        for (float heading : {0.0f, 90.0f, 181.0f, 359.5f}) {
            n.fHeading = heading;
            n.fCourse = heading + 90.0f;
            Tick();
            EXPECT_EQ(Along(compass, heading, 0.7 * r), orange) << heading;
            EXPECT_NE(Along(compass, heading, r + 3), orange) << heading;
            EXPECT_NE(Along(compass, heading + 180, 0.7 * r), orange) << heading;
            EXPECT_EQ(Along(compass, heading + 90, 0.5 * r), blue) << heading;
        }

        // Rate of turn: 120 degrees of arc for 500 degrees a minute, pinned beyond.
        // Speed: 0..8 up to 8, 0..80 above, pinned at 80; 120 degrees each side of the top.
        struct Gauge {
            float rot, speed;
            double rotBearing, speedBearing;
        };
        const Gauge gauges[] = {
            {250, 5, 60, 30}, {-250, 50, -60, 30}, {900, 100, 120, 120}, {0, 0, 0, -120}};
        const DialGeometry rotGauge = s->RotGauge(), speedGauge = s->SpeedGauge();
        Choose(IDC_HEADING1_SPEED_UNIT, 0);
        for (const Gauge& g : gauges) {
            n.fROT = g.rot;
            n.fSpeedKmh = g.speed;
            Tick();
            EXPECT_EQ(Along(rotGauge, g.rotBearing, 0.3 * (rotGauge.rx - 13)), orange) << g.rot;
            EXPECT_EQ(Along(speedGauge, g.speedBearing, 0.3 * (speedGauge.rx - 13)), blue)
                << g.speed;
        }
        n.fHeading = 37.5f, n.fCourse = 41.0f, n.fROT = 12.0f, n.fSpeedKmh = 6.5f;
        Tick();
        Shot("heading1");
        EndAll();
    });
    Run(run);
}

// A heading receiver's navigation-bar button opens the status screen; the tabs lead through
// the group.
TEST_F(Heading1Test, NavigationReachesTheHeadingScreens) {
    Start();
    g_GPS.Info.eReceiverType = RECEIVER_HEADING;
    theApp().eReceiverType = RECEIVER_HEADING;
    Open(SCR_GPS_1);
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_1);
    run.Add([] { ui::UserClickDesign(201, 429); });
    WaitShown(run, SCR_HEADING_1);
    struct Hop {
        eScreen from;
        int tab;
        eScreen to;
    };
    const Hop hops[] = {{SCR_HEADING_1, 2, SCR_HEADING_3},
                        {SCR_HEADING_3, 1, SCR_HEADING_2},
                        {SCR_HEADING_2, 0, SCR_HEADING_1}};
    for (const Hop& h : hops) {
        run.Add([this, h] {
            CBaseDialog* from = As<CBaseDialog>(h.from);
            ASSERT_NE(from, nullptr);
            EXPECT_TRUE(ui::UserSelectTab(from->GetDlgItem(IDC_HEADING_TAB), h.tab));
        });
        WaitShown(run, h.to);
    }
    run.Add([this] {
        EXPECT_FALSE(As<CBaseDialog>(SCR_HEADING_2)->IsWindowVisible());
        EXPECT_EQ(Page(), As<CBaseDialog>(SCR_HEADING_1));
        EndAll();
    });
    Run(run);
}

}  // namespace
