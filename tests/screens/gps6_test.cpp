// The receiver information screen: commands, texts, and the firmware capture as timed steps.

#include "screens/position/GPS_6.h"
#include "screens/screen_walk.h"

namespace {

class Gps6Test : public shelltest::WalkTest {
protected:
    CGPS_6* S() { return As<CGPS_6>(SCR_GPS_6); }
};

TEST_F(Gps6Test, CommandsAndTextsFromTheReceiver) {
    Start();
    OnScreen(SCR_GPS_6, [&] {
        EXPECT_EQ(Sent(), "$JOFF\r\n~250$PKRV,1,1\r\n~10~50$JAPP\r\n~50$JI\r\n~50");
        EXPECT_EQ(Texts({IDC_GPS6_APP1, IDC_GPS6_DSP, IDC_GPS6_BEACON, IDC_GPS6_STATUS}),
                  "NODIFF, |Not Found|Not Found|Click GO Button to Capture Information.");
        ClearWire();
        ASSERT_TRUE(Feed(">JAPP,WAAS,LBAND"));
        ASSERT_TRUE(Feed(">JI,311,2,3,4,5,01,WAAS-1.2a,DSP 3.0"));
        Feed("PKRV,CS0,BCN 2.1,X,301.5");
        Tick();
        EXPECT_EQ(Sent(), "~0$JAPP\r\n~50$JI\r\n~50~0");
        // The application's firmware comes with a capture.
        EXPECT_EQ(Texts({IDC_GPS6_APP1, IDC_GPS6_APP2, IDC_GPS6_DSP, IDC_GPS6_BEACON}),
                  "SBAS, |LBAND, |DSP 3.0|BCN 2.1");
        // Receiver types outside the list are shown and stored as a GPS receiver.
        for (const auto& [type, name] :
             {std::pair{1, "Varnholt Quillbar"}, {7, "Varnholt GPS"}, {-1, "Varnholt GPS"}}) {
            g_GPS.Info.eReceiverType = type;
            S()->OnInitDialog();
            EXPECT_EQ(Text(IDC_GPS6_DEVICE), name) << type;
            EXPECT_EQ(g_GPS.Info.eReceiverType, type == 7 || type == -1 ? 0 : type);
        }
        EXPECT_EQ(LeaveSent(), "$PKRV,1,0\r\n~10");
    });
}

TEST_F(Gps6Test, CaptureRunsAsTimedStepsWhileTheWindowStaysAlive) {
    const std::string switches =
        "$JAPP,OTHER\r\n|7000|$JI\r\n|1000|$JI\r\n|1000|$JAPP,OTHER\r\n|7000|$JAPP\r\n|500|"
        "$JDIFF\r\n|500|$JDIFF,WAAS\r\n|500|$JAPP\r\n|1000|$JAPP\r\n|1000|";
    // The other port's baud, whether the other application replies to "$JI", what each step
    // sent and then the step's wait, the second application shown.
    // clang-format off
    const struct { int otherBaud; bool answers; std::string timeline; const char* app2; } cases[] = {
        {19200, true, "~0" + switches, "LBAND, LBAND-4.7"}, {19200, false, "~0" + switches, "LBAND, "},
        {9600, true, "~0$JBAUD,19200,OTHER\r\n~250|1000|" + switches + "$JBAUD,9600,OTHER\r\n~250|1000|", "LBAND, LBAND-4.7"}};
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.timeline);
        Start();
        g_GPS.Info.Settings.WizardLive.iNMEABaudRate = 19200;
        g_GPS.Info.Settings.WizardLive.iRTCMBaudRate = c.otherBaud;
        g_GPS.Info.eCurCorrSource = CORR_SBAS;
        OnScreen(SCR_GPS_6, [&] {
            ASSERT_TRUE(Feed(">JAPP,WAAS,LBAND"));
            ASSERT_TRUE(Feed(">JI,311,2,3,4,5,01,WAAS-1.2a,DSP 3.0"));
            Click(IDC_GPS6_GO);
            EXPECT_EQ(Text(IDC_GPS6_STATUS), "Wait until system captures information.");
            EXPECT_FALSE(S()->IsItemEnabled(IDC_GPS6_GO));
            ClearWire();
            Tick();  // the capture starts at the next tick
            EXPECT_EQ(iCaptureState, 1);
            // Each step as its timer runs it: what it sent, then its wait on the virtual clock.
            std::string timeline;
            std::vector<int> positions;
            for (int step = 0; step < 40; ++step) {
                const std::string sent = Sent();
                timeline += sent;
                ClearWire();
                const int pos = S()->GetPos(IDC_GPS6_PROGRESS);
                if (iCaptureState == 1) {
                    if (positions.empty() || positions.back() != pos) positions.push_back(pos);
                    // The baud steps lie outside the progress bar's time.
                    if (sent.find("$JBAUD") == std::string::npos) {
                        EXPECT_EQ(S()->IsItemVisible(IDC_GPS6_PROGRESS), pos < 9);
                        EXPECT_NE(S()->IsItemVisible(IDC_GPS6_STATUS), pos < 9);
                    }
                    // The screen and the link watchdog do nothing meanwhile; no tabs.
                    EXPECT_FALSE(S()->IsItemEnabled(IDC_GPS6_TAB));
                    S()->OnTimer(1);
                    S()->OnTimer(kLinkWatchTimer);
                    EXPECT_EQ(Sent(), "");
                    if (c.answers && sent == "$JI\r\n") {
                        ASSERT_TRUE(Feed(">JI,311,2,3,4,5,01,LBAND-4.7,DSP 3.0"));
                    }
                }
                if (!S()->IsTimerRunning(kCaptureStepTimer)) break;
                const int ms = S()->TimerInterval(kCaptureStepTimer);
                timeline += "|" + std::to_string(ms) + "|";
                clock.Advance(static_cast<uint32_t>(ms));
                Tick(kCaptureStepTimer);
            }
            EXPECT_EQ(timeline, c.timeline);
            positions.push_back(S()->GetPos(IDC_GPS6_PROGRESS));
            positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
            EXPECT_EQ(positions, (std::vector<int>{0, 3, 4, 7, 9}));
            EXPECT_EQ((std::vector<int>{iCaptureState, S()->IsItemVisible(IDC_GPS6_PROGRESS),
                                        S()->IsItemEnabled(IDC_GPS6_GO),
                                        S()->IsItemEnabled(IDC_GPS6_TAB)}),
                      (std::vector<int>{2, 0, 1, 1}));
            EXPECT_EQ(Text(IDC_GPS6_STATUS), "Click GO Button to Capture Information.");
            ASSERT_TRUE(Feed(">JAPP,WAAS,LBAND"));
            S()->ShowInfo();
            EXPECT_EQ(Texts({IDC_GPS6_APP1, IDC_GPS6_APP2}),
                      std::string("SBAS, WAAS-1.2a|") + c.app2);
            // The watchdog waits out the hold-off, then runs again.
            EXPECT_EQ(S()->TimerInterval(2), 3000);
            const int32_t ticks = iLinkWatchTicks;
            Tick(kLinkWatchTimer);
            EXPECT_EQ(iLinkWatchTicks, ticks);
            Tick(2);
            EXPECT_EQ(iCaptureState, 0);
            Tick(kLinkWatchTimer);
            EXPECT_EQ(iLinkWatchTicks, ticks + 1);
        });
        TearDown();
    }
}

}  // namespace
