// The status strip as every screen shows it: the longest source name fits its label on the
// screens of each template family, at both scales.

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>

#include "engine/gps.h"
#include "support/qt/screen_harness.h"
#include "ui/dialog.h"

namespace {

class StatusStrip : public shelltest::ScreenTest {};

TEST_F(StatusStrip, LongestSourceNameFits) {
    for (double scale : {1.0, 1.5}) {
        for (eScreen screen : {SCR_GPS_1, SCR_GPS_5, SCR_BEACON_1, SCR_SBAS_3, SCR_LBND_1}) {
            SCOPED_TRACE(std::string(ScreenClassName(screen)) + " " + std::to_string(scale));
            Start(scale);
            g_GPS.Info.eCurCorrSource = CORR_TSPAN_ROVER;
            g_GPS.Info.Nav.usNavMode = 4;
            OnScreen(screen, [&] {
                Tick();
                EXPECT_EQ(Texts({1001, 1002}), "3D+DIFF|t-Span Rover");
                const auto* label = Page()->Item<QLabel>(1002);
                ASSERT_NE(label, nullptr);
                EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()),
                          label->contentsRect().width());
            });
            TearDown();
        }
    }
}

}  // namespace
