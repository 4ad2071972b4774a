// The position screen: read-outs in every unit and format from the record and the decoders,
// pause, demo mode, entry and leave commands, and the differential-source combo.

#include <gtest/gtest.h>
#include <time.h>

#include <QImage>
#include <QWidget>
#include <string>
#include <vector>

#include "engine/gps.h"
#include "engine/txnmea.h"
#include "platform/bytes.h"
#include "platform/numbers.h"
#include "platform/trace.h"
#include "screens/position/GPS_1.h"
#include "shell/DiffSource.h"
#include "shell/Tessaray_PC.h"
#include "support/qt/screen_harness.h"
#include "support/qt/test_pages.h"
#include "ui/pictures.h"

namespace {

using Lines = std::vector<std::string>;

class Gps1Test : public shelltest::ScreenTest {
protected:
    CGPS_1* S() { return As<CGPS_1>(SCR_GPS_1); }
    void ChooseAll(int time, int format, int distance, int speed, int confidence) {
        Choose(IDC_GPS1_TIME_DISPLAY, time);
        Choose(IDC_GPS1_COORD_FORMAT, format);
        Choose(IDC_GPS1_DISTANCE_UNIT, distance);
        Choose(IDC_GPS1_SPEED_UNIT, speed);
        Choose(IDC_GPS1_CONFIDENCE, confidence);
    }
};

const char* const kEntry =
    "$JASC,GPVTG,1\r\n$JASC,GPGST,1\r\n$JASC,GPGGA,1\r\n$JBIN,2,1\r\n$JAPP\r\n$JDIFF\r\n";
const char* const kLeave = "$JASC,GPVTG,0\r\n$JASC,GPGST,0\r\n$JASC,GPGGA,0\r\n$JBIN,2,0\r\n";

TEST_F(Gps1Test, ReadoutsPauseAndDemo) {
    Start();
    NavInfo& n = g_GPS.Info.Nav;
    n.iYear = 2024, n.iMonth = 3, n.iDay = 7, n.iHour = 12, n.iMinute = 35, n.iSecond = 19;
    n.iLocalYear = 2024, n.iLocalMonth = 3, n.iLocalDay = 7;
    n.iLocalHour = 6, n.iLocalMinute = 35, n.iLocalSecond = 19;
    n.cLatDir = 'S', n.iLatDeg = 45, n.dLatMin = 30.5, n.cLonDir = 'E', n.iLonDeg = 11;
    n.dLonMin = 31.0, n.fAltitude = 545.4f, n.fSpeedKmh = 12.5f, n.fCourse = 54.7f;
    n.fHeading = 123.5f, n.fGSTLatErr = 3.0f, n.fGSTLonErr = 4.0f, n.fHDOP = 0.9f;
    n.fDiffAge = 2.0f;
    OnScreen(SCR_GPS_1, [&] {
        ChooseAll(1, 0, 0, 0, 0);
        Tick();
        EXPECT_EQ(Texts({IDC_GPS1_DATE, IDC_GPS1_TIME, IDC_GPS1_LAT, IDC_GPS1_LON, IDC_GPS1_ALT,
                         IDC_GPS1_SPEED, IDC_GPS1_COURSE, IDC_GPS1_PRECISION, IDC_GPS1_HDOP,
                         IDC_GPS1_DIFFAGE, IDC_GPS1_HEADING}),
                  " 3/07/2024|12:35:19| -45 30.500000|  11 31.000000|   545.400|12.500000|"
                  "54.700001|5.000000|     0.900|     2.000|N/A");
        const struct {
            int time, format, distance, speed, confidence;
            const char* shown;  // time, latitude, longitude, altitude, speed, precision
        } cases[] = {
            {0, 1, 1, 1, 1, " 6:35:19| -45.5083333|  11.5166667|  1788.912|7.768750|10.000000"},
            {1, 2, 0, 2, 2,
             "12:35:19| -45 30 30.0000|  11 31 00.0000|   545.400|6.750000|4.000000"},
            {0, 0, 1, 0, 3,
             " 6:35:19| -45 30.500000|  11 31.000000|  1788.912|12.500000|15.000000"},
        };
        for (const auto& c : cases) {
            ChooseAll(c.time, c.format, c.distance, c.speed, c.confidence);
            Tick();
            EXPECT_EQ(Texts({IDC_GPS1_TIME, IDC_GPS1_LAT, IDC_GPS1_LON, IDC_GPS1_ALT,
                             IDC_GPS1_SPEED, IDC_GPS1_PRECISION}),
                      c.shown);
            // The choices are kept in the record (and so in the profile archive).
            const GPSInfo& i = g_GPS.Info;
            EXPECT_EQ(std::vector<int>({i.eTimeDisplay, i.eCoordFormat, i.eDistanceUnit,
                                        i.eSpeedUnit, i.eAccuracyLevel}),
                      std::vector<int>({c.time, c.format, c.distance, c.speed, c.confidence}));
        }
        g_GPS.Info.eReceiverType = RECEIVER_HEADING;
        Tick();
        EXPECT_EQ(Text(IDC_GPS1_HEADING), "123.500000");

        // Pause freezes the read-outs, not the polling; a new activation runs again.
        Click(IDC_GPS1_PAUSE);
        n.iLatDeg = 46;
        Tick();
        EXPECT_EQ(Text(IDC_GPS1_LAT), " -45 30.500000");
        ClearWire();
        Tick(2);
        EXPECT_EQ(Wire(), (Lines{"$JAPP\r\n", "$JDIFF\r\n", "~10", "~0"}));
        Click(IDC_GPS1_RESUME);
        Click(IDC_GPS1_PAUSE);
        S()->OnInitDialog();
        EXPECT_FALSE(S()->IsItemVisible(IDC_GPS1_RESUME));
        Tick();
        EXPECT_EQ(Text(IDC_GPS1_LAT), " -46 30.500000");

        theApp().bDemoMode = 1;
        Tick();
        EXPECT_EQ(Texts({IDC_GPS1_LAT, IDC_GPS1_LON, IDC_GPS1_ALT}),
                  "  51 02.587000|-114 03.456000|  3608.000");
        theApp().bDemoMode = 0;
    });
}

TEST_F(Gps1Test, ChoicesTakenFromTheRecordAtScale15) {
    Start(1.5);
    OnScreen(SCR_GPS_1, [&] {
        CGPS_1* s = S();
        // The navigation bar on screen is its picture at the control's size.
        const QSize size = s->GetDlgItem(IDC_NAVBAR)->size();
        const QImage bar =
            ui::Pictures::RenderSized(s->GetPictureId(IDC_NAVBAR), ui::PictureKind::Bitmap, size);
        for (const QPoint at : {QPoint(size.width() / 2, size.height() / 4),
                                QPoint(size.width() / 3, size.height() * 3 / 4)}) {
            const QRgb p = bar.pixel(at);
            EXPECT_EQ(Pixel(IDC_NAVBAR, at.x(), at.y()),
                      (ui::Rgb{uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p))}));
        }
        Shot("gps1_scale_1.5");
        for (const auto& [offset, index] : {std::pair{-6.0f, 36}, {12.0f, 0}, {-12.0f, 48}}) {
            g_GPS.Info.fLocalTimeOffset = offset;
            s->OnInitDialog();
            EXPECT_EQ(s->GetCurSel(IDC_GPS1_OFFSET), index) << offset;
        }
        Choose(IDC_GPS1_OFFSET, 13);
        EXPECT_FLOAT_EQ(g_GPS.Info.fLocalTimeOffset, 5.5f);

        // UTC hides the offset; a value outside its list leaves the factor as it was.
        GPSInfo& i = g_GPS.Info;
        i.eTimeDisplay = 1, i.eCoordFormat = 2, i.eDistanceUnit = 1, i.eSpeedUnit = 2;
        i.eAccuracyLevel = 3;
        s->OnInitDialog();
        EXPECT_FALSE(s->IsItemVisible(IDC_GPS1_OFFSET_LABEL));
        EXPECT_EQ(Texts({IDC_GPS1_TIME_DISPLAY, IDC_GPS1_COORD_FORMAT, IDC_GPS1_DISTANCE_UNIT,
                         IDC_GPS1_SPEED_UNIT, IDC_GPS1_CONFIDENCE}),
                  "UTC|DMS|Feet|KNOTS|99%");
        i.eSpeedUnit = 7, i.eCoordFormat = -1;
        s->OnInitDialog();
        EXPECT_FLOAT_EQ(s->m_fSpeedFactor, 0.54f);
        Choose(IDC_GPS1_TIME_DISPLAY, 0);
        EXPECT_TRUE(s->IsItemVisible(IDC_GPS1_OFFSET));
    });
}

