// The L-band status, tune and subscription screens against scripted receiver replies: the
// commands on entry, tick and leave, the beam read-outs, the automatic retune and its
// follow-up timer, tuning, and the subscription read-outs.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/gps.h"
#include "screens/differential/LBND_1.h"
#include "screens/differential/LBND_2.h"
#include "screens/differential/LBND_3.h"
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

TEST_F(LBandTest, StatusNamesTheBeamByItsExactFrequency) {
    Start();
    Geo("1536.7820", 1200, "-98.0");
    Open(SCR_LBND_1);
    ui::StepRunner run;
    WaitShown(run, SCR_LBND_1);
    run.Add([this] {
        EXPECT_EQ(Wire(), (Lines{"$JASC,D1,1\r\n", "$JGEO,ALL\r\n", "$JAPP\r\n", "$JDIFF\r\n"}));
        EXPECT_EQ(Text(IDC_LBND1_BEAM), "MSV-W");
        EXPECT_EQ(Text(IDC_LBND1_FREQ), "1536782");
        EXPECT_EQ(Text(IDC_LBND1_RATE), "1200");
        EXPECT_EQ(Text(IDC_LBND1_LONGITUDE), "-98.0");
        EXPECT_EQ(Text(IDC_LBND1_ELEVATION), "34.5");
        EXPECT_EQ(Text(IDC_LBND1_AZIMUTH), "201.25");

        struct Row {
            const char* freq;
            const char* lon;
            const char* beam;
        };
        const Row rows[] = {
            {"1535.1375", "-0.1", "AM-SAT"},
            {"1535.1375", "0.0", "AP-SAT"},
            {"1530.3590", "-54", "MSV-E"},
            {"1534.7410", "-101", "MSV-C"},
            {"1535.0800", "25", "AFSAT"},
            {"1535.1525", "25", "EA-SAT"},
            {"1558.5100", "160", "Optus"},
            {"1536.7820", "-98", "MSV-W"},
            // No reply with a frequency yet: nothing to retune.
            {"", "0", "MSV-W"},
        };
        for (const Row& row : rows) {
            SCOPED_TRACE(row.freq);
            Geo(row.freq, 1200, row.lon);
            ClearWire();
            Tick();
            EXPECT_EQ(Text(IDC_LBND1_BEAM), row.beam);
            EXPECT_EQ(Wire(), kStatusTick);
        }
        EndAll();
    });
    Run(run);
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

TEST_F(LBandTest, StatusShowsTheBitErrorRateAndServiceFlags) {
    Start();
    Geo("1536.7820", 1200, "-98");
    Open(SCR_LBND_1);
    ui::StepRunner run;
    WaitShown(run, SCR_LBND_1);
    run.Add([this] {
        auto* page = As<CLBND_1>(SCR_LBND_1);
        struct Row {
            const char *ber, *status;
            int bar;
            const char* text;
            uint32_t bad;  // flags shown "BAD"
        };
        const Row rows[] = {
            {"0", "0000", 500, "0", 0},
            {"500", "8001", 0, "500", 0x8001},
            {"120", "00FF", 380, "120", 0xFF},
            {"700", "8000", 0, "700", 0x8000},
        };
        ui::Rgb full{}, empty{};
        for (const Row& row : rows) {
            SCOPED_TRACE(row.ber);
            ASSERT_TRUE(Rd1(row.ber, row.status));
            Tick();
            EXPECT_EQ(page->GetPos(IDC_LBND1_BER_BAR), row.bar);
            EXPECT_EQ(Text(IDC_LBND1_BER_TEXT), row.text);
            for (const LBandStatusFlag& f : kLBandStatusFlags)
                EXPECT_EQ(Text(f.edit), (row.bad & f.bit) ? "BAD" : "OK") << f.edit;
            // The bar fills from the bottom: its top row is filled only at rate 0.
            const ui::Rect r = page->GetItemRect(IDC_LBND1_BER_BAR);
            const ui::Rgb top = Pixel(IDC_LBND1_BER_BAR, r.Width() / 2, 3);
            if (row.bar == 500) full = top;
            if (row.bar == 0) empty = top;
        }
        EXPECT_NE(full, empty);
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
        EndAll();
    });
    Run(run);
}

TEST_F(LBandTest, TuneKeepsChoicesAcrossVisitsWithinTheNewList) {
    Start();
    Open(SCR_LBND_2);
    ui::StepRunner run;
    WaitShown(run, SCR_LBND_2);
    run.Add([this] {
        Choose(IDC_LBND2_FREQ_LIST, 5);
        Choose(IDC_LBND2_BEAM_LIST, 3);  // "AM-SAT", the fourth beam of North America
        Choose(IDC_LBND2_CONTINENT, 1);  // Asia has one beam
        ClearWire();
        Tab(IDC_LBND2_TAB, 2);
    });
    WaitShown(run, SCR_LBND_3);
    run.Add([this] {
        auto* page = As<CLBND_2>(SCR_LBND_2);
        EXPECT_EQ(Wire().front(), "$PKRV,1,0\r\n");
        Tab(IDC_LBND3_TAB, 1);
        EXPECT_EQ(Text(IDC_LBND2_FREQ_LIST), "1536.7820");
        EXPECT_EQ(Text(IDC_LBND2_CONTINENT), "Asia");
        EXPECT_EQ(page->GetCurSel(IDC_LBND2_BEAM_LIST), 0);
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

// The three pages with live values, as the screenshots show them.
class LBandShotTest : public LBandTest {
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
            EndAll();
        });
        Run(run);
    }
};

TEST_F(LBandShotTest, ScreenshotsScale1) {
    ShowLive(1.0, "_scale_1.0");
}

TEST_F(LBandShotTest, ScreenshotsScale15) {
    ShowLive(1.5, "_scale_1.5");
}

}  // namespace
