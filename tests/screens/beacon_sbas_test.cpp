// The beacon and SBAS screens headless: their commands on entry, tick and leave, the beacon
// status from the beacon receiver's sentences, the tunes with their pauses, the SBAS rows from
// the receiver's replies, and the ionosphere map page's grid decode, legend and colour scale.

#include <gtest/gtest.h>

#include <QComboBox>
#include <algorithm>
#include <string>
#include <vector>

#include "engine/gps.h"
#include "platform/bytes.h"
#include "resources/dlg_sbas2.h"
#include "screens/differential/BEACON_1.h"
#include "screens/differential/BEACON_2.h"
#include "screens/differential/SBAS_1.h"
#include "screens/differential/SBAS_2.h"
#include "screens/differential/SBAS_3.h"
#include "screens/differential/beacon_3.h"
#include "screens/differential/ber_scale.h"
#include "shell/BaseDialog.h"
#include "shell/DiffSource.h"
#include "shell/Tessaray_PC.h"
#include "support/qt/screen_harness.h"
#include "ui/automation.h"
#include "ui/canvas.h"

namespace {

using Lines = std::vector<std::string>;

class DiffTest : public shelltest::ScreenTest {
protected:
    CBaseDialog* Shown(eScreen screen) const { return ScreenIfBuilt(screen); }
};

struct CommandCase {
    eScreen screen;
    Lines entry, tick, leave;
};

void PrintTo(const CommandCase& c, std::ostream* os) {
    *os << ScreenClassName(c.screen);
}

class DiffCommands : public DiffTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(DiffCommands, EntryTickAndLeave) {
    const CommandCase& c = GetParam();
    Start();
    OnScreen(c.screen, [&] {
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
    Screens, DiffCommands,
    ::testing::Values(
        CommandCase{SCR_BEACON_1,
                    {"$JAPP\r\n", "$JDIFF\r\n", "$PKRV,1,1\r\n", "~10"},
                    {"$JAPP\r\n", "$JDIFF\r\n", "$PKRV,1,1\r\n", "~10", "~0"},
                    kStatusOff},
        CommandCase{SCR_BEACON_2, kStatusOn, {"~0"}, kStatusOff},
        // The plot sends nothing on its timer.
        CommandCase{SCR_BEACON_3, kStatusOn, {"~0"}, kStatusOff},
        CommandCase{SCR_SBAS_1,
                    {"$JASC,D1,1\r\n", "$JGEO,ALL\r\n", "$JAPP\r\n", "$JDIFF\r\n"},
                    {"$JAPP\r\n", "~0", "$JDIFF\r\n", "~0", "$JGEO,ALL\r\n", "~0", "~0"},
                    {"$JASC,D1,0\r\n"}},
        // The map page switches every output off first; message 99 stays on when it is left.
        CommandCase{SCR_SBAS_2,
                    {"$JOFF\r\n", "~250", "$JBIN,80,1\r\n", "$JBIN,99,1\r\n"},
                    {"$JDIFF\r\n", "$JGEO,ALL\r\n", "~0"},
                    {"$JBIN,80,0\r\n"}},
        CommandCase{SCR_SBAS_3,
                    {"$JASC,D1,1\r\n", "$JGEO,ALL\r\n", "$JDIFF\r\n"},
                    {"$JDIFF\r\n", "$JGEO,ALL\r\n", "~0"},
                    {"$JASC,D1,0\r\n"}}),
    [](const auto& info) { return std::string(ScreenClassName(info.param.screen)); });

// Status sentences of the beacon receiver, and what the status screen makes of them: name,
// frequency and its mode, rate and its mode, station, health, then the four figures as text
// and on their bars.
struct StatusCase {
    const char* sentence;
    const char* text[11];
    int bar[4];
};

TEST_F(DiffTest, StatusFromTheBeaconSentences) {
    const StatusCase cases[] = {
        // A shared ID told apart by the tuned frequency.
        {"PKRV,CS0,BX3.1,0,316.0,M,200,A,38,18,92,12,680,0",
         {"Kinkasan To", "316.0 kHz", "Manual", "200 bps", "Auto", "680", "0", "38", "18", "92",
          "12"},
         {38, 18, 92, 12}},
        // The same ID at another frequency: a Windows-1252 quotation mark in the name. The SNR
        // is clamped on bar and label; the other figures only on their bars.
        {"PKRV,CS0,BX3.1,0,307.5,A,100,M,60,30,120,40,680,1",
         {"St. Catherine\xE2\x80\x99s", "307.5 kHz", "Auto", "100 bps", "Manual", "680", "1", "60",
          "25", "120", "40"},
         {50, 25, 100, 25}},
        {"PKRV,CS0,BX3.1,0,290.0,M,0,M,7,-3,-5,3,705,2",
         {"Bl\xC3\xA5vands Huk", "290.0 kHz", "Manual", "Auto", "Manual", "705", "2", "7", "0",
          "-5", "3"},
         {7, 0, 0, 3}},
        {"PKRV,CS0,BX3.1,0,301.5,X,150,,20,9,50,10,4711,0",
         {"Unknown", "301.5 kHz", "Auto", "Auto", "Auto", "4711", "0", "20", "9", "50", "10"},
         {20, 9, 50, 10}},
    };
    const int texts[11] = {IDC_BEACON1_NAME,      IDC_BEACON1_FREQ,      IDC_BEACON1_FREQ_MODE,
                           IDC_BEACON1_RATE,      IDC_BEACON1_RATE_MODE, IDC_BEACON1_STATION_ID,
                           IDC_BEACON1_HEALTH,    IDC_BEACON1_SS_VALUE,  IDC_BEACON1_SNR_VALUE,
                           IDC_BEACON1_MTP_VALUE, IDC_BEACON1_Q_VALUE};
    const int bars[4] = {IDC_BEACON1_SS_BAR, IDC_BEACON1_SNR_BAR, IDC_BEACON1_MTP_BAR,
                         IDC_BEACON1_Q_BAR};
    Start();
    OnScreen(SCR_BEACON_1, [&] {
        CBaseDialog* s = Shown(SCR_BEACON_1);
        for (const StatusCase& c : cases) {
            SCOPED_TRACE(c.sentence);
            EXPECT_TRUE(Feed(c.sentence));
            // The second status sentence changes nothing.
            Feed("PKRV,CS1,1,2,3,4,5");
            Tick();
            for (int k = 0; k < 11; ++k) EXPECT_EQ(Text(texts[k]), c.text[k]) << texts[k];
            for (int k = 0; k < 4; ++k) EXPECT_EQ(s->GetPos(bars[k]), c.bar[k]) << bars[k];
        }
    });
}

// Tabs leave with the status sentence off and enter with it on; the tune screen shows what
// the status screen shows.
TEST_F(DiffTest, TabsBetweenStatusAndTune) {
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

TEST_F(DiffTest, TunesSendTheirCommandsWithTheirPauses) {
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
    Start();
    OnScreen(SCR_BEACON_2, [&] {
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
TEST_F(DiffTest, RateListStartsAtTheReceiversRate) {
    Start();
    OnScreen(SCR_BEACON_2, [&] {
        auto* s = dynamic_cast<CBEACON_2*>(Shown(SCR_BEACON_2));
        EXPECT_EQ(Text(IDC_BEACON2_RATE_LIST), "Auto");
        for (const auto& [rate, text] : {std::pair{1, "100 bps"}, {2, "200 bps"}, {7, "Auto"}}) {
            g_GPS.Info.Beacon.iBeaconBitRate = rate;
            s->OnInitDialog();
            EXPECT_EQ(Text(IDC_BEACON2_RATE_LIST), text) << rate;
        }
    });
}

// What one of the two SBAS columns shows.
struct Slot {
    const char *prn, *system, *caption, *lon, *el, *az, *ber;
    int bar;
};
struct RowCase {
    std::vector<const char*> replies;
    Slot slot[2];
};

TEST_F(DiffTest, SbasRowsFromTheReceiversReplies) {
    // Slots are filled alternately by the replies.
    const Slot waas{"122", "WAAS", "PRN122", "-142.5", "21.3", "221.75", "140", 360};
    const Slot egnos{"120", "EGNOS", "PRN120", "-15.5", "30.25", "140.5", "12", 488};
    const RowCase cases[] = {
        // Before any reply both slots hold PRN 0 and no bit-error rate.
        {{},
         {{"0", "Unknown", "PRN  0", "0.0", "0", "0", "500", 0},
          {"0", "Unknown", "PRN  0", "0.0", "0", "0", "500", 0}}},
        {{">JGEO,Sent,FREQ=1575.4200,PRN=122,LON=-142.5,EL=21.3,AZ=221.75",
          ">JGEO,Sent,FREQ=1575.4200,PRN=120,LON=-15.5,EL=30.25,AZ=140.5",
          "RD1,000041,1910,1557.8450,1,140-12,0,0,0,0,0,1,2"},
         {egnos, waas}},
        // Rates are clamped to 0..500 on bar and number.
        {{"RD1,000041,1910,1557.8450,1,0-700,0,0,0,0,0,1,2"},
         {{"120", "EGNOS", "PRN120", "-15.5", "30.25", "140.5", "0", 500},
          {"122", "WAAS", "PRN122", "-142.5", "21.3", "221.75", "500", 0}}},
        {{">JGEO,Sent,FREQ=1575.4200,PRN=133,LON=80.5,EL=5,AZ=90",
          ">JGEO,Sent,FREQ=1575.4200,PRN=129,LON=140.0,EL=40,AZ=195.5"},
         {{"129", "MSAS", "PRN129", "140.0", "40", "195.5", "0", 500},
          {"133", "Unknown", "PRN133", "80.5", "5", "90", "500", 0}}},
    };
    struct SlotIds {
        int prn, system, locPrn, caption, lon, el, az, ber, bar;
    };
    const SlotIds ids[2] = {
        {IDC_SBAS1_PRN1, IDC_SBAS1_SYSTEM1, IDC_SBAS1_LOC_PRN1, IDC_SBAS_CAPTION1, IDC_SBAS1_LON1,
         IDC_SBAS1_EL1, IDC_SBAS1_AZ1, IDC_SBAS_BER1, IDC_SBAS_BAR1},
        {IDC_SBAS1_PRN2, IDC_SBAS1_SYSTEM2, IDC_SBAS1_LOC_PRN2, IDC_SBAS_CAPTION2, IDC_SBAS1_LON2,
         IDC_SBAS1_EL2, IDC_SBAS1_AZ2, IDC_SBAS_BER2, IDC_SBAS_BAR2},
    };
    Start();
    OnScreen(SCR_SBAS_1, [&] {
        CBaseDialog* s = Shown(SCR_SBAS_1);
        for (const RowCase& c : cases) {
            for (const char* reply : c.replies) EXPECT_TRUE(Feed(reply)) << reply;
            Tick();
            for (int k = 0; k < 2; ++k) {
                const Slot& e = c.slot[k];
                const SlotIds& id = ids[k];
                const std::string at = (c.replies.empty() ? "start" : c.replies.front()) +
                                       std::string(" slot ") + std::to_string(k + 1);
                const std::pair<int, const char*> shown[] = {
                    {id.prn, e.prn},         {id.system, e.system}, {id.locPrn, e.prn},
                    {id.caption, e.caption}, {id.lon, e.lon},       {id.el, e.el},
                    {id.az, e.az},           {id.ber, e.ber}};
                for (const auto& [control, text] : shown) EXPECT_EQ(Text(control), text) << at;
                EXPECT_EQ(s->GetPos(id.bar), e.bar) << at;
            }
        }
    });
}

// An SBAS message (250 bits, most significant bit first) from (value, bits) fields.
std::vector<uint32_t> Message(const std::vector<std::pair<uint32_t, int>>& fields) {
    std::vector<uint32_t> words(8, 0);
    int bit = 0;
    for (const auto& [value, count] : fields) {
        for (int i = count - 1; i >= 0; --i, ++bit) {
            if ((value >> i) & 1u) words[static_cast<size_t>(bit / 32)] |= 1u << (31 - bit % 32);
        }
    }
    return words;
}

// Ionospheric delays: band, block, fifteen (delay, GIVEI) pairs.
std::vector<uint32_t> Iono(uint32_t type, uint32_t band, uint32_t block,
                           const std::vector<std::pair<uint32_t, uint32_t>>& points) {
    std::vector<std::pair<uint32_t, int>> f{{0x53, 8}, {type, 6}, {band, 4}, {block, 4}};
    for (const auto& [delay, givei] : points) {
        f.push_back({delay, 9});
        f.push_back({givei, 4});
    }
    f.push_back({2, 2});  // IODI
    return Message(f);
}

// A binary message 80 carrying the words.
std::string Frame80(const std::vector<uint32_t>& words) {
    platform::ByteWriter w;
    w.U16(122);
    w.Zeros(6);
    for (uint32_t word : words) w.U32(word);
    return w.str();
}

std::vector<std::pair<uint32_t, uint32_t>> Points(uint32_t firstDelay, uint32_t delayStep,
                                                  uint32_t givei) {
    std::vector<std::pair<uint32_t, uint32_t>> p;
    for (uint32_t j = 0; j < 15; ++j) p.push_back({(firstDelay + delayStep * j) % 512, givei});
    return p;
}

TEST_F(DiffTest, IonoMapDecodesType26IntoTheGrid) {
    struct Cell {
        int band, slot;
        float delay;
        uint32_t givei, valid;
    };
    Start();
    OnScreen(SCR_SBAS_2, [&] {
        auto* s = dynamic_cast<CSBAS_2*>(Shown(SCR_SBAS_2));
        EXPECT_TRUE(FeedBin(80, Frame80(Iono(26, 0, 0, Points(511, 1, 7)))));
        EXPECT_TRUE(FeedBin(80, Frame80(Iono(26, 3, 13, Points(8, 8, 15)))));
        EXPECT_TRUE(FeedBin(80, Frame80(Iono(26, 10, 13, Points(100, 0, 3)))));
        // No place in the grid, or another message type: ignored.
        EXPECT_TRUE(FeedBin(80, Frame80(Iono(26, 11, 0, Points(40, 0, 1)))));
        EXPECT_TRUE(FeedBin(80, Frame80(Iono(26, 10, 14, Points(40, 0, 1)))));
        EXPECT_TRUE(FeedBin(80, Frame80(Iono(25, 1, 1, Points(40, 0, 1)))));
        Tick();
        const IonoGrid& g = s->Grid();
        const Cell cells[] = {
            {0, 0, 63.875f, 7, 1}, {0, 1, 0.0f, 7, 1},     {0, 14, 1.625f, 7, 1},
            {0, 15, 0.0f, 0, 0},   {3, 195, 1.0f, 15, 1},  {3, 209, 15.0f, 15, 1},
            {3, 194, 0.0f, 0, 0},  {10, 195, 12.5f, 3, 1}, {10, 209, 12.5f, 3, 1},
            {1, 15, 0.0f, 0, 0},   {10, 0, 0.0f, 0, 0},
        };
        for (const Cell& c : cells) {
            const IonoGridPoint& p = g[static_cast<size_t>(c.band)][static_cast<size_t>(c.slot)];
            EXPECT_FLOAT_EQ(p.fDelay, c.delay) << c.band << "/" << c.slot;
            EXPECT_EQ(p.ulGIVEI, c.givei) << c.band << "/" << c.slot;
            EXPECT_EQ(p.bValid, c.valid) << c.band << "/" << c.slot;
        }
        int valid = 0;
        for (const auto& band : g)
            for (const IonoGridPoint& p : band) valid += static_cast<int>(p.bValid);
        EXPECT_EQ(valid, 45);
    });
}

TEST_F(DiffTest, IonoMapLegendFollowsTheSelectionAtTheNextRedraw) {
    Start();
    OnScreen(SCR_SBAS_2, [&] {
        auto* s = dynamic_cast<CSBAS_2*>(Shown(SCR_SBAS_2));
        EXPECT_EQ(s->IsDlgButtonChecked(IDC_SBAS2_DELAY), 1);
        for (int i = 0; i < 10; ++i) Tick();
        EXPECT_EQ(s->MapCanvas(), nullptr);
        Tick();
        ASSERT_NE(s->MapCanvas(), nullptr);
        EXPECT_EQ(Text(IDC_SBAS2_LEGEND_FIRST), "0.0");
        EXPECT_EQ(Text(IDC_SBAS2_LEGEND_FIRST + 7), "14.0");
        // The colour scale fills its frame: blue at the left end, red at the right.
        const CTessaray_PCApp& app = theApp();
        const int y = static_cast<int>((kIonoScaleTop + 5) * app.fScaleY);
        const int left = static_cast<int>(kIonoScaleLeft * app.fScaleX);
        const int right = static_cast<int>((kIonoScaleLeft + kIonoScaleWidth) * app.fScaleX);
        const ui::Canvas& map = *s->MapCanvas();
        EXPECT_EQ(Pixel(map, left, y), (ui::Rgb{0, 0, 0}));
        EXPECT_EQ(Pixel(map, left + 1, y), (ui::Rgb{100, 101, 254}));
        EXPECT_EQ(Pixel(map, right - 1, y), (ui::Rgb{248, 107, 100}));
        EXPECT_EQ(Pixel(map, right, y), (ui::Rgb{0, 0, 0}));
        // The map shows the picture from its framed row on: the frame is its top edge, drawn
        // at full height.
        const int mapLeft = static_cast<int>(kIonoMapRect.x * app.fScaleX);
        const int mapTop = static_cast<int>(kIonoMapRect.y * app.fScaleY);
        const ui::Rgb frame{150, 150, 150};
        EXPECT_EQ(Pixel(map, mapLeft + 40, mapTop), frame);
        EXPECT_EQ(Pixel(map, mapLeft, mapTop + 60), frame);
        // Left of the middle the colour keeps red at 100, right of it blue.
        EXPECT_EQ(Pixel(map, (left + right) / 2 - 3, y).r, 100);
        EXPECT_EQ(Pixel(map, (left + right) / 2 + 3, y).b, 100);

        Click(IDC_SBAS2_GIVE);
        Tick();
        EXPECT_EQ(Text(IDC_SBAS2_LEGEND_FIRST + 7), "14.0");
        for (int i = 0; i < 10; ++i) Tick();
        EXPECT_EQ(Text(IDC_SBAS2_LEGEND_FIRST + 7), "14");
        EXPECT_EQ(s->m_iMapSelection, 2);
        Click(IDC_SBAS2_TEC);
        for (int i = 0; i < 11; ++i) Tick();
        EXPECT_EQ(Text(IDC_SBAS2_LEGEND_FIRST + 7), "70");
    });
}

// The beacon plot: one series at a time, its value labels and read-out, the others "N/A"; a
// sample above the scale is drawn on the band's top edge. At both scales the cursor on the
// newest second is inside the part of the chart the window shows.
class BeaconPlot : public DiffTest, public ::testing::WithParamInterface<double> {};

TEST_P(BeaconPlot, ShowsTheChosenSeries) {
    Start(GetParam());
    GPSInfo& info = g_GPS.Info;
    info.iBeaconHistoryIndex = 100;
    info.iBeaconSNRHistory[99] = 55;
    info.iBeaconSNRHistory[98] = 12;
    info.iBeaconSSHistory[99] = 33;
    info.fBeaconFreqHistory[99] = 300.0f;
    struct Step {
        int radio;
        const char *bottom, *top, *ss, *snr, *freq;
    };
    const Step steps[] = {
        {0, "0", "40", "N/A", "55", "N/A"},
        {IDC_BEACON3_FREQ, "283.0", "325.0", "N/A", "N/A", "300.0"},
        {IDC_BEACON3_SS, "0", "40", "33", "N/A", "N/A"},
    };
    OnScreen(SCR_BEACON_3, [&] {
        auto* s = As<CBEACON_3>(SCR_BEACON_3);
        for (const Step& st : steps) {
            if (st.radio) Click(st.radio);
            Tick();
            EXPECT_EQ(Text(1157), st.bottom) << st.radio;
            EXPECT_EQ(Text(1161), st.top) << st.radio;
            EXPECT_EQ(Text(IDC_BEACON3_SS_VALUE), st.ss) << st.radio;
            EXPECT_EQ(Text(IDC_BEACON3_SNR_VALUE), st.snr) << st.radio;
            EXPECT_EQ(Text(IDC_BEACON3_FREQ_VALUE), st.freq) << st.radio;
            EXPECT_EQ(Text(IDC_BEACON3_SECONDS), "Now");
            EXPECT_EQ(Text(IDC_BEACON3_MINUTES), "Now");
            EXPECT_EQ(Text(1154), "Now");
        }
        // SNR again: 55 is drawn at the top of the band, 12 below the middle.
        Click(IDC_BEACON3_SNR);
        Tick();
        strip::StripChart& chart = s->Chart();
        const ui::Rect band = chart.PlotRect();
        const strip::StripScale scale{20.0, 40.0, false};
        auto y = [&](double v) { return strip::ValueToY(v, scale, band.top, band.bottom); };
        EXPECT_EQ(Pixel(chart.Canvas(), chart.XOf(150), y(40)), strip::kCurve);
        EXPECT_EQ(Pixel(chart.Canvas(), chart.XOf(149), y(12)), strip::kCurve);
        EXPECT_NE(Pixel(chart.Canvas(), chart.XOf(149), y(30)), strip::kCurve);
        EXPECT_EQ(Pixel(chart.Canvas(), band.right - 1, band.top + 3), strip::kCursor);
    });
}

INSTANTIATE_TEST_SUITE_P(Scales, BeaconPlot, ::testing::Values(1.0, 1.5), [](const auto& info) {
    return std::string(info.param > 1.0 ? "scale15" : "scale1");
});

// The SBAS plot decides its scale every ten seconds of history, also across the wrap of the
// write index, from the eleven newest samples of both rows.
TEST_F(DiffTest, SbasPlotScaleFollowsTheRatesAcrossTheWrap) {
    Start();
    GPSInfo& info = g_GPS.Info;
    info.LBand.iSBASPRN1 = 122;
    info.LBand.iSBASPRN2 = 120;
    std::fill(std::begin(info.iSBASBerHistory[0]), std::end(info.iSBASBerHistory[0]), 30);
    std::fill(std::begin(info.iSBASBerHistory[1]), std::end(info.iSBASBerHistory[1]), 150);
    info.iSBASBerHistoryIndex = 3590;
    struct Step {
        int index;
        int32_t row1;  // every sample of the second row
        const char* top;
        int32_t scale;
        const char *value1, *value2;
    };
    const Step steps[] = {
        {3590, 150, "500", 0, "30", "150"},  // the scale starts at 500 on every visit
        {3599, 150, "500", 0, "30", "150"},  // nine seconds: no decision yet
        {0, 150, "200", 1, "30", "150"},     // ten seconds on, across the wrap
        {9, 20, "200", 1, "30", "20"},      {10, 20, "40", 2, "30", "20"},
        {20, 700, "500", 0, "30", "500"},  // read-outs are clamped, the scale is not
    };
    OnScreen(SCR_SBAS_3, [&] {
        for (const Step& st : steps) {
            {
                RecordLock lock(info.ulPart1Lock);
                info.iSBASBerHistoryIndex = st.index;
                std::fill(std::begin(info.iSBASBerHistory[1]), std::end(info.iSBASBerHistory[1]),
                          st.row1);
            }
            Tick();
            EXPECT_EQ(Text(1161), st.top) << st.index;
            EXPECT_EQ(Text(1157), "0") << st.index;
            EXPECT_EQ(info.iSBASPlotScale, st.scale) << st.index;
            EXPECT_EQ(Text(IDC_SBAS3_VALUE1), st.value1) << st.index;
            EXPECT_EQ(Text(IDC_SBAS3_VALUE2), st.value2) << st.index;
        }
        EXPECT_EQ(Text(IDC_SBAS3_ROW1), "PRN122");
        EXPECT_EQ(Text(IDC_SBAS3_ROW2), "PRN120");
        EXPECT_EQ(Text(IDC_SBAS_CAPTION1), "PRN122");
        EXPECT_EQ(Text(IDC_SBAS3_SECONDS), "Now");
        // The first row is drawn orange, the second in the curve colour.
        strip::StripChart& chart = As<CSBAS_3>(SCR_SBAS_3)->Chart();
        const ui::Rect band = chart.PlotRect();
        const strip::StripScale scale{250.0, 500.0, false};
        EXPECT_EQ(Pixel(chart.Canvas(), chart.XOf(150),
                        strip::ValueToY(30, scale, band.top, band.bottom)),
                  strip::kOrange);
    });
}

// The source combo leads to the first screen of the chosen group; the SBAS tabs switch the D1
// output off on leaving and on again on entering.
TEST_F(DiffTest, SourceComboAndSbasTabs) {
    Start();
    g_GPS.Info.eCurCorrSource = CORR_BEACON;
    Open(SCR_BEACON_1);
    ui::StepRunner run;
    WaitShown(run, SCR_BEACON_1);
    run.Add([&] {
        EXPECT_EQ(Text(IDC_DIFF_SOURCE), "BEACON");
        ClearWire();
        Choose(IDC_DIFF_SOURCE, 0);
    });
    WaitShown(run, SCR_SBAS_1);
    run.Add([&] {
        const Lines wire = Wire();
        const Lines expected{"$JDIFF,WAAS\r\n", "~500",          "$JAPP\r\n",     "~100",
                             "$JDIFF\r\n",      "~100",          "$PKRV,1,0\r\n", "~10",
                             "$JASC,D1,1\r\n",  "$JGEO,ALL\r\n", "$JAPP\r\n",     "$JDIFF\r\n"};
        EXPECT_EQ(wire, expected);
        EXPECT_FALSE(Shown(SCR_BEACON_1)->IsWindowVisible());
        ClearWire();
        QuietPoll();
        ui::UserSelectTab(Shown(SCR_SBAS_1)->GetDlgItem(IDC_SBAS1_TAB), 1);
    });
    WaitShown(run, SCR_SBAS_3);
    run.Add([&] {
        EXPECT_EQ(Wire(),
                  (Lines{"$JASC,D1,0\r\n", "$JASC,D1,1\r\n", "$JGEO,ALL\r\n", "$JDIFF\r\n"}));
        EXPECT_EQ(Shown(SCR_SBAS_3)->GetCurSel(IDC_SBAS3_TAB), 1);
        ClearWire();
        QuietPoll();
        ui::UserSelectTab(Shown(SCR_SBAS_3)->GetDlgItem(IDC_SBAS3_TAB), 0);
    });
    WaitShown(run, SCR_SBAS_1);
    run.Add([&] {
        EXPECT_EQ(Wire(), (Lines{"$JASC,D1,0\r\n", "$JASC,D1,1\r\n", "$JGEO,ALL\r\n", "$JAPP\r\n",
                                 "$JDIFF\r\n"}));
        EXPECT_FALSE(Shown(SCR_SBAS_3)->IsTimerRunning(1));
        EndAll();
    });
    Run(run);
}

}  // namespace
