// The L-band status, tune and subscription screens against scripted receiver replies: the
// commands on entry, tick and leave, the beam read-outs, the automatic retune and its
// follow-up timer, tuning, and the subscription read-outs.

#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>
#include <cmath>
#include <string>
#include <vector>

#include "engine/gps.h"
#include "screens/differential/LBND_1.h"
#include "screens/differential/LBND_2.h"
#include "screens/differential/LBND_3.h"
#include "screens/differential/LBND_4.h"
#include "screens/differential/ber_scale.h"
#include "shell/Tessaray_PC.h"
#include "support/qt/screen_harness.h"

namespace {

using Lines = std::vector<std::string>;

// "~0": the navigation-bar check that ends every tick yields once.
const Lines kStatusTick{"~0", "$JAPP\r\n", "$JDIFF\r\n", "$JGEO,ALL\r\n", "$JASC,D1,1\r\n"};

class LBandTest : public shelltest::ScreenTest {
protected:
    // A "$>JGEO" reply for one satellite.
    bool Geo(const std::string& freq, int id, const std::string& lon) {
        return Feed(">JGEO,Sent,FREQ=" + freq + ",ID=" + std::to_string(id) + ",LON=" + lon +
                    ",EL=34.5,AZ=201.25");
    }
    // "$RD1" with a bit-error rate and the service status word.
    bool Rd1(const std::string& ber, const std::string& status) {
        return Feed("RD1,000041,1910,1557.8450,1," + ber + ",0,0,0,0,0," + status + ",2");
    }
    void Commanded(uint32_t freq, int32_t rate) {
        const WizardInfo& w = g_GPS.Info.Settings.WizardLive;
        EXPECT_EQ(w.ulFreqKhz, freq);
        EXPECT_EQ(w.iSymbolRate, rate);
    }
    // Picks a tab as the user would; a page visited for the first time opens its own loop,
    // so the steps after it wait for the page to be shown.
    void Tab(int tabId, int index) {
        ASSERT_TRUE(ui::UserSelectTab(Page()->GetDlgItem(tabId), index));
        ui::ProcessPending();
    }
    void SetCommanded(uint32_t freq, int32_t rate) {
        g_GPS.Info.Settings.WizardLive.ulFreqKhz = freq;
        g_GPS.Info.Settings.WizardLive.iSymbolRate = rate;
    }
};

TEST_F(LBandTest, StatusShowsBeamBitErrorRateAndServiceFlags) {
    Start();
    Geo("1536.7820", 1200, "-98.0");
    OnScreen(SCR_LBND_1, [&] {
        EXPECT_EQ(Wire(), (Lines{"$JASC,D1,1\r\n", "$JGEO,ALL\r\n", "$JAPP\r\n", "$JDIFF\r\n"}));
        const Lines readouts{Text(IDC_LBND1_FREQ), Text(IDC_LBND1_RATE), Text(IDC_LBND1_LONGITUDE),
                             Text(IDC_LBND1_ELEVATION), Text(IDC_LBND1_AZIMUTH)};
        EXPECT_EQ(readouts, (Lines{"1536782", "1200", "-98.0", "34.5", "201.25"}));

        // Beams by exact frequency; the bar fills from the bottom, full at rate 0.
        struct Row {
            const char *freq, *lon, *beam, *ber, *status;
            int bar;
            uint32_t bad;  // flags shown "BAD"
        };
        const Row rows[] = {
            {"1535.1375", "-0.1", "AM-SAT", "0", "0000", 500, 0},
            {"1535.1375", "0.0", "AP-SAT", "500", "8001", 0, 0x8001},
            {"1530.3590", "-54", "MSV-E", "120", "00FF", 380, 0xFF},
            {"1534.7410", "-101", "MSV-C", "700", "8000", 0, 0x8000},
            {"1535.0800", "25", "AFSAT", "1", "0002", 499, 0x2},
            {"1535.1525", "25", "EA-SAT", "2", "0004", 498, 0x4},
            {"1558.5100", "160", "Optus", "3", "0010", 497, 0x10},
            {"1536.7820", "-98", "MSV-W", "4", "0000", 496, 0},
            // No reply with a frequency yet: nothing to retune.
            {"", "0", "MSV-W", "5", "0000", 495, 0},
        };
        auto* page = As<CLBND_1>(SCR_LBND_1);
        const ui::Rect bar = page->GetItemRect(IDC_LBND1_BER_BAR);
        ui::Rgb full{}, empty{};
        for (const Row& row : rows) {
            SCOPED_TRACE(row.beam);
            Geo(row.freq, 1200, row.lon);
            ASSERT_TRUE(Rd1(row.ber, row.status));
            ClearWire();
            Tick();
            EXPECT_EQ(Wire(), kStatusTick);
            EXPECT_EQ(Text(IDC_LBND1_BEAM), row.beam);
            EXPECT_EQ(page->GetPos(IDC_LBND1_BER_BAR), row.bar);
            EXPECT_EQ(Text(IDC_LBND1_BER_TEXT), row.ber);
            for (const LBandStatusFlag& f : kLBandStatusFlags)
                EXPECT_EQ(Text(f.edit), (row.bad & f.bit) ? "BAD" : "OK") << f.edit;
            const ui::Rgb top = Pixel(IDC_LBND1_BER_BAR, bar.Width() / 2, 3);
            if (row.bar == 500) full = top;
            if (row.bar == 0) empty = top;
        }
        EXPECT_NE(full, empty);
    });
}

TEST_F(LBandTest, StatusRetunesAnUnknownFrequencyWithoutBlocking) {
    Start();
    Geo("1540.0000", 1200, "-98");
    SetCommanded(1536782, 1200);
    Open(SCR_LBND_1);
    ui::StepRunner run;
    WaitShown(run, SCR_LBND_1);
    run.Add([this] {
        auto* page = As<CLBND_1>(SCR_LBND_1);
        // The activation's refresh already retunes; the follow-up waits on a timer, not a pause.
        EXPECT_EQ(Wire(), (Lines{"$JFREQ,0\r\n", "$JASC,D1,1\r\n", "$JGEO,ALL\r\n", "$JAPP\r\n",
                                 "$JDIFF\r\n"}));
        Commanded(0, 0);
        EXPECT_EQ(Text(IDC_LBND1_BEAM), "MSV-W");
        EXPECT_TRUE(page->IsTimerRunning(kRetuneTimer));
        EXPECT_GE(page->TimerInterval(kRetuneTimer), 1000);

        // No second retune while the first waits for its follow-up.
        ClearWire();
        Tick();
        EXPECT_EQ(Wire(), kStatusTick);
        ClearWire();
        Tick(kRetuneTimer);
        EXPECT_EQ(Wire(), (Lines{"$JASC,D1,1\r\n"}));
        EXPECT_FALSE(page->IsTimerRunning(kRetuneTimer));

        // Still no beam: the next tick retunes again.
        SetCommanded(1536782, 1200);
        ClearWire();
        Tick();
        EXPECT_EQ(Wire().front(), "$JFREQ,0\r\n");
        Commanded(0, 0);

        // Leaving kills the follow-up; the next visit may retune at once.
        ClearWire();
        Tab(IDC_LBND1_TAB, 2);
    });
    WaitShown(run, SCR_LBND_3);
    run.Add([this] {
        auto* page = As<CLBND_1>(SCR_LBND_1);
        EXPECT_EQ(Wire().front(), "$PKRV,1,0\r\n");
        EXPECT_FALSE(page->IsTimerRunning(kRetuneTimer));
        ClearWire();
        Tab(IDC_LBND3_TAB, 0);
        EXPECT_EQ(Wire().front(), "$JFREQ,0\r\n");
        Tick(kRetuneTimer);

        // Neither an SBAS satellite's line nor demo mode retunes.
        Geo("1540.0000", 129, "-98");
        ClearWire();
        Tick();
        EXPECT_EQ(Wire(), kStatusTick);
        Geo("1540.0000", 1200, "-98");
        theApp().bDemoMode = 1;
        ClearWire();
        Tick();
        for (const std::string& line : Wire()) EXPECT_NE(line, "$JFREQ,0\r\n");
        theApp().bDemoMode = 0;
        EndAll();
    });
    Run(run);
}

TEST_F(LBandTest, TuneByFrequencyAutomaticallyAndByName) {
    Start();
    Geo("1535.1375", 1200, "-101.3");
    Open(SCR_LBND_2);
    ui::StepRunner run;
    WaitShown(run, SCR_LBND_2);
    run.Add([this] {
        auto* page = As<CLBND_2>(SCR_LBND_2);
        EXPECT_EQ(Wire(), (Lines{"$JASC,D1,1\r\n", "$JDIFF\r\n", "$JGEO,ALL\r\n"}));
        EXPECT_EQ(Text(IDC_LBND2_FREQ_LIST), "1535.0800");
        EXPECT_EQ(Text(IDC_LBND2_RATE_LIST), "1200");
        EXPECT_EQ(Text(IDC_LBND2_CONTINENT), "North America");
        EXPECT_EQ(Text(IDC_LBND2_BEAM_LIST), "MSV-W");
        EXPECT_EQ(Text(IDC_LBND2_BEAM), "AM-SAT");
        ClearWire();
        Tick();
        EXPECT_EQ(Wire(), (Lines{"~0", "$JDIFF\r\n", "$JGEO,ALL\r\n"}));

        auto tuned = [&](const std::string& command, uint32_t freq, int32_t rate) {
            EXPECT_EQ(Wire(), (Lines{command, "~1000", "$JASC,D1,1\r\n"}));
            Commanded(freq, rate);
            for (int id : {IDC_LBND2_FREQ, IDC_LBND2_BEAM, IDC_LBND2_RATE}) EXPECT_EQ(Text(id), "");
            ClearWire();
            Tick();
        };

        struct Manual {
            int freq, rate;
            const char* command;
            uint32_t khz;
            int32_t bps;
        };
        const Manual manual[] = {{0, 1, "$JFREQ,1530359,600\r\n", 1530359, 600},
                                 {3, 0, "$JFREQ,1535137,1200\r\n", 1535137, 1200},
                                 {6, 0, "$JFREQ,1558510,1200\r\n", 1558510, 1200}};
        for (const Manual& m : manual) {
            SCOPED_TRACE(m.command);
            Choose(IDC_LBND2_FREQ_LIST, m.freq);
            Choose(IDC_LBND2_RATE_LIST, m.rate);
            ClearWire();
            Click(IDC_LBND2_TUNE_MANUAL);
            tuned(m.command, m.khz, m.bps);
        }
        ClearWire();
        Click(IDC_LBND2_TUNE_AUTO);
        tuned("$JFREQ,0\r\n", 0, 0);

        struct Continent {
            const char* name;
            Lines beams;
            const char* command;  // tuning its first beam
            uint32_t khz;
        };
        const Continent continents[] = {
            {"Africa", {"AFSAT", "EA-SAT"}, "$JFREQ,1535080,1200\r\n", 1535080},
            {"Asia", {"AP-SAT"}, "$JFREQ,1535137,1200\r\n", 1535137},
            {"Australia", {"Optus"}, "$JFREQ,1558510,1200\r\n", 1558510},
            {"Europe", {"EA-SAT"}, "$JFREQ,1535152,1200\r\n", 1535152},
            {"North America",
             {"MSV-E", "MSV-C", "MSV-W", "AM-SAT"},
             "$JFREQ,1530359,1200\r\n",
             1530359},
            {"South America", {"AM-SAT"}, "$JFREQ,1535137,1200\r\n", 1535137},
        };
        for (int i = 0; i < 6; ++i) {
            const Continent& c = continents[i];
            SCOPED_TRACE(c.name);
            Choose(IDC_LBND2_CONTINENT, i);
            Lines shown;
            for (int k = 0; k < page->GetCount(IDC_LBND2_BEAM_LIST); ++k)
                shown.push_back(page->GetLBText(IDC_LBND2_BEAM_LIST, k));
            EXPECT_EQ(shown, c.beams);
            EXPECT_EQ(page->GetCurSel(IDC_LBND2_BEAM_LIST), 0);
            ClearWire();
            Click(IDC_LBND2_TUNE_NAME);
            tuned(c.command, c.khz, 1200);
        }

        // The choices survive a visit elsewhere; a beam of the old continent's list is not
        // looked for in the new one.
        Choose(IDC_LBND2_FREQ_LIST, 5);
        Choose(IDC_LBND2_CONTINENT, 4);
        Choose(IDC_LBND2_BEAM_LIST, 3);  // "AM-SAT", the fourth beam of North America
        Choose(IDC_LBND2_CONTINENT, 1);  // Asia has one beam
        ClearWire();
        Tab(IDC_LBND2_TAB, 2);
    });
    WaitShown(run, SCR_LBND_3);
    run.Add([this] {
        EXPECT_EQ(Wire().front(), "$PKRV,1,0\r\n");
        Tab(IDC_LBND3_TAB, 1);
        EXPECT_EQ(Text(IDC_LBND2_FREQ_LIST), "1536.7820");
        EXPECT_EQ(Text(IDC_LBND2_CONTINENT), "Asia");
        EXPECT_EQ(As<CLBND_2>(SCR_LBND_2)->GetCurSel(IDC_LBND2_BEAM_LIST), 0);
        ClearWire();
        Click(IDC_LBND2_TUNE_NAME);
        EXPECT_EQ(Wire().front(), "$JFREQ,1535137,1200\r\n");
        EndAll();
    });
    Run(run);
}

TEST_F(LBandTest, SubscriptionShowsTheReceiversReply) {
    Start();
    Open(SCR_LBND_3);
    ui::StepRunner run;
    WaitShown(run, SCR_LBND_3);
    run.Add([this] {
        const Lines queries{"$JDIFF\r\n", "$JOMS\r\n", "$JI\r\n"};
        EXPECT_EQ(Wire(), queries);
        const Lines tick{"~0", "$JDIFF\r\n", "$JOMS\r\n", "$JI\r\n"};
        ASSERT_TRUE(Feed(">JI,311062,1,2,3,4,5,APP1,DSP2"));
        struct Row {
            const char* seconds;
            const char* countdown;
        };
        const Row rows[] = {{"3661", "01:01:01"},
                            {"0", "00:00:00"},
                            {"360000", "100:00:00"},
                            {"4294967295", "1193046:28:15"}};
        for (const Row& row : rows) {
            SCOPED_TRACE(row.seconds);
            ASSERT_TRUE(Feed(std::string(">JOMS,1,2,3,4,01/15/2026,12/31/2027,") + row.seconds));
            ClearWire();
            Tick();
            EXPECT_EQ(Wire(), tick);
            EXPECT_EQ(Text(IDC_LBND3_BEGIN), "01/15/2026");
            EXPECT_EQ(Text(IDC_LBND3_EXPIRY), "12/31/2027");
            EXPECT_EQ(Text(IDC_LBND3_SERIAL), "311062");
            EXPECT_EQ(Text(IDC_LBND3_COUNTDOWN), row.countdown);
        }
        theApp().bDemoMode = 1;
        ClearWire();
        Tick();
        EXPECT_EQ(Wire(), tick);
        for (int id : {IDC_LBND3_BEGIN, IDC_LBND3_EXPIRY, IDC_LBND3_SERIAL, IDC_LBND3_COUNTDOWN})
            EXPECT_EQ(Text(id), "NA") << id;
        theApp().bDemoMode = 0;
        // Leaving sends nothing of its own: the first line is the status page's entry.
        ClearWire();
        Tab(IDC_LBND3_TAB, 0);
    });
    WaitShown(run, SCR_LBND_1);
    run.Add([this] {
        EXPECT_EQ(Wire().front(), "$JASC,D1,1\r\n");
        EndAll();
    });
    Run(run);
}

TEST(BerScale, DecidesOnTenNewSecondsFromTheElevenNewest) {
    struct Row {
        int32_t last, index;
        std::vector<std::pair<int, double>> newest;  // seconds back from the index, value
        int32_t scale;                               // -1: no new decision
    };
    const Row rows[] = {
        {100, 110, {}, 2},                   // every sample 30
        {100, 110, {{11, 45}}, 1},           // the eleventh newest counts
        {100, 110, {{12, 900}}, 2},          // the twelfth does not
        {100, 110, {{1, 201}}, 0},           //
        {100, 110, {{3, 200}}, 1},           //
        {100, 109, {{1, 500}}, -1},          // nine new seconds: no decision yet
        {3595, 5, {{1, 500}}, 0},            // past the end of the ring
        {3590, 3, {{4, 41}, {6, 500}}, 0},   // indexes below 0 wrap to the end
        {3590, 3, {{4, 41}, {12, 500}}, 1},  //
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.index);
        std::vector<double> ring(kHistorySize, 30.0);
        for (const auto& [back, v] : row.newest) ring[BerRingPos(int64_t{row.index} - back)] = v;
        const BerScaleDecision last{row.last, 500, 7};
        const BerScaleDecision d = DecideBerScale({&ring}, row.index, last);
        EXPECT_EQ(d.scale, row.scale < 0 ? 7 : row.scale);
        EXPECT_EQ(d.lastIndex, row.scale < 0 ? row.last : row.index);
    }
    // A scale out of range reads as the widest, not past the table.
    EXPECT_EQ(BerScale(9).span, 500);
}

