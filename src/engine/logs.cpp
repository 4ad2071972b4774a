#include "engine/logs.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "platform/notify.h"
#include "platform/textfile.h"
#include "platform/trace.h"

namespace {

struct LogInfo {
    uint32_t bit;
    eLogFile name;
    std::atomic<int> AppShared::*running;
    const char* label;
};

constexpr LogInfo kLogs[CLogs::kLogCount] = {
    {LOG_NMEA, LOGFILE_NMEA, &AppShared::bNMEALogOn, "NMEA log"},
    {LOG_POINT_SENTENCES, LOGFILE_POINT, &AppShared::bPointSentenceLogOn, "point log"},
    {LOG_RAW, LOGFILE_RAW, &AppShared::bRawLogOn, "raw data log"},
    {LOG_BIN, LOGFILE_BIN, &AppShared::bBinLogOn, "binary log"},
};

struct NmeaGate {
    const char* header;
    int32_t PortConfig::*rate;
};

constexpr NmeaGate kNmeaGates[] = {
    {"$GPGGA,", &PortConfig::eGGA},   {"$GPGLL,", &PortConfig::eGLL},
    {"$GPGSA,", &PortConfig::eGSA},   {"$GPGST,", &PortConfig::eGST},
    {"$GPGSV,", &PortConfig::eGSV},   {"$GPRMC,", &PortConfig::eRMC},
    {"$GPRRE,", &PortConfig::eRRE},   {"$GPVTG,", &PortConfig::eVTG},
    {"$GPZDA,", &PortConfig::eZDA},   {"$HEHDT,", &PortConfig::eHEHDT},
    {"$GPHDT,", &PortConfig::eHEHDT}, {"$HEROT,", &PortConfig::eHEROT},
    {"$GPROT,", &PortConfig::eHEROT}, {"$PZLT,HPR,", &PortConfig::eHPR},
};

struct BinGate {
    int id;
    int32_t BINLogRateInfo::*rate;
};

constexpr BinGate kBinGates[] = {
    {1, &BINLogRateInfo::eBIN1},   {2, &BINLogRateInfo::eBIN2},   {80, &BINLogRateInfo::eBIN80},
    {95, &BINLogRateInfo::eBIN95}, {96, &BINLogRateInfo::eBIN96}, {97, &BINLogRateInfo::eBIN97},
    {98, &BINLogRateInfo::eBIN98}, {99, &BINLogRateInfo::eBIN99},
};

bool StartsWith(const char* frame, size_t len, const char* header) {
    const size_t n = std::strlen(header);
    return len >= n && std::memcmp(frame, header, n) == 0;
}

// The screens write the settings on their own thread; read each word whole.
int32_t RateWord(int32_t& word) {
    return std::atomic_ref<int32_t>(word).load(std::memory_order_relaxed);
}

int BinId(const char* frame, size_t len) {
    if (!StartsWith(frame, len, "$BIN") || len < 5) return -1;
    return static_cast<uint8_t>(frame[4]);
}

// The leading integer at frame[pos], as atoi would read it; 0 when there is none.
int IntAt(const char* frame, size_t len, size_t pos) {
    while (pos < len && frame[pos] == ' ') ++pos;
    bool negative = false;
    if (pos < len && (frame[pos] == '-' || frame[pos] == '+')) negative = frame[pos++] == '-';
    int value = 0;
    while (pos < len && frame[pos] >= '0' && frame[pos] <= '9' && value < 100000)
        value = value * 10 + (frame[pos++] - '0');
    return negative ? -value : value;
}

}  // namespace

CLogs::CLogs(GPSInfo& rec, AppShared* app) : rec_(rec), app_(app) {
    ResetGsv();
}

CLogs::~CLogs() {
    CloseAll();
}

AppShared& CLogs::app() const {
    return app_ != nullptr ? *app_ : App();
}

void CLogs::CloseAll() {
    for (int i = 0; i < kLogCount; ++i) {
        Close(static_cast<Log>(i));
        files_[i].state = CLOSED;
    }
}

void CLogs::Close(Log log) {
    File& f = files_[log];
    if (f.fd >= 0) ::close(f.fd);
    f.fd = -1;
}

// A screen that names a file (also when it starts a log again) raises the generation; any
// open log then continues on the name it has now.
void CLogs::CheckNames() {
    const uint32_t generation = app().LogFileGeneration();
    if (generation == generation_) return;
    generation_ = generation;
    for (int i = 0; i < kLogCount; ++i) {
        if (files_[i].state != OPEN) continue;
        Close(static_cast<Log>(i));
        files_[i].state = TO_OPEN;
    }
}

void CLogs::LogFrame(const char* frame, size_t len, uint32_t logFlags) {
    if (frame == nullptr) return;
    CheckNames();
    for (int i = 0; i < kLogCount; ++i) {
        const Log log = static_cast<Log>(i);
        File& f = files_[i];
        if ((logFlags & kLogs[i].bit) == 0) {
            Close(log);
            f.state = CLOSED;
            continue;
        }
        if (f.state == CLOSED) f.state = TO_OPEN;
        switch (log) {
            case NMEA:
                bLogNMEA(frame, len);
                break;
            case POINT:
                bLogPointSentences(frame, len);
                break;
            case RAW:
                bLogRaw(frame, len);
                break;
            case BIN:
                bLogBinary(frame, len);
                break;
            default:
                break;
        }
    }
}

