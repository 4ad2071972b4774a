#include "platform/numbers.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <limits>

namespace platform {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

struct Spec {
    bool left = false, plus = false, space = false, alt = false, zero = false;
    int width = 0;
    int precision = -1;
};

// Pads "prefix + body" to the width: zeros go between prefix and body.
void Emit(std::string& out, const Spec& spec, std::string_view prefix, std::string_view body,
          bool zeroAllowed) {
    size_t len = prefix.size() + body.size();
    size_t pad = spec.width > 0 && static_cast<size_t>(spec.width) > len ? spec.width - len : 0;
    if (spec.left) {
        out.append(prefix);
        out.append(body);
        out.append(pad, ' ');
    } else if (spec.zero && zeroAllowed) {
        out.append(prefix);
        out.append(pad, '0');
        out.append(body);
    } else {
        out.append(pad, ' ');
        out.append(prefix);
        out.append(body);
    }
}

void EmitUnsigned(std::string& out, const Spec& spec, uint64_t value, int base, bool upper,
                  bool negative, bool isSigned) {
    char buf[72];
    auto res = std::to_chars(buf, buf + sizeof buf, value, base);
    std::string body(buf, res.ptr);
    if (upper) {
        for (char& c : body) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    if (spec.precision >= 0) {
        if (spec.precision == 0 && value == 0) body.clear();
        if (body.size() < static_cast<size_t>(spec.precision))
            body.insert(0, spec.precision - body.size(), '0');
    }
    std::string prefix;
    if (isSigned) {
        if (negative)
            prefix = "-";
        else if (spec.plus)
            prefix = "+";
        else if (spec.space)
            prefix = " ";
    }
    if (spec.alt && value != 0) {
        if (base == 16) prefix += upper ? "0X" : "0x";
        if (base == 8 && (body.empty() || body[0] != '0')) body.insert(0, "0");
    }
    Emit(out, spec, prefix, body, spec.precision < 0);
}

void EmitFloat(std::string& out, const Spec& spec, double value, char conv) {
    bool upper = conv == 'F' || conv == 'E' || conv == 'G';
    bool negative = std::signbit(value);
    double mag = std::fabs(value);
    std::string prefix = negative ? "-" : spec.plus ? "+" : spec.space ? " " : "";
    std::string body;
    if (std::isnan(mag) || std::isinf(mag)) {
        body = std::isnan(mag) ? "nan" : "inf";
        if (upper)
            for (char& c : body) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        Emit(out, spec, prefix, body, false);
        return;
    }
    int precision = spec.precision < 0 ? 6 : spec.precision;
    std::chars_format fmt = std::chars_format::fixed;
    char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(conv)));
    if (lower == 'e') fmt = std::chars_format::scientific;
    if (lower == 'g') {
        fmt = std::chars_format::general;
        if (precision == 0) precision = 1;
    }
    // Large enough for any double in fixed form with the widest precision we accept.
    std::string buf(400 + static_cast<size_t>(std::min(precision, 1000)), '\0');
    auto res =
        std::to_chars(buf.data(), buf.data() + buf.size(), mag, fmt, std::min(precision, 1000));
    body.assign(buf.data(), res.ptr);
    if (upper)
        for (char& c : body) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (spec.alt && body.find('.') == std::string::npos && lower != 'g') {
        size_t e = body.find_first_of("eE");
        body.insert(e == std::string::npos ? body.size() : e, ".");
    }
    Emit(out, spec, prefix, body, true);
}

