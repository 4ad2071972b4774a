#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <QWidget>
#include <memory>

#include "platform/trace.h"
#include "shell/BmpStatic.h"
#include "shell/IconComboBox.h"
#include "support/qt/qt_env.h"

namespace {

TEST(BmpStatic, UnknownOrMinusOneLeavesThePicture) {
    QWidget page;
    auto* picture = new ui::Picture(238, false, &page);
    CBmpStatic bmp(picture);
    bmp.SetNavBarSize(QSize(282, 28));
    EXPECT_EQ(bmp.SetBitmapId(-1), 0);
    EXPECT_EQ(bmp.GetBitmapId(), 238);
    EXPECT_EQ(bmp.SetBitmapId(99999), 0);
    EXPECT_EQ(bmp.GetBitmapId(), 238);
    EXPECT_EQ(bmp.SetBitmapId(237), 1);
    EXPECT_EQ(bmp.GetBitmapId(), 237);
    EXPECT_EQ(picture->size(), QSize(282, 28));
    // An icon id is no bitmap.
    EXPECT_EQ(bmp.SetBitmapId(131), 0);
    EXPECT_EQ(bmp.GetBitmapId(), 237);
    CBmpStatic unattached;
    EXPECT_EQ(unattached.SetBitmapId(237), 0);
}

TEST(IconComboBox, IconsByIdAndFromFiles) {
    QWidget page;
    auto* combo = new ui::IconCombo(&page);
    CIconComboBox icons(combo);
    // Selecting in an empty list selects nothing.
    icons.SelectIcon("Sample");
    EXPECT_EQ(icons.GetCurSel(), -1);

    EXPECT_EQ(icons.AddIcon(219u), 0);
    EXPECT_EQ(icons.AddIcon(218u), 1);
    EXPECT_EQ(icons.AddIcon(217u), 2);
    EXPECT_EQ(icons.AddIcon(99999u), -1);
    EXPECT_EQ(icons.AddIcon(0xFFFFFFFFu), -1);
    EXPECT_EQ(icons.GetCount(), 3);
    EXPECT_EQ(icons.GetText(1), "Sample");

    icons.SelectIcon(2);
    icons.SelectIcon("no such icon");
    EXPECT_EQ(icons.GetCurSel(), 0);

    QTemporaryDir dir;
    const std::string png = dir.path().toStdString() + "/marker.png";
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(QString::fromStdString(png)));
    EXPECT_EQ(icons.AddIcon(png), 3);
    EXPECT_EQ(icons.GetText(3), png);
    EXPECT_EQ(icons.AddIcon(dir.path().toStdString() + "/missing.png"), -1);
    EXPECT_EQ(icons.InsertIcon(1, png), 1);
    EXPECT_EQ(icons.GetCount(), 5);
    icons.SelectIcon(png);
    EXPECT_EQ(icons.GetCurSel(), 1);
    icons.DeleteIcon(png);
    EXPECT_EQ(icons.GetCount(), 4);
    EXPECT_EQ(icons.GetText(1), "Sample");
    icons.DeleteIcon(7);
    icons.DeleteIcon("absent");
    EXPECT_EQ(icons.GetCount(), 4);
}

TEST(IconComboBox, TextItemsAreRefused) {
    QWidget page;
    auto* combo = new ui::IconCombo(&page);
    CIconComboBox icons(combo);
    platform::ClearTrace();
    EXPECT_EQ(icons.AddString("text"), -1);
    EXPECT_EQ(icons.InsertString(0, "text"), -1);
    EXPECT_EQ(icons.Dir("*.ico"), -1);
    EXPECT_EQ(icons.GetCount(), 0);
    EXPECT_TRUE(platform::TraceContains("IconComboBox.cpp:112"));
    EXPECT_TRUE(platform::TraceContains("IconComboBox.cpp:118"));
    EXPECT_TRUE(platform::TraceContains("IconComboBox.cpp:124"));
}

}  // namespace
