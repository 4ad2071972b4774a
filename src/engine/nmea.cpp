#include "engine/nmea.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <exception>
#include <string>

#include "platform/clock.h"
#include "platform/notify.h"
#include "platform/numbers.h"
#include "platform/trace.h"

CNMEA g_NMEA;
std::atomic<uint32_t> g_ulDiffReplies{0};
std::atomic<uint32_t> g_ulJIReplies{0};
std::atomic<uint32_t> g_ulJRTKPositionReplies{0};

namespace {

std::atomic<long> g_sentences{0};
std::atomic<long> g_comparisons{0};

void ReportError(const char* text, const char* what) {
    platform::Trace("%s %s\n", text, what);
    platform::Notify(text);
}

bool StartsWith(const char* text, const char* prefix) {
    return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// The checksum test of a sentence with "*": the hexadecimal number after the first "*"
// against the XOR of the bytes between "$" and "*".
bool ChecksumMatches(const char* sentence, const char* star) {
    const char* p = star + 1;
    uint32_t value = 0;
    int digits = 0;
    for (; std::isxdigit(static_cast<unsigned char>(*p)); ++p, ++digits) {
        if (value <= 0xFFFFFFu)
            value = value * 16 + static_cast<uint32_t>(CNMEA::iHexDigit(*p));
        else
            value = 0xFFFFFFFFu;  // far too many digits: cannot match
    }
    if (digits == 0) return false;
    return value == static_cast<uint32_t>(CNMEA::iCalcChecksum(sentence));
}

using LockWordOf = uint32_t* (*)(GPSInfo&);
using Decode = bool (*)(CNMEA&, GPSInfo&, char* field, char* sentence);

struct Route {
    const char* header;
    LockWordOf lock;    // null: no lock
    const char* error;  // the text traced and noticed when the decoder throws
    Decode decode;
};

uint32_t* NavLock(GPSInfo& r) {
    return &r.Nav.ulNavLock;
}
uint32_t* SatViewLock(GPSInfo& r) {
    return &r.SatView.ulSatViewLock;
}
uint32_t* LBandLock(GPSInfo& r) {
    return &r.LBand.ulLBandLock;
}
uint32_t* RxPortLock(GPSInfo& r) {
    return &r.RxPortConfig.ulLastWord;
}
uint32_t* JRADLock(GPSInfo& r) {
    return &r.JRAD.ulJRADLock;
}
uint32_t* BeaconLock(GPSInfo& r) {
    return &r.Beacon.ulBeaconLock;
}

bool RunRoute(const Route& route, CNMEA& nmea, GPSInfo& rec, char* field, char* sentence) {
    uint32_t* word = route.lock ? route.lock(rec) : nullptr;
    if (word) CGPS::Lock(word);
    bool result = false;
    try {
        result = route.decode(nmea, rec, field, sentence);
    } catch (const std::exception& e) {
        ReportError(route.error, e.what());
        result = false;
    }
    if (word) CGPS::Unlock(word);
    return result;
}

#define STD_ERR(name) "Tessaray_PC: Error Occured on CSTDNMEA::" name
#define LBND_ERR(name) "Tessaray_PC: Error Occured on CLBNDNMEA::" name
#define PKRV_ERR(name) "Tessaray_PC: Error Occured on CPKRVNMEA::" name

// Heading and attitude sentences and the replies to the attitude queries.
bool GetAid(CNMEA& n, GPSInfo& r, char* f, char* s) {
    return n.StdNMEA.bGETAID(f, s, &r.Nav);
}
bool GetTau(CNMEA& n, GPSInfo& r, char* f, char* s) {
    return n.StdNMEA.bGETTAUPARA(f, s, &r.Nav);
}

const std::array kAttitudeRoutes = {
    Route{"$HEHDT,", NavLock, STD_ERR("bHEHDT"),
          [](CNMEA& n, GPSInfo& r, char* f, char* s) { return n.StdNMEA.bHEHDT(f, s, &r.Nav); }},
    Route{"$HEROT,", NavLock, STD_ERR("bHEROT"),
          [](CNMEA& n, GPSInfo& r, char* f, char* s) { return n.StdNMEA.bHEROT(f, s, &r.Nav); }},
    Route{"$PZLT,HPR,", NavLock, STD_ERR("bHEHPR"),
          [](CNMEA& n, GPSInfo& r, char* f, char* s) { return n.StdNMEA.bHEHPR(f, s, &r.Nav); }},
    Route{"$>JATT,ROLL,", NavLock, STD_ERR("bGETROLL"),
          [](CNMEA& n, GPSInfo& r, char* f, char* s) { return n.StdNMEA.bGETROLL(f, s, &r.Nav); }},
    Route{"$>JATT,TILTAID,", NavLock, STD_ERR("bGETAID"), GetAid},
    Route{"$>JATT,GYROAID,", NavLock, STD_ERR("bGETAID"), GetAid},
    Route{"$>JATT,MAGAID,", NavLock, STD_ERR("bGETAID"), GetAid},
    Route{"$>JATT,LEVEL,", NavLock, STD_ERR("bGETAID"), GetAid},
    Route{"$>JATT,FLIPBRD,", NavLock, STD_ERR("bGETAID"), GetAid},
    Route{"$>JATT,NEGTILT,", NavLock, STD_ERR("bGETAID"), GetAid},
    Route{"$>JATT,HTAU,", NavLock, STD_ERR("bGETTAUPARA"), GetTau},
    Route{"$>JATT,HRTAU,", NavLock, STD_ERR("bGETTAUPARA"), GetTau},
    Route{"$>JATT,COGTAU,", NavLock, STD_ERR("bGETTAUPARA"), GetTau},
    Route{"$>JATT,SPDTAU,", NavLock, STD_ERR("bGETTAUPARA"), GetTau},
    Route{"$>JATT,HBIAS,", NavLock, STD_ERR("bGETTAUPARA"), GetTau},
    Route{"$>JATT,PBIAS,", NavLock, STD_ERR("bGETTAUPARA"), GetTau},
    Route{"$>JATT,MSEP,", NavLock, STD_ERR("bGETTAUPARA"), GetTau},
    Route{"$>JATT,CSEP,", NavLock, STD_ERR("bGETTAUPARA"), GetTau},
};

const Route kRD1Route{
    "$RD1,", LBandLock, LBND_ERR("bRD1"),
    [](CNMEA& n, GPSInfo& r, char* f, char* s) { return n.LBndNMEA.bRD1(f, s, &r.LBand); }};

// The x-Ref rows set a flag by the reply's start and give 0.
bool JRadRow(const char* sentence, const char* prefix, uint32_t* flag, uint32_t whenPrefix) {
    *flag = StartsWith(sentence, prefix) ? whenPrefix : 1 - whenPrefix;
    return false;
}

// Replies to queries ("$>").
const std::array kReplyRoutes = {
    Route{"$>JSHOW,", nullptr, LBND_ERR("bJSHOW"),
          [](CNMEA& n, GPSInfo& r, char* f, char* s) { return n.LBndNMEA.bJSHOW(f, s, &r); }},
    // A failed or short reply is an answer too: these count every reply, after its fields.
    Route{"$>JI,", LBandLock, LBND_ERR("bJI"),
          [](CNMEA& n, GPSInfo& r, char* f, char* s) {
              const bool ok = n.LBndNMEA.bJI(f, s, &r.LBand);
              g_ulJIReplies.fetch_add(1);
              return ok;
          }},
    Route{"$>JRTK,", RxPortLock, LBND_ERR("bJRTK"),
          [](CNMEA& n, GPSInfo& r, char* f, char* s) {
              const bool ok = n.LBndNMEA.bJRTK(f, s, &r.RxPortConfig);
              if (ok && StartsWith(s, "$>JRTK,1,")) g_ulJRTKPositionReplies.fetch_add(1);
              return ok;
          }},
    Route{"$>JGEO,", LBandLock, LBND_ERR("bJGEO"),
          [](CNMEA& n, GPSInfo& r, char* f, char* s) { return n.LBndNMEA.bJGEO(f, s, &r.LBand); }},
    Route{"$>JOMS,", LBandLock, LBND_ERR("bJOMS"),
          [](CNMEA& n, GPSInfo& r, char* f, char* s) { return n.LBndNMEA.bJOMS(f, s, &r.LBand); }},
    Route{"$>JDIFF,", LBandLock, LBND_ERR("bJDIFF"),
          [](CNMEA& n, GPSInfo& r, char* f, char* s) {
              int32_t code = 0;
              const bool ok = n.LBndNMEA.bJDIFF(f, s, &code);
              // The t-Span applications report their own differential source.
              if (r.eRxApp == CORR_TSPAN_BASE)
                  r.eCurCorrSource = CORR_TSPAN_BASE;
              else if (r.eRxApp == CORR_TSPAN_ROVER)
                  r.eCurCorrSource = CORR_TSPAN_ROVER;
              else if (ok)
                  r.eCurCorrSource = code;
              else
                  return ok;
              g_ulDiffReplies.fetch_add(1);
              return ok;
          }},
    Route{"$> JBAUD,", LBandLock, LBND_ERR("bJBAUD"),
          [](CNMEA& n, GPSInfo& r, char* f, char* s) {
              return n.LBndNMEA.bJBAUD(f, s, &r.iRxRTCMBaudRate);
          }},
    Route{"$>JAPP,", LBandLock, LBND_ERR("bJAPP"),
          [](CNMEA& n, GPSInfo& r, char* f, char* s) {
              return n.LBndNMEA.bJAPP(f, s, &r.eRxApp, &r.eRxOtherApp);
          }},
    Route{"$>JRAD,1,", JRADLock, LBND_ERR("bJRAD"),
          [](CNMEA&, GPSInfo& r, char*, char* s) {
              return JRadRow(s, "$>JRAD,1,FAILED,Not Subscribed for AUTODIFF",
                             &r.JRAD.bXRefSubscribed, 0);
          }},
    Route{"$>JRAD,2,", JRADLock, LBND_ERR("bJRAD"),
          [](CNMEA&, GPSInfo& r, char*, char* s) {
              return JRadRow(s, "$>JRAD,2,OK", &r.JRAD.bXRefReady, 1);
          }},
    Route{"$>JRAD,3,", JRADLock, LBND_ERR("bJRAD"),
          [](CNMEA&, GPSInfo& r, char*, char* s) {
              return JRadRow(s, "$>JRAD,3,OK", &r.JRAD.bXRefReady, 1);
          }},
};

// Standard "$GP" sentences; the result is 1 whatever the decoder says.
const std::array kGPRoutes = {
    Route{"$GPGGA,", NavLock, STD_ERR("bGPGGA"),
          [](CNMEA& n, GPSInfo& r, char* f, char* s) { return n.StdNMEA.bGPGGA(f, s, &r.Nav); }},
    Route{"$GPVTG,", NavLock, STD_ERR("bGPVTG"),
          [](CNMEA& n, GPSInfo& r, char* f, char* s) { return n.StdNMEA.bGPVTG(f, s, &r.Nav); }},
    Route{
        "$GPGSV,", SatViewLock, STD_ERR("bGPGSV"),
        [](CNMEA& n, GPSInfo& r, char* f, char* s) { return n.StdNMEA.bGPGSV(f, s, &r.SatView); }},
    Route{"$GPGST,", NavLock, STD_ERR("bGPGST"),
          [](CNMEA& n, GPSInfo& r, char* f, char* s) { return n.StdNMEA.bGPGST(f, s, &r.Nav); }},
    Route{"$GPHDT,", NavLock, STD_ERR("bHEHDT"),
          [](CNMEA& n, GPSInfo& r, char* f, char* s) { return n.StdNMEA.bHEHDT(f, s, &r.Nav); }},
    Route{"$GPROT,", NavLock, STD_ERR("bHEROT"),
          [](CNMEA& n, GPSInfo& r, char* f, char* s) { return n.StdNMEA.bHEROT(f, s, &r.Nav); }},
};

// The proprietary family. Rows marked exact compare the whole sentence.
enum class PkrvResult { Decoder, One, Zero };

struct PkrvRoute {
    Route route;
    bool exact;
    PkrvResult result;
    bool saveOnSuccess;  // BAUD: the profile archive keeps the new rate
};

uint32_t* Part1Lock(GPSInfo& r) {
    return &r.ulPart1Lock;
}

const std::array kPkrvRoutes = {
    PkrvRoute{Route{"$>PKRV,Version", BeaconLock, PKRV_ERR("bVersion"),
                    [](CNMEA& n, GPSInfo& r, char* f, char* s) {
                        return n.PkrvNMEA.bVersion(f, s, &r.Beacon);
                    }},
              false, PkrvResult::One, false},
    PkrvRoute{Route{"$PKRV,HELP\r\n", nullptr, PKRV_ERR("bHELP"),
                    [](CNMEA& n, GPSInfo&, char*, char*) { return n.PkrvNMEA.bHELP(); }},
              false, PkrvResult::One, false},
    PkrvRoute{Route{"$PKRV,BAUD,", Part1Lock, PKRV_ERR("bBAUD"),
                    [](CNMEA& n, GPSInfo& r, char* f, char* s) {
                        return n.PkrvNMEA.bBAUD(f, s, &r.iRxRTCMBaudRate);
                    }},
              false, PkrvResult::Decoder, true},
    PkrvRoute{Route{"$PKRV,8,QERVAD\r\n", nullptr, "",
                    [](CNMEA&, GPSInfo&, char*, char*) { return false; }},
              true, PkrvResult::Zero, false},
    PkrvRoute{Route{"$PKRV,8,QERVAD,FULL\r\n", nullptr, "",
                    [](CNMEA&, GPSInfo&, char*, char*) { return false; }},
              true, PkrvResult::Zero, false},
    PkrvRoute{Route{"$PKRV,CS0,", BeaconLock, PKRV_ERR("bCS0"),
                    [](CNMEA& n, GPSInfo& r, char* f, char* s) {
                        return n.PkrvNMEA.bCS0(f, s, &r.Beacon, &r.Settings.WizardLive);
                    }},
              false, PkrvResult::Decoder, false},
    PkrvRoute{Route{"$PKRV,CS1,", BeaconLock, PKRV_ERR("bCS1"),
                    [](CNMEA& n, GPSInfo& r, char* f, char* s) {
                        return n.PkrvNMEA.bCS1(f, s, &r.Beacon);
                    }},
              false, PkrvResult::Decoder, false},
    PkrvRoute{Route{"$PKRV,STATUS,", nullptr, PKRV_ERR("bSTATUS"),
                    [](CNMEA& n, GPSInfo& r, char* f, char* s) {
                        return n.PkrvNMEA.bSTATUS(f, s, &r.Comm);
                    }},
              false, PkrvResult::Decoder, false},
    PkrvRoute{
        Route{"$PKRV,SETUP,", nullptr, PKRV_ERR("bSETUP"),
              [](CNMEA& n, GPSInfo& r, char* f, char* s) { return n.PkrvNMEA.bSETUP(f, s, &r); }},
        false, PkrvResult::Decoder, false},
};

}  // namespace

// ------------------------------------------------------------------ field core

char* CNMEA::pszGetNMEAfield(char* dest, char* src) {
    if (src == nullptr || *src == '\0') return nullptr;
    if (*src == ',') {
        dest[0] = '\0';
        return src + 1;
    }
    char* end = src + 1;
    while (*end != '\0' && *end != ',' && *end != '\r' && *end != '\n' && *end != '*') ++end;
    const bool atNul = *end == '\0';
    *end = '\0';
    std::memcpy(dest, src, static_cast<std::size_t>(end - src) + 1);
    // After the terminating NUL there is nothing more to split.
    return atNul ? end : end + 1;
}

int CNMEA::iCalcChecksum(const char* sentence) {
    if (sentence == nullptr || *sentence == '\0') return 0;
    unsigned char sum = 0;
    for (const char* p = sentence + 1; *p != '\0' && *p != '*'; ++p)
        sum ^= static_cast<unsigned char>(*p);
    return sum;
}

int CNMEA::iCheckHeader(const char* text, const char* header) {
    return iCheckHeader(text, std::strlen(text), header);
}

int CNMEA::iCheckHeader(const char* text, std::size_t textLength, const char* header) {
    g_comparisons.fetch_add(1, std::memory_order_relaxed);
    const std::size_t n = std::min(textLength, std::strlen(header));
    const int c = std::memcmp(text, header, n);
    return (c > 0) - (c < 0);
}

float CNMEA::fACIItoFloat(const char* field) {
    const double value = platform::AtoF(field);
    // A value beyond the float range is not a finite number for this field.
    if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) return 0.0f;
    return static_cast<float>(value);
}

