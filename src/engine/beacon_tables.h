#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Radio-beacon DGPS stations offered by the beacon screens. Names are Windows-1252 bytes as the
// receiver lists spell them: matching is byte-exact, and the runs of blanks that put state codes
// in a column are part of the name. Screens convert with Cp1252ToUtf16 (engine/cp1252.h).

struct RegionInfo {
    uint8_t ucRegionId;
    const char* szName;
};

struct CountryInfo {
    uint8_t ucCountryId;
    uint8_t ucRegionId;
    const char* szName;
};

// ucCountryNumber is the country's ID + 1.
struct StationInfo {
    uint8_t ucCountryNumber;
    const char* szName;
    uint32_t ulFreq;  // tenths of kHz
};

struct StationIdInfo {
    const char* szName;
    uint32_t ulStationId;
};

// Reference-station IDs used by more than one station are told apart by the tuned frequency.
struct SharedIdChoice {
    uint32_t ulFreq;  // tenths of kHz; 0 ends the choices
    const char* szName;
};

struct SharedStationId {
    uint32_t ulStationId;
    std::array<SharedIdChoice, 2> choices;
    const char* szOtherwise;
};

inline constexpr uint8_t kEndRegionId = 0xFF;
inline constexpr uint8_t kEndCountryRegion = 0xFF;
inline constexpr uint8_t kEndStationCountry = 0xFF;
inline constexpr uint32_t kEndStationId = 99999;
inline constexpr std::string_view kEndOfList = "EndofList";

// Each table ends in its end row.
extern const std::array<RegionInfo, 9> kRegionTable;
extern const std::array<CountryInfo, 42> kCountryTable;
extern const std::array<StationInfo, 352> kStationTable;
extern const std::array<StationIdInfo, 496> kStationIdTable;
extern const std::array<SharedStationId, 29> kSharedStationIds;

// Countries of the region in table order, then "EndofList". An unknown region name gives North
// America's countries.
std::vector<std::string> GetCountryList(std::string_view regionName);

// Stations of the country in table order, then "EndofList". An unknown country name gives
// Sweden's stations.
std::vector<std::string> GetStationList(std::string_view countryName);

// Frequency in kHz of the first station whose name matches exactly, else 0.0.
float LookupStationFreq(std::string_view stationName);
// The same for a name as the screens hold it; the table's names are converted before comparing.
float LookupStationFreq(std::u16string_view stationName);

// Name of the station that sends this reference-station ID, or "Unknown". fBeaconFreq (kHz) is
// the frequency the beacon receiver is tuned to; it decides between stations sharing an ID.
std::string LookupStationName(int32_t stationId, float fBeaconFreq);

// L-band correction beams. Every beam runs at 1200 bps.
inline constexpr int kLBandBeamRate = 1200;
// The frequency shared by the Americas and Asia-Pacific beams; the satellite's longitude
// tells them apart.
inline constexpr uint32_t kLBandAmericasOrAsiaKhz = 1535137;

// The beam the receiver is tuned to, by its exact frequency in kHz; "MSV-W" for a frequency
// that is no beam (also 0 before the receiver has reported one).
const char* LBandBeamName(uint32_t freqKhz, float geoLongitude);
// True when the frequency is one of the beams.
bool IsLBandBeamFreq(uint32_t freqKhz);

// The manual-tune frequencies in list order, with their texts in MHz.
struct LBandTuneFreq {
    uint32_t ulFreqKhz;
    const char* szMHz;
};
extern const std::array<LBandTuneFreq, 7> kLBandTuneFreqs;

// The continents of the tune-by-name list and their beams, in list order.
struct LBandContinent {
    const char* szName;
    std::vector<const char*> beams;
};
const std::vector<LBandContinent>& LBandContinents();
// The frequency of a beam by its name; 0 for a name that is no beam.
uint32_t LBandBeamFreq(std::string_view name);
