#include "engine/binary.h"

#include <gtest/gtest.h>
#include <bit>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "platform/bytes.h"
#include "support/frames.h"
#include "wire_fixture.h"

namespace {

using wiretest::Join;

using testsupport::BinFrame;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::string Message1(double tow, double lat, double lon, float height = 123.5f) {
    platform::ByteWriter d;
    d.U8(7);  // age of differential corrections
    d.U8(11);
    d.U16(1400);
    d.F64(tow);
    d.F64(lat);
    d.F64(lon);
    for (float f : {height, 1.25f, -2.5f, 0.75f, 0.375f}) d.F32(f);
    d.U16(3);   // navigation mode
    d.U16(41);  // extended age
    return BinFrame(1, d.str());
}

class BinaryTest : public ::testing::Test {
protected:
    bool Parse(const std::string& f, size_t length = std::string::npos) {
        // On the heap at its exact size, so that any read past the frame is caught.
        const size_t n = std::min(length, f.size());
        auto heap = std::make_unique<char[]>(n);
        std::memcpy(heap.get(), f.data(), n);
        return binary.bParseBINARY(rec, heap.get(), static_cast<int>(n));
    }
    AppShared app;
    CBinary binary{&app};
    std::unique_ptr<CGPS> gps = std::make_unique<CGPS>();
    GPSInfo* rec = &gps->Info;
};

TEST_F(BinaryTest, OnlyWholeFramesWithMatchingLengthSumAndLineEndAreTaken) {
    const std::string good = BinFrame(3, std::string(10, 'x'));
    auto with = [&good](size_t at, char c) {
        std::string f = good;
        f[at] = c;
        return f;
    };
    // 300 bytes of 0xFF sum to 76500, which wraps to 10964.
    const std::string wraps = BinFrame(99, std::string(300, '\xFF'));
    ASSERT_EQ(static_cast<uint8_t>(wraps[308]) | (static_cast<uint8_t>(wraps[309]) << 8), 10964);
    const std::tuple<const char*, std::string, size_t, bool> cases[] = {
        {"valid, undecoded type", good, good.size(), true},
        {"wrong sum", with(18, good[18] + 1), good.size(), false},
        {"length handed over short", good, good.size() - 1, false},
        {"length word too large", with(6, 11), good.size(), false},
        {"N below 8", BinFrame(3, std::string(7, 'x')), 19, false},
        {"no LF", with(good.size() - 1, ' '), good.size(), false},
        {"sum wraps", wraps, wraps.size(), true},
        {"too short for a header", "$BIN", 4, false},
    };
    for (const auto& [name, frame, length, accepted] : cases)
        EXPECT_EQ(Parse(frame, length), accepted) << name;
    EXPECT_FALSE(CBinary::iCalcChecksum(with(8, '\xFE').data(), static_cast<int>(good.size())));
    // Undecoded types and frames one byte short of their layout are taken and change nothing.
    const std::pair<int, int> layouts[] = {{1, 52},   {2, 16},   {80, 40}, {93, 56}, {94, 96},
                                           {95, 128}, {96, 300}, {97, 28}, {98, 72}, {99, 304}};
    for (auto [id, size] : layouts)
        EXPECT_TRUE(Parse(BinFrame(static_cast<uint8_t>(id), std::string(size - 1, 'Z')))) << id;
    const auto before = std::make_unique<CGPS>();
    EXPECT_EQ(std::memcmp(&before->Info.Binary, &rec->Binary, sizeof(BinaryInfo)), 0);
    EXPECT_EQ(std::memcmp(&before->Info.Nav, &rec->Nav, sizeof(NavInfo)), 0);
    EXPECT_EQ(app.bBin1Position.load(), 0);
}

TEST_F(BinaryTest, Message1FillsNavigationAndItsCopy) {
    ASSERT_TRUE(Parse(Message1(3600.25, 51.75, -1.5)));
    const NavInfo& n = rec->Nav;
    const Bin1Data& b = rec->Binary.Bin1;
    EXPECT_EQ(Join(n.fDiffAge, n.iSatsUsed, n.usGPSWeek, n.dTimeOfWeek, n.fAltitude, n.fGSTRms,
                   n.usNavMode),
              "7 11 1400 3600.25 123.5 0.375 3");
    EXPECT_EQ(Join(n.iLatDeg, n.dLatMin, n.fLatMin, n.cLatDir, n.iLonDeg, n.dLonMin, n.cLonDir),
              "51 45 45 N -1 30 W");
    // Sunday 5 November 2006, 01:00:00.25 GPS time; local is six hours earlier.
    EXPECT_EQ(Join(n.iYear, n.iMonth, n.iDay, n.iHour, n.iMinute, n.iSecond, n.fSecond),
              "2006 11 5 1 0 0 0.25");
    EXPECT_EQ(Join(n.iLocalYear, n.iLocalMonth, n.iLocalDay, n.iLocalHour, n.iLocalMinute,
                   n.iLocalSecond, n.fLocalSecond),
              "2006 11 4 19 0 0 0.25");
    EXPECT_EQ(
        Join(b.ucAgeOfDiff, b.ucNumOfSats, b.usGPSWeek, b.dGPSTimeOfWeek, b.dLatitude, b.dLongitude,
             b.fHeight, b.fVNorth, b.fVEast, b.fVUp, b.fStdDevResid, b.usNavMode, b.usExtendedAge),
        "7 11 1400 3600.25 51.75 -1.5 123.5 1.25 -2.5 0.75 0.375 3 41");
    EXPECT_EQ(app.bBin1Position.load(), 1);
    // Signed degrees are split and the hemisphere follows the sign.
    ASSERT_TRUE(Parse(Message1(100.0, -0.5, -179.75)));
    EXPECT_EQ(Join(n.iLatDeg, n.dLatMin, n.cLatDir, n.iLonDeg, n.dLonMin, n.cLonDir),
              "0 30 S -179 45 W");
    // No angle or no height leaves them alone; a non-finite time leaves calendar and time.
    const std::tuple<double, double, float> bad[] = {{kNaN, kNaN, NAN}, {91.0, 181.0, -INFINITY}};
    for (const auto& [lat, lon, height] : bad) {
        ASSERT_TRUE(Parse(Message1(101.0, lat, lon, height)));
        EXPECT_EQ(Join(n.iLatDeg, n.cLatDir, n.iLonDeg, n.fAltitude), "0 S -179 123.5") << lat;
    }
    ASSERT_TRUE(Parse(Message1(kNaN, 20.0, 20.0)));
    EXPECT_EQ(Join(b.dGPSTimeOfWeek, n.dTimeOfWeek, n.iDay, n.iLatDeg), "101 101 5 20");
}

TEST(GpsCalendar, WeeksAndTimesOfWeekGiveTheCalendarDate) {
    const struct {
        int64_t week;
        double tow;
        GpsCalendar want;
    } cases[] = {
        {1400, -1.0, {2006, 11, 4, 23, 59, 59, 59.0f}},         // into the week before
        {1399, 604800.0 + 60.0, {2006, 11, 5, 0, 1, 0, 0.0f}},  // and into the week after
        {1051, 172800.0, {2000, 2, 29, 0, 0, 0, 0.0f}},         // 2000 is a leap year
        {6269, 86400.0, {2100, 3, 1, 0, 0, 0, 0.0f}},         // 2100 is not
        {65535, 604799.0, {3236, 1, 12, 23, 59, 59, 59.0f}},  // last week the receiver counts
    };
    for (const auto& c : cases) {
        GpsCalendar cal{};
        ASSERT_TRUE(GpsTimeToCalendar(c.week, c.tow, cal)) << c.week << " " << c.tow;
        const GpsCalendar& w = c.want;
        EXPECT_EQ(std::tie(cal.iYear, cal.iMonth, cal.iDay, cal.iHour, cal.iMinute, cal.iSecond,
                           cal.fSecond),
                  std::tie(w.iYear, w.iMonth, w.iDay, w.iHour, w.iMinute, w.iSecond, w.fSecond))
            << c.week << " " << c.tow;
    }
    for (double tow : {kNaN, -1e300}) {
        GpsCalendar cal{1, 2, 3, 4, 5, 6, 7.0f};
        EXPECT_FALSE(GpsTimeToCalendar(1400, tow, cal)) << tow;
        EXPECT_EQ(Join(cal.iYear, cal.iSecond), "1 6");
    }
}

TEST_F(BinaryTest, Messages2And80) {
    platform::ByteWriter d;
    for (uint32_t v : {0x89ABCDEFu, 0x01234567u}) d.U32(v);
    for (uint16_t v : {14, 17, 25, 0xBEEF}) d.U16(v);
    ASSERT_TRUE(Parse(BinFrame(2, d.str())));
    const Bin2Data& b = rec->Binary.Bin2;
    EXPECT_EQ(Join(b.ulMaskSatsTracked, b.ulMaskSatsUsed, b.usGpsUtcDiff, b.usHDOPTimes10,
                   rec->Binary.usVDOPTimes10, b.usWAASMask, rec->ulSetupWord5),
              "2309737967 19088743 14 17 25 48879 14");
    EXPECT_FLOAT_EQ(rec->Nav.fHDOP, 1.7f);
    // The ring of 50 entries: the 51st overwrites entry 0.
    auto message80 = [](uint32_t base) {
        platform::ByteWriter m;
        m.U32(0xFFFFFFFF);
        m.U32(0xFFFFFFFF);
        for (uint32_t w = 0; w < 8; ++w) m.U32(base + w);
        return BinFrame(80, m.str());
    };
    for (uint32_t k = 0; k < 51; ++k) ASSERT_TRUE(Parse(message80(k == 50 ? 777000 : 1000 * k)));
    const BinaryInfo& r = rec->Binary;
    EXPECT_EQ(Join(r.iBin80Index, r.bBin80Valid, r.ulBin80Ring[49][7], r.ulBin80Ring[1][0]),
              "1 1 49007 1000");
    for (uint32_t w = 0; w < 8; ++w) EXPECT_EQ(r.ulBin80Ring[0][w], 777000 + w);
}

// Each message's data bytes are all different; every field read back is the bytes at its
// place in the layout.
TEST_F(BinaryTest, Messages93To99FillEveryStoredField) {
    std::string d;
    auto data = [&d](uint8_t id, size_t size) {
        d.resize(size);
        for (size_t i = 0; i < size; ++i) d[i] = static_cast<char>(i * 37 + id);
        return BinFrame(id, d);
    };
    auto u8 = [&d](size_t at) { return static_cast<uint8_t>(d[at]); };
    auto u16 = [&](size_t at) { return static_cast<uint16_t>(u8(at) | u8(at + 1) << 8); };
    auto u32 = [&](size_t at) { return uint32_t{u16(at)} | uint32_t{u16(at + 2)} << 16; };
    auto u64 = [&](size_t at) { return uint64_t{u32(at)} | uint64_t{u32(at + 4)} << 32; };
    auto bits = [](double v) { return std::bit_cast<uint64_t>(v); };
    const BinaryInfo& r = rec->Binary;
    ASSERT_TRUE(Parse(data(93, 56)));
    EXPECT_EQ(std::tuple(r.Bin93.usSbasSatId, r.Bin93.ulTOW, r.Bin93.ulWords[9], r.Bin93.usWord12),
              std::tuple(u16(0), u32(4), u32(48), u16(54)));
    ASSERT_TRUE(Parse(data(94, 96)));
    EXPECT_EQ(std::tuple(bits(r.Bin94.dValues[9]), r.Bin94.ulWord, r.Bin94.usWords[4]),
              std::tuple(u64(72), u32(80), u16(92)));
    ASSERT_TRUE(Parse(data(95, 128)));
    EXPECT_EQ(std::tuple(r.Bin95.usPrn, r.Bin95.ulTOW, r.Bin95.ulSubFrames[2][9]),
              std::tuple(u16(0), u32(4), u32(124)));
    ASSERT_TRUE(Parse(data(96, 300)));
    for (size_t c = 0, at = 12; c < 12; ++c, at += 24) {
        const Bin96Channel& ch = r.Bin96.Channel[c];
        EXPECT_EQ(std::tuple(ch.ulWord1, ch.ulWord2, bits(ch.dValue1), bits(ch.dValue2)),
                  std::tuple(u32(at), u32(at + 4), u64(at + 8), u64(at + 16)));
    }
    ASSERT_TRUE(Parse(data(97, 28)));
    EXPECT_EQ(std::tuple(r.Bin97.ulWord, r.Bin97.usWords[3]), std::tuple(u32(0), u16(10)));
    ASSERT_TRUE(Parse(data(98, 72)));
    EXPECT_EQ(std::tuple(r.Bin98.Record[7].usWord, r.Bin98.Record[7].ucBytes[5], r.Bin98.ucByte2),
              std::tuple(u16(56), u8(63), u8(66)));
    ASSERT_TRUE(Parse(data(99, 304)));
    const Bin99Data& b99 = r.Bin99;
    EXPECT_EQ(std::tuple(b99.ucByte1, b99.ucByte2, b99.usWord, bits(b99.dValue), b99.usTail),
              std::tuple(u8(0), u8(1), u16(2), u64(4), u16(300)));
    for (size_t c = 0, at = 12; c < 12; ++c, at += 24) {
        const Bin99Channel& ch = b99.Channel[c];
        EXPECT_EQ(std::tuple(ch.ucByte1, ch.ucBytes2[1], ch.ucBytes4a[3], ch.ucBytes4b[0],
                             ch.ucByte2, ch.usCodeLock(), ch.usWords[5]),
                  std::tuple(u8(at), u8(at + 2), u8(at + 6), u8(at + 7), u8(at + 11), u16(at + 12),
                             u16(at + 22)));
    }
}

TEST_F(BinaryTest, PayloadHoldingCrLfDecodesOnlyAtItsRealEnd) {
    platform::ByteWriter d;
    d.U8(0);
    d.U8(5);
    d.U16(1400);
    d.Bytes("\r\n\r\n\r\n\r\n", 8);  // a time of week
    d.F64(2.0);
    d.F64(3.0);
    d.Zeros(20);
    d.U16(1);
    d.U16(0);
    const std::string f = BinFrame(1, d.str());
    const size_t firstCrLf = f.find("\r\n");
    ASSERT_LT(firstCrLf + 2, f.size());
    EXPECT_FALSE(Parse(f, firstCrLf + 2));
    EXPECT_EQ(rec->Nav.iLatDeg, 0);
    EXPECT_TRUE(Parse(f));
    EXPECT_EQ(Join(rec->Nav.iLatDeg, rec->Nav.iLonDeg), "2 3");
}

}  // namespace
