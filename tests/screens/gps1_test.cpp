// The position screen headless: read-outs from the record and the decoders, units and
// formats, pause, demo mode, the commands on entry and leave, the differential-source combo
// and screenshots.

#include <gtest/gtest.h>
#include <time.h>

#include <string>
#include <vector>

#include "engine/gps.h"
#include "engine/nmea.h"
#include "engine/scomm.h"
#include "engine/txnmea.h"
#include "platform/bytes.h"
#include "platform/numbers.h"
#include "platform/trace.h"
#include "screens/position/GPS_1.h"
#include "shell/CoordFormat.h"
#include "shell/DiffSource.h"
#include "shell/Tessaray_PC.h"
#include "support/frames.h"
#include "support/qt/screen_harness.h"
#include "support/qt/shell_harness.h"
#include "support/qt/test_pages.h"
#include "ui/automation.h"
#include "ui/pictures.h"

namespace {

class Gps1Test : public shelltest::ScreenTest {
protected:
    void Start(double scale = 1.0) {
        ScreenTest::Start(scale);
        Open(SCR_GPS_1);
    }
    CGPS_1* Screen1() { return As<CGPS_1>(SCR_GPS_1); }
};

// Fills the record as the decoders would for one fix.
void FillRecord() {
    GPSInfo& info = g_GPS.Info;
    RecordLock lock(info.Nav.ulNavLock);
    NavInfo& n = info.Nav;
    n.iYear = 2024, n.iMonth = 3, n.iDay = 7, n.iHour = 12, n.iMinute = 35, n.iSecond = 19;
    n.iLocalYear = 2024, n.iLocalMonth = 3, n.iLocalDay = 7;
    n.iLocalHour = 6, n.iLocalMinute = 35, n.iLocalSecond = 19;
    n.cLatDir = 'S', n.iLatDeg = 45, n.dLatMin = 30.5;
    n.cLonDir = 'E', n.iLonDeg = 11, n.dLonMin = 31.0;
    n.fAltitude = 545.4f;
    n.fSpeedKmh = 12.5f;
    n.fCourse = 54.7f;
    n.fHeading = 123.5f;
    n.fGSTLatErr = 3.0f;
    n.fGSTLonErr = 4.0f;
    n.fHDOP = 0.9f;
    n.fDiffAge = 2.0f;
}

// Date, time, latitude, longitude, altitude, speed, course, precision, HDOP, age.
#define GPS1_READOUTS                                                                              \
    Texts({IDC_GPS1_DATE, IDC_GPS1_TIME, IDC_GPS1_LAT, IDC_GPS1_LON, IDC_GPS1_ALT, IDC_GPS1_SPEED, \
           IDC_GPS1_COURSE, IDC_GPS1_PRECISION, IDC_GPS1_HDOP, IDC_GPS1_DIFFAGE})

TEST_F(Gps1Test, ReadoutsForEveryUnitFormatAndConfidence) {
    Start();
    FillRecord();
    const struct {
        int time, format, distance, speed, confidence;
        const char* readouts;
    } cases[] = {
        {1, 0, 0, 0, 0,
         " 3/07/2024|12:35:19| -45 30.500000|  11 31.000000|   545.400|12.500000|54.700001|"
         "5.000000|     0.900|     2.000"},
        {0, 1, 1, 1, 1,
         " 3/07/2024| 6:35:19| -45.5083333|  11.5166667|  1788.912|7.768750|54.700001|"
         "10.000000|     0.900|     2.000"},
        {1, 2, 0, 2, 2,
         " 3/07/2024|12:35:19| -45 30 30.0000|  11 31 00.0000|   545.400|6.750000|54.700001|"
         "4.000000|     0.900|     2.000"},
        {0, 0, 1, 0, 3,
         " 3/07/2024| 6:35:19| -45 30.500000|  11 31.000000|  1788.912|12.500000|54.700001|"
         "15.000000|     0.900|     2.000"},
    };
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_1);
    run.Add([&] {
        for (const auto& c : cases) {
            Choose(IDC_GPS1_TIME_DISPLAY, c.time);
            Choose(IDC_GPS1_COORD_FORMAT, c.format);
            Choose(IDC_GPS1_DISTANCE_UNIT, c.distance);
            Choose(IDC_GPS1_SPEED_UNIT, c.speed);
            Choose(IDC_GPS1_CONFIDENCE, c.confidence);
            Tick();
            EXPECT_EQ(GPS1_READOUTS, c.readouts);
            // The choices are kept in the record (and so in the profile archive).
            const GPSInfo& i = g_GPS.Info;
            EXPECT_EQ(std::vector<int>({i.eTimeDisplay, i.eCoordFormat, i.eDistanceUnit,
                                        i.eSpeedUnit, i.eAccuracyLevel}),
                      std::vector<int>({c.time, c.format, c.distance, c.speed, c.confidence}));
        }
        // Only a heading receiver shows a heading.
        EXPECT_EQ(Text(IDC_GPS1_HEADING), "N/A");
        g_GPS.Info.eReceiverType = RECEIVER_HEADING;
        Tick();
        EXPECT_EQ(Text(IDC_GPS1_HEADING), "123.500000");
        g_GPS.Info.eReceiverType = RECEIVER_GPS;
        EndAll();
    });
    Run(run);
}

