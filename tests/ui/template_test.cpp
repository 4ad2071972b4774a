#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>

#include "support/qt/qt_env.h"
#include "ui/automation.h"
#include "ui/controls.h"
#include "ui/dialog.h"
#include "ui/fonts.h"
#include "ui/pictures.h"

namespace {

using namespace ui;

std::vector<ControlSpec> Specs() {
    return {
        {.id = 1008, .kind = Kind::Static, .rect = {10.5, 20.3, 30.1, 12.9}, .text = "Date:"},
        {.id = 1035,
         .kind = Kind::ComboDropDown,
         .rect = {100, 20, 60, 90},
         .seed = {"Local", "UTC"}},
        {.id = 1036, .kind = Kind::ComboDropList, .rect = {100, 40, 60, 90}, .seed = {"DM.M"}},
        {.id = 1166, .kind = Kind::Button, .rect = {50, 300, 50, 16}, .text = "Search"},
        {.id = 1133,
         .kind = Kind::Picture,
         .rect = {200, 300, 28, 22},
         .flags = Flag::Notify,
         .picture = IDB_PAUSE_OFF},
        {.id = 1134,
         .kind = Kind::Picture,
         .rect = {200, 300, 28, 22},
         .flags = Flag::Notify | Flag::Hidden,
         .picture = IDB_PAUSE_ON},
        {.id = 1032,
         .kind = Kind::Radio,
         .rect = {50, 330, 60, 12},
         .text = "TEC:",
         .flags = Flag::Group},
        {.id = 1033, .kind = Kind::Radio, .rect = {50, 345, 60, 12}, .text = "IONO"},
        {.id = 1005,
         .kind = Kind::GroupBox,
         .rect = {45, 90, 280, 200},
         .text = "Serial Port Settings"},
        {.id = 1040,
         .kind = Kind::Radio,
         .rect = {150, 330, 60, 12},
         .text = "A",
         .flags = Flag::Group},
        {.id = 1041, .kind = Kind::Radio, .rect = {150, 345, 60, 12}, .text = "B"},
        {.id = 1002,
         .kind = Kind::ComboDropList,
         .rect = {100, 60, 60, 90},
         .flags = Flag::Hidden | Flag::Disabled},
        {.id = 1000, .kind = Kind::Picture, .rect = {0, 0, 370, 510}, .picture = 130},
    };
}

TEST(Templates, ObjectNamesAndScaledRectanglesTruncate) {
    struct Case {
        double scale;
        QRect date;    // 10.5, 20.3 .. 40.6, 33.2
        QRect button;  // 50, 300 .. 100, 316
    };
    for (const Case c : {Case{1.0, QRect(10, 20, 30, 13), QRect(50, 300, 50, 16)},
                         Case{1.25, QRect(13, 25, 37, 16), QRect(62, 375, 63, 20)}}) {
        QWidget page;
        const auto built = BuildControls(Specs(), &page, c.scale, c.scale, {});
        ASSERT_EQ(built.size(), Specs().size());
        for (size_t i = 0; i < built.size(); ++i)
            EXPECT_EQ(built[i]->objectName(), QStringLiteral("id%1").arg(Specs()[i].id));
        auto* date = page.findChild<QLabel*>(QStringLiteral("id1008"));
        ASSERT_NE(date, nullptr);
        EXPECT_EQ(date->geometry(), c.date) << c.scale;
        EXPECT_EQ(page.findChild<QWidget*>(QStringLiteral("id1166"))->geometry(), c.button)
            << c.scale;
        const Rect hot = ScaleEdges(189, 421, 213, 438, c.scale, c.scale);
        EXPECT_EQ(hot, c.scale == 1.0 ? (Rect{189, 421, 213, 438}) : (Rect{236, 526, 266, 547}));
    }
}

TEST(Templates, ControlsBehaveAsTheScreensNeed) {
    QWidget page;
    page.resize(370, 510);
    BuildControls(Specs(), &page, 1.0, 1.0, {});
    auto find = [&](int id) { return page.findChild<QWidget*>(QStringLiteral("id%1").arg(id)); };

    auto* drop = qobject_cast<QComboBox*>(find(1035));
    ASSERT_NE(drop, nullptr);
    EXPECT_TRUE(drop->isEditable());
    EXPECT_EQ(drop->insertPolicy(), QComboBox::NoInsert);
    EXPECT_EQ(drop->completer(), nullptr);
    EXPECT_EQ(drop->count(), 2);
    // A combo's template height is its dropped height; the closed control is text high.
    EXPECT_LT(drop->height(), 45);
    EXPECT_FALSE(qobject_cast<QComboBox*>(find(1036))->isEditable());

    auto* button = qobject_cast<QPushButton*>(find(1166));
    EXPECT_FALSE(button->autoDefault());
    EXPECT_FALSE(button->isDefault());

    // Statics, pictures without Notify and group boxes let clicks through to the page.
    EXPECT_TRUE(find(1008)->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(find(1005)->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_TRUE(find(1000)->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_FALSE(find(1133)->testAttribute(Qt::WA_TransparentForMouseEvents));

    EXPECT_TRUE(find(1134)->isHidden());
    EXPECT_TRUE(find(1002)->isHidden());
    EXPECT_FALSE(find(1002)->isEnabled());
    EXPECT_EQ(static_cast<Picture*>(find(1133))->pictureId(), IDB_PAUSE_OFF);

    // Stacking: the background lies at the bottom; the first control of the template on top.
    const auto children = page.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_FALSE(children.isEmpty());
    EXPECT_EQ(children.front()->objectName(), QStringLiteral("id1000"));
    EXPECT_EQ(children.back(), find(1008));

    // Two radio groups: checking in one leaves the other alone.
    auto radio = [&](int id) { return qobject_cast<QAbstractButton*>(find(id)); };
    radio(1033)->click();
    radio(1040)->click();
    radio(1032)->click();
    EXPECT_TRUE(radio(1032)->isChecked());
    EXPECT_FALSE(radio(1033)->isChecked());
    EXPECT_TRUE(radio(1040)->isChecked());
}

TEST(Templates, HostSizeFollowsTheDialogFont) {
    for (int points : {8, 10, 12}) {
        const QFont font = MakeFont("Tahoma", points);
        const QFontMetrics fm(font);
        const int letters = fm.horizontalAdvance(
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
        const int baseX = (letters / 26 + 1) / 2;
        const QSize size = Host::ClientSizeFor(font);
        EXPECT_EQ(size.width(), (246 * baseX + 2) / 4) << points;
        EXPECT_EQ(size.height(), (313 * fm.height() + 4) / 8) << points;
    }
    EXPECT_LT(Host::ClientSizeFor(MakeFont("Tahoma", 8)).width(),
              Host::ClientSizeFor(MakeFont("Tahoma", 12)).width());

    Host& host = Host::Instance();
    EXPECT_FLOAT_EQ(host.fScaleX(), static_cast<float>(host.ClientSize().width() / 370.0));
    EXPECT_FLOAT_EQ(host.fScaleY(), static_cast<float>(host.ClientSize().height() / 510.0));
    EXPECT_EQ(host.size(), host.ClientSize());
}

}  // namespace
