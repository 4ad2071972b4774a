// Read-out texts: coordinates, dates by picture, file sizes, default file names and listings.

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <limits>
#include <tuple>
#include <utility>

#include "shell/CoordFormat.h"
#include "shell/DateTimeFormat.h"
#include "shell/FileListing.h"
#include "support/decimal_comma_locale.h"
#include "support/temp_dir.h"

namespace {

TEST(CoordFormat, ThreeFormatsSignsAndCarries) {
    const struct {
        CoordValue v;
        const char *dmm, *dd, *dms;
    } cases[] = {
        // Letters decide the sign while the degrees are unsigned (GGA).
        {{45, 30.5, 'S', false}, " -45 30.500000", " -45.5083333", " -45 30 30.0000"},
        {{45, 30.5, 'N', false}, "  45 30.500000", "  45.5083333", "  45 30 30.0000"},
        {{11, 31.0, 'E', false}, "  11 31.000000", "  11.5166667", "  11 31 00.0000"},
        {{114, 3.456, 'W', false}, "-114 03.456000", "-114.0576000", "-114 03 27.3600"},
        {{180, 0.0, 'W', false}, "-180 00.000000", "-180.0000000", "-180 00 00.0000"},
        // Below one degree the sign still shows.
        {{0, 30.0, 'S', false}, "  -0 30.000000", "  -0.5000000", "  -0 30 00.0000"},
        {{0, 30.0, 'W', true}, "  -0 30.000000", "  -0.5000000", "  -0 30 00.0000"},
        {{0, 30.0, 'E', true}, "   0 30.000000", "   0.5000000", "   0 30 00.0000"},
        // Nothing received yet, or a south too small to print: no sign.
        {{0, 0.0, 0, false}, "   0 00.000000", "   0.0000000", "   0 00 00.0000"},
        {{0, 0.0000001, 'S', false}, "   0 00.000000", "   0.0000000", "   0 00 00.0000"},
        // Signed degrees (binary message 1) ignore a letter that disagrees.
        {{-33, 30.0, 'N', true}, " -33 30.000000", " -33.5000000", " -33 30 00.0000"},
        {{33, 30.0, 'S', true}, "  33 30.000000", "  33.5000000", "  33 30 00.0000"},
        // Rounding to the printed precision carries into the degrees.
        {{12, 59.9999999, 'N', false}, "  13 00.000000", "  13.0000000", "  13 00 00.0000"},
        {{0, 59.9999999, 'S', false}, "  -1 00.000000", "  -1.0000000", "  -1 00 00.0000"},
        {{10, 59.99999999, 'N', false}, "  11 00.000000", "  11.0000000", "  11 00 00.0000"},
        {{10, 29.9999999, 'N', false}, "  10 30.000000", "  10.5000000", "  10 30 00.0000"},
        {{10, 29.9999983, 'N', false}, "  10 29.999998", "  10.5000000", "  10 29 59.9999"},
        // 75 minutes are shown as they came, not turned into another position.
        {{48, 75.25, 'N', false}, "  48 75.250000", "  49.2541667", "  48 75 15.0000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dmm);
        EXPECT_EQ(FormatCoordinate(COORD_DMM, c.v), c.dmm);
        EXPECT_EQ(FormatCoordinate(COORD_DD, c.v), c.dd);
        EXPECT_EQ(FormatCoordinate(COORD_DMS, c.v), c.dms);
    }
    const CoordValue nan{48, std::numeric_limits<double>::quiet_NaN(), 'N', false};
    EXPECT_EQ(FormatCoordinate(COORD_DMM, nan), "  48 00.000000");
    EXPECT_EQ(FormatCoordinate(7, cases[0].v), " -45.5083333");  // unknown: decimal degrees
    USE_DECIMAL_COMMA_LOCALE();
    EXPECT_EQ(FormatCoordinate(COORD_DMM, cases[0].v) + FormatCoordinate(COORD_DD, cases[0].v),
              " -45 30.500000 -45.5083333");
    testsupport::RestoreCLocale();
}

CDateTimeFormat::Names EnglishNames() {
    CDateTimeFormat::Names n;
    n.shortDay = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    n.longDay = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    n.shortMonth = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                    "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    n.longMonth = {"January", "February", "March",     "April",   "May",      "June",
                   "July",    "August",   "September", "October", "November", "December"};
    n.am = "AM", n.pm = "PM";
    return n;
}

TEST(DateTimeFormat, LettersCountsAndQuotes) {
    // Wednesday 5 December 2007 14:07:09 and Sunday 3 February 2008 00:05:00.
    const CDateTimeFormat::DateTime afternoon{2007, 12, 5, 3, 14, 7, 9};
    const CDateTimeFormat::DateTime midnight{2008, 2, 3, 0, 0, 5, 0};
    // clang-format off
    const struct {
        const char *picture, *afternoon, *midnight;
    } letters[] = {
        {"d", "5", "3"}, {"dd", "05", "03"}, {"ddd", "Wed", "Sun"},
        {"dddd", "Wednesday", "Sunday"}, {"ddddd", "???", "???"}, {"M", "12", "2"},
        {"MM", "12", "02"}, {"MMM", "Dec", "Feb"}, {"MMMM", "December", "February"},
        {"MMMMM", "???", "???"}, {"y", "2007", "2008"}, {"yy", "07", "08"}, {"yyy", "???", "???"},
        {"yyyy", "2007", "2008"}, {"yyyyy", "???", "???"}, {"h", "2", "12"}, {"hh", "02", "12"},
        {"hhh", "???", "???"}, {"H", "14", "0"}, {"HH", "14", "00"}, {"HHH", "???", "???"},
        {"m", "7", "5"}, {"mm", "07", "05"}, {"mmm", "???", "???"}, {"s", "9", "0"},
        {"ss", "09", "00"}, {"ssss", "???", "???"}, {"w", "49", "5"}, {"ww", "49", "05"},
        {"www", "???", "???"}, {"q", "4", "1"}, {"qq", "???", "???"}, {"t", "P", "A"},
        {"tt", "PM", "AM"}, {"ttt", "???", "???"}, {"g", "", ""}, {"gggg", "", ""},
        {"ggggg", "???", "???"}, {"dM", "512", "32"}, {"", "", ""},
        {"dddd, MMMM d, yyyy", "Wednesday, December 5, 2007", "Sunday, February 3, 2008"}, {"h:mm:ss tt", "2:07:09 PM", "12:05:00 AM"}, {"HH'h'mm", "14h07", "00h05"},
        {"'dd/MM'", "dd/MM", "dd/MM"}, {"d''M", "512", "32"}, {"xyz", "x2007z", "x2008z"},
        {"'unterminated d", "unterminated d", "unterminated d"}};
    // clang-format on
    CDateTimeFormat f(EnglishNames());
    for (const auto& c : letters) {
        f.SetDateTime(afternoon);
        EXPECT_EQ(f.Format(c.picture), c.afternoon) << c.picture;
        f.SetDateTime(midnight);
        EXPECT_EQ(f.Format(c.picture), c.midnight) << c.picture;
    }
    // Weeks count from 1 January; a leap day moves the later ones.
    std::string weeks;
    for (auto [y, m, d] : {std::tuple{2007, 1, 1},
                           {2007, 1, 7},
                           {2007, 1, 8},
                           {2007, 12, 31},
                           {2008, 3, 1},
                           {2007, 3, 1},
                           {2008, 2, 29},
                           {2008, 12, 31}}) {
        f.SetDateTime({y, m, d, 0, 0, 0, 0});
        weeks += f.Format("w") + "|";
    }
    EXPECT_EQ(weeks, "1|1|2|53|9|9|9|53|");
    // "t" takes the first character of a designator, not its first byte.
    CDateTimeFormat::Names cjk = EnglishNames();
    cjk.am = "\xe5\x8d\x88\xe5\x89\x8d";
    CDateTimeFormat g(cjk);
    g.SetDateTime(midnight);
    EXPECT_EQ(g.Format("t"), "\xe5\x8d\x88");
}

// "w" counts whole weeks from 1 January, whatever day of the week the year starts on.
TEST(DateTimeFormat, WeeksCountFromTheFirstOfJanuary) {
    // Date with its day of the week (0 Sunday), "w", "ww".
    // clang-format off
    const struct { CDateTimeFormat::DateTime date; const char *w, *ww; } cases[] = {
        {{2008, 2, 4, 1, 9, 0, 0}, "5", "05"}, {{2008, 2, 5, 2, 9, 0, 0}, "6", "06"},
        {{2008, 1, 1, 2, 0, 0, 0}, "1", "01"}, {{2008, 1, 6, 0, 0, 0, 0}, "1", "01"},
        {{2008, 1, 7, 1, 23, 59, 59}, "1", "01"}, {{2008, 1, 8, 2, 0, 0, 0}, "2", "02"},
        {{2010, 1, 3, 0, 0, 0, 0}, "1", "01"}, {{2011, 1, 1, 6, 0, 0, 0}, "1", "01"},
        {{2011, 1, 2, 0, 0, 0, 0}, "1", "01"}, {{2009, 12, 31, 4, 0, 0, 0}, "53", "53"},
        {{2008, 12, 30, 2, 0, 0, 0}, "53", "53"}, {{2008, 12, 29, 1, 0, 0, 0}, "52", "52"}};
    // clang-format on
    CDateTimeFormat f(EnglishNames());
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.date.year << "-" << c.date.month << "-" << c.date.day);
        f.SetDateTime(c.date);
        EXPECT_EQ(f.Format("w|ww"), std::string(c.w) + "|" + c.ww);
    }
}

