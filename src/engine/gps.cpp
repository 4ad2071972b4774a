#include "engine/gps.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>

#include "engine/terminalconfig.h"

namespace {

// One re-entrant mutex behind every lock word: a thread may hold several words at once and
// the two threads can never deadlock on two words taken in opposite orders.
std::recursive_mutex& RecordMutex() {
    static std::recursive_mutex mutex;
    return mutex;
}
std::atomic<std::thread::id> g_owner{};
int g_depth = 0;  // guarded by RecordMutex()

// Guarded by RecordMutex(): Unlock runs the hook while it still holds the record.
std::function<void()> g_unlockHook;

std::atomic<uint32_t> g_optionCode{0};
std::atomic<bool> g_optionCodeSet{false};

void CopyText(char* dst, size_t size, const char* src) {
    std::memset(dst, 0, size);
    std::strncpy(dst, src, size - 1);
}

void PutU32(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
    p[2] = static_cast<uint8_t>(v >> 16);
    p[3] = static_cast<uint8_t>(v >> 24);
}

}  // namespace

CGPS g_GPS;
CGPS* g_pGPS = &g_GPS;

// ---------------------------------------------------------------- defaults

void GPSInfo::InitReceiverPorts() {
    iRxNMEABaudRate = 57600;
    iRxRTCMBaudRate = 9600;
    iRxElevation = 5;
    iRxMaxAge = 3600;
}

void GPSInfo::Init() {
    InitReceiverPorts();
    ulSetupMagic = 0x12345678;
    eCurCorrSource = CORR_NONE;
    eShownCorrSource = CORR_NONE;
    eReqCorrSource = CORR_NONE;
    eRxApp = 0;
    eRxOtherApp = 0;
    CopyText(szSetupText1, sizeof(szSetupText1), "Unavailable");
    ulSetupWord1 = 0;
    ulSetupWord2 = 1;
    ulSetupWord3 = 0;
    ulSetupWord4 = 0;
    ulSetupWord5 = 0;
    std::memset(szSetupText2, 0, sizeof(szSetupText2));
    std::memset(szSetupText3, 0, sizeof(szSetupText3));
    ulSetupCRC = 0;
    eReceiverType = RECEIVER_GPS;
    iComPort = 1;
    eTimeDisplay = 0;
    fLocalTimeOffset = -6.0f;
    eCoordFormat = 0;
    eDisplayChoice = 0;
    eDistanceUnit = 0;
    eSpeedUnit = 0;
    eAccuracyLevel = 0;
    bCfgMarker = 1;

    iHeadingPlotZoom = 0;
    std::fill(std::begin(fHeadingHistory), std::end(fHeadingHistory), 0.0f);
    iHeadingHistoryIndex = 0;
    iHeadingPlotLineWidth = 2;
    iHeadingPlotMarker = 0;

    iPositionPlotZoom = 0;
    std::fill(std::begin(fNorthHistory), std::end(fNorthHistory), 0.0f);
    std::fill(std::begin(fEastHistory), std::end(fEastHistory), 0.0f);
    std::fill(std::begin(fHeightHistory), std::end(fHeightHistory), 0.0f);
    iPositionHistoryIndex = 0;
    iPositionPlotLineWidth = 2;
    iPositionPlotMarker = 0;
    ePositionPlotCoordFormat = 0;
    ePositionPlotAltUnit = 0;
    ePositionPlotOffsetUnit = 0;

    iSBASPlotScale = 0;
    for (auto& row : iSBASBerHistory) std::fill(std::begin(row), std::end(row), kBerNoValue);
    iSBASBerHistoryIndex = 0;
    iSBASPlotLineWidth = 2;
    iSBASPlotMarker = 0;

    iLBandPlotScale = 0;
    std::fill(std::begin(iLBandBerHistory), std::end(iLBandBerHistory), kBerNoValue);
    iLBandBerHistoryIndex = 0;
    iLBandPlotLineWidth = 2;
    iLBandPlotMarker = 0;

    ulPlotReserved = 0;
    std::fill(std::begin(fBeaconFreqHistory), std::end(fBeaconFreqHistory), 0.0f);
    std::fill(std::begin(iBeaconSSHistory), std::end(iBeaconSSHistory), 0);
    std::fill(std::begin(iBeaconSNRHistory), std::end(iBeaconSNRHistory), 0);
    iBeaconHistoryIndex = 0;
    iBeaconPlotLineWidth = 2;
    iBeaconPlotMarker = 0;
    // ulPart1Lock is left alone: it belongs to whoever holds the record.
}

