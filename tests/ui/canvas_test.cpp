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

// The pixels that are not the fill colour.
std::set<std::pair<int, int>> Inked(const Canvas& c) {
    std::set<std::pair<int, int>> out;
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            if (!(c.GetPixel(x, y) == kWhite)) out.insert({x, y});
    return out;
}

TEST(Canvas, LinesAndRectanglesLeaveOutTheirEndEdges) {
    const struct {
        const char* what;
        Point from, to;
        std::set<std::pair<int, int>> pixels;
    } lines[] = {
        {"horizontal", {2, 5}, {6, 5}, {{2, 5}, {3, 5}, {4, 5}, {5, 5}}},
        {"diagonal", {0, 0}, {4, 4}, {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
        {"single point", {5, 5}, {5, 5}, {}},
    };
    for (const auto& c : lines) {
        Canvas canvas(10, 10);
        canvas.SetSmooth(false);
        canvas.SetPen(kInk);
        canvas.MoveTo(c.from.x, c.from.y);
        canvas.LineTo(c.to.x, c.to.y);
        EXPECT_EQ(Inked(canvas), c.pixels) << c.what;
        EXPECT_EQ(canvas.GetCurrentPosition(), c.to) << c.what;
        for (const auto& [x, y] : c.pixels) EXPECT_EQ(canvas.GetPixel(x, y), kInk) << c.what;
    }
    // A closed polyline: no gaps or double pixels at the corners.
    Canvas box(10, 10);
    box.SetPen(kInk);
    box.MoveTo(1, 1);
    for (Point p : {Point{4, 1}, Point{4, 4}, Point{1, 4}, Point{1, 1}}) box.LineTo(p.x, p.y);
    EXPECT_EQ(Inked(box).size(), 12u);
    Canvas fill(10, 10);
    fill.FillRect(Rect{2, 3, 5, 6}, kOrange);
    EXPECT_TRUE(Inked(fill).size() == 9u && fill.GetPixel(4, 5) == kOrange);
    // Pen on the outer ring, brush inside, both within left..right-1 and top..bottom-1.
    Canvas r(10, 10);
    r.SetPen(kInk);
    r.SetBrush(kOrange);
    r.Rectangle(1, 1, 5, 4);
    const std::pair<Point, Rgb> probes[] = {
        {{1, 1}, kInk}, {{4, 3}, kInk}, {{2, 2}, kOrange}, {{5, 1}, kWhite}, {{1, 4}, kWhite}};
    for (const auto& [p, colour] : probes) EXPECT_EQ(r.GetPixel(p.x, p.y), colour) << p.x << p.y;
    // Without a pen the filled area ends one pixel earlier on the right and the bottom.
    Canvas n(10, 10);
    n.SetNullPen();
    n.SetBrush(kOrange);
    n.Rectangle(0, 0, 4, 3);
    EXPECT_TRUE(Inked(n).size() == 6u && n.GetPixel(3, 0) == kWhite);
    // Out-of-image parts are clipped, not written elsewhere.
    Canvas clip(4, 4);
    clip.FillRect(Rect{-5, -5, 2, 2}, kInk);
    clip.SetPixel(99, -1, kInk);
    EXPECT_EQ(Inked(clip).size(), 4u);
}

// A fill against the pixels of its rule: left..right-1 by top..bottom-1 within the canvas; an
// empty or inverted rectangle fills nothing.
TEST(Canvas, FillRectCoversExactlyItsPixels) {
    const struct {
        const char* what;
        Rect r;
    } cases[] = {
        {"inside", {2, 3, 7, 5}},
        {"the whole canvas", {0, 0, 12, 9}},
        {"beyond every edge", {-4, -3, 20, 15}},
        {"last pixel", {11, 8, 12, 9}},
        {"empty", {4, 4, 4, 7}},
        {"inverted", {8, 6, 3, 2}},
        {"right of the canvas", {12, 0, 15, 9}},
    };
    for (const auto& c : cases) {
        Canvas filled(12, 9), expected(12, 9);
        filled.FillRect(c.r, kOrange);
        for (int y = c.r.top; y < c.r.bottom; ++y)
            for (int x = c.r.left; x < c.r.right; ++x) expected.SetPixel(x, y, kOrange);
        EXPECT_EQ(filled.Image(), expected.Image()) << c.what;
    }
}

TEST(Canvas, ValuesClampedBeforeConversionAndColourOrder) {
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double value;
        int low, high, expected;
    } cases[] = {{12.9, 0, 100, 12},
                 {-1e300, 5, 100, 5},
                 {inf, 0, 99, 99},
                 {nan, 7, 99, 7},
                 {3e9, 0, 2147483647, 2147483647}};
    for (const auto& c : cases)
        EXPECT_EQ(ClampToPixel(c.value, c.low, c.high), c.expected) << c.value;
    EXPECT_TRUE(Rgb::FromColorRef(0x00771C1E) == kInk && Rgb::FromColorRef(0x000FAFEA) == kOrange);
}

TEST(Canvas, TextCellStartsAtTheGivenTopLeft) {
    Canvas c(80, 30);
    c.SetBkMode(BkMode::Opaque);
    c.SetBkColor(kOrange);
    c.SetTextColor(kInk);
    c.TextOut(10, 5, "N");
    const Point e = c.GetTextExtent("N");
    ASSERT_GT(e.x, 0);
    EXPECT_TRUE(c.GetPixel(10, 5) == kOrange && c.GetPixel(10 + e.x - 1, 5 + e.y - 1) == kOrange);
    for (Point p : {Point{9, 5}, Point{10, 4}, Point{10 + e.x, 5}, Point{10, 5 + e.y}})
        EXPECT_EQ(c.GetPixel(p.x, p.y), kWhite) << p.x << "," << p.y;
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
        EXPECT_EQ(qAlpha(shown.pixel(24, 24)), 255);
        EXPECT_EQ(qAlpha(shown.pixel(25, 25)), 0);
        page.EndDialog(IDOK);
    });
    steps.Start();
    page.DoModal();
}

}  // namespace
