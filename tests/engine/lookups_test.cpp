// Look-ups and conversions the screens share: beacon stations, SBAS satellites, signed
// degrees and the Windows-1252 code page.

#include <gtest/gtest.h>
#include <optional>

#include "engine/beacon_tables.h"
#include "engine/coords.h"
#include "engine/cp1252.h"
#include "engine/sbas.h"
#include "wire_fixture.h"

namespace {

using wiretest::Join;

using List = std::vector<std::string>;
const float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(BeaconTables, FallbacksAndLookUps) {
    // Unknown names, wrong case and the end row fall back to North America, stations to Sweden.
    EXPECT_EQ(GetCountryList("africa"), (List{"Bermuda", "Canada", "USA", "EndofList"}));
    EXPECT_EQ(GetStationList("Back"), GetStationList("Sweden"));
    const std::pair<const char*, float> names[] = {
        {"St. Catherine\x92s", 307.5f},
        {"Polson MT", 0.0f},
        {"S\xC3\xA3o Tom\xC3\xA9", 0.0f},  // UTF-8 bytes are not the table's spelling
    };
    for (const auto& [name, kHz] : names) {
        EXPECT_EQ(LookupStationFreq(std::string_view(name)), kHz) << name;
        EXPECT_EQ(LookupStationFreq(Cp1252ToUtf16(name)), kHz) << name;
    }
    // Every row is found by its own name, in both encodings.
    for (std::size_t i = 0; i + 1 < kStationTable.size(); ++i) {
        const StationInfo& s = kStationTable[i];
        const float expected = static_cast<float>(s.ulFreq / 10.0);
        EXPECT_EQ(LookupStationFreq(std::string_view(s.szName)), expected) << s.szName;
        EXPECT_EQ(LookupStationFreq(Cp1252ToUtf16(s.szName)), expected) << s.szName;
    }
    // Shared IDs: the tuned frequency within 0.1 kHz picks the station; else the first row.
    const std::tuple<int32_t, float, const char*> ids[] = {
        {99999, 0.0f, "EndOfTheList"},
        {std::numeric_limits<int32_t>::min(), 0.0f, "Unknown"},
        {2, 320.09f, "Horn Is      Qld"},
        {2, 319.8f, "Bolivar"},
        {2, kNaN, "Bolivar"},
    };
    for (const auto& [id, tuned, name] : ids)
        EXPECT_EQ(LookupStationName(id, tuned), name) << id << " at " << tuned;
}

TEST(SBAS, SlotsTextsAndBitErrorRates) {
    auto slots = [](int32_t prn1, int32_t prn2) {
        LBandInfo l;
        std::memset(static_cast<void*>(&l), 0x5A, sizeof(l));  // nothing relies on other fields
        l.InitSBASChannels();
        std::tie(l.iSBASPRN1, l.fSBASElevation1, l.fSBASAzimuth1, l.fSBASLongitude1) =
            std::tuple(prn1, 31.5f, 220.25f, -107.3f);
        std::tie(l.iSBASPRN2, l.fSBASElevation2, l.fSBASAzimuth2, l.fSBASLongitude2) =
            std::tuple(prn2, 12.0f, 95.5f, 15.5f);
        return l;
    };
    // An emptied pair of slots holds PRN 0 twice, so PRN 0 counts as tracked.
    LBandInfo empty = slots(122, 134);
    empty.InitSBASChannels();
    float elev = -1, azim = -1;
    EXPECT_TRUE(GetSBASValues(empty, 0, elev, azim));
    EXPECT_EQ(Join(elev, azim, empty.iSBASPRN2, empty.iSBASBer1, empty.fSBASLongitude2),
              "0 0 0 500 0");
    const std::tuple<int32_t, int32_t, int32_t, bool, float, const char*, const char*> cases[] = {
        {122, 134, 134, true, 12.0f, "PRN134", "15.5"},
        {122, 122, 122, true, 31.5f, "PRN122", "-107.3"},  // first slot wins the tie
        {122, 134, 133, false, 0.0f, "", ""},
        {0, 7, 7, true, 12.0f, "PRN  7", "15.5"},
    };
    for (const auto& [prn1, prn2, asked, found, elevation, label, value] : cases) {
        const LBandInfo l = slots(prn1, prn2);
        EXPECT_EQ(GetSBASValues(l, asked, elev, azim), found) << asked;
        EXPECT_EQ(elev, elevation) << asked;
        std::string text = "stale", name = "stale";
        EXPECT_TRUE(FormatSBASEntry(l, asked, text, elev, azim, name));
        EXPECT_EQ(name + " " + text, std::string(label) + " " + value) << asked;
    }
    LBandInfo l = slots(120, 0);
    l.fSBASLongitude1 = -0.04f;
    std::string value, label;
    FormatSBASEntry(l, 120, value, elev, azim, label);
    EXPECT_EQ(value, "-0.0");
    std::tie(l.iSBASBer1, l.iSBASBer2) = std::tuple(150, 149);
    EXPECT_TRUE(bSBASBerGood(l));
    l.iSBASBer2 = 150;
    EXPECT_FALSE(bSBASBerGood(l));
    const std::tuple<int32_t, int32_t, int32_t> bars[] = {
        {-5, 0, 500}, {499, 499, 1}, {std::numeric_limits<int32_t>::max(), 500, 0}};
    for (const auto& [ber, clamped, pos] : bars) {
        const BerBar bar = SetBERBar(ber);
        EXPECT_EQ(std::tuple(bar.iBer, bar.iPos), std::tuple(clamped, pos)) << ber;
    }
    EXPECT_EQ(Join(GetSBASSystem(131), GetSBASSystem(138), GetSBASSystem(137), GetSBASSystem(133)),
              "EGNOS WAAS MSAS Unknown");
    // Each result is its own string: a later call does not change an earlier one.
    const std::string first = FormatPRN(122), second = FormatPRN(7);
    EXPECT_EQ(first + " " + second, "PRN122 PRN7");
}

TEST(SignedDegrees, SignFromDegreesOrLetter) {
    const std::tuple<int, double, char, bool, double> cases[] = {
        {45, 30.0, 'S', false, -45.5}, {11, 30.0, 'E', false, 11.5}, {-45, 30.0, 'N', true, -45.5},
        {45, 30.0, 'S', true, 45.5},   {0, 30.0, 'W', true, -0.5},
    };
    for (const auto& [deg, min, dir, isSigned, expected] : cases)
        EXPECT_DOUBLE_EQ(SignedDegrees(deg, min, dir, isSigned), expected)
            << deg << dir << isSigned;
}

// Every byte goes to UTF-8 and back unchanged, the five bytes without a letter included;
// characters outside the code page are refused.
TEST(Cp1252, EveryByteRoundTripsAndOthersAreRefused) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(byte)), byte) << b;
        EXPECT_EQ(UnicodeToCp1252(Cp1252ToUnicode(static_cast<unsigned char>(b))),
                  static_cast<unsigned char>(b))
            << b;
    }
    EXPECT_EQ(Cp1252ToUtf16(std::string_view("\x00\x7F\x81\x9F\xA0\xFF\x92", 7)),
              std::u16string(u"\u0000\u007F\u0081\u0178\u00A0\u00FF\u2019", 7));
    EXPECT_EQ(Cp1252ToUtf8("\x80\x81\xFF"), "\xE2\x82\xAC\xC2\x81\xC3\xBF");
    const std::pair<std::string, std::optional<std::string>> cases[] = {
        {"N 51\xC2\xB0 M\xC3\xBCller", "N 51\xB0 M\xFCller"},
        {"\xE2\x82\xAC\xE2\x80\x99\xE2\x84\xA2", "\x80\x92\x99"},  // euro, quote, trade mark
        {"\xC2\x81", "\x81"},                                      // U+0081 keeps its byte
        {"\xC2\x80", std::nullopt},                                // U+0080 has no byte
        {"\xF0\x9F\x98\x80", std::nullopt},
        {"a\x80", std::nullopt},             // lone continuation byte
        {"a\xC3", std::nullopt},             // cut sequence
        {"\xE0\x80\xAF", std::nullopt},      // overlong
        {"\xED\xA0\x80", std::nullopt},      // surrogate
    };
    for (const auto& [utf8, bytes] : cases) EXPECT_EQ(Utf8ToCp1252(utf8), bytes) << utf8;
    for (char32_t c : {U'\u0080', U'\u0100'})
        EXPECT_EQ(UnicodeToCp1252(c), std::nullopt) << static_cast<uint32_t>(c);
}

}  // namespace