void GPSInfo::HeaderImage(uint8_t (&image)[kSetupCrcBytes]) const {
    std::memset(image, 0, sizeof(image));
    const uint32_t words1[] = {static_cast<uint32_t>(iRxNMEABaudRate),
                               static_cast<uint32_t>(iRxRTCMBaudRate),
                               ulSetupMagic,
                               static_cast<uint32_t>(eCurCorrSource),
                               static_cast<uint32_t>(eShownCorrSource),
                               static_cast<uint32_t>(eReqCorrSource),
                               static_cast<uint32_t>(eRxApp),
                               static_cast<uint32_t>(eRxOtherApp),
                               static_cast<uint32_t>(iRxElevation),
                               static_cast<uint32_t>(iRxMaxAge)};
    for (size_t i = 0; i < std::size(words1); ++i) PutU32(image + 4 * i, words1[i]);
    std::memcpy(image + 40, szSetupText1, 17);
    const uint32_t words2[] = {ulSetupWord1, ulSetupWord2, ulSetupWord3, ulSetupWord4,
                               ulSetupWord5};
    for (size_t i = 0; i < std::size(words2); ++i) PutU32(image + 60 + 4 * i, words2[i]);
    std::memcpy(image + 80, szSetupText2, 17);
    std::memcpy(image + 97, szSetupText3, 17);
}

void GPSInfo::CopyPart1From(const GPSInfo& other) {
    std::memcpy(static_cast<void*>(this), &other, offsetof(GPSInfo, Nav));
}

void NavInfo::Init() {
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
    cLatDir = 'N';
    cLonDir = 'E';
    bRollOutput = 1;
    bTiltAid = 1;
    fHDGTau = 0.5f;
    fHDGRateTau = 2.0f;
    fManSep = 0.5f;
    fCurSep = 0.5f;
}

void LBandInfo::InitSBASChannels() {
    fSBASAzimuth1 = fSBASAzimuth2 = 0.0f;
    fSBASElevation1 = fSBASElevation2 = 0.0f;
    fSBASLongitude1 = fSBASLongitude2 = 0.0f;
    iSBASBer1 = iSBASBer2 = kBerNoValue;
    iSBASPRN1 = iSBASPRN2 = 0;
}

void CommSettings::SetDefaults() {
    iChecksumErrors = 0;
    iWord1 = 0;
    iWord2 = 0;
    iOpenComPort = 1;
    iOpenBaudRate = 57600;
    cParity = 'N';
    iDataBits = 8;
    iStopBits = 1;
    bHandshake = 0;
}

void TextTable::Init() {
    std::memset(static_cast<void*>(this), 0, sizeof(*this));
}

char (*TextTable::List(int index))[kRecentTextSize] {
    switch (index) {
        case 0:
            return szNMEALogRecent;
        case 1:
            return szRawLogRecent;
        case 2:
            return szBinLogRecent;
        case 3:
            return szStationIdRecent;
        case 4:
            return szPointLogRecent;
        case 5:
            return szPointIdRecent;
        default:
            return szPolygonLogRecent;
    }
}

const char (*TextTable::List(int index) const)[kRecentTextSize] {
    return const_cast<TextTable*>(this)->List(index);
}

CGPS::CGPS() {
    std::memset(static_cast<void*>(&Info), 0, sizeof(Info));
    Info.Init();
    Info.Nav.Init();
    InitBeaconStatus();
    InitSatelliteView();
    Info.RxPortConfig.Init();
    InitLBandStatus();
    Info.Comm.SetDefaults();
    InitBinaryData();
    InitJRADFlags();
    Info.Settings.WizardLive.Init();
    Info.Settings.NMEALogConfig.Init();
    Info.Settings.BinLogRates.Init();
    Info.Settings.szLogComboTexts.Init();
}

void CGPS::InitBeaconStatus() {
    BeaconInfo& b = Info.Beacon;
    const uint32_t lock = b.ulBeaconLock;
    std::memset(static_cast<void*>(&b), 0, sizeof(b));
    b.ulBeaconLock = lock;
    b.cFreqMode = 'A';
    b.cRateMode = 'A';
    CopyText(b.szBeaconFirmware, sizeof(b.szBeaconFirmware), "Unavailable");
    CopyText(b.szBeaconVersion, sizeof(b.szBeaconVersion), "Unavailable");
}

void CGPS::InitSatelliteView() {
    SatViewInfo& s = Info.SatView;
    const uint32_t lock = s.ulSatViewLock;
    std::memset(static_cast<void*>(&s), 0, sizeof(s));
    s.ulSatViewLock = lock;
}

void CGPS::InitLBandStatus() {
    LBandInfo& l = Info.LBand;
    const uint32_t lock = l.ulLBandLock;
    std::memset(static_cast<void*>(&l), 0, sizeof(l));
    l.ulLBandLock = lock;
    l.iGeoId = 1200;
    l.LBandBeam.iId = l.iGeoId;
    l.iLBandBer = kBerNoValue;
    l.bFreqAuto = 1;
    for (char* text : {l.szSubscriptionBegin, l.szSubscriptionExpiry, l.szAppFirmware,
                       l.szDspFirmware, l.szApp1Firmware, l.szApp2Firmware}) {
        CopyText(text, 20, "Unavailable");
    }
    l.InitSBASChannels();
}

