#include "ui/pictures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>
#include <cmath>
#include <cstdlib>
#include <set>

#include "support/qt/qt_env.h"
#include "ui/automation.h"
#include "ui/canvas.h"
#include "ui/dialog.h"
#include "ui/fonts.h"

namespace {

using namespace ui;

bool HasInk(const QImage& img) {
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qAlpha(img.pixel(x, y)) > 0) return true;
    return false;
}

TEST(Pictures, NavigationBarIdsFollowTheFamilyTables) {
    const auto& bars = Pictures::NavBars();
    EXPECT_EQ(bars.size(), 168u);
    std::set<int> ids;
    for (const auto& b : bars) {
        EXPECT_GE(b.id, 141);
        EXPECT_LE(b.id, 382);
        EXPECT_TRUE(ids.insert(b.id).second) << "duplicate " << b.id;
        EXPECT_EQ(Pictures::NavBarId(b.family, b.label, b.found, b.heading), b.id) << b.id;
        EXPECT_TRUE(Pictures::Exists(b.id)) << b.id;
    }

    // Which picture each family and source shows is checked through the navigation bar of
    // the screens; here, that each picture knows the button it lights.
    EXPECT_EQ(Pictures::NavBar(141)->highlighted, NavButton::None);
    EXPECT_EQ(Pictures::NavBar(291)->highlighted, NavButton::Gps);
    EXPECT_EQ(Pictures::NavBar(157)->highlighted, NavButton::Diff);
    EXPECT_EQ(Pictures::NavBar(382)->highlighted, NavButton::Terminal);
    EXPECT_EQ(Pictures::NavBar(302)->highlighted, NavButton::Logs);
    EXPECT_EQ(Pictures::NavBar(261)->highlighted, NavButton::Heading);
    EXPECT_FALSE(Pictures::NavBar(170).has_value());
}

TEST(Pictures, EveryPictureDrawsAtAnyScale) {
    for (PictureKind kind : {PictureKind::Bitmap, PictureKind::Icon}) {
        const auto ids = Pictures::Ids(kind);
        EXPECT_FALSE(ids.empty());
        for (int id : ids) {
            const QSize natural = Pictures::NaturalSize(id, kind);
            for (double scale : {1.0, 1.5}) {
                const QImage img = Pictures::Render(id, kind, scale);
                EXPECT_EQ(img.width(), std::lround(natural.width() * scale)) << id;
                EXPECT_EQ(img.height(), std::lround(natural.height() * scale)) << id;
                EXPECT_TRUE(HasInk(img)) << id << " at " << scale;
            }
        }
    }
    // The pictures the screens name exist.
    for (int id : {130, 134, 135, 136, 137, 138, 170, 220, 221, 222,           218,
                   219, 223, 224, 230, 231, 236, 237, 238, 326, IDB_PAUSE_OFF, IDB_PAUSE_ON})
        EXPECT_TRUE(Pictures::Exists(id)) << id;
    for (int id = 210; id <= 217; ++id) EXPECT_TRUE(Pictures::Exists(id)) << id;
    for (int id = 232; id <= 235; ++id) EXPECT_TRUE(Pictures::Exists(id)) << id;
    for (int id : {128, 216, 131, 132, 133, 134, 217, 218, 219})
        EXPECT_TRUE(Pictures::Exists(id, PictureKind::Icon)) << id;

    EXPECT_FALSE(Pictures::Exists(139));
    EXPECT_TRUE(Pictures::Render(139, PictureKind::Bitmap, 1.0).isNull());
    QImage img(10, 10, QImage::Format_ARGB32);
    QPainter p(&img);
    EXPECT_FALSE(Pictures::Paint(p, QRectF(0, 0, 10, 10), 139));
}

TEST(Pictures, PictureControlKeepsItsPictureOnABadId) {
    QWidget parent;
    Picture nav(141, false, &parent);
    EXPECT_EQ(nav.SetPictureId(-1), 0);
    EXPECT_EQ(nav.pictureId(), 141);
    EXPECT_EQ(nav.SetPictureId(139), 0);
    EXPECT_EQ(nav.pictureId(), 141);
    EXPECT_EQ(nav.SetPictureId(291), 1);
    EXPECT_EQ(nav.pictureId(), 291);

    IconCombo combo(&parent);
    EXPECT_EQ(combo.AddIcon(219), 0);
    EXPECT_EQ(combo.AddIcon(218), 1);
    EXPECT_EQ(combo.AddIcon(4242), -1);
    EXPECT_EQ(combo.count(), 2);
    combo.setCurrentIndex(1);
    combo.SelectByText("no such text");
    EXPECT_EQ(combo.currentIndex(), 0);
    EXPECT_EQ(combo.IconAt(1), 218);
}

