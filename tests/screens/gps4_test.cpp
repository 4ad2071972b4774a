// The precision screen headless: commands on entry, tick and leave, dilutions and precisions
// from GST, GGA and binary message 2 in every unit and level, and the error ellipse's pixels
// for several sizes and orientations, up to a semi-axis far beyond the grid.

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "engine/gps.h"
#include "platform/bytes.h"
#include "platform/numbers.h"
#include "resources/dlg_gps4.h"
#include "screens/position/GPS_4.h"
#include "shell/Tessaray_PC.h"
#include "support/qt/screen_harness.h"
#include "ui/automation.h"
#include "ui/dialog.h"

namespace {

using Lines = std::vector<std::string>;

class Gps4Test : public shelltest::ScreenTest {
protected:
    CGPS_4* S() { return As<CGPS_4>(SCR_GPS_4); }

    ui::Rgb PagePixel(int x, int y) {
        const QImage image = S()->Widget()->grab().toImage();
        const QRgb p = image.pixel(x, y);
        return {static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)),
                static_cast<uint8_t>(qBlue(p))};
    }

    // Semi-axes in metres, orientation in degrees.
    void Gst(double a, double b, double orient, double lat = 0.5, double lon = 0.4,
             double alt = 1.25) {
        ASSERT_TRUE(Feed(platform::Format("GPGST,172814.0,0.006,%g,%g,%g,%g,%g,%g", a, b, orient,
                                          lat, lon, alt)));
    }
};

// The frame drawn over the plot tints it a little.
bool Near(ui::Rgb a, ui::Rgb b) {
    return std::abs(a.r - b.r) <= 6 && std::abs(a.g - b.g) <= 6 && std::abs(a.b - b.b) <= 6;
}

// Binary message 2 with the HDOP and VDOP words (tenths).
std::string Message2(uint16_t hdop10, uint16_t vdop10) {
    platform::ByteWriter w;
    w.U32(0), w.U32(0), w.U16(0), w.U16(hdop10), w.U16(vdop10), w.U16(0);
    return w.str();
}

TEST_F(Gps4Test, CommandsAndReadoutsInEveryUnitAndLevel) {
    Start();
    Open(SCR_GPS_4);
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_4);
    run.Add([&] {
        EXPECT_EQ(Wire(), (Lines{"$JASC,GPGST,1\r\n", "$JASC,GPGGA,1\r\n", "$JBIN,2,1\r\n"}));
        ASSERT_TRUE(Feed("GPGGA,123519,4807.038,N,01131.000,E,2,08,0.9,545.4,M,46.9,M,,"));
        Gst(0.8, 0.5, 30.0);
        ClearWire();
        Tick();
        EXPECT_EQ(Wire(), (Lines{"~0"}));
        // No binary message 2 yet.
        EXPECT_EQ(Text(IDC_GPS4_HDOP), "0.90");
        EXPECT_EQ(Text(IDC_GPS4_VDOP), "N/A");
        EXPECT_EQ(Text(IDC_GPS4_PDOP), "N/A");
        ASSERT_TRUE(FeedBin(2, Message2(30, 40)));
        Tick();
        EXPECT_EQ(Text(IDC_GPS4_HDOP), "3.00");
        EXPECT_EQ(Text(IDC_GPS4_VDOP), "4.00");
        EXPECT_EQ(Text(IDC_GPS4_PDOP), "5.00");
        EXPECT_EQ(Text(IDC_GPS4_SEMI_MAJOR), "  0.80");
        EXPECT_EQ(Text(IDC_GPS4_SEMI_MINOR), "  0.50");
        EXPECT_EQ(Text(IDC_GPS4_AZIMUTH), " 30.0");
        EXPECT_EQ(Text(1021), "a  (1\xCF\x83):");

        struct Case {
            int unit[3], level[3];
            const char *north, *east, *alt;
        };
        const Case cases[] = {
            {{0, 0, 0}, {0, 0, 0}, "  0.50", "  0.40", "  1.25"},
            {{1, 0, 0}, {2, 0, 0}, "  1.31", "  0.40", "  1.25"},  // feet, CEP on one row
            {{0, 1, 0}, {1, 3, 0}, "  1.00", "  3.94", "  1.25"},
            {{1, 1, 1}, {3, 2, 1}, "  4.92", "  1.05", "  8.20"},
        };
        const int units[3] = {IDC_GPS4_NORTHING_UNIT, IDC_GPS4_EASTING_UNIT,
                              IDC_GPS4_ALTITUDE_UNIT};
        const int levels[3] = {IDC_GPS4_NORTHING_LEVEL, IDC_GPS4_EASTING_LEVEL,
                               IDC_GPS4_ALTITUDE_LEVEL};
        for (const Case& c : cases) {
            for (int row = 0; row < 3; ++row) {
                Choose(units[row], c.unit[row]);
                Choose(levels[row], c.level[row]);
            }
            Tick();
            EXPECT_EQ(Text(IDC_GPS4_NORTHING), c.north);
            EXPECT_EQ(Text(IDC_GPS4_EASTING), c.east);
            EXPECT_EQ(Text(IDC_GPS4_ALTITUDE), c.alt);
            // The ellipse stays in metres.
            EXPECT_EQ(Text(IDC_GPS4_SEMI_MAJOR), "  0.80");
        }
        ClearWire();
        ui::UserSelectTab(S()->GetDlgItem(IDC_GPS4_TAB), 0);
    });
    WaitShown(run, SCR_GPS_1);
    run.Add([&] {
        const Lines wire = Wire();
        ASSERT_GE(wire.size(), 3u);
        EXPECT_EQ(Lines(wire.begin(), wire.begin() + 3),
                  (Lines{"$JASC,GPGST,0\r\n", "$JBIN,2,0\r\n", "$JASC,GPGGA,0\r\n"}));
        ui::UserSelectTab(Page()->GetDlgItem(1006), 3);
    });
    WaitShown(run, SCR_GPS_4);
    run.Add([&] {
        // The choices of the last visit stay.
        EXPECT_EQ(Text(IDC_GPS4_NORTHING_LEVEL), "99%");
        EXPECT_EQ(Text(IDC_GPS4_EASTING_LEVEL), "CEP");
        EXPECT_EQ(Text(IDC_GPS4_ALTITUDE_UNIT), "feet");
        EXPECT_EQ(Text(IDC_GPS4_ALTITUDE), "  8.20");
        EndAll();
    });
    Run(run);
}

