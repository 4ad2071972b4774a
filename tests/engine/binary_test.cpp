#include "engine/binary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <tuple>

#include "engine/appstate.h"
#include "engine/gps.h"

namespace {

// Data bytes laid out field by field, little-endian.
struct Data {
    std::string s;
    Data& u8(uint8_t v) {
        s.push_back(static_cast<char>(v));
        return *this;
    }
    Data& u16(uint16_t v) { return u8(v & 0xFF).u8(v >> 8); }
    Data& u32(uint32_t v) { return u16(v & 0xFFFF).u16(v >> 16); }
    Data& u64(uint64_t v) { return u32(v & 0xFFFFFFFFu).u32(static_cast<uint32_t>(v >> 32)); }
    Data& f32(float v) {
        uint32_t b;
        std::memcpy(&b, &v, 4);
        return u32(b);
    }
    Data& f64(double v) {
        uint64_t b;
        std::memcpy(&b, &v, 8);
        return u64(b);
    }
    Data& fill(size_t n, uint8_t v) {
        s.append(n, static_cast<char>(v));
        return *this;
    }
};

std::string Frame(uint8_t id, const std::string& data, int lengthWord = -1, int sumDelta = 0) {
    const uint16_t n = static_cast<uint16_t>(lengthWord < 0 ? data.size() : lengthWord);
    uint16_t sum = 0;
    for (char c : data) sum = static_cast<uint16_t>(sum + static_cast<uint8_t>(c));
    sum = static_cast<uint16_t>(sum + sumDelta);
    Data f;
    f.s = "$BIN";
    f.u8(id).u8(0).u16(n);
    f.s += data;
    f.u16(sum);
    f.s += "\r\n";
    return f.s;
}

std::string Message1(double tow, double lat, double lon, uint16_t week = 1400,
                     float height = 123.5f) {
    Data d;
    d.u8(7)           // age of differential corrections
        .u8(11)       // satellites used
        .u16(week)    // GPS week
        .f64(tow)     // time of week
        .f64(lat)     // latitude
        .f64(lon)     // longitude
        .f32(height)  // height
        .f32(1.25f)
        .f32(-2.5f)
        .f32(0.75f)
        .f32(0.375f)  // residual
        .u16(3)       // navigation mode
        .u16(41);     // extended age
    return Frame(1, d.s);
}

class BinaryTest : public ::testing::Test {
protected:
    void SetUp() override {
        gps = std::make_unique<CGPS>();
        rec = &gps->Info;
    }
    bool Parse(const std::string& f) {
        return binary.bParseBINARY(rec, f.data(), static_cast<int>(f.size()));
    }

