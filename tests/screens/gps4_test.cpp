// The precision screen: commands, dilutions, precisions and the error ellipse's pixels.

#include "resources/dlg_gps4.h"
#include "screens/position/GPS_4.h"
#include "screens/screen_walk.h"

namespace {

class Gps4Test : public shelltest::WalkTest {
protected:
    // Semi-axes in metres, orientation in degrees.
    void Gst(double a, double b, double orient) {
        ASSERT_TRUE(
            Feed(platform::Format("GPGST,172814.0,0.006,%g,%g,%g,0.5,0.4,1.25", a, b, orient)));
    }
    // Whether the page shows the ellipse's orange there (the frame over the plot tints it).
    bool Orange(double x, double y) {
        const ui::Rgb p = PagePixel({int(std::lround(x)), int(std::lround(y))});
        return std::abs(p.r - 234) <= 6 && std::abs(p.g - 175) <= 6 && std::abs(p.b - 15) <= 6;
    }
};

TEST_F(Gps4Test, CommandsAndReadoutsInEveryUnitAndLevel) {
    Start();
    OnScreen(SCR_GPS_4, [&] {
        EXPECT_EQ(Sent(), "$JASC,GPGST,1\r\n$JASC,GPGGA,1\r\n$JBIN,2,1\r\n");
        ASSERT_TRUE(Feed("GPGGA,123519,4807.038,N,01131.000,E,2,08,0.9,545.4,M,46.9,M,,"));
        Gst(0.8, 0.5, 30.0);
        EXPECT_EQ(TickSent(), "~0");
        // No binary message 2 yet, then HDOP 3.0 and VDOP 4.0 from it.
        EXPECT_EQ(Texts({IDC_GPS4_HDOP, IDC_GPS4_VDOP, IDC_GPS4_PDOP}), "0.90|N/A|N/A");
        platform::ByteWriter m2;
        m2.U32(0), m2.U32(0), m2.U16(0), m2.U16(30), m2.U16(40), m2.U16(0);
        ASSERT_TRUE(FeedBin(2, m2.str()));
        Tick();
        EXPECT_EQ(Texts({IDC_GPS4_HDOP, IDC_GPS4_VDOP, IDC_GPS4_PDOP, IDC_GPS4_SEMI_MAJOR,
                         IDC_GPS4_SEMI_MINOR, IDC_GPS4_AZIMUTH, 1021}),
                  "3.00|4.00|5.00|  0.80|  0.50| 30.0|a  (1\xCF\x83):");
        // Units and levels per row; the ellipse stays in metres.
        for (int row = 0; row < 3; ++row) {
            Choose(IDC_GPS4_NORTHING_UNIT + row, 1);
            Choose(IDC_GPS4_NORTHING_LEVEL + row, 3 - row);
        }
        Tick();
        EXPECT_EQ(
            Texts({IDC_GPS4_NORTHING, IDC_GPS4_EASTING, IDC_GPS4_ALTITUDE, IDC_GPS4_SEMI_MAJOR}),
            "  4.92|  1.05|  8.20|  0.80");
        EXPECT_EQ(LeaveSent().rfind("$JASC,GPGST,0\r\n$JBIN,2,0\r\n$JASC,GPGGA,0\r\n", 0), 0u);
        // The choices of the last visit stay.
        Page()->OnInitDialog();
        EXPECT_EQ(Texts({IDC_GPS4_NORTHING_LEVEL, IDC_GPS4_EASTING_LEVEL, IDC_GPS4_ALTITUDE_UNIT,
                         IDC_GPS4_ALTITUDE}),
                  "99%|CEP|feet|  8.20");
    });
}

TEST_F(Gps4Test, EllipsePixelsForSizesOrientationsAndBadAxes) {
    Start(1.5);
    OnScreen(SCR_GPS_4, [&] {
        const double sx = theApp().fScaleX, sy = theApp().fScaleY;
        const int left = int(kEllipseLeft * sx), top = int(kEllipseTop * sy);
        const int right = int(kEllipseRight * sx), bottom = int(kEllipseBottom * sy);
        const double cx = (left + right) / 2, cy = (top + bottom) / 2;
        // Semi-axes, orientation, corners (top left, bottom right), pixels per metre at scale 1.
        // clang-format off
        const struct { double a, b, orient; const char* corners; double scale; } cases[] = {
            {0.8, 0.3, 45, "(-1,1)m|(1,-1)m", 58.65}, {7.0, 2.0, 120, "(-10,10)m|(10,-10)m", 5.865}};
        // clang-format on
        for (const auto& c : cases) {
            SCOPED_TRACE(c.orient);
            Gst(c.a, c.b, c.orient);
            Tick();
            EXPECT_EQ(Texts({IDC_GPS4_TOP_LEFT, IDC_GPS4_BOTTOM_RIGHT}), c.corners);
            // Both axes end where the fill ends: inside orange, beyond not.
            const double t = c.orient * std::numbers::pi / 180, px = c.scale * sx;
            const double mx = -std::sin(t), my = std::cos(t), nx = std::cos(t), ny = std::sin(t);
            EXPECT_TRUE(Orange(cx + mx * 0.85 * c.a * px, cy + my * 0.85 * c.a * px));
            EXPECT_FALSE(Orange(cx + mx * 1.15 * c.a * px, cy + my * 1.15 * c.a * px));
            EXPECT_TRUE(Orange(cx + nx * 0.7 * c.b * px, cy + ny * 0.7 * c.b * px));
            EXPECT_FALSE(Orange(cx + nx * 1.4 * c.b * px, cy + ny * 1.4 * c.b * px));
        }
        Shot("gps4_precision_scale_1.5");
        // Off the grid: the whole square orange, the axes cut at its edge.
        Gst(1e9, 2e8, 33.0);
        Tick();
        EXPECT_EQ(Text(IDC_GPS4_TOP_LEFT), "(-10,10)m");
        EXPECT_TRUE(Orange(left + 3, bottom - 3));
        EXPECT_TRUE(Orange(right - 3, top + 3));
        // A minor axis of zero fills nothing.
        Gst(0.5, 0.0, 10.0);
        Tick();
        EXPECT_FALSE(Orange(cx + 8, cy + 3));
        // Text that is not a number reads as 0: nothing is filled.
        ASSERT_TRUE(Feed("GPGST,172814.0,0.006,nan,inf,,,,"));
        Tick();
        EXPECT_EQ(Texts({IDC_GPS4_SEMI_MAJOR, IDC_GPS4_SEMI_MINOR}), "  0.00|  0.00");
        EXPECT_FALSE(Orange(cx + 2, cy + 2));
    });
}

// Where the two scales differ (a font of 16 pixels, as at 144 dpi), the ellipse's height follows
// the vertical one: north-south it reaches a (or b, turned by 90 degrees) times the ±1 m grid's
// 58.65 units a metre, in rows.
TEST_F(Gps4Test, EllipseHeightFollowsTheVerticalScale) {
    Start(1.48);
    OnScreen(SCR_GPS_4, [&] {
        const double sx = theApp().fScaleX, sy = theApp().fScaleY;
        ASSERT_GT(sx - sy, 0.03) << sx << " " << sy;
        const int left = int(kEllipseLeft * sx), top = int(kEllipseTop * sy);
        const int bottom = int(kEllipseBottom * sy);
        // Beside the north-south axis, which is drawn black over the fill.
        const int x = left + 1 + int(5 * 11.73 * sx) + 2;
        // Semi-axes, orientation, the semi-axis that lies north-south.
        const struct {
            double a, b, orient, vertical;
        } cases[] = {{0.8, 0.7, 0, 0.8}, {0.95, 0.85, 90, 0.85}};
        for (const auto& c : cases) {
            SCOPED_TRACE(c.orient);
            Gst(c.a, c.b, c.orient);
            Tick();
            int first = bottom, last = top;
            for (int y = top; y < bottom; ++y) {
                if (!Orange(x, y)) continue;
                first = std::min(first, y);
                last = std::max(last, y);
            }
            EXPECT_NEAR((last - first) / 2.0, c.vertical * 58.65 * sy, 1.0);
        }
    });
}

}  // namespace