TEST_F(LBandTest, PlotFollowsTheNewestRates) {
    Start();
    GPSInfo& info = g_GPS.Info;
    for (int32_t& v : info.iLBandBerHistory) v = 500;
    info.iLBandBerHistoryIndex = 2000;
    info.iLBandPlotScale = 2;
    Open(SCR_LBND_4);
    ui::StepRunner run;
    WaitShown(run, SCR_LBND_4);
    run.Add([this, &info] {
        EXPECT_EQ(Wire(), (Lines{"$JASC,D1,1\r\n", "$JGEO,ALL\r\n", "$JDIFF\r\n"}));
        EXPECT_EQ(info.iLBandPlotScale, 0);
        // Pixels of the page where the chart puts a value: the band in design units, the
        // newest second at the right edge.
        const float sx = theApp().fScaleX, sy = theApp().fScaleY;
        const int x0 = static_cast<int>(58.73 * sx), y0 = static_cast<int>(165.688 * sy);
        const int y1 = static_cast<int>(259.528 * sy);
        const auto at = [&](int i, double v, int span) {
            const QImage page = Page()->Widget()->grab().toImage();
            const int x = x0 + static_cast<int>(i * 1.173 * sx);
            const int y = (y0 + y1) / 2 - static_cast<int>((v - span / 2.0) * (y1 - y0) / span);
            const QRgb p = page.pixel(x, y);
            return ui::Rgb{static_cast<uint8_t>(qRed(p)), static_cast<uint8_t>(qGreen(p)),
                           static_cast<uint8_t>(qBlue(p))};
        };
        const ui::Rgb curve{30, 28, 119};

        struct Step {
            int advance;      // new seconds written
            int recent;       // value of the newest samples (the older ones hold 500)
            const char* top;  // label at the top of the value axis
            int32_t scale;
        };
        const Step steps[] = {
            {0, 30, "500", 0},   // right after entry the scale stays until ten new seconds
            {10, 30, "40", 2},   //
            {5, 150, "40", 2},   //
            {5, 150, "200", 1},  //
            {10, 250, "500", 0},
        };
        for (const Step& st : steps) {
            SCOPED_TRACE(st.top);
            for (int k = 0; k < st.advance; ++k)
                info.iLBandBerHistory[info.iLBandBerHistoryIndex++] = st.recent;
            if (st.advance == 0)
                for (int k = 1; k <= 11; ++k)
                    info.iLBandBerHistory[info.iLBandBerHistoryIndex - k] = st.recent;
            ClearWire();
            Tick();
            EXPECT_EQ(Wire(), (Lines{"~0", "$JDIFF\r\n", "$JGEO,ALL\r\n"}));
            EXPECT_EQ(Text(1161), st.top);
            EXPECT_EQ(Text(1157), "0");
            EXPECT_EQ(info.iLBandPlotScale, st.scale);
            const int span = BerScale(st.scale).span;
            // The newest samples are drawn (the cursor covers the very newest); "no value"
            // (500) only at the top of the 500 scale.
            if (st.recent <= span) {
                EXPECT_EQ(at(148, st.recent, span), curve);
            }
            EXPECT_EQ(at(100, 500, span) == curve, span == 500);
        }
        EXPECT_EQ(Text(IDC_LBND4_VALUE), "250");
        EXPECT_EQ(Text(IDC_LBND4_TIME), "Now");
        ClearWire();
        Tab(IDC_LBND4_TAB, 0);
    });
    WaitShown(run, SCR_LBND_1);
    run.Add([this] {
        EXPECT_EQ(Wire().front(), "$JASC,D1,0\r\n");
        EndAll();
    });
    Run(run);
}

