#include "support/decimal_comma_locale.h"

#include <clocale>
#include <cstdio>
#include <filesystem>

namespace testsupport {
namespace {

bool SetDecimalComma(const char* name) {
    char buf[16];
    return std::setlocale(LC_ALL, name) && std::snprintf(buf, sizeof buf, "%.1f", 1.5) > 0 &&
           std::strcmp(buf, "1,5") == 0;
}

}  // namespace

bool UseDecimalCommaLocale(std::string* why) {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "de_DE"})
        if (SetDecimalComma(name)) return true;
    // Built once per process into a folder removed at its end.
    static std::string built;
    static const bool ready = [] {
        char dir[] = "/tmp/tessaray_locale_XXXXXX";
        if (!::mkdtemp(dir)) return false;
        built = dir;
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(built, ec);
        });
        const std::string cmd =
            "localedef -i de_DE -f UTF-8 " + built + "/de_DE.UTF-8 >/dev/null 2>&1";
        return std::system(cmd.c_str()) == 0;
    }();
    if (ready) {
        ::setenv("LOCPATH", built.c_str(), 1);
        if (SetDecimalComma("de_DE.UTF-8")) return true;
    }
    RestoreCLocale();
    *why = "no decimal-comma locale installed, and localedef could not build de_DE.UTF-8";
    return false;
}

}  // namespace testsupport
