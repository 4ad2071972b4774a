#include "platform/numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <string>

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
        {Format("%d", -42), "-42"},
        {Format("%02d", 7), "07"},
        {Format("%5d|%-5d|", 42, 42), "   42|42   |"},
        {Format("%ld", 2147483648L), "-2147483648"},  // long is 32 bits on the wire
        {Format("%lu", 4294967297UL), "1"},
        {Format("%u", 4000000000u), "4000000000"},
        {Format("%x %X %04X", 255u, 255u, 0x1Fu), "ff FF 001F"},
        {Format("%f", 1.5), "1.500000"},
        {Format("%.1f", 0.05), "0.1"},
        {Format("%.2f", 2.675), "2.67"},  // binary value below the half
        {Format("%.0f", 2.5), "2"},
        {Format("%.3f", -0.0004), "-0.000"},
        {Format("%lf", 57600.0), "57600.000000"},
        {Format("%.8f", 51.123456789), "51.12345679"},
        {Format("%8.3f|", 3.14159), "   3.142|"},
        {Format("%08.2f", -3.5), "-0003.50"},
        {Format("%s,%c,%%", "JASC", 'Y'), "JASC,Y,%"},
        {Format("%.3s", "abcdef"), "abc"},
        {Format("%g", 0.0001), "0.0001"},
        {Format("%e", 12345.678), "1.234568e+04"},
        {Format("%lld", -9000000000LL), "-9000000000"},
        {Format("%zu", size_t{12}), "12"},
        {Format("%.*f", 2, 1.005), "1.00"},
        {platform::FormatFixed(-6.0, 1), "-6.0"},
        {platform::FormatFixed(1e21, 0), "1000000000000000000000"},
        {platform::FormatInt(-2147483648LL), "-2147483648"},
        {platform::FormatUInt(18446744073709551615ULL), "18446744073709551615"},
    };
}

void ExpectFormats() {
    for (const FormatCase& c : FormatCases()) EXPECT_EQ(c.got, c.want);
}

void ExpectParses() {
    EXPECT_EQ(platform::ParseDouble("51.5"), 51.5);
    EXPECT_EQ(platform::ParseDouble(" -0.25 "), -0.25);
    EXPECT_EQ(platform::ParseFloat("-6.0"), -6.0f);
    EXPECT_EQ(platform::AtoF("12.5,N"), 12.5);
}

}  // namespace

TEST(Numbers, FormatMatchesThePrintfConventions) {
    ExpectFormats();
}

TEST(Numbers, FloatingFormsAgreeWithTheCLocalePrintf) {
    std::setlocale(LC_ALL, "C");
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
    ExpectFormats();
    ExpectParses();
    testsupport::RestoreCLocale();
}

TEST(Numbers, StrictParsersAcceptOnlyFiniteDecimals) {
    struct Case {
        const char* text;
        std::optional<double> want;
    };
    const Case cases[] = {
        {"12.5", 12.5}, {"+3", 3.0}, {"-.5", -0.5}, {"7.", 7.0}, {" 4 ", 4.0},
        {"", {}},       {"-", {}},   {"1e5", {}},   {"inf", {}}, {"nan", {}},
        {"0x10", {}},   {"1,5", {}}, {"1.2.3", {}}, {"12a", {}}, {"1e999", {}},
        {"+-1", {}},    {".", {}},   {"--1", {}},   {"1 2", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::ParseDouble(c.text), c.want) << c.text;
    }
    std::string huge(400, '9');
    EXPECT_EQ(platform::ParseDouble(huge), std::nullopt);
    EXPECT_EQ(platform::ParseFloat("1" + std::string(50, '0')), std::nullopt);

    EXPECT_EQ(platform::ParseInt("2147483647"), 2147483647);
    EXPECT_EQ(platform::ParseInt("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(platform::ParseInt("2147483648"), std::nullopt);
    EXPECT_EQ(platform::ParseInt("-2147483649"), std::nullopt);
    EXPECT_EQ(platform::ParseInt("12.0"), std::nullopt);
    EXPECT_EQ(platform::ParseInt(" +17\r"), 17);
    EXPECT_EQ(platform::ParseLong32("-0"), 0);
    EXPECT_EQ(platform::ParseULong32("4294967295"), 4294967295u);
    EXPECT_EQ(platform::ParseULong32("-1"), std::nullopt);
    EXPECT_EQ(platform::ParseULong32("99999999999999999999999"), std::nullopt);
}

TEST(Numbers, LenientConvertersTakeTheLeadingNumber) {
    EXPECT_EQ(platform::AtoI("  42,N"), 42);
    EXPECT_EQ(platform::AtoI("-7*3F"), -7);
    EXPECT_EQ(platform::AtoI("N"), 0);
    EXPECT_EQ(platform::AtoI(""), 0);
    EXPECT_EQ(platform::AtoI(nullptr), 0);
    EXPECT_EQ(platform::AtoI("99999999999999999999"), 2147483647);
    EXPECT_EQ(platform::AtoI("-99999999999999999999"), -2147483647 - 1);
    EXPECT_EQ(platform::AtoL("123456789012"), 2147483647);
    EXPECT_EQ(platform::AtoUL("0x1F", 16), 31u);
    EXPECT_EQ(platform::AtoUL("ffzz", 16), 255u);
    EXPECT_EQ(platform::AtoUL("77", 8), 63u);
    EXPECT_EQ(platform::AtoUL("99999999999"), 4294967295u);
    EXPECT_DOUBLE_EQ(platform::AtoF("4807.038,N"), 4807.038);
    EXPECT_DOUBLE_EQ(platform::AtoF("-1.5e2x"), -150.0);
    EXPECT_DOUBLE_EQ(platform::AtoF("2e"), 2.0);
    EXPECT_DOUBLE_EQ(platform::AtoF(".5"), 0.5);
    EXPECT_EQ(platform::AtoF("-"), 0.0);
    EXPECT_EQ(platform::AtoF("inf"), 0.0);
    EXPECT_EQ(platform::AtoF("nan"), 0.0);
    EXPECT_EQ(platform::AtoF("1e999"), 0.0);
    EXPECT_EQ(platform::AtoF(""), 0.0);
}
