#pragma once

#include <array>
#include <ctime>
#include <string>
#include <string_view>

// Formats a date and time with a Windows-style picture ("dd/MM/yyyy", "h:mm tt"), the
// language of the short-date setting the file list shows its dates in.
class CDateTimeFormat {
public:
    // The calendar fields of the time to format, as the system's clock hands them out.
    struct DateTime {
        int year = 1970;
        int month = 1;      // 1..12
        int day = 1;        // 1..31
        int dayOfWeek = 4;  // 0 Sunday .. 6 Saturday
        int hour = 0;
        int minute = 0;
        int second = 0;
        static DateTime FromLocalTime(std::time_t t);
    };

    // Day and month names and the AM/PM designators, UTF-8.
    struct Names {
        std::array<std::string, 7> shortDay;  // Sunday first
        std::array<std::string, 7> longDay;
        std::array<std::string, 12> shortMonth;  // January first
        std::array<std::string, 12> longMonth;
        std::string am;
        std::string pm;
        static Names FromSystem();
    };

    CDateTimeFormat();  // names of the system locale
    explicit CDateTimeFormat(Names names);

    void SetDateTime(const DateTime& time) { time_ = time; }
    std::string Format(std::string_view picture) const;

    // The user's short-date picture in the letters above.
    static std::string ShortDatePicture();

private:
    std::string Expand(char letter, int count) const;

    Names names_;
    DateTime time_;
};
