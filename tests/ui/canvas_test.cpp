#include "ui/canvas.h"

#include <gtest/gtest.h>

#include <limits>
#include <set>

#include "support/qt/qt_env.h"
#include "ui/automation.h"
#include "ui/dialog.h"

namespace {

using namespace ui;

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kInk{30, 28, 119};
constexpr Rgb kOrange{234, 175, 15};

// The set of pixels that are not the fill colour.
std::set<std::pair<int, int>> Inked(const Canvas& c) {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            if (!(c.GetPixel(x, y) == kWhite)) out.insert({x, y});
    return out;
}

TEST(Canvas, LineToOmitsTheEndPixel) {
    struct Case {
        const char* what;
        Point from, to;
        std::set<std::pair<int, int>> pixels;
    };
    const std::vector<Case> cases{
        {"horizontal", {2, 5}, {6, 5}, {{2, 5}, {3, 5}, {4, 5}, {5, 5}}},
        {"leftward", {6, 5}, {2, 5}, {{6, 5}, {5, 5}, {4, 5}, {3, 5}}},
        {"vertical", {3, 1}, {3, 4}, {{3, 1}, {3, 2}, {3, 3}}},
        {"diagonal", {0, 0}, {4, 4}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {"single point", {5, 5}, {5, 5}, {}},
    };
    for (const auto& c : cases) {
        Canvas canvas(10, 10);
        canvas.SetSmooth(false);
        canvas.SetPen(kInk);
        canvas.MoveTo(c.from.x, c.from.y);
        canvas.LineTo(c.to.x, c.to.y);
        EXPECT_EQ(Inked(canvas), c.pixels) << c.what;
        EXPECT_EQ(canvas.GetCurrentPosition(), c.to) << c.what;
        for (const auto& [x, y] : c.pixels) EXPECT_EQ(canvas.GetPixel(x, y), kInk) << c.what;
    }
    // A polyline closes without gaps or double pixels at the corners.
    Canvas box(10, 10);
    box.SetPen(kInk);
    box.MoveTo(1, 1);
    box.LineTo(4, 1);
    box.LineTo(4, 4);
    box.LineTo(1, 4);
    box.LineTo(1, 1);
    EXPECT_EQ(Inked(box).size(), 12u);
}

TEST(Canvas, RectanglesExcludeTheirRightAndBottomEdges) {
    Canvas c(10, 10);
    c.FillRect(Rect{2, 3, 5, 6}, kOrange);
    std::set<std::pair<int, int>> want;
    for (int y = 3; y < 6; ++y)
        for (int x = 2; x < 5; ++x) want.insert({x, y});
    EXPECT_EQ(Inked(c), want);

    // Outline with the pen on the outer ring, brush inside, both within left..right-1.
    Canvas r(10, 10);
    r.SetPen(kInk);
    r.SetBrush(kOrange);
    r.Rectangle(1, 1, 5, 4);
    EXPECT_EQ(r.GetPixel(1, 1), kInk);
    EXPECT_EQ(r.GetPixel(4, 3), kInk);
    EXPECT_EQ(r.GetPixel(2, 2), kOrange);
    EXPECT_EQ(r.GetPixel(3, 2), kOrange);
    EXPECT_EQ(r.GetPixel(5, 1), kWhite);
    EXPECT_EQ(r.GetPixel(1, 4), kWhite);

    // Without a pen the filled area ends one pixel earlier on the right and the bottom.
    Canvas n(10, 10);
    n.SetNullPen();
    n.SetBrush(kOrange);
    n.Rectangle(0, 0, 4, 3);
    EXPECT_EQ(Inked(n).size(), 6u);
    EXPECT_EQ(n.GetPixel(2, 1), kOrange);
    EXPECT_EQ(n.GetPixel(3, 0), kWhite);

    // Hollow brush: outline only.
    Canvas h(10, 10);
    h.SetPen(kInk);
    h.SetHollowBrush();
    h.Rectangle(0, 0, 4, 4);
    EXPECT_EQ(h.GetPixel(1, 1), kWhite);
    EXPECT_EQ(Inked(h).size(), 12u);

    // Out-of-image parts are clipped, not written elsewhere.
    Canvas clip(4, 4);
    clip.FillRect(Rect{-5, -5, 2, 2}, kInk);
    EXPECT_EQ(Inked(clip).size(), 4u);
    clip.SetPixel(99, -1, kInk);
    EXPECT_EQ(Inked(clip).size(), 4u);
}

TEST(Canvas, ValuesAreClampedIntoThePixelRangeBeforeConversion) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        double value;
        int low, high, expected;
    };
    const Case cases[] = {
        {12.9, 0, 100, 12},   {-0.5, 0, 100, 0},   {-3.0, -10, 10, -3},
        {1e300, 0, 100, 100}, {-1e300, 5, 100, 5}, {inf, 0, 99, 99},
        {-inf, 0, 99, 0},     {nan, 7, 99, 7},     {3e9, 0, 2147483647, 2147483647},
        {50.0, 10, 10, 10},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClampToPixel(c.value, c.low, c.high), c.expected) << c.value;
}

