#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#include "engine/gps.h"

namespace {

// Defaults that reach no file at start-up (those that do are checked at their archive offsets).
TEST(GpsRecord, FreshObjectHoldsTheDefaults) {
    auto gps = std::make_unique<CGPS>();
    const GPSInfo& i = gps->Info;
    for (int k = 0; k < kHistorySize; k += 599) {
        EXPECT_EQ(i.iSBASBerHistory[1][k], 500);
        EXPECT_EQ(i.iLBandBerHistory[k], 500);
    }
    const NavInfo& n = i.Nav;
    EXPECT_EQ(std::string{n.cLatDir} + n.cLonDir + i.Beacon.cFreqMode + i.Comm.cParity, "NEAN");
    EXPECT_EQ(n.bRollOutput + n.bTiltAid, 2);
    EXPECT_FLOAT_EQ(n.fHDGRateTau, 2.0f);
    EXPECT_STREQ(i.Beacon.szBeaconVersion, "Unavailable");
    EXPECT_STREQ(i.LBand.szDspFirmware, "Unavailable");
    EXPECT_EQ(i.LBand.iGeoId, 1200);
    EXPECT_EQ(i.LBand.iLBandBer + i.LBand.iSBASBer1, 1000);
    EXPECT_EQ(i.LBand.bFreqAuto, 1u);
    EXPECT_EQ(i.Comm.iOpenBaudRate, 57600);
    EXPECT_EQ(i.Settings.WizardLive.ulFreqKhz, 1540000u);
    EXPECT_FLOAT_EQ(i.Settings.WizardLive.fFreq, 283.5f);
}

TEST(GpsRecord, Crc16IsModbus) {
    const char* check = "123456789";
    EXPECT_EQ(CGPS::CalcCRC16(reinterpret_cast<const uint8_t*>(check), 9), 0x4B37);
    EXPECT_EQ(CGPS::CalcCRC16(nullptr, 0), 0xFFFF);
    const uint8_t zero = 0;
    EXPECT_EQ(CGPS::CalcCRC16(&zero, 1), 0x40BF);
}

TEST(GpsRecord, SetupCrcCoversTheExplicitHeaderImageOnly) {
    auto gps = std::make_unique<CGPS>();
    uint8_t image[kSetupCrcBytes];
    gps->Info.HeaderImage(image);
    // Little-endian words at their fixed offsets; text at 40; padding zero.
    EXPECT_EQ(image[0], 0x00);  // 57600 = 0x0000E100
    EXPECT_EQ(image[1], 0xE1);
    EXPECT_EQ(image[8], 0x78);
    EXPECT_EQ(image[11], 0x12);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(image + 40)), "Unavailable");
    EXPECT_EQ(image[57], 0);
    EXPECT_EQ(image[64], 1);  // ulSetupWord2
    const uint16_t before = CGPS::CalcSetupCRC(gps->Info);
    EXPECT_EQ(before, CGPS::CalcCRC16(image, sizeof(image)));
    gps->Info.iComPort = 7;  // after the image: no effect
    EXPECT_EQ(CGPS::CalcSetupCRC(gps->Info), before);
    gps->Info.szSetupText3[15] = 'x';  // last byte inside the image
    EXPECT_NE(CGPS::CalcSetupCRC(gps->Info), before);
}

TEST(GpsRecord, OptionCodeRules) {
    struct Case {
        bool set;
        uint32_t code;
        bool has20, hasTSpan;
    };
    const Case cases[] = {{false, 0, true, true},
                          {true, 4, false, true},
                          {true, 1, true, false},
                          {true, 0, false, false},
                          {true, 5, true, true}};
    for (const Case& c : cases) {
        ResetOptionCode();
        if (c.set) SetOptionCode(c.code);
        EXPECT_EQ(GetOptionCode(), c.set ? c.code : 0xFFFFu);
        EXPECT_EQ(bHas20HzOption(), c.has20) << c.code;
        EXPECT_EQ(bHasTSpanOption(), c.hasTSpan) << c.code;
    }
    ResetOptionCode();
}

TEST(GpsRecord, LockIsReentrantAndUnlockOfAFreeWordIsANoOp) {
    auto gps = std::make_unique<CGPS>();
    uint32_t& nav = gps->Info.Nav.ulNavLock;
    uint32_t& sat = gps->Info.SatView.ulSatViewLock;
    CGPS::Unlock(&nav);  // not held: nothing happens
    EXPECT_EQ(nav, 0u);
    CGPS::Lock(&nav);
    CGPS::Lock(&sat);  // a screen's status strip locks again inside its refresh
    CGPS::Lock(&nav);
    EXPECT_EQ(nav, 2u);
    CGPS::Unlock(&nav);
    CGPS::Unlock(&sat);
    CGPS::Unlock(&nav);
    EXPECT_EQ(nav, 0u);
    EXPECT_EQ(sat, 0u);
}

}  // namespace