void CGPS::InitBinaryData() {
    std::memset(static_cast<void*>(&Info.Binary), 0, sizeof(Info.Binary));
}

void CGPS::InitJRADFlags() {
    JRADInfo& j = Info.JRAD;
    const uint32_t lock = j.ulJRADLock;
    std::memset(static_cast<void*>(&j), 0, sizeof(j));
    j.ulJRADLock = lock;
}

void CGPS::InitSettings() {
    // WizardSnapshot keeps what it holds: it mirrors the receiver, not the defaults.
    Info.Settings.WizardLive.Init();
    Info.Settings.NMEALogConfig.Init();
    Info.Settings.BinLogRates.Init();
    TerminalConfig::Init();
    Info.Settings.szLogComboTexts.Init();
}

void CGPS::ResetSubRecords() {
    ResetReceiverRecords();
    Info.Comm.SetDefaults();
}

void CGPS::ResetReceiverRecords() {
    // Every lock word stands for the one record mutex: holding one keeps the reader out of all.
    RecordLock lock(Info.ulPart1Lock);
    const uint32_t navLock = Info.Nav.ulNavLock;
    Info.Nav.Init();
    Info.Nav.ulNavLock = navLock;
    InitBeaconStatus();
    InitSatelliteView();
    const uint32_t rxLock = Info.RxPortConfig.ulLastWord;
    Info.RxPortConfig.Init();
    Info.RxPortConfig.ulLastWord = rxLock;
    InitLBandStatus();
    InitBinaryData();
    InitJRADFlags();
}

void CGPS::ForgetReceiver() {
    ResetReceiverRecords();
    {
        // What the last receiver listed of its ports, mask and age is not this one's: a
        // read-back that leaves a line out must not write the last receiver's value back.
        RecordLock lock(Info.ulPart1Lock);
        Info.InitReceiverPorts();
        Info.iRxNMEABaudRate = Info.Comm.iOpenBaudRate;  // the one thing known: the link's
    }
    ResetOptionCode();
    AppShared& app = App();
    // Nothing read from this receiver yet: its settings are not ours to write back.
    app.bReadBackUnanswered.store(1);
    app.ResetHeardCounters();
}

int32_t CGPS::ReceiverType() {
    RecordLock lock(Info.ulPart1Lock);
    return Info.eReceiverType;
}

void CGPS::SetReceiverType(int32_t type) {
    RecordLock lock(Info.ulPart1Lock);
    Info.eReceiverType = type;
}

// ---------------------------------------------------------------- lock pair

void CGPS::Lock(uint32_t* pLockWord) {
    if (pLockWord == nullptr) return;
    RecordMutex().lock();
    g_owner.store(std::this_thread::get_id(), std::memory_order_relaxed);
    ++g_depth;
    ++*pLockWord;
}

void CGPS::Unlock(uint32_t* pLockWord) {
    if (pLockWord == nullptr) return;
    if (g_owner.load(std::memory_order_relaxed) != std::this_thread::get_id()) return;
    if (*pLockWord == 0) return;  // this thread does not hold that word
    if (g_unlockHook) g_unlockHook();
    --*pLockWord;
    if (--g_depth == 0) g_owner.store(std::thread::id(), std::memory_order_relaxed);
    RecordMutex().unlock();
}

void CGPS::SetUnlockHook(std::function<void()> hook) {
    std::lock_guard<std::recursive_mutex> guard(RecordMutex());
    g_unlockHook = std::move(hook);
}

// ---------------------------------------------------------------- CRC

uint16_t CGPS::CalcCRC16(const uint8_t* data, size_t length) {
    uint16_t crc = 0xFFFF;
    for (size_t i = 0; i < length; ++i) {
        crc ^= data[i];
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<uint16_t>(crc >> 1);
        }
    }
    return crc;
}

uint16_t CGPS::CalcSetupCRC(const GPSInfo& info) {
    uint8_t image[kSetupCrcBytes];
    info.HeaderImage(image);
    return CalcCRC16(image, sizeof(image));
}

// ---------------------------------------------------------------- option code

void SetOptionCode(uint32_t code) {
    g_optionCode.store(code, std::memory_order_relaxed);
    g_optionCodeSet.store(true, std::memory_order_release);
}

uint32_t GetOptionCode() {
    if (!g_optionCodeSet.load(std::memory_order_acquire)) return 0xFFFF;
    return g_optionCode.load(std::memory_order_relaxed);
}

bool bHas20HzOption() {
    return (GetOptionCode() & OPTION_20HZ) != 0;
}
bool bHasTSpanOption() {
    return (GetOptionCode() & OPTION_TSPAN) != 0;
}

void ResetOptionCode() {
    g_optionCodeSet.store(false, std::memory_order_release);
    g_optionCode.store(0, std::memory_order_relaxed);
}