TEST_F(Gps1Test, ChoicesTakenFromTheRecordOnActivation) {
    Start();
    struct OffsetCase {
        float offset;
        int index;
    };
    const OffsetCase offsets[] = {{-6.0f, 36}, {12.0f, 0}, {-12.0f, 48}, {5.5f, 13}};
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_1);
    run.Add([&] {
        CGPS_1* s = Screen1();
        for (const OffsetCase& c : offsets) {
            g_GPS.Info.fLocalTimeOffset = c.offset;
            s->OnInitDialog();
            EXPECT_EQ(s->GetCurSel(IDC_GPS1_OFFSET), c.index) << c.offset;
            EXPECT_EQ(s->GetLBText(IDC_GPS1_OFFSET, c.index),
                      platform::Format("%.1f", static_cast<double>(c.offset)));
        }
        // Choosing an offset writes it at once.
        Choose(IDC_GPS1_OFFSET, 30);
        EXPECT_FLOAT_EQ(g_GPS.Info.fLocalTimeOffset, -3.0f);
        EXPECT_EQ(s->GetCount(IDC_GPS1_OFFSET), 49);

        // UTC hides the offset and its label; local shows them again.
        g_GPS.Info.eTimeDisplay = 1;
        g_GPS.Info.eCoordFormat = 2;
        g_GPS.Info.eDistanceUnit = 1;
        g_GPS.Info.eSpeedUnit = 2;
        g_GPS.Info.eAccuracyLevel = 3;
        s->OnInitDialog();
        EXPECT_FALSE(s->IsItemVisible(IDC_GPS1_OFFSET));
        EXPECT_FALSE(s->IsItemVisible(IDC_GPS1_OFFSET_LABEL));
        std::vector<int> chosen;
        for (int id : {IDC_GPS1_TIME_DISPLAY, IDC_GPS1_COORD_FORMAT, IDC_GPS1_DISTANCE_UNIT,
                       IDC_GPS1_SPEED_UNIT, IDC_GPS1_CONFIDENCE})
            chosen.push_back(s->GetCurSel(id));
        EXPECT_EQ(chosen, std::vector<int>({1, 2, 1, 2, 3}));
        EXPECT_FLOAT_EQ(s->m_fDistanceFactor, 3.28f);
        EXPECT_FLOAT_EQ(s->m_fSpeedFactor, 0.54f);
        EXPECT_FLOAT_EQ(s->m_fConfidenceFactor, 3.0f);
        EXPECT_EQ(s->GetLBText(IDC_GPS1_CONFIDENCE, 0), "1 \xCF\x83");
        Choose(IDC_GPS1_TIME_DISPLAY, 0);
        EXPECT_TRUE(s->IsItemVisible(IDC_GPS1_OFFSET));
        EXPECT_TRUE(s->IsItemVisible(IDC_GPS1_OFFSET_LABEL));
        EXPECT_EQ(g_GPS.Info.eTimeDisplay, 0);

        // A value outside its list leaves the combo and its factor as they were.
        g_GPS.Info.eSpeedUnit = 7;
        g_GPS.Info.eCoordFormat = -1;
        s->OnInitDialog();
        EXPECT_FLOAT_EQ(s->m_fSpeedFactor, 0.54f);
        EndAll();
    });
    Run(run);
}

