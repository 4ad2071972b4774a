#include "engine/lbndnmea.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/nmea.h"
#include "engine/wizardinfo.h"
#include "platform/numbers.h"
#include "platform/trace.h"

// bExtThisPort and g_bRTKRefInvalid are defined with the command sender (txnmea.cpp).

namespace {

bool Contains(const char* text, const char* word) {
    return std::strstr(text, word) != nullptr;
}
bool Is(const char* text, const char* word) {
    return std::strcmp(text, word) == 0;
}

// Up to maxDigits leading hexadecimal digits (after blanks), as sscanf("%x") would read them;
// more digits than fit are cut off at 32 bits.
uint32_t LeadingHex(const char* text, int maxDigits) {
    while (*text == ' ' || *text == '\t') ++text;
    uint32_t value = 0;
    for (int n = 0; n < maxDigits && std::isxdigit(static_cast<unsigned char>(*text)); ++n, ++text)
        value = (value << 4) | static_cast<uint32_t>(CNMEA::iHexDigit(*text));
    return value;
}

// A baud no port setting takes (the setup screen, the configuration files) is not taken: the
// settings read back would hold a baud they cannot send or load.
void TakeBaud(int32_t& target, int baud) {
    if (IsOfferedBaud(baud))
        target = baud;
    else
        platform::Trace("Tessaray_PC: reported baud %d is not one a port is set to\n", baud);
}

// MHz text to kHz by its decimal digits, truncated: "1534.7410" gives 1534741.
uint32_t MHzTextToKHz(const char* text) {
    while (*text == ' ' || *text == '\t') ++text;
    if (*text == '+') ++text;
    uint64_t khz = 0;
    for (; std::isdigit(static_cast<unsigned char>(*text)); ++text)
        khz = std::min<uint64_t>(khz * 10 + static_cast<uint64_t>(*text - '0'), 0xFFFFFFFFull);
    khz *= 1000;
    if (*text == '.') {
        ++text;
        uint64_t scale = 100;
        for (; scale > 0 && std::isdigit(static_cast<unsigned char>(*text)); ++text, scale /= 10)
            khz += static_cast<uint64_t>(*text - '0') * scale;
    }
    return static_cast<uint32_t>(std::min<uint64_t>(khz, 0xFFFFFFFFull));
}

// The value after "=" of a "label=value" field; empty when there is no "=".
const char* ValueAfterEquals(const char* text) {
    const char* equals = std::strchr(text, '=');
    return equals ? equals + 1 : "";
}

void StoreText(char* dest, std::size_t size, const char* text) {
    CopyFieldText(dest, size, text);
}

}  // namespace

int32_t RateToRateCode(float hz) {
    if (hz == 20.0f) return RATE_20HZ;
    if (hz == 10.0f) return RATE_10HZ;
    if (hz == 5.0f) return RATE_5HZ;
    if (hz == 1.0f) return RATE_1HZ;
    if (hz > 0.19f && hz < 0.21f) return RATE_5S;
    return RATE_OFF;
}

bool AppNameToCode(int32_t* code, const char* name) {
    struct App {
        const char* name;
        int32_t code;
    };
    static const App kApps[] = {
        {"WAAS", CORR_SBAS},         {"LBAND", CORR_LBND},
        {"AUTODIFF", CORR_XREF},     {"SUBSEA7", CORR_SUBSEA7},
        {"RTK", CORR_RTK},           {"BEACON", CORR_BEACON},
        {"RTKBAS", CORR_TSPAN_BASE}, {"LOCDIF", CORR_TSPAN_ROVER},
    };
    *code = CORR_NONE;
    for (const App& app : kApps) {
        if (Is(name, app.name)) {
            *code = app.code;
            return true;
        }
    }
    return false;
}

bool IsSBASPRN(int32_t id) {
    return id >= 120 && id <= 138;
}

