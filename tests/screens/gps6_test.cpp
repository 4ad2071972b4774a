// The receiver information screen headless: commands on entry, tick and leave, every text it
// shows from a scripted receiver, and the firmware capture step by step on the virtual clock
// with a receiver that answers and one that does not.

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <algorithm>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/gps.h"
#include "screens/position/GPS_6.h"
#include "shell/BaseDialog.h"
#include "shell/Tessaray_PC.h"
#include "support/qt/screen_harness.h"
#include "ui/automation.h"
#include "ui/dialog.h"

namespace {

using Lines = std::vector<std::string>;

class Gps6Test : public shelltest::ScreenTest {
protected:
    CGPS_6* S() { return As<CGPS_6>(SCR_GPS_6); }

    // Runs the capture's steps as their timer would, recording the wire and each wait.
    // `onStep` runs after each step, with what the step sent, before the wait.
    Lines RunCapture(const std::function<void(const Lines&)>& onStep) {
        Lines timeline;
        for (int step = 0; step < 40; ++step) {
            const Lines wire = Wire();
            timeline.insert(timeline.end(), wire.begin(), wire.end());
            ClearWire();
            onStep(wire);
            if (!S()->IsTimerRunning(kCaptureStepTimer)) break;
            const int ms = S()->TimerInterval(kCaptureStepTimer);
            timeline.push_back("wait " + std::to_string(ms));
            clock.Advance(static_cast<uint32_t>(ms));
            Tick(kCaptureStepTimer);
        }
        return timeline;
    }
};

TEST_F(Gps6Test, CommandsAndTextsFromTheReceiver) {
    Start();
    struct TypeCase {
        int type;
        const char* name;
        int stored;
    };
    const TypeCase types[] = {{0, "Varnholt GPS", 0},
                              {1, "Varnholt Quillbar", 1},
                              {2, "Varnholt Bluetooth", 2},
                              {7, "Varnholt GPS", 0},
                              {-1, "Varnholt GPS", 0}};
    Open(SCR_GPS_6);
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_6);
    run.Add([&] {
        EXPECT_EQ(Wire(), (Lines{"$JOFF\r\n", "~250", "$PKRV,1,1\r\n", "~10", "~50", "$JAPP\r\n",
                                 "~50", "$JI\r\n", "~50"}));
        // Nothing heard yet.
        EXPECT_EQ(Text(IDC_GPS6_APP1), "NODIFF, ");
        EXPECT_EQ(Text(IDC_GPS6_DSP), "Not Found");
        EXPECT_EQ(Text(IDC_GPS6_BEACON), "Not Found");
        EXPECT_EQ(Text(IDC_GPS6_STATUS), "Click GO Button to Capture Information.");
        ClearWire();
        ASSERT_TRUE(Feed(">JAPP,WAAS,LBAND"));
        ASSERT_TRUE(Feed(">JI,311,2,3,4,5,01,WAAS-1.2a,DSP 3.0"));
        Feed("PKRV,CS0,BCN 2.1,X,301.5");
        Tick();
        EXPECT_EQ(Wire(), (Lines{"~0", "$JAPP\r\n", "~50", "$JI\r\n", "~50", "~0"}));
        EXPECT_EQ(Text(IDC_GPS6_APP1), "SBAS, ");  // its firmware comes with a capture
        EXPECT_EQ(Text(IDC_GPS6_APP2), "LBAND, ");
        EXPECT_EQ(Text(IDC_GPS6_DSP), "DSP 3.0");
        EXPECT_EQ(Text(IDC_GPS6_BEACON), "BCN 2.1");
        for (const TypeCase& t : types) {
            g_GPS.Info.eReceiverType = t.type;
            S()->OnInitDialog();
            EXPECT_EQ(Text(IDC_GPS6_DEVICE), t.name) << t.type;
            EXPECT_EQ(g_GPS.Info.eReceiverType, t.stored) << t.type;
        }
        ClearWire();
        ui::UserSelectTab(S()->GetDlgItem(IDC_GPS6_TAB), 0);
    });
    WaitShown(run, SCR_GPS_1);
    run.Add([&] {
        const Lines wire = Wire();
        ASSERT_GE(wire.size(), 2u);
        EXPECT_EQ(Lines(wire.begin(), wire.begin() + 2), (Lines{"$PKRV,1,0\r\n", "~10"}));
        EndAll();
    });
    Run(run);
}

struct CaptureCase {
    const char* name;
    int nmeaBaud, otherBaud;
    bool answers;  // the other application replies to "$JI"
    Lines timeline;
    const char* app2;
};

void PrintTo(const CaptureCase& c, std::ostream* os) {
    *os << c.name;
}

class Gps6CaptureTest : public Gps6Test, public ::testing::WithParamInterface<CaptureCase> {};

const Lines kSwitches = {
    "$JAPP,OTHER\r\n", "wait 7000", "$JI\r\n",   "wait 1000", "$JI\r\n",    "wait 1000",
    "$JAPP,OTHER\r\n", "wait 7000", "$JAPP\r\n", "wait 500",  "$JDIFF\r\n", "wait 500",
    "$JDIFF,WAAS\r\n", "wait 500",  "$JAPP\r\n", "wait 1000", "$JAPP\r\n",  "wait 1000"};

