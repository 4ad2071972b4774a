#pragma once
// Receiver settings chosen by the user: message rates of one receiver port, binary-message
// rates and the wizard record with baud rates, masks, tuning and reference position.
// Layouts are fixed: the profile archive and the ".rcf" files depend on them.

#include <array>
#include <cstdint>
#include <string>

class CfgIo;
class ParseKeysRead;
namespace platform {
class ByteReader;
class ByteWriter;
}  // namespace platform

// An output rate, sent as "0", "0.2", "1", "5", "10" or "20".
enum eRateCode : int32_t {
    RATE_OFF = 0,
    RATE_5S = 1,
    RATE_1HZ = 2,
    RATE_5HZ = 3,
    RATE_10HZ = 4,
    RATE_20HZ = 5,
};

// Which receiver port a command addresses: THIS carries no port word, OTHER ",OTHER".
enum ePortSel : int32_t {
    PORT_THIS = 0,
    PORT_OTHER = 1,
};

enum eDfxPort : int32_t {
    DFX_NONE = 0,
    DFX_PORTA = 1,
    DFX_PORTB = 2,
    DFX_PORTC = 3,
};

enum eBeaconBitRate : int32_t {
    BEACON_RATE_AUTO = 0,
    BEACON_RATE_100 = 1,
    BEACON_RATE_200 = 2,
};

// The baud rates a receiver port is set to.
inline constexpr std::array<int32_t, 6> kOfferedBauds{4800, 9600, 19200, 38400, 57600, 115200};
bool IsOfferedBaud(int32_t baud);
// The highest L-band frequency a ".rcf" file carries: it is written as a signed "%ld".
inline constexpr uint32_t kMaxFreqKhz = 2147483647u;
// Whether the reference command (and so a ".rcf" file) carries a height, in metres.
bool IsReferenceHeight(double metres);

struct PortConfig {
    int32_t eGGA;
    int32_t eGLL;
    int32_t eGSA;
    int32_t eGST;
    int32_t eGSV;
    int32_t eRMC;
    int32_t eRRE;
    int32_t eVTG;
    int32_t eZDA;
    int32_t eBIN95;
    int32_t eBIN96;
    int32_t bRTCM;  // 0/1: BEAC and RTCM correction output
    int32_t eHEHDT;
    int32_t eHEROT;
    int32_t eHPR;
    // Spare words; only the receiver's reported configuration (RxPortConfig) uses them:
    // the other port's eHEHDT, eHEROT, eHPR, then its eGGA .. eZDA, eBIN95, eBIN96, then one
    // unused word.
    int32_t iSpare[15];
    double dCurRefLat;  // decimal degrees, as the receiver last reported its t-Span reference
    double dCurRefLon;
    double dCurRefAlt;  // metres
    int32_t eCurDfxPort;
    uint32_t ulLastWord;  // RxPortConfig's lock word; kept by the profile archive

    void Init();
    void SaveText(CfgIo& io) const;
    // Notes the keys met in *read under the section's name (when given).
    void LoadText(CfgIo& io, ParseKeysRead* read = nullptr, const char* section = "");
    // The first of the values a ".rcf" file set (as *read tells) that did not read as a number
    // or lies outside what its field holds, as
    // "eGGA=9 in [ThisPortConfig] is not a rate code (0 to 5)"; "" when there is none.
    std::string TextFault(const char* section, const ParseKeysRead& read) const;
    // Profile archive: the fifteen rate words (bRTCM after eHPR), then the last word.
    void SaveArchive(platform::ByteWriter& w) const;
    void LoadArchive(platform::ByteReader& r);
    void Send(int32_t ePort) const;
    void SendChanged(const PortConfig& newConfig, int32_t ePort) const;
};

// Index names of the spare words of RxPortConfig.
enum RxPortSpare : int {
    RXSPARE_OTHER_HEHDT = 0,
    RXSPARE_OTHER_HEROT = 1,
    RXSPARE_OTHER_HPR = 2,
    RXSPARE_OTHER_GGA = 3,  // then GLL, GSA, GST, GSV, RMC, RRE, VTG, ZDA, BIN95, BIN96
    RXSPARE_UNUSED = 14,
};

struct BINLogRateInfo {
    int32_t eBIN1;
    int32_t eBIN2;
    int32_t eBIN80;
    int32_t eBIN95;
    int32_t eBIN96;
    int32_t eBIN97;
    int32_t eBIN98;
    int32_t eBIN99;
    int32_t eD1;  // L-band demodulator sentence "D1"
    int32_t iSpare;

    void Init();
    void SaveText(CfgIo& io) const;
    void LoadText(CfgIo& io, ParseKeysRead* read = nullptr);
    std::string TextFault(const ParseKeysRead& read) const;
    // Profile archive: the nine rate words.
    void SaveArchive(platform::ByteWriter& w) const;
    void LoadArchive(platform::ByteReader& r);
    void Send(int32_t ePort) const;
};

struct WizardInfo {
    int32_t iNMEABaudRate;
    int32_t iRTCMBaudRate;
    int32_t iElevation;  // degrees
    int32_t iMaxAge;     // seconds
    uint32_t ulFreqKhz;  // L-band frequency
    uint32_t ulSpare1;
    int32_t iSymbolRate;  // L-band symbol rate
    float fFreq;          // beacon frequency, kHz
    int32_t iBitRate;     // eBeaconBitRate
    int32_t iStationId;   // reference station of the tuned beacon
    double dRefLat;       // degrees
    double dRefLon;
    double dRefAlt;    // metres
    int32_t eDfxPort;  // eDfxPort
    uint32_t ulSpare2;
    PortConfig ThisPortConfig;
    PortConfig OtherPortConfig;

    void Init();
    void SaveText(CfgIo& io) const;
    void LoadText(CfgIo& io, ParseKeysRead* read = nullptr);
    // Its own values, then those of both port sections.
    std::string TextFault(const ParseKeysRead& read) const;
    void SendPorts() const;
};
