#include "engine/beacon_tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "engine/cp1252.h"

namespace {

using List = std::vector<std::string>;

TEST(BeaconTables, TableSizesAndEndRows) {
    EXPECT_EQ(kRegionTable.size(), 9u);
    EXPECT_EQ(kCountryTable.size(), 41u + 1);
    EXPECT_EQ(kStationTable.size(), 351u + 1);
    EXPECT_EQ(kStationIdTable.size(), 494u + 2);
    EXPECT_EQ(kSharedStationIds.size(), 29u);

    EXPECT_EQ(kRegionTable.back().ucRegionId, 0xFF);
    EXPECT_STREQ(kRegionTable.back().szName, "Back");
    EXPECT_EQ(kCountryTable.back().ucCountryId, 41);
    EXPECT_EQ(kCountryTable.back().ucRegionId, 0xFF);
    EXPECT_STREQ(kCountryTable.back().szName, "Back");
    EXPECT_EQ(kStationTable.back().ucCountryNumber, 0xFF);
    EXPECT_STREQ(kStationTable.back().szName, "Back");
    EXPECT_STREQ(kStationIdTable[494].szName, "Unknown Station");
    EXPECT_EQ(kStationIdTable[494].ulStationId, 0u);
    EXPECT_STREQ(kStationIdTable[495].szName, "EndOfTheList");
    EXPECT_EQ(kStationIdTable[495].ulStationId, 99999u);

    for (std::size_t i = 0; i + 1 < kCountryTable.size(); ++i)
        EXPECT_EQ(kCountryTable[i].ucCountryId, i);
    for (std::size_t i = 0; i + 1 < kStationTable.size(); ++i) {
        EXPECT_GE(kStationTable[i].ulFreq, 2835u) << kStationTable[i].szName;
        EXPECT_LE(kStationTable[i].ulFreq, 3250u) << kStationTable[i].szName;
        if (i > 0) {
            EXPECT_LE(kStationTable[i - 1].ucCountryNumber, kStationTable[i].ucCountryNumber);
        }
    }
}

TEST(BeaconTables, CountriesPerRegion) {
    const struct {
        const char* region;
        List countries;
    } cases[] = {
        {"Africa", {"Egypt", "South Africa"}},
        {"Asia",
         {"Bahrain", "China", "India", "Japan", "Korea", "Kuwait", "Malaysia", "Russia",
          "Saudi Arabia", "Singapore", "Taiwan(China)", "Thailand", "U.A.E."}},
        {"Australia", {"Australia", "New Zealand"}},
        {"Europe",
         {"Belgium", "Denmark", "Estonia", "Finland", "France", "Germany", "Holland", "Iceland",
          "Ireland", "Latvia", "Lithuania", "Norway", "Poland", "Portugal", "Spain", "Sweden",
          "UK"}},
        {"North America", {"Bermuda", "Canada", "USA"}},
        {"South America", {"Argentina", "Brazil"}},
        {"Central America", {"Panama", "Puerto Rico"}},
    };
    std::size_t total = 0;
    for (const auto& c : cases) {
        List expected = c.countries;
        expected.emplace_back("EndofList");
        EXPECT_EQ(GetCountryList(c.region), expected) << c.region;
        total += c.countries.size();
    }
    EXPECT_EQ(total, 41u);

    // No countries for "User"; unknown names, wrong case and the end row fall back to North
    // America.
    EXPECT_EQ(GetCountryList("User"), List{"EndofList"});
    const List northAmerica = {"Bermuda", "Canada", "USA", "EndofList"};
    for (const char* name : {"africa", "Back", "", "Europe ",
                             "North\xA0"
                             "America"})
        EXPECT_EQ(GetCountryList(name), northAmerica) << name;
}

TEST(BeaconTables, StationsPerCountry) {
    const struct {
        const char* country;
        std::size_t count;
    } counts[] = {
        {"Argentina", 2},     {"Australia", 16},   {"Bahrain", 1},   {"Belgium", 1},
        {"Bermuda", 1},       {"Brazil", 11},      {"Canada", 19},   {"China", 21},
        {"Denmark", 4},       {"Egypt", 6},        {"Estonia", 2},   {"Finland", 8},
        {"France", 9},        {"Germany", 3},      {"Holland", 3},   {"Iceland", 6},
        {"India", 10},        {"Ireland", 3},      {"Japan", 27},    {"Korea", 9},
        {"Kuwait", 1},        {"Latvia", 1},       {"Lithuania", 1}, {"Malaysia", 2},
        {"New Zealand", 1},   {"Norway", 12},      {"Panama", 2},    {"Poland", 2},
        {"Portugal", 2},      {"Puerto Rico", 1},  {"Russia", 27},   {"Saudi Arabia", 2},
        {"Singapore", 1},     {"South Africa", 4}, {"Spain", 18},    {"Sweden", 11},
        {"Taiwan(China)", 2}, {"Thailand", 1},     {"U.A.E.", 2},    {"UK", 11},
        {"USA", 85},
    };
    ASSERT_EQ(std::size(counts), 41u);
    std::size_t total = 0;
    for (const auto& c : counts) {
        const List list = GetStationList(c.country);
        ASSERT_FALSE(list.empty());
        EXPECT_EQ(list.back(), "EndofList");
        EXPECT_EQ(list.size() - 1, c.count) << c.country;
        total += list.size() - 1;
    }
    EXPECT_EQ(total, 351u);
}

TEST(BeaconTables, StationListContents) {
    const List sweden = {"Bjur\xF6klubb", "G\xF6teborg",  "Hjortensudde",  "Hoburg",
                         "Holmsj\xF6",    "J\xE4rn\xE4s", "Kapellsk\xE4r", "Kullen",
                         "Njurunda",      "Nyn\xE4shamn", "Skutsk\xE4r",   "EndofList"};
    const struct {
        const char* country;
        List stations;
    } cases[] = {
        {"Bahrain", {"Al Bander", "EndofList"}},
        {"Taiwan(China)", {"Kaoshung", "Keelung", "EndofList"}},
        {"Argentina", {"Bolivar", "San Carlos", "EndofList"}},
        {"Panama", {"Miraflores", "Gatun", "EndofList"}},
        {"Sweden", sweden},
        // Unknown, wrong case and the end row fall back to Sweden.
        {"Atlantis", sweden},
        {"bahrain", sweden},
        {"Back", sweden},
        {"", sweden},
    };
    for (const auto& c : cases) EXPECT_EQ(GetStationList(c.country), c.stations) << c.country;

    const List usa = GetStationList("USA");
    EXPECT_EQ(usa.front(), "Acushnet     MA");
    EXPECT_EQ(usa[usa.size() - 2], "Youngstown   NY");
    const List canada = GetStationList("Canada");
    EXPECT_EQ(canada[7], "Hartleen PointNS");
    EXPECT_EQ(canada[14], "Rivi\xE8re duLoupQC");
}

TEST(BeaconTables, StationFrequencyByName) {
    const struct {
        const char* name;
        float kHz;
    } cases[] = {
        {"Polson       MT", 287.0f},
        {"Bolivar", 317.5f},
        // One in every region, the band's ends, and names with blanks or 8-bit letters.
        {"Quseir", 314.5f},
        {"Cape Columbine", 310.0f},
        {"Kau Yi Chau (HK)", 289.0f},
        {"Tysp.Navoloksky", 315.0f},
        {"Horn Is      Qld", 320.0f},
        {"Whangaporoa", 294.0f},
        {"Dziwn\xF3w", 283.5f},
        {"Raufarh\xF6"
         "fn",
         289.5f},
        {"Skar\xF0sfjara", 287.0f},
        {"St. Catherine\x92s", 307.5f},
        {"Hartleen PointNS", 298.0f},
        {"Rivi\xE8re duLoupQC", 300.0f},
        {"Miller\x92s Fer AL", 320.0f},
        {"Medora       ND", 325.0f},
        {"S\xE3o Tom\xE9", 300.0f},
        {"Gatun", 307.0f},
        {"Isabella", 295.0f},
        // Not names of the table.
        {"polson       MT", 0.0f},
        {"Polson MT", 0.0f},
        {"Polson       MT ", 0.0f},
        {"Polson", 0.0f},
        {"Back", 0.0f},
        {"", 0.0f},
        {"Sumburgh Head", 0.0f},
        {"S\xC3\xA3o Tom\xC3\xA9", 0.0f},  // UTF-8 bytes are not the table's spelling
        {"St. Catherine's", 0.0f},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LookupStationFreq(std::string_view(c.name)), c.kHz) << c.name;
        EXPECT_EQ(LookupStationFreq(Cp1252ToUtf16(c.name)), c.kHz) << c.name;
    }
    EXPECT_EQ(LookupStationFreq(std::u16string_view(u"S\u00e3o Tom\u00e9")), 300.0f);
    EXPECT_EQ(LookupStationFreq(std::u16string_view(u"St. Catherine\u2019s")), 307.5f);
    EXPECT_EQ(LookupStationFreq(std::u16string_view(u"Miller\u2019s Fer AL")), 320.0f);
}

