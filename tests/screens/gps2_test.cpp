// The satellites screen headless: commands on entry, tick and leave, the counts and signal
// bars from the decoders, the right-hand panel for each differential source, and the sky plot
// at the projected places of known satellites.

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include "engine/gps.h"
#include "platform/bytes.h"
#include "resources/dlg_gps2.h"
#include "screens/position/GPS_2.h"
#include "shell/Tessaray_PC.h"
#include "support/qt/screen_harness.h"
#include "ui/automation.h"
#include "ui/dialog.h"

namespace {

using Lines = std::vector<std::string>;

class Gps2Test : public shelltest::ScreenTest {
protected:
    CGPS_2* S() { return As<CGPS_2>(SCR_GPS_2); }

    // A pixel of the page as the user sees it: background, plot and controls together.
    ui::Rgb PagePixel(int x, int y) {
        const QImage image = S()->Widget()->grab().toImage();
        const QRgb p = image.pixel(x, y);
        return {static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)),
                static_cast<uint8_t>(qBlue(p))};
    }

    // Where the plot puts a satellite, from the plot square and the scale alone.
    ui::Point SkyPlace(double elev, double azim) {
        const double sx = theApp().fScaleX, sy = theApp().fScaleY;
        const int cx = (int(kSkyPlotLeft * sx) + int(kSkyPlotRight * sx)) / 2;
        const int cy = (int(kSkyPlotTop * sy) + int(kSkyPlotBottom * sy)) / 2;
        const double a = std::numbers::pi / 2 - azim * std::numbers::pi / 180;
        const double r = (90 - elev) / 90 * 60 * 1.173 * 1.02;
        return {cx + int((std::cos(a) * r - 2.0) * sx), cy - int(std::sin(a) * r * sy)};
    }
};

// Message 99: twelve channel records, each with its code-lock value after the byte fields.
std::string Message99(const std::vector<uint16_t>& codeLocks) {
    platform::ByteWriter w;
    w.U8(0), w.U8(0), w.U16(0), w.F64(0.0);
    for (size_t j = 0; j < 12; ++j) {
        w.Zeros(12);
        w.U16(j < codeLocks.size() ? codeLocks[j] : 0);
        w.Zeros(10);
    }
    w.Zeros(4);
    return w.str();
}

TEST_F(Gps2Test, CommandsCountsAndBarsFromTheReceiver) {
    Start();
    Open(SCR_GPS_2);
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_2);
    run.Add([&] {
        EXPECT_EQ(Wire(), (Lines{"$JASC,GPGSV,1\r\n", "$JASC,D1,1\r\n", "$JGEO,ALL\r\n",
                                 "$JDIFF\r\n", "$PKRV,1,1\r\n", "~10", "$JBIN,99,1\r\n"}));
        ClearWire();
        Tick();
        EXPECT_EQ(Wire(), (Lines{"~0", "$JGEO,ALL\r\n", "$JDIFF\r\n"}));

        // Status word: 9 viewable, 7 above the mask, 6 with corrections, 8 in the solution.
        ASSERT_TRUE(Feed("RD1,000041,1910,1557.8450,1,0,0,0,0,0,0,1,00678009"));
        ASSERT_TRUE(Feed("GPGGA,123519,4807.038,N,01131.000,E,2,05,0.9,545.4,M,46.9,M,,"));
        // 0 and 19 are at the floor, 65535 beyond the top.
        ASSERT_TRUE(FeedBin(99, Message99({0, 19, 20, 200, 1000, 5000, 20000, 65535, 4096})));
        Tick();
        EXPECT_EQ(Text(IDC_GPS2_VIEWABLE), "9");
        EXPECT_EQ(Text(IDC_GPS2_ABOVE_MASK), "7");
        EXPECT_EQ(Text(IDC_GPS2_CORRECTIONS), "6");
        EXPECT_EQ(Text(IDC_GPS2_USED), "5");  // the solution's 5 is fewer than the status's 8
        const struct {
            const char* text;
            int pos;
        } bars[12] = {{"00", 0},  {"00", 0},  {"00", 0},  {"10", 10}, {"17", 17}, {"24", 24},
                      {"30", 30}, {"30", 30}, {"23", 23}, {"00", 0},  {"00", 0},  {"00", 0}};
        for (int j = 0; j < 12; ++j) {
            EXPECT_EQ(Text(kGps2BarLabels[j]), bars[j].text) << j;
            EXPECT_EQ(S()->GetPos(kGps2Bars[j]), bars[j].pos) << j;
        }

        // Leaving turns the sentences off and leaves binary message 99 on.
        ClearWire();
        ui::UserSelectTab(S()->GetDlgItem(IDC_GPS2_TAB), 0);
    });
    WaitShown(run, SCR_GPS_1);
    run.Add([&] {
        const Lines wire = Wire();
        ASSERT_GE(wire.size(), 4u);
        EXPECT_EQ(Lines(wire.begin(), wire.begin() + 4),
                  (Lines{"$JASC,GPGSV,0\r\n", "$JASC,D1,0\r\n", "$PKRV,1,0\r\n", "~10"}));
        for (const std::string& line : wire) EXPECT_NE(line, "$JBIN,99,0\r\n");
        EndAll();
    });
    Run(run);
}