TEST_F(Gps1Test, ReadoutsFromSentences) {
    Start();
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_1);
    run.Add([&] {
        Feed("GPGGA,123519.50,4530.5000,S,01131.000,E,1,08,0.9,545.4,M,46.9,M,2.0,0000");
        Feed("GPVTG,54.7,T,,M,6.7,N,12.5,K");
        Feed("GPGST,123519.50,1.2,3.1,2.2,45.0,3.0,4.0,5.5");
        Choose(IDC_GPS1_TIME_DISPLAY, 1);
        Choose(IDC_GPS1_COORD_FORMAT, 0);
        Choose(IDC_GPS1_CONFIDENCE, 1);
        Tick();
        // GGA carries no date: the computer's date stands in.
        const time_t now = time(nullptr);
        struct tm local {};
        localtime_r(&now, &local);
        EXPECT_EQ(GPS1_READOUTS, platform::Format("%2d/%02d/%4d", local.tm_mon + 1, local.tm_mday,
                                                  local.tm_year + 1900) +
                                     "|12:35:19| -45 30.500000|  11 31.000000|   545.400|12.500000|"
                                     "54.700001|10.000000|     0.900|     2.000");
        // Feet change the altitude only; the precision stays in metres.
        Choose(IDC_GPS1_DISTANCE_UNIT, 1);
        Tick();
        EXPECT_EQ(Text(IDC_GPS1_ALT), "  1788.912");
        EXPECT_EQ(Text(IDC_GPS1_PRECISION), "10.000000");
        EndAll();
    });
    Run(run);
}

// Data of a binary message 1.
std::string Message1(uint16_t week, double tow, double lat, double lon, float height) {
    platform::ByteWriter w;
    w.U8(3);  // age of corrections
    w.U8(9);  // satellites
    w.U16(week);
    w.F64(tow);
    w.F64(lat);
    w.F64(lon);
    w.F32(height);
    w.Zeros(4 * 4);  // velocities, residual
    w.U16(4);        // navigation mode
    w.U16(0);
    return w.str();
}

TEST_F(Gps1Test, ReadoutsFromBinaryMessage1WithLocalOffsets) {
    Start();
    struct Case {
        int offsetIndex;  // 12.0 - 0.5 * index hours
        double lat, lon;
        const char *local, *latDD, *latDMS;
    };
    // Week 1400 begins on 5 November 2006; 10:00:00 UTC.
    const Case cases[] = {
        {36, -0.5, -114.0576, "11/05/2006| 4:00:00|  -0 30.000000|-114 03.456000|    99.500",
         "  -0.5000000", "  -0 30 00.0000"},
        {48, 51.04311666, 7.5, "11/04/2006|22:00:00|  51 02.587000|   7 30.000000|    99.500",
         "  51.0431167", "  51 02 35.2200"},
        {13, -33.9999999999, 0.25, "11/05/2006|15:30:00| -34 00.000000|   0 15.000000|    99.500",
         " -34.0000000", " -34 00 00.0000"},
    };
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_1);
    run.Add([&] {
        for (const Case& c : cases) {
            Choose(IDC_GPS1_OFFSET, c.offsetIndex);
            ASSERT_TRUE(FeedBin(1, Message1(1400, 36000.0, c.lat, c.lon, 99.5f)));
            ASSERT_EQ(theApp().bBin1Position.load(), 1);
            Choose(IDC_GPS1_TIME_DISPLAY, 1);
            Tick();
            EXPECT_EQ(Texts({IDC_GPS1_DATE, IDC_GPS1_TIME, IDC_GPS1_DIFFAGE}),
                      "11/05/2006|10:00:00|     3.000");
            Choose(IDC_GPS1_TIME_DISPLAY, 0);
            Choose(IDC_GPS1_COORD_FORMAT, 0);
            Tick();
            EXPECT_EQ(
                Texts({IDC_GPS1_DATE, IDC_GPS1_TIME, IDC_GPS1_LAT, IDC_GPS1_LON, IDC_GPS1_ALT}),
                c.local);
            Choose(IDC_GPS1_COORD_FORMAT, 1);
            Tick();
            EXPECT_EQ(Text(IDC_GPS1_LAT), c.latDD) << c.offsetIndex;
            Choose(IDC_GPS1_COORD_FORMAT, 2);
            Tick();
            EXPECT_EQ(Text(IDC_GPS1_LAT), c.latDMS) << c.offsetIndex;
        }
        EndAll();
    });
    Run(run);
}

