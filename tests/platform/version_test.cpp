#include <gtest/gtest.h>

#include <string_view>

#include "platform/version.h"

TEST(Version, ProgramNameIsTheTracePrefix) {
    EXPECT_EQ(std::string_view(platform::kProgramName), "Tessaray_PC");
}
