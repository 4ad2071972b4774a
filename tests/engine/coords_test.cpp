#include "engine/coords.h"

#include <gtest/gtest.h>

namespace {

TEST(SignedDegrees, SignFromDegreesOrLetter) {
    struct Case {
        int deg;
        double min;
        char dir;
        bool signedDegrees;
        double expected;
    };
    const Case cases[] = {
        {45, 30.0, 'N', false, 45.5},        {45, 30.0, 'S', false, -45.5},
        {11, 30.0, 'E', false, 11.5},        {11, 30.0, 'W', false, -11.5},
        {0, 30.0, 'S', false, -0.5},         {-45, 30.0, 'N', true, -45.5},
        {45, 30.0, 'S', true, 45.5},         {0, 30.0, 'S', true, -0.5},
        {0, 30.0, 'W', true, -0.5},          {0, 30.0, 'N', true, 0.5},
        {-114, 3.456, 'E', true, -114.0576}, {0, 0.0, 'S', false, -0.0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(SignedDegrees(c.deg, c.min, c.dir, c.signedDegrees), c.expected)
            << c.deg << " " << c.min << " " << c.dir << " " << c.signedDegrees;
}

}  // namespace