TEST(FileListing, SizesDefaultNamesAndFolders) {
    // Kibibytes only above 1024 bytes, mebibytes only above 1048576, both rounded down.
    const std::pair<std::uint64_t, const char*> sizes[] = {
        {0, "0"},
        {1024, "1024"},
        {1025, "1K"},
        {2047, "1K"},
        {1048576, "1024K"},
        {1048577, "1M"},
        {5ull * 1048576 - 1, "4M"},
        {4294967296ull, "4096M"},
        {5ull * 1024 * 1024 * 1024 + 12345, "5120M"},
        {0xFFFFFFFFFFFFFFFFull, "17592186044415M"},
    };
    for (const auto& [size, text] : sizes) EXPECT_EQ(filebrowser::SizeText(size), text) << size;
    testsupport::TempDir dir("tessaray-listing-");
    const std::string f = dir.folder();
    std::string exts;
    for (int type = -1; type <= 8; ++type)
        exts += filebrowser::DefaultFileName(f, type, 2007, 12, 5).substr(9) + "|";
    EXPECT_EQ(exts, "txt|txt|txt|bin|bin|txt|txt|rcf|rcf|txt|");
    // Taken numbers are skipped (a folder of that name too); other extensions do not count.
    dir.Touch("D0712051.txt");
    std::filesystem::create_directory(f + "D0712052.txt");
    for (int n = 3; n <= 11; ++n) dir.Touch("D071205" + std::to_string(n) + ".txt");
    EXPECT_EQ(filebrowser::DefaultFileName(f, 1, 2007, 12, 5), "D07120512.txt");
    EXPECT_EQ(filebrowser::DefaultFileName(f, 2, 2007, 12, 5), "D0712051.bin");
    testsupport::TempDir list("tessaray-listing-");
    list.Touch("b.rcf", 1025);
    for (const char* name : {"A.RCF", ".hidden.rcf", "notes.txt"}) list.Touch(name);
    std::filesystem::create_directory(list / "sub.rcf");
    std::filesystem::create_symlink(list / "nowhere", list / "dangling.rcf");
    const auto rcf = filebrowser::ListFolder(list.folder(), "*.rcf");
    ASSERT_TRUE(rcf.ok());
    std::vector<std::string> names;
    for (const auto& e : rcf.entries) names.push_back(e.name);
    EXPECT_EQ(names, (std::vector<std::string>{".hidden.rcf", "A.RCF", "b.rcf", "dangling.rcf",
                                               "sub.rcf"}));
    EXPECT_EQ(rcf.entries[2].size, 1025u);
    EXPECT_TRUE(!rcf.entries[3].directory && rcf.entries[4].directory);
    EXPECT_EQ(filebrowser::ListFolder(list.folder(), "*").entries.size(), 6u);
    EXPECT_EQ(filebrowser::FolderPath("") + filebrowser::FolderPath("/home/u") +
                  filebrowser::FolderPath("/home/u/"),
              "//home/u//home/u/");
}

}  // namespace
