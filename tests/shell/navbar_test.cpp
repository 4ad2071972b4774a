#include "shell/NavBar.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/gps.h"

namespace {

struct HitCase {
    float scale;
    int x, y;
    int row;
};

// Edges after scaling: at 1.25 row 1 is x 62..91 (50*1.25=62.5 -> 62, 73*1.25=91.25 -> 91),
// y 526..547 (421*1.25=526.25, 438*1.25=547.5); right and bottom edges are outside.
TEST(NavBar, HitTestAtScaleOneAndOneQuarter) {
    const std::vector<HitCase> cases = {
        {1.0f, 50, 421, 1},   {1.0f, 72, 437, 1},   {1.0f, 73, 430, 0},   {1.0f, 60, 438, 0},
        {1.0f, 49, 430, 0},   {1.0f, 60, 420, 0},   {1.0f, 108, 437, 2},  {1.0f, 117, 421, 3},
        {1.0f, 181, 430, 0},  {1.0f, 212, 437, 5},  {1.0f, 299, 437, 6},  {1.0f, 300, 430, 0},
        {1.0f, 298, 80, 7},   {1.0f, 313, 95, 7},   {1.0f, 314, 90, 0},   {1.0f, 305, 96, 0},
        {1.0f, 250, 430, 0},  {1.25f, 62, 526, 1},  {1.25f, 61, 530, 0},  {1.25f, 90, 546, 1},
        {1.25f, 91, 530, 0},  {1.25f, 70, 547, 0},  {1.25f, 70, 525, 0},  {1.25f, 136, 530, 0},
        {1.25f, 190, 530, 4}, {1.25f, 346, 530, 6}, {1.25f, 391, 119, 7}, {1.25f, 392, 110, 0},
        {1.25f, 380, 120, 0}, {1.25f, 50, 421, 0},
    };
    for (const HitCase& c : cases) {
        EXPECT_EQ(NavHitRow(c.x, c.y, c.scale, c.scale), c.row)
            << "scale " << c.scale << " at " << c.x << "," << c.y;
    }
}

TEST(NavBar, ScalingMultipliesInSinglePrecisionAndTruncates) {
    // 1.1f is slightly above 1.1: 50 * 1.1f rounds to exactly 55 in float.
    EXPECT_EQ(NavRowPixels(1, 1.1f, 1.1f).left, 55);
    // Truncation toward zero, not rounding: 73 * 1.5 = 109.5 -> 109.
    EXPECT_EQ(NavRowPixels(1, 1.5f, 1.5f).right, 109);
    EXPECT_EQ(NavRowPixels(7, 1.5f, 1.5f).top, 120);
    EXPECT_EQ(NavRowPixels(7, 1.5f, 1.5f).bottom, 144);
    // Different factors for x and y.
    const NavPixelRect r = NavRowPixels(6, 2.0f, 0.5f);
    EXPECT_EQ(r.left, 554);
    EXPECT_EQ(r.top, 210);
    EXPECT_EQ(r.right, 600);
    EXPECT_EQ(r.bottom, 219);
}

TEST(NavBar, RowOrderFirstHitWins) {
    // Rows 6 (277..300) and 7 (298..314) overlap in x but not in y; a point in row 6's
    // rectangle at x 298 is row 6.
    EXPECT_EQ(NavHitRow(298, 421, 1.0f, 1.0f), 6);
    EXPECT_EQ(NavHitRow(299, 90, 1.0f, 1.0f), 7);
}

TEST(NavBar, ActionsPerFamily) {
    using A = NavAction;
    struct Case {
        ScreenFamily family;
        int receiver;
        std::array<A, 7> actions;
    };
    const A gps = A::GoToGps, diff = A::GoToDiff, term = A::GoToTerminal, logs = A::GoToLogs,
            head = A::GoToHeading, start = A::GoToStartup, close = A::CloseBox, none = A::None;
    const std::vector<Case> cases = {
        {ScreenFamily::Gps, RECEIVER_GPS, {gps, diff, term, logs, none, start, close}},
        {ScreenFamily::Gps, RECEIVER_HEADING, {gps, diff, term, logs, head, start, close}},
        {ScreenFamily::Gps, RECEIVER_BLUETOOTH, {gps, diff, term, logs, none, start, close}},
        {ScreenFamily::TSpanRover, RECEIVER_HEADING, {gps, diff, term, logs, head, start, close}},
        {ScreenFamily::Heading, RECEIVER_HEADING, {gps, diff, term, logs, none, start, close}},
        {ScreenFamily::Terminal, RECEIVER_HEADING, {gps, diff, none, logs, head, start, close}},
        {ScreenFamily::Logs, RECEIVER_GPS, {gps, diff, term, none, none, start, close}},
        {ScreenFamily::Main, RECEIVER_HEADING, {none, none, none, none, none, none, close}},
        {ScreenFamily::Startup, RECEIVER_HEADING, {none, none, none, none, none, none, close}},
        {ScreenFamily::Plain, RECEIVER_HEADING, {none, none, none, none, none, none, none}},
    };
    for (const Case& c : cases) {
        for (int row = 1; row <= 7; ++row) {
            EXPECT_EQ(NavRowAction(c.family, row, c.receiver),
                      c.actions[static_cast<size_t>(row - 1)])
                << "family " << static_cast<int>(c.family) << " receiver " << c.receiver << " row "
                << row;
        }
        EXPECT_EQ(NavRowAction(c.family, 0, c.receiver), A::None);
        EXPECT_EQ(NavRowAction(c.family, 8, c.receiver), A::None);
    }
    for (int row = 1; row <= 7; ++row) {
        EXPECT_EQ(NavRowAsksAboutLogs(ScreenFamily::Logs, row), row != 4 && row != 7);
        EXPECT_FALSE(NavRowAsksAboutLogs(ScreenFamily::Gps, row));
    }
}

TEST(NavBar, PicturesOfEveryFamily) {
    // Cells: other found / other not found / heading found / heading not found.
    const struct {
        ScreenFamily family;
        int source, group;
        std::array<int, 4> cells;
    } cases[] = {
        {ScreenFamily::Startup, 0, 4, {295, 286, 289, 280}},
        {ScreenFamily::Startup, -1, 1, {205, 141, 199, 189}},  // unknown sources are SBAS
        {ScreenFamily::Startup, 10, 1, {205, 141, 199, 189}},
        {ScreenFamily::Startup, 8, 8, {380, 369, 372, 361}},
        {ScreenFamily::Beacon, 1, 2, {157, 145, 156, 144}},
        {ScreenFamily::Beacon, 2, 3, {186, 175, 178, 166}},
        {ScreenFamily::LBand, 2, 3, {183, 172, 182, 171}},
        {ScreenFamily::Sbas, 3, 1, {207, 196, 206, 195}},
        {ScreenFamily::XRef, 6, 5, {270, 258, 269, 257}},
        {ScreenFamily::TSpanBase, 7, 7, {352, 341, 351, 340}},
        {ScreenFamily::TSpanRover, 8, 8, {374, 363, 373, 362}},
        {ScreenFamily::Gps, 3, 1, {200, 191, 142, 190}},
        {ScreenFamily::Gps, 42, 1, {200, 191, 142, 190}},
        {ScreenFamily::Gps, 4, 6, {309, 300, 308, 299}},
        {ScreenFamily::Logs, 0, 4, {294, 285, 293, 284}},
        {ScreenFamily::Logs, 8, 8, {379, 368, 378, 367}},
        {ScreenFamily::Terminal, 1, 2, {165, 154, 164, 153}},
        {ScreenFamily::Terminal, 6, 5, {279, 267, 278, 266}},
        // The heading screens show the same picture whatever the receiver.
        {ScreenFamily::Heading, 2, 3, {181, 169, 181, 169}},
        {ScreenFamily::Heading, 7, 7, {355, 344, 355, 344}},
        // The welcome page: t-Span sources get the SBAS pictures and group.
        {ScreenFamily::Main, 7, 1, {205, 141, 199, 189}},
        {ScreenFamily::Main, 8, 1, {205, 141, 199, 189}},
        {ScreenFamily::Main, 4, 6, {313, 304, 307, 298}},
    };
    const bool found[4] = {true, false, true, false};
    const bool heading[4] = {false, false, true, true};
    for (const auto& c : cases) {
        for (size_t cell = 0; cell < 4; ++cell) {
            const NavBarChoice got = ChooseNavBar(c.family, c.source, found[cell], heading[cell]);
            EXPECT_EQ(got.iBitmapId, c.cells[cell])
                << "family " << static_cast<int>(c.family) << " source " << c.source;
            EXPECT_EQ(got.iScreenGroup, c.group)
                << "family " << static_cast<int>(c.family) << " source " << c.source;
        }
    }
    EXPECT_EQ(ChooseNavBar(ScreenFamily::Plain, 0, true, false).iBitmapId, 0);
}

}  // namespace
