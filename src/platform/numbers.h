#pragma once

#include <cstdarg>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Locale-free numbers for everything that reaches the receiver or a file. The process locale
// (which Qt takes from the environment) never changes these results.
namespace platform {

std::string FormatInt(int64_t value);
std::string FormatUInt(uint64_t value);
// Same digits as printf("%.*f", decimals, value) in the "C" locale.
std::string FormatFixed(double value, int decimals);

// A printf-like formatter that is locale-free. Understands the flags "-0+ #", width and
// precision (also "*"), the length modifiers h, hh, l, ll, z, and the conversions
// d i u x X o c s f F e E g G p %. "%ld" and "%lu" take a long argument and print it as a
// 32-bit value, as the original platform's long was 32 bits wide.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string VFormat(const char* fmt, va_list args);

// Strict parsers: optional surrounding blanks, an optional sign, decimal digits (and for the
// floating ones a fraction); nothing else. Out of range, empty, "inf", "nan", hex or
// exponent forms give nullopt.
std::optional<int> ParseInt(std::string_view text);
std::optional<int32_t> ParseLong32(std::string_view text);
std::optional<uint32_t> ParseULong32(std::string_view text);
std::optional<double> ParseDouble(std::string_view text);
std::optional<float> ParseFloat(std::string_view text);
// As ParseDouble, also with a decimal exponent ("1e+06", "5e-05", as "%g" prints them).
std::optional<double> ParseDoubleOrExponent(std::string_view text);

// Lenient converters in the manner of atoi/atol/atof/strtoul: leading blanks are skipped,
// the leading number is taken and the rest ignored; no number gives 0. Integers saturate at
// their range; AtoF accepts an exponent and never returns inf or nan (0 instead).
int AtoI(const char* text);
int32_t AtoL(const char* text);
uint32_t AtoUL(const char* text, int base = 10);
double AtoF(const char* text);

// The leading number in the manner of sscanf "%lf", "%f" and "%ld" ("301.5kHz" gives 301.5),
// locale-free; nullopt when no number leads or the value is not finite in its type.
std::optional<double> ScanDouble(const std::string& text);
std::optional<float> ScanFloat(const std::string& text);
std::optional<int64_t> ScanInteger(const std::string& text);
// As ScanDouble, but a number beyond a double's range reads as "%lf" reads it: infinite
// (with its sign) when too large, 0 when too small, so a caller can refuse it.
std::optional<double> ScanDoubleSaturated(const std::string& text);

inline int AtoI(const std::string& text) {
    return AtoI(text.c_str());
}
inline int32_t AtoL(const std::string& text) {
    return AtoL(text.c_str());
}
inline double AtoF(const std::string& text) {
    return AtoF(text.c_str());
}

}  // namespace platform
