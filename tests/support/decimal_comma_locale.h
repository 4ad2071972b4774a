#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <string>

namespace testsupport {

// Makes the process locale one with a decimal comma (de_DE.UTF-8), building it into a
// temporary folder with localedef when the system has not installed it. Returns false with
// the reason when no such locale can be had. RestoreCLocale undoes it.
bool UseDecimalCommaLocale(std::string* why);
inline void RestoreCLocale() {
    std::setlocale(LC_ALL, "C");
}

}  // namespace testsupport

// In a test body: fails (under CI=true) or skips the test, giving the reason.
#define DECIMAL_COMMA_MISSING(why)                                                  \
    do {                                                                            \
        if (const char* ci = std::getenv("CI"); ci && std::strcmp(ci, "true") == 0) \
            FAIL() << (why);                                                        \
        GTEST_SKIP() << (why);                                                      \
    } while (0)

// In a test body: switches to a decimal-comma locale, or fails or skips as above.
#define USE_DECIMAL_COMMA_LOCALE()                                   \
    do {                                                             \
        std::string decimal_comma_why;                               \
        if (!testsupport::UseDecimalCommaLocale(&decimal_comma_why)) \
            DECIMAL_COMMA_MISSING(decimal_comma_why);                \
    } while (0)
