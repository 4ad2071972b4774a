#include "shell/DateTimeFormat.h"

#include <gtest/gtest.h>

namespace {

CDateTimeFormat::Names TestNames() {
    CDateTimeFormat::Names n;
    n.shortDay = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    n.longDay = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    n.shortMonth = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    n.longMonth = {"January", "February", "March",     "April",   "May",      "June",
                   "July",    "August",   "September", "October", "November", "December"};
    n.am = "AM";
    n.pm = "PM";
    return n;
}

// Wednesday 5 December 2007, 14:07:09.
CDateTimeFormat::DateTime Afternoon() {
    CDateTimeFormat::DateTime t;
    t.year = 2007;
    t.month = 12;
    t.day = 5;
    t.dayOfWeek = 3;
    t.hour = 14;
    t.minute = 7;
    t.second = 9;
    return t;
}

// Sunday 3 February 2008, 00:05:00.
CDateTimeFormat::DateTime Midnight() {
    CDateTimeFormat::DateTime t;
    t.year = 2008;
    t.month = 2;
    t.day = 3;
    t.dayOfWeek = 0;
    t.hour = 0;
    t.minute = 5;
    t.second = 0;
    return t;
}

struct Case {
    const char* picture;
    const char* afternoon;
    const char* midnight;
};

TEST(DateTimeFormat, EveryLetterAndCount) {
    const Case cases[] = {
        {"d", "5", "3"},
        {"dd", "05", "03"},
        {"ddd", "Wed", "Sun"},
        {"dddd", "Wednesday", "Sunday"},
        {"ddddd", "???", "???"},
        {"M", "12", "2"},
        {"MM", "12", "02"},
        {"MMM", "Dec", "Feb"},
        {"MMMM", "December", "February"},
        {"MMMMM", "???", "???"},
        {"y", "2007", "2008"},
        {"yy", "07", "08"},
        {"yyy", "???", "???"},
        {"yyyy", "2007", "2008"},
        {"yyyyy", "???", "???"},
        {"h", "2", "12"},
        {"hh", "02", "12"},
        {"hhh", "???", "???"},
        {"hhhh", "???", "???"},
        {"H", "14", "0"},
        {"HH", "14", "00"},
        {"HHH", "???", "???"},
        {"m", "7", "5"},
        {"mm", "07", "05"},
        {"mmm", "???", "???"},
        {"s", "9", "0"},
        {"ss", "09", "00"},
        {"ssss", "???", "???"},
        {"w", "49", "5"},
        {"ww", "49", "05"},
        {"www", "???", "???"},
        {"q", "4", "1"},
        {"qq", "???", "???"},
        {"t", "P", "A"},
        {"tt", "PM", "AM"},
        {"ttt", "???", "???"},
        {"g", "", ""},
        {"gggg", "", ""},
        {"ggggg", "???", "???"},
    };
    CDateTimeFormat f(TestNames());
    for (const Case& c : cases) {
        f.SetDateTime(Afternoon());
        EXPECT_EQ(f.Format(c.picture), c.afternoon) << c.picture;
        f.SetDateTime(Midnight());
        EXPECT_EQ(f.Format(c.picture), c.midnight) << c.picture;
    }
}

TEST(DateTimeFormat, PicturesWithSeparatorsQuotesAndUnknownLetters) {
    const std::pair<const char*, const char*> cases[] = {
        {"dd/MM/yyyy", "05/12/2007"},
        {"M/d/yy", "12/5/07"},
        {"dd.MM.yy", "05.12.07"},
        {"d MMM yyyy", "5 Dec 2007"},
        {"dddd, MMMM d, yyyy", "Wednesday, December 5, 2007"},
        {"h:mm:ss tt", "2:07:09 PM"},
        {"HH'h'mm", "14h07"},
        {"'day' d", "day 5"},
        {"'dd/MM'", "dd/MM"},
        {"d''M", "512"},
        {"'unterminated d", "unterminated d"},
        {"xyz", "x2007z"},
        {"ABC-d", "ABC-5"},
        {"dM", "512"},
        {"dddddddd", "???"},
        {"", ""},
    };
    CDateTimeFormat f(TestNames());
    f.SetDateTime(Afternoon());
    for (const auto& [picture, expected] : cases) EXPECT_EQ(f.Format(picture), expected) << picture;
}

TEST(DateTimeFormat, WeekOfYearCountsFromFirstJanuaryAndLeapDays) {
    CDateTimeFormat f(TestNames());
    CDateTimeFormat::DateTime t;
    const struct {
        int year, month, day, week;
    } cases[] = {{2007, 1, 1, 1}, {2007, 1, 7, 1}, {2007, 1, 8, 2},  {2007, 12, 31, 53},
                 {2008, 3, 1, 9}, {2007, 3, 1, 9}, {2008, 2, 29, 9}, {2008, 12, 31, 53}};
    for (const auto& c : cases) {
        t.year = c.year;
        t.month = c.month;
        t.day = c.day;
        f.SetDateTime(t);
        EXPECT_EQ(f.Format("w"), std::to_string(c.week))
            << c.year << "-" << c.month << "-" << c.day;
    }
}

TEST(DateTimeFormat, FirstCharacterOfAMultiByteDesignator) {
    CDateTimeFormat::Names n = TestNames();
    n.am = "\xe5\x8d\x88\xe5\x89\x8d";  // two CJK characters
    CDateTimeFormat f(n);
    f.SetDateTime(Midnight());
    EXPECT_EQ(f.Format("t"), "\xe5\x8d\x88");
    EXPECT_EQ(f.Format("tt"), n.am);
}

TEST(DateTimeFormat, SystemShortDatePictureUsesOnlyKnownLetters) {
    const std::string picture = CDateTimeFormat::ShortDatePicture();
    EXPECT_FALSE(picture.empty());
    CDateTimeFormat f;
    f.SetDateTime(Afternoon());
    const std::string text = f.Format(picture);
    EXPECT_NE(text.find("5"), std::string::npos) << picture << " -> " << text;
    EXPECT_EQ(text.find("???"), std::string::npos) << picture << " -> " << text;
}

TEST(DateTimeFormat, FromLocalTimeMatchesTheCalendar) {
    setenv("TZ", "UTC", 1);
    tzset();
    const auto t = CDateTimeFormat::DateTime::FromLocalTime(1196863629);  // 2007-12-05 14:07:09 UTC
    EXPECT_EQ(t.year, 2007);
    EXPECT_EQ(t.month, 12);
    EXPECT_EQ(t.day, 5);
    EXPECT_EQ(t.dayOfWeek, 3);
    EXPECT_EQ(t.hour, 14);
    EXPECT_EQ(t.minute, 7);
    EXPECT_EQ(t.second, 9);
}

}  // namespace