double CNMEA::dACIItoDouble(const char* field) {
    return platform::AtoF(field);
}

int CNMEA::iHexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

int CNMEA::iACIItoHex(const char* field) {
    uint32_t value = 0;
    for (const char* p = field; *p != '\0'; ++p)
        value = value * 16u + static_cast<uint32_t>(iHexDigit(*p));
    return static_cast<int>(value);
}

long CNMEA::SentenceCount() {
    return g_sentences.load();
}
long CNMEA::ComparisonCount() {
    return g_comparisons.load();
}

// ------------------------------------------------------------------ decoder field view

NMEAFields::NMEAFields(char* fieldBuffer, const char* sentence)
    : buffer_(fieldBuffer), pos_(sentence) {
    buffer_[0] = '\0';
    end_ = sentence;
    while (*end_ != '\0' && *end_ != '*' && *end_ != '\r' && *end_ != '\n') ++end_;
}

bool NMEAFields::Next() {
    if (done_) {
        buffer_[0] = '\0';
        return false;
    }
    const char* comma = pos_;
    while (comma < end_ && *comma != ',') ++comma;
    std::size_t length = static_cast<std::size_t>(comma - pos_);
    if (length > kNMEAFieldSize - 1) length = kNMEAFieldSize - 1;
    std::memcpy(buffer_, pos_, length);
    buffer_[length] = '\0';
    if (comma < end_)
        pos_ = comma + 1;
    else
        done_ = true;
    return true;
}