std::string Message1(double lat, double lon) {
    platform::ByteWriter w;
    w.U8(3), w.U8(9), w.U16(1400), w.F64(36000.0);  // age, satellites, week, time of week
    w.F64(lat), w.F64(lon), w.F32(99.5f);
    w.Zeros(4 * 4), w.U16(4), w.U16(0);  // velocities, residual, navigation mode
    return w.str();
}

TEST_F(Gps1Test, ReadoutsFromTheDecoders) {
    Start();
    OnScreen(SCR_GPS_1, [&] {
        Feed("GPGGA,123519.50,4530.5000,S,01131.000,E,1,08,0.9,545.4,M,46.9,M,2.0,0000");
        Feed("GPVTG,54.7,T,,M,6.7,N,12.5,K");
        Feed("GPGST,123519.50,1.2,3.1,2.2,45.0,3.0,4.0,5.5");
        ChooseAll(1, 0, 1, 0, 1);
        Tick();
        // GGA carries no date: the computer's date stands in. Feet change the altitude only.
        const time_t now = time(nullptr);
        struct tm local {};
        localtime_r(&now, &local);
        EXPECT_EQ(Texts({IDC_GPS1_DATE, IDC_GPS1_TIME, IDC_GPS1_LAT, IDC_GPS1_LON, IDC_GPS1_ALT,
                         IDC_GPS1_SPEED, IDC_GPS1_COURSE, IDC_GPS1_PRECISION, IDC_GPS1_HDOP,
                         IDC_GPS1_DIFFAGE}),
                  platform::Format("%2d/%02d/%4d", local.tm_mon + 1, local.tm_mday,
                                   local.tm_year + 1900) +
                      "|12:35:19| -45 30.500000|  11 31.000000|  1788.912|12.500000|54.700001|"
                      "10.000000|     0.900|     2.000");

        // Binary message 1 of week 1400 (from 5 November 2006) at 10:00:00 UTC: date, time,
        // latitude, longitude and altitude at local offsets, then the latitude in D.D and DMS.
        const struct {
            int offsetIndex;  // 12.0 - 0.5 * index hours
            double lat, lon;
            const char* shown;
        } cases[] = {
            {36, -0.5, -114.0576,
             "11/05/2006| 4:00:00|  -0 30.000000|-114 03.456000|    99.500|  -0.5000000|  -0 30 "
             "00.0000"},
            {48, 51.04311666, 7.5,
             "11/04/2006|22:00:00|  51 02.587000|   7 30.000000|    99.500|  51.0431167|  51 02 "
             "35.2200"},
            {13, -33.9999999999, 0.25,
             "11/05/2006|15:30:00| -34 00.000000|   0 15.000000|    99.500| -34.0000000| -34 00 "
             "00.0000"},
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.offsetIndex);
            ChooseAll(0, 0, 0, 0, 0);
            Choose(IDC_GPS1_OFFSET, c.offsetIndex);
            ASSERT_TRUE(FeedBin(1, Message1(c.lat, c.lon)));
            ASSERT_EQ(theApp().bBin1Position.load(), 1);
            Tick();
            std::string shown =
                Texts({IDC_GPS1_DATE, IDC_GPS1_TIME, IDC_GPS1_LAT, IDC_GPS1_LON, IDC_GPS1_ALT});
            for (int format : {1, 2}) {
                Choose(IDC_GPS1_COORD_FORMAT, format);
                Tick();
                shown += "|" + Text(IDC_GPS1_LAT);
            }
            EXPECT_EQ(shown, c.shown);
            Choose(IDC_GPS1_TIME_DISPLAY, 1);
            Tick();
            EXPECT_EQ(Texts({IDC_GPS1_DATE, IDC_GPS1_TIME, IDC_GPS1_DIFFAGE}),
                      "11/05/2006|10:00:00|     3.000");
        }
    });
}