// ---------------------------------------------------------------------------------------
// Pictures for review: a contact sheet of every picture, written when
// TESSARAY_PC_SHOTS names a folder.

QString ShotsDir() {
    const char* dir = std::getenv("TESSARAY_PC_SHOTS");
    return dir && *dir ? QString::fromLocal8Bit(dir) : QString();
}

QImage ContactSheet(double scale) {
    struct Cell {
        int id;
        PictureKind kind;
    };
    std::vector<Cell> wide, small;
    for (PictureKind kind : {PictureKind::Bitmap, PictureKind::Icon})
        for (int id : Pictures::Ids(kind)) {
            const QSize n = Pictures::NaturalSize(id, kind);
            (n.width() > 100 ? wide : small).push_back({id, kind});
        }
    const int margin = 12;
    const int labelH = 14;
    const int cols = 3;
    const int colW = static_cast<int>(std::ceil(370 * scale)) + margin;
    const int smallW = static_cast<int>(std::ceil(48 * scale)) + 24;
    const int smallCols = (cols * colW) / smallW;
    // Lay out: wide pictures in columns, small ones on a finer grid below.
    int y = margin;
    struct Placed {
        Cell cell;
        QPoint at;
    };
    std::vector<Placed> placed;
    int rowH = 0;
    for (size_t i = 0; i < wide.size(); ++i) {
        const int col = static_cast<int>(i % cols);
        if (col == 0 && i > 0) {
            y += rowH + labelH + margin;
            rowH = 0;
        }
        const QSize n = Pictures::NaturalSize(wide[i].id, wide[i].kind);
        rowH = std::max(rowH, static_cast<int>(std::lround(n.height() * scale)));
        placed.push_back({wide[i], QPoint(margin + col * colW, y)});
    }
    y += rowH + labelH + margin * 2;
    rowH = 0;
    for (size_t i = 0; i < small.size(); ++i) {
        const int col = static_cast<int>(i % smallCols);
        if (col == 0 && i > 0) {
            y += rowH + labelH + margin;
            rowH = 0;
        }
        const QSize n = Pictures::NaturalSize(small[i].id, small[i].kind);
        rowH = std::max(rowH, static_cast<int>(std::lround(n.height() * scale)));
        placed.push_back({small[i], QPoint(margin + col * smallW, y)});
    }
    y += rowH + labelH + margin;

    QImage sheet(cols * colW + margin, y, QImage::Format_ARGB32);
    sheet.fill(QColor(236, 238, 241));
    QPainter p(&sheet);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont label(PictureFamily());
    label.setPixelSize(10);
    p.setFont(label);
    for (const auto& pl : placed) {
        const QImage img = Pictures::Render(pl.cell.id, pl.cell.kind, scale);
        p.fillRect(QRect(pl.at, img.size()), QColor(255, 255, 255));
        p.drawImage(pl.at, img);
        p.setPen(QColor(60, 64, 70));
        const QString text = QStringLiteral("%1%2").arg(
            pl.cell.kind == PictureKind::Icon ? QStringLiteral("icon ") : QString(),
            QString::number(pl.cell.id));
        p.drawText(QPoint(pl.at.x(), pl.at.y() + img.height() + 11), text);
    }
    return sheet;
}

TEST(Pictures, ContactSheetForReview) {
    const QString dir = ShotsDir();
    if (dir.isEmpty()) GTEST_SKIP() << "TESSARAY_PC_SHOTS not set";
    QDir().mkpath(dir);
    EXPECT_TRUE(ContactSheet(1.0).save(dir + QStringLiteral("/contact-sheet.png")));
    EXPECT_TRUE(ContactSheet(1.5).save(dir + QStringLiteral("/contact-sheet-1.5.png")));
}

}  // namespace