TEST_F(Gps1Test, PauseFreezesReadoutsButNotThePolling) {
    Start();
    FillRecord();
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_1);
    run.Add([&] {
        CGPS_1* s = Screen1();
        Choose(IDC_GPS1_COORD_FORMAT, 0);
        Tick();
        EXPECT_EQ(Text(IDC_GPS1_LAT), " -45 30.500000");
        EXPECT_TRUE(s->IsItemVisible(IDC_GPS1_PAUSE));
        EXPECT_FALSE(s->IsItemVisible(IDC_GPS1_RESUME));
        Click(IDC_GPS1_PAUSE);
        EXPECT_EQ(s->m_bPaused, 1);
        EXPECT_FALSE(s->IsItemVisible(IDC_GPS1_PAUSE));
        EXPECT_TRUE(s->IsItemVisible(IDC_GPS1_RESUME));

        g_GPS.Info.Nav.iLatDeg = 46;
        g_GPS.Info.Nav.fAltitude = 12.0f;
        Tick();
        EXPECT_EQ(Text(IDC_GPS1_LAT), " -45 30.500000");
        EXPECT_EQ(Text(IDC_GPS1_ALT), "   545.400");
        fake.ClearWrites();
        Tick(2);
        EXPECT_EQ(fake.written(), "$JAPP\r\n$JDIFF\r\n");

        Click(IDC_GPS1_RESUME);
        EXPECT_EQ(s->m_bPaused, 0);
        EXPECT_TRUE(s->IsItemVisible(IDC_GPS1_PAUSE));
        Tick();
        EXPECT_EQ(Text(IDC_GPS1_LAT), " -46 30.500000");
        EXPECT_EQ(Text(IDC_GPS1_ALT), "    12.000");

        // A new activation always starts running.
        Click(IDC_GPS1_PAUSE);
        s->OnInitDialog();
        EXPECT_EQ(s->m_bPaused, 0);
        EXPECT_TRUE(s->IsItemVisible(IDC_GPS1_PAUSE));
        EXPECT_FALSE(s->IsItemVisible(IDC_GPS1_RESUME));
        EndAll();
    });
    Run(run);
}

TEST_F(Gps1Test, DemoModeShowsTheDemoPosition) {
    Start();
    theApp().bDemoMode = 1;
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_1);
    run.Add([&] {
        Choose(IDC_GPS1_COORD_FORMAT, 0);
        Choose(IDC_GPS1_DISTANCE_UNIT, 0);
        Tick();
        EXPECT_EQ(Text(IDC_GPS1_LAT), "  51 02.587000");
        EXPECT_EQ(Text(IDC_GPS1_LON), "-114 03.456000");
        EXPECT_EQ(Text(IDC_GPS1_ALT), "  1100.000");
        EXPECT_EQ(g_GPS.Info.Nav.cLatDir, 'N');
        EXPECT_EQ(g_GPS.Info.Nav.cLonDir, 'W');
        theApp().bDemoMode = 0;
        EndAll();
    });
    Run(run);
}

const char* const kEntry =
    "$JASC,GPVTG,1\r\n$JASC,GPGST,1\r\n$JASC,GPGGA,1\r\n$JBIN,2,1\r\n$JAPP\r\n$JDIFF\r\n";
const char* const kLeave = "$JASC,GPVTG,0\r\n$JASC,GPGST,0\r\n$JASC,GPGGA,0\r\n$JBIN,2,0\r\n";

TEST_F(Gps1Test, EntryAndLeaveCommands) {
    Start();
    RegisterScreen(SCR_TERMINAL_1, [] {
        return std::make_unique<shelltest::TestPage>(SCR_TERMINAL_1, ScreenFamily::Terminal,
                                                     "Terminal");
    });
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_1);
    run.Add([&] {
        // Written by the first activation, before the screen's loop ran.
        EXPECT_EQ(fake.written(), kEntry);
        CGPS_1* s = Screen1();
        EXPECT_TRUE(s->IsTimerRunning(1));
        EXPECT_EQ(s->TimerInterval(1), 171);
        EXPECT_EQ(s->TimerInterval(2), 2000);
        EXPECT_EQ(s->GetCurSel(IDC_GPS1_TAB), 0);
        EXPECT_EQ(s->GetLBText(IDC_DIFF_SOURCE, 0), "SBAS");
        fake.ClearWrites();
        QuietPoll();
        s->RunNavRow(3);
    });
    WaitShown(run, SCR_TERMINAL_1);
    run.Add([&] {
        EXPECT_EQ(fake.written(), kLeave);
        EXPECT_FALSE(Screen1()->IsTimerRunning(1));
        EXPECT_FALSE(Screen1()->IsTimerRunning(2));
        fake.ClearWrites();
        QuietPoll();
        dynamic_cast<CBaseDialog*>(Screen(SCR_TERMINAL_1))->RunNavRow(1);
    });
    WaitShown(run, SCR_GPS_1);
    run.Add([&] {
        // The second visit re-runs the activation in the same loop.
        EXPECT_EQ(fake.written(), kEntry);
        EXPECT_EQ(ui::Dialog::RunningLoops(), 2);
        EXPECT_TRUE(Screen1()->IsTimerRunning(1));
        EndAll();
    });
    Run(run);
}

