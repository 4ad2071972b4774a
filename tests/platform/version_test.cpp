#include "platform/version.h"

#include <gtest/gtest.h>

#include <string_view>

TEST(Version, ProgramNameIsTheTracePrefix) {
    EXPECT_EQ(std::string_view(platform::kProgramName), "Tessaray_PC");
}