template <typename T>
std::optional<T> ParseIntegral(std::string_view text) {
    text = Trim(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    for (char c : text)
        if (!IsDigit(c)) return std::nullopt;
    uint64_t mag = 0;
    auto res = std::from_chars(text.data(), text.data() + text.size(), mag);
    if (res.ec != std::errc() || res.ptr != text.data() + text.size()) return std::nullopt;
    if (negative) {
        if (mag == 0) return T(0);
        if (!std::numeric_limits<T>::is_signed) return std::nullopt;
        uint64_t limit =
            static_cast<uint64_t>(-(static_cast<int64_t>(std::numeric_limits<T>::min()) + 1)) + 1;
        if (mag > limit) return std::nullopt;
        return static_cast<T>(-static_cast<int64_t>(mag - 1) - 1);
    }
    if (mag > static_cast<uint64_t>(std::numeric_limits<T>::max())) return std::nullopt;
    return static_cast<T>(mag);
}

template <typename T>
std::optional<T> ParseFloating(std::string_view text, bool exponent = false) {
    text = Trim(text);
    std::string_view body = text;
    if (!body.empty() && (body[0] == '+' || body[0] == '-')) body.remove_prefix(1);
    std::string_view mantissa = body;
    if (const size_t e = body.find_first_of("eE"); exponent && e != body.npos) {
        mantissa = body.substr(0, e);
        std::string_view power = body.substr(e + 1);
        if (!power.empty() && (power[0] == '+' || power[0] == '-')) power.remove_prefix(1);
        if (power.empty() || !std::all_of(power.begin(), power.end(), IsDigit)) return std::nullopt;
    }
    size_t digits = 0, dots = 0;
    for (char c : mantissa) {
        if (IsDigit(c))
            ++digits;
        else if (c == '.')
            ++dots;
        else
            return std::nullopt;
    }
    if (digits == 0 || dots > 1) return std::nullopt;
    std::string s(body);
    if (!text.empty() && text[0] == '-') s.insert(0, "-");
    T value{};
    auto res = std::from_chars(s.data(), s.data() + s.size(), value,
                               exponent ? std::chars_format::general : std::chars_format::fixed);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Leading integer in the manner of strtol, saturating at [lo, hi].
int64_t LeadingInteger(const char* p, int64_t lo, int64_t hi) {
    if (!p) return 0;
    while (IsBlank(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    int64_t v = 0;
    bool saturated = false;
    for (; IsDigit(*p); ++p) {
        if (!saturated) {
            v = v * 10 + (*p - '0');
            if (v > (int64_t{1} << 40)) saturated = true;
        }
    }
    if (negative) v = -v;
    if (saturated) v = negative ? lo : hi;
    return v < lo ? lo : v > hi ? hi : v;
}

}  // namespace

std::string FormatInt(int64_t value) {
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

std::string FormatUInt(uint64_t value) {
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

std::string FormatFixed(double value, int decimals) {
    return Format("%.*f", decimals < 0 ? 0 : decimals, value);
}

std::string Format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::string s = VFormat(fmt, args);
    va_end(args);
    return s;
}

std::string VFormat(const char* fmt, va_list args) {
    std::string out;
    if (!fmt) return out;
    va_list ap;
    va_copy(ap, args);
    for (const char* p = fmt; *p; ++p) {
        if (*p != '%') {
            out += *p;
            continue;
        }
        const char* start = p++;
        Spec spec;
        for (;; ++p) {
            if (*p == '-')
                spec.left = true;
            else if (*p == '+')
                spec.plus = true;
            else if (*p == ' ')
                spec.space = true;
            else if (*p == '#')
                spec.alt = true;
            else if (*p == '0')
                spec.zero = true;
            else
                break;
        }
        if (*p == '*') {
            spec.width = va_arg(ap, int);
            if (spec.width < 0) {
                spec.left = true;
                spec.width = -spec.width;
            }
            ++p;
        } else {
            while (IsDigit(*p)) spec.width = spec.width * 10 + (*p++ - '0');
        }
        if (*p == '.') {
            ++p;
            spec.precision = 0;
            if (*p == '*') {
                spec.precision = va_arg(ap, int);
                ++p;
            } else {
                while (IsDigit(*p)) spec.precision = spec.precision * 10 + (*p++ - '0');
            }
        }
        int length = 0;  // 0 int, 1 long, 2 long long, 3 size_t, -1 short, -2 char
        if (*p == 'h') {
            length = -1;
            if (*++p == 'h') length = -2, ++p;
        } else if (*p == 'l') {
            length = 1;
            if (*++p == 'l') length = 2, ++p;
        } else if (*p == 'z') {
            length = 3;
            ++p;
        } else if (*p == 'L') {
            ++p;  // long double is not passed by our callers; treated as double
        }
        char conv = *p;
        switch (conv) {
            case 'd':
            case 'i': {
                int64_t v;
                if (length == 2)
                    v = va_arg(ap, long long);
                else if (length == 1)
                    v = static_cast<int32_t>(va_arg(ap, long));
                else if (length == 3)
                    v = static_cast<int64_t>(va_arg(ap, size_t));
                else if (length == -1)
                    v = static_cast<short>(va_arg(ap, int));
                else if (length == -2)
                    v = static_cast<signed char>(va_arg(ap, int));
                else
                    v = va_arg(ap, int);
                uint64_t mag = v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
                EmitUnsigned(out, spec, mag, 10, false, v < 0, true);
                break;
            }
            case 'u':
            case 'x':
            case 'X':
            case 'o': {
                uint64_t v;
                if (length == 2)
                    v = va_arg(ap, unsigned long long);
                else if (length == 1)
                    v = static_cast<uint32_t>(va_arg(ap, unsigned long));
                else if (length == 3)
                    v = va_arg(ap, size_t);
                else if (length == -1)
                    v = static_cast<unsigned short>(va_arg(ap, unsigned int));
                else if (length == -2)
                    v = static_cast<unsigned char>(va_arg(ap, unsigned int));
                else
                    v = va_arg(ap, unsigned int);
                int base = conv == 'u' ? 10 : conv == 'o' ? 8 : 16;
                EmitUnsigned(out, spec, v, base, conv == 'X', false, false);
                break;
            }
            case 'f':
            case 'F':
            case 'e':
            case 'E':
            case 'g':
            case 'G':
                EmitFloat(out, spec, va_arg(ap, double), conv);
                break;
            case 'c': {
                char c = static_cast<char>(va_arg(ap, int));
                Emit(out, spec, "", std::string_view(&c, 1), false);
                break;
            }
            case 's': {
                const char* s = va_arg(ap, const char*);
                if (!s) s = "(null)";
                size_t n = spec.precision >= 0 ? strnlen(s, spec.precision) : std::strlen(s);
                Emit(out, spec, "", std::string_view(s, n), false);
                break;
            }
            case 'p': {
                const void* v = va_arg(ap, const void*);
                Spec ps = spec;
                ps.alt = true;
                EmitUnsigned(out, ps, reinterpret_cast<uintptr_t>(v), 16, false, false, false);
                break;
            }
            case '%':
                out += '%';
                break;
            default:
                // Unknown conversion: keep the text as written so the fault is visible.
                out.append(start, conv ? p + 1 : p);
                if (!conv) --p;
                break;
        }
    }
    va_end(ap);
    return out;
}

std::optional<int> ParseInt(std::string_view text) {
    return ParseIntegral<int>(text);
}
std::optional<int32_t> ParseLong32(std::string_view text) {
    return ParseIntegral<int32_t>(text);
}
std::optional<uint32_t> ParseULong32(std::string_view text) {
    return ParseIntegral<uint32_t>(text);
}
std::optional<double> ParseDouble(std::string_view text) {
    return ParseFloating<double>(text);
}
std::optional<float> ParseFloat(std::string_view text) {
    return ParseFloating<float>(text);
}
std::optional<double> ParseDoubleOrExponent(std::string_view text) {
    return ParseFloating<double>(text, true);
}

int AtoI(const char* text) {
    return static_cast<int>(LeadingInteger(text, INT_MIN, INT_MAX));
}

int32_t AtoL(const char* text) {
    return static_cast<int32_t>(LeadingInteger(text, INT32_MIN, INT32_MAX));
}

uint32_t AtoUL(const char* text, int base) {
    if (!text) return 0;
    const char* p = text;
    while (IsBlank(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if (base == 16 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) p += 2;
    if (base < 2 || base > 36) base = 10;
    uint64_t v = 0;
    for (;; ++p) {
        int d;
        char c = *p;
        if (IsDigit(c))
            d = c - '0';
        else if (c >= 'a' && c <= 'z')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'Z')
            d = c - 'A' + 10;
        else
            break;
        if (d >= base) break;
        v = v * base + d;
        if (v > UINT32_MAX) v = uint64_t{UINT32_MAX} + 1;
    }
    if (v > UINT32_MAX) return UINT32_MAX;
    uint32_t r = static_cast<uint32_t>(v);
    return negative ? 0u - r : r;
}

namespace {

// The leading decimal number (with an optional exponent) in the manner of strtod, without
// its locale, "inf", "nan" or hex forms; nullopt when no digit leads or the value is not finite.
std::optional<double> LeadingFloating(const char* text, bool saturate = false) {
    if (!text) return std::nullopt;
    const char* p = text;
    while (IsBlank(*p)) ++p;
    const char* begin = p;
    if (*p == '+' || *p == '-') ++p;
    size_t digits = 0;
    while (IsDigit(*p)) ++p, ++digits;
    if (*p == '.') {
        ++p;
        while (IsDigit(*p)) ++p, ++digits;
    }
    if (digits == 0) return std::nullopt;
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        if (*q == '+' || *q == '-') ++q;
        if (IsDigit(*q)) {
            while (IsDigit(*q)) ++q;
            p = q;
        }
    }
    const char* first = begin;
    if (*first == '+') ++first;
    double value = 0.0;
    auto res = std::from_chars(first, p, value, std::chars_format::general);
    if (res.ec == std::errc::result_out_of_range && saturate) {
        // Too large or too small: the position of the first significant digit against the
        // decimal point, moved by the exponent, tells which.
        long magnitude = 0;
        bool seen = false;
        const char* q = *first == '-' ? first + 1 : first;
        for (; IsDigit(*q) || *q == '.'; ++q) {
            if (*q == '.') continue;
            if (!seen && *q == '0') {
                if (std::find(first, q, '.') != q) --magnitude;
                continue;
            }
            if (!seen) seen = true;
            if (std::find(first, q, '.') == q) ++magnitude;
        }
        if (*q == 'e' || *q == 'E') magnitude += std::clamp(AtoL(q + 1), -100000, 100000);
        const double sign = *first == '-' ? -1.0 : 1.0;
        return magnitude > 0 ? sign * HUGE_VAL : sign * 0.0;
    }
    if (res.ec != std::errc() || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace

double AtoF(const char* text) {
    return LeadingFloating(text).value_or(0.0);
}

std::optional<double> ScanDouble(const std::string& text) {
    return LeadingFloating(text.c_str());
}

std::optional<double> ScanDoubleSaturated(const std::string& text) {
    return LeadingFloating(text.c_str(), true);
}

std::optional<float> ScanFloat(const std::string& text) {
    const std::optional<double> value = LeadingFloating(text.c_str());
    if (!value || !std::isfinite(static_cast<float>(*value))) return std::nullopt;
    return static_cast<float>(*value);
}

std::optional<int64_t> ScanInteger(const std::string& text) {
    const char* p = text.c_str();
    while (IsBlank(*p)) ++p;
    if (*p == '+' || *p == '-') ++p;
    if (!IsDigit(*p)) return std::nullopt;
    // Beyond 2^40 the value saturates; callers check their own range.
    return LeadingInteger(text.c_str(), INT64_MIN / 2, INT64_MAX / 2);
}

}  // namespace platform
