// The drawn pictures at the edges of their looks: a plot title at 144 dpi is one crisp draw, a
// title in a taller face keeps its descenders, and a value too long for its box stays in it.

#include <QImage>
#include <string>

#include "screens/position/HEADING_1.h"
#include "screens/position/HEADING_3.h"
#include "screens/screen_walk.h"
#include "stream.h"
#include "support/driver_client.h"
#include "support/receiver_simulator.h"
#include "support/temp_dir.h"
#include "ui/fonts.h"

namespace {

using testsupport::DriverProcess;
using testsupport::ReceiverSimulator;

class LooksEdgeTest : public shelltest::WalkTest {};

bool Ink(ui::Rgb p) {
    return p.r + p.g + p.b < 600;
}

// Rows and columns of a canvas area that hold ink.
std::pair<int, int> InkRowsAndColumns(const ui::Canvas& c, const ui::Rect& area) {
    int rows = 0, columns = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        bool any = false;
        for (int x = area.left; x < area.right && !any; ++x) any = Ink(c.GetPixel(x, y));
        rows += any;
    }
    for (int x = area.left; x < area.right; ++x) {
        bool any = false;
        for (int y = area.top; y < area.bottom && !any; ++y) any = Ink(c.GetPixel(x, y));
        columns += any;
    }
    return {rows, columns};
}

// A picture magnified by a fractional ratio repeats every other row and column of its text:
// the adjacent pairs of ink rows and of ink columns of `area` that are the same.
std::pair<int, int> RepeatedRowsAndColumns(const QImage& image, const QRect& area) {
    // Row y (across) or column x (down) as text; empty without ink.
    const auto line = [&](int k, bool across) {
        std::string out;
        bool ink = false;
        const int from = across ? area.left() : area.top();
        const int to = across ? area.right() : area.bottom();
        for (int i = from; i <= to; ++i) {
            const QRgb p = across ? image.pixel(i, k) : image.pixel(k, i);
            out += std::to_string(p) + ",";
            ink = ink || qRed(p) + qGreen(p) + qBlue(p) < 600;
        }
        return ink ? out : std::string();
    };
    int rows = 0, columns = 0;
    for (int y = area.top(); y < area.bottom(); ++y) {
        const std::string r = line(y, true);
        rows += !r.empty() && r == line(y + 1, true);
    }
    for (int x = area.left(); x < area.right(); ++x) {
        const std::string c = line(x, false);
        columns += !c.empty() && c == line(x + 1, false);
    }
    return {rows, columns};
}

