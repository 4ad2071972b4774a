// The satellites, output setup, precision and receiver information screens with live data at
// two scales: screenshots for review, and their layout as drawn (no text clipped by its own
// control, crossing a group box's frame or lying over another control) for every differential
// source the satellites screen arranges its panel for.

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>
#include <vector>

#include "engine/gps.h"
#include "support/qt/layout_check.h"
#include "support/qt/screen_harness.h"
#include "ui/dialog.h"

namespace {

struct ShotCase {
    eScreen screen;
    int32_t source;
    const char* name;
};

class GpsDetailShots : public shelltest::ScreenTest,
                       public ::testing::WithParamInterface<std::tuple<ShotCase, double>> {
protected:
    static void Fill(int32_t source) {
        GPSInfo& i = g_GPS.Info;
        i.eCurCorrSource = source;
        i.Nav.usNavMode = 4;
        i.Nav.iSatsUsed = 8;
        i.Nav.fHDOP = 0.9f;
        i.Binary.usVDOPTimes10 = 14;
        i.Nav.fGSTLatErr = 0.61f, i.Nav.fGSTLonErr = 0.42f, i.Nav.fGSTAltErr = 1.2f;
        i.Nav.fGSTSemiMajor = 0.8f, i.Nav.fGSTSemiMinor = 0.45f, i.Nav.fGSTOrient = 32.5f;
        i.Settings.WizardLive.iElevation = 10;
        i.Settings.WizardLive.iMaxAge = 2700;
        i.Settings.WizardLive.iNMEABaudRate = 19200;
        i.Settings.WizardLive.iRTCMBaudRate = 9600;
        i.Settings.WizardLive.ThisPortConfig.eGGA = RATE_5HZ;
        i.Settings.WizardLive.ThisPortConfig.eGSA = RATE_1HZ;
        i.Settings.WizardLive.OtherPortConfig.eRMC = RATE_10HZ;
        i.SatView.iSatsInView = 10;
        for (int j = 0; j < 10; ++j) {
            i.SatView.Channel[j].iElev = 5 + j * 9;
            i.SatView.Channel[j].iAzim = (j * 67) % 360;
            i.Binary.Bin99.Channel[j].usWords[0] = static_cast<uint16_t>(300 + j * 1400);
        }
        LBandInfo& l = i.LBand;
        l.ulRD1Status = 0x00789009;
        l.iSBASPRN1 = 135, l.iSBASPRN2 = 138;
        l.iSBASBer1 = 12, l.iSBASBer2 = 240;
        l.fSBASElevation1 = 31.0f, l.fSBASAzimuth1 = 221.0f;
        l.fSBASElevation2 = 12.0f, l.fSBASAzimuth2 = 140.0f;
        l.ulGeoFreqKhz = 1536782, l.fGeoElevation = 38.0f, l.fGeoAzimuth = 205.0f;
        l.iLBandBer = 35;
        i.Beacon.iSignalStrength = 41, i.Beacon.iSNR = 17;
        i.eRxApp = CORR_SBAS, i.eRxOtherApp = CORR_LBND;
        std::snprintf(l.szAppFirmware, sizeof l.szAppFirmware, "WAAS 1.2a");
        std::snprintf(l.szApp1Firmware, sizeof l.szApp1Firmware, "WAAS 1.2a");
        std::snprintf(l.szApp2Firmware, sizeof l.szApp2Firmware, "LBAND 4.7b");
        std::snprintf(l.szDspFirmware, sizeof l.szDspFirmware, "DSP 3.09");
        std::snprintf(i.Beacon.szBeaconFirmware, sizeof i.Beacon.szBeaconFirmware, "BCN 2.1");
    }
};

TEST_P(GpsDetailShots, LiveScreenNothingClippedOrOverlapping) {
    const auto& [c, scale] = GetParam();
    Start(scale);
    Fill(c.source);
    Open(c.screen);
    ui::StepRunner run;
    WaitShown(run, c.screen);
    run.Add([&] {
        for (int i = 0; i < 3; ++i) Tick();
        if (c.source != CORR_NONE) {
            EXPECT_EQ(Text(1001), "3D+DIFF");
        }
        EXPECT_EQ(shelltest::LayoutFaults(*Page()->Widget()), std::vector<std::string>{});
        Shot(std::string(c.name) + (scale > 1.0 ? "_live_scale_1.5" : "_live_scale_1.0"));
        EndAll();
    });
    Run(run);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, GpsDetailShots,
    ::testing::Combine(::testing::Values(ShotCase{SCR_GPS_2, CORR_SBAS, "CGPS_2_sbas"},
                                         ShotCase{SCR_GPS_2, CORR_LBND, "CGPS_2_lband"},
                                         ShotCase{SCR_GPS_2, CORR_BEACON, "CGPS_2_beacon"},
                                         ShotCase{SCR_GPS_2, CORR_NONE, "CGPS_2_none"},
                                         ShotCase{SCR_GPS_3, CORR_SBAS, "CGPS_3"},
                                         ShotCase{SCR_GPS_4, CORR_SBAS, "CGPS_4"},
                                         ShotCase{SCR_GPS_6, CORR_SBAS, "CGPS_6"}),
                       ::testing::Values(1.0, 1.5)),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) +
               (std::get<1>(info.param) > 1.0 ? "_15" : "_10");
    });

}  // namespace