    AppShared app;
    CBinary binary{&app};
    std::unique_ptr<CGPS> gps;
    GPSInfo* rec = nullptr;
};

TEST_F(BinaryTest, FrameCheckAcceptsOnlyWholeFramesWithMatchingLengthSumAndLineEnd) {
    const std::string good = Frame(3, std::string(10, 'x'));
    std::string noLf = good;
    noLf.back() = ' ';
    const struct {
        const char* name;
        std::string frame;
        int length;
        bool accepted;
    } cases[] = {
        {"valid, undecoded type", good, static_cast<int>(good.size()), true},
        {"wrong sum", Frame(3, std::string(10, 'x'), -1, 1), 22, false},
        {"length handed over short", good, static_cast<int>(good.size()) - 1, false},
        {"length word too large", Frame(3, std::string(10, 'x'), 11), 22, false},
        {"N below 8", Frame(3, std::string(7, 'x')), 19, false},
        {"no LF", noLf, static_cast<int>(noLf.size()), false},
        {"id 0", Frame(0, std::string(8, 'a')), 20, true},
        {"id 100", Frame(100, std::string(8, 'a')), 20, true},
        {"too short for a header", "$BIN", 4, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(binary.bParseBINARY(rec, c.frame.data(), c.length), c.accepted) << c.name;
    }
    EXPECT_EQ(app.bBin1Position.load(), 0);
}

TEST_F(BinaryTest, ChecksumIsTheSumOfDataBytesModulo65536) {
    // 300 bytes of 0xFF sum to 76500, which wraps to 10964.
    const std::string f = Frame(99, std::string(300, '\xFF'));
    EXPECT_EQ(static_cast<uint8_t>(f[308]) | (static_cast<uint8_t>(f[309]) << 8), 76500 - 65536);
    EXPECT_TRUE(CBinary::iCalcChecksum(f.data(), static_cast<int>(f.size())));
    std::string bad = f;
    bad[8] = '\xFE';
    EXPECT_FALSE(CBinary::iCalcChecksum(bad.data(), static_cast<int>(bad.size())));
}

TEST_F(BinaryTest, UndecodedTypeChangesNothing) {
    const auto before = std::make_unique<CGPS>();
    ASSERT_TRUE(Parse(Frame(3, std::string(52, '\x11'))));
    EXPECT_EQ(std::memcmp(&before->Info.Nav, &rec->Nav, sizeof(NavInfo)), 0);
    EXPECT_EQ(std::memcmp(&before->Info.Binary, &rec->Binary, sizeof(BinaryInfo)), 0);
}

TEST_F(BinaryTest, FrameShorterThanItsLayoutIsAcceptedAndIgnored) {
    const std::pair<int, int> layouts[] = {{1, 52},   {2, 16},   {80, 40}, {93, 56}, {94, 96},
                                           {95, 128}, {96, 300}, {97, 28}, {98, 72}, {99, 304}};
    for (auto [id, size] : layouts) {
        // One byte short of the layout, on the heap so that any read past it is caught.
        const std::string f = Frame(static_cast<uint8_t>(id), std::string(size - 1, '\x5A'));
        auto heap = std::make_unique<char[]>(f.size());
        std::memcpy(heap.get(), f.data(), f.size());
        EXPECT_TRUE(binary.bParseBINARY(rec, heap.get(), static_cast<int>(f.size()))) << id;
    }
    const auto before = std::make_unique<CGPS>();
    EXPECT_EQ(std::memcmp(&before->Info.Binary, &rec->Binary, sizeof(BinaryInfo)), 0);
    EXPECT_EQ(rec->Nav.iLatDeg, 0);
    EXPECT_EQ(app.bBin1Position.load(), 0);
}

TEST_F(BinaryTest, Message1FillsNavigationAndItsCopy) {
    ASSERT_TRUE(Parse(Message1(3600.25, 51.75, -1.5)));
    const NavInfo& n = rec->Nav;
    const Bin1Data& b = rec->Binary.Bin1;
    EXPECT_EQ(std::tuple(n.fDiffAge, n.iSatsUsed, n.usGPSWeek, n.dTimeOfWeek, n.fAltitude,
                         n.fGSTRms, n.usNavMode),
              std::tuple(7.0f, 11, 1400, 3600.25, 123.5f, 0.375f, 3));
    EXPECT_EQ(
        std::tuple(n.iLatDeg, n.dLatMin, n.fLatMin, n.cLatDir, n.iLonDeg, n.dLonMin, n.cLonDir),
        std::tuple(51, 45.0, 45.0f, 'N', -1, 30.0, 'W'));
    // Sunday 5 November 2006, 01:00:00.25 GPS time; local is six hours earlier.
    EXPECT_EQ(std::tuple(n.iYear, n.iMonth, n.iDay, n.iHour, n.iMinute, n.iSecond, n.fSecond),
              std::tuple(2006, 11, 5, 1, 0, 0, 0.25f));
    EXPECT_EQ(std::tuple(n.iLocalYear, n.iLocalMonth, n.iLocalDay, n.iLocalHour, n.iLocalMinute,
                         n.iLocalSecond, n.fLocalSecond),
              std::tuple(2006, 11, 4, 19, 0, 0, 0.25f));
    EXPECT_EQ(std::tuple(b.ucAgeOfDiff, b.ucNumOfSats, b.usGPSWeek, b.dGPSTimeOfWeek, b.dLatitude,
                         b.dLongitude),
              std::tuple(7, 11, 1400, 3600.25, 51.75, -1.5));
    EXPECT_EQ(std::tuple(b.fHeight, b.fVNorth, b.fVEast, b.fVUp, b.fStdDevResid, b.usNavMode,
                         b.usExtendedAge),
              std::tuple(123.5f, 1.25f, -2.5f, 0.75f, 0.375f, 3, 41));
    EXPECT_EQ(app.bBin1Position.load(), 1);
}

TEST_F(BinaryTest, Message1SplitsSignedDegreesAndSetsTheHemisphere) {
    const struct {
        double lat, lon;
        int latDeg;
        double latMin;
        char latDir;
        int lonDeg;
        double lonMin;
        char lonDir;
    } cases[] = {
        {-33.5, 151.25, -33, 30.0, 'S', 151, 15.0, 'E'},
        {-0.5, -0.25, 0, 30.0, 'S', 0, 15.0, 'W'},
        {0.5, 0.25, 0, 30.0, 'N', 0, 15.0, 'E'},
        {89.999, -179.75, 89, 59.94, 'N', -179, 45.0, 'W'},
        {0.0, 180.0, 0, 0.0, 'N', 180, 0.0, 'E'},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Parse(Message1(100.0, c.lat, c.lon)));
        const NavInfo& n = rec->Nav;
        EXPECT_EQ(n.iLatDeg, c.latDeg) << c.lat;
        EXPECT_NEAR(n.dLatMin, c.latMin, 1e-9) << c.lat;
        EXPECT_NEAR(n.fLatMin, c.latMin, 1e-4) << c.lat;
        EXPECT_EQ(n.cLatDir, c.latDir) << c.lat;
        EXPECT_EQ(n.iLonDeg, c.lonDeg) << c.lon;
        EXPECT_NEAR(n.dLonMin, c.lonMin, 1e-9) << c.lon;
        EXPECT_EQ(n.cLonDir, c.lonDir) << c.lon;
    }
}

TEST_F(BinaryTest, Message1LeavesPositionAloneWhenItIsNoAngle) {
    ASSERT_TRUE(Parse(Message1(100.0, -33.5, 151.25)));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        double lat, lon;
        float height;
    } cases[] = {{nan, nan, std::numeric_limits<float>::quiet_NaN()},
                 {1e300, -1e300, inf},
                 {91.0, 181.0, -inf}};
    for (const auto& c : cases) {
        ASSERT_TRUE(Parse(Message1(101.0, c.lat, c.lon, 1400, c.height)));
        EXPECT_EQ(rec->Nav.iLatDeg, -33);
        EXPECT_EQ(rec->Nav.cLatDir, 'S');
        EXPECT_EQ(rec->Nav.iLonDeg, 151);
        EXPECT_FLOAT_EQ(rec->Nav.fAltitude, 123.5f) << c.height;
    }
}

