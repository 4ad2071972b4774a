#include "shell/CoordFormat.h"

#include <cmath>
#include <cstdlib>

#include "platform/numbers.h"

namespace {

bool IsNegative(const CoordValue& v) {
    if (!v.bSignedDegrees) return !(v.cDir == 'N' || v.cDir == 'E');
    return v.iDeg < 0 || (v.iDeg == 0 && (v.cDir == 'S' || v.cDir == 'W'));
}

// The degree field: "%4d" of the signed whole degrees, with "-0" for a negative value below
// one degree.
std::string DegreeField(bool negative, int64_t degrees) {
    const std::string digits = platform::FormatInt(degrees);
    return platform::Format("%4s", ((negative ? "-" : "") + digits).c_str());
}

}  // namespace

std::string FormatCoordinate(int format, const CoordValue& v) {
    const bool negative = IsNegative(v);
    const int64_t degrees = std::llabs(static_cast<int64_t>(v.iDeg));
    const double minutes = std::isfinite(v.dMin) ? std::fabs(v.dMin) : 0.0;

    if (format == COORD_DMM || format == COORD_DMS) {
        // Minutes of 60 and more come only from a malformed sentence: shown as they are.
        if (minutes >= 60.0) {
            if (format == COORD_DMM)
                return DegreeField(negative, degrees) + platform::Format(" %09.6lf", minutes);
            const double whole = std::floor(minutes);
            return DegreeField(negative, degrees) +
                   platform::Format(" %02.0lf %07.4lf", whole, (minutes - whole) * 60.0);
        }
        if (format == COORD_DMM) {
            constexpr int64_t kPerMinute = 1000000;  // printed to six decimals
            int64_t units = std::llround(minutes * static_cast<double>(kPerMinute));
            int64_t deg = degrees;
            if (units >= 60 * kPerMinute) {
                units -= 60 * kPerMinute;
                ++deg;
            }
            const bool sign = negative && (deg != 0 || units != 0);
            return DegreeField(sign, deg) +
                   platform::Format(" %02lld.%06lld", static_cast<long long>(units / kPerMinute),
                                    static_cast<long long>(units % kPerMinute));
        }
        constexpr int64_t kPerSecond = 10000;  // seconds printed to four decimals
        constexpr int64_t kPerMinute = 60 * kPerSecond;
        int64_t units = std::llround(minutes * static_cast<double>(kPerMinute));
        int64_t deg = degrees;
        if (units >= 60 * kPerMinute) {
            units -= 60 * kPerMinute;
            ++deg;
        }
        const int64_t wholeMinutes = units / kPerMinute;
        const int64_t secondUnits = units % kPerMinute;
        const bool sign = negative && (deg != 0 || units != 0);
        return DegreeField(sign, deg) +
               platform::Format(" %02lld %02lld.%04lld", static_cast<long long>(wholeMinutes),
                                static_cast<long long>(secondUnits / kPerSecond),
                                static_cast<long long>(secondUnits % kPerSecond));
    }

    const double magnitude = static_cast<double>(degrees) + minutes / 60.0;
    std::string text = platform::Format("%12.7lf", negative ? -magnitude : magnitude);
    // A value that rounds to zero shows no sign.
    if (text.find_first_of("123456789") == std::string::npos) {
        if (const size_t minus = text.find('-'); minus != std::string::npos) text[minus] = ' ';
    }
    return text;
}

std::string LatitudeRangeError(double degrees) {
    return degrees >= -90.0 && degrees <= 90.0 ? std::string()
                                               : "Latitude must be between -90 and 90 degrees.";
}

std::string LongitudeRangeError(double degrees) {
    return degrees >= -180.0 && degrees <= 180.0
               ? std::string()
               : "Longitude must be between -180 and 180 degrees.";
}