TEST_F(Gps1Test, TabsOfScreensNotAvailableAreInert) {
    Start();
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_1);
    run.Add([&] {
        CGPS_1* s = Screen1();
        platform::ClearTrace();
        for (int tab = 1; tab <= 5; ++tab) {
            if (IsScreenRegistered(static_cast<eScreen>(SCR_GPS_1 + tab))) continue;
            fake.ClearWrites();
            ASSERT_TRUE(ui::UserSelectTab(s->GetDlgItem(IDC_GPS1_TAB), tab));
            ui::ProcessPending();
            EXPECT_EQ(s->GetCurSel(IDC_GPS1_TAB), 0) << tab;
            EXPECT_TRUE(s->IsWindowVisible());
            EXPECT_TRUE(s->IsTimerRunning(1));
            EXPECT_EQ(fake.written(), "") << tab;
            EXPECT_TRUE(platform::TraceContains(
                std::string("screen ") + ScreenClassName(SCR_GPS_1 + tab) + " is not available"));
        }
        EXPECT_EQ(ui::Dialog::RunningLoops(), 1);
        EndAll();
    });
    Run(run);
}

struct DiffCase {
    int item;
    int source;
    const char* command;  // what the source command sends before the queries
    std::vector<uint32_t> pauses;
    int extThisPort;  // -1: not changed
};

TEST_F(Gps1Test, DiffSourceComboSendsEachSource) {
    Start();
    SetOptionCode(OPTION_TSPAN);
    const DiffCase cases[] = {
        {0, CORR_SBAS, "$JDIFF,WAAS\r\n", {500, 100, 100}, -1},
        {1, CORR_BEACON, "$JDIFF,BEACON\r\n", {500, 100, 100}, -1},
        {2, CORR_LBND, "$JDIFF,LBAND\r\n", {500, 100, 100}, -1},
        {3, CORR_NONE, "$JDIFF,NONE\r\n", {500, 100, 100}, -1},
        {4, CORR_XREF, "$JDIFF,WAAS\r\n", {500, 100, 100}, -1},
        {6, CORR_EXTERNAL, "$JDIFF,OTHER\r\n", {500, 100, 100}, 0},
        {5, CORR_EXTERNAL, "$JDIFF,THIS\r\n", {500, 100, 100}, 1},
        {7, CORR_TSPAN_BASE, "$JAPP\r\n", {500, 500, 100, 100}, -1},
        {8, CORR_TSPAN_ROVER, "$JAPP\r\n", {500, 500, 100, 100}, -1},
    };
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_1);
    run.Add([&] {
        CGPS_1* s = Screen1();
        ASSERT_EQ(s->GetCount(IDC_DIFF_SOURCE), 9);
        EXPECT_EQ(s->GetLBText(IDC_DIFF_SOURCE, 6), "EXT OTHER PORT");
        EXPECT_EQ(s->GetLBText(IDC_DIFF_SOURCE, 8), "t-Span Rover");
        for (const DiffCase& c : cases) {
            g_GPS.Info.eCurCorrSource = CORR_BEACON;
            g_GPS.Info.Nav.usNavMode = 4;
            s->SetCurSel(IDC_DIFF_SOURCE, c.item);
            fake.ClearWrites();
            clock.ClearPauses();
            ApplyDiffSourceItem(s, IDC_DIFF_SOURCE);
            EXPECT_EQ(fake.written(), std::string(c.command) + "$JAPP\r\n$JDIFF\r\n") << c.item;
            EXPECT_EQ(clock.pauses(), c.pauses) << c.item;
            EXPECT_EQ(g_GPS.Info.eReqCorrSource, c.source) << c.item;
            // Cleared until the receiver's answer sets it.
            EXPECT_EQ(g_GPS.Info.eCurCorrSource, CORR_NONE) << c.item;
            EXPECT_EQ(g_GPS.Info.Nav.usNavMode, 0) << c.item;
            if (c.extThisPort >= 0) {
                EXPECT_EQ(bExtThisPort.load(), c.extThisPort) << c.item;
            }
        }

        // A receiver whose other application is L-band switches to it first and then moves
        // the port to the chosen baud.
        InstallBaudHandOver();
        SetPortBaud(19200);
        SetTargetBaud(115200);
        g_GPS.Info.eRxOtherApp = CORR_LBND;
        s->SetCurSel(IDC_DIFF_SOURCE, 2);
        ClearWire();
        ApplyDiffSourceItem(s, IDC_DIFF_SOURCE);
        // Each reopening pauses 500 ms before the open, and 200 ms before closing an open port.
        EXPECT_EQ(Wire(),
                  (std::vector<std::string>{"$JAPP,OTHER\r\n", "~5000", "~500", "$JBAUD,115200\r\n",
                                            "~250", "~100", "~200", "~500", "$JDIFF,LBAND\r\n",
                                            "~500", "$JAPP\r\n", "~100", "$JDIFF\r\n", "~100"}));
        EXPECT_EQ(iActiveBaud, 19200);
        // Without a change of baud the hand-over sends nothing.
        SetPortBaud(38400);
        fake.ClearWrites();
        ApplyTargetBaud();
        EXPECT_EQ(fake.written(), "");

        // Without the t-Span capability the list has seven items.
        SetOptionCode(OPTION_20HZ);
        s->OnInitDialog();
        EXPECT_EQ(s->GetCount(IDC_DIFF_SOURCE), 7);
        EndAll();
    });
    Run(run);
}

