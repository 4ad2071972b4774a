// The beacon screens headless: their commands on entry, tick and leave, the status read-outs
// and bars from the beacon receiver's status sentences, and the tunes with their pauses.

#include <gtest/gtest.h>

#include <QComboBox>
#include <string>
#include <vector>

#include "engine/gps.h"
#include "screens/differential/BEACON_1.h"
#include "screens/differential/BEACON_2.h"
#include "shell/BaseDialog.h"
#include "support/qt/screen_harness.h"
#include "ui/automation.h"

namespace {

using Lines = std::vector<std::string>;

class BeaconTest : public shelltest::ScreenTest {
protected:
    // Opens the screen, runs `body` once it is shown, then ends every loop.
    template <class Body>
    void WithScreen(eScreen screen, Body body) {
        Start();
        Open(screen);
        ui::StepRunner run;
        WaitShown(run, screen);
        run.Add([this, body] {
            body();
            EndAll();
        });
        Run(run);
    }
    CBaseDialog* Shown(eScreen screen) const { return ScreenIfBuilt(screen); }
};

struct CommandCase {
    eScreen screen;
    Lines entry, tick, leave;
};

void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << ScreenClassName(c.screen);
}

class BeaconCommands : public BeaconTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(BeaconCommands, EntryTickAndLeave) {
    const CommandCase& c = GetParam();
    WithScreen(c.screen, [&] {
        EXPECT_EQ(Wire(), c.entry);
        ClearWire();
        QuietPoll();
        Tick();
        EXPECT_EQ(Wire(), c.tick);
        ClearWire();
        Shown(c.screen)->OnCancel();
        EXPECT_EQ(Wire(), c.leave);
        EXPECT_FALSE(Shown(c.screen)->IsTimerRunning(1));
    });
}

const Lines kStatusOn{"$PKRV,1,1\r\n", "~10"};
const Lines kStatusOff{"$PKRV,1,0\r\n", "~10"};

INSTANTIATE_TEST_SUITE_P(
    Screens, BeaconCommands,
    ::testing::Values(CommandCase{SCR_BEACON_1,
                                  {"$JAPP\r\n", "$JDIFF\r\n", "$PKRV,1,1\r\n", "~10"},
                                  {"$JAPP\r\n", "$JDIFF\r\n", "$PKRV,1,1\r\n", "~10", "~0"},
                                  kStatusOff},
                      CommandCase{SCR_BEACON_2, kStatusOn, {"~0"}, kStatusOff}),
    [](const auto& info) { return std::string(ScreenClassName(info.param.screen)); });

// Status sentences of the beacon receiver, and what the status screen makes of them.
struct StatusCase {
    const char* sentence;
    const char *name, *freq, *freqMode, *rate, *rateMode, *id, *health;
    const char *ss, *snr, *mtp, *q;
    int ssBar, snrBar, mtpBar, qBar;
};

TEST_F(BeaconTest, StatusFromTheBeaconSentences) {
    const StatusCase cases[] = {
        // A shared ID told apart by the tuned frequency.
        {"PKRV,CS0,BX3.1,0,316.0,M,200,A,38,18,92,12,680,0", "Kinkasan To", "316.0 kHz", "Manual",
         "200 bps", "Auto", "680", "0", "38", "18", "92", "12", 38, 18, 92, 12},
        // The same ID at another frequency: a Windows-1252 quotation mark in the name. The SNR
        // is clamped on bar and label; the other figures only on their bars.
        {"PKRV,CS0,BX3.1,0,307.5,A,100,M,60,30,120,40,680,1", "St. Catherine\xE2\x80\x99s",
         "307.5 kHz", "Auto", "100 bps", "Manual", "680", "1", "60", "25", "120", "40", 50, 25, 100,
         25},
        {"PKRV,CS0,BX3.1,0,290.0,M,0,M,7,-3,-5,3,705,2", "Bl\xC3\xA5vands Huk", "290.0 kHz",
         "Manual", "Auto", "Manual", "705", "2", "7", "0", "-5", "3", 7, 0, 0, 3},
        {"PKRV,CS0,BX3.1,0,301.5,X,150,,20,9,50,10,4711,0", "Unknown", "301.5 kHz", "Auto", "Auto",
         "Auto", "4711", "0", "20", "9", "50", "10", 20, 9, 50, 10},
    };
    WithScreen(SCR_BEACON_1, [&] {
        CBaseDialog* s = Shown(SCR_BEACON_1);
        for (const StatusCase& c : cases) {
            EXPECT_TRUE(Feed(c.sentence)) << c.sentence;
            // The second status sentence changes nothing.
            Feed("PKRV,CS1,1,2,3,4,5");
            Tick();
            EXPECT_EQ(Text(IDC_BEACON1_NAME), c.name) << c.sentence;
            EXPECT_EQ(Text(IDC_BEACON1_FREQ), c.freq) << c.sentence;
            EXPECT_EQ(Text(IDC_BEACON1_FREQ_MODE), c.freqMode) << c.sentence;
            EXPECT_EQ(Text(IDC_BEACON1_RATE), c.rate) << c.sentence;
            EXPECT_EQ(Text(IDC_BEACON1_RATE_MODE), c.rateMode) << c.sentence;
            EXPECT_EQ(Text(IDC_BEACON1_STATION_ID), c.id) << c.sentence;
            EXPECT_EQ(Text(IDC_BEACON1_HEALTH), c.health) << c.sentence;
            EXPECT_EQ(Text(IDC_BEACON1_SS_VALUE), c.ss) << c.sentence;
            EXPECT_EQ(Text(IDC_BEACON1_SNR_VALUE), c.snr) << c.sentence;
            EXPECT_EQ(Text(IDC_BEACON1_MTP_VALUE), c.mtp) << c.sentence;
            EXPECT_EQ(Text(IDC_BEACON1_Q_VALUE), c.q) << c.sentence;
            EXPECT_EQ(s->GetPos(IDC_BEACON1_SS_BAR), c.ssBar) << c.sentence;
            EXPECT_EQ(s->GetPos(IDC_BEACON1_SNR_BAR), c.snrBar) << c.sentence;
            EXPECT_EQ(s->GetPos(IDC_BEACON1_MTP_BAR), c.mtpBar) << c.sentence;
            EXPECT_EQ(s->GetPos(IDC_BEACON1_Q_BAR), c.qBar) << c.sentence;
        }
    });
}

