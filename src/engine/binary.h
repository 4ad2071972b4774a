#pragma once
// Binary messages in "$BIN" frames: the frame check and the decoders of messages 1, 2, 80
// and 93 to 99 into NavInfo and BinaryInfo.
//
// Frame: "$BIN", block ID (u8), unused byte, N (u16), N data bytes, the u16 sum of the data
// bytes, CR LF; all values little-endian, N + 12 bytes in all.

#include <cstdint>

struct AppShared;
struct GPSInfo;

// Calendar date and time of a GPS week and time of week (GPS time, no leap seconds).
struct GpsCalendar {
    int32_t iYear, iMonth, iDay, iHour, iMinute, iSecond;
    float fSecond;  // whole and fractional second
};

// Fills cal from the week and time of week (Gregorian calendar from 6 January 1980); false,
// with cal untouched, when the time of week is not finite or beyond any plausible range.
bool GpsTimeToCalendar(int64_t week, double timeOfWeek, GpsCalendar& cal);

class CBinary {
public:
    // app: where bBin1Position is raised (null: App()).
    explicit constexpr CBinary(AppShared* app = nullptr) : app_(app) {}

    // True when the frame is complete and valid, whatever its type; false keeps the reader
    // thread collecting. Valid frames of the decoded types are decoded under ulNavLock.
    bool bParseBINARY(GPSInfo* rec, const char* frame, int length);
    // The sum test and the CR LF test of a frame whose length word has been checked.
    static bool iCalcChecksum(const char* frame, int length);

    // Each decoder reads its layout from offset 8 of a frame whose data holds at least the
    // layout's size; the caller holds ulNavLock.
    bool bBinaryType1(GPSInfo* rec, const char* frame);
    bool bBinaryType2(GPSInfo* rec, const char* frame);
    bool bBinaryType80(GPSInfo* rec, const char* frame);
    bool bBinaryType93(GPSInfo* rec, const char* frame);
    bool bBinaryType94(GPSInfo* rec, const char* frame);
    bool bBinaryType95(GPSInfo* rec, const char* frame);
    bool bBinaryType96(GPSInfo* rec, const char* frame);
    bool bBinaryType97(GPSInfo* rec, const char* frame);
    bool bBinaryType98(GPSInfo* rec, const char* frame);
    bool bBinaryType99(GPSInfo* rec, const char* frame);

private:
    AppShared& app() const;

    AppShared* app_;
};
