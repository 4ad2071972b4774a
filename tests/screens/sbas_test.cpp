// The SBAS screens headless: their commands on entry, tick and leave, the status rows from
// the receiver's replies, and the ionosphere map page's grid decode, legend and colour scale.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/gps.h"
#include "platform/bytes.h"
#include "resources/dlg_sbas2.h"
#include "screens/differential/SBAS_1.h"
#include "screens/differential/SBAS_2.h"
#include "shell/BaseDialog.h"
#include "shell/Tessaray_PC.h"
#include "support/qt/screen_harness.h"
#include "ui/canvas.h"

namespace {

using Lines = std::vector<std::string>;

class SbasTest : public shelltest::ScreenTest {
protected:
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

class SbasCommands : public SbasTest, public ::testing::WithParamInterface<CommandCase> {};

TEST_P(SbasCommands, EntryTickAndLeave) {
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

INSTANTIATE_TEST_SUITE_P(
    Screens, SbasCommands,
    ::testing::Values(
        CommandCase{SCR_SBAS_1,
                    {"$JASC,D1,1\r\n", "$JGEO,ALL\r\n", "$JAPP\r\n", "$JDIFF\r\n"},
                    {"$JAPP\r\n", "~0", "$JDIFF\r\n", "~0", "$JGEO,ALL\r\n", "~0", "~0"},
                    {"$JASC,D1,0\r\n"}},
        // The map page switches every output off first; message 99 stays on when it is left.
        CommandCase{SCR_SBAS_2,
                    {"$JOFF\r\n", "~250", "$JBIN,80,1\r\n", "$JBIN,99,1\r\n"},
                    {"$JDIFF\r\n", "$JGEO,ALL\r\n", "~0"},
                    {"$JBIN,80,0\r\n"}}),
    [](const auto& info) { return std::string(ScreenClassName(info.param.screen)); });

struct RowCase {
    std::vector<const char*> replies;
    const char *prn1, *system1, *prn2, *system2;
    const char *caption1, *lon1, *el1, *az1, *caption2, *lon2, *el2, *az2;
    const char *ber1, *ber2;
    int bar1, bar2;
};

TEST_F(SbasTest, StatusRowsFromTheReceiversReplies) {
    const RowCase cases[] = {
        // Before any reply both slots hold PRN 0 and no bit-error rate.
        {{},
         "0",
         "Unknown",
         "0",
         "Unknown",
         "PRN  0",
         "0.0",
         "0",
         "0",
         "PRN  0",
         "0.0",
         "0",
         "0",
         "500",
         "500",
         0,
         0},
        {{">JGEO,Sent,FREQ=1575.4200,PRN=122,LON=-142.5,EL=21.3,AZ=221.75",
          ">JGEO,Sent,FREQ=1575.4200,PRN=120,LON=-15.5,EL=30.25,AZ=140.5",
          "RD1,000041,1910,1557.8450,1,140-12,0,0,0,0,0,1,2"},
         "120",
         "EGNOS",
         "122",
         "WAAS",
         "PRN120",
         "-15.5",
         "30.25",
         "140.5",
         "PRN122",
         "-142.5",
         "21.3",
         "221.75",
         "12",
         "140",
         488,
         360},
        // Rates are clamped to 0..500 on bar and number.
        {{"RD1,000041,1910,1557.8450,1,0-700,0,0,0,0,0,1,2"},
         "120",
         "EGNOS",
         "122",
         "WAAS",
         "PRN120",
         "-15.5",
         "30.25",
         "140.5",
         "PRN122",
         "-142.5",
         "21.3",
         "221.75",
         "0",
         "500",
         500,
         0},
        {{">JGEO,Sent,FREQ=1575.4200,PRN=133,LON=80.5,EL=5,AZ=90",
          ">JGEO,Sent,FREQ=1575.4200,PRN=129,LON=140.0,EL=40,AZ=195.5"},
         "129",
         "MSAS",
         "133",
         "Unknown",
         "PRN129",
         "140.0",
         "40",
         "195.5",
         "PRN133",
         "80.5",
         "5",
         "90",
         "0",
         "500",
         500,
         0},
    };
    WithScreen(SCR_SBAS_1, [&] {
        CBaseDialog* s = Shown(SCR_SBAS_1);
        for (const RowCase& c : cases) {
            for (const char* reply : c.replies) EXPECT_TRUE(Feed(reply)) << reply;
            Tick();
            const std::string at = c.replies.empty() ? "start" : c.replies.front();
            EXPECT_EQ(Text(IDC_SBAS1_PRN1), c.prn1) << at;
            EXPECT_EQ(Text(IDC_SBAS1_SYSTEM1), c.system1) << at;
            EXPECT_EQ(Text(IDC_SBAS1_PRN2), c.prn2) << at;
            EXPECT_EQ(Text(IDC_SBAS1_SYSTEM2), c.system2) << at;
            EXPECT_EQ(Text(IDC_SBAS1_LOC_PRN1), c.prn1) << at;
            EXPECT_EQ(Text(IDC_SBAS_CAPTION1), c.caption1) << at;
            EXPECT_EQ(Text(IDC_SBAS1_LON1), c.lon1) << at;
            EXPECT_EQ(Text(IDC_SBAS1_EL1), c.el1) << at;
            EXPECT_EQ(Text(IDC_SBAS1_AZ1), c.az1) << at;
            EXPECT_EQ(Text(IDC_SBAS1_LOC_PRN2), c.prn2) << at;
            EXPECT_EQ(Text(IDC_SBAS_CAPTION2), c.caption2) << at;
            EXPECT_EQ(Text(IDC_SBAS1_LON2), c.lon2) << at;
            EXPECT_EQ(Text(IDC_SBAS1_EL2), c.el2) << at;
            EXPECT_EQ(Text(IDC_SBAS1_AZ2), c.az2) << at;
            EXPECT_EQ(Text(IDC_SBAS_BER1), c.ber1) << at;
            EXPECT_EQ(Text(IDC_SBAS_BER2), c.ber2) << at;
            EXPECT_EQ(s->GetPos(IDC_SBAS_BAR1), c.bar1) << at;
            EXPECT_EQ(s->GetPos(IDC_SBAS_BAR2), c.bar2) << at;
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

TEST_F(SbasTest, IonoMapDecodesType26IntoTheGrid) {
    struct Cell {
        int band, slot;
        float delay;
        uint32_t givei, valid;
    };
    WithScreen(SCR_SBAS_2, [&] {
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

TEST(IonoGrid, PointsFollowTheBandDefinitions) {
    IonoGrid grid;
    InitIonoGrid(grid);
    struct Where {
        int band, slot, lat, lon;
    };
    const Where points[] = {
        {0, 0, -75, -180},  {0, 2, -55, -180},  {0, 27, 85, -180},  {0, 28, -55, -175},
        {0, 200, 55, -145}, {0, 201, 360, 360}, {1, 0, -85, -140},  {1, 1, -75, -140},
        {8, 199, 55, 175},  {8, 200, 360, 360}, {9, 0, 60, -180},   {9, 72, 65, -180},
        {9, 180, 85, -180}, {9, 191, 85, 150},  {9, 192, 360, 360}, {10, 180, -85, -170},
        {4, 50, -75, -10},  {4, 52, -55, -10},
    };
    for (const Where& w : points) {
        const IonoGridPoint& p = grid[static_cast<size_t>(w.band)][static_cast<size_t>(w.slot)];
        EXPECT_EQ(p.iLat, w.lat) << w.band << "/" << w.slot;
        EXPECT_EQ(p.iLon, w.lon) << w.band << "/" << w.slot;
    }
}

TEST_F(SbasTest, IonoMapLegendFollowsTheSelectionAtTheNextRedraw) {
    WithScreen(SCR_SBAS_2, [&] {
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

}  // namespace
