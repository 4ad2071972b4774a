// The beacon and SBAS screens: commands, clamped read-outs, tunes, plots and the ionosphere map.

#include "resources/dlg_sbas2.h"
#include "screens/differential/BEACON_1.h"
#include "screens/differential/BEACON_2.h"
#include "screens/differential/SBAS_1.h"
#include "screens/differential/SBAS_2.h"
#include "screens/differential/SBAS_3.h"
#include "screens/differential/beacon_3.h"
#include "screens/differential/ber_scale.h"
#include "screens/screen_walk.h"
#include "ui/canvas.h"

namespace {

class DiffTest : public shelltest::WalkTest {
protected:
    // A strip chart pixel at a sample's column and value.
    ui::Rgb At(strip::StripChart& chart, int column, double value, strip::StripScale scale) {
        const ui::Rect band = chart.PlotRect();
        return Pixel(chart.Canvas(), chart.XOf(column),
                     strip::ValueToY(value, scale, band.top, band.bottom));
    }
};

// The beacon group at both scales: the status sentence off on leaving a page, on on entering.
class BeaconGroup : public DiffTest, public ::testing::WithParamInterface<double> {};

TEST_P(BeaconGroup, StatusTuneAndPlot) {
    Start(GetParam());
    const std::string on = "$PKRV,1,1\r\n~10", off = "$PKRV,1,0\r\n~10";
    // Name, frequency mode, rate mode, SNR and its label, the four bars.
    // clang-format off
    const struct { const char *sentence, *shown; } status[] = {
        // A Windows-1252 letter; the SNR clamped on bar and label, the others on their bars.
        {"PKRV,CS0,BX3.1,0,307.5,A,100,M,60,30,120,40,680,1",
         "St. Catherine\xE2\x80\x99s|Auto|Manual|25|50|25|100|25"},
        {"PKRV,CS0,BX3.1,0,290.0,M,0,X,7,-3,-5,3,4711,2", "Unknown|Manual|Auto|0|7|0|0|3"}};
    using Choices = std::vector<std::pair<int, int>>;  // combo id, item
    const struct { Choices choices; int button; const char* wire; float freq; int bitRate; } tunes[] = {
        // First visit: the first station of the first region.
        {{}, IDC_BEACON2_TUNE_NAME, "$GPMSK,287.0,M,,A,0\r\n~1000", 287.0f, 0},
        {{{IDC_BEACON2_FREQ_LIST, 33}, {IDC_BEACON2_RATE_LIST, 1}}, IDC_BEACON2_TUNE_MANUAL,
         "$GPMSK,300.0,M,200,M,0\r\n~1000", 300.0f, 2},
        {{}, IDC_BEACON2_TUNE_AUTO, "$GPMSK,,A,,A,0\r\n~1000", 0.0f, 0},
        {{}, IDC_BEACON2_TUNE_ERASE, "$GPMSK,,A,,A,0\r\n~500$PKRV,4\r\n~1000", 0.0f, 0},
        // Europe, Iceland, Raufarhöfn.
        {{{IDC_BEACON2_REGION, 3}, {IDC_BEACON2_COUNTRY, 7}, {IDC_BEACON2_STATION, 2}},
         IDC_BEACON2_TUNE_NAME, "$GPMSK,289.5,M,,A,0\r\n~1000", 289.5f, 0}};
    const struct { int radio; const char* shown; /* bottom, top, SS, SNR, frequency */ } plot[] = {
        {IDC_BEACON3_FREQ, "283.0|325.0|N/A|N/A|300.0"}, {IDC_BEACON3_SNR, "0|40|N/A|55|N/A"}};
    // clang-format on
    Walk({{SCR_BEACON_1,
           [&] {
               EXPECT_EQ(Sent(), "$JAPP\r\n$JDIFF\r\n" + on);
               QuietPoll();
               EXPECT_EQ(TickSent(), "$JAPP\r\n$JDIFF\r\n" + on + "~0");
               for (const auto& c : status) {
                   EXPECT_TRUE(Feed(c.sentence));
                   Feed("PKRV,CS1,1,2,3,4,5");  // the second status sentence changes nothing
                   Tick();
                   std::string shown = Texts({IDC_BEACON1_NAME, IDC_BEACON1_FREQ_MODE,
                                              IDC_BEACON1_RATE_MODE, IDC_BEACON1_SNR_VALUE});
                   for (int bar : {IDC_BEACON1_SS_BAR, IDC_BEACON1_SNR_BAR, IDC_BEACON1_MTP_BAR,
                                   IDC_BEACON1_Q_BAR})
                       shown += "|" + std::to_string(Page()->GetPos(bar));
                   EXPECT_EQ(shown, c.shown) << c.sentence;
               }
               Feed("PKRV,CS0,BX3.1,0,300.0,M,100,M,20,9,50,10,460,0");
               ClearWire();
               SelectTab(IDC_BEACON1_TAB, 1);
           }},
          {SCR_BEACON_2,
           [&] {
               EXPECT_EQ(Sent(), off + on);
               EXPECT_EQ(TickSent(), "~0");
               // The tune page shows the status; the rate list starts at the receiver's rate.
               EXPECT_EQ(Texts({IDC_BEACON2_NAME, IDC_BEACON2_FREQ, IDC_BEACON2_RATE,
                                IDC_BEACON2_RATE_LIST}),
                         "S\xC3\xA3o Marcos|300.0 kHz|100 bps|100 bps");
               for (const auto& c : tunes) {
                   for (const auto& [combo, item] : c.choices) Choose(combo, item);
                   ClearWire();
                   Click(c.button);
                   EXPECT_EQ(Sent(), c.wire + on);
                   EXPECT_FLOAT_EQ(g_GPS.Info.Settings.WizardLive.fFreq, c.freq) << c.wire;
                   EXPECT_EQ(g_GPS.Info.Settings.WizardLive.iBitRate, c.bitRate) << c.wire;
               }
               EXPECT_EQ(As<CBEACON_2>(SCR_BEACON_2)->m_strStation, std::string("Raufarh\xF6"
                                                                                "fn"));
               GPSInfo& info = g_GPS.Info;
               RecordLock lock(info.ulPart1Lock);
               info.iBeaconHistoryIndex = 100;
               info.iBeaconSNRHistory[99] = 55;
               info.iBeaconSNRHistory[98] = 12;
               info.iBeaconSSHistory[99] = 33;
               info.fBeaconFreqHistory[99] = 300.0f;
               QuietPoll();
               ClearWire();
               SelectTab(IDC_BEACON2_TAB, 2);
           }},
          // One series at a time with its axis labels, the others "N/A"; a sample above the
          // scale on the band's top edge; the cursor on the newest second stays in sight.
          {SCR_BEACON_3, [&] {
               EXPECT_EQ(Sent(), off + on);
               EXPECT_EQ(TickSent(), "~0");
               for (const auto& st : plot) {
                   if (st.radio) Click(st.radio);
                   Tick();
                   EXPECT_EQ(Texts({1157, 1161, IDC_BEACON3_SS_VALUE, IDC_BEACON3_SNR_VALUE,
                                    IDC_BEACON3_FREQ_VALUE, IDC_BEACON3_SECONDS, 1154}),
                             st.shown + std::string("|Now|Now"));
               }
               strip::StripChart& chart = As<CBEACON_3>(SCR_BEACON_3)->Chart();
               const strip::StripScale scale{20.0, 40.0, false};
               EXPECT_EQ(At(chart, 150, 40, scale), strip::kCurve);
               const ui::Rect band = chart.PlotRect();
               EXPECT_EQ(Pixel(chart.Canvas(), band.right - 1, band.top + 3), strip::kCursor);
               EXPECT_EQ(LeaveSent(), off);
           }}});
}

INSTANTIATE_TEST_SUITE_P(Scales, BeaconGroup, ::testing::Values(1.0, 1.5), [](const auto& info) {
    return std::string(info.param > 1.0 ? "scale15" : "scale1");
});

// From the beacon to the SBAS group through the source combo; D1 off on leaving, on on entering.
TEST_F(DiffTest, SbasGroupFromTheSourceCombo) {
    Start();
    g_GPS.Info.eCurCorrSource = CORR_BEACON;
    const std::string egnos = "120|EGNOS|120|PRN120|-15.5|30.25|140.5|";
    const std::string waas = "122|WAAS|122|PRN122|-142.5|21.3|221.75|";
    // Replies, then the two slots: PRN, system, PRN, caption, lon, el, az, BER and its bar.
    // clang-format off
    const struct { std::vector<const char*> replies; std::string slot1, slot2; } rows[] = {
        // Slots filled alternately; rates clamped to 0..500 on number and bar.
        {{">JGEO,Sent,FREQ=1575.4200,PRN=122,LON=-142.5,EL=21.3,AZ=221.75",
          ">JGEO,Sent,FREQ=1575.4200,PRN=120,LON=-15.5,EL=30.25,AZ=140.5",
          "RD1,000041,1910,1557.8450,1,0-700,0,0,0,0,0,1,2"}, egnos + "0|500", waas + "500|0"},
        {{"RD1,000041,1910,1557.8450,1,140-12,0,0,0,0,0,1,2"}, egnos + "12|488", waas + "140|360"}};
    // clang-format on
    Walk({{SCR_BEACON_1,
           [&] {
               EXPECT_EQ(Text(IDC_DIFF_SOURCE), "BEACON");
               ClearWire();
               Choose(IDC_DIFF_SOURCE, 0);
           }},
          {SCR_SBAS_1,
           [&] {
               EXPECT_EQ(Sent(),
                         "$JDIFF,WAAS\r\n~500$JAPP\r\n~100$JDIFF\r\n~100$PKRV,1,0\r\n~10"
                         "$JASC,D1,1\r\n$JGEO,ALL\r\n$JAPP\r\n$JDIFF\r\n");
               QuietPoll();
               EXPECT_EQ(TickSent(), "$JAPP\r\n~0$JDIFF\r\n~0$JGEO,ALL\r\n~0~0");
               for (const auto& c : rows) {
                   for (const char* reply : c.replies) EXPECT_TRUE(Feed(reply)) << reply;
                   Tick();
                   EXPECT_EQ(Texts({IDC_SBAS1_PRN1, IDC_SBAS1_SYSTEM1, IDC_SBAS1_LOC_PRN1,
                                    IDC_SBAS_CAPTION1, IDC_SBAS1_LON1, IDC_SBAS1_EL1, IDC_SBAS1_AZ1,
                                    IDC_SBAS_BER1}) +
                                 "|" + std::to_string(Page()->GetPos(IDC_SBAS_BAR1)),
                             c.slot1);
                   EXPECT_EQ(Texts({IDC_SBAS1_PRN2, IDC_SBAS1_SYSTEM2, IDC_SBAS1_LOC_PRN2,
                                    IDC_SBAS_CAPTION2, IDC_SBAS1_LON2, IDC_SBAS1_EL2, IDC_SBAS1_AZ2,
                                    IDC_SBAS_BER2}) +
                                 "|" + std::to_string(Page()->GetPos(IDC_SBAS_BAR2)),
                             c.slot2);
               }
               std::fill(std::begin(g_GPS.Info.iSBASBerHistory[0]),
                         std::end(g_GPS.Info.iSBASBerHistory[0]), 30);
               ClearWire();
               SelectTab(IDC_SBAS1_TAB, 1);
           }},
          {SCR_SBAS_3, [&] {
               EXPECT_EQ(Sent(), "$JASC,D1,0\r\n$JASC,D1,1\r\n$JGEO,ALL\r\n$JDIFF\r\n");
               QuietPoll();
               EXPECT_EQ(TickSent(), "$JDIFF\r\n$JGEO,ALL\r\n~0");
               EXPECT_EQ(Texts({IDC_SBAS3_ROW1, IDC_SBAS3_ROW2, IDC_SBAS3_SECONDS}),
                         "PRN120|PRN122|Now");
               EXPECT_EQ(At(As<CSBAS_3>(SCR_SBAS_3)->Chart(), 150, 30, {250.0, 500.0, false}),
                         strip::kOrange);  // the first row
               EXPECT_EQ(LeaveSent(), "$JASC,D1,0\r\n");
           }}});
}

// A binary message 80 with an ionospheric-delay message (250 bits, most significant first):
// type, band, block, fifteen (delay, GIVEI) pairs from a first delay and a step.
std::string Iono(uint32_t type, uint32_t band, uint32_t block, uint32_t delay, uint32_t step,
                 uint32_t givei) {
    std::vector<std::pair<uint32_t, int>> f{{0x53, 8}, {type, 6}, {band, 4}, {block, 4}};
    for (uint32_t j = 0; j < 15; ++j)
        f.insert(f.end(), {{(delay + step * j) % 512, 9}, {givei, 4}});
    f.push_back({2, 2});  // IODI
    std::vector<uint32_t> words(8, 0);
    int bit = 0;
    for (const auto& [value, count] : f)
        for (int i = count - 1; i >= 0; --i, ++bit)
            if ((value >> i) & 1u) words[static_cast<size_t>(bit / 32)] |= 1u << (31 - bit % 32);
    platform::ByteWriter w;
    w.U16(122);
    w.Zeros(6);
    for (uint32_t word : words) w.U32(word);
    return w.str();
}

// Every output off first, message 99 kept on when left; type 26 without a place is ignored.
TEST_F(DiffTest, IonoMapGridLegendAndColourScale) {
    Start();
    OnScreen(SCR_SBAS_2, [&] {
        auto* s = As<CSBAS_2>(SCR_SBAS_2);
        EXPECT_EQ(Sent(), "$JOFF\r\n~250$JBIN,80,1\r\n$JBIN,99,1\r\n");
        QuietPoll();
        EXPECT_EQ(TickSent(), "$JDIFF\r\n$JGEO,ALL\r\n~0");
        // The last three have no place in the grid or are of another type.
        for (const std::string& m :
             {Iono(26, 0, 0, 511, 1, 7), Iono(26, 3, 13, 8, 8, 15), Iono(26, 10, 13, 100, 0, 3),
              Iono(26, 11, 0, 40, 0, 1), Iono(26, 10, 14, 40, 0, 1), Iono(25, 1, 1, 40, 0, 1)})
            EXPECT_TRUE(FeedBin(80, m));
        Tick();
        int valid = 0;
        for (const auto& band : s->Grid())
            for (const IonoGridPoint& p : band) valid += static_cast<int>(p.bValid);
        EXPECT_EQ(valid, 45);
        std::string cells;  // band/slot: delay, GIVEI, valid
                            // clang-format off
        for (const auto& [band, slot] : {std::pair<size_t, size_t>{0, 0}, {0, 14}, {0, 15}, {3, 194}, {3, 195}, {3, 209}, {10, 209}}) {
            // clang-format on
            const IonoGridPoint& p = s->Grid()[band][slot];
            cells += platform::Format("%g %u %u|", p.fDelay, p.ulGIVEI, p.bValid);
        }
        EXPECT_EQ(cells, "63.875 7 1|1.625 7 1|0 0 0|0 0 0|1 15 1|15 15 1|12.5 3 1|");
        for (int i = 0; i < 10; ++i) Tick();  // drawn every eleventh tick
        ASSERT_NE(s->MapCanvas(), nullptr);
        EXPECT_EQ(Texts({IDC_SBAS2_LEGEND_FIRST, IDC_SBAS2_LEGEND_FIRST + 7}), "0.0|14.0");
        // The scale fills its frame, blue to red; the map shows its framed top row at full height.
        const CTessaray_PCApp& app = theApp();
        const int y = static_cast<int>((kIonoScaleTop + 5) * app.fScaleY);
        const int left = static_cast<int>(kIonoScaleLeft * app.fScaleX);
        const int right = static_cast<int>((kIonoScaleLeft + kIonoScaleWidth) * app.fScaleX);
        const int mapLeft = static_cast<int>(kIonoMapRect.x * app.fScaleX);
        const int mapTop = static_cast<int>(kIonoMapRect.y * app.fScaleY);
        const ui::Canvas& map = *s->MapCanvas();
        const ui::Rgb frame{150, 150, 150};
        // clang-format off
        const struct { int x, y; ui::Rgb rgb; } probes[] = {{left, y, {0, 0, 0}}, {left + 1, y, {100, 101, 254}},
            {right - 1, y, {248, 107, 100}}, {mapLeft + 40, mapTop, frame}, {mapLeft, mapTop + 60, frame}};
        // clang-format on
        for (const auto& p : probes) EXPECT_EQ(Pixel(map, p.x, p.y), p.rgb) << p.x << "," << p.y;
        EXPECT_EQ(LeaveSent(), "$JBIN,80,0\r\n");
    });
}

// Each band's grid points in the standard's order: bands 0 to 8 column by column from the
// west, each column from south to north (the 85-degree point only on its four meridians, none
// in band 8); bands 9 and 10 row by row from 60 degrees poleward, each row from the west.
TEST(IonoGridPoints, BandsInTheStandardsOrder) {
    IonoGrid grid;
    InitIonoGrid(grid);
    // clang-format off
    const struct { size_t band; int used; std::vector<std::tuple<size_t, int, int>> probes; } bands[] = {
        {0, 201, {{0, -75, -180}, {1, -65, -180}, {2, -55, -180}, {24, 55, -180}, {27, 85, -180},
                  {28, -55, -175}, {50, 55, -175}, {51, -75, -170}, {78, -55, -165}, {200, 55, -145}}},
        {1, 201, {{0, -85, -140}, {27, 75, -140}, {28, -55, -135}, {200, 55, -105}}},
        {2, 201, {{0, -75, -100}, {77, 85, -90}, {200, 55, -65}}},
        {4, 201, {{127, 85, 0}, {128, -55, 5}}},
        {7, 201, {{150, -85, 130}, {200, 55, 135}}},
        {8, 200, {{0, -75, 140}, {26, 75, 140}, {27, -55, 145}, {199, 55, 175}}},
        {9, 192, {{0, 60, -180}, {1, 60, -175}, {71, 60, 175}, {72, 65, -180}, {107, 65, 170},
                  {144, 75, -180}, {180, 85, -180}, {191, 85, 150}}},
        {10, 192, {{0, -60, -180}, {72, -65, -180}, {180, -85, -170}, {191, -85, 160}}}};
    // clang-format on
    for (const auto& b : bands) {
        SCOPED_TRACE(b.band);
        int used = 0;
        for (const IonoGridPoint& p : grid[b.band]) used += p.iLat != kIgpUnused;
        EXPECT_EQ(used, b.used);
        for (size_t slot = static_cast<size_t>(b.used); slot < grid[b.band].size(); ++slot)
            EXPECT_EQ(grid[b.band][slot].iLon, kIgpUnused) << slot;
        for (const auto& [slot, lat, lon] : b.probes) {
            const IonoGridPoint& p = grid[b.band][slot];
            EXPECT_EQ(std::pair(p.iLat, p.iLon), std::pair(lat, lon)) << slot;
        }
    }
}

}  // namespace