// The SBAS plot's title ("PRN… Bit Error Rate") at 144 dpi, in the whole program's window.
TEST(LooksEdge, PlotTitleAt144DpiIsOneCrispDraw) {
    ReceiverSimulator sim;
    ASSERT_TRUE(sim.ok()) << sim.error();
    benchsupport::AnswerQueries(sim, false);
    sim.Stream(benchsupport::ReceiverItems(), 10, true);
    testsupport::TempDir files;
    testsupport::DriverOptions options;
    options.com1 = sim.SlavePath();
    options.env = {{"QT_FONT_DPI", "144"}, {"QT_QPA_PLATFORM", "offscreen"}};
    DriverProcess p(options);
    ASSERT_TRUE(p.Connect());
    ASSERT_EQ(p.AskUntil("top", "ok CTessaray_PCDlg"), "ok CTessaray_PCDlg");
    ASSERT_EQ(p.Ask("timer 1"), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CSTARTUP3"), "ok CSTARTUP3");
    ASSERT_EQ(p.Ask("click 1166"), "ok");
    ASSERT_EQ(p.AskUntil("select 1002 0", "ok"), "ok");
    ASSERT_EQ(p.Ask("click 1001"), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CGPS_1"), "ok CGPS_1");
    ASSERT_EQ(p.Ask("nav 2"), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CSBAS_1"), "ok CSBAS_1");
    ASSERT_EQ(p.Ask("select 1008 1"), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CSBAS_3"), "ok CSBAS_3");
    ASSERT_EQ(p.AskUntil("get 1154", "ok Now"), "ok Now");  // drawn at least once
    const std::string shot = files / "sbas3.png";
    ASSERT_EQ(p.Ask("screenshot " + shot), "ok");
    p.Ask("quit");

    const QImage image(QString::fromStdString(shot));
    ASSERT_FALSE(image.isNull());
    ASSERT_GT(image.width(), 500);  // the window grew with the font
    const double s = image.width() / 370.0;
    // The title band, design (55, 142) to (216, 157).
    const QRect band(int(55 * s), int(142 * s), int(161 * s), int(15 * s));
    const auto [rows, columns] = RepeatedRowsAndColumns(image, band);
    EXPECT_LE(rows, 1);
    EXPECT_LE(columns, 12);
}

// A face taller than the heading plot's title band: "Heading" is shown whole, its "g" too.
TEST_F(LooksEdgeTest, HeadingPlotTitleKeepsItsDescender) {
    Start(1.0);
    OnScreen(SCR_HEADING_3, [&] {
        CHEADING_3* plot = As<CHEADING_3>(SCR_HEADING_3);
        QFont tall = plot->Widget()->font();
        tall.setPixelSize(16);
        plot->Widget()->setFont(tall);
        Tick();
        strip::StripChart& chart = plot->Chart();
        const ui::Rect band = chart.PlotRect();
        const ui::Rect title{chart.PxX(48.73), chart.PxY(190), band.right, band.top};

        ui::Canvas single(200, 60);
        tall.setFamily(ui::SubstituteFamily("Tahoma"));
        single.SetFont(tall);
        single.SetBkMode(ui::BkMode::Transparent);
        single.SetTextColor(strip::kCurve);
        single.TextOut(0, 0, "Heading");
        EXPECT_EQ(InkRowsAndColumns(chart.Canvas(), title),
                  InkRowsAndColumns(single, ui::Rect{0, 0, 200, 60}));
    });
}

// A receiver's value far beyond its dial's range changes nothing outside that dial.
TEST_F(LooksEdgeTest, HeadingValueTooLongForItsBoxStaysInItsDial) {
    Start(1.0);
    OnScreen(SCR_HEADING_1, [&] {
        CHEADING_1* s = As<CHEADING_1>(SCR_HEADING_1);
        NavInfo& n = g_GPS.Info.Nav;
        const auto normal = [&] {
            n.fHeading = 90.0f, n.fCourse = 90.0f, n.fROT = 250.0f, n.fSpeedKmh = 50.0f;
        };
        const struct {
            const char* what;
            float NavInfo::*field;
            float value;
            DialGeometry (CHEADING_1::*dial)() const;
        } cases[] = {
            {"ROT", &NavInfo::fROT, 1e30f, &CHEADING_1::RotGauge},
            {"ROT", &NavInfo::fROT, -1e30f, &CHEADING_1::RotGauge},
            {"speed", &NavInfo::fSpeedKmh, 1e30f, &CHEADING_1::SpeedGauge},
            {"heading", &NavInfo::fHeading, 1e30f, &CHEADING_1::Compass},
            {"COG", &NavInfo::fCourse, -1e30f, &CHEADING_1::Compass},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + " " + std::to_string(c.value));
            normal();
            s->DrawCompass();
            const QImage before = s->Picture().Image().copy();
            n.*c.field = c.value;
            s->DrawCompass();
            const ui::Rect dial = (s->*c.dial)().rect;
            int changed = 0;
            for (int y = 0; y < before.height(); ++y)
                for (int x = 0; x < before.width(); ++x) {
                    const bool inside =
                        x >= dial.left && x <= dial.right && y >= dial.top && y <= dial.bottom;
                    changed += !inside && before.pixel(x, y) != s->Picture().Image().pixel(x, y);
                }
            EXPECT_EQ(changed, 0);
        }
        normal();
    });
}

}  // namespace
