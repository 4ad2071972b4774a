#include "support/decimal_comma_locale.h"

#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace testsupport {
namespace {

bool HasDecimalComma() {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.1f", 1.5);
    return std::strcmp(buf, "1,5") == 0;
}

}  // namespace

bool UseDecimalCommaLocale(std::string* why) {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE"}) {
        if (std::setlocale(LC_ALL, name) && HasDecimalComma()) return true;
    }
    char dir[] = "/tmp/tessaray_locale_XXXXXX";
    if (!::mkdtemp(dir)) {
        *why = "no decimal-comma locale installed and no temporary folder to build one";
        return false;
    }
    std::string cmd =
        std::string("localedef -i de_DE -f UTF-8 ") + dir + "/de_DE.UTF-8 >/dev/null 2>&1";
    int rc = std::system(cmd.c_str());
    ::setenv("LOCPATH", dir, 1);
    if (rc == 0 && std::setlocale(LC_ALL, "de_DE.UTF-8") && HasDecimalComma()) return true;
    RestoreCLocale();
    *why = "no decimal-comma locale installed, and localedef could not build de_DE.UTF-8";
    return false;
}

void RestoreCLocale() {
    std::setlocale(LC_ALL, "C");
}

}  // namespace testsupport