// Tabs leave with the status sentence off and enter with it on; the tune screen shows what
// the status screen shows.
TEST_F(BeaconTest, TabsBetweenStatusAndTune) {
    Start();
    Open(SCR_BEACON_1);
    ui::StepRunner run;
    WaitShown(run, SCR_BEACON_1);
    run.Add([&] {
        Feed("PKRV,CS0,BX3.1,0,300.0,M,100,M,20,9,50,10,460,0");
        ClearWire();
        ui::UserSelectTab(Shown(SCR_BEACON_1)->GetDlgItem(IDC_BEACON1_TAB), 1);
    });
    WaitShown(run, SCR_BEACON_2);
    run.Add([&] {
        EXPECT_EQ(Wire(), (Lines{"$PKRV,1,0\r\n", "~10", "$PKRV,1,1\r\n", "~10"}));
        EXPECT_FALSE(Shown(SCR_BEACON_1)->IsWindowVisible());
        EXPECT_EQ(Text(IDC_BEACON2_NAME), "S\xC3\xA3o Marcos");
        EXPECT_EQ(Text(IDC_BEACON2_FREQ), "300.0 kHz");
        EXPECT_EQ(Text(IDC_BEACON2_RATE), "100 bps");
        EXPECT_EQ(Shown(SCR_BEACON_2)->GetCurSel(IDC_BEACON2_TAB), 1);
        ClearWire();
        QuietPoll();
        ui::UserSelectTab(Shown(SCR_BEACON_2)->GetDlgItem(IDC_BEACON2_TAB), 0);
    });
    WaitShown(run, SCR_BEACON_1);
    run.Add([&] {
        EXPECT_EQ(Wire(), (Lines{"$PKRV,1,0\r\n", "~10", "$JAPP\r\n", "$JDIFF\r\n", "$PKRV,1,1\r\n",
                                 "~10"}));
        EXPECT_EQ(Shown(SCR_BEACON_1)->GetCurSel(IDC_BEACON1_TAB), 0);
        EXPECT_EQ(ui::Dialog::RunningLoops(), 2);
        EndAll();
    });
    Run(run);
}

// One tune: what the user chooses, then the button.
struct TuneCase {
    const char* name;
    std::vector<std::pair<int, int>> choices;  // combo id, item
    int button;
    Lines wire;
    float freq;
    int bitRate;
};