TEST(GpsCalendar, WeeksAndTimesOfWeekGiveTheCalendarDate) {
    const struct {
        int64_t week;
        double tow;
        int y, mo, d, h, mi, s;
        float fs;
    } cases[] = {
        {1400, 0.0, 2006, 11, 5, 0, 0, 0, 0.0f},
        {0, 0.0, 1980, 1, 6, 0, 0, 0, 0.0f},
        {0, 604799.5, 1980, 1, 12, 23, 59, 59, 59.5f},
        {1400, -1.0, 2006, 11, 4, 23, 59, 59, 59.0f},         // brought into the week before
        {1399, 604800.0 + 60.0, 2006, 11, 5, 0, 1, 0, 0.0f},  // and into the week after
        {1042, 518400.0, 2000, 1, 1, 0, 0, 0, 0.0f},
        {1051, 172800.0, 2000, 2, 29, 0, 0, 0, 0.0f},  // 2000 is a leap year
        {1051, 259200.0, 2000, 3, 1, 0, 0, 0, 0.0f},
        {6259, 0.0, 2099, 12, 20, 0, 0, 0, 0.0f},
        {6262, 0.0, 2100, 1, 10, 0, 0, 0, 0.0f},
        {6269, 0.0, 2100, 2, 28, 0, 0, 0, 0.0f},
        {6269, 86400.0, 2100, 3, 1, 0, 0, 0, 0.0f},         // 2100 is not
        {65535, 604799.0, 3236, 1, 12, 23, 59, 59, 59.0f},  // last week the receiver counts
        // Every kind of month end: 31, 30, 29 and 28 days, and the year's end.
        {2303, 431999.0, 2024, 2, 29, 23, 59, 59, 59.0f},
        {2303, 432000.0, 2024, 3, 1, 0, 0, 0, 0.0f},
        {2251, 259199.0, 2023, 2, 28, 23, 59, 59, 59.0f},
        {2251, 259200.0, 2023, 3, 1, 0, 0, 0, 0.0f},
        {2312, 259199.0, 2024, 4, 30, 23, 59, 59, 59.0f},
        {2312, 259200.0, 2024, 5, 1, 0, 0, 0, 0.0f},
        {2321, 43200.0, 2024, 6, 30, 12, 0, 0, 0.0f},
        {2321, 86400.0, 2024, 7, 1, 0, 0, 0, 0.0f},
        {2334, 169200.0, 2024, 9, 30, 23, 0, 0, 0.0f},
        {2342, 601200.0, 2024, 11, 30, 23, 0, 0, 0.0f},
        {2347, 259199.0, 2024, 12, 31, 23, 59, 59, 59.0f},
        {2347, 259200.0, 2025, 1, 1, 0, 0, 0, 0.0f},
    };
    for (const auto& c : cases) {
        GpsCalendar cal{};
        ASSERT_TRUE(GpsTimeToCalendar(c.week, c.tow, cal)) << c.week << " " << c.tow;
        EXPECT_EQ(std::tuple(cal.iYear, cal.iMonth, cal.iDay, cal.iHour, cal.iMinute, cal.iSecond,
                             cal.fSecond),
                  std::tuple(c.y, c.mo, c.d, c.h, c.mi, c.s, c.fs))
            << c.week << " " << c.tow;
    }
}