bool CLBNDNMEA::bRD1(char* field, char* sentence, LBandInfo* lband) {
    if (std::strlen(sentence) < 30) return false;
    NMEAFields f(field, sentence);
    if (!f.Skip(6)) return false;  // 5: bit-error rate
    if (!f.Empty()) {
        // A field that is neither one number nor two is no rate at all: garbage must not
        // read as a perfect link.
        const std::string_view text = f.Text();
        const size_t dash = text.find('-', 1);
        if (dash == std::string_view::npos) {
            if (const auto ber = platform::ParseInt(text)) {
                lband->iLBandBer = *ber;
                lband->iSBASBer1 = lband->iSBASBer2 = kBerNoValue;
            }
        } else {
            const auto a = platform::ParseInt(text.substr(0, dash));
            const auto b = platform::ParseInt(text.substr(dash + 1));
            if (a && b) {
                lband->iLBandBer = kBerNoValue;
                lband->iSBASBer1 = std::min(std::min(*a, *b), kBerNoValue);
                lband->iSBASBer2 = std::min(std::max(*a, *b), kBerNoValue);
            }
        }
    }
    if (!f.Skip(6)) return false;  // 11: status bits
    lband->wLBandStatus = LeadingHex(f.Text(), 4);
    if (!f.Next()) return false;  // 12
    lband->ulRD1Status = LeadingHex(f.Text(), 8);
    return true;
}

bool CLBNDNMEA::bJGEO(char* field, char* sentence, LBandInfo* lband) {
    NMEAFields f(field, sentence);
    if (!f.Skip(3)) return false;  // 2: frequency after a five-character label
    // A frequency or an id the tuning settings cannot take is not taken: the settings read back
    // would hold what no configuration file loads.
    const uint32_t khz = std::strlen(f.Text()) > 5 ? MHzTextToKHz(f.Text() + 5) : 0;
    const bool khzFits = khz <= kMaxFreqKhz;
    if (!f.Next()) {  // 3: satellite id
        if (khzFits) lband->ulGeoFreqKhz = khz;
        return false;
    }
    const int32_t id = platform::AtoI(ValueAfterEquals(f.Text()));
    // Frequency and id are one tune: both are taken, or neither.
    if (khzFits && id >= 0) {
        lband->ulGeoFreqKhz = khz;
        lband->iGeoId = id;
    } else {
        platform::Trace("Tessaray_PC: reported tune %u kHz, id %d not taken\n", khz, id);
    }
    const bool sbas = IsSBASPRN(id);
    GeoSatellite* const beam = sbas ? nullptr : &lband->LBandBeam;
    if (beam) {
        beam->ulFreqKhz = lband->ulGeoFreqKhz;
        beam->iId = lband->iGeoId;
    }
    if (sbas) {
        if (id != lband->iSBASPRN1 && id != lband->iSBASPRN2) {
            if (bSBASSlotToggle)
                lband->iSBASPRN1 = id;
            else
                lband->iSBASPRN2 = id;
        }
        bSBASSlotToggle = bSBASSlotToggle ? 0 : 1;
    } else {
        bSBASSlotToggle = 1;
    }

    struct Target {
        float LBandInfo::*geo;
        float LBandInfo::*slot1;
        float LBandInfo::*slot2;
        float GeoSatellite::*beam;
    };
    static const Target kTargets[] = {
        {&LBandInfo::fGeoLongitude, &LBandInfo::fSBASLongitude1, &LBandInfo::fSBASLongitude2,
         &GeoSatellite::fLongitude},
        {&LBandInfo::fGeoElevation, &LBandInfo::fSBASElevation1, &LBandInfo::fSBASElevation2,
         &GeoSatellite::fElevation},
        {&LBandInfo::fGeoAzimuth, &LBandInfo::fSBASAzimuth1, &LBandInfo::fSBASAzimuth2,
         &GeoSatellite::fAzimuth},
    };
    for (const Target& t : kTargets) {
        if (!f.Next()) return false;
        const float value = CNMEA::fACIItoFloat(ValueAfterEquals(f.Text()));
        lband->*t.geo = value;
        if (id == lband->iSBASPRN1) lband->*t.slot1 = value;
        if (id == lband->iSBASPRN2) lband->*t.slot2 = value;
        if (beam) beam->*t.beam = value;
    }
    return !f.Empty();
}