TEST_F(Gps4Test, EllipsePixelsForSizesAndOrientations) {
    Start(1.5);
    struct Case {
        double a, b, orient;
        const char *topLeft, *bottomRight;
        double scale;  // pixels per metre at scale 1
    };
    const Case cases[] = {
        {0.8, 0.3, 0, "(-1,1)m", "(1,-1)m", 50},   {0.8, 0.3, 90, "(-1,1)m", "(1,-1)m", 50},
        {0.8, 0.3, 45, "(-1,1)m", "(1,-1)m", 50},  {3.0, 1.0, 0, "(-5,5)m", "(5,-5)m", 10},
        {3.0, 1.0, 120, "(-5,5)m", "(5,-5)m", 10}, {7.0, 2.0, 300, "(-10,10)m", "(10,-10)m", 5},
    };
    Open(SCR_GPS_4);
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_4);
    run.Add([&] {
        const double sx = theApp().fScaleX, sy = theApp().fScaleY;
        const int cx = (int(kEllipseLeft * sx) + int(kEllipseRight * sx)) / 2;
        const int cy = (int(kEllipseTop * sy) + int(kEllipseBottom * sy)) / 2;
        const ui::Rgb orange{234, 175, 15};
        for (const Case& c : cases) {
            SCOPED_TRACE(c.orient);
            Gst(c.a, c.b, c.orient);
            Tick();
            EXPECT_EQ(Text(IDC_GPS4_TOP_LEFT), c.topLeft);
            EXPECT_EQ(Text(IDC_GPS4_BOTTOM_RIGHT), c.bottomRight);
            const double t = c.orient * std::numbers::pi / 180;
            // Major axis away from its drawn half, minor axis away from its drawn half.
            const double mx = -std::sin(t), my = std::cos(t);
            const double nx = std::cos(t), ny = std::sin(t);
            const double px = c.scale * sx;
            const auto at = [&](double ux, double uy, double metres) {
                return PagePixel(cx + int(std::lround(ux * metres * px)),
                                 cy + int(std::lround(uy * metres * px)));
            };
            EXPECT_TRUE(Near(at(mx, my, 0.85 * c.a), orange));
            EXPECT_FALSE(Near(at(mx, my, 1.15 * c.a), orange));
            EXPECT_TRUE(Near(at(nx, ny, 0.7 * c.b), orange));
            EXPECT_FALSE(Near(at(nx, ny, 1.4 * c.b), orange));
        }
        Shot("gps4_precision_scale_1.5");
        EndAll();
    });
    Run(run);
}

TEST_F(Gps4Test, HugeZeroAndMissingAxesDrawAtOnce) {
    Start();
    Open(SCR_GPS_4);
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_4);
    run.Add([&] {
        const double sx = theApp().fScaleX, sy = theApp().fScaleY;
        const int left = int(kEllipseLeft * sx), top = int(kEllipseTop * sy);
        const int right = int(kEllipseRight * sx), bottom = int(kEllipseBottom * sy);
        const ui::Rgb orange{234, 175, 15}, grey{150, 150, 150};
        // Off the grid: the whole square orange, the axes cut at its edge.
        Gst(1e9, 2e8, 33.0);
        Tick();
        EXPECT_EQ(Text(IDC_GPS4_TOP_LEFT), "(-10,10)m");
        EXPECT_TRUE(Near(PagePixel(left + 3, bottom - 3), orange));
        EXPECT_TRUE(Near(PagePixel(right - 3, top + 3), orange));
        // A minor axis of zero or below fills nothing.
        for (double b : {0.0, -2.0}) {
            Gst(0.5, b, 10.0);
            Tick();
            EXPECT_EQ(Text(IDC_GPS4_TOP_LEFT), "(-1,1)m");
            EXPECT_TRUE(Near(PagePixel(left + 5, top + 5), grey));
            EXPECT_FALSE(Near(PagePixel((left + right) / 2 + 8, (top + bottom) / 2 + 3), orange));
        }
        // Text that is not a number leaves the last values.
        ASSERT_TRUE(Feed("GPGST,172814.0,0.006,nan,inf,,,,"));
        Tick();
        Tick();
        EndAll();
    });
    Run(run);
}

}  // namespace