TEST(BeaconTables, EveryStationFoundByItsName) {
    for (std::size_t i = 0; i + 1 < kStationTable.size(); ++i) {
        const StationInfo& s = kStationTable[i];
        const float expected = static_cast<float>(s.ulFreq / 10.0);
        EXPECT_EQ(LookupStationFreq(std::string_view(s.szName)), expected) << s.szName;
        EXPECT_EQ(LookupStationFreq(Cp1252ToUtf16(s.szName)), expected) << s.szName;
    }
}

TEST(BeaconTables, StationNameById) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const struct {
        int32_t id;
        float tunedKhz;
        const char* name;
    } cases[] = {
        {300, 0.0f, "Alert Bay     BC"},
        {301, 309.0f, "Alert Bay     BC"},
        {318, 0.0f, "Rivi\xE8re duLoupQC"},
        {161, 0.0f, "Miller\x92s Fer AL"},
        {1009, 0.0f, "C2CEN        VA"},
        {631, 0.0f, "Tiandashan"},  // the first row with a repeated ID wins
        {820, 301.0f, "Mohrdorf (Wustrow)"},
        {962, 0.0f, "Gizan"},
        {245, 0.0f, "Tampa        FL"},
        {684, 0.0f, "Butt of Lewis"},
        {685, 0.0f, "Sumburgh Head"},
        {504, 0.0f,
         "C. de Pe\xF1"
         "as"},
        {99999, 0.0f, "EndOfTheList"},
        {99998, 0.0f, "Unknown"},
        {1023, 0.0f, "Unknown"},
        {-1, 0.0f, "Unknown"},
        {std::numeric_limits<int32_t>::min(), 0.0f, "Unknown"},
        {4, nan, "Mackay       Qld"},
    };
    for (const auto& c : cases) EXPECT_EQ(LookupStationName(c.id, c.tunedKhz), c.name) << c.id;
}

