// The L-band screens against scripted receiver replies: commands, read-outs, retunes, tunes.

#include "engine/txnmea.h"
#include "resources/dlg_exit.h"
#include "screens/differential/LBND_1.h"
#include "screens/differential/LBND_2.h"
#include "screens/differential/LBND_3.h"
#include "screens/differential/LBND_4.h"
#include "screens/differential/ber_scale.h"
#include "screens/screen_walk.h"
#include "shell/CHECK.h"
#include "shell/CLOSESCREEN_1.h"
#include "shell/STARTUP3.h"
#include "ui/automation.h"

namespace {

// "~0": the navigation-bar check that ends every tick yields once.
const std::string kStatusTick = "~0$JAPP\r\n$JDIFF\r\n$JGEO,ALL\r\n$JASC,D1,1\r\n";
const std::string kRetune = "$JFREQ,0\r\n";

class LBandTest : public shelltest::WalkTest {
protected:
    // A "$>JGEO" reply for one satellite.
    bool Geo(const std::string& freq, int id, const std::string& lon) {
        return Feed(">JGEO,Sent,FREQ=" + freq + ",ID=" + std::to_string(id) + ",LON=" + lon +
                    ",EL=34.5,AZ=201.25");
    }
    static std::string Commanded() {
        const WizardInfo& w = g_GPS.Info.Settings.WizardLive;
        return std::to_string(w.ulFreqKhz) + "/" + std::to_string(w.iSymbolRate);
    }
    // Started with the receiver on a frequency that is no beam: the status screen retunes.
    void StartOffBeam() {
        Start();
        Geo("1540.0000", 1200, "-98");
        g_GPS.Info.eCurCorrSource = CORR_LBND;
    }
    // The status screen shown, retuning, with its refresh, retune and link-watch timers.
    ui::Dialog* Retuning() {
        ui::Dialog* page = Page();
        EXPECT_EQ(Running(page), "111");
        return page;
    }
    // Which of those timers run ("1") or not ("0").
    static std::string Running(const ui::Dialog* page) {
        std::string s;
        for (ui::UINT id : {ui::UINT{1}, kRetuneTimer, kLinkWatchTimer})
            s += page->IsTimerRunning(id) ? '1' : '0';
        return s;
    }
    static void SetCommanded(uint32_t freq, int32_t rate) {
        g_GPS.Info.Settings.WizardLive.ulFreqKhz = freq;
        g_GPS.Info.Settings.WizardLive.iSymbolRate = rate;
    }
};

// An unknown frequency retunes at once, again only after the follow-up that leaving sends
// too; an SBAS satellite's line and demo mode never retune.
TEST_F(LBandTest, StatusSubscriptionAndPlot) {
    Start();
    Geo("1536.7820", 1200, "-98.0");
    GPSInfo& info = g_GPS.Info;
    info.eCurCorrSource = CORR_LBND;
    const std::string entry = "$JASC,D1,1\r\n$JGEO,ALL\r\n$JAPP\r\n$JDIFF\r\n";
    const auto page = [this] { return As<CLBND_1>(SCR_LBND_1); };
    // clang-format off
    const struct { const char *freq, *lon, *beam, *ber, *status; int bar; uint32_t bad; } rows[] = {
        {"1535.1375", "-0.1", "AM-SAT", "0", "0000", 500, 0},
        {"1535.1375", "0.0", "AP-SAT", "500", "8001", 0, 0x8001},
        {"1534.7410", "-101", "MSV-C", "700", "80FF", 0, 0x80FF},
        {"", "0", "MSV-W", "5", "0000", 495, 0}};  // no frequency in the reply: nothing to retune
    const struct { const char *seconds, *countdown; } subscription[] = {
        {"3661", "01:01:01"}, {"4294967295", "1193046:28:15"}};
    // clang-format on
    Walk({{SCR_LBND_1,
           [&] {
               EXPECT_EQ(Sent(), entry);
               EXPECT_EQ(Page()->GetCurSel(IDC_DIFF_SOURCE), DIFFITEM_LBND);
               for (const auto& row : rows) {
                   SCOPED_TRACE(row.beam);
                   Geo(row.freq, 1200, row.lon);
                   ASSERT_TRUE(Feed(std::string("RD1,000041,1910,1557.8450,1,") + row.ber +
                                    ",0,0,0,0,0," + row.status + ",2"));
                   EXPECT_EQ(TickSent(), kStatusTick);
                   EXPECT_EQ(Texts({IDC_LBND1_BEAM, IDC_LBND1_BER_TEXT}),
                             std::string(row.beam) + "|" + row.ber);
                   EXPECT_EQ(Page()->GetPos(IDC_LBND1_BER_BAR), row.bar);
                   for (const LBandStatusFlag& f : kLBandStatusFlags)
                       EXPECT_EQ(Text(f.edit), (row.bad & f.bit) ? "BAD" : "OK") << f.edit;
               }
               Geo("1540.0000", 1200, "-98");
               SetCommanded(1536782, 1200);
               EXPECT_EQ(TickSent(), kRetune + "~0");
               EXPECT_EQ(Commanded(), "0/0");
               EXPECT_GE(page()->TimerInterval(kRetuneTimer), 1000);
               EXPECT_EQ(TickSent(), "~0");  // no second retune while one waits
               clock.Advance(1000);
               EXPECT_EQ(TickSent(kRetuneTimer), "$JASC,D1,1\r\n" + kStatusTick.substr(2));
               EXPECT_FALSE(page()->IsTimerRunning(kRetuneTimer));
               EXPECT_EQ(TickSent().substr(0, kRetune.size()), kRetune);
               ClearWire();
               SelectTab(IDC_LBND1_TAB, 2);
           }},
          {SCR_LBND_3,
           [&] {
               const std::string left =
                   "~1000$JASC,D1,1\r\n" + kStatusTick.substr(2) + "$PKRV,1,0\r\n";
               EXPECT_EQ(Sent().substr(0, left.size()), left);
               EXPECT_FALSE(page()->IsTimerRunning(kRetuneTimer));
               EXPECT_EQ(TickSent(), "~0$JDIFF\r\n$JOMS\r\n$JI\r\n");
               ASSERT_TRUE(Feed(">JI,311062,1,2,3,4,5,APP1,DSP2"));
               for (const auto& [seconds, countdown] : subscription) {
                   Feed(std::string(">JOMS,1,2,3,4,01/15/2026,12/31/2027,") + seconds);
                   Tick();
                   EXPECT_EQ(Text(IDC_LBND3_COUNTDOWN), countdown);
               }
               // Leaving sends nothing of its own; the next visit may retune at once.
               ClearWire();
               SelectTab(IDC_LBND3_TAB, 0);
               EXPECT_EQ(Sent(), kRetune);
               clock.Advance(1000);
               EXPECT_EQ(TickSent(kRetuneTimer), "$JASC,D1,1\r\n" + entry);
               Geo("1536.7820", 1200, "-98");
               Geo("1540.0000", 129, "-98");
               EXPECT_EQ(TickSent(), kStatusTick);
               Geo("1540.0000", 1200, "-98");
               theApp().bDemoMode = 1;
               EXPECT_EQ(TickSent(), kStatusTick);
               theApp().bDemoMode = 0;
               for (int32_t& v : info.iLBandBerHistory) v = 500;
               info.iLBandBerHistoryIndex = 2000;
               info.iLBandPlotScale = 2;
               ClearWire();
               SelectTab(IDC_LBND1_TAB, 3);
           }},
          {SCR_LBND_4, [&] {
               EXPECT_EQ(Sent(), "$PKRV,1,0\r\n~10$JASC,D1,1\r\n$JGEO,ALL\r\n$JDIFF\r\n");
               // Right after entry the scale waits for ten new seconds.
               EXPECT_EQ(TickSent(), "~0$JDIFF\r\n$JGEO,ALL\r\n");
               EXPECT_EQ(Texts({1161, 1157, IDC_LBND4_TIME}) + std::to_string(info.iLBandPlotScale),
                         "500|0|Now0");
               EXPECT_EQ(LeaveSent(), "$JASC,D1,0\r\n");
           }}});
}

// "$JFREQ,0", then a second of virtual time with nothing else on the wire, then "$JASC,D1,1"
// and what the entry and the ticks held back; a leave within the second waits out the rest.
TEST_F(LBandTest, RetuneKeepsItsSecond) {
    Start();
    Geo("1540.0000", 1200, "-98");
    g_GPS.Info.eCurCorrSource = CORR_LBND;
    const std::string entry = "$JASC,D1,1\r\n$JGEO,ALL\r\n$JAPP\r\n$JDIFF\r\n";
    const std::string queries = kStatusTick.substr(2);
    const std::string followUp = "$JASC,D1,1\r\n";
    // Virtual milliseconds passed before the timer fires, and the wire then.
    // clang-format off
    const struct { uint32_t after; ui::UINT timer; std::string wire; bool waiting; } steps[] = {
        {0, 1, "~0", true}, {500, 1, "~0", true}, {499, kRetuneTimer, "", true},
        {1, kRetuneTimer, followUp + entry + queries, false},
        {0, 1, kRetune + "~0", true}, {999, 1, "~0", true},
        {1, kRetuneTimer, followUp + queries, false},
        {0, 1, kRetune + "~0", true}, {400, 1, "~0", true}};
    // clang-format on
    OnScreen(SCR_LBND_1, [&] {
        EXPECT_EQ(Sent(), kRetune);
        for (const auto& s : steps) {
            SCOPED_TRACE(s.wire);
            clock.Advance(s.after);
            EXPECT_EQ(TickSent(s.timer), s.wire);
            EXPECT_EQ(Page()->IsTimerRunning(kRetuneTimer), s.waiting);
        }
        EXPECT_EQ(LeaveSent(), "~600" + followUp + queries + "$PKRV,1,0\r\n~10");
    });
}

// The keep-alive poll that falls due inside the retune second goes out after the follow-up.
TEST_F(LBandTest, LinkWatchWaitsForTheRetuneSecond) {
    StartOffBeam();
    theApp().bStartupPhase = 0;
    const std::string poll = "$JDIFF\r\n~10$JBIN,1,1\r\n~10$JASC,D1,1\r\n~10";
    OnScreen(SCR_LBND_1, [&] {
        EXPECT_EQ(Sent(), kRetune);
        clock.Advance(962);
        g_dwLastPollTick.store(clock.Now() - 2001);
        EXPECT_EQ(TickSent(kLinkWatchTimer), "");
        clock.Advance(38);
        EXPECT_EQ(TickSent(kRetuneTimer),
                  "$JASC,D1,1\r\n$JASC,D1,1\r\n$JGEO,ALL\r\n$JAPP\r\n$JDIFF\r\n" + poll);
    });
}

void ClickOnTop(int id) {
    ui::UserClick(ui::Host::Instance().TopPage()->GetDlgItem(id));
}

// Under the exit dialog the screen's own timers stand still and go on when the user stays;
// "Exit and Save" inside the retune second waits out the rest of it, and after "$JSAVE" no
// timer of the screen sends anything.
TEST_F(LBandTest, ExitInsideTheRetuneSecond) {
    std::vector<int> ends;
    CTessaray_PCApp::SetEndProcessHook([&](int code) { ends.push_back(code); });
    StartOffBeam();
    theApp().bSaveOnExit = 1;
    ui::Dialog* lband = nullptr;
    Walk({{SCR_LBND_1,
           [&] {
               lband = Retuning();
               EXPECT_EQ(Sent(), kRetune);
               ui::UserClickDesign(306, 88);
           }},
          {Top<CCHECK>(),
           [&] {
               EXPECT_EQ(Running(lband), "001");
               ClickOnTop(resources::IDC_EXIT_CANCEL);
           }},
          {SCR_LBND_1,
           [&] {
               EXPECT_EQ(Running(lband), "111");
               clock.Advance(300);
               ClearWire();
               ui::UserClickDesign(306, 88);
           }},
          {Top<CCHECK>(), [&] { ClickOnTop(resources::IDC_EXIT_SAVE); }},
          {Top<CCLOSESCREEN_1>(), [&] {
               const std::string rest = "~700$JOFF\r\n";  // the second's rest, then the exit
               EXPECT_EQ(Sent().substr(0, rest.size()), rest);
               for (ui::UINT id : {ui::UINT{1}, kRetuneTimer}) lband->FireTimer(id);
               const std::string all = Sent();
               const size_t save = all.find("$JSAVE\r\n");
               ASSERT_NE(save, std::string::npos);
               EXPECT_EQ(all.find('$', save + 1), std::string::npos) << all.substr(save);
               EXPECT_EQ(Running(lband), "001");
               Page()->EndDialog(ui::IDCANCEL);
           }}});
    EXPECT_EQ(ends, std::vector<int>{0});
    CTessaray_PCApp::SetEndProcessHook(nullptr);
}

// Stands in for the start-up dialog (its template id), so a test can end it at once.
class StandIn : public ui::Dialog {
public:
    StandIn() : ui::Dialog(ui::DialogTemplate{.id = 210}) {}
};

// The start-up dialog has the port to itself: no timer of the screen it was opened from runs.
TEST_F(LBandTest, NoScreenTimerUnderTheStartupDialog) {
    SetStartupDialogFactory([] { return std::make_unique<StandIn>(); });
    StartOffBeam();
    ui::Dialog* lband = nullptr;
    Walk({{SCR_LBND_1,
           [&] {
               lband = Retuning();
               ui::UserClickDesign(288, 430);  // new connection
           }},
          {Top<StandIn>(), [&] {
               EXPECT_EQ(Running(lband), "000");
               Page()->EndDialog(ui::IDCANCEL);
           }}});
    SetStartupDialogFactory(nullptr);
}

// The link lost while the exit dialog is open: the screen was left for the start-up dialog,
// so a Cancel of the exit dialog afterwards brings none of its timers back.
TEST_F(LBandTest, LinkLostUnderTheExitDialogLeavesTheScreenStopped) {
    SetStartupDialogFactory([] { return std::make_unique<StandIn>(); });
    Start();
    theApp().bStartupPhase = 0;
    ui::Dialog* lband = nullptr;
    Walk({{SCR_LBND_1,
           [&] {
               lband = Page();
               EXPECT_EQ(Running(lband), "101");
               ui::UserClickDesign(306, 88);
           }},
          {Top<CCHECK>(),
           [&] {
               theApp().bSentenceReceived = 0;
               lband->FireTimer(kLinkWatchTimer);
               lband->FireTimer(kLinkWatchTimer);
           }},
          {Top<StandIn>(), [&] { Page()->EndDialog(ui::IDCANCEL); }},
          {Top<CCHECK>(), [&] { ClickOnTop(resources::IDC_EXIT_CANCEL); }},
          {[] { return !Top<CCHECK>()(); }, [&] { EXPECT_EQ(Running(lband), "000"); }}});
    SetStartupDialogFactory(nullptr);
}

TEST_F(LBandTest, TuneByFrequencyAutomaticallyAndByName) {
    Start();
    Geo("1535.1375", 1200, "-101.3");
    const auto tune = [this](int button) {
        ClearWire();
        Click(button);
        const std::string sent = Sent();
        EXPECT_EQ(Texts({IDC_LBND2_FREQ, IDC_LBND2_BEAM, IDC_LBND2_RATE}), "");
        Tick();
        return sent + Commanded();
    };
    const std::string after = "~1000$JASC,D1,1\r\n";
    Walk({{SCR_LBND_2,
           [&] {
               EXPECT_EQ(Sent(), "$JASC,D1,1\r\n$JDIFF\r\n$JGEO,ALL\r\n");
               EXPECT_EQ(Texts({IDC_LBND2_FREQ_LIST, IDC_LBND2_RATE_LIST, IDC_LBND2_CONTINENT,
                                IDC_LBND2_BEAM_LIST, IDC_LBND2_BEAM}),
                         "1535.0800|1200|North America|MSV-W|AM-SAT");
               EXPECT_EQ(TickSent(), "~0$JDIFF\r\n$JGEO,ALL\r\n");
               Choose(IDC_LBND2_FREQ_LIST, 0);
               Choose(IDC_LBND2_RATE_LIST, 1);
               EXPECT_EQ(tune(IDC_LBND2_TUNE_MANUAL),
                         "$JFREQ,1530359,600\r\n" + after + "1530359/600");
               EXPECT_EQ(tune(IDC_LBND2_TUNE_AUTO), kRetune + after + "0/0");
               Choose(IDC_LBND2_CONTINENT, 0);  // Africa: AFSAT, EA-SAT
               EXPECT_EQ(Page()->GetCount(IDC_LBND2_BEAM_LIST), 2);
               Choose(IDC_LBND2_BEAM_LIST, 1);
               EXPECT_EQ(tune(IDC_LBND2_TUNE_NAME),
                         "$JFREQ,1535152,1200\r\n" + after + "1535152/1200");
               // The choices survive a visit elsewhere; the beam index is reset for the new
               // continent's list, not carried over past its end.
               Choose(IDC_LBND2_FREQ_LIST, 5);
               Choose(IDC_LBND2_CONTINENT, 4);
               Choose(IDC_LBND2_BEAM_LIST, 3);  // "AM-SAT", the fourth beam of North America
               Choose(IDC_LBND2_CONTINENT, 1);  // Asia has one beam
               ClearWire();
               SelectTab(IDC_LBND2_TAB, 2);
           }},
          {SCR_LBND_3, [&] {
               EXPECT_EQ(Wire().front(), "$PKRV,1,0\r\n");
               SelectTab(IDC_LBND3_TAB, 1);
               EXPECT_EQ(Texts({IDC_LBND2_FREQ_LIST, IDC_LBND2_CONTINENT}), "1536.7820|Asia");
               EXPECT_EQ(Page()->GetCurSel(IDC_LBND2_BEAM_LIST), 0);
               ClearWire();
               Click(IDC_LBND2_TUNE_NAME);
               EXPECT_EQ(Wire().front(), "$JFREQ,1535137,1200\r\n");
           }}});
}

TEST(BerScale, DecidesOnTenNewSecondsFromTheElevenNewest) {
    // Last decision, index, (seconds back, value) over a ring of 30s, scale (-1: no decision).
    // clang-format off
    const struct { int32_t last, index; std::vector<std::pair<int, double>> newest; int32_t scale; } rows[] = {
        {100, 110, {}, 2}, {100, 110, {{11, 45}}, 1} /* the eleventh newest counts */,
        {100, 110, {{12, 900}}, 2} /* the twelfth does not */, {100, 110, {{1, 201}}, 0},
        {100, 110, {{3, 200}}, 1}, {100, 109, {{1, 500}}, -1} /* nine new seconds */,
        {3595, 5, {{1, 500}}, 0} /* past the end of the ring */,
        {3590, 3, {{4, 41}, {6, 500}}, 0} /* indexes below 0 wrap to the end */};
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.index);
        std::vector<double> ring(kHistorySize, 30.0);
        for (const auto& [back, v] : row.newest) ring[BerRingPos(int64_t{row.index} - back)] = v;
        const BerScaleDecision d = DecideBerScale({&ring}, row.index, {row.last, 500, 7});
        EXPECT_EQ(d.scale, row.scale < 0 ? 7 : row.scale);
        EXPECT_EQ(d.lastIndex, row.scale < 0 ? row.last : row.index);
    }
    EXPECT_EQ(BerScale(9).span, 500);  // out of range reads as the widest
}

}  // namespace
