// The status strip as every screen shows it: the longest source name fits its label on the
// screens of each template family, at both scales.

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>
#include <string>

#include "engine/gps.h"
#include "shell/BaseDialog.h"
#include "support/qt/screen_harness.h"

namespace {

class StatusStrip : public shelltest::ScreenTest,
                    public ::testing::WithParamInterface<std::tuple<eScreen, double>> {};

TEST_P(StatusStrip, LongestSourceNameFits) {
    const auto& [screen, scale] = GetParam();
    Start(scale);
    g_GPS.Info.eCurCorrSource = CORR_TSPAN_ROVER;
    g_GPS.Info.Nav.usNavMode = 4;
    Open(screen);
    ui::StepRunner run;
    WaitShown(run, screen);
    run.Add([&] {
        Tick();
        EXPECT_EQ(Text(1001), "3D+DIFF");
        EXPECT_EQ(Text(1002), "t-Span Rover");
        const auto* label = Page()->Item<QLabel>(1002);
        ASSERT_NE(label, nullptr);
        EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()),
                  label->contentsRect().width());
        EndAll();
    });
    Run(run);
}

INSTANTIATE_TEST_SUITE_P(Screens, StatusStrip,
                         ::testing::Combine(::testing::Values(SCR_GPS_1, SCR_GPS_5, SCR_BEACON_1,
                                                              SCR_SBAS_3, SCR_LBND_1),
                                            ::testing::Values(1.0, 1.5)),
                         [](const auto& info) {
                             return std::string(ScreenClassName(std::get<0>(info.param))) +
                                    (std::get<1>(info.param) > 1.0 ? "_scale15" : "_scale1");
                         });

}  // namespace
