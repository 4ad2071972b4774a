#include "engine/wizardinfo.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "engine/CfgIO.h"
#include "engine/Parsable.h"
#include "engine/gps.h"
#include "engine/tspan.h"
#include "platform/numbers.h"
#include "platform/trace.h"

void PortConfig::Init() {
    std::memset(this, 0, sizeof(*this));
}

void BINLogRateInfo::Init() {
    std::memset(this, 0, sizeof(*this));
}

void WizardInfo::Init() {
    iNMEABaudRate = 57600;
    iRTCMBaudRate = 9600;
    iElevation = 5;
    iMaxAge = 3600;
    ulFreqKhz = 1540000;
    ulSpare1 = 0;
    iSymbolRate = 1200;
    fFreq = 283.5f;
    iBitRate = BEACON_RATE_AUTO;
    iStationId = 0;
    dRefLat = 0.0;
    dRefLon = 0.0;
    dRefAlt = 0.0;
    eDfxPort = DFX_NONE;
    ulSpare2 = 0;
    ThisPortConfig.Init();
    OtherPortConfig.Init();
}

// ---------------------------------------------------------------- ".rcf" text

namespace {

struct IntKey {
    const char* name;
    int32_t PortConfig::*member;
};

// File order: bRTCM last, unlike the record.
constexpr IntKey kPortKeys[] = {
    {"eGGA", &PortConfig::eGGA},     {"eGLL", &PortConfig::eGLL},
    {"eGSA", &PortConfig::eGSA},     {"eGST", &PortConfig::eGST},
    {"eGSV", &PortConfig::eGSV},     {"eRMC", &PortConfig::eRMC},
    {"eRRE", &PortConfig::eRRE},     {"eVTG", &PortConfig::eVTG},
    {"eZDA", &PortConfig::eZDA},     {"eBIN95", &PortConfig::eBIN95},
    {"eBIN96", &PortConfig::eBIN96}, {"eHEHDT", &PortConfig::eHEHDT},
    {"eHEROT", &PortConfig::eHEROT}, {"eHPR", &PortConfig::eHPR},
    {"bRTCM", &PortConfig::bRTCM},
};

struct BinKey {
    const char* name;
    int32_t BINLogRateInfo::*member;
};

constexpr BinKey kBinKeys[] = {
    {"eBIN1", &BINLogRateInfo::eBIN1},   {"eBIN2", &BINLogRateInfo::eBIN2},
    {"eBIN80", &BINLogRateInfo::eBIN80}, {"eBIN95", &BINLogRateInfo::eBIN95},
    {"eBIN96", &BINLogRateInfo::eBIN96}, {"eBIN97", &BINLogRateInfo::eBIN97},
    {"eBIN98", &BINLogRateInfo::eBIN98}, {"eBIN99", &BINLogRateInfo::eBIN99},
    {"eD1", &BINLogRateInfo::eD1},
};

constexpr const char* kPortSections[] = {"ThisPortConfig", "OtherPortConfig", ""};

// What the fields of a ".rcf" file may hold. A value outside them would go to the receiver
// as a broken command (a rate without its rate text, a latitude of 300 digits).
constexpr const char* kRateCodes = "a rate code (0 to 5)";
constexpr const char* kFlag = "0 or 1";

std::string Fault(const char* section, const char* key, const std::string& value,
                  const std::string& allowed) {
    return std::string(key) + "=" + value + " in [" + section + "] is not " + allowed;
}

// Only the keys the file set are judged: the others keep values the program already holds. A
// value is named as the file gave it.
std::string KeyFault(const ParseKeysRead& read, const char* section, const char* key, bool fits,
                     const std::string& allowed) {
    if (!read.Has(section, key)) return {};
    if (fits && read.Refused(section, key) == nullptr) return {};
    return Fault(section, key, read.Text(section, key), allowed);
}

std::string IntFault(const ParseKeysRead& read, const char* section, const char* key, int32_t value,
                     int32_t highest, const char* allowed) {
    return KeyFault(read, section, key, value >= 0 && value <= highest, allowed);
}

std::string RealFault(const ParseKeysRead& read, const char* section, const char* key, double value,
                      double lowest, double highest, const std::string& allowed) {
    return KeyFault(read, section, key, std::isfinite(value) && value >= lowest && value <= highest,
                    allowed);
}

// The reference command's limits, as the reference entries hold them.
constexpr double kMaxRefHeight = TSpan::kReferenceHeightMax;
constexpr double kMinRefHeight = TSpan::kReferenceHeightMin;

}  // namespace

bool IsOfferedBaud(int32_t baud) {
    return std::find(kOfferedBauds.begin(), kOfferedBauds.end(), baud) != kOfferedBauds.end();
}

bool IsReferenceHeight(double metres) {
    return std::isfinite(metres) && metres >= kMinRefHeight && metres <= kMaxRefHeight;
}