TEST(Canvas, ColoursConvertFromPackedValues) {
    EXPECT_EQ(Rgb::FromColorRef(0x00771C1E), (Rgb{30, 28, 119}));
    EXPECT_EQ(Rgb::FromColorRef(0x000FAFEA), (Rgb{234, 175, 15}));
    Canvas c(2, 2);
    c.SetPixel(0, 0, Rgb::FromColorRef(0x00FF0000));
    EXPECT_EQ(c.GetPixel(0, 0), (Rgb{0, 0, 255}));
}

TEST(Canvas, TextCellStartsAtTheGivenTopLeft) {
    Canvas c(80, 30);
    c.SetBkMode(BkMode::Opaque);
    c.SetBkColor(kOrange);
    c.SetTextColor(kInk);
    c.TextOut(10, 5, "N");
    const Point extent = c.GetTextExtent("N");
    ASSERT_GT(extent.x, 0);
    EXPECT_EQ(c.GetPixel(10, 5), kOrange);
    EXPECT_EQ(c.GetPixel(10 + extent.x - 1, 5 + extent.y - 1), kOrange);
    EXPECT_EQ(c.GetPixel(9, 5), kWhite);
    EXPECT_EQ(c.GetPixel(10, 4), kWhite);
    EXPECT_EQ(c.GetPixel(10 + extent.x, 5), kWhite);
    EXPECT_EQ(c.GetPixel(10, 5 + extent.y), kWhite);

    Canvas t(80, 30);
    t.SetBkMode(BkMode::Transparent);
    t.SetTextColor(kInk);
    t.TextOut(10, 5, "N");
    EXPECT_EQ(t.GetPixel(10, 5), kWhite);
    EXPECT_FALSE(Inked(t).empty());
}

TEST(Canvas, CopyToWindowShowsTheCopiedPartOnly) {
    class Plain : public Dialog {
    public:
        Plain() : Dialog(DialogTemplate{}) {}
    } page;
    StepRunner steps;
    steps.Add([&] {
        Canvas work(60, 60, Rgb{120, 120, 120});
        work.FillRect(Rect{10, 10, 20, 20}, kOrange);
        page.CopyToWindow(work, Rect{5, 5, 25, 25});
        auto* layer = page.Widget()->findChild<CanvasView*>(QStringLiteral("canvas"));
        ASSERT_NE(layer, nullptr);
        const QImage& shown = layer->image();
        EXPECT_EQ(QColor(shown.pixel(12, 12)), QColor(234, 175, 15));
        EXPECT_EQ(QColor(shown.pixel(6, 6)), QColor(120, 120, 120));
        EXPECT_EQ(qAlpha(shown.pixel(4, 4)), 0);
        EXPECT_EQ(qAlpha(shown.pixel(25, 25)), 0);
        page.EndDialog(IDOK);
    });
    steps.Start();
    page.DoModal();
}

}  // namespace
