#include "support/decimal_comma_locale.h"

#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
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
    // Built once per process into a folder removed at its end.
    static std::string built;
    static bool tried = false;
    static bool ready = false;
    if (!tried) {
        tried = true;
        char dir[] = "/tmp/tessaray_locale_XXXXXX";
        if (!::mkdtemp(dir)) {
            *why = "no decimal-comma locale installed and no temporary folder to build one";
            return false;
        }
        built = dir;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(built, ec);
        });
        const std::string cmd =
            "localedef -i de_DE -f UTF-8 " + built + "/de_DE.UTF-8 >/dev/null 2>&1";
        ready = std::system(cmd.c_str()) == 0;
    }
    if (ready) {
        ::setenv("LOCPATH", built.c_str(), 1);
        if (std::setlocale(LC_ALL, "de_DE.UTF-8") && HasDecimalComma()) return true;
    }
    RestoreCLocale();
    *why = "no decimal-comma locale installed, and localedef could not build de_DE.UTF-8";
    return false;
}

void RestoreCLocale() {
    std::setlocale(LC_ALL, "C");
}

bool DecimalCommaRequired() {
    const char* ci = std::getenv("CI");
    return ci && std::strcmp(ci, "true") == 0;
}

}  // namespace testsupport
