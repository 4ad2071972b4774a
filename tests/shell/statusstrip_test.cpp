#include "shell/StatusStrip.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/trace.h"

namespace {

constexpr LampState G = LampState::Good;
constexpr LampState B = LampState::Bad;
constexpr LampState U = LampState::Unchanged;

struct Case {
    StripVariant variant;
    uint16_t navMode;
    int32_t fix;
    bool found;
    std::array<LampState, 3> pairs;
    const char* label1;  // nullptr: labels not written
};

TEST(StatusStrip, EveryRow) {
    const StripVariant S = StripVariant::Standard;
    const StripVariant O = StripVariant::OutputSetup;
    const StripVariant M = StripVariant::Main;
    const std::vector<Case> cases = {
        // usNavMode 0: by fix quality
        {S, 0, 0, true, {G, B, B}, "COMM"},
        {S, 0, 0, false, {B, B, B}, "COMM"},
        {S, 0, 1, false, {G, G, B}, "COMM"},
        {S, 0, 2, false, {G, G, G}, "3D+DIFF"},
        {S, 0, 3, true, {U, U, U}, nullptr},
        {S, 0, -1, true, {U, U, U}, nullptr},
        // by navigation mode, whole value
        {S, 1, 0, false, {B, G, B}, "2D+DIFF"},
        {S, 2, 0, false, {B, G, B}, "3D+DIFF"},
        {S, 3, 0, false, {G, G, B}, "2D+DIFF"},
        {S, 4, 0, false, {G, G, G}, "3D+DIFF"},
        {S, 5, 2, false, {G, G, G}, "3D+DIFF"},
        {S, 6, 0, true, {G, G, G}, "3D+DIFF"},
        {S, 7, 2, true, {U, U, U}, nullptr},
        {S, 0x81, 0, true, {U, U, U}, nullptr},
        {S, 0xFFFF, 0, true, {U, U, U}, nullptr},
        // the welcome page uses the same rows
        {M, 0, 0, false, {B, B, B}, "COMM"},
        {M, 3, 0, false, {G, G, B}, "2D+DIFF"},
        {M, 9, 0, false, {U, U, U}, nullptr},
        // output setup: low three bits of a non-zero mode; 7 is like 4..6; low bits 0 is COMM
        {O, 0, 1, false, {G, G, B}, "COMM"},
        {O, 0, 5, false, {U, U, U}, nullptr},
        {O, 1, 0, false, {B, G, B}, "2D+DIFF"},
        {O, 3, 0, false, {G, G, B}, "2D+DIFF"},
        {O, 7, 0, false, {G, G, G}, "3D+DIFF"},
        {O, 8, 0, true, {G, B, B}, "COMM"},
        {O, 8, 0, false, {B, B, B}, "COMM"},
        {O, 0x0102, 0, false, {B, G, B}, "3D+DIFF"},  // low seven bits 2: no internal error
        {O, 0x0180, 2, true, {G, B, B}, "COMM"},
    };
    for (const Case& c : cases) {
        const StripState s = ComputeStatusStrip(c.variant, c.navMode, c.fix, c.found);
        EXPECT_EQ(s.pair, c.pairs) << "variant " << static_cast<int>(c.variant) << " mode "
                                   << c.navMode << " fix " << c.fix;
        if (c.label1) {
            ASSERT_TRUE(s.label1.has_value()) << "mode " << c.navMode;
            EXPECT_EQ(*s.label1, c.label1) << "mode " << c.navMode << " fix " << c.fix;
        } else {
            EXPECT_FALSE(s.label1.has_value()) << "mode " << c.navMode << " fix " << c.fix;
        }
    }
}

TEST(StatusStrip, OutputSetupReducesModesAboveSevenQuietly) {
    // Only the low three bits count: 0x0F is 7 (counted as 4), 0x88 is no fix.
    platform::ClearTrace();
    EXPECT_EQ(ComputeStatusStrip(StripVariant::OutputSetup, 0x0F, 0, true).label1,
              ComputeStatusStrip(StripVariant::OutputSetup, 0x04, 0, true).label1);
    EXPECT_EQ(ComputeStatusStrip(StripVariant::OutputSetup, 0x88, 0, true).label1, "COMM");
    EXPECT_FALSE(platform::TraceContains("internal error"));
}

TEST(StatusStrip, WelcomePageSourceNames) {
    const std::vector<std::pair<int, const char*>> names = {
        {0, "NONE"},  {1, "Beacon"}, {2, "LBand"}, {3, "SBAS"},    {4, "EXT"},    {5, "RTK"},
        {6, "x-Ref"}, {7, nullptr},  {8, nullptr}, {9, "SubSea7"}, {10, nullptr}, {-1, nullptr}};
    for (const auto& [source, name] : names) {
        const auto label = MainWindowSourceLabel(source);
        if (name) {
            ASSERT_TRUE(label.has_value()) << source;
            EXPECT_EQ(*label, name);
        } else {
            EXPECT_FALSE(label.has_value()) << source;
        }
    }
}

}  // namespace
