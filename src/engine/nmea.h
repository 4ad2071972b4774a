#pragma once
// The sentence core: checksum test, dispatch by header and the field helpers every decoder
// uses.

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "engine/gps.h"
#include "engine/lbndnmea.h"
#include "engine/pkrvnmea.h"
#include "engine/stdnmea.h"

inline constexpr std::size_t kNMEAFieldSize = 420;  // a framed sentence never exceeds 419 bytes

class CNMEA {
public:
    CNMEA() = default;
    CNMEA(const CNMEA&) = delete;
    CNMEA& operator=(const CNMEA&) = delete;

    // Checks, chooses the decoder by header and runs it under the lock of the record it
    // writes. The sentence is NUL-terminated, still ends in CR LF and is consumed.
    bool bParseNMEA(GPSInfo* rec, char* sentence);

    // Copies the field at src into dest (the delimiter in src is overwritten with NUL) and
    // returns where the next field starts; null when src is null or at the end of the text.
    // The first character is always field content; one more call after the last field before
    // "*" yields the checksum digits.
    static char* pszGetNMEAfield(char* dest, char* src);
    // XOR of the bytes after the first one up to the first "*".
    static int iCalcChecksum(const char* sentence);
    // 0 when the texts agree over the shorter of their lengths, else the sign of the first
    // difference.
    static int iCheckHeader(const char* text, const char* header);
    // The same with the text's length known (the dispatcher measures a sentence once).
    static int iCheckHeader(const char* text, std::size_t textLength, const char* header);
    static float fACIItoFloat(const char* field);
    static double dACIItoDouble(const char* field);
    static int iACIItoHex(const char* field);
    static int iHexDigit(char c);

    // Statistics of the dispatcher (process-wide).
    static long SentenceCount();
    static long ComparisonCount();

    CSTDNMEA StdNMEA;
    CLBNDNMEA LBndNMEA;
    CPKRVNMEA PkrvNMEA;

private:
    bool DispatchProprietary(GPSInfo& rec, char* sentence, std::size_t length);
    bool DispatchOther(GPSInfo& rec, char* sentence, std::size_t length);
    bool DispatchGP(GPSInfo& rec, char* sentence, std::size_t length);

    char m_szField[kNMEAFieldSize] = {};
};

// The decoders' view of a sentence: fields split at ",", the data ending at the checksum's
// "*" (or CR, LF, NUL). A field that begins at a delimiter is empty, and the checksum digits
// are never a field. Each field is copied into the dispatcher's field buffer.
class NMEAFields {
public:
    NMEAFields(char* fieldBuffer, const char* sentence);

    // Copies the next field into the buffer; false when the sentence has no more fields.
    bool Next();
    // Skips n fields; false when the sentence ended first.
    bool Skip(int n);
    const char* Text() const { return buffer_; }
    bool Empty() const { return buffer_[0] == '\0'; }

private:
    char* buffer_;
    const char* pos_;
    const char* end_;
    bool done_ = false;
};

// Copies a text into a fixed field, cut to size - 1 characters and zero-filled.
void CopyFieldText(char* dest, std::size_t size, const char* text);

extern CNMEA g_NMEA;
// Counts the "$>JDIFF" replies that set the differential source, so a caller can tell
// whether the receiver has answered since it asked.
extern std::atomic<uint32_t> g_ulDiffReplies;
// Count the "$>JI" replies (failed ones included) and the "$>JRTK" replies that stored a
// reference position, so a screen can tell a fresh reply from a field left by an earlier one
// (a port or rejection reply leaves the position as it was).
extern std::atomic<uint32_t> g_ulJIReplies;
extern std::atomic<uint32_t> g_ulJRTKPositionReplies;
