// Screenshots of the position plot and the heading screens with live data, at two scales, for
// review; each also checks that its picture was drawn and that no text is clipped or overlaps.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/gps.h"
#include "screens/position/GPS_5.h"
#include "shell/BaseDialog.h"
#include "shell/Tessaray_PC.h"
#include "support/qt/layout_check.h"
#include "support/qt/screen_harness.h"

namespace {

class PlotHeadingShots : public shelltest::ScreenTest,
                         public ::testing::WithParamInterface<std::tuple<eScreen, double>> {
protected:
    // A heading receiver swinging slowly about north with a fix, and an hour of history.
    static void Fill() {
        GPSInfo& i = g_GPS.Info;
        i.eReceiverType = RECEIVER_HEADING;
        i.Nav.usNavMode = 4;
        i.Nav.iFixQuality = 2;
        i.Nav.fHeading = 358.7f;
        i.Nav.fROT = -21.5f;
        i.Nav.fCourse = 12.0f;
        i.Nav.fSpeedKmh = 6.5f;
        i.Nav.fPitch = 1.2f;
        i.Nav.fHDGTau = 2.0f;
        i.Nav.iLatDeg = 51, i.Nav.dLatMin = 2.5871, i.Nav.cLatDir = 'N';
        i.Nav.iLonDeg = 114, i.Nav.dLonMin = 3.4561, i.Nav.cLonDir = 'W';
        i.Nav.fAltitude = 1100.0f;
        i.Nav.fManSep = 0.5f;
        i.Nav.fCurSep = 0.498f;
        i.iHeadingPlotMarker = 2;
        for (int s = 0; s < kHistorySize; ++s) {
            const double h = 359.0 + 1.2 * std::sin(s / 40.0);
            i.fHeadingHistory[s] = static_cast<float>(h >= 360.0 ? h - 360.0 : h);
            i.fNorthHistory[s] = static_cast<float>(0.6 + 0.5 * std::sin(s / 25.0));
            i.fEastHistory[s] = static_cast<float>(-0.4 + 0.6 * std::cos(s / 31.0));
            i.fHeightHistory[s] = static_cast<float>(1.5 * std::sin(s / 50.0));
        }
        i.iHeadingHistoryIndex = 1234;
        i.iPositionHistoryIndex = 1234;
        theApp().iHeadingAge = 0;
    }
};

TEST_P(PlotHeadingShots, LiveScreen) {
    const auto [screen, scale] = GetParam();
    Start(scale);
    Fill();
    Open(screen);
    ui::StepRunner run;
    WaitShown(run, screen);
    run.Add([&] {
        if (screen == SCR_GPS_5) {
            // The first visit clears the reference; the user snaps one.
            Click(IDC_GPS5_SNAPSHOT);
        }
        theApp().iHeadingAge = 0;
        Tick();
        Tick();
        ui::Dialog* page = Page();
        ASSERT_NE(page, nullptr);
        const bool drawn = page->Widget()->findChild<QWidget*>(QStringLiteral("canvas")) != nullptr;
        EXPECT_EQ(drawn, screen != SCR_HEADING_2);
        EXPECT_EQ(shelltest::LayoutFaults(*page->Widget()), std::vector<std::string>{});
        Shot(std::string(ScreenClassName(screen)) + (scale > 1.2 ? "_144dpi" : "_96dpi"));
        EndAll();
    });
    Run(run);
}

INSTANTIATE_TEST_SUITE_P(Screens, PlotHeadingShots,
                         ::testing::Combine(::testing::Values(SCR_GPS_5, SCR_HEADING_1,
                                                              SCR_HEADING_2, SCR_HEADING_3),
                                            ::testing::Values(1.0, 1.5)),
                         [](const auto& info) {
                             return std::string(ScreenClassName(std::get<0>(info.param))) +
                                    (std::get<1>(info.param) > 1.2 ? "_scale15" : "_scale1");
                         });

}  // namespace