bool CLogs::Ensure(Log log) {
    File& f = files_[log];
    if (f.state == OPEN && f.fd >= 0) return true;
    if (f.state != TO_OPEN) return false;
    f.path = app().GetLogFile(kLogs[log].name);
    // Append mode: a file emptied by a screen meanwhile gets no hole, an existing one grows.
    // Never blocks on a pipe given as a log name: that would hold the reader thread.
    std::string reason;
    const int fd = platform::OpenRegularFileForWrite(f.path, true, &reason);
    if (fd < 0) {
        Stop(log, "open", reason);
        return false;
    }
    f.fd = fd;
    f.state = OPEN;
    return true;
}

bool CLogs::Append(Log log, const char* data, size_t len) {
    if (!Ensure(log)) return false;
    File& f = files_[log];
    while (len > 0) {
        const ssize_t n = ::write(f.fd, data, len);
        if (n < 0) {
            if (errno == EINTR) continue;
            Stop(log, "write", std::error_code(errno, std::generic_category()).message());
            return false;
        }
        data += n;
        len -= static_cast<size_t>(n);
    }
    return true;
}

// The log ends here instead of failing on every frame; the user hears of it once.
void CLogs::Stop(Log log, const char* action, const std::string& reason) {
    const LogInfo& info = kLogs[log];
    const std::string path = files_[log].path;
    Close(log);
    files_[log].state = CLOSED;
    app().wLogFlags.fetch_and(~info.bit);
    (app().*info.running).store(0);
    // As after Stop on the binary log screen: the link probe asks for message 1 at its usual
    // rate again.
    if (log == BIN) app().iBin1Rate.store(1);
    platform::Trace("Tessaray_PC: CLogs: cannot %s %s \"%s\": %s\n", action, info.label,
                    path.c_str(), reason.c_str());
    platform::Notify("Cannot " + std::string(action) + " the " + info.label + " file \"" + path +
                     "\": " + reason + ". The log was stopped.");
}

bool CLogs::bLogNMEA(const char* frame, size_t len) {
    PortConfig& gates = rec_.Settings.NMEALogConfig;
    for (const NmeaGate& g : kNmeaGates) {
        if (!StartsWith(frame, len, g.header)) continue;
        if (RateWord(gates.*g.rate) == 0) return false;
        return Append(NMEA, frame, len);
    }
    return false;
}

bool CLogs::bLogRaw(const char* frame, size_t len) {
    PortConfig& gates = rec_.Settings.NMEALogConfig;
    const int id = BinId(frame, len);
    bool pass = false;
    if (id == 93 || id == 95) pass = RateWord(gates.eBIN95) != 0;
    if (id == 94 || id == 96) pass = RateWord(gates.eBIN96) != 0;
    return pass && Append(RAW, frame, len);
}

bool CLogs::bLogBinary(const char* frame, size_t len) {
    BINLogRateInfo& gates = rec_.Settings.BinLogRates;
    if (StartsWith(frame, len, "$RD1,")) return RateWord(gates.eD1) != 0 && Append(BIN, frame, len);
    const int id = BinId(frame, len);
    for (const BinGate& g : kBinGates) {
        if (g.id == id) return RateWord(gates.*g.rate) != 0 && Append(BIN, frame, len);
    }
    return false;
}

void CLogs::ResetGsv() {
    gsvCount_ = 0;
    std::memset(gsv_, 0, sizeof gsv_);
    std::memset(gsvLength_, 0, sizeof gsvLength_);
}

// One part of a point (its GGA sentence or its GSV set) is on file; once both are, the
// point log switches itself off.
void CLogs::EndPointPart(bool gga) {
    AppShared& a = app();
    std::atomic<int>& mine = gga ? a.bPointGGAPending : a.bPointGSVPending;
    std::atomic<int>& other = gga ? a.bPointGSVPending : a.bPointGGAPending;
    mine.store(0);
    if (other.load() == 0) {
        a.bPointSentenceLogOn.store(0);
        a.wLogFlags.fetch_and(~static_cast<uint32_t>(LOG_POINT_SENTENCES));
    }
}

bool CLogs::bLogPointSentences(const char* frame, size_t len) {
    const bool gga = StartsWith(frame, len, "$GPGGA,");
    const bool gsv = StartsWith(frame, len, "$GPGSV,");
    if (!gga && !gsv) return false;
    if (!Ensure(POINT)) return false;
    AppShared& a = app();

    if (gga) {
        if (a.bPointGGAPending.load() == 0) return false;
        if (!Append(POINT, frame, len)) return false;
        EndPointPart(true);
        return true;
    }

    if (a.bPointGSVPending.load() == 0) return false;
    const int total = IntAt(frame, len, 7);
    const int number = IntAt(frame, len, 9);
    if (total < 1 || total > static_cast<int>(kGsvMessages)) return false;
    if (number != static_cast<int>(gsvCount_) + 1) {
        // Out of order: start again, at this sentence when it opens a set.
        ResetGsv();
        if (number != 1) return false;
    }
    gsvCount_ = static_cast<size_t>(number);
    const size_t keep = len < kGsvBufferSize - 1 ? len : kGsvBufferSize - 1;
    std::memcpy(gsv_[number - 1], frame, keep);
    gsv_[number - 1][keep] = '\0';
    gsvLength_[number - 1] = keep;
    if (gsvCount_ < static_cast<size_t>(total)) return false;

    bool ok = true;
    for (size_t i = 0; i < gsvCount_ && ok; ++i) ok = Append(POINT, gsv_[i], gsvLength_[i]);
    ResetGsv();
    if (!ok) return false;
    EndPointPart(false);
    return true;
}
