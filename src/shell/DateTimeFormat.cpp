#include "shell/DateTimeFormat.h"

#include <QLocale>
#include <QString>
#include <charconv>

namespace {

std::string Number(int value, int width) {
    char buf[16];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    std::string digits(buf, res.ptr);
    if (value >= 0 && static_cast<int>(digits.size()) < width) {
        digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
    }
    return digits;
}

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DayOfYear(int year, int month, int day) {
    static constexpr std::array<int, 12> kBefore{0,   31,  59,  90,  120, 151,
                                                 181, 212, 243, 273, 304, 334};
    if (month < 1 || month > 12) return day;
    return kBefore[static_cast<std::size_t>(month - 1)] + day +
           (month > 2 && IsLeapYear(year) ? 1 : 0);
}

std::string Utf8(const QString& s) {
    return s.toStdString();
}

}  // namespace

CDateTimeFormat::DateTime CDateTimeFormat::DateTime::FromLocalTime(std::time_t t) {
    std::tm tm{};
    DateTime dt;
    if (localtime_r(&t, &tm) == nullptr) return dt;
    dt.year = tm.tm_year + 1900;
    dt.month = tm.tm_mon + 1;
    dt.day = tm.tm_mday;
    dt.dayOfWeek = tm.tm_wday;
    dt.hour = tm.tm_hour;
    dt.minute = tm.tm_min;
    dt.second = tm.tm_sec;
    return dt;
}

CDateTimeFormat::Names CDateTimeFormat::Names::FromSystem() {
    const QLocale locale = QLocale::system();
    Names n;
    for (int i = 0; i < 7; ++i) {
        // Qt counts the days from Monday (1) to Sunday (7).
        const int qtDay = i == 0 ? 7 : i;
        n.shortDay[static_cast<std::size_t>(i)] = Utf8(locale.dayName(qtDay, QLocale::ShortFormat));
        n.longDay[static_cast<std::size_t>(i)] = Utf8(locale.dayName(qtDay, QLocale::LongFormat));
    }
    for (int i = 0; i < 12; ++i) {
        n.shortMonth[static_cast<std::size_t>(i)] =
            Utf8(locale.monthName(i + 1, QLocale::ShortFormat));
        n.longMonth[static_cast<std::size_t>(i)] =
            Utf8(locale.monthName(i + 1, QLocale::LongFormat));
    }
    n.am = Utf8(locale.amText());
    n.pm = Utf8(locale.pmText());
    return n;
}

CDateTimeFormat::CDateTimeFormat() : CDateTimeFormat(Names::FromSystem()) {}

CDateTimeFormat::CDateTimeFormat(Names names) : names_(std::move(names)) {}

std::string CDateTimeFormat::Expand(char letter, int count) const {
    static const std::string kUnknown = "???";
    if (count > 4) return kUnknown;
    const DateTime& t = time_;
    auto number = [&](int value) {
        return count == 1 ? Number(value, 0) : count == 2 ? Number(value, 2) : kUnknown;
    };
    auto name = [](const auto& table, int index) -> std::string {
        return index >= 0 && index < static_cast<int>(table.size())
                   ? table[static_cast<std::size_t>(index)]
                   : std::string("???");
    };
    switch (letter) {
        case 'd':
            if (count <= 2) return number(t.day);
            return name(count == 3 ? names_.shortDay : names_.longDay, t.dayOfWeek);
        case 'M':
            if (count <= 2) return number(t.month);
            return name(count == 3 ? names_.shortMonth : names_.longMonth, t.month - 1);
        case 'y':
            if (count == 1) return Number(t.year, 0);
            if (count == 2) return Number(t.year % 100, 2);
            if (count == 4) return Number(t.year, 4);
            return kUnknown;
        case 'h': {
            // A 12-hour clock shows midnight and noon as 12.
            int hour = t.hour > 12 ? t.hour - 12 : t.hour;
            if (hour == 0) hour = 12;
            return number(hour);
        }
        case 'H':
            return number(t.hour);
        case 'm':
            return number(t.minute);
        case 's':
            return number(t.second);
        case 'w':
            return number((DayOfYear(t.year, t.month, t.day) - 1) / 7 + 1);
        case 'q':
            return count == 1 ? Number((t.month - 1) / 3 + 1, 0) : kUnknown;
        case 't': {
            const std::string& text = t.hour < 12 ? names_.am : names_.pm;
            if (count == 1) {
                if (text.empty()) return text;
                // The first character, whole even when it takes several UTF-8 bytes.
                std::size_t len = 1;
                while (len < text.size() && (static_cast<unsigned char>(text[len]) & 0xC0) == 0x80)
                    ++len;
                return text.substr(0, len);
            }
            if (count == 2) return text;
            return kUnknown;
        }
        case 'g':
            return {};
        default:
            return std::string(static_cast<std::size_t>(count), letter);
    }
}

std::string CDateTimeFormat::Format(std::string_view picture) const {
    static constexpr std::string_view kLetters = "dMyhHmswqtg";
    std::string out;
    std::size_t i = 0;
    while (i < picture.size()) {
        const char c = picture[i];
        if (c == '\'') {
            const std::size_t end = picture.find('\'', i + 1);
            const std::size_t stop = end == std::string_view::npos ? picture.size() : end;
            out.append(picture.substr(i + 1, stop - i - 1));
            i = end == std::string_view::npos ? picture.size() : end + 1;
            continue;
        }
        if (kLetters.find(c) == std::string_view::npos) {
            out.push_back(c);
            ++i;
            continue;
        }
        std::size_t run = i + 1;
        while (run < picture.size() && picture[run] == c) ++run;
        out += Expand(c, static_cast<int>(run - i));
        i = run;
    }
    return out;
}

std::string CDateTimeFormat::ShortDatePicture() {
    // Qt's picture language is the same for dates except for the designators: "AP"/"ap"
    // is the AM/PM text, 't' the time zone and 'z' milliseconds, which have no letter here.
    const QString qt = QLocale::system().dateFormat(QLocale::ShortFormat);
    const std::string in = qt.toStdString();
    std::string out;
    std::size_t i = 0;
    while (i < in.size()) {
        const char c = in[i];
        if (c == '\'') {
            const std::size_t end = in.find('\'', i + 1);
            const std::size_t stop = end == std::string::npos ? in.size() : end + 1;
            out.append(in, i, stop - i);
            i = stop;
            continue;
        }
        std::size_t run = i + 1;
        while (run < in.size() && in[run] == c) ++run;
        if (c == 'a' || c == 'A') {
            // "AP" and "ap" are one designator; a lone 'a' or 'A' also is one.
            run = i + 1;
            if (run < in.size() && (in[run] == 'P' || in[run] == 'p')) ++run;
            out += "tt";
        } else if (c != 't' && c != 'z') {
            out.append(in, i, run - i);
        }
        i = run;
    }
    return out;
}
