// The navigation bar as the screens of each template family show it: its picture drawn at the
// control's size, at both scales.

#include "screens/screen_walk.h"
#include "ui/pictures.h"

namespace {

class NavBar : public shelltest::ScreenTest {};

TEST_F(NavBar, IsItsPictureAtTheControlsSize) {
    for (double scale : {1.0, 1.5}) {
        for (eScreen screen : {SCR_GPS_1, SCR_GPS_5, SCR_SBAS_3, SCR_LBND_1}) {
            SCOPED_TRACE(std::string(ScreenClassName(screen)) + " " + std::to_string(scale));
            Start(scale);
            OnScreen(screen, [&] {
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
