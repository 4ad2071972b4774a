#include "engine/cp1252.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

// Every byte goes to UTF-8 and back unchanged, the five bytes without a letter included.
TEST(Cp1252, EveryByteRoundTripsThroughUtf8) {
    for (int b = 0; b < 256; ++b) {
        const std::string byte(1, static_cast<char>(b));
        EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(byte)), byte) << std::hex << b;
        EXPECT_EQ(UnicodeToCp1252(Cp1252ToUnicode(static_cast<unsigned char>(b))),
                  static_cast<unsigned char>(b))
            << std::hex << b;
    }
}

TEST(Cp1252, CharactersOutsideTheCodePageAreRefused) {
    struct Case {
        const char* what;
        std::string utf8;
        std::optional<std::string> bytes;
    };
    const Case cases[] = {
        {"plain", "N 51\xC2\xB0 M\xC3\xBCller", std::string("N 51\xB0 M\xFCller")},
        {"euro, quote, trade mark", "\xE2\x82\xAC\xE2\x80\x99\xE2\x84\xA2",
         std::string("\x80\x92\x99")},
        {"U+0081 keeps its byte", "\xC2\x81", std::string("\x81")},
        {"U+0080 has no byte", "\xC2\x80", std::nullopt},
        {"U+0092 has no byte", "\xC2\x92", std::nullopt},
        {"Greek sigma", "1 \xCF\x83", std::nullopt},
        {"CJK", "\xE4\xB8\xAD", std::nullopt},
        {"emoji", "\xF0\x9F\x98\x80", std::nullopt},
        {"lone continuation byte", "a\x80", std::nullopt},
        {"cut sequence", "a\xC3", std::nullopt},
        {"overlong slash", "\xC0\xAF", std::nullopt},
        {"overlong three bytes", "\xE0\x80\xAF", std::nullopt},
        {"surrogate", "\xED\xA0\x80", std::nullopt},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", std::nullopt},
        {"empty", "", std::string()},
    };
    for (const Case& c : cases) EXPECT_EQ(Utf8ToCp1252(c.utf8), c.bytes) << c.what;
    for (char32_t c : {U'\u0080', U'\u009F', U'\u0100', U'\u20AD', U'\U0001F600'})
        EXPECT_EQ(UnicodeToCp1252(c), std::nullopt) << static_cast<uint32_t>(c);
}

}  // namespace
