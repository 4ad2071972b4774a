// Navigation bar, status strip rules and source end, and the picture and icon controls.

#include <gtest/gtest.h>

#include <QImage>
#include <QTemporaryDir>
#include <array>
#include <string>
#include <vector>

#include "engine/gps.h"
#include "platform/trace.h"
#include "shell/BmpStatic.h"
#include "shell/DiffSource.h"
#include "shell/IconComboBox.h"
#include "shell/NavBar.h"
#include "shell/StatusStrip.h"
#include "shell/Tessaray_PC.h"
#include "support/qt/shell_harness.h"
#include "support/qt/test_pages.h"
#include "ui/automation.h"

namespace {

TEST(NavBar, HitRowsScalingAndActions) {
    using F = ScreenFamily;
    // Right and bottom edges are outside; at 1.25 row 1 is x 62..91, y 526..547.
    const struct {
        float scale;
        int x, y, row;
    } hits[] = {
        // clang-format off
        {1.0f, 50, 421, 1},   {1.0f, 72, 437, 1},   {1.0f, 73, 430, 0},   {1.0f, 60, 438, 0},
        {1.0f, 49, 430, 0},   {1.0f, 60, 420, 0},   {1.0f, 108, 437, 2},  {1.0f, 117, 421, 3},
        {1.0f, 181, 430, 0},  {1.0f, 212, 437, 5},  {1.0f, 299, 437, 6},  {1.0f, 300, 430, 0},
        {1.0f, 298, 80, 7},   {1.0f, 313, 95, 7},   {1.0f, 314, 90, 0},   {1.0f, 305, 96, 0},
        {1.0f, 250, 430, 0},  {1.25f, 62, 526, 1},  {1.25f, 61, 530, 0},  {1.25f, 90, 546, 1},
        {1.25f, 91, 530, 0},  {1.25f, 70, 547, 0},  {1.25f, 70, 525, 0},  {1.25f, 136, 530, 0},
        {1.25f, 190, 530, 4}, {1.25f, 346, 530, 6}, {1.25f, 391, 119, 7}, {1.25f, 392, 110, 0},
        {1.25f, 380, 120, 0}, {1.25f, 50, 421, 0},
        // Rows 6 and 7 overlap in x only: the first that holds the point wins.
        {1.0f, 298, 421, 6},  {1.0f, 299, 90, 7},
        // clang-format on
    };
    for (const auto& c : hits)
        EXPECT_EQ(NavHitRow(c.x, c.y, c.scale, c.scale), c.row)
            << c.scale << " " << c.x << "," << c.y;
    // Single precision, truncated: 50 * 1.1f is 55; 73 * 1.5 is 109.5 -> 109.
    const NavPixelRect r = NavRowPixels(6, 2.0f, 0.5f);
    EXPECT_EQ(std::vector<int>({NavRowPixels(1, 1.1f, 1.1f).left, NavRowPixels(1, 1.5f, 1.5f).right,
                                r.left, r.top, r.right, r.bottom}),
              std::vector<int>({55, 109, 554, 210, 600, 219}));
    // Rows 1..7: G GPS, D differential, T terminal, L logs, H heading, S start-up, C close box.
    const struct {
        ScreenFamily family;
        int receiver;
        const char* actions;
    } families[] = {
        // clang-format off
        {F::Gps, RECEIVER_GPS, "GDTL-SC"},           {F::Gps, RECEIVER_HEADING, "GDTLHSC"},
        {F::Gps, RECEIVER_BLUETOOTH, "GDTL-SC"},     {F::TSpanRover, RECEIVER_HEADING, "GDTLHSC"},
        {F::Heading, RECEIVER_HEADING, "GDTL-SC"},   {F::Terminal, RECEIVER_HEADING, "GD-LHSC"},
        {F::Logs, RECEIVER_GPS, "GDT--SC"},          {F::Main, RECEIVER_HEADING, "------C"},
        {F::Startup, RECEIVER_HEADING, "------C"},   {F::Plain, RECEIVER_HEADING, "-------"},
        // clang-format on
    };
    const std::string letters = "-GDTLHSC";  // in the order of NavAction
    for (const auto& f : families) {
        std::string got;
        for (int row = 0; row <= 8; ++row)
            got += letters[static_cast<size_t>(NavRowAction(f.family, row, f.receiver))];
        EXPECT_EQ(got, std::string("-") + f.actions + "-") << static_cast<int>(f.family);
    }
    std::string asks;
    for (int row = 1; row <= 7; ++row)
        asks += std::to_string(NavRowAsksAboutLogs(ScreenFamily::Logs, row) +
                               2 * NavRowAsksAboutLogs(ScreenFamily::Gps, row));
    EXPECT_EQ(asks, "1110110");
}

// The bar's picture and screen group by family and source; cells: other found / other not
// found / heading found / heading not found.
TEST(NavBar, PicturesOfEveryFamily) {
    using F = ScreenFamily;
    const struct {
        ScreenFamily family;
        int source, group;
        std::array<int, 4> cells;
    } cases[] = {
        // clang-format off
        {F::Startup, 0, 4, {295, 286, 289, 280}},
        {F::Startup, -1, 1, {205, 141, 199, 189}},  // unknown sources are SBAS
        {F::Startup, 10, 1, {205, 141, 199, 189}},  {F::Startup, 8, 8, {380, 369, 372, 361}},
        {F::Beacon, 1, 2, {157, 145, 156, 144}},    {F::Beacon, 2, 3, {186, 175, 178, 166}},
        {F::LBand, 2, 3, {183, 172, 182, 171}},     {F::Sbas, 3, 1, {207, 196, 206, 195}},
        {F::XRef, 6, 5, {270, 258, 269, 257}},      {F::TSpanBase, 7, 7, {352, 341, 351, 340}},
        {F::TSpanRover, 8, 8, {374, 363, 373, 362}}, {F::Gps, 3, 1, {200, 191, 142, 190}},
        {F::Gps, 42, 1, {200, 191, 142, 190}},      {F::Gps, 4, 6, {309, 300, 308, 299}},
        {F::Logs, 0, 4, {294, 285, 293, 284}},      {F::Logs, 8, 8, {379, 368, 378, 367}},
        {F::Terminal, 1, 2, {165, 154, 164, 153}},  {F::Terminal, 6, 5, {279, 267, 278, 266}},
        // The heading screens show the same picture whatever the receiver.
        {F::Heading, 2, 3, {181, 169, 181, 169}},   {F::Heading, 7, 7, {355, 344, 355, 344}},
        // The welcome page: t-Span sources get the SBAS pictures and group.
        {F::Main, 7, 1, {205, 141, 199, 189}},      {F::Main, 8, 1, {205, 141, 199, 189}},
        {F::Main, 4, 6, {313, 304, 307, 298}},
        // clang-format on
    };
    for (const auto& c : cases) {
        std::string got, want;
        for (size_t cell = 0; cell < 4; ++cell) {
            const NavBarChoice n = ChooseNavBar(c.family, c.source, cell % 2 == 0, cell >= 2);
            got += std::to_string(n.iBitmapId) + "/" + std::to_string(n.iScreenGroup) + " ";
            want += std::to_string(c.cells[cell]) + "/" + std::to_string(c.group) + " ";
        }
        EXPECT_EQ(got, want) << static_cast<int>(c.family) << " source " << c.source;
    }
    EXPECT_EQ(ChooseNavBar(F::Plain, 0, true, false).iBitmapId, 0);
}

TEST(StatusStrip, LampsAndLabelByModeAndFix) {
    const StripVariant S = StripVariant::Standard, O = StripVariant::OutputSetup,
                       M = StripVariant::Main;
    // Lamps: G good, B bad, U unchanged; label "" when not written.
    const struct {
        StripVariant variant;
        uint16_t navMode;
        int32_t fix;
        bool found;
        const char *lamps, *label;
    } cases[] = {
        // clang-format off
        {S, 0, 0, true, "GBB", "COMM"},     {S, 0, 0, false, "BBB", "COMM"},
        {S, 0, 1, false, "GGB", "COMM"},    {S, 0, 2, false, "GGG", "3D+DIFF"},
        {S, 0, 3, true, "UUU", ""},         {S, 0, -1, true, "UUU", ""},
        {S, 1, 0, false, "BGB", "2D+DIFF"}, {S, 2, 0, false, "BGB", "3D+DIFF"},
        {S, 3, 0, false, "GGB", "2D+DIFF"}, {S, 4, 0, false, "GGG", "3D+DIFF"},
        {S, 5, 2, false, "GGG", "3D+DIFF"}, {S, 6, 0, true, "GGG", "3D+DIFF"},
        {S, 7, 2, true, "UUU", ""},         {S, 0x81, 0, true, "UUU", ""},
        {S, 0xFFFF, 0, true, "UUU", ""},    {M, 0, 0, false, "BBB", "COMM"},
        {M, 3, 0, false, "GGB", "2D+DIFF"}, {M, 9, 0, false, "UUU", ""},
        // Output setup: the low three bits of a non-zero mode; 7 is like 4..6.
        {O, 0, 1, false, "GGB", "COMM"},    {O, 0, 5, false, "UUU", ""},
        {O, 1, 0, false, "BGB", "2D+DIFF"}, {O, 3, 0, false, "GGB", "2D+DIFF"},
        {O, 7, 0, false, "GGG", "3D+DIFF"}, {O, 0x0F, 0, true, "GGG", "3D+DIFF"},
        {O, 8, 0, true, "GBB", "COMM"},     {O, 8, 0, false, "BBB", "COMM"},
        {O, 0x0102, 0, false, "BGB", "3D+DIFF"}, {O, 0x0180, 2, true, "GBB", "COMM"},
        // clang-format on
    };
    platform::ClearTrace();
    for (const auto& c : cases) {
        const StripState s = ComputeStatusStrip(c.variant, c.navMode, c.fix, c.found);
        std::string lamps;
        for (LampState l : s.pair)
            lamps += l == LampState::Good ? 'G' : l == LampState::Bad ? 'B' : 'U';
        EXPECT_EQ(lamps + "|" + s.label1.value_or(""), std::string(c.lamps) + "|" + c.label)
            << static_cast<int>(c.variant) << " " << c.navMode << " " << c.fix;
    }
    // The output-setup copy reduces high modes without an internal error.
    EXPECT_FALSE(platform::TraceContains("internal error"));
    std::string welcome;
    for (int source = -1; source <= 10; ++source)
        welcome += MainWindowSourceLabel(source).value_or("-") + "|";
    EXPECT_EQ(welcome, "-|NONE|Beacon|LBand|SBAS|EXT|RTK|x-Ref|-|-|SubSea7|-|");
}

// The source's end of a beacon page's strip (label 3 1002 with 1020/1045, fix lamps 1018/1043).
TEST(DiffSource, StripEndWeakSignalAndReportNames) {
    shelltest::StartProgram(1.0);
    g_GPS.Info.Init();
    RegisterScreen(SCR_BEACON_1, [] {
        return std::make_unique<shelltest::TestPage>(SCR_BEACON_1, ScreenFamily::Beacon, "Beacon");
    });
    CBaseDialog* page = Screen(SCR_BEACON_1);
    // Shown: label 3, its good/bad lamps, the fix's good/bad lamps (source left good, fix bad).
    const struct {
        int source, snr, lbandBer, sbasBer1, sbasBer2;
        const char *label1, *label3, *shown;
    } cases[] = {
        // clang-format off
        {CORR_NONE, 20, 0, 0, 0, "3D+DIFF", "NONE", "00010"},
        {CORR_BEACON, 9, 500, 500, 500, "3D+DIFF", "Beacon", "11001"},
        {CORR_BEACON, 8, 0, 0, 0, "COMM", "Beacon", "10101"},
        {CORR_LBND, 0, 149, 500, 500, "3D+DIFF", "LBand", "11001"},
        {CORR_LBND, 20, 150, 0, 0, "3D+DIFF", "LBand", "10101"},
        {CORR_SBAS, 0, 500, 500, 149, "3D+DIFF", "SBAS", "11001"},
        {CORR_SBAS, 20, 0, 150, 150, "2D+DIFF", "SBAS", "10101"},
        {CORR_EXTERNAL, 0, 500, 500, 500, "3D+DIFF", "EXT", "11001"},
        {CORR_RTK, 0, 500, 500, 500, "3D+DIFF", "RTK", "11001"},
        {CORR_XREF, 0, 500, 500, 500, "3D+DIFF", "x-Ref", "11001"},
        {CORR_TSPAN_BASE, 0, 500, 500, 500, "3D+DIFF", "t-Span Base", "11001"},
        {CORR_TSPAN_ROVER, 0, 500, 500, 500, "3D+DIFF", "t-Span Rover", "11001"},
        {CORR_SUBSEA7, 0, 500, 500, 500, "3D+DIFF", "SubSea7", "11001"},
        // clang-format on
    };
    const auto strip = [page] { ShowDiffSourceStatus(page, 1002, 1020, 1045, 1001, 1018, 1043); };
    ui::StepRunner run;
    run.AddWait([page] { return page->IsWindowVisible(); }, 5000, [] { ADD_FAILURE(); });
    run.Add([&] {
        GPSInfo& info = g_GPS.Info;
        theApp().bReceiverFound = 1;
        for (const auto& c : cases) {
            std::tie(info.eCurCorrSource, info.Beacon.iSNR, info.LBand.iLBandBer,
                     info.LBand.iSBASBer1, info.LBand.iSBASBer2) =
                std::tuple(c.source, c.snr, c.lbandBer, c.sbasBer1, c.sbasBer2);
            page->SetDlgItemText(1001, c.label1);
            page->SetDlgItemText(1002, "SBAS");
            for (auto [id, show] :
                 {std::pair{1002, true}, {1020, true}, {1045, false}, {1018, false}, {1043, true}})
                page->ShowItem(id, show);
            page->m_bWeakSignalOnce = 0;
            strip();
            EXPECT_EQ(page->GetDlgItemText(1002) + "|" +
                          (c.source == CORR_NONE ? page->GetDlgItemText(1001) : "") + "|" +
                          shelltest::Shown(page, {1002, 1020, 1045, 1018, 1043}),
                      std::string(c.label3) + "|" + (c.source == CORR_NONE ? "COMM" : "") + "|" +
                          c.shown);
        }
        // Not found: the fix lamp of source NONE turns bad.
        theApp().bReceiverFound = 0;
        info.eCurCorrSource = CORR_NONE;
        strip();
        EXPECT_EQ(page->GetDlgItemText(1001) + shelltest::Shown(page, {1018, 1043}), "COMM01");
        platform::ClearTrace();
        info.eCurCorrSource = 10;
        strip();
        EXPECT_TRUE(platform::TraceContains("internal error"));
        // A weak beacon clears the fix once per weak spell.
        info.eCurCorrSource = CORR_BEACON;
        page->SetDlgItemText(1001, "3D+DIFF");
        std::string fixes;
        for (int snr : {3, 3, 15, 3}) {
            info.Beacon.iSNR = snr, info.Nav.usNavMode = 4, info.Nav.iFixQuality = 2;
            strip();
            fixes += std::to_string(info.Nav.usNavMode * 10 + info.Nav.iFixQuality) + "|";
        }
        EXPECT_EQ(fixes, "0|42|42|0|");
        page->EndDialog(ui::IDCANCEL);
    });
    run.Start();
    page->DoModal();
    std::string names;
    for (int source = -1; source <= 10; ++source) {
        std::string out = "stale";
        DiffSourceName(source, out);
        names += out + "|";
    }
    EXPECT_EQ(names,
              "SBAS|NONE|BEACON|LBND|SBAS|EXTERNAL|SBAS|x-Ref|t-Span Base|t-Span Rover|SBAS|SBAS|");
}

TEST(Widgets, PictureAndIconControlsRefuseWhatTheyCannotShow) {
    shelltest::StartQt();
    QWidget page;
    auto* picture = new ui::Picture(238, false, &page);
    CBmpStatic bmp(picture);
    bmp.SetNavBarSize(QSize(282, 28));
    // Unknown, -1 and icon ids leave the picture as it was.
    for (int bad : {-1, 99999, 131})
        EXPECT_TRUE(bmp.SetBitmapId(bad) == 0 && bmp.GetBitmapId() == 238) << bad;
    EXPECT_EQ(bmp.SetBitmapId(237) + CBmpStatic().SetBitmapId(237), 1);
    EXPECT_EQ(picture->size(), QSize(282, 28));
    auto* combo = new ui::IconCombo(&page);
    CIconComboBox icons(combo);
    for (unsigned id : {219u, 218u, 217u}) icons.AddIcon(id);
    EXPECT_EQ(icons.AddIcon(99999u) + icons.AddIcon(0xFFFFFFFFu), -2);
    EXPECT_EQ(icons.GetText(1) + std::to_string(combo->IconAt(1)), "Sample218");
    // A marker from the user's picture file; a missing file is refused.
    QTemporaryDir dir;
    const std::string png = dir.path().toStdString() + "/marker.png";
    QImage image(16, 16, QImage::Format_ARGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(QString::fromStdString(png)));
    EXPECT_EQ(icons.InsertIcon(1, png) * 10 + icons.AddIcon(png + ".missing"), 9);
    icons.SelectIcon("no such icon");
    icons.SelectIcon(png);
    EXPECT_EQ(icons.GetCurSel(), 1);
    icons.DeleteIcon(png);
    icons.DeleteIcon(7);
    // Text items have no place in an icon list: refused with a trace.
    platform::ClearTrace();
    EXPECT_EQ(icons.AddString("text") + icons.InsertString(0, "text") + icons.Dir("*.ico"), -3);
    EXPECT_EQ(icons.GetCount(), 3);
    EXPECT_TRUE(platform::TraceContains("IconComboBox.cpp"));
}

}  // namespace