bool CLBNDNMEA::bJI(char* field, char* sentence, LBandInfo* lband) {
    NMEAFields f(field, sentence);
    if (!f.Skip(2)) return false;
    lband->lSerialNumber = platform::AtoL(f.Text());
    if (!f.Skip(5)) return false;  // 6: options
    const std::size_t length = std::strlen(f.Text());
    if (length >= 2) {
        const char tens = f.Text()[length - 2];
        const char ones = f.Text()[length - 1];
        if (std::isdigit(static_cast<unsigned char>(tens)) &&
            std::isdigit(static_cast<unsigned char>(ones)))
            SetOptionCode(static_cast<uint32_t>((tens - '0') * 10 + (ones - '0')));
    }
    char* const texts[] = {lband->szAppFirmware, lband->szDspFirmware};
    for (char* text : texts) {
        if (!f.Next()) return false;
        StoreText(text, sizeof(lband->szAppFirmware), f.Empty() ? "Unavailable" : f.Text());
    }
    return true;
}

bool CLBNDNMEA::bJOMS(char* field, char* sentence, LBandInfo* lband) {
    NMEAFields f(field, sentence);
    if (!f.Skip(6)) return false;
    StoreText(lband->szSubscriptionBegin, sizeof(lband->szSubscriptionBegin), f.Text());
    if (!f.Next()) return false;
    StoreText(lband->szSubscriptionExpiry, sizeof(lband->szSubscriptionExpiry), f.Text());
    if (!f.Next()) return false;
    if (!f.Empty()) lband->ulSubscriptionCountdown = platform::AtoUL(f.Text());
    return true;
}

bool CLBNDNMEA::bJRTK(char* field, char* sentence, PortConfig* rxPort) {
    NMEAFields f(field, sentence);
    if (!f.Skip(2)) return false;
    const int command = platform::AtoI(f.Text());
    if (command == 1) {
        if (!f.Next()) return false;
        if (Is(f.Text(), "FAILED")) {
            g_bRTKRefInvalid.store(1);
            return false;
        }
        double* const targets[] = {&rxPort->dCurRefLat, &rxPort->dCurRefLon, &rxPort->dCurRefAlt};
        for (int k = 0; k < 3; ++k) {
            if (k > 0 && !f.Next()) return false;
            double value = CNMEA::dACIItoDouble(f.Text());
            bool fits = std::fabs(value) <= 90.0;
            if (k == 1) {
                // A receiver may count east longitudes up to 360; the entries, the configuration
                // files and the reference command take -180 to 180. Less than what "%lf" shows
                // is 0, not "-0.000000".
                fits = std::fabs(value) <= 360.0;  // beyond a turn it is no longitude
                value = std::remainder(value, 360.0);
                if (std::fabs(value) <= 5e-7) value = 0.0;
            } else if (k == 2) {
                fits = IsReferenceHeight(value);
            }
            // What the reference command cannot carry is not taken: the settings read back
            // would hold what no configuration file loads.
            if (fits)
                *targets[k] = value;
            else
                platform::Trace("Tessaray_PC: reported reference value %s not taken\n", f.Text());
        }
        return true;
    }
    if (command == 6) {
        if (!f.Next()) return false;
        if (Is(f.Text(), "FAILED")) {
            g_bRTKRefInvalid.store(1);
            return false;
        }
        if (!f.Next()) return false;
        if (Is(f.Text(), "Unknown Command \"6\"")) {
            rxPort->eCurDfxPort = DFX_NONE;
            return false;
        }
        const int mask = CNMEA::iACIItoHex(f.Text());
        if (mask & 4)
            rxPort->eCurDfxPort = DFX_PORTC;
        else if (mask & 2)
            rxPort->eCurDfxPort = DFX_PORTB;
        else if (mask & 1)
            rxPort->eCurDfxPort = DFX_PORTA;
        return true;
    }
    return false;
}