bool NMEAFields::Skip(int n) {
    for (int k = 0; k < n; ++k)
        if (!Next()) return false;
    return true;
}

void CopyFieldText(char* dest, std::size_t size, const char* text) {
    std::memset(dest, 0, size);
    std::size_t length = std::strlen(text);
    if (length > size - 1) length = size - 1;
    std::memcpy(dest, text, length);
}

// ------------------------------------------------------------------ dispatch

bool CNMEA::bParseNMEA(GPSInfo* rec, char* sentence) {
    if (rec == nullptr || sentence == nullptr) return false;
    const long count = g_sentences.fetch_add(1, std::memory_order_relaxed) + 1;
    if (count % 1000 == 0) {
        const long comparisons = g_comparisons.load(std::memory_order_relaxed);
        platform::Trace("Responses=%ld, comparisons=%ld, compare/response=%f\n", count, comparisons,
                        static_cast<double>(comparisons) / static_cast<double>(count));
    }

    if (const char* star = std::strchr(sentence, '*'); star && !ChecksumMatches(sentence, star)) {
        // CommSettings has no lock word; the count is read by the screens while it grows.
        std::atomic_ref<int32_t>(rec->Comm.iChecksumErrors).fetch_add(1, std::memory_order_relaxed);
        return false;
    }

    const std::size_t length = std::strlen(sentence);
    if (StartsWith(sentence, "$PKRV,") || StartsWith(sentence, "$>PKRV,"))
        return DispatchProprietary(*rec, sentence, length);
    if (std::strstr(sentence, "$GP") == nullptr) return DispatchOther(*rec, sentence, length);
    return DispatchGP(*rec, sentence, length);
}

