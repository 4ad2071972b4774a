// Screenshots of the beacon and SBAS screens with live data, at two scales, for review; and
// their layout as drawn: no text clipped by its own control, crossing a group box's frame or
// lying over another control.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/gps.h"
#include "shell/BaseDialog.h"
#include "support/qt/layout_check.h"
#include "support/qt/screen_harness.h"

namespace {

struct ShotCase {
    eScreen screen;
    int32_t source;
    int navBar;  // the picture the family shows for the source, receiver found
};

class BeaconSbasShots : public shelltest::ScreenTest,
                        public ::testing::WithParamInterface<std::tuple<ShotCase, double>> {
protected:
    // A receiver on a beacon with a differential fix that also tracks two SBAS satellites.
    static void Fill(int32_t source) {
        GPSInfo& i = g_GPS.Info;
        i.eCurCorrSource = source;
        i.Nav.usNavMode = 4;
        BeaconInfo& b = i.Beacon;
        b.fBeaconFreq = 316.0f;
        b.cFreqMode = 'M';
        b.iBeaconBitRate = 2;
        b.iSignalStrength = 38;
        b.iSNR = 18;
        b.iMTP = 92;
        b.iQ = 12;
        b.iStationId = 680;
        LBandInfo& l = i.LBand;
        l.iSBASPRN1 = 122;
        l.iSBASPRN2 = 120;
        l.iSBASBer1 = 12;
        l.iSBASBer2 = 140;
        l.fSBASLongitude1 = -142.5f;
        l.fSBASElevation1 = 21.3f;
        l.fSBASAzimuth1 = 221.75f;
        l.fSBASLongitude2 = -15.5f;
        l.fSBASElevation2 = 30.25f;
        l.fSBASAzimuth2 = 140.5f;
        // An hour of history: a slow swell of signal and noise figures, a retune half an
        // hour ago, and the two bit-error rates with a spell of no value.
        for (int s = 0; s < kHistorySize; ++s) {
            const int wave = (s / 7) % 12;
            i.iBeaconSSHistory[s] = 24 + wave;
            i.iBeaconSNRHistory[s] = 14 + wave / 2;
            i.fBeaconFreqHistory[s] = s < 1800 ? 298.0f : 316.0f;
            i.iSBASBerHistory[0][s] = 20 + (s % 40);
            i.iSBASBerHistory[1][s] = s % 300 < 40 ? kBerNoValue : 90 + (s * 7) % 60;
        }
        i.iBeaconHistoryIndex = 2000;
        i.iSBASBerHistoryIndex = 3420;
    }
};

// The picture under review and the layout as drawn come from the same live screen.
TEST_P(BeaconSbasShots, LiveScreenNothingClippedOrOverlapping) {
    const auto& [c, scale] = GetParam();
    Start(scale);
    Fill(c.source);
    OnScreen(c.screen, [&] {
        // Enough ticks for every page to have drawn what it draws.
        for (int i = 0; i < 12; ++i) Tick();
        EXPECT_EQ(Text(1001), "3D+DIFF");
        EXPECT_EQ(Page()->GetPictureId(IDC_NAVBAR), c.navBar);
        EXPECT_EQ(shelltest::LayoutFaults(*Page()->Widget()), std::vector<std::string>{});
        Shot(std::string(ScreenClassName(c.screen)) +
             (scale > 1.0 ? "_live_scale_1.5" : "_live_scale_1.0"));
    });
}

INSTANTIATE_TEST_SUITE_P(
    Screens, BeaconSbasShots,
    ::testing::Combine(::testing::Values(ShotCase{SCR_BEACON_1, CORR_BEACON, 157},
                                         ShotCase{SCR_BEACON_2, CORR_BEACON, 157},
                                         ShotCase{SCR_SBAS_1, CORR_SBAS, 207},
                                         ShotCase{SCR_BEACON_3, CORR_BEACON, 157},
                                         ShotCase{SCR_SBAS_2, CORR_SBAS, 207},
                                         ShotCase{SCR_SBAS_3, CORR_SBAS, 207}),
                       ::testing::Values(1.0, 1.5)),
    [](const auto& info) {
        return std::string(ScreenClassName(std::get<0>(info.param).screen)) +
               (std::get<1>(info.param) > 1.0 ? "_scale15" : "_scale1");
    });

}  // namespace
