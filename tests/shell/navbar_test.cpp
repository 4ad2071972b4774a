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
// y 526..547 (421*1.25=526.25, 438*1.25=547.5).
TEST(NavBar, HitTestAtScaleOneAndOneQuarter) {
    const std::vector<HitCase> cases = {
        // scale 1.0: every row's top-left corner hits, right and bottom edges are outside
        {1.0f, 50, 421, 1},
        {1.0f, 72, 437, 1},
        {1.0f, 73, 430, 0},
        {1.0f, 60, 438, 0},
        {1.0f, 49, 430, 0},
        {1.0f, 60, 420, 0},
        {1.0f, 82, 421, 2},
        {1.0f, 108, 437, 2},
        {1.0f, 109, 430, 0},
        {1.0f, 117, 421, 3},
        {1.0f, 145, 437, 3},
        {1.0f, 146, 430, 0},
        {1.0f, 152, 421, 4},
        {1.0f, 180, 437, 4},
        {1.0f, 181, 430, 0},
        {1.0f, 189, 421, 5},
        {1.0f, 212, 437, 5},
        {1.0f, 213, 430, 0},
        {1.0f, 277, 421, 6},
        {1.0f, 299, 437, 6},
        {1.0f, 300, 430, 0},
        {1.0f, 298, 80, 7},
        {1.0f, 313, 95, 7},
        {1.0f, 314, 90, 0},
        {1.0f, 305, 96, 0},
        {1.0f, 297, 90, 0},
        {1.0f, 250, 430, 0},
        // scale 1.25
        {1.25f, 62, 526, 1},
        {1.25f, 61, 530, 0},
        {1.25f, 90, 546, 1},
        {1.25f, 91, 530, 0},
        {1.25f, 70, 547, 0},
        {1.25f, 70, 525, 0},
        {1.25f, 102, 530, 2},
        {1.25f, 136, 530, 0},
        {1.25f, 146, 530, 3},
        {1.25f, 182, 530, 0},
        {1.25f, 190, 530, 4},
        {1.25f, 226, 530, 0},
        {1.25f, 236, 530, 5},
        {1.25f, 266, 530, 0},
        {1.25f, 346, 530, 6},
        {1.25f, 375, 530, 0},
        {1.25f, 372, 100, 7},
        {1.25f, 391, 119, 7},
        {1.25f, 392, 110, 0},
        {1.25f, 380, 120, 0},
        {1.25f, 371, 110, 0},
        {1.25f, 50, 421, 0},
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
        {ScreenFamily::Beacon, RECEIVER_HEADING, {gps, diff, term, logs, head, start, close}},
        {ScreenFamily::Sbas, RECEIVER_GPS, {gps, diff, term, logs, none, start, close}},
        {ScreenFamily::LBand, RECEIVER_HEADING, {gps, diff, term, logs, head, start, close}},
        {ScreenFamily::XRef, RECEIVER_HEADING, {gps, diff, term, logs, head, start, close}},
        {ScreenFamily::TSpanBase, RECEIVER_GPS, {gps, diff, term, logs, none, start, close}},
        {ScreenFamily::TSpanRover, RECEIVER_HEADING, {gps, diff, term, logs, head, start, close}},
        {ScreenFamily::Heading, RECEIVER_HEADING, {gps, diff, term, logs, none, start, close}},
        {ScreenFamily::Terminal, RECEIVER_HEADING, {gps, diff, none, logs, head, start, close}},
        {ScreenFamily::Terminal, RECEIVER_GPS, {gps, diff, none, logs, none, start, close}},
        {ScreenFamily::Logs, RECEIVER_HEADING, {gps, diff, term, none, head, start, close}},
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

// Cells: other found / other not found / heading found / heading not found.
using Cells = std::array<int, 4>;
struct SetRow {
    std::vector<int> sources;
    int group;
    Cells cells;
};

const std::vector<SetRow> kBase = {
    {{0}, 4, {295, 286, 289, 280}}, {{1}, 2, {163, 152, 155, 143}},
    {{2}, 3, {186, 175, 178, 166}}, {{3, 5, 9, 10, -1}, 1, {205, 141, 199, 189}},
    {{4}, 6, {313, 304, 307, 298}}, {{6}, 5, {277, 265, 268, 256}},
    {{7}, 7, {358, 347, 350, 339}}, {{8}, 8, {380, 369, 372, 361}},
};

std::vector<SetRow> Replace(std::vector<SetRow> set, int source, Cells cells) {
    for (SetRow& r : set) {
        if (r.sources.front() == source) r.cells = cells;
    }
    return set;
}

void ExpectSet(ScreenFamily family, const std::vector<SetRow>& set) {
    for (const SetRow& r : set) {
        for (int source : r.sources) {
            const bool found[4] = {true, false, true, false};
            const bool heading[4] = {false, false, true, true};
            for (size_t cell = 0; cell < 4; ++cell) {
                const NavBarChoice c = ChooseNavBar(family, source, found[cell], heading[cell]);
                EXPECT_EQ(c.iBitmapId, r.cells[cell]) << "family " << static_cast<int>(family)
                                                      << " source " << source << " cell " << cell;
                EXPECT_EQ(c.iScreenGroup, r.group)
                    << "family " << static_cast<int>(family) << " source " << source;
            }
        }
    }
}

TEST(NavBar, PicturesOfEveryFamily) {
    ExpectSet(ScreenFamily::Startup, kBase);
    ExpectSet(ScreenFamily::Beacon, Replace(kBase, 1, {157, 145, 156, 144}));
    ExpectSet(ScreenFamily::LBand, Replace(kBase, 2, {183, 172, 182, 171}));
    ExpectSet(ScreenFamily::Sbas, Replace(kBase, 3, {207, 196, 206, 195}));
    ExpectSet(ScreenFamily::XRef, Replace(kBase, 6, {270, 258, 269, 257}));
    ExpectSet(ScreenFamily::TSpanBase, Replace(kBase, 7, {352, 341, 351, 340}));
    ExpectSet(ScreenFamily::TSpanRover, Replace(kBase, 8, {374, 363, 373, 362}));
    ExpectSet(ScreenFamily::Gps, {
                                     {{0}, 4, {291, 282, 290, 281}},
                                     {{1}, 2, {159, 147, 158, 146}},
                                     {{2}, 3, {180, 168, 179, 167}},
                                     {{3, 5, 9, 42}, 1, {200, 191, 142, 190}},
                                     {{4}, 6, {309, 300, 308, 299}},
                                     {{6}, 5, {273, 260, 272, 259}},
                                     {{7}, 7, {354, 343, 353, 342}},
                                     {{8}, 8, {376, 365, 375, 364}},
                                 });
    ExpectSet(ScreenFamily::Logs, {
                                      {{0}, 4, {294, 285, 293, 284}},
                                      {{1}, 2, {162, 151, 161, 150}},
                                      {{2}, 3, {185, 174, 184, 173}},
                                      {{3, 5, 9, 42}, 1, {203, 194, 202, 193}},
                                      {{4}, 6, {312, 303, 311, 302}},
                                      {{6}, 5, {276, 263, 275, 262}},
                                      {{7}, 7, {357, 346, 356, 345}},
                                      {{8}, 8, {379, 368, 378, 367}},
                                  });
    ExpectSet(ScreenFamily::Terminal, {
                                          {{0}, 4, {297, 288, 296, 287}},
                                          {{1}, 2, {165, 154, 164, 153}},
                                          {{2}, 3, {188, 177, 187, 176}},
                                          {{3, 5, 9, 42}, 1, {209, 198, 208, 197}},
                                          {{4}, 6, {315, 306, 314, 305}},
                                          {{6}, 5, {279, 267, 278, 266}},
                                          {{7}, 7, {360, 349, 359, 348}},
                                          {{8}, 8, {382, 371, 381, 370}},
                                      });
    ExpectSet(ScreenFamily::Heading, {
                                         {{0}, 4, {292, 283, 292, 283}},
                                         {{1}, 2, {160, 149, 160, 149}},
                                         {{2}, 3, {181, 169, 181, 169}},
                                         {{3, 5, 9, 42}, 1, {201, 192, 201, 192}},
                                         {{4}, 6, {310, 301, 310, 301}},
                                         {{6}, 5, {274, 261, 274, 261}},
                                         {{7}, 7, {355, 344, 355, 344}},
                                         {{8}, 8, {377, 366, 377, 366}},
                                     });
    // The welcome page: t-Span sources get the SBAS pictures and group.
    std::vector<SetRow> main = kBase;
    main[6] = {{7}, 1, {205, 141, 199, 189}};
    main[7] = {{8}, 1, {205, 141, 199, 189}};
    ExpectSet(ScreenFamily::Main, main);
    EXPECT_EQ(ChooseNavBar(ScreenFamily::Plain, 0, true, false).iBitmapId, 0);
}

}  // namespace