TEST(BeaconTables, SharedIdsResolvedByTunedFrequency) {
    struct Rule {
        int32_t id;
        std::vector<std::pair<float, const char*>> within;
        const char* otherwise;
    };
    const Rule rules[] = {
        {0, {{314.0f, "C Schanck    Vic"}}, "Unknown"},
        {1, {{297.5f, "San Carlos"}}, "Karratha      WA"},
        {2, {{288.0f, "Portsmouth   NH"}, {320.0f, "Horn Is      Qld"}}, "Bolivar"},
        {3, {{288.0f, "Portsmouth   NH"}}, "Sydney       NSW"},
        {6, {{293.0f, "Moriches     NY"}}, "Gladstone    Qld"},
        {7, {{293.0f, "Moriches     NY"}}, "Brisbane     Qld"},
        {8, {{286.0f, "Sandy Hook   NJ"}}, "Ingham       Qld"},
        {9, {{286.0f, "Sandy Hook   NJ"}}, "Weipa        Qld"},
        {12, {{289.0f, "Driver       VA"}}, "Perth         WA"},
        {13, {{289.0f, "Driver       VA"}}, "Mallacoota   Vic"},
        {460, {{300.0f, "S\xE3o Marcos"}}, "La Hague"},
        {462, {{310.5f, "Saint Mathieu"}}, "Moela"},
        {463, {{309.0f, "Ile de Groix"}}, "Canivete"},
        {464, {{305.0f, "Les Baleines"}, {307.0f, "Sables d'Olonne"}}, "Rio Grande"},
        {468, {{304.5f, "Cap Bear"}}, "Aracaju"},
        {602, {{301.5f, "Dasanshan"}}, "Puumala"},
        {603, {{301.5f, "Dasanshan"}}, "Outokumpu"},
        {604, {{295.0f, "Laotieshan"}}, "Turku"},
        {605, {{295.0f, "Laotieshan"}}, "Marjaniemi"},
        {606, {{287.5f, "Qinhuangdao"}}, "Klamila"},
        {608, {{310.5f, "Beitang"}}, "Kokkola"},
        {680, {{316.0f, "Kinkasan To"}}, "St. Catherine\x92s"},
        {681, {{316.0f, "Kinkasan To"}}, "Lizard"},
        {682, {{295.0f, "Inubo Saki"}}, "Point Lynas"},
        {686, {{309.0f, "Ken Saki"}}, "Girdle Ness"},
        {687, {{309.0f, "Ken Saki"}}, "Flamborough Hd."},
        {688, {{302.0f, "Hachijo Shima"}}, "North Foreland"},
        {689, {{302.0f, "Hachijo Shima"}}, "Nash Point"},
        {693, {{288.0f, "Daio Saki"}}, "Earls Hill"},
    };
    ASSERT_EQ(std::size(rules), kSharedStationIds.size());
    for (const Rule& r : rules) {
        for (const auto& [kHz, name] : r.within) {
            EXPECT_EQ(LookupStationName(r.id, kHz), name) << r.id << " at " << kHz;
            EXPECT_EQ(LookupStationName(r.id, kHz + 0.09f), name) << r.id << " at " << kHz;
            EXPECT_EQ(LookupStationName(r.id, kHz - 0.09f), name) << r.id << " at " << kHz;
            EXPECT_EQ(LookupStationName(r.id, kHz + 0.2f), r.otherwise) << r.id << " at " << kHz;
            EXPECT_EQ(LookupStationName(r.id, kHz - 0.2f), r.otherwise) << r.id << " at " << kHz;
        }
        EXPECT_EQ(LookupStationName(r.id, 0.0f), r.otherwise) << r.id;
        EXPECT_EQ(LookupStationName(r.id, std::numeric_limits<float>::quiet_NaN()), r.otherwise)
            << r.id;
    }
    EXPECT_EQ(LookupStationName(3, 288.05f), "Portsmouth   NH");
    EXPECT_EQ(LookupStationName(3, 288.2f), "Sydney       NSW");
}

TEST(Cp1252, ConvertsEightBitLetters) {
    EXPECT_EQ(Cp1252ToUtf16("Miller\x92s"), u"Miller\u2019s");
    EXPECT_EQ(Cp1252ToUtf8("Miller\x92s"), "Miller\xE2\x80\x99s");
    EXPECT_EQ(Cp1252ToUtf8("Bl\xE5vands"), "Bl\xC3\xA5vands");
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(Cp1252ToUtf16(std::string_view("\x00\x7F\x81\x9F\xA0\xFF", 6)),
              std::u16string(u"\u0000\u007F\u0081\u0178\u00A0\u00FF", 6));
    EXPECT_EQ(Cp1252ToUtf8("\x81\xFF"), "\xC2\x81\xC3\xBF");
    EXPECT_EQ(Cp1252ToUtf8(""), "");
}

}  // namespace
