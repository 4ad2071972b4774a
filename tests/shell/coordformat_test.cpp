// Latitude and longitude read-outs: signs, hemisphere letters, rounding and carries.

#include "shell/CoordFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "support/decimal_comma_locale.h"

namespace {

struct Case {
    const char* name;
    CoordValue value;
    const char* dmm;
    const char* dd;
    const char* dms;
};

TEST(CoordFormat, ThreeFormatsTable) {
    const Case cases[] = {
        // Letters decide the sign while the degrees are unsigned (GGA).
        {"south", {45, 30.5, 'S', false}, " -45 30.500000", " -45.5083333", " -45 30 30.0000"},
        {"north", {45, 30.5, 'N', false}, "  45 30.500000", "  45.5083333", "  45 30 30.0000"},
        {"east", {11, 31.0, 'E', false}, "  11 31.000000", "  11.5166667", "  11 31 00.0000"},
        {"west", {114, 3.456, 'W', false}, "-114 03.456000", "-114.0576000", "-114 03 27.3600"},
        // Below one degree the sign still shows.
        {"half degree south",
         {0, 30.0, 'S', false},
         "  -0 30.000000",
         "  -0.5000000",
         "  -0 30 00.0000"},
        {"half degree west, signed degrees",
         {0, 30.0, 'W', true},
         "  -0 30.000000",
         "  -0.5000000",
         "  -0 30 00.0000"},
        {"half degree east, signed degrees",
         {0, 30.0, 'E', true},
         "   0 30.000000",
         "   0.5000000",
         "   0 30 00.0000"},
        // Signed degrees (binary message 1) ignore a letter that disagrees.
        {"signed negative, stale letter",
         {-33, 30.0, 'N', true},
         " -33 30.000000",
         " -33.5000000",
         " -33 30 00.0000"},
        {"signed positive, stale letter",
         {33, 30.0, 'S', true},
         "  33 30.000000",
         "  33.5000000",
         "  33 30 00.0000"},
        // Nothing received yet: no letter and a zero value show no sign.
        {"empty", {0, 0.0, 0, false}, "   0 00.000000", "   0.0000000", "   0 00 00.0000"},
        // Rounding to the printed precision carries into the degrees.
        {"minutes round up to 60",
         {12, 59.9999999, 'N', false},
         "  13 00.000000",
         "  13.0000000",
         "  13 00 00.0000"},
        {"minutes round up, south",
         {0, 59.9999999, 'S', false},
         "  -1 00.000000",
         "  -1.0000000",
         "  -1 00 00.0000"},
        {"seconds round up to 60",
         {10, 59.99999999, 'N', false},
         "  11 00.000000",
         "  11.0000000",
         "  11 00 00.0000"},
        {"seconds carry into minutes",
         {10, 29.9999999, 'N', false},
         "  10 30.000000",
         "  10.5000000",
         "  10 30 00.0000"},
        {"seconds just below carry",
         {10, 29.9999983, 'N', false},
         "  10 29.999998",
         "  10.5000000",
         "  10 29 59.9999"},
        {"tiny negative rounds to zero",
         {0, 0.0000001, 'S', false},
         "   0 00.000000",
         "   0.0000000",
         "   0 00 00.0000"},
        {"180 west", {180, 0.0, 'W', false}, "-180 00.000000", "-180.0000000", "-180 00 00.0000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatCoordinate(COORD_DMM, c.value), c.dmm) << c.name;
        EXPECT_EQ(FormatCoordinate(COORD_DD, c.value), c.dd) << c.name;
        EXPECT_EQ(FormatCoordinate(COORD_DMS, c.value), c.dms) << c.name;
    }
}

TEST(CoordFormat, UnknownFormatIsDecimalDegrees) {
    const CoordValue v{45, 30.5, 'S', false};
    EXPECT_EQ(FormatCoordinate(7, v), " -45.5083333");
    EXPECT_EQ(FormatCoordinate(-1, v), " -45.5083333");
}

TEST(CoordFormat, MalformedMinutesShownWithoutCarry) {
    // A sentence with 75 minutes is shown as it came, not turned into another position.
    const CoordValue v{48, 75.25, 'N', false};
    EXPECT_EQ(FormatCoordinate(COORD_DMM, v), "  48 75.250000");
    EXPECT_EQ(FormatCoordinate(COORD_DMS, v), "  48 75 15.0000");
    const CoordValue nan{48, std::numeric_limits<double>::quiet_NaN(), 'N', false};
    EXPECT_EQ(FormatCoordinate(COORD_DMM, nan), "  48 00.000000");
    EXPECT_EQ(FormatCoordinate(COORD_DD, nan), "  48.0000000");
}

TEST(CoordFormat, DecimalCommaLocaleDoesNotLeakIn) {
    USE_DECIMAL_COMMA_LOCALE();
    EXPECT_EQ(FormatCoordinate(COORD_DMM, CoordValue{45, 30.5, 'S', false}), " -45 30.500000");
    EXPECT_EQ(FormatCoordinate(COORD_DD, CoordValue{45, 30.5, 'S', false}), " -45.5083333");
    testsupport::RestoreCLocale();
}

}  // namespace