TEST_F(Gps1Test, DiffSourceComboShowsTheCurrentSource) {
    Start();
    struct Case {
        int source;
        int extThisPort;
        uint32_t options;
        const char* text;
    };
    const Case cases[] = {
        {CORR_NONE, 1, 0, "NONE"},
        {CORR_BEACON, 1, 0, "BEACON"},
        {CORR_LBND, 1, 0, "LBND"},
        {CORR_SBAS, 1, 0, "SBAS"},
        {CORR_EXTERNAL, 1, 0, "EXT THIS PORT"},
        {CORR_EXTERNAL, 0, 0, "EXT OTHER PORT"},
        {CORR_XREF, 1, 0, "x-Ref"},
        {CORR_RTK, 1, 0, "NA"},
        {CORR_SUBSEA7, 1, 0, "NA"},
        {CORR_TSPAN_BASE, 1, 0, "NA"},
        {CORR_TSPAN_BASE, 1, OPTION_TSPAN, "t-Span Base"},
        {CORR_TSPAN_ROVER, 1, OPTION_TSPAN, "t-Span Rover"},
    };
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_1);
    run.Add([&] {
        CGPS_1* s = Screen1();
        for (const Case& c : cases) {
            SetOptionCode(c.options);
            s->OnInitDialog();
            g_GPS.Info.eCurCorrSource = c.source;
            bExtThisPort.store(c.extThisPort);
            Tick();
            EXPECT_EQ(s->GetDlgItemText(IDC_DIFF_SOURCE), c.text) << c.source;
        }
        EndAll();
    });
    Run(run);
}

