#include "engine/beacon_tables.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "engine/cp1252.h"

namespace {

using List = std::vector<std::string>;
const float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST(BeaconTables, ListsAndTheirFallbacks) {
    EXPECT_EQ(kStationTable.size(), 351u + 1);
    EXPECT_EQ(kStationIdTable[495].ulStationId, 99999u);
    const List sweden = {"Bjur\xF6klubb", "G\xF6teborg",  "Hjortensudde",  "Hoburg",
                         "Holmsj\xF6",    "J\xE4rn\xE4s", "Kapellsk\xE4r", "Kullen",
                         "Njurunda",      "Nyn\xE4shamn", "Skutsk\xE4r",   "EndofList"};
    const List northAmerica = {"Bermuda", "Canada", "USA", "EndofList"};
    const struct {
        List (*get)(std::string_view);
        const char* name;
        List expected;
    } cases[] = {
        {GetCountryList, "Australia", {"Australia", "New Zealand", "EndofList"}},
        {GetCountryList, "Central America", {"Panama", "Puerto Rico", "EndofList"}},
        {GetCountryList, "User", {"EndofList"}},
        // Unknown names, wrong case and the end row fall back to North America.
        {GetCountryList, "africa", northAmerica},
        {GetCountryList, "Back", northAmerica},
        {GetCountryList, "Europe ", northAmerica},
        {GetCountryList, "", northAmerica},
        {GetStationList, "Panama", {"Miraflores", "Gatun", "EndofList"}},
        {GetStationList, "Sweden", sweden},
        // ... and stations to Sweden.
        {GetStationList, "bahrain", sweden},
        {GetStationList, "Back", sweden},
        {GetStationList, "", sweden},
    };
    for (const auto& c : cases) EXPECT_EQ(c.get(c.name), c.expected) << c.name;
    EXPECT_EQ(GetStationList("USA").size(), 85u + 1);
    EXPECT_EQ(GetStationList("Canada")[14], "Rivi\xE8re duLoupQC");
}

TEST(BeaconTables, StationFrequencyByName) {
    const struct {
        const char* name;
        float kHz;
    } cases[] = {
        {"Polson       MT", 287.0f},
        {"Dziwn\xF3w", 283.5f},
        {"St. Catherine\x92s", 307.5f},
        {"S\xE3o Tom\xE9", 300.0f},
        // Not names of the table.
        {"polson       MT", 0.0f},
        {"Polson MT", 0.0f},
        {"Polson       MT ", 0.0f},
        {"Back", 0.0f},
        {"", 0.0f},
        {"S\xC3\xA3o Tom\xC3\xA9", 0.0f},  // UTF-8 bytes are not the table's spelling
        {"St. Catherine's", 0.0f},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(LookupStationFreq(std::string_view(c.name)), c.kHz) << c.name;
        EXPECT_EQ(LookupStationFreq(Cp1252ToUtf16(c.name)), c.kHz) << c.name;
    }
    EXPECT_EQ(LookupStationFreq(std::u16string_view(u"Miller\u2019s Fer AL")), 320.0f);
    // Every row is found by its own name, in both encodings.
    for (std::size_t i = 0; i + 1 < kStationTable.size(); ++i) {
        const StationInfo& s = kStationTable[i];
        const float expected = static_cast<float>(s.ulFreq / 10.0);
        EXPECT_EQ(LookupStationFreq(std::string_view(s.szName)), expected) << s.szName;
        EXPECT_EQ(LookupStationFreq(Cp1252ToUtf16(s.szName)), expected) << s.szName;
    }
}

TEST(BeaconTables, StationNameByIdAndTunedFrequency) {
    const struct {
        int32_t id;
        float tunedKhz;
        const char* name;
    } cases[] = {
        {301, 309.0f, "Alert Bay     BC"},
        {631, 0.0f, "Tiandashan"},  // the first row with a repeated ID wins
        {99999, 0.0f, "EndOfTheList"},
        {99998, 0.0f, "Unknown"},
        {-1, 0.0f, "Unknown"},
        {std::numeric_limits<int32_t>::min(), 0.0f, "Unknown"},
        {4, kNaN, "Mackay       Qld"},
        // Shared IDs: the tuned frequency within 0.1 kHz picks the other station.
        {0, 314.0f, "C Schanck    Vic"},
        {0, 0.0f, "Unknown"},
        {2, 288.0f, "Portsmouth   NH"},
        {2, 320.09f, "Horn Is      Qld"},
        {2, 319.8f, "Bolivar"},
        {2, kNaN, "Bolivar"},
        {3, 288.05f, "Portsmouth   NH"},
        {3, 287.91f, "Portsmouth   NH"},
        {3, 288.2f, "Sydney       NSW"},
        {464, 307.0f, "Sables d'Olonne"},
        {464, 305.0f, "Les Baleines"},
        {464, 306.0f, "Rio Grande"},
        {680, 316.0f, "Kinkasan To"},
        {680, 0.0f, "St. Catherine\x92s"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LookupStationName(c.id, c.tunedKhz), c.name) << c.id << " at " << c.tunedKhz;
    EXPECT_EQ(kSharedStationIds.size(), 29u);
}

TEST(Cp1252, ConvertsEightBitLetters) {
    EXPECT_EQ(Cp1252ToUtf16("Miller\x92s"), u"Miller\u2019s");
    EXPECT_EQ(Cp1252ToUtf8("\x80"), "\xE2\x82\xAC");
    EXPECT_EQ(Cp1252ToUtf16(std::string_view("\x00\x7F\x81\x9F\xA0\xFF", 6)),
              std::u16string(u"\u0000\u007F\u0081\u0178\u00A0\u00FF", 6));
    EXPECT_EQ(Cp1252ToUtf8("\x81\xFF"), "\xC2\x81\xC3\xBF");
}

}  // namespace