std::string PortConfig::TextFault(const char* section, const ParseKeysRead& read) const {
    for (const IntKey& key : kPortKeys) {
        const bool flag = key.member == &PortConfig::bRTCM;
        std::string fault = IntFault(read, section, key.name, this->*key.member,
                                     flag ? 1 : RATE_20HZ, flag ? kFlag : kRateCodes);
        if (!fault.empty()) return fault;
    }
    return {};
}

std::string BINLogRateInfo::TextFault(const ParseKeysRead& read) const {
    for (const BinKey& key : kBinKeys) {
        std::string fault =
            IntFault(read, "BINLogRate", key.name, this->*key.member, RATE_20HZ, kRateCodes);
        if (!fault.empty()) return fault;
    }
    return {};
}

std::string WizardInfo::TextFault(const ParseKeysRead& read) const {
    constexpr const char* kSection = "CurrentWizard";
    constexpr double kAny = HUGE_VAL;
    constexpr const char* kBaud = "a baud rate (4800, 9600, 19200, 38400, 57600 or 115200)";
    // A snapshot never filled from the receiver saves the baud 0: the port keeps its baud.
    const auto baud = [](int32_t b) { return b == 0 || IsOfferedBaud(b); };
    // Mask and age hold any whole number: the setup screen brings them into range.
    const std::string faults[] = {
        KeyFault(read, kSection, "iNMEABaudRate", baud(iNMEABaudRate), kBaud),
        KeyFault(read, kSection, "iRTCMBaudRate", baud(iRTCMBaudRate), kBaud),
        KeyFault(read, kSection, "iElevation", true, "a whole number of degrees"),
        KeyFault(read, kSection, "iMaxAge", true, "a whole number of seconds"),
        // Written as "%ld": a frequency past the signed range comes back negative.
        KeyFault(read, kSection, "ulFreqKhz", ulFreqKhz <= kMaxFreqKhz,
                 "a frequency in kHz (0 to 2147483647)"),
        IntFault(read, kSection, "iSymbolRate", iSymbolRate, INT32_MAX,
                 "a symbol rate (0 to 2147483647)"),
        RealFault(read, kSection, "fFreq", fFreq, -kAny, kAny, "a finite frequency"),
        IntFault(read, kSection, "iBitRate", iBitRate, BEACON_RATE_200,
                 "a beacon bit rate (0 auto, 1 100 bps, 2 200 bps)"),
        RealFault(read, kSection, "dRefLat", dRefLat, -90.0, 90.0,
                  "a latitude (-90 to 90 degrees)"),
        RealFault(read, kSection, "dRefLon", dRefLon, -180.0, 180.0,
                  "a longitude (-180 to 180 degrees)"),
        RealFault(read, kSection, "dRefAlt", dRefAlt, kMinRefHeight, kMaxRefHeight,
                  "a height (" + platform::FormatFixed(kMinRefHeight, 0) + " to " +
                      platform::FormatFixed(kMaxRefHeight, 0) + " meters)"),
        IntFault(read, kSection, "eDfxPort", eDfxPort, DFX_PORTC,
                 "an output port (0 NONE, 1 PORTA, 2 PORTB, 3 PORTC)"),
        ThisPortConfig.TextFault("ThisPortConfig", read),
        OtherPortConfig.TextFault("OtherPortConfig", read),
    };
    for (const std::string& fault : faults) {
        if (!fault.empty()) return fault;
    }
    return {};
}

void PortConfig::SaveText(CfgIo& io) const {
    for (const IntKey& key : kPortKeys) io.WriteKeyInt(key.name, this->*key.member);
}

void PortConfig::LoadText(CfgIo& io, ParseKeysRead* read, const char* section) {
    ParseReset();
    for (const IntKey& key : kPortKeys) ParseRegister(key.name, &(this->*key.member));
    ParseSection(io, read, section);
    ParseReset();
}

void BINLogRateInfo::SaveText(CfgIo& io) const {
    for (const BinKey& key : kBinKeys) io.WriteKeyInt(key.name, this->*key.member);
}

void BINLogRateInfo::LoadText(CfgIo& io, ParseKeysRead* read) {
    ParseReset();
    for (const BinKey& key : kBinKeys) ParseRegister(key.name, &(this->*key.member));
    ParseSection(io, read, "BINLogRate");
    ParseReset();
}

void WizardInfo::SaveText(CfgIo& io) const {
    io.WriteKeyInt("iNMEABaudRate", iNMEABaudRate);
    io.WriteKeyInt("iRTCMBaudRate", iRTCMBaudRate);
    io.WriteKeyInt("iElevation", iElevation);
    io.WriteKeyInt("iMaxAge", iMaxAge);
    io.WriteKeyLong("ulFreqKhz", static_cast<int32_t>(ulFreqKhz));
    io.WriteKeyInt("iSymbolRate", iSymbolRate);
    io.WriteKeyDouble("fFreq", fFreq);
    io.WriteKeyInt("iBitRate", iBitRate);
    io.WriteKeyDouble("dRefLat", dRefLat);
    io.WriteKeyDouble("dRefLon", dRefLon);
    io.WriteKeyDouble("dRefAlt", dRefAlt);
    io.WriteKeyInt("eDfxPort", eDfxPort);
    io.WriteLabel("ThisPortConfig");
    ThisPortConfig.SaveText(io);
    io.WriteLabel("OtherPortConfig");
    OtherPortConfig.SaveText(io);
}

