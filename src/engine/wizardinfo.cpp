#include "engine/wizardinfo.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <string>

#include "engine/CfgIO.h"
#include "engine/Parsable.h"
#include "engine/gps.h"
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
                  const char* allowed) {
    return std::string(key) + "=" + value + " in [" + section + "] is not " + allowed;
}

std::string IntFault(const char* section, const char* key, int32_t value, int32_t highest,
                     const char* allowed) {
    if (value >= 0 && value <= highest) return {};
    return Fault(section, key, platform::FormatInt(value), allowed);
}

std::string RealFault(const char* section, const char* key, double value, double limit,
                      const char* allowed) {
    if (std::isfinite(value) && std::fabs(value) <= limit) return {};
    char text[32];
    const auto res = std::to_chars(text, text + sizeof(text), value);
    return Fault(section, key, std::string(text, res.ptr), allowed);
}

}  // namespace

std::string PortConfig::TextFault(const char* section) const {
    for (const IntKey& key : kPortKeys) {
        const bool flag = key.member == &PortConfig::bRTCM;
        std::string fault = IntFault(section, key.name, this->*key.member, flag ? 1 : RATE_20HZ,
                                     flag ? kFlag : kRateCodes);
        if (!fault.empty()) return fault;
    }
    return {};
}

std::string BINLogRateInfo::TextFault() const {
    for (const BinKey& key : kBinKeys) {
        std::string fault =
            IntFault("BINLogRate", key.name, this->*key.member, RATE_20HZ, kRateCodes);
        if (!fault.empty()) return fault;
    }
    return {};
}

std::string WizardInfo::TextFault() const {
    constexpr const char* kSection = "CurrentWizard";
    constexpr double kAny = HUGE_VAL;
    const std::string faults[] = {
        RealFault(kSection, "fFreq", fFreq, kAny, "a finite frequency"),
        IntFault(kSection, "iBitRate", iBitRate, BEACON_RATE_200,
                 "a beacon bit rate (0 auto, 1 100 bps, 2 200 bps)"),
        RealFault(kSection, "dRefLat", dRefLat, 90.0, "a latitude (-90 to 90 degrees)"),
        RealFault(kSection, "dRefLon", dRefLon, 180.0, "a longitude (-180 to 180 degrees)"),
        RealFault(kSection, "dRefAlt", dRefAlt, kAny, "a finite height"),
        IntFault(kSection, "eDfxPort", eDfxPort, DFX_PORTC,
                 "an output port (0 NONE, 1 PORTA, 2 PORTB, 3 PORTC)"),
        ThisPortConfig.TextFault("ThisPortConfig"),
        OtherPortConfig.TextFault("OtherPortConfig"),
    };
    for (const std::string& fault : faults) {
        if (!fault.empty()) return fault;
    }
    return {};
}

void PortConfig::SaveText(CfgIo& io) const {
    for (const IntKey& key : kPortKeys) io.WriteKeyInt(key.name, this->*key.member);
}

void PortConfig::LoadText(CfgIo& io) {
    ParseReset();
    for (const IntKey& key : kPortKeys) ParseRegister(key.name, &(this->*key.member));
    ParseSection(io);
    ParseReset();
}

void BINLogRateInfo::SaveText(CfgIo& io) const {
    for (const BinKey& key : kBinKeys) io.WriteKeyInt(key.name, this->*key.member);
}

void BINLogRateInfo::LoadText(CfgIo& io) {
    ParseReset();
    for (const BinKey& key : kBinKeys) ParseRegister(key.name, &(this->*key.member));
    ParseSection(io);
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

void WizardInfo::LoadText(CfgIo& io) {
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
    ParseSection(io);
    ParseReset();

    while (!io.IsEOF()) {
        std::string label;
        io.ReadLabel(label);
        int index = -1;
        ParseFindLabel(kPortSections, &index, label.c_str());
        if (index == 0) {
            platform::Trace("Parsing this port config.\n");
            ThisPortConfig.LoadText(io);
        } else if (index == 1) {
            platform::Trace("Parsing other port config.\n");
            OtherPortConfig.LoadText(io);
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

std::string NavInfo::TextFault() const {
    for (const NavFloatKey& key : kNavFloatKeys) {
        std::string fault =
            RealFault("GPSData", key.name, this->*key.member, HUGE_VAL, "a finite number");
        if (!fault.empty()) return fault;
    }
    for (const NavFlagKey& key : kNavFlagKeys) {
        std::string fault = IntFault("GPSData", key.name, this->*key.member, 1, kFlag);
        if (!fault.empty()) return fault;
    }
    return {};
}

void NavInfo::CopyTextValues(const NavInfo& from) {
    for (const NavFloatKey& key : kNavFloatKeys) this->*key.member = from.*key.member;
    for (const NavFlagKey& key : kNavFlagKeys) this->*key.member = from.*key.member;
}

void NavInfo::LoadText(CfgIo& io) {
    // The reader thread writes the same record.
    RecordLock lock(ulNavLock);
    ParseReset();
    for (const NavFloatKey& key : kNavFloatKeys) ParseRegister(key.name, &(this->*key.member));
    for (const NavFlagKey& key : kNavFlagKeys) ParseRegister(key.name, &(this->*key.member));
    ParseSection(io);
    ParseReset();
}