TEST_F(Gps2Test, RightHandPanelFollowsTheDifferentialSource) {
    Start();
    struct Case {
        const char* name;
        int source;
        const char* ber;  // "$RD1" bit-error rate
        uint32_t geoKhz;
        float geoLongitude;
        int ss, snr;
        bool group, left, right, bar11, legendUnavail;
        const char *title, *leftTitle, *rightTitle, *leftValue, *rightValue, *nameText, *legend;
        int leftPos, rightPos;
    };
    const Case cases[] = {
        {"SBAS",
         3,
         "0-620",
         0,
         0,
         0,
         0,
         true,
         true,
         true,
         false,
         true,
         "SBAS Satellites",
         "BER",
         "BER",
         "0",
         "500",
         nullptr,
         "Tracked SBAS:",
         500,
         0},
        {"SBAS negative",
         3,
         "-3-40",
         0,
         0,
         0,
         0,
         true,
         true,
         true,
         false,
         true,
         "SBAS Satellites",
         "BER",
         "BER",
         "0",
         "40",
         nullptr,
         "Tracked SBAS:",
         500,
         460},
        {"L-band east",
         2,
         "120",
         1530359,
         0,
         0,
         0,
         true,
         false,
         true,
         true,
         false,
         "OmniSTAR",
         nullptr,
         "BER",
         nullptr,
         "120",
         "MSV-E",
         "Tracked LBND:",
         0,
         380},
        {"L-band Asia-Pacific",
         2,
         "500",
         1535137,
         140.0f,
         0,
         0,
         true,
         false,
         true,
         true,
         false,
         "OmniSTAR",
         nullptr,
         "BER",
         nullptr,
         "500",
         "AP-SAT",
         "Tracked LBND:",
         0,
         0},
        {"L-band Americas",
         2,
         "0",
         1535137,
         -98.0f,
         0,
         0,
         true,
         false,
         true,
         true,
         false,
         "OmniSTAR",
         nullptr,
         "BER",
         nullptr,
         "0",
         "AM-SAT",
         "Tracked LBND:",
         0,
         500},
        {"L-band unknown",
         2,
         "10",
         1234567,
         0,
         0,
         0,
         true,
         false,
         true,
         true,
         false,
         "OmniSTAR",
         nullptr,
         "BER",
         nullptr,
         "10",
         "MSV-W",
         "Tracked LBND:",
         0,
         490},
        {"beacon", 1,       "0",  0,     0,    45,  -2,      false,   true, true, true,
         false,    nullptr, "SS", "SNR", "45", "0", nullptr, nullptr, 45,   0},
        {"none", 0,       "0",     0,       0,       0,       0,       false,   false, false, true,
         false,  nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0,     0},
        {"RTK", 5,       "0",     0,       0,       0,       0,       false,   false, false, true,
         false, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0,     0},
        {"SBAS again",
         3,
         "10-20",
         0,
         0,
         0,
         0,
         true,
         true,
         true,
         false,
         true,
         "SBAS Satellites",
         "BER",
         "BER",
         "10",
         "20",
         nullptr,
         "Tracked SBAS:",
         490,
         480},
    };
    Open(SCR_GPS_2);
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_2);
    run.Add([&] {
        CGPS_2* s = S();
        for (const Case& c : cases) {
            {
                GPSInfo& info = g_GPS.Info;
                RecordLock lock(info.Nav.ulNavLock);
                info.eCurCorrSource = c.source;
                info.LBand.ulGeoFreqKhz = c.geoKhz;
                info.LBand.fGeoLongitude = c.geoLongitude;
                info.LBand.iSBASPRN1 = 135;
                info.LBand.iSBASPRN2 = 0;
                info.Beacon.iSignalStrength = c.ss;
                info.Beacon.iSNR = c.snr;
            }
            ASSERT_TRUE(
                Feed(std::string("RD1,000041,1910,1557.8450,1,") + c.ber + ",0,0,0,0,0,1,0"));
            Tick();
            EXPECT_EQ(s->IsItemVisible(IDC_GPS2_SBAS_GROUP), c.group) << c.name;
            if (c.title) {
                EXPECT_EQ(Text(IDC_GPS2_SBAS_GROUP), c.title) << c.name;
            }
            EXPECT_EQ(s->IsItemVisible(IDC_GPS2_LEFT_BAR), c.left) << c.name;
            EXPECT_EQ(s->IsItemVisible(IDC_GPS2_RIGHT_BAR), c.right) << c.name;
            EXPECT_EQ(s->IsItemVisible(kGps2Bars[10]), c.bar11) << c.name;
            EXPECT_EQ(s->IsItemVisible(kGps2BarLabels[11]), c.bar11) << c.name;
            EXPECT_EQ(s->IsItemVisible(1136), c.legendUnavail) << c.name;
            EXPECT_EQ(s->IsItemVisible(1015), c.legend != nullptr) << c.name;
            if (c.legend) {
                EXPECT_EQ(Text(1015), c.legend) << c.name;
            }
            EXPECT_EQ(s->IsItemVisible(IDC_GPS2_LBAND_NAME), c.nameText != nullptr) << c.name;
            if (c.nameText) {
                EXPECT_EQ(Text(IDC_GPS2_LBAND_NAME), c.nameText) << c.name;
            }
            if (c.leftTitle) {
                EXPECT_EQ(Text(IDC_GPS2_LEFT_TITLE), c.leftTitle) << c.name;
                EXPECT_EQ(Text(IDC_GPS2_LEFT_VALUE), c.leftValue) << c.name;
                EXPECT_EQ(s->GetPos(IDC_GPS2_LEFT_BAR), c.leftPos) << c.name;
            }
            if (c.rightTitle) {
                EXPECT_EQ(Text(IDC_GPS2_RIGHT_TITLE), c.rightTitle) << c.name;
                EXPECT_EQ(Text(IDC_GPS2_RIGHT_VALUE), c.rightValue) << c.name;
                EXPECT_EQ(s->GetPos(IDC_GPS2_RIGHT_BAR), c.rightPos) << c.name;
            }
        }
        // The bars show clamped copies; the record keeps what the receiver sent.
        EXPECT_EQ(g_GPS.Info.LBand.iSBASBer1, 10);
        g_GPS.Info.LBand.iSBASBer1 = -3;
        Tick();
        EXPECT_EQ(g_GPS.Info.LBand.iSBASBer1, -3);
        EXPECT_EQ(Text(IDC_GPS2_SBAS_VIEWABLE), "1");
        EXPECT_EQ(Text(IDC_GPS2_SBAS_TRACKED), "1");
        EndAll();
    });
    Run(run);
}