TEST_F(BeaconTest, TunesSendTheirCommandsWithTheirPauses) {
    const Lines tail{"$PKRV,1,1\r\n", "~10"};
    auto with = [&](Lines head) {
        head.insert(head.end(), tail.begin(), tail.end());
        return head;
    };
    const TuneCase cases[] = {
        {"first visit: Polson, Montana",
         {},
         IDC_BEACON2_TUNE_NAME,
         with({"$GPMSK,287.0,M,,A,0\r\n", "~1000"}),
         287.0f,
         0},
        {"manual 300.0 kHz at 200 bps",
         {{IDC_BEACON2_FREQ_LIST, 33}, {IDC_BEACON2_RATE_LIST, 1}},
         IDC_BEACON2_TUNE_MANUAL,
         with({"$GPMSK,300.0,M,200,M,0\r\n", "~1000"}),
         300.0f,
         2},
        {"manual 325.0 kHz, automatic rate",
         {{IDC_BEACON2_FREQ_LIST, 83}, {IDC_BEACON2_RATE_LIST, 2}},
         IDC_BEACON2_TUNE_MANUAL,
         with({"$GPMSK,325.0,M,,A,0\r\n", "~1000"}),
         325.0f,
         0},
        {"automatic", {}, IDC_BEACON2_TUNE_AUTO, with({"$GPMSK,,A,,A,0\r\n", "~1000"}), 0.0f, 0},
        {"automatic with erase",
         {},
         IDC_BEACON2_TUNE_ERASE,
         with({"$GPMSK,,A,,A,0\r\n", "~500", "$PKRV,4\r\n", "~1000"}),
         0.0f,
         0},
        // Europe: its first country and that country's first station become the choice.
        {"Europe",
         {{IDC_BEACON2_REGION, 3}},
         IDC_BEACON2_TUNE_NAME,
         with({"$GPMSK,312.0,M,,A,0\r\n", "~1000"}),
         312.0f,
         0},
        // Iceland, Raufarhöfn.
        {"Iceland",
         {{IDC_BEACON2_COUNTRY, 7}, {IDC_BEACON2_STATION, 2}},
         IDC_BEACON2_TUNE_NAME,
         with({"$GPMSK,289.5,M,,A,0\r\n", "~1000"}),
         289.5f,
         0},
    };
    WithScreen(SCR_BEACON_2, [&] {
        auto* s = dynamic_cast<CBEACON_2*>(Shown(SCR_BEACON_2));
        for (const TuneCase& c : cases) {
            for (const auto& [combo, item] : c.choices) Choose(combo, item);
            ClearWire();
            Click(c.button);
            EXPECT_EQ(Wire(), c.wire) << c.name;
            const WizardInfo& live = g_GPS.Info.Settings.WizardLive;
            EXPECT_FLOAT_EQ(live.fFreq, c.freq) << c.name;
            EXPECT_EQ(live.iBitRate, c.bitRate) << c.name;
        }
        // The choices as shown: Europe, Iceland, Raufarhöfn, with their lists.
        EXPECT_EQ(Text(IDC_BEACON2_REGION), "Europe");
        EXPECT_EQ(Text(IDC_BEACON2_COUNTRY), "Iceland");
        EXPECT_EQ(Text(IDC_BEACON2_STATION),
                  "Raufarh\xC3\xB6"
                  "fn");
        EXPECT_EQ(s->GetCount(IDC_BEACON2_COUNTRY), 17);
        EXPECT_EQ(s->GetLBText(IDC_BEACON2_STATION, 5), "Skar\xC3\xB0sfjara");
        EXPECT_EQ(s->m_strStation,
                  "Raufarh\xF6"
                  "fn");

        // Every list is a drop list: no text can be typed that a tune would ignore.
        for (int id : {IDC_BEACON2_FREQ_LIST, IDC_BEACON2_RATE_LIST, IDC_BEACON2_REGION,
                       IDC_BEACON2_COUNTRY, IDC_BEACON2_STATION})
            EXPECT_FALSE(s->Item<QComboBox>(id)->isEditable()) << id;

        // A new visit keeps region, country and station and returns the frequency list to its
        // first item.
        s->OnCancel();
        s->ShowWindow(ui::SW_SHOW);
        s->OnInitDialog();
        EXPECT_EQ(Text(IDC_BEACON2_STATION),
                  "Raufarh\xC3\xB6"
                  "fn");
        EXPECT_EQ(Text(IDC_BEACON2_FREQ_LIST), "283.5");
        EXPECT_EQ(s->GetCount(IDC_BEACON2_FREQ_LIST), 84);
    });
}

// The rate list starts at the receiver's current rate.
TEST_F(BeaconTest, RateListStartsAtTheReceiversRate) {
    WithScreen(SCR_BEACON_2, [&] {
        auto* s = dynamic_cast<CBEACON_2*>(Shown(SCR_BEACON_2));
        EXPECT_EQ(Text(IDC_BEACON2_RATE_LIST), "Auto");
        for (const auto& [rate, text] : {std::pair{1, "100 bps"}, {2, "200 bps"}, {7, "Auto"}}) {
            g_GPS.Info.Beacon.iBeaconBitRate = rate;
            s->OnInitDialog();
            EXPECT_EQ(Text(IDC_BEACON2_RATE_LIST), text) << rate;
        }
    });
}

}  // namespace
