#pragma once
// The receiver-state object: every value decoded from the receiver, every setting the user
// chooses and the one-hour histories live in one record, guarded by its lock words.

#include <cstddef>
#include <cstdint>
#include <functional>

#include "engine/appstate.h"
#include "engine/binaryinfo.h"
#include "engine/wizardinfo.h"

class CfgIo;
namespace platform {
class ByteReader;
class ByteWriter;
}  // namespace platform

// The differential source.
enum eCorrSource : int32_t {
    CORR_NONE = 0,
    CORR_BEACON = 1,
    CORR_LBND = 2,
    CORR_SBAS = 3,
    CORR_EXTERNAL = 4,
    CORR_RTK = 5,
    CORR_XREF = 6,
    CORR_TSPAN_BASE = 7,
    CORR_TSPAN_ROVER = 8,
    CORR_SUBSEA7 = 9,
};

enum eOptionBit : uint32_t {
    OPTION_20HZ = 0x1,
    OPTION_TSPAN = 0x4,
};

inline constexpr int kHistorySize = 3600;
inline constexpr int kBerNoValue = 500;
inline constexpr size_t kSetupCrcBytes = 116;

// The largest heading and pitch/roll biases the heading setup takes, degrees either way.
inline constexpr double kMaxHeadingBias = 180.0;
inline constexpr double kMaxPitchRollBias = 15.0;

struct NavInfo {
    // UTC date and time
    int32_t iYear, iMonth, iDay, iHour, iMinute;
    float fSecond;
    int32_t iSecond;
    // local date and time
    int32_t iLocalYear, iLocalMonth, iLocalDay, iLocalHour, iLocalMinute;
    float fLocalSecond;
    int32_t iLocalSecond;
    char cLatDir;
    int32_t iLatDeg;
    float fLatMin;
    double dLatMin;
    char cLonDir;
    int32_t iLonDeg;
    float fLonMin;
    double dLonMin;
    float fSpeedKmh;
    float fCourse;
    float fAltitude;
    float fDiffAge;
    float fHDOP;
    int32_t iSatsUsed;
    int32_t iFixQuality;
    float fGSTRms, fGSTSemiMajor, fGSTSemiMinor, fGSTOrient, fGSTLatErr, fGSTLonErr, fGSTAltErr;
    uint16_t usGPSWeek;
    double dTimeOfWeek;
    uint16_t usNavMode;
    // heading part
    int32_t bRollOutput;
    float fHeading, fROT, fPitch, fRoll;
    int32_t bTiltAid, bGyroAid, bLevel, bNegTilt, bFLIPBRD;
    float fHDGTau, fHDGRateTau, fCOGTau, fSPDTau, fHBias, fPRBias, fManSep, fCurSep;
    uint32_t ulNavLock;

    void Init();
    void SaveText(CfgIo& io) const;
    void LoadText(CfgIo& io, ParseKeysRead* read = nullptr);
    std::string TextFault(const ParseKeysRead& read) const;
    // Takes the values the ".rcf" file keeps, and nothing else.
    void CopyTextValues(const NavInfo& from);
    void SendHeadingSettings() const;
};

struct BeaconInfo {
    float fBeaconFreq;  // kHz, tuned frequency
    char cFreqMode;     // 'M' manual, else automatic
    int32_t iBeaconBitRate;
    char cRateMode;  // 'M' manual, else automatic
    int32_t iSignalStrength;
    int32_t iSNR;  // dB
    int32_t iMTP;
    int32_t iQ;
    int32_t iStationId;
    int32_t iHealth;
    char szBeaconFirmware[21];
    char szBeaconVersion[23];
    uint32_t ulBeaconLock;
};

struct SatChannelInfo {
    int32_t iPRN;
    int32_t iElev;
    int32_t iAzim;
    int32_t iSNR;
};

inline constexpr int kSatChannels = 12;

struct SatViewInfo {
    int32_t iWord1;
    int32_t iWord2;
    int32_t iSatsInView;
    SatChannelInfo Channel[kSatChannels];
    uint32_t ulSatViewLock;
};

// One "$>JGEO" line's satellite.
struct GeoSatellite {
    uint32_t ulFreqKhz;
    int32_t iId;
    float fAzimuth, fElevation, fLongitude;  // degrees
};

struct LBandInfo {
    uint32_t ulGeoFreqKhz;
    int32_t iGeoId;
    float fGeoAzimuth, fGeoElevation, fGeoLongitude;  // degrees
    int32_t iLBandBer;                                // 0..500, 500 no value
    uint32_t bFreqAuto;
    uint32_t wLBandStatus;
    uint32_t ulSubscriptionCountdown;  // seconds
    char szSubscriptionBegin[20];
    char szSubscriptionExpiry[20];
    int32_t lSerialNumber;
    uint32_t ulRD1Status;  // satellite counts in 4-bit groups
    char szAppFirmware[20];
    char szDspFirmware[20];
    char szApp1Firmware[20];
    char szApp2Firmware[20];
    // The two tracked SBAS satellites.
    float fSBASAzimuth1, fSBASAzimuth2;
    float fSBASElevation1, fSBASElevation2;
    float fSBASLongitude1, fSBASLongitude2;
    int32_t iSBASBer1, iSBASBer2;
    int32_t iSBASPRN1, iSBASPRN2;
    // The last line of an L-band satellite: the Geo fields take every line, and the receiver
    // lists its SBAS satellites too, which are no beam.
    GeoSatellite LBandBeam;
    uint32_t ulLBandLock;

