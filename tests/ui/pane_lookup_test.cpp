// Showing and hiding a control with a pane (a tab strip) on every refresh does not search the
// page for the pane each time.

#include <gtest/gtest.h>

#include <QWidget>

#include "support/qt/qt_env.h"
#include "ui/automation.h"
#include "ui/dialog.h"

namespace {

using namespace ui;

// A control of the page that counts how often anything asks for its class, which a search of
// the page's children by type does for every child it passes.
class CountedChild : public QWidget {
public:
    using QWidget::QWidget;
    const QMetaObject* metaObject() const override {
        ++asked;
        return QWidget::metaObject();
    }
    mutable int asked = 0;
};

TEST(PaneLookup, ShowItemFindsThePaneWithoutSearchingThePage) {
    DialogTemplate t;
    t.id = 214;
    t.controls = {{1005, Kind::Tab, {44, 80, 282, 300}},
                  {1007, Kind::Static, {60, 200, 80, 14}, "Lat:"}};
    Dialog page(t);
    StepRunner steps;
    steps.Add([&] {
        QWidget* pane = page.Widget()->findChild<QWidget*>("id1005pane");
        ASSERT_NE(pane, nullptr);
        auto* child = new CountedChild(page.Widget());
        child->setObjectName("id9999");
        constexpr int kRefreshes = 200;
        for (int i = 0; i < kRefreshes; ++i) {
            page.ShowItem(1005, i % 2 == 1);
            page.ShowItem(1007, i % 2 == 1);
        }
        EXPECT_TRUE(page.IsItemVisible(1005) && pane->isVisibleTo(page.Widget()));
        page.ShowItem(1005, false);
        EXPECT_FALSE(page.IsItemVisible(1005) || pane->isVisibleTo(page.Widget()));
        EXPECT_LT(child->asked, kRefreshes / 10);
        page.EndDialog(IDOK);
    });
    steps.Start();
    page.DoModal();
    ProcessPending();
    EXPECT_TRUE(steps.Done());
}

}  // namespace
