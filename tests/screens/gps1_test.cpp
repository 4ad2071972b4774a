// The position screen: read-outs, pause, demo mode, entry and leave, the differential source.

#include <QPaintEngine>

#include "engine/txnmea.h"
#include "screens/position/GPS_1.h"
#include "screens/screen_walk.h"
#include "support/qt/test_pages.h"
#include "ui/controls.h"
#include "ui/pictures.h"

namespace {

class Gps1Test : public shelltest::WalkTest {
protected:
    CGPS_1* S() { return As<CGPS_1>(SCR_GPS_1); }
    void ChooseAll(int time, int format, int distance, int speed, int confidence) {
        for (const auto& [id, item] : {std::pair{IDC_GPS1_TIME_DISPLAY, time},
                                       {IDC_GPS1_COORD_FORMAT, format},
                                       {IDC_GPS1_DISTANCE_UNIT, distance},
                                       {IDC_GPS1_SPEED_UNIT, speed},
                                       {IDC_GPS1_CONFIDENCE, confidence}})
            Choose(id, item);
    }
    // Time, latitude, longitude, altitude, speed, precision.
    std::string Shown() {
        return Texts({IDC_GPS1_TIME, IDC_GPS1_LAT, IDC_GPS1_LON, IDC_GPS1_ALT, IDC_GPS1_SPEED,
                      IDC_GPS1_PRECISION});
    }
};

const char* const kEntry =
    "$JASC,GPVTG,1\r\n$JASC,GPGST,1\r\n$JASC,GPGGA,1\r\n$JBIN,2,1\r\n$JAPP\r\n$JDIFF\r\n";
const char* const kLeave = "$JASC,GPVTG,0\r\n$JASC,GPGST,0\r\n$JASC,GPGGA,0\r\n$JBIN,2,0\r\n";

TEST_F(Gps1Test, ReadoutsChoicesPauseAndDemo) {
    Start();
    NavInfo& n = g_GPS.Info.Nav;  // the local time 6 h behind
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
        EXPECT_EQ(Texts({IDC_GPS1_DATE, IDC_GPS1_COURSE, IDC_GPS1_HDOP, IDC_GPS1_DIFFAGE,
                         IDC_GPS1_HEADING}) +
                      "|" + Shown(),
                  " 3/07/2024|54.700001|     0.900|     2.000|N/A|12:35:19| -45 30.500000|  11 "
                  "31.000000|   545.400|12.500000|5.000000");
        ChooseAll(0, 2, 1, 1, 3);  // the formats themselves are the formatter's
        Tick();
        EXPECT_EQ(Shown(),
                  " 6:35:19| -45 30 30.0000|  11 31 00.0000|  1788.912|7.768750|15.000000");
        g_GPS.Info.eReceiverType = RECEIVER_HEADING;  // only a heading receiver shows one
        Tick();
        EXPECT_EQ(Text(IDC_GPS1_HEADING), "123.500000");
        // A stored choice outside its list leaves the factor as it was.
        GPSInfo& i = g_GPS.Info;
        Choose(IDC_GPS1_SPEED_UNIT, 2);
        i.eSpeedUnit = 7, i.eCoordFormat = -1, i.fLocalTimeOffset = 5.5f;
        S()->OnInitDialog();
        EXPECT_EQ(S()->GetCurSel(IDC_GPS1_OFFSET), 13);
        EXPECT_FLOAT_EQ(S()->m_fSpeedFactor, 0.54f);
        ChooseAll(0, 0, 0, 0, 0);
        Choose(IDC_GPS1_OFFSET, 48);
        EXPECT_FLOAT_EQ(i.fLocalTimeOffset, -12.0f);
        // Pause freezes the read-outs, not the polling; a new activation runs again.
        Tick();
        Click(IDC_GPS1_PAUSE);
        n.iLatDeg = 46;
        Tick();
        EXPECT_EQ(Text(IDC_GPS1_LAT), " -45 30.500000");
        EXPECT_EQ(TickSent(2), "$JAPP\r\n$JDIFF\r\n~10~0");
        S()->OnInitDialog();
        EXPECT_FALSE(S()->IsItemVisible(IDC_GPS1_RESUME));
        Tick();
        EXPECT_EQ(Text(IDC_GPS1_LAT), " -46 30.500000");
        // Binary message 1's signed degrees keep the hemisphere below one degree.
        n.iLatDeg = 0, theApp().bBin1Position = 1;
        Tick();
        EXPECT_EQ(Text(IDC_GPS1_LAT), "  -0 30.500000");
        theApp().bDemoMode = 1;  // after binary message 1: the demo's west still shows
        Tick();
        EXPECT_EQ(Texts({IDC_GPS1_LAT, IDC_GPS1_LON}), "  51 02.587000|-114 03.456000");
        theApp().bDemoMode = 0, theApp().bBin1Position = 0;
    });
}