    void InitSBASChannels();
};

struct CommSettings {
    int32_t iChecksumErrors;  // only grows
    int32_t iWord1;
    int32_t iWord2;
    int32_t iOpenComPort;
    int32_t iOpenBaudRate;
    char cParity;
    int32_t iDataBits;
    int32_t iStopBits;
    int32_t bHandshake;

    void SetDefaults();
};

inline constexpr int kRecentEntries = 10;
inline constexpr int kRecentTextSize = 50;
inline constexpr int kRecentLists = 7;

// The logging screens' recent-name lists, newest first; the first empty entry ends a list.
struct TextTable {
    char szNMEALogRecent[kRecentEntries][kRecentTextSize];
    char szRawLogRecent[kRecentEntries][kRecentTextSize];
    char szBinLogRecent[kRecentEntries][kRecentTextSize];
    char szStationIdRecent[kRecentEntries][kRecentTextSize];
    char szPointLogRecent[kRecentEntries][kRecentTextSize];
    char szPointIdRecent[kRecentEntries][kRecentTextSize];
    char szPolygonLogRecent[kRecentEntries][kRecentTextSize];

    void Init();
    // Profile archive rows: for each row, that row of every list.
    void SaveArchive(platform::ByteWriter& w) const;
    void LoadArchive(platform::ByteReader& r);
    // The lists in archive order (0 NMEA .. 6 polygon).
    char (*List(int index))[kRecentTextSize];
    const char (*List(int index) const)[kRecentTextSize];
};

struct GPSSettings {
    WizardInfo WizardLive;      // what the screens edit and the senders send
    WizardInfo WizardSnapshot;  // what was last read from or sent to the receiver
    PortConfig NMEALogConfig;   // selects what the logs keep
    BINLogRateInfo BinLogRates;
    TextTable szLogComboTexts;
};

struct JRADInfo {
    uint32_t bXRefSubscribed;
    uint32_t ulWord;
    uint32_t bXRefReady;
    uint32_t ulJRADLock;
};

struct GPSInfo {
    // ---- part 1: settings header (the first 116 bytes of its image carry the CRC) ----
    int32_t iRxNMEABaudRate;
    int32_t iRxRTCMBaudRate;
    uint32_t ulSetupMagic;
    int32_t eCurCorrSource;
    int32_t eShownCorrSource;
    int32_t eReqCorrSource;
    int32_t eRxApp;
    int32_t eRxOtherApp;
    int32_t iRxElevation;
    int32_t iRxMaxAge;
    char szSetupText1[17];
    uint32_t ulSetupWord1;  // five-hertz flag of the setup responder
    uint32_t ulSetupWord2;  // lat/lon format of the setup responder: 0 DD, 1 DM, 2 DMS
    uint32_t ulSetupWord3;  // height format: 0 metres, 1 feet
    uint32_t ulSetupWord4;  // speed format: 0 KMPH, 1 MPH, 2 KNOTS
    uint32_t ulSetupWord5;  // UTC offset, hours
    char szSetupText2[17];
    char szSetupText3[17];
    uint32_t ulSetupCRC;
    int32_t eReceiverType;
    int32_t iComPort;        // 1..49
    int32_t eTimeDisplay;    // 0 local, 1 UTC
    float fLocalTimeOffset;  // hours
    int32_t eCoordFormat;    // 0 DM.M, 1 D.D, 2 DMS
    int32_t eDisplayChoice;  // reserved; kept by the archive
    int32_t eDistanceUnit;   // 0 Meters, 1 Feet
    int32_t eSpeedUnit;      // 0 KMH, 1 MPH, 2 KNOTS
    int32_t eAccuracyLevel;  // 0 1 sigma, 1 95%, 2 CEP, 3 99%
    uint32_t bCfgMarker;

    // ---- part 1: history blocks, one entry per second of GPS time ----
    int32_t iHeadingPlotZoom;
    float fHeadingHistory[kHistorySize];
    int32_t iHeadingHistoryIndex;
    int32_t iHeadingPlotLineWidth;
    int32_t iHeadingPlotMarker;

    int32_t iPositionPlotZoom;
    float fNorthHistory[kHistorySize];
    float fEastHistory[kHistorySize];
    float fHeightHistory[kHistorySize];
    int32_t iPositionHistoryIndex;
    int32_t iPositionPlotLineWidth;
    int32_t iPositionPlotMarker;
    int32_t ePositionPlotCoordFormat;
    int32_t ePositionPlotAltUnit;
    int32_t ePositionPlotOffsetUnit;

