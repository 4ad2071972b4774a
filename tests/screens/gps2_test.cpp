// The satellites screen: commands, clamped bars, the panel per source and the sky plot.

#include "resources/dlg_gps2.h"
#include "screens/position/GPS_2.h"
#include "screens/screen_walk.h"

namespace {

class Gps2Test : public shelltest::WalkTest {
protected:
    CGPS_2* S() { return As<CGPS_2>(SCR_GPS_2); }
    // Where the plot puts a satellite, from the plot square and the scale alone.
    ui::Point SkyPlace(double elev, double azim) {
        const double sx = theApp().fScaleX, sy = theApp().fScaleY;
        const int cx = (int(kSkyPlotLeft * sx) + int(kSkyPlotRight * sx)) / 2;
        const int cy = (int(kSkyPlotTop * sy) + int(kSkyPlotBottom * sy)) / 2;
        const double a = std::numbers::pi / 2 - azim * std::numbers::pi / 180;
        const double r = (90 - elev) / 90 * 60 * 1.173 * 1.02;
        return {cx + int((std::cos(a) * r - 2.0) * sx), cy - int(std::sin(a) * r * sy)};
    }
    // The right-hand panel: group title, left and right bar (title, value, position), the
    // L-band name, the tracked legend; "-" for what is hidden; then whether the unavailable
    // legend and the eleventh bar show.
    std::string Panel() {
        std::string out;
        const auto shown = [&](int id, const std::string& what) {
            out += (S()->IsItemVisible(id) ? what : "-") + "|";
        };
        shown(IDC_GPS2_SBAS_GROUP, Text(IDC_GPS2_SBAS_GROUP));
        for (int side = 0; side < 2; ++side) {
            const int bar = side ? IDC_GPS2_RIGHT_BAR : IDC_GPS2_LEFT_BAR;
            shown(bar, Text(side ? IDC_GPS2_RIGHT_TITLE : IDC_GPS2_LEFT_TITLE) + " " +
                           Text(side ? IDC_GPS2_RIGHT_VALUE : IDC_GPS2_LEFT_VALUE) + " " +
                           std::to_string(S()->GetPos(bar)));
        }
        shown(IDC_GPS2_LBAND_NAME, Text(IDC_GPS2_LBAND_NAME));
        shown(1015, Text(1015));
        out += S()->IsItemVisible(1136) ? "+" : "-";
        out +=
            S()->IsItemVisible(kGps2Bars[10]) && S()->IsItemVisible(kGps2BarLabels[11]) ? "+" : "-";
        return out;
    }
};

TEST_F(Gps2Test, CommandsCountsBarsAndPanel) {
    Start();
    OnScreen(SCR_GPS_2, [&] {
        EXPECT_EQ(
            Sent(),
            "$JASC,GPGSV,1\r\n$JASC,D1,1\r\n$JGEO,ALL\r\n$JDIFF\r\n$PKRV,1,1\r\n~10$JBIN,99,1\r\n");
        EXPECT_EQ(TickSent(), "~0$JGEO,ALL\r\n$JDIFF\r\n");
        // Status word: 9 viewable, 7 above the mask, 6 with corrections, 8 in the solution;
        // the solution's 5 is fewer. Code locks 0 and 19 are at the floor, 65535 beyond the top.
        ASSERT_TRUE(Feed("RD1,000041,1910,1557.8450,1,0,0,0,0,0,0,1,00678009"));
        ASSERT_TRUE(Feed("GPGGA,123519,4807.038,N,01131.000,E,2,05,0.9,545.4,M,46.9,M,,"));
        platform::ByteWriter m99;  // twelve channels, each with its code lock after 12 bytes
        m99.U8(0), m99.U8(0), m99.U16(0), m99.F64(0.0);
        for (uint16_t lock : {0, 19, 20, 200, 1000, 5000, 20000, 65535, 4096, 0, 0, 0})
            m99.Zeros(12), m99.U16(lock), m99.Zeros(10);
        m99.Zeros(4);
        ASSERT_TRUE(FeedBin(99, m99.str()));
        Tick();
        EXPECT_EQ(
            Texts({IDC_GPS2_VIEWABLE, IDC_GPS2_ABOVE_MASK, IDC_GPS2_CORRECTIONS, IDC_GPS2_USED}),
            "9|7|6|5");
        std::string bars;
        for (int j = 0; j < 12; ++j)
            bars += Text(kGps2BarLabels[j]) + "=" + std::to_string(S()->GetPos(kGps2Bars[j])) + " ";
        EXPECT_EQ(bars, "00=0 00=0 00=0 10=10 17=17 24=24 30=30 30=30 23=23 00=0 00=0 00=0 ");
        // Source, "$RD1" bit-error rates, L-band frequency and longitude, SS, SNR, panel.
        // clang-format off
        const struct { int source; const char* ber; uint32_t geoKhz; float geoLongitude; int ss, snr; const char* panel; } cases[] = {

            {2, "500", 1535137, 140, 0, 0, "OmniSTAR|-|BER 500 0|AP-SAT|Tracked LBND:|-+"},
            {1, "0", 0, 0, 45, -2, "-|SS 45 45|SNR 0 0|-|-|-+"}, {0, "0", 0, 0, 0, 0, "-|-|-|-|-|-+"},
            {3, "-3-40", 0, 0, 0, 0, "SBAS Satellites|BER 0 500|BER 40 460|-|Tracked SBAS:|+-"}};
        // clang-format on
        for (const auto& c : cases) {
            {
                GPSInfo& info = g_GPS.Info;
                RecordLock lock(info.Nav.ulNavLock);
                info.eCurCorrSource = c.source;
                info.LBand.ulGeoFreqKhz = c.geoKhz;
                info.LBand.fGeoLongitude = c.geoLongitude;
                info.LBand.iSBASPRN1 = 135, info.LBand.iSBASPRN2 = 0;
                info.Beacon.iSignalStrength = c.ss, info.Beacon.iSNR = c.snr;
            }
            ASSERT_TRUE(
                Feed(std::string("RD1,000041,1910,1557.8450,1,") + c.ber + ",0,0,0,0,0,1,0"));
            Tick();
            EXPECT_EQ(Panel(), c.panel) << c.source << " " << c.ber;
        }
        // The bars show clamped copies; the record keeps what the receiver sent.
        EXPECT_EQ(g_GPS.Info.LBand.iSBASBer1, -3);
        EXPECT_EQ(Texts({IDC_GPS2_SBAS_VIEWABLE, IDC_GPS2_SBAS_TRACKED}), "1|1");
        // Leaving turns the sentences off and leaves binary message 99 on.
        EXPECT_EQ(LeaveSent(), "$JASC,GPGSV,0\r\n$JASC,D1,0\r\n$PKRV,1,0\r\n~10");
    });
}

TEST_F(Gps2Test, SkyPlotPutsEverySatelliteOnTheRingOfItsElevation) {
    Start(1.5);
    LBandInfo& lb = g_GPS.Info.LBand;
    g_GPS.Info.Settings.WizardLive.iElevation = 10;
    g_GPS.Info.eCurCorrSource = CORR_SBAS;
    lb.iSBASPRN1 = 135, lb.fSBASElevation1 = 30, lb.fSBASAzimuth1 = 220;
    lb.iSBASPRN2 = 138, lb.fSBASElevation2 = 45, lb.fSBASAzimuth2 = 250;
    // Fourteen in view: only the twelve channels are plotted.
    ASSERT_TRUE(Feed("GPGSV,4,1,14,01,60,045,40,02,05,135,30,03,75,300,35,04,20,160,33"));
    ASSERT_TRUE(Feed("GPGSV,4,2,14,05,09,100,30,06,10,080,30,07,40,330,30,08,50,120,30"));
    const ui::Rgb orange{234, 175, 15}, grey{150, 150, 150}, blue{30, 28, 119};
    const struct {
        double elev, azim;
        ui::Rgb centre;
    } probes[] = {{60, 45, orange}, {9, 100, grey}, {30, 220, blue}};
    OnScreen(SCR_GPS_2, [&] {
        Tick();
        for (const auto& p : probes)
            EXPECT_EQ(PagePixel(SkyPlace(p.elev, p.azim)), p.centre) << p.elev << "/" << p.azim;
        // Covering and showing the page again keeps the picture.
        S()->Widget()->hide();
        S()->Widget()->show();
        EXPECT_EQ(PagePixel(SkyPlace(30, 220)), blue);
        Shot("gps2_sats_scale_1.5");
    });
}

}  // namespace
