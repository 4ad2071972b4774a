#include "engine/sbas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

LBandInfo TwoSlots(int32_t prn1, int32_t prn2) {
    LBandInfo l;
    std::memset(static_cast<void*>(&l), 0x5A, sizeof(l));  // nothing relies on other fields
    l.InitSBASChannels();
    l.iSBASPRN1 = prn1;
    l.fSBASElevation1 = 31.5f;
    l.fSBASAzimuth1 = 220.25f;
    l.fSBASLongitude1 = -107.3f;
    l.iSBASPRN2 = prn2;
    l.fSBASElevation2 = 12.0f;
    l.fSBASAzimuth2 = 95.5f;
    l.fSBASLongitude2 = 15.5f;
    return l;
}

TEST(SBAS, InitSBASChannelsEmptiesBothSlots) {
    LBandInfo l = TwoSlots(122, 134);
    l.iSBASBer1 = 10;
    l.iSBASBer2 = 20;
    l.InitSBASChannels();
    EXPECT_EQ(l.iSBASPRN1, 0);
    EXPECT_EQ(l.iSBASPRN2, 0);
    EXPECT_EQ(l.iSBASBer1, 500);
    EXPECT_EQ(l.iSBASBer2, 500);
    for (float f : {l.fSBASAzimuth1, l.fSBASAzimuth2, l.fSBASElevation1, l.fSBASElevation2,
                    l.fSBASLongitude1, l.fSBASLongitude2})
        EXPECT_EQ(f, 0.0f);

    // Both slots hold PRN 0, so PRN 0 counts as tracked.
    float elev = -1, azim = -1;
    EXPECT_TRUE(GetSBASValues(l, 0, elev, azim));
    EXPECT_EQ(elev, 0.0f);
    EXPECT_EQ(azim, 0.0f);
    EXPECT_FALSE(bSBASBerGood(l));
}

TEST(SBAS, ValuesOfEachSlot) {
    const struct {
        int32_t prn1, prn2, asked;
        bool found;
        float elev, azim;
        const char* label;
        const char* value;
    } cases[] = {
        {122, 134, 122, true, 31.5f, 220.25f, "PRN122", "-107.3"},
        {122, 134, 134, true, 12.0f, 95.5f, "PRN134", "15.5"},
        {122, 122, 122, true, 31.5f, 220.25f, "PRN122", "-107.3"},  // first slot wins the tie
        {122, 134, 133, false, 0.0f, 0.0f, "", ""},
        {122, 134, 0, false, 0.0f, 0.0f, "", ""},
        {122, 134, -122, false, 0.0f, 0.0f, "", ""},
        {0, 7, 7, true, 12.0f, 95.5f, "PRN  7", "15.5"},
        {47, 0, 47, true, 31.5f, 220.25f, "PRN 47", "-107.3"},
        {1234, 0, 1234, true, 31.5f, 220.25f, "PRN1234", "-107.3"},
    };
    for (const auto& c : cases) {
        const LBandInfo l = TwoSlots(c.prn1, c.prn2);
        float elev = -1, azim = -1;
        EXPECT_EQ(GetSBASValues(l, c.asked, elev, azim), c.found) << c.asked;
        EXPECT_EQ(elev, c.elev) << c.asked;
        EXPECT_EQ(azim, c.azim) << c.asked;

        std::string value = "stale", label = "stale";
        elev = -1;
        azim = -1;
        EXPECT_TRUE(FormatSBASEntry(l, c.asked, value, elev, azim, label));
        EXPECT_EQ(label, c.label) << c.asked;
        EXPECT_EQ(value, c.value) << c.asked;
        EXPECT_EQ(elev, c.elev) << c.asked;
        EXPECT_EQ(azim, c.azim) << c.asked;
    }
}

TEST(SBAS, LongitudeTextRoundsToOneDecimalWithPoint) {
    const struct {
        float longitude;
        const char* text;
    } cases[] = {
        {0.0f, "0.0"},   {-0.04f, "-0.0"},   {179.96f, "180.0"},
        {21.5f, "21.5"}, {-97.99f, "-98.0"}, {1e30f, "1000000015047466219876688855040.0"},
    };
    for (const auto& c : cases) {
        LBandInfo l = TwoSlots(120, 0);
        l.fSBASLongitude1 = c.longitude;
        std::string value, label;
        float elev, azim;
        FormatSBASEntry(l, 120, value, elev, azim, label);
        EXPECT_EQ(value, c.text) << c.longitude;
    }
}

TEST(SBAS, BerGoodBelow150OnEitherSlot) {
    const struct {
        int32_t ber1, ber2;
        bool good;
    } cases[] = {
        {149, 500, true}, {150, 500, false}, {500, 149, true},  {500, 150, false},
        {0, 500, true},   {-5, 500, true},   {500, 500, false}, {150, 150, false},
    };
    for (const auto& c : cases) {
        LBandInfo l = TwoSlots(120, 122);
        l.iSBASBer1 = c.ber1;
        l.iSBASBer2 = c.ber2;
        EXPECT_EQ(bSBASBerGood(l), c.good) << c.ber1 << " " << c.ber2;
    }
}

TEST(SBAS, BerBarClampsAndInverts) {
    const struct {
        int32_t ber, clamped, pos;
    } cases[] = {
        {-5, 0, 500},
        {0, 0, 500},
        {1, 1, 499},
        {120, 120, 380},
        {499, 499, 1},
        {500, 500, 0},
        {700, 500, 0},
        {std::numeric_limits<int32_t>::min(), 0, 500},
        {std::numeric_limits<int32_t>::max(), 500, 0},
    };
    for (const auto& c : cases) {
        const BerBar bar = SetBERBar(c.ber);
        EXPECT_EQ(bar.iBer, c.clamped) << c.ber;
        EXPECT_EQ(bar.iPos, c.pos) << c.ber;
    }
    EXPECT_EQ(BerBar::kMin, 0);
    EXPECT_EQ(BerBar::kMax, 500);
    EXPECT_EQ(BerBar::kStep, 1);
}

TEST(SBAS, PRNTextsAndSystems) {
    const struct {
        int32_t prn;
        const char* system;
    } cases[] = {
        {120, "EGNOS"}, {124, "EGNOS"},    {126, "EGNOS"},   {131, "EGNOS"},
        {122, "WAAS"},  {134, "WAAS"},     {135, "WAAS"},    {138, "WAAS"},
        {129, "MSAS"},  {137, "MSAS"},     {133, "Unknown"}, {121, "Unknown"},
        {0, "Unknown"}, {-120, "Unknown"}, {139, "Unknown"}, {1120, "Unknown"},
    };
    for (const auto& c : cases) EXPECT_EQ(GetSBASSystem(c.prn), c.system) << c.prn;

    // Each result is its own string: a later call does not change an earlier one.
    const std::string first = FormatPRN(122);
    const std::string second = FormatPRN(7);
    EXPECT_EQ(first, "PRN122");
    EXPECT_EQ(second, "PRN7");
    EXPECT_EQ(FormatPRN(-3), "PRN-3");
    EXPECT_EQ(FormatPRN(std::numeric_limits<int32_t>::min()), "PRN-2147483648");
    const std::string egnos = GetSBASSystem(120);
    GetSBASSystem(122);
    EXPECT_EQ(egnos, "EGNOS");
}

}  // namespace