TEST_F(Gps1Test, DiffSourceComboSendsAndShowsEachSource) {
    Start();
    SetOptionCode(OPTION_TSPAN);
    OnScreen(SCR_GPS_1, [&] {
        CGPS_1* s = S();
        ASSERT_EQ(s->GetCount(IDC_DIFF_SOURCE), 9);
        // Item, source asked for, its command ("" for t-Span: the application query), and
        // whether the corrections come in on this port (-1: unchanged).
        const struct {
            int item, source;
            const char* command;
            int extThisPort;
        } cases[] = {{0, CORR_SBAS, "$JDIFF,WAAS\r\n", -1},
                     {1, CORR_BEACON, "$JDIFF,BEACON\r\n", -1},
                     {2, CORR_LBND, "$JDIFF,LBAND\r\n", -1},
                     {3, CORR_NONE, "$JDIFF,NONE\r\n", -1},
                     {4, CORR_XREF, "$JDIFF,WAAS\r\n", -1},
                     {6, CORR_EXTERNAL, "$JDIFF,OTHER\r\n", 0},
                     {5, CORR_EXTERNAL, "$JDIFF,THIS\r\n", 1},
                     {7, CORR_TSPAN_BASE, "", -1},
                     {8, CORR_TSPAN_ROVER, "", -1}};
        for (const auto& c : cases) {
            SCOPED_TRACE(c.item);
            g_GPS.Info.eCurCorrSource = CORR_BEACON;
            g_GPS.Info.Nav.usNavMode = 4;
            s->SetCurSel(IDC_DIFF_SOURCE, c.item);
            ClearWire();
            ApplyDiffSourceItem(s, IDC_DIFF_SOURCE);
            Lines expected =
                *c.command ? Lines{c.command, "~500"} : Lines{"~500", "$JAPP\r\n", "~500"};
            expected.insert(expected.end(), {"$JAPP\r\n", "~100", "$JDIFF\r\n", "~100"});
            EXPECT_EQ(Wire(), expected);
            EXPECT_EQ(g_GPS.Info.eReqCorrSource, c.source);
            // Cleared until the receiver's answer sets it.
            EXPECT_EQ(g_GPS.Info.eCurCorrSource, CORR_NONE);
            EXPECT_EQ(g_GPS.Info.Nav.usNavMode, 0);
            EXPECT_EQ(bExtThisPort.load(), c.extThisPort < 0 ? 1 : c.extThisPort);
        }

        // A receiver whose other application is L-band switches to it first and then moves
        // the port to the chosen baud: 500 ms before each open, 200 ms before closing.
        InstallBaudHandOver();
        SetPortBaud(19200);
        SetTargetBaud(115200);
        g_GPS.Info.eRxOtherApp = CORR_LBND;
        s->SetCurSel(IDC_DIFF_SOURCE, 2);
        ClearWire();
        ApplyDiffSourceItem(s, IDC_DIFF_SOURCE);
        EXPECT_EQ(Wire(), (Lines{"$JAPP,OTHER\r\n", "~5000", "~500", "$JBAUD,115200\r\n", "~250",
                                 "~100", "~200", "~500", "$JDIFF,LBAND\r\n", "~500", "$JAPP\r\n",
                                 "~100", "$JDIFF\r\n", "~100"}));
        EXPECT_EQ(iActiveBaud, 19200);
        SetPortBaud(38400);  // without a change of baud the hand-over sends nothing
        ClearWire();
        ApplyTargetBaud();
        EXPECT_EQ(Wire(), Lines{});

        const struct {
            int source, extThisPort;
            uint32_t options;
            const char* text;
        } shown[] = {{CORR_NONE, 1, 0, "NONE"},
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
                     {CORR_TSPAN_ROVER, 1, OPTION_TSPAN, "t-Span Rover"}};
        for (const auto& c : shown) {
            SetOptionCode(c.options);
            s->OnInitDialog();
            EXPECT_EQ(s->GetCount(IDC_DIFF_SOURCE), c.options ? 9 : 7);
            g_GPS.Info.eCurCorrSource = c.source;
            bExtThisPort.store(c.extThisPort);
            Tick();
            EXPECT_EQ(s->GetDlgItemText(IDC_DIFF_SOURCE), c.text) << c.source;
        }
    });
}