bool CLBNDNMEA::bJDIFF(char* field, char* sentence, int32_t* source) {
    NMEAFields f(field, sentence);
    if (!f.Skip(2)) return false;
    const char* t = f.Text();
    if (Is(t, "WAAS"))
        *source = CORR_SBAS;
    else if (Is(t, "LBAND"))
        *source = CORR_LBND;
    else if (Is(t, "BEACON"))
        *source = CORR_BEACON;
    else if (Contains(t, "THIS")) {
        *source = CORR_EXTERNAL;
        bExtThisPort.store(1);
    } else if (Contains(t, "OTHER")) {
        *source = CORR_EXTERNAL;
        bExtThisPort.store(0);
    } else if (Is(t, "NONE"))
        *source = CORR_NONE;
    else if (Is(t, "AUTO"))
        *source = CORR_XREF;
    else if (Contains(t, "SUBSEA7"))
        *source = CORR_SUBSEA7;
    else if (Contains(t, "RTKBAS"))
        *source = CORR_TSPAN_BASE;
    else if (Contains(t, "RTK"))
        *source = CORR_TSPAN_BASE;
    else if (Contains(t, "LOCDIF"))
        *source = CORR_TSPAN_ROVER;
    else
        return false;
    return true;
}

bool CLBNDNMEA::bJAPP(char* field, char* sentence, int32_t* app, int32_t* otherApp) {
    NMEAFields f(field, sentence);
    if (!f.Skip(2)) return false;
    AppNameToCode(app, f.Text());
    if (f.Next()) AppNameToCode(otherApp, f.Text());
    return true;
}

bool CLBNDNMEA::bJBAUD(char* field, char* sentence, int32_t* baud) {
    NMEAFields f(field, sentence);
    if (!f.Skip(2)) return false;
    TakeBaud(*baud, platform::AtoI(f.Text()));
    return true;
}

