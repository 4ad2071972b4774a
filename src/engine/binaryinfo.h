#pragma once
// Results of the receiver's binary messages ("$BIN" frames), field by field as received.

#include <cstdint>

struct Bin1Data {
    uint8_t ucAgeOfDiff;
    uint8_t ucNumOfSats;
    uint16_t usGPSWeek;
    double dGPSTimeOfWeek;
    double dLatitude;   // degrees, south negative
    double dLongitude;  // degrees, west negative
    float fHeight;
    float fVNorth;
    float fVEast;
    float fVUp;
    float fStdDevResid;
    uint16_t usNavMode;
    uint16_t usExtendedAge;
};

// Message 2; its VDOP word is BinaryInfo::usVDOPTimes10.
struct Bin2Data {
    uint32_t ulMaskSatsTracked;
    uint32_t ulMaskSatsUsed;
    uint16_t usGpsUtcDiff;  // also copied into the header's ulSetupWord5
    uint16_t usHDOPTimes10;
    uint16_t usWAASMask;
};

struct Bin93Data {
    uint16_t usSbasSatId;
    uint32_t ulTOW;
    uint16_t usIODE;
    uint16_t usWord4;
    uint32_t ulWords[10];
    uint16_t usWord11;
    uint16_t usWord12;
};

struct Bin94Data {
    double dValues[10];
    uint32_t ulWord;
    uint16_t usWords[5];
};

struct Bin95Data {
    uint16_t usPrn;
    uint32_t ulTOW;
    uint32_t ulSubFrames[3][10];
};

struct Bin96Channel {
    uint32_t ulWord1;
    uint32_t ulWord2;
    double dValue1;
    double dValue2;
};

struct Bin96Data {
    Bin96Channel Channel[12];
};

struct Bin97Data {
    uint32_t ulWord;
    uint16_t usWords[4];
};

struct Bin98Record {
    uint16_t usWord;
    uint8_t ucBytes[6];
};

struct Bin98Data {
    Bin98Record Record[8];
    uint8_t ucByte1;
    uint8_t ucByte2;
};

struct Bin99Channel {
    uint8_t ucByte1;
    uint8_t ucBytes2[2];
    uint8_t ucBytes4a[4];
    uint8_t ucBytes4b[4];
    uint8_t ucByte2;
    uint16_t usWords[6];  // usWords[0]: the channel's code-lock value

    uint16_t usCodeLock() const { return usWords[0]; }
};

struct Bin99Data {
    uint8_t ucByte1;
    uint8_t ucByte2;
    uint16_t usWord;
    double dValue;
    Bin99Channel Channel[12];
    uint16_t usTail;
};

inline constexpr int kBin80Entries = 50;
inline constexpr int kBin80Words = 8;

// Data bytes of each decoded message.
inline constexpr int kBin1Size = 52;
inline constexpr int kBin2Size = 16;
inline constexpr int kBin80Size = 40;
inline constexpr int kBin93Size = 56;
inline constexpr int kBin94Size = 96;
inline constexpr int kBin95Size = 128;
inline constexpr int kBin96Size = 300;
inline constexpr int kBin97Size = 28;
inline constexpr int kBin98Size = 72;
inline constexpr int kBin99Size = 304;

struct BinaryInfo {
    Bin1Data Bin1;  // the history rings take their second from Bin1.dGPSTimeOfWeek
    Bin2Data Bin2;
    uint16_t usVDOPTimes10;
    uint32_t ulBin80Ring[kBin80Entries][kBin80Words];
    uint32_t iBin80Index;  // next entry, 0..49
    uint32_t bBin80Valid;
    Bin93Data Bin93;
    Bin94Data Bin94;
    Bin95Data Bin95;
    Bin96Data Bin96;
    Bin97Data Bin97;
    Bin98Data Bin98;
    Bin99Data Bin99;
};