bool CNMEA::DispatchProprietary(GPSInfo& rec, char* sentence, std::size_t length) {
    for (const PkrvRoute& row : kPkrvRoutes) {
        const bool match = row.exact ? std::strcmp(sentence, row.route.header) == 0
                                     : iCheckHeader(sentence, length, row.route.header) == 0;
        if (!match) continue;
        const bool result = RunRoute(row.route, *this, rec, m_szField, sentence);
        if (row.saveOnSuccess && result) {
            // The pause of a baud change is taken without holding the record.
            if (PkrvNMEA.BaudChanged()) platform::Sleep(250);
            RecordLock hold(rec.ulPart1Lock);
            try {
                PkrvNMEA.SaveArchive();
            } catch (const std::exception& e) {
                ReportError(row.route.error, e.what());
            }
        }
        switch (row.result) {
            case PkrvResult::Decoder:
                return result;
            case PkrvResult::One:
                return true;
            case PkrvResult::Zero:
                return false;
        }
        return false;
    }
    return false;
}

bool CNMEA::DispatchOther(GPSInfo& rec, char* sentence, std::size_t length) {
    for (const Route& route : kAttitudeRoutes)
        if (iCheckHeader(sentence, length, route.header) == 0)
            return RunRoute(route, *this, rec, m_szField, sentence);
    if (!StartsWith(sentence, "$>")) {
        if (iCheckHeader(sentence, length, kRD1Route.header) == 0)
            return RunRoute(kRD1Route, *this, rec, m_szField, sentence);
        // Every sentence of another talker comes here: formatted only for a reader.
        if (platform::TracesWanted()) platform::Trace("Unrecognized response!\n <%s>\n", sentence);
        return false;
    }
    for (const Route& route : kReplyRoutes)
        if (iCheckHeader(sentence, length, route.header) == 0)
            return RunRoute(route, *this, rec, m_szField, sentence);
    return false;
}

bool CNMEA::DispatchGP(GPSInfo& rec, char* sentence, std::size_t length) {
    for (const Route& route : kGPRoutes) {
        if (iCheckHeader(sentence, length, route.header) == 0) {
            RunRoute(route, *this, rec, m_szField, sentence);
            return true;
        }
    }
    return false;
}