    int32_t iSBASPlotScale;
    int32_t iSBASBerHistory[2][kHistorySize];
    int32_t iSBASBerHistoryIndex;
    int32_t iSBASPlotLineWidth;
    int32_t iSBASPlotMarker;

    int32_t iLBandPlotScale;
    int32_t iLBandBerHistory[kHistorySize];
    int32_t iLBandBerHistoryIndex;
    int32_t iLBandPlotLineWidth;
    int32_t iLBandPlotMarker;

    uint32_t ulPlotReserved;
    float fBeaconFreqHistory[kHistorySize];
    int32_t iBeaconSSHistory[kHistorySize];
    int32_t iBeaconSNRHistory[kHistorySize];
    int32_t iBeaconHistoryIndex;
    int32_t iBeaconPlotLineWidth;
    int32_t iBeaconPlotMarker;

    uint32_t ulPart1Lock;

    // ---- sub-records ----
    NavInfo Nav;
    BeaconInfo Beacon;
    SatViewInfo SatView;
    PortConfig RxPortConfig;  // the receiver's own rates as last reported
    LBandInfo LBand;
    CommSettings Comm;
    GPSSettings Settings;
    BinaryInfo Binary;
    JRADInfo JRAD;

    // Part 1 (header, rings, indexes and plot words) to its defaults.
    void Init();
    // The receiver's bauds, mask and age as the header starts them.
    void InitReceiverPorts();
    // The first 116 bytes of the header as laid out for the CRC (little-endian, zero padding).
    void HeaderImage(uint8_t (&image)[kSetupCrcBytes]) const;
    // Copies part 1 (everything before the sub-records) from another record.
    void CopyPart1From(const GPSInfo& other);
    // Profile archive rows of part 1, marker to lock word. LoadArchive returns false when
    // the marker is neither 'A' nor 'N'; values out of range take their defaults.
    void SaveArchive(platform::ByteWriter& w) const;
    bool LoadArchive(platform::ByteReader& r);
};

class CGPS {
public:
    CGPS();
    CGPS(const CGPS&) = delete;
    CGPS& operator=(const CGPS&) = delete;

    GPSInfo Info;

    // Lock pair on a record's lock word. All words share one re-entrant mutex, so two
    // threads can never deadlock on two words; the word holds the owner's hold count.
    // Unlocking a word the calling thread does not hold is a no-op.
    static void Lock(uint32_t* pLockWord);
    static void Unlock(uint32_t* pLockWord);
    // Called on every Unlock; the application sets its data event here.
    static void SetUnlockHook(std::function<void()> hook);

    static uint16_t CalcCRC16(const uint8_t* data, size_t length);
    static uint16_t CalcSetupCRC(const GPSInfo& info);

    void InitBeaconStatus();
    void InitSatelliteView();
    void InitLBandStatus();
    void InitBinaryData();
    void InitJRADFlags();
    void InitSettings();
    // Start-up reset of everything after part 1 (the archive load comes first).
    void ResetSubRecords();
    // A receiver was found: what an earlier one told us (its status, beams, rates, options,
    // the read-back's answer and the heard counts) no longer holds. The settings records and
    // the link fields the search has just set are kept.
    void ForgetReceiver();

    // eReceiverType under the record's lock: the reader thread rewrites it when the setup
    // responder resets the record or reads the archive.
    int32_t ReceiverType();
    void SetReceiverType(int32_t type);

    // Profile archive, configuration senders: defined with their subsystems.
    static bool CreateConfigFolder();
    bool SaveConfigFile();
    // bPauseAfterA: take the pause due after an archive left by an unfinished run (the
    // reader thread does not).
    bool LoadConfigFile(bool bPauseAfterA = true);
    // The archive file from and into an image of part 1 and the settings part. ReadCfgFile
    // flips the marker and writes the file back; the pause due after an 'A' marker is left to
    // the caller, reported through pPauseDue when given.
    static int WriteCfgFile(GPSInfo& image);
    static int ReadCfgFile(GPSInfo& image, bool* pPauseDue = nullptr);
    int SendConfig(WizardInfo& live);
    int ReadConfig(WizardInfo& live);
    int SendChangedConfig(WizardInfo& live);

private:
    // The records the reader thread fills from the receiver, back to their start values.
    void ResetReceiverRecords();
};

// RAII bracket for new code.
class RecordLock {
public:
    explicit RecordLock(uint32_t& word) : word_(&word) { CGPS::Lock(word_); }
    ~RecordLock() { CGPS::Unlock(word_); }
    RecordLock(const RecordLock&) = delete;
    RecordLock& operator=(const RecordLock&) = delete;

private:
    uint32_t* word_;
};

extern CGPS g_GPS;
extern CGPS* g_pGPS;

// Receiver option code from the "$>JI" reply.
void SetOptionCode(uint32_t code);
uint32_t GetOptionCode();
bool bHas20HzOption();
bool bHasTSpanOption();
void ResetOptionCode();  // back to "no reply yet"