Lines Cat(std::initializer_list<Lines> parts) {
    Lines out;
    for (const Lines& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

TEST_P(Gps6CaptureTest, CaptureRunsAsTimedStepsWhileTheWindowStaysAlive) {
    const CaptureCase& c = GetParam();
    Start();
    {
        GPSInfo& info = g_GPS.Info;
        info.Settings.WizardLive.iNMEABaudRate = c.nmeaBaud;
        info.Settings.WizardLive.iRTCMBaudRate = c.otherBaud;
        info.eCurCorrSource = CORR_SBAS;
    }
    Open(SCR_GPS_6);
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_6);
    run.Add([&] {
        ASSERT_TRUE(Feed(">JAPP,WAAS,LBAND"));
        ASSERT_TRUE(Feed(">JI,311,2,3,4,5,01,WAAS-1.2a,DSP 3.0"));
        Click(IDC_GPS6_GO);
        EXPECT_EQ(Text(IDC_GPS6_STATUS), "Wait until system captures information.");
        EXPECT_FALSE(S()->IsItemEnabled(IDC_GPS6_GO));
        ClearWire();
        Tick();  // the capture starts at the next tick
        EXPECT_EQ(iCaptureState, 1);
        std::vector<int> positions;
        QImage third, seventh;
        const Lines timeline = RunCapture([&](const Lines& sent) {
            if (iCaptureState != 1) return;
            const int pos = S()->GetPos(IDC_GPS6_PROGRESS);
            if (positions.empty() || positions.back() != pos) positions.push_back(pos);
            // The baud steps lie outside the progress bar's time.
            if (std::none_of(sent.begin(), sent.end(),
                             [](const std::string& e) { return e.rfind("$JBAUD", 0) == 0; })) {
                EXPECT_EQ(S()->IsItemVisible(IDC_GPS6_PROGRESS), pos < 9);
                EXPECT_NE(S()->IsItemVisible(IDC_GPS6_STATUS), pos < 9);
            }
            // The screen and the link watchdog do nothing meanwhile; the tabs are closed.
            EXPECT_FALSE(S()->IsItemEnabled(IDC_GPS6_TAB));
            const Lines before = Wire();
            S()->OnTimer(1);
            S()->OnTimer(kLinkWatchTimer);
            EXPECT_EQ(Wire(), before);
            // The other application answers once it runs.
            if (c.answers && sent == Lines{"$JI\r\n"}) {
                ASSERT_TRUE(Feed(">JI,311,2,3,4,5,01,LBAND-4.7,DSP 3.0"));
            }
            if (pos == 3 && third.isNull()) third = S()->Widget()->grab().toImage();
            if (pos == 7 && seventh.isNull()) seventh = S()->Widget()->grab().toImage();
        });
        EXPECT_EQ(timeline, c.timeline);
        if (positions.back() != S()->GetPos(IDC_GPS6_PROGRESS))
            positions.push_back(S()->GetPos(IDC_GPS6_PROGRESS));
        EXPECT_EQ(positions, (std::vector<int>{0, 3, 4, 7, 9}));
        // The progress bar was painted as it moved.
        ASSERT_FALSE(third.isNull());
        ASSERT_FALSE(seventh.isNull());
        EXPECT_NE(third, seventh);

        EXPECT_EQ(iCaptureState, 2);
        EXPECT_FALSE(S()->IsItemVisible(IDC_GPS6_PROGRESS));
        EXPECT_TRUE(S()->IsItemVisible(IDC_GPS6_STATUS));
        EXPECT_EQ(Text(IDC_GPS6_STATUS), "Click GO Button to Capture Information.");
        EXPECT_TRUE(S()->IsItemEnabled(IDC_GPS6_GO));
        EXPECT_TRUE(S()->IsItemEnabled(IDC_GPS6_TAB));
        ASSERT_TRUE(Feed(">JAPP,WAAS,LBAND"));
        S()->ShowInfo();
        EXPECT_EQ(Text(IDC_GPS6_APP1), "SBAS, WAAS-1.2a");
        EXPECT_EQ(Text(IDC_GPS6_APP2), c.app2);
        Shot(std::string("gps6_about_") + c.name);

        // The watchdog waits out the hold-off, then runs again.
        EXPECT_EQ(S()->TimerInterval(2), 3000);
        const int32_t ticks = iLinkWatchTicks;
        Tick(kLinkWatchTimer);
        EXPECT_EQ(iLinkWatchTicks, ticks);
        Tick(2);
        EXPECT_EQ(iCaptureState, 0);
        Tick(kLinkWatchTimer);
        EXPECT_EQ(iLinkWatchTicks, ticks + 1);
        EndAll();
    });
    Run(run);
}

INSTANTIATE_TEST_SUITE_P(
    Receivers, Gps6CaptureTest,
    ::testing::Values(CaptureCase{"same bauds", 19200, 19200, true, Cat({{"~0"}, kSwitches}),
                                  "LBAND, LBAND-4.7"},
                      CaptureCase{"other port slower", 19200, 9600, true,
                                  Cat({{"~0", "$JBAUD,19200,OTHER\r\n", "~250", "wait 1000"},
                                       kSwitches,
                                       {"$JBAUD,9600,OTHER\r\n", "~250", "wait 1000"}}),
                                  "LBAND, LBAND-4.7"},
                      CaptureCase{"silent other application", 19200, 19200, false,
                                  Cat({{"~0"}, kSwitches}), "LBAND, "}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (ch == ' ') ch = '_';
        return name;
    });

}  // namespace