void WizardInfo::LoadText(CfgIo& io, ParseKeysRead* read) {
    ParseReset();
    ParseRegister("iNMEABaudRate", &iNMEABaudRate);
    ParseRegister("iRTCMBaudRate", &iRTCMBaudRate);
    ParseRegister("iElevation", &iElevation);
    ParseRegister("iMaxAge", &iMaxAge);
    ParseRegister("ulFreqKhz", &ulFreqKhz);
    ParseRegister("iSymbolRate", &iSymbolRate);
    ParseRegister("fFreq", &fFreq);
    ParseRegister("iBitRate", &iBitRate);
    ParseRegister("dRefLat", &dRefLat);
    ParseRegister("dRefLon", &dRefLon);
    ParseRegister("dRefAlt", &dRefAlt);
    ParseRegister("eDfxPort", &eDfxPort);
    ParseSection(io, read, "CurrentWizard");
    ParseReset();

    while (!io.IsEOF()) {
        std::string label;
        io.ReadLabel(label);
        int index = -1;
        ParseFindLabel(kPortSections, &index, label.c_str());
        if (index == 0) {
            platform::Trace("Parsing this port config.\n");
            ThisPortConfig.LoadText(io, read, kPortSections[0]);
        } else if (index == 1) {
            platform::Trace("Parsing other port config.\n");
            OtherPortConfig.LoadText(io, read, kPortSections[1]);
        } else {
            io.PushBack();
            platform::Trace("Unrecognized label [%s]\n", label.c_str());
            return;
        }
    }
}

namespace {

struct NavFloatKey {
    const char* name;
    float NavInfo::*member;
};

constexpr NavFloatKey kNavFloatKeys[] = {
    {"fHeading", &NavInfo::fHeading}, {"fROT", &NavInfo::fROT},
    {"fPitch", &NavInfo::fPitch},     {"fRoll", &NavInfo::fRoll},
    {"fHDGTau", &NavInfo::fHDGTau},   {"fHDGRateTau", &NavInfo::fHDGRateTau},
    {"fCOGTau", &NavInfo::fCOGTau},   {"fSPDTau", &NavInfo::fSPDTau},
    {"fHBias", &NavInfo::fHBias},     {"fPRBias", &NavInfo::fPRBias},
    {"fManSep", &NavInfo::fManSep},   {"fCurSep", &NavInfo::fCurSep},
};

struct NavFlagKey {
    const char* name;
    int32_t NavInfo::*member;
};

constexpr NavFlagKey kNavFlagKeys[] = {
    {"bTiltAid", &NavInfo::bTiltAid}, {"bGyroAid", &NavInfo::bGyroAid},
    {"bLevel", &NavInfo::bLevel},     {"bNegTilt", &NavInfo::bNegTilt},
    {"bFLIPBRD", &NavInfo::bFLIPBRD},
};

}  // namespace

void NavInfo::SaveText(CfgIo& io) const {
    for (const NavFloatKey& key : kNavFloatKeys) io.WriteKeyDouble(key.name, this->*key.member);
    for (const NavFlagKey& key : kNavFlagKeys) io.WriteKeyInt(key.name, this->*key.member);
}

std::string NavInfo::TextFault(const ParseKeysRead& read) const {
    for (const NavFloatKey& key : kNavFloatKeys) {
        // The biases are held to what the heading setup takes.
        const double limit = key.member == &NavInfo::fHBias    ? kMaxHeadingBias
                             : key.member == &NavInfo::fPRBias ? kMaxPitchRollBias
                                                               : HUGE_VAL;
        const std::string allowed = std::isinf(limit)
                                        ? std::string("a finite number")
                                        : "a bias (-" + platform::FormatFixed(limit, 0) + " to " +
                                              platform::FormatFixed(limit, 0) + " degrees)";
        std::string fault =
            RealFault(read, "GPSData", key.name, this->*key.member, -limit, limit, allowed);
        if (!fault.empty()) return fault;
    }
    for (const NavFlagKey& key : kNavFlagKeys) {
        std::string fault = IntFault(read, "GPSData", key.name, this->*key.member, 1, kFlag);
        if (!fault.empty()) return fault;
    }
    return {};
}

void NavInfo::CopyTextValues(const NavInfo& from) {
    for (const NavFloatKey& key : kNavFloatKeys) this->*key.member = from.*key.member;
    for (const NavFlagKey& key : kNavFlagKeys) this->*key.member = from.*key.member;
}

void NavInfo::LoadText(CfgIo& io, ParseKeysRead* read) {
    // The reader thread writes the same record.
    RecordLock lock(ulNavLock);
    ParseReset();
    for (const NavFloatKey& key : kNavFloatKeys) ParseRegister(key.name, &(this->*key.member));
    for (const NavFlagKey& key : kNavFlagKeys) ParseRegister(key.name, &(this->*key.member));
    ParseSection(io, read, "GPSData");
    ParseReset();
}
