#include <gtest/gtest.h>

#include <QAbstractButton>

#include "support/qt/qt_env.h"
#include "ui/controls.h"
#include "ui/dialog.h"
#include "ui/pictures.h"

namespace {

using namespace ui;

std::vector<ControlSpec> Specs() {
    // clang-format off
    return {
        {1008, Kind::Static, {10.5, 20.3, 30.1, 12.9}, "Date:"},
        {1035, Kind::ComboDropDown, {100, 20, 60, 90}, "", 0, 0, {"Local", "UTC"}},
        {1166, Kind::Button, {50, 300, 50, 16}, "Search"},
        {1133, Kind::Picture, {200, 300, 28, 22}, "", Flag::Notify, IDB_PAUSE_OFF},
        {1032, Kind::Radio, {50, 330, 60, 12}, "TEC:", Flag::Group},
        {1033, Kind::Radio, {50, 345, 60, 12}, "IONO"},
        {1005, Kind::GroupBox, {45, 90, 280, 200}, "Serial Port Settings"},
        {1040, Kind::Radio, {150, 330, 60, 12}, "A", Flag::Group},
        {1041, Kind::Radio, {150, 345, 60, 12}, "B"},
        {1000, Kind::Picture, {0, 0, 370, 510}, "", 0, 130}};
    // clang-format on
}

TEST(Templates, ScaledRectanglesTruncateAndControlsBehaveAsTheScreensNeed) {
    const struct {
        double scale;
        QRect date, button;  // 10.5, 20.3 .. 40.6, 33.2 and 50, 300 .. 100, 316
        Rect hot;
    } cases[] = {{1.0, QRect(10, 20, 30, 13), QRect(50, 300, 50, 16), {189, 421, 213, 438}},
                 {1.25, QRect(13, 25, 37, 16), QRect(62, 375, 63, 20), {236, 526, 266, 547}}};
    for (const auto& c : cases) {
        QWidget page;
        const auto built = BuildControls(Specs(), &page, c.scale, c.scale, {});
        ASSERT_EQ(built.size(), Specs().size());
        for (size_t i = 0; i < built.size(); ++i)
            EXPECT_EQ(built[i]->objectName(), QStringLiteral("id%1").arg(Specs()[i].id));
        auto find = [&](int id) {
            return page.findChild<QWidget*>(QStringLiteral("id%1").arg(id));
        };
        EXPECT_EQ(find(1008)->geometry(), c.date) << c.scale;
        EXPECT_EQ(find(1166)->geometry(), c.button) << c.scale;
        EXPECT_EQ(ScaleEdges(189, 421, 213, 438, c.scale, c.scale), c.hot) << c.scale;
        if (c.scale != 1.0) continue;
        // A combo's template height is its dropped height; the closed control is text high.
        EXPECT_LT(find(1035)->height(), 45);
        // Statics, pictures without Notify and group boxes let clicks through to the page.
        for (int id : {1008, 1005, 1000})
            EXPECT_TRUE(find(id)->testAttribute(Qt::WA_TransparentForMouseEvents)) << id;
        EXPECT_FALSE(find(1133)->testAttribute(Qt::WA_TransparentForMouseEvents));
        // Stacking: the background at the bottom, the template's first control on top.
        const auto children = page.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        EXPECT_EQ(children.front(), find(1000));
        EXPECT_EQ(children.back(), find(1008));
        // Two radio groups: checking in one leaves the other alone.
        auto radio = [&](int id) { return qobject_cast<QAbstractButton*>(find(id)); };
        for (int id : {1033, 1040, 1032}) radio(id)->click();
        EXPECT_TRUE(radio(1032)->isChecked() && !radio(1033)->isChecked() &&
                    radio(1040)->isChecked());
    }
}

}  // namespace