TEST(GpsCalendar, NonFiniteOrAbsurdTimeLeavesTheCalendarAlone) {
    for (double tow :
         {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
          -std::numeric_limits<double>::infinity(), 1e300, -1e300}) {
        GpsCalendar cal{1, 2, 3, 4, 5, 6, 7.0f};
        EXPECT_FALSE(GpsTimeToCalendar(1400, tow, cal)) << tow;
        EXPECT_EQ(cal.iYear, 1);
        EXPECT_EQ(cal.iSecond, 6);
    }
}

TEST_F(BinaryTest, NonFiniteTimeOfWeekLeavesCalendarAndRingClockAlone) {
    ASSERT_TRUE(Parse(Message1(0.0, 10.0, 10.0)));
    ASSERT_TRUE(Parse(Message1(std::numeric_limits<double>::quiet_NaN(), 20.0, 20.0, 1500)));
    EXPECT_DOUBLE_EQ(rec->Binary.Bin1.dGPSTimeOfWeek, 0.0);
    EXPECT_DOUBLE_EQ(rec->Nav.dTimeOfWeek, 0.0);
    EXPECT_EQ(rec->Nav.iYear, 2006);
    EXPECT_EQ(rec->Nav.iDay, 5);
    EXPECT_EQ(rec->Nav.iLatDeg, 20);  // the rest of the message still counts
}

TEST_F(BinaryTest, Message2FillsDilutionAndSetupWord) {
    Data d;
    d.u32(0x89ABCDEF).u32(0x01234567).u16(14).u16(17).u16(25).u16(0xBEEF);
    ASSERT_TRUE(Parse(Frame(2, d.s)));
    const Bin2Data& b = rec->Binary.Bin2;
    EXPECT_EQ(std::tuple(b.ulMaskSatsTracked, b.ulMaskSatsUsed, b.usGpsUtcDiff, b.usHDOPTimes10,
                         rec->Binary.usVDOPTimes10, b.usWAASMask),
              std::tuple(0x89ABCDEFu, 0x01234567u, 14, 17, 25, 0xBEEF));
    EXPECT_EQ(rec->ulSetupWord5, 14u);
    EXPECT_FLOAT_EQ(rec->Nav.fHDOP, 1.7f);
    EXPECT_EQ(app.bBin1Position.load(), 0);
}