// The three pages with live values, as the screenshots show them.
class LBandShotTest : public LBandTest, public ::testing::WithParamInterface<double> {
protected:
    void ShowLive(double scale, const std::string& suffix) {
        Start(scale);
        GPSInfo& info = g_GPS.Info;
        info.eCurCorrSource = CORR_LBND;
        info.Nav.usNavMode = 4;
        info.Nav.iFixQuality = 2;
        Geo("1535.1375", 1200, "-101.3");
        Rd1("120", "8001");
        Feed(">JOMS,1,2,3,4,01/15/2026,01/15/2027,360061");
        Feed(">JI,311062,1,2,3,4,5,APP1,DSP2");
        // An hour of rates between 20 and 180, with a minute without signal.
        for (int i = 0; i < kHistorySize; ++i)
            info.iLBandBerHistory[i] = 100 + static_cast<int>(80 * std::sin(i / 11.0));
        for (int i = 1700; i < 1760; ++i) info.iLBandBerHistory[i] = 500;
        info.iLBandBerHistoryIndex = 1790;
        Open(SCR_LBND_1);
        ui::StepRunner run;
        WaitShown(run, SCR_LBND_1);
        run.Add([this, suffix] {
            Tick();
            EXPECT_EQ(Text(1002), "LBand");
            Shot("lband_status" + suffix);
            Tab(IDC_LBND1_TAB, 1);
        });
        WaitShown(run, SCR_LBND_2);
        run.Add([this, suffix] {
            EXPECT_EQ(Text(IDC_LBND2_BEAM), "AM-SAT");
            Shot("lband_tune" + suffix);
            Tab(IDC_LBND2_TAB, 2);
        });
        WaitShown(run, SCR_LBND_3);
        run.Add([this, suffix] {
            EXPECT_EQ(Text(IDC_LBND3_COUNTDOWN), "100:01:01");
            Shot("lband_subscription" + suffix);
            Tab(IDC_LBND3_TAB, 3);
        });
        WaitShown(run, SCR_LBND_4);
        run.Add([this, suffix] {
            // Ten new seconds: the scale follows the newest values.
            g_GPS.Info.iLBandBerHistoryIndex += 10;
            Tick();
            EXPECT_EQ(Text(1161), "200");
            Shot("lband_plot" + suffix);
            EndAll();
        });
        Run(run);
    }
};

TEST_P(LBandShotTest, Screenshots) {
    ShowLive(GetParam(), GetParam() > 1.0 ? "_scale_1.5" : "_scale_1.0");
}

INSTANTIATE_TEST_SUITE_P(Scales, LBandShotTest, ::testing::Values(1.0, 1.5), [](const auto& info) {
    return std::string(info.param > 1.0 ? "scale15" : "scale1");
});

}  // namespace
