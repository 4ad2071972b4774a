#include "ui/pictures.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <cmath>

#include "support/qt/qt_env.h"

namespace {

using namespace ui;

TEST(Pictures, EveryPictureDrawsAtAnyScaleAndUnknownIdsDrawNothing) {
    for (PictureKind kind : {PictureKind::Bitmap, PictureKind::Icon}) {
        for (int id : Pictures::Ids(kind)) {
            const QSize natural = Pictures::NaturalSize(id, kind);
            for (double scale : {1.0, 1.5}) {
                const QImage img = Pictures::Render(id, kind, scale);
                EXPECT_EQ(img.size(), QSize(std::lround(natural.width() * scale),
                                            std::lround(natural.height() * scale)))
                    << id;
                bool ink = false;
                for (int y = 0; y < img.height() && !ink; ++y)
                    for (int x = 0; x < img.width() && !ink; ++x) ink = qAlpha(img.pixel(x, y)) > 0;
                EXPECT_TRUE(ink) << id << " at " << scale;
            }
        }
    }
    EXPECT_TRUE(!Pictures::Exists(139) && Pictures::Render(139, PictureKind::Bitmap, 1.0).isNull());
    QImage img(10, 10, QImage::Format_ARGB32);
    QPainter p(&img);
    EXPECT_FALSE(Pictures::Paint(p, QRectF(0, 0, 10, 10), 139));
}

}  // namespace