TEST_F(Gps1Test, DiffSourceComboSendsAndShowsEachSource) {
    Start();
    SetOptionCode(OPTION_TSPAN);
    OnScreen(SCR_GPS_1, [&] {
        CGPS_1* s = S();
        // Item, source, command ("": the application query), corrections on this port.
        // clang-format off
        const struct { int item, source; const char* command; int extThisPort; } cases[] = {
            {0, CORR_SBAS, "$JDIFF,WAAS\r\n", 1}, {1, CORR_BEACON, "$JDIFF,BEACON\r\n", 1},
            {2, CORR_LBND, "$JDIFF,LBAND\r\n", 1}, {3, CORR_NONE, "$JDIFF,NONE\r\n", 1},
            {4, CORR_XREF, "$JDIFF,WAAS\r\n", 1}, {6, CORR_EXTERNAL, "$JDIFF,OTHER\r\n", 0},
            {5, CORR_EXTERNAL, "$JDIFF,THIS\r\n", 1}, {7, CORR_TSPAN_BASE, "", 1}, {8, CORR_TSPAN_ROVER, "", 1}};
        // clang-format on
        for (const auto& c : cases) {
            g_GPS.Info.eCurCorrSource = CORR_BEACON;
            g_GPS.Info.Nav.usNavMode = 4;
            s->SetCurSel(IDC_DIFF_SOURCE, c.item);
            ClearWire();
            ApplyDiffSourceItem(s, IDC_DIFF_SOURCE);
            EXPECT_EQ(Sent(), (*c.command ? c.command + std::string("~500")
                                          : std::string("~500$JAPP\r\n~500")) +
                                  "$JAPP\r\n~100$JDIFF\r\n~100");
            EXPECT_EQ(g_GPS.Info.eReqCorrSource, c.source);
            // Cleared until the receiver's answer sets them.
            EXPECT_EQ(g_GPS.Info.eCurCorrSource, CORR_NONE);
            EXPECT_EQ(g_GPS.Info.Nav.usNavMode, 0);
            EXPECT_EQ(bExtThisPort.load(), c.extThisPort) << c.item;
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
        EXPECT_EQ(Sent(),
                  "$JAPP,OTHER\r\n~5000~500$JBAUD,115200\r\n~250~100~200~500$JDIFF,LBAND\r\n~500"
                  "$JAPP\r\n~100$JDIFF\r\n~100");
        EXPECT_EQ(iActiveBaud, 19200);
        SetPortBaud(38400);  // without a change of baud the hand-over sends nothing
        ClearWire();
        ApplyTargetBaud();
        EXPECT_EQ(Sent(), "");
        // The current source in the combo; "NA" for one that cannot be chosen.
        // clang-format off
        const struct { int source, extThisPort; uint32_t options; const char* text; } shown[] = {
            {CORR_EXTERNAL, 0, 0, "EXT OTHER PORT"}, {CORR_RTK, 1, 0, "NA"}, {CORR_TSPAN_ROVER, 1, OPTION_TSPAN, "t-Span Rover"}};
        // clang-format on
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
    RegisterScreen(SCR_SBAS_1, nullptr), RegisterScreen(SCR_GPS_3, nullptr);  // not there
    Walk({{SCR_GPS_1,
           [&] {
               EXPECT_EQ(Sent(), kEntry);  // written before the screen's loop ran
               // The tab of a screen that is not there stays inert.
               ClearWire();
               SelectTab(IDC_GPS1_TAB, 2);
               EXPECT_EQ(std::to_string(S()->GetCurSel(IDC_GPS1_TAB)) + Sent(), "0");
               QuietPoll();
               Choose(IDC_DIFF_SOURCE, 1);  // no answer yet: the source asked for decides
           }},
          {SCR_BEACON_1, [&] {
               EXPECT_EQ(fake.written(),
                         std::string("$JDIFF,BEACON\r\n$JAPP\r\n$JDIFF\r\n") + kLeave);
               EXPECT_FALSE(S()->IsTimerRunning(1) || S()->IsTimerRunning(2));
               // Once the receiver has answered, its answer decides; no SBAS screen: its stand-in.
               std::vector<int> targets;
               SendDiffSource(CORR_BEACON);
               targets.push_back(DiffScreenTarget(GROUP_GPS));
               Feed(">JDIFF,NONE");
               targets.push_back(DiffScreenTarget(GROUP_GPS));
               SendDiffSource(CORR_EXTERNAL);
               Feed(">JDIFF,BEACON");
               targets.push_back(DiffScreenTarget(GROUP_BEACON));
               targets.push_back(DiffScreenTarget(GROUP_SBAS));
               targets.push_back(DiffScreenTarget(42));
               EXPECT_EQ(targets,
                         (std::vector<int>{SCR_BEACON_1, SCR_GPS_1, SCR_BEACON_1, SCR_GPS_1, -1}));
           }}});
}

// A paint device that counts what reaches it: images copied, and shapes or text drawn.
class CountingDevice : public QPaintDevice, public QPaintEngine {
public:
    CountingDevice() : QPaintEngine(AllFeatures) {}
    QPaintEngine* paintEngine() const override { return const_cast<CountingDevice*>(this); }
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    Type type() const override { return User; }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override { ++images; }
    void drawImage(const QRectF&, const QImage&, const QRectF&, Qt::ImageConversionFlags) override {
        ++images;
    }
    void drawPath(const QPainterPath&) override { ++shapes; }
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override { ++shapes; }
    void drawTextItem(const QPointF&, const QTextItem&) override { ++shapes; }
    int images = 0, shapes = 0;

protected:
    int metric(PaintDeviceMetric m) const override {
        if (m == PdmDevicePixelRatioScaled) return static_cast<int>(devicePixelRatioFScale());
        if (m == PdmWidth || m == PdmHeight) return 4096;
        return m == PdmDevicePixelRatio ? 1 : m == PdmDepth ? 32 : 96;
    }
};

// The frame under the read-outs, at both scales, after a resize and for another picture:
// the page as shown is the page drawn with the artwork itself, and a read-out's repaint copies
// the frame rather than drawing it again.
TEST_F(Gps1Test, FrameUnderTheReadoutsIsDrawnOncePerSize) {
    for (double scale : {1.0, 1.5}) {
        SCOPED_TRACE(scale);
        Start(scale);
        OnScreen(SCR_GPS_1, [&] {
            auto* frame = S()->Item<ui::Picture>(IDC_BACKGROUND);
            ASSERT_NE(frame, nullptr);
            // The page from the image kept so far, against the page drawn without one; the
            // last grab keeps an image again for the next change.
            const auto page = [&] { return S()->Widget()->grab().toImage(); };
            const auto sameAsDrawn = [&] {
                const QImage kept = page();
                frame->setKeepRendered(false);
                const QImage drawn = page();
                frame->setKeepRendered(true);
                return kept == drawn && page() == drawn;
            };
            NavInfo& n = g_GPS.Info.Nav;
            for (int i = 0; i < 3; ++i) {
                n.iSecond = i, n.fAltitude = 100.0f + i;
                Tick();
                EXPECT_TRUE(sameAsDrawn()) << "tick " << i;
            }
            const QRect altitude = S()->GetDlgItem(IDC_GPS1_ALT)->geometry();
            CountingDevice device;
            frame->render(&device, altitude.topLeft(), QRegion(altitude), {});
            EXPECT_EQ(device.images, 1);
            EXPECT_EQ(device.shapes, 0);

            frame->resize(frame->size() - QSize(37, 23));
            EXPECT_TRUE(sameAsDrawn()) << "smaller";
            frame->resize(frame->size() + QSize(37, 23));
            EXPECT_TRUE(sameAsDrawn()) << "as before";
            ASSERT_EQ(frame->SetPictureId(ui::IDB_North_American_Map), 1);  // opaque too
            EXPECT_TRUE(sameAsDrawn()) << "another picture";
            frame->SetPictureId(130);
            Shot("gps1_frame_scale_" + std::to_string(int(scale * 10)));
        });
        TearDown();
    }
}

}  // namespace