TEST_F(Gps1Test, EntryLeaveAndScreenSwitches) {
    Start();
    RegisterScreen(SCR_BEACON_1, [] {
        return std::make_unique<shelltest::TestPage>(SCR_BEACON_1, ScreenFamily::Beacon, "B");
    });
    RegisterScreen(SCR_SBAS_1, nullptr);  // a group without its first screen
    RegisterScreen(SCR_GPS_3, nullptr);
    Open(SCR_GPS_1);
    ui::StepRunner run;
    WaitShown(run, SCR_GPS_1);
    run.Add([&] {
        EXPECT_EQ(fake.written(), kEntry);  // written before the screen's loop ran
        EXPECT_EQ(S()->TimerInterval(1), 171);
        EXPECT_EQ(S()->TimerInterval(2), 2000);
        // The tab of a screen that is not there stays inert.
        platform::ClearTrace();
        fake.ClearWrites();
        ASSERT_TRUE(ui::UserSelectTab(S()->GetDlgItem(IDC_GPS1_TAB), 2));
        ui::ProcessPending();
        EXPECT_EQ(S()->GetCurSel(IDC_GPS1_TAB), 0);
        EXPECT_EQ(fake.written(), "");
        EXPECT_TRUE(platform::TraceContains("screen CGPS_3 is not available"));
        QuietPoll();
        // The receiver has not answered yet: the source asked for decides.
        Choose(IDC_DIFF_SOURCE, 1);
    });
    WaitShown(run, SCR_BEACON_1);
    run.Add([&] {
        EXPECT_EQ(fake.written(), std::string("$JDIFF,BEACON\r\n$JAPP\r\n$JDIFF\r\n") + kLeave);
        EXPECT_FALSE(S()->IsTimerRunning(1));
        EXPECT_FALSE(S()->IsTimerRunning(2));
        QuietPoll();
        Screen(SCR_BEACON_1)->RunNavRow(1);
    });
    WaitShown(run, SCR_GPS_1);
    run.Add([&] {
        // The second visit re-runs the activation in the same loop.
        EXPECT_EQ(ui::Dialog::RunningLoops(), 2);
        EXPECT_TRUE(S()->IsTimerRunning(1));
        // No SBAS screen: the position screen stands in and is activated again.
        platform::ClearTrace();
        fake.ClearWrites();
        QuietPoll();
        Choose(IDC_DIFF_SOURCE, 0);
        EXPECT_TRUE(S()->IsWindowVisible());
        EXPECT_EQ(fake.written(),
                  std::string("$JDIFF,WAAS\r\n$JAPP\r\n$JDIFF\r\n") + kLeave + kEntry);
        EXPECT_TRUE(platform::TraceContains("CSBAS_1 is not available"));
        EXPECT_EQ(ui::Dialog::RunningLoops(), 2);

        // Once the receiver has answered, its answer decides.
        SendDiffSource(CORR_BEACON);
        EXPECT_EQ(DiffScreenTarget(GROUP_GPS), SCR_BEACON_1);
        Feed(">JDIFF,NONE");
        EXPECT_EQ(DiffScreenTarget(GROUP_GPS), SCR_GPS_1);
        EXPECT_EQ(DiffScreenTarget(GROUP_BEACON), SCR_BEACON_1);
        SendDiffSource(CORR_EXTERNAL);
        Feed(">JDIFF,BEACON");
        EXPECT_EQ(DiffScreenTarget(GROUP_BEACON), SCR_BEACON_1);
        EXPECT_EQ(DiffScreenTarget(GROUP_SBAS), SCR_GPS_1);  // through its stand-in
        platform::ClearTrace();
        EXPECT_EQ(DiffScreenTarget(42), -1);
        EXPECT_TRUE(platform::TraceContains("internal error"));
        EndAll();
    });
    Run(run);
}

}  // namespace
