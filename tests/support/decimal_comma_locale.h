#pragma once

#include <string>

namespace testsupport {

// Makes the process locale one with a decimal comma (de_DE.UTF-8), building it into a
// temporary folder with localedef when the system has not installed it. Returns false with
// the reason when no such locale can be had. RestoreCLocale undoes it.
bool UseDecimalCommaLocale(std::string* why);
void RestoreCLocale();

}  // namespace testsupport