namespace {

// Where an "ASC" item's message keeps its rate: the word of this port, and the spare word of
// RxPortConfig that holds the other port's rate.
struct AscMessage {
    const char* name;
    int32_t PortConfig::*word;
    int otherSpare;
};

const AscMessage kAscMessages[] = {
    {"GPGGA", &PortConfig::eGGA, RXSPARE_OTHER_GGA + 0},
    {"GPGLL", &PortConfig::eGLL, RXSPARE_OTHER_GGA + 1},
    {"GPGSA", &PortConfig::eGSA, RXSPARE_OTHER_GGA + 2},
    {"GPGST", &PortConfig::eGST, RXSPARE_OTHER_GGA + 3},
    {"GPGSV", &PortConfig::eGSV, RXSPARE_OTHER_GGA + 4},
    {"GPRMC", &PortConfig::eRMC, RXSPARE_OTHER_GGA + 5},
    {"GPRRE", &PortConfig::eRRE, RXSPARE_OTHER_GGA + 6},
    {"GPVTG", &PortConfig::eVTG, RXSPARE_OTHER_GGA + 7},
    {"GPZDA", &PortConfig::eZDA, RXSPARE_OTHER_GGA + 8},
    {"HEHDT", &PortConfig::eHEHDT, RXSPARE_OTHER_HEHDT},
    {"GPHDT", &PortConfig::eHEHDT, RXSPARE_OTHER_HEHDT},
    {"HEROT", &PortConfig::eHEROT, RXSPARE_OTHER_HEROT},
    {"GPROT", &PortConfig::eHEROT, RXSPARE_OTHER_HEROT},
    {"PHPR", &PortConfig::eHPR, RXSPARE_OTHER_HPR},
};

constexpr int kOtherBin95 = RXSPARE_OTHER_GGA + 9;
constexpr int kOtherBin96 = RXSPARE_OTHER_GGA + 10;

bool ShowAsc(NMEAFields& f, GPSInfo& rec) {
    RecordLock hold(rec.RxPortConfig.ulLastWord);
    PortConfig& port = rec.RxPortConfig;
    if (!f.Next()) return false;  // 2: message
    if (Is(f.Text(), "BEAC") || Is(f.Text(), "RTCM")) {
        port.bRTCM = 1;
        return true;
    }
    const bool dfx = Is(f.Text(), "DFX");
    int32_t* thisWord = &port.iSpare[RXSPARE_UNUSED];
    int32_t* otherWord = &port.iSpare[RXSPARE_UNUSED];
    for (const AscMessage& m : kAscMessages) {
        if (Is(f.Text(), m.name)) {
            thisWord = &(port.*m.word);
            otherWord = &port.iSpare[m.otherSpare];
            break;
        }
    }
    if (!f.Next()) return false;  // 3: rate in Hz
    const bool dfxOn = dfx && f.Text()[0] != '\0' && f.Text()[0] != '0';
    int32_t code = RATE_OFF;
    if (!f.Empty()) code = RateToRateCode(CNMEA::fACIItoFloat(f.Text()));

    if (f.Next()) {  // 4: port word
        static const char* const kPorts[] = {"PORTA", "PORTB", "PORTC"};
        for (int k = 0; k < 3; ++k) {
            if (Is(f.Text(), kPorts[k])) {
                if (dfxOn) port.eCurDfxPort = k + 1;
                return false;
            }
        }
        if (Is(f.Text(), "OTHER")) {
            *otherWord = code;
            return true;
        }
    }
    *thisWord = code;
    return true;
}

bool ShowBin(NMEAFields& f, GPSInfo& rec) {
    RecordLock hold(rec.RxPortConfig.ulLastWord);
    PortConfig& port = rec.RxPortConfig;
    if (!f.Next()) return false;
    const int message = platform::AtoI(f.Text());
    if (message != 95 && message != 96) return false;
    if (!f.Next()) return false;
    const int32_t code = RateToRateCode(CNMEA::fACIItoFloat(f.Text()));
    const bool other = f.Next() && Is(f.Text(), "OTHER");
    int32_t* word = message == 95 ? (other ? &port.iSpare[kOtherBin95] : &port.eBIN95)
                                  : (other ? &port.iSpare[kOtherBin96] : &port.eBIN96);
    *word = code;
    return true;
}

}  // namespace

bool CLBNDNMEA::bJSHOW(char* field, char* sentence, GPSInfo* rec) {
    NMEAFields f(field, sentence);
    if (!f.Skip(2)) return false;
    const std::string item = f.Text();
    if (item == "ASC") return ShowAsc(f, *rec);
    if (item == "BIN") return ShowBin(f, *rec);
    if (item == "MASK" || item == "AGE") {
        RecordLock hold(rec->ulPart1Lock);
        if (!f.Next()) return false;
        (item == "MASK" ? rec->iRxElevation : rec->iRxMaxAge) = platform::AtoI(f.Text());
        return true;
    }
    if (item == "BAUD") {
        RecordLock hold(rec->ulPart1Lock);
        if (!f.Next()) return false;
        const int baud = platform::AtoI(f.Text());
        const bool portWord = f.Next();
        if (portWord && Is(f.Text(), "PORTC")) return true;
        int32_t& target =
            portWord && Is(f.Text(), "OTHER") ? rec->iRxRTCMBaudRate : rec->iRxNMEABaudRate;
        TakeBaud(target, baud);
        return true;
    }
    if (item == "FREQ") {
        RecordLock hold(rec->LBand.ulLBandLock);
        if (!f.Next()) return false;
        rec->LBand.bFreqAuto = CNMEA::dACIItoDouble(f.Text()) == 0.0 ? 1 : 0;
        return true;
    }
    return true;
}
