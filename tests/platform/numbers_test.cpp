#include "platform/numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <optional>
#include <string>
#include <tuple>

#include "support/decimal_comma_locale.h"

using platform::Format;

namespace {

struct FormatCase {
    std::string got;
    const char* want;
};

// Every line is what the receiver commands, files and traces need.
std::vector<FormatCase> FormatCases() {
    return {
        {Format("%ld", 2147483648L), "-2147483648"},  // long is 32 bits on the wire
        {Format("%lu", 4294967297UL), "1"},
        {Format("*%02X", 0x1Fu), "*1F"},
        {Format("%.2f", 2.675), "2.67"},  // binary value below the half
        {Format("%.3f", -0.0004), "-0.000"},
        {Format("%lf", 57600.0), "57600.000000"},
        {Format("%08.2f|%s,%c,%%", -3.5, "JASC", 'Y'), "-0003.50|JASC,Y,%"},
        {Format("%g", 0.0001), "0.0001"},
        {platform::FormatFixed(1e21, 0), "1000000000000000000000"},
        {platform::FormatInt(-2147483648LL), "-2147483648"},
        {platform::FormatUInt(18446744073709551615ULL), "18446744073709551615"},
    };
}

void ExpectFormatsAndParses() {
    for (const FormatCase& c : FormatCases()) EXPECT_EQ(c.got, c.want);
    EXPECT_EQ(std::tuple(platform::ParseDouble(" -0.25 "), platform::ParseFloat("-6.0"),
                         platform::AtoF("12.5,N")),
              std::tuple(-0.25, -6.0f, 12.5));
}

}  // namespace

TEST(Numbers, FormatsFollowThePrintfConventionsOfTheCLocale) {
    std::setlocale(LC_ALL, "C");
    ExpectFormatsAndParses();
    const double values[] = {0.0, 1.0 / 3, 2.5, 3.5, -1.25, 123456.789, 1e-7, 0.125, 999.9995};
    for (double v : values) {
        for (int decimals = 0; decimals <= 9; ++decimals) {
            char want[64];
            std::snprintf(want, sizeof want, "%.*f", decimals, v);
            EXPECT_EQ(platform::FormatFixed(v, decimals), want) << v << " " << decimals;
        }
    }
}

TEST(Numbers, DecimalCommaLocaleChangesNothing) {
    USE_DECIMAL_COMMA_LOCALE();
    ExpectFormatsAndParses();
    testsupport::RestoreCLocale();
}

TEST(Numbers, StrictParsersAcceptOnlyFiniteDecimals) {
    struct Case {
        const char* text;
        std::optional<double> want;
    };
    const Case cases[] = {
        {"+3", 3.0}, {"-.5", -0.5}, {"7.", 7.0},   {" 4 ", 4.0}, {"-", {}},   {"1e5", {}},
        {"inf", {}}, {"1,5", {}},   {"1.2.3", {}}, {".", {}},    {"1 2", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::ParseDouble(c.text), c.want) << c.text;
    }
    EXPECT_EQ(platform::ParseDouble(std::string(400, '9')), std::nullopt);
    EXPECT_EQ(platform::ParseFloat("1" + std::string(50, '0')), std::nullopt);
    const std::pair<const char*, std::optional<int32_t>> ints[] = {
        {"-2147483648", -2147483647 - 1}, {"2147483648", {}}, {"12.0", {}}, {" +17\r", 17}};
    for (const auto& [text, want] : ints) EXPECT_EQ(platform::ParseInt(text), want) << text;
    EXPECT_EQ(platform::ParseLong32("-0"), 0);
    EXPECT_EQ(platform::ParseULong32("4294967295"), 4294967295u);
    EXPECT_EQ(platform::ParseULong32("-1"), std::nullopt);
    EXPECT_EQ(platform::ParseULong32("99999999999999999999999"), std::nullopt);
}

// What "%g" prints reads back; an exponent is whole or the text is no number.
TEST(Numbers, StrictParserWithExponentTakesWhatGeneralFormatPrints) {
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"1e+06", 1e6}, {"5e-05", 5e-5}, {"-2.5E3", -2500.0}, {" 7 ", 7.0},
        {"1e", {}},     {"1e+", {}},     {"e5", {}},          {"1e5.0", {}},
        {"1e400", {}},  {"0x1p3", {}},   {"inf", {}}};
    for (const auto& [text, want] : cases)
        EXPECT_EQ(platform::ParseDoubleOrExponent(text), want) << text;
    EXPECT_EQ(platform::ParseDouble("1e+06"), std::nullopt);
}

TEST(Numbers, LenientConvertersTakeTheLeadingNumber) {
    const std::pair<const char*, int> ints[] = {
        {"  42,N", 42}, {"N", 0}, {"-99999999999999999999", -2147483647 - 1}};
    for (const auto& [text, want] : ints) EXPECT_EQ(platform::AtoI(text), want) << text;
    EXPECT_EQ(std::tuple(platform::AtoI(nullptr), platform::AtoL("123456789012")),
              std::tuple(0, 2147483647));
    EXPECT_EQ(std::tuple(platform::AtoUL("0x1F", 16), platform::AtoUL("ffzz", 16),
                         platform::AtoUL("77", 8), platform::AtoUL("99999999999")),
              std::tuple(31u, 255u, 63u, 4294967295u));
    const std::pair<const char*, double> doubles[] = {
        {"-1.5e2x", -150.0}, {"2e", 2.0}, {"-", 0.0}, {"inf", 0.0}, {"1e999", 0.0}};
    for (const auto& [text, want] : doubles) EXPECT_DOUBLE_EQ(platform::AtoF(text), want) << text;
}

// Beyond a double's range a number reads as "%lf" reads it, so that a caller can refuse it:
// infinite when too large, 0 when too small, wherever its digits and exponent put it.
TEST(Numbers, SaturatedScanTellsTooLargeFromTooSmall) {
    const double inf = HUGE_VAL;
    const std::string many(400, '9'), zeros(400, '0');
    const struct {
        std::string text;
        std::optional<double> value;
    } cases[] = {
        {"1e400", inf},           {"-51.5e400", -inf},         {" +1E309x", inf},
        {"1e-400", 0.0},          {"-1e-400", -0.0},           {many, inf},
        {"0." + zeros + "1", 0.0}, {"0." + zeros + "1e800", inf}, {"000" + many + "e-800", 0.0},
        {many + ".5e-50", inf},   {"1.7e308", 1.7e308},        {"-2.5e1x", -25.0},
        {"12abc", 12.0},          {"abc", std::nullopt},       {"-", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 24));
        EXPECT_EQ(platform::ScanDoubleSaturated(c.text), c.value);
        // Within range it is the plain scan.
        if (c.value && std::isfinite(*c.value) && *c.value != 0.0) {
            EXPECT_EQ(platform::ScanDouble(c.text), c.value);
        }
    }
}