TEST_F(Gps1Test, DiffSourceComboSwitchesScreens) {
    Start();
    RegisterScreen(SCR_BEACON_1, [] {
        return std::make_unique<shelltest::TestPage>(SCR_BEACON_1, ScreenFamily::Beacon, "Beacon");
    });
    // A group without its first screen: the position screen stands in.
    RegisterScreen(SCR_SBAS_1, nullptr);
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_1);
    run.Add([&] {
        fake.ClearWrites();
        QuietPoll();
        // The receiver has not answered when the switch is decided: the source asked for
        // decides, not the cleared one.
        Choose(IDC_DIFF_SOURCE, 1);
    });
    WaitShown(run, SCR_BEACON_1);
    run.Add([&] {
        EXPECT_EQ(fake.written(), std::string("$JDIFF,BEACON\r\n$JAPP\r\n$JDIFF\r\n") + kLeave);
        EXPECT_FALSE(Screen1()->IsWindowVisible());
        QuietPoll();
        dynamic_cast<CBaseDialog*>(Screen(SCR_BEACON_1))->RunNavRow(1);
    });
    WaitShown(run, SCR_GPS_1);
    run.Add([&] {
        // No SBAS screen: the position screen stands in and is activated again.
        platform::ClearTrace();
        fake.ClearWrites();
        QuietPoll();
        Choose(IDC_DIFF_SOURCE, 0);
        EXPECT_TRUE(Screen1()->IsWindowVisible());
        EXPECT_EQ(fake.written(),
                  std::string("$JDIFF,WAAS\r\n$JAPP\r\n$JDIFF\r\n") + kLeave + kEntry);
        EXPECT_TRUE(platform::TraceContains("CSBAS_1 is not available"));
        EXPECT_EQ(ui::Dialog::RunningLoops(), 2);

        // Once the receiver has answered, its answer decides.
        SendDiffSource(CORR_BEACON);
        EXPECT_EQ(DiffScreenTarget(GROUP_GPS), SCR_BEACON_1);
        Feed(">JDIFF,NONE");
        EXPECT_EQ(g_GPS.Info.eCurCorrSource, CORR_NONE);
        EXPECT_EQ(DiffScreenTarget(GROUP_GPS), SCR_GPS_1);
        EXPECT_EQ(DiffScreenTarget(GROUP_BEACON), SCR_BEACON_1);
        SendDiffSource(CORR_EXTERNAL);
        Feed(">JDIFF,BEACON");
        EXPECT_EQ(DiffScreenTarget(GROUP_BEACON), SCR_BEACON_1);
        // Sources that cannot be chosen lead to the SBAS group, here its stand-in.
        EXPECT_EQ(DiffScreenTarget(GROUP_SBAS), SCR_GPS_1);
        platform::ClearTrace();
        EXPECT_EQ(DiffScreenTarget(42), -1);
        EXPECT_TRUE(platform::TraceContains("internal error"));
        EndAll();
    });
    Run(run);
}

// A live fix as the screenshots show it: SBAS corrections, 3D+DIFF.
void LiveFix() {
    FillRecord();
    GPSInfo& info = g_GPS.Info;
    info.Nav.usNavMode = 4;
    info.Nav.iFixQuality = 2;
    info.eCurCorrSource = CORR_SBAS;
    info.LBand.iSBASBer1 = 0;
    info.LBand.iSBASBer2 = 500;
    info.eTimeDisplay = 1;
    info.eCoordFormat = COORD_DMM;
}

class Gps1ShotTest : public Gps1Test {
protected:
    void ShowLive(double scale, const char* name) {
        Start(scale);
        LiveFix();
        ui::StepRunner run;
        WaitShown(run, SCR_GPS_1);
        run.Add([this, name] {
            Tick();
            Tick();
            EXPECT_EQ(Screen1()->GetDlgItemText(1001), "3D+DIFF");
            EXPECT_EQ(Screen1()->GetDlgItemText(1002), "SBAS");
            EXPECT_TRUE(Screen1()->IsItemVisible(1047));
            EXPECT_EQ(Screen1()->GetDlgItemText(IDC_DIFF_SOURCE), "SBAS");
            EXPECT_EQ(Screen1()->GetPictureId(IDC_NAVBAR), 200);
            // The bar on screen is its picture at the control's size.
            const QSize size = Screen1()->GetDlgItem(IDC_NAVBAR)->size();
            const QImage bar = ui::Pictures::RenderSized(200, ui::PictureKind::Bitmap, size);
            for (const QPoint at : {QPoint(size.width() / 2, size.height() / 4),
                                    QPoint(size.width() / 3, size.height() * 3 / 4)}) {
                const QRgb p = bar.pixel(at);
                EXPECT_EQ(Pixel(IDC_NAVBAR, at.x(), at.y()),
                          (ui::Rgb{static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)),
                                   static_cast<uint8_t>(qBlue(p))}))
                    << at.x() << "," << at.y();
            }
            Shot(name);
            EndAll();
        });
        Run(run);
    }
};

TEST_F(Gps1ShotTest, ScreenshotScale1) {
    ShowLive(1.0, "gps1_live_scale_1.0");
}

TEST_F(Gps1ShotTest, ScreenshotScale15) {
    ShowLive(1.5, "gps1_live_scale_1.5");
}

}  // namespace