TEST_F(BinaryTest, Message80FillsTheRingAndThe51stOverwritesEntryZero) {
    auto message80 = [](uint32_t base) {
        Data d;
        d.u16(0xFFFF).u16(0xFFFF).u32(0xFFFFFFFF);
        for (uint32_t w = 0; w < 8; ++w) d.u32(base + w);
        return Frame(80, d.s);
    };
    for (uint32_t k = 0; k < 50; ++k) ASSERT_TRUE(Parse(message80(1000 * k)));
    EXPECT_EQ(rec->Binary.iBin80Index, 0u);
    EXPECT_EQ(rec->Binary.bBin80Valid, 1u);
    EXPECT_EQ(rec->Binary.ulBin80Ring[0][0], 0u);
    EXPECT_EQ(rec->Binary.ulBin80Ring[49][7], 49007u);
    ASSERT_TRUE(Parse(message80(777000)));
    EXPECT_EQ(rec->Binary.iBin80Index, 1u);
    for (uint32_t w = 0; w < 8; ++w) EXPECT_EQ(rec->Binary.ulBin80Ring[0][w], 777000 + w);
    EXPECT_EQ(rec->Binary.ulBin80Ring[1][0], 1000u);
}

TEST_F(BinaryTest, Messages93To99FillEveryStoredField) {
    uint32_t v = 1;
    auto next = [&v] { return v++; };
    // Message 93.
    Data d93;
    d93.u16(0x1111).fill(2, 0xEE).u32(0x22222222).u16(0x3333).u16(0x4444);
    for (int i = 0; i < 10; ++i) d93.u32(0x50000000u + i);
    d93.u16(0x6666).u16(0x7777);
    ASSERT_EQ(d93.s.size(), 56u);
    ASSERT_TRUE(Parse(Frame(93, d93.s)));
    const Bin93Data& b93 = rec->Binary.Bin93;
    EXPECT_EQ(
        std::tuple(b93.usSbasSatId, b93.ulTOW, b93.usIODE, b93.usWord4, b93.usWord11, b93.usWord12),
        std::tuple(0x1111, 0x22222222u, 0x3333, 0x4444, 0x6666, 0x7777));
    for (int i = 0; i < 10; ++i) EXPECT_EQ(b93.ulWords[i], 0x50000000u + i);

    // Message 94.
    Data d94;
    for (int i = 0; i < 10; ++i) d94.f64(1.5 * i - 3.0);
    d94.u32(0xCAFEBABE);
    for (int i = 0; i < 5; ++i) d94.u16(static_cast<uint16_t>(0x100 + i));
    d94.fill(2, 0xEE);
    ASSERT_EQ(d94.s.size(), 96u);
    ASSERT_TRUE(Parse(Frame(94, d94.s)));
    for (int i = 0; i < 10; ++i) EXPECT_DOUBLE_EQ(rec->Binary.Bin94.dValues[i], 1.5 * i - 3.0);
    EXPECT_EQ(rec->Binary.Bin94.ulWord, 0xCAFEBABEu);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(rec->Binary.Bin94.usWords[i], 0x100 + i);

    // Message 95.
    Data d95;
    d95.u16(17).fill(2, 0xEE).u32(0xA5A5A5A5);
    for (int i = 0; i < 30; ++i) d95.u32(0x0F000000u + i);
    ASSERT_EQ(d95.s.size(), 128u);
    ASSERT_TRUE(Parse(Frame(95, d95.s)));
    EXPECT_EQ(rec->Binary.Bin95.usPrn, 17);
    EXPECT_EQ(rec->Binary.Bin95.ulTOW, 0xA5A5A5A5u);
    for (int sf = 0; sf < 3; ++sf)
        for (int w = 0; w < 10; ++w)
            EXPECT_EQ(rec->Binary.Bin95.ulSubFrames[sf][w], 0x0F000000u + sf * 10 + w);

    // Message 96.
    Data d96;
    d96.fill(12, 0xEE);
    for (int c = 0; c < 12; ++c) d96.u32(next()).u32(next()).f64(c * 1000.5).f64(-c * 0.25);
    ASSERT_EQ(d96.s.size(), 300u);
    ASSERT_TRUE(Parse(Frame(96, d96.s)));
    for (int c = 0; c < 12; ++c) {
        const Bin96Channel& ch = rec->Binary.Bin96.Channel[c];
        EXPECT_EQ(ch.ulWord1, static_cast<uint32_t>(2 * c + 1));
        EXPECT_EQ(ch.ulWord2, static_cast<uint32_t>(2 * c + 2));
        EXPECT_DOUBLE_EQ(ch.dValue1, c * 1000.5);
        EXPECT_DOUBLE_EQ(ch.dValue2, -c * 0.25);
    }

    // Message 97.
    Data d97;
    d97.u32(0x97979797).u16(1).u16(2).u16(3).u16(4).fill(16, 0xEE);
    ASSERT_EQ(d97.s.size(), 28u);
    ASSERT_TRUE(Parse(Frame(97, d97.s)));
    EXPECT_EQ(rec->Binary.Bin97.ulWord, 0x97979797u);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(rec->Binary.Bin97.usWords[i], i + 1);

    // Message 98.
    Data d98;
    for (int r = 0; r < 8; ++r) {
        d98.u16(static_cast<uint16_t>(0x9800 + r));
        for (int b = 0; b < 6; ++b) d98.u8(static_cast<uint8_t>(r * 10 + b));
    }
    d98.u8(0xA1).fill(1, 0xEE).u8(0xA2).fill(5, 0xEE);
    ASSERT_EQ(d98.s.size(), 72u);
    ASSERT_TRUE(Parse(Frame(98, d98.s)));
    for (int r = 0; r < 8; ++r) {
        EXPECT_EQ(rec->Binary.Bin98.Record[r].usWord, 0x9800 + r);
        for (int b = 0; b < 6; ++b) EXPECT_EQ(rec->Binary.Bin98.Record[r].ucBytes[b], r * 10 + b);
    }
    EXPECT_EQ(rec->Binary.Bin98.ucByte1, 0xA1);
    EXPECT_EQ(rec->Binary.Bin98.ucByte2, 0xA2);

    // Message 99.
    Data d99;
    d99.u8(0x91).u8(0x92).u16(0x9393).f64(123456.75);
    for (int c = 0; c < 12; ++c) {
        d99.u8(static_cast<uint8_t>(c)).u8(0x20).u8(0x21);
        d99.u8(0x30).u8(0x31).u8(0x32).u8(0x33).u8(0x40).u8(0x41).u8(0x42).u8(0x43);
        d99.u8(0x50);
        for (int w = 0; w < 6; ++w) d99.u16(static_cast<uint16_t>(c * 100 + w));
    }
    d99.u16(0x9999).fill(2, 0xEE);
    ASSERT_EQ(d99.s.size(), 304u);
    ASSERT_TRUE(Parse(Frame(99, d99.s)));
    const Bin99Data& b99 = rec->Binary.Bin99;
    EXPECT_EQ(std::tuple(b99.ucByte1, b99.ucByte2, b99.usWord, b99.dValue, b99.usTail),
              std::tuple(0x91, 0x92, 0x9393, 123456.75, 0x9999));
    for (int c = 0; c < 12; ++c) {
        const Bin99Channel& ch = b99.Channel[c];
        EXPECT_EQ(std::tuple(ch.ucByte1, ch.ucBytes2[0], ch.ucBytes2[1], ch.ucBytes4a[3],
                             ch.ucBytes4b[0], ch.ucByte2, ch.usCodeLock()),
                  std::tuple(c, 0x20, 0x21, 0x33, 0x40, 0x50, c * 100));
        for (int w = 0; w < 6; ++w) EXPECT_EQ(ch.usWords[w], c * 100 + w);
    }
}

TEST_F(BinaryTest, PayloadHoldingCrLfDecodesOnlyAtItsRealEnd) {
    // Latitude 2.0 has the bytes ... 0x00 0x40 and the time of week 0x0D0A... is in the data.
    Data d;
    d.u8(0).u8(5).u16(1400);
    d.s += std::string("\x0D\x0A\x0D\x0A\x0D\x0A\x0D\x0A", 8);  // a time of week
    d.f64(2.0).f64(3.0).f32(0).f32(0).f32(0).f32(0).f32(0).u16(1).u16(0);
    const std::string f = Frame(1, d.s);
    const size_t firstCrLf = f.find("\r\n");
    ASSERT_LT(firstCrLf + 2, f.size());
    EXPECT_FALSE(binary.bParseBINARY(rec, f.data(), static_cast<int>(firstCrLf + 2)));
    EXPECT_EQ(rec->Nav.iLatDeg, 0);
    EXPECT_TRUE(Parse(f));
    EXPECT_EQ(rec->Nav.iLatDeg, 2);
    EXPECT_EQ(rec->Nav.iLonDeg, 3);
}

}  // namespace
