#include "engine/binary.h"

#include <cmath>
#include <cstring>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "platform/trace.h"

namespace {

constexpr int kHeaderSize = 8;
constexpr int kMinData = 8;
constexpr int64_t kSecondsPerWeek = 604800;
constexpr int64_t kSecondsPerDay = 86400;
// 6 January 1980 counted in days from 1 January 1970.
constexpr int64_t kGpsEpochDays = 3657;
// About 31,000 years: beyond it a time of week is noise, and the sums below stay exact.
constexpr double kMaxTimeOfWeek = 1e12;

// Little-endian fields in order from a buffer whose size the caller has checked.
class FieldReader {
public:
    explicit FieldReader(const char* data) : p_(reinterpret_cast<const uint8_t*>(data)) {}

    uint8_t U8() { return p_[pos_++]; }
    uint16_t U16() {
        const uint16_t v = static_cast<uint16_t>(p_[pos_] | (p_[pos_ + 1] << 8));
        pos_ += 2;
        return v;
    }
    uint32_t U32() {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | p_[pos_ + i];
        pos_ += 4;
        return v;
    }
    uint64_t U64() {
        uint64_t v = 0;
        for (int i = 7; i >= 0; --i) v = (v << 8) | p_[pos_ + i];
        pos_ += 8;
        return v;
    }
    float F32() {
        const uint32_t bits = U32();
        float v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    double F64() {
        const uint64_t bits = U64();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }
    void Bytes(uint8_t* out, size_t n) {
        std::memcpy(out, p_ + pos_, n);
        pos_ += n;
    }
    void Skip(size_t n) { pos_ += n; }

private:
    const uint8_t* p_;
    size_t pos_ = 0;
};

uint16_t LengthWord(const char* frame) {
    return FieldReader(frame + 6).U16();
}

int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

// Gregorian date of a day counted from 1 January 1970.
void CivilFromDays(int64_t z, int32_t& year, int32_t& month, int32_t& day) {
    z += 719468;
    const int64_t era = FloorDiv(z, 146097);
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    year = static_cast<int32_t>(y);
    month = static_cast<int32_t>(m);
    day = static_cast<int32_t>(d);
}

// Degrees and minutes of a signed angle; false when it is no angle at all.
bool SplitDegrees(double value, double limit, int32_t& deg, float& fMin, double& dMin) {
    if (!std::isfinite(value) || std::fabs(value) > limit) return false;
    deg = static_cast<int32_t>(std::trunc(value));
    dMin = std::fabs(value - deg) * 60.0;
    fMin = static_cast<float>(dMin);
    return true;
}

struct MessageEntry {
    int id;
    int size;
    bool (CBinary::*decode)(GPSInfo*, const char*);
    const char* name;
};

constexpr MessageEntry kMessages[] = {
    {1, kBin1Size, &CBinary::bBinaryType1, "bBinaryType1"},
    {2, kBin2Size, &CBinary::bBinaryType2, "bBinaryType2"},
    {80, kBin80Size, &CBinary::bBinaryType80, "bBinaryType80"},
    {93, kBin93Size, &CBinary::bBinaryType93, "bBinaryType93"},
    {94, kBin94Size, &CBinary::bBinaryType94, "bBinaryType94"},
    {95, kBin95Size, &CBinary::bBinaryType95, "bBinaryType95"},
    {96, kBin96Size, &CBinary::bBinaryType96, "bBinaryType96"},
    {97, kBin97Size, &CBinary::bBinaryType97, "bBinaryType97"},
    {98, kBin98Size, &CBinary::bBinaryType98, "bBinaryType98"},
    {99, kBin99Size, &CBinary::bBinaryType99, "bBinaryType99"},
};

}  // namespace

bool GpsTimeToCalendar(int64_t week, double timeOfWeek, GpsCalendar& cal) {
    if (!std::isfinite(timeOfWeek) || std::fabs(timeOfWeek) > kMaxTimeOfWeek) return false;
    const double weeks = std::floor(timeOfWeek / static_cast<double>(kSecondsPerWeek));
    double tow = timeOfWeek - weeks * static_cast<double>(kSecondsPerWeek);
    week += static_cast<int64_t>(weeks);
    if (tow < 0.0) tow = 0.0;
    const double whole = std::floor(tow);
    const double fraction = tow - whole;
    const int64_t total = week * kSecondsPerWeek + static_cast<int64_t>(whole);
    const int64_t days = FloorDiv(total, kSecondsPerDay);
    const int64_t rest = total - days * kSecondsPerDay;

    CivilFromDays(days + kGpsEpochDays, cal.iYear, cal.iMonth, cal.iDay);
    cal.iHour = static_cast<int32_t>(rest / 3600);
    cal.iMinute = static_cast<int32_t>(rest % 3600 / 60);
    cal.iSecond = static_cast<int32_t>(rest % 60);
    cal.fSecond = static_cast<float>(static_cast<double>(cal.iSecond) + fraction);
    return true;
}

AppShared& CBinary::app() const {
    return app_ != nullptr ? *app_ : App();
}

bool CBinary::iCalcChecksum(const char* frame, int length) {
    if (frame == nullptr || length < kHeaderSize + 4) return false;
    const int n = LengthWord(frame);
    if (length != n + kHeaderSize + 4) return false;
    const auto* data = reinterpret_cast<const uint8_t*>(frame + kHeaderSize);
    uint16_t sum = 0;
    for (int i = 0; i < n; ++i) sum = static_cast<uint16_t>(sum + data[i]);
    const uint16_t stated = FieldReader(frame + kHeaderSize + n).U16();
    return sum == stated && frame[length - 2] == '\r' && frame[length - 1] == '\n';
}

bool CBinary::bParseBINARY(GPSInfo* rec, const char* frame, int length) {
    if (rec == nullptr || frame == nullptr || length < kHeaderSize + kMinData + 4) return false;
    if (std::memcmp(frame, "$BIN", 4) != 0) return false;
    const int n = LengthWord(frame);
    if (n < kMinData || length != n + kHeaderSize + 4) return false;
    if (!iCalcChecksum(frame, length)) return false;

    const int id = static_cast<uint8_t>(frame[4]);
    for (const MessageEntry& m : kMessages) {
        if (m.id != id) continue;
        if (n < m.size) {
            // Accepted so the reader thread moves on, but never read past its data.
            platform::Trace("Tessaray_PC: CBinary::%s: %d data bytes, %d expected\n", m.name, n,
                            m.size);
            return true;
        }
        bool ok;
        {
            RecordLock lock(rec->Nav.ulNavLock);
            ok = (this->*m.decode)(rec, frame);
        }
        if (id == 1) app().bBin1Position.store(1);
        return ok;
    }
    return true;
}

bool CBinary::bBinaryType1(GPSInfo* rec, const char* frame) {
    FieldReader r(frame + kHeaderSize);
    Bin1Data& b = rec->Binary.Bin1;
    NavInfo& nav = rec->Nav;

    b.ucAgeOfDiff = r.U8();
    b.ucNumOfSats = r.U8();
    b.usGPSWeek = r.U16();
    const double tow = r.F64();
    b.dLatitude = r.F64();
    b.dLongitude = r.F64();
    b.fHeight = r.F32();
    b.fVNorth = r.F32();
    b.fVEast = r.F32();
    b.fVUp = r.F32();
    b.fStdDevResid = r.F32();
    b.usNavMode = r.U16();
    b.usExtendedAge = r.U16();

    nav.fDiffAge = static_cast<float>(b.ucAgeOfDiff);
    nav.iSatsUsed = b.ucNumOfSats;
    nav.usGPSWeek = b.usGPSWeek;

    // A time of week that is no number would stop the calendar and the history rings.
    GpsCalendar utc;
    if (GpsTimeToCalendar(b.usGPSWeek, tow, utc)) {
        b.dGPSTimeOfWeek = tow;
        nav.dTimeOfWeek = tow;
        nav.iYear = utc.iYear;
        nav.iMonth = utc.iMonth;
        nav.iDay = utc.iDay;
        nav.iHour = utc.iHour;
        nav.iMinute = utc.iMinute;
        nav.fSecond = utc.fSecond;
        nav.iSecond = utc.iSecond;

        double offsetHours;
        {
            RecordLock part1(rec->ulPart1Lock);
            offsetHours = rec->fLocalTimeOffset;
        }
        GpsCalendar local;
        if (GpsTimeToCalendar(b.usGPSWeek, tow + offsetHours * 3600.0, local)) {
            nav.iLocalYear = local.iYear;
            nav.iLocalMonth = local.iMonth;
            nav.iLocalDay = local.iDay;
            nav.iLocalHour = local.iHour;
            nav.iLocalMinute = local.iMinute;
            nav.fLocalSecond = local.fSecond;
            nav.iLocalSecond = local.iSecond;
        }
    } else {
        platform::Trace("Tessaray_PC: CBinary::bBinaryType1: time of week is not a number\n");
    }

    // The letters follow the sign, so a position within a degree south of the equator or
    // west of the prime meridian keeps its hemisphere.
    if (SplitDegrees(b.dLatitude, 90.0, nav.iLatDeg, nav.fLatMin, nav.dLatMin))
        nav.cLatDir = b.dLatitude < 0.0 ? 'S' : 'N';
    if (SplitDegrees(b.dLongitude, 180.0, nav.iLonDeg, nav.fLonMin, nav.dLonMin))
        nav.cLonDir = b.dLongitude < 0.0 ? 'W' : 'E';

    if (std::isfinite(b.fHeight)) nav.fAltitude = b.fHeight;
    nav.fGSTRms = b.fStdDevResid;
    nav.usNavMode = b.usNavMode;
    return true;
}

bool CBinary::bBinaryType2(GPSInfo* rec, const char* frame) {
    FieldReader r(frame + kHeaderSize);
    Bin2Data& b = rec->Binary.Bin2;
    b.ulMaskSatsTracked = r.U32();
    b.ulMaskSatsUsed = r.U32();
    b.usGpsUtcDiff = r.U16();
    b.usHDOPTimes10 = r.U16();
    rec->Binary.usVDOPTimes10 = r.U16();
    b.usWAASMask = r.U16();
    {
        RecordLock part1(rec->ulPart1Lock);
        rec->ulSetupWord5 = b.usGpsUtcDiff;
    }
    rec->Nav.fHDOP = static_cast<float>(b.usHDOPTimes10 / 10.0);
    return true;
}

bool CBinary::bBinaryType80(GPSInfo* rec, const char* frame) {
    FieldReader r(frame + kHeaderSize);
    BinaryInfo& b = rec->Binary;
    r.Skip(8);
    b.bBin80Valid = 0;
    uint32_t index = b.iBin80Index;
    if (index >= static_cast<uint32_t>(kBin80Entries)) index = 0;
    for (uint32_t& word : b.ulBin80Ring[index]) word = r.U32();
    b.iBin80Index = (index + 1) % kBin80Entries;
    b.bBin80Valid = 1;
    return true;
}

bool CBinary::bBinaryType93(GPSInfo* rec, const char* frame) {
    FieldReader r(frame + kHeaderSize);
    Bin93Data& b = rec->Binary.Bin93;
    b.usSbasSatId = r.U16();
    r.Skip(2);
    b.ulTOW = r.U32();
    b.usIODE = r.U16();
    b.usWord4 = r.U16();
    for (uint32_t& w : b.ulWords) w = r.U32();
    b.usWord11 = r.U16();
    b.usWord12 = r.U16();
    return true;
}

bool CBinary::bBinaryType94(GPSInfo* rec, const char* frame) {
    FieldReader r(frame + kHeaderSize);
    Bin94Data& b = rec->Binary.Bin94;
    for (double& v : b.dValues) v = r.F64();
    b.ulWord = r.U32();
    for (uint16_t& w : b.usWords) w = r.U16();
    return true;
}

bool CBinary::bBinaryType95(GPSInfo* rec, const char* frame) {
    FieldReader r(frame + kHeaderSize);
    Bin95Data& b = rec->Binary.Bin95;
    b.usPrn = r.U16();
    r.Skip(2);
    b.ulTOW = r.U32();
    for (auto& subframe : b.ulSubFrames)
        for (uint32_t& w : subframe) w = r.U32();
    return true;
}

bool CBinary::bBinaryType96(GPSInfo* rec, const char* frame) {
    FieldReader r(frame + kHeaderSize);
    r.Skip(12);
    for (Bin96Channel& c : rec->Binary.Bin96.Channel) {
        c.ulWord1 = r.U32();
        c.ulWord2 = r.U32();
        c.dValue1 = r.F64();
        c.dValue2 = r.F64();
    }
    return true;
}

bool CBinary::bBinaryType97(GPSInfo* rec, const char* frame) {
    FieldReader r(frame + kHeaderSize);
    Bin97Data& b = rec->Binary.Bin97;
    b.ulWord = r.U32();
    for (uint16_t& w : b.usWords) w = r.U16();
    return true;
}

bool CBinary::bBinaryType98(GPSInfo* rec, const char* frame) {
    FieldReader r(frame + kHeaderSize);
    Bin98Data& b = rec->Binary.Bin98;
    for (Bin98Record& rr : b.Record) {
        rr.usWord = r.U16();
        r.Bytes(rr.ucBytes, sizeof rr.ucBytes);
    }
    b.ucByte1 = r.U8();
    r.Skip(1);
    b.ucByte2 = r.U8();
    return true;
}

bool CBinary::bBinaryType99(GPSInfo* rec, const char* frame) {
    FieldReader r(frame + kHeaderSize);
    Bin99Data& b = rec->Binary.Bin99;
    b.ucByte1 = r.U8();
    b.ucByte2 = r.U8();
    b.usWord = r.U16();
    b.dValue = r.F64();
    for (Bin99Channel& c : b.Channel) {
        c.ucByte1 = r.U8();
        r.Bytes(c.ucBytes2, sizeof c.ucBytes2);
        r.Bytes(c.ucBytes4a, sizeof c.ucBytes4a);
        r.Bytes(c.ucBytes4b, sizeof c.ucBytes4b);
        c.ucByte2 = r.U8();
        for (uint16_t& w : c.usWords) w = r.U16();
    }
    b.usTail = r.U16();
    return true;
}
