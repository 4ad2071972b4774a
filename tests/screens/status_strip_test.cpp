// The status strip and the navigation bar as every screen shows them: the longest source name
// fits its label, and the bar is its picture at the control's size, on the screens of each
// template family at both scales.

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>

#include "engine/gps.h"
#include "shell/BaseDialog.h"
#include "support/qt/screen_harness.h"
#include "ui/dialog.h"
#include "ui/pictures.h"

namespace {

class StatusStrip : public shelltest::ScreenTest {};

TEST_F(StatusStrip, LongestSourceNameFitsAndTheBarIsItsPicture) {
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
                const QSize size = Page()->GetDlgItem(IDC_NAVBAR)->size();
                const QImage bar = ui::Pictures::RenderSized(Page()->GetPictureId(IDC_NAVBAR),
                                                             ui::PictureKind::Bitmap, size);
                for (const QPoint at : {QPoint(size.width() / 2, size.height() / 4),
                                        QPoint(size.width() / 3, size.height() * 3 / 4)}) {
                    const QRgb p = bar.pixel(at);
                    EXPECT_EQ(Pixel(IDC_NAVBAR, at.x(), at.y()),
                              (ui::Rgb{uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p))}));
                }
            });
            TearDown();
        }
    }
}

}  // namespace