TEST_F(Gps2Test, SkyPlotPutsEverySatelliteOnTheRingOfItsElevation) {
    for (double scale : {1.0, 1.5}) {
        SCOPED_TRACE(scale);
        Start(scale);
        {
            GPSInfo& info = g_GPS.Info;
            info.Settings.WizardLive.iElevation = 10;
            info.eCurCorrSource = CORR_SBAS;
            info.LBand.iSBASPRN1 = 135, info.LBand.fSBASElevation1 = 30,
            info.LBand.fSBASAzimuth1 = 220;
            info.LBand.iSBASPRN2 = 138, info.LBand.fSBASElevation2 = 45,
            info.LBand.fSBASAzimuth2 = 250;
        }
        // Fourteen in view: only the twelve channels are plotted.
        ASSERT_TRUE(Feed("GPGSV,4,1,14,01,60,045,40,02,05,135,30,03,75,300,35,04,20,160,33"));
        ASSERT_TRUE(Feed("GPGSV,4,2,14,05,09,100,30,06,10,080,30,07,40,330,30,08,50,120,30"));
        const ui::Rgb orange{234, 175, 15}, grey{150, 150, 150}, blue{30, 28, 119};
        struct Probe {
            double elev, azim;
            ui::Rgb centre;
        };
        const Probe probes[] = {
            {60, 45, orange}, {5, 135, grey},   {75, 300, orange}, {20, 160, orange},
            {9, 100, grey},   {10, 80, orange}, {30, 220, blue},   {45, 250, grey},
        };
        Open(SCR_GPS_2);
        ui::StepRunner run;
        WaitShown(run, SCR_GPS_2);
        run.Add([&] {
            Tick();
            for (const Probe& p : probes) {
                const ui::Point at = SkyPlace(p.elev, p.azim);
                EXPECT_EQ(PagePixel(at.x, at.y), p.centre) << p.elev << "/" << p.azim;
            }
            // The outer ring of a satellite below the mask keeps the satellite's colour.
            const ui::Point low = SkyPlace(5, 135);
            const ui::Rgb ring = PagePixel(low.x - 4, low.y);
            EXPECT_GT(ring.r, 180);
            EXPECT_LT(ring.b, 60);
            // An L-band satellite is drawn only while one is tracked.
            g_GPS.Info.eCurCorrSource = CORR_LBND;
            g_GPS.Info.LBand.fGeoElevation = 35, g_GPS.Info.LBand.fGeoAzimuth = 200;
            g_GPS.Info.LBand.ulGeoFreqKhz = 1540000;
            Tick();
            const ui::Point geo = SkyPlace(35, 200);
            EXPECT_NE(PagePixel(geo.x, geo.y), blue);
            g_GPS.Info.LBand.ulGeoFreqKhz = 1536782;
            Tick();
            EXPECT_EQ(PagePixel(geo.x, geo.y), blue);
            // Covering and showing the page again keeps the picture.
            S()->Widget()->hide();
            S()->Widget()->show();
            EXPECT_EQ(PagePixel(geo.x, geo.y), blue);
            Shot(scale == 1.0 ? "gps2_sats_scale_1.0" : "gps2_sats_scale_1.5");
            EndAll();
        });
        Run(run);
        TearDown();
    }
}

}  // namespace
