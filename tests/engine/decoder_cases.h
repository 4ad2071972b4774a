#pragma once
// Sentences of every family the dispatcher knows and the fields each must leave behind.
// Used both by direct dispatcher tests and by the tests that go through the reader thread.

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "engine/lbndnmea.h"

namespace decoder_cases {

// "$" + body + "*hh\r\n" with the right checksum.
inline std::string Nmea(const std::string& body) {
    unsigned char sum = 0;
    for (char c : body) sum ^= static_cast<unsigned char>(c);
    char tail[8];
    std::snprintf(tail, sizeof tail, "*%02X\r\n", sum);
    return "$" + body + tail;
}
// A reply as the receiver sends it without checksum.
inline std::string Bare(const std::string& body) {
    return "$" + body + "\r\n";
}

struct Case {
    const char* name;
    std::function<void(GPSInfo&)> setup;  // before the sentences; may be empty
    std::vector<std::string> sentences;
    std::function<void(const GPSInfo&)> check;
};

inline const std::string kGGA =
    "GPGGA,123519.50,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,2.0,0000";

inline std::vector<Case> AllFamilies() {
    return {
        {"GgaBeforeBinaryPosition",
         nullptr,
         {Nmea(kGGA)},
         [](const GPSInfo& r) {
             const NavInfo& n = r.Nav;
             EXPECT_EQ(std::tuple(n.iHour, n.iMinute, n.fSecond, n.iSecond),
                       std::tuple(12, 35, 19.5f, 19));
             EXPECT_EQ(std::tuple(n.iLatDeg, n.dLatMin, n.fLatMin, n.cLatDir, n.iLonDeg, n.dLonMin,
                                  n.cLonDir),
                       std::tuple(48, 7.038, 7.038f, 'N', 11, 31.0, 'E'));
             EXPECT_EQ(std::tuple(n.iFixQuality, n.iSatsUsed, n.fHDOP, n.fAltitude, n.fDiffAge),
                       std::tuple(1, 8, 0.9f, 545.4f, 2.0f));
         }},
        {"GgaAfterBinaryPosition",
         [](GPSInfo& r) {
             App().bBin1Position.store(1);
             r.Nav.iLatDeg = -33;
             r.Nav.iHour = 7;
             r.Nav.iFixQuality = 2;
         },
         {Nmea("GPGGA,123519.50,4807.038,N,01131.000,E,0,08,1.7,545.4,M,46.9,M,2.0,0000")},
         [](const GPSInfo& r) {
             const NavInfo& n = r.Nav;
             EXPECT_EQ(std::tuple(n.iLatDeg, n.iHour, n.iSatsUsed, n.fHDOP, n.iFixQuality),
                       std::tuple(-33, 7, 0, 1.7f, 0));
             App().bBin1Position.store(0);
         }},
        {"Vtg",
         nullptr,
         {Nmea("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K")},
         [](const GPSInfo& r) {
             EXPECT_FLOAT_EQ(r.Nav.fCourse, 54.7f);
             EXPECT_FLOAT_EQ(r.Nav.fSpeedKmh, 10.2f);
         }},
        {"GsvEntryBases",
         [](GPSInfo& r) { r.SatView.Channel[10].iPRN = 77; },
         {Nmea("GPGSV,3,1,10,01,40,083,46,02,17,308,41,03,07,344,39,04,10,200,38"),
          Nmea("GPGSV,3,2,10,05,40,083,46,06,17,308,41,07,07,344,39,08,10,200,38"),
          Nmea("GPGSV,3,3,10,09,05,010,30,10,80,270,")},
         [](const GPSInfo& r) {
             const SatViewInfo& v = r.SatView;
             EXPECT_EQ(v.iSatsInView, 10);
             for (int k = 0; k < 10; ++k) EXPECT_EQ(v.Channel[k].iPRN, k + 1) << k;
             EXPECT_EQ(v.Channel[4].iElev, 40);
             EXPECT_EQ(v.Channel[4].iAzim, 83);
             EXPECT_EQ(v.Channel[7].iSNR, 38);
             EXPECT_EQ(v.Channel[9].iElev, 80);
             EXPECT_EQ(v.Channel[9].iSNR, 0);  // empty last field
             // The checksum digits never make a satellite.
             EXPECT_EQ(v.Channel[10].iPRN, 77);
         }},
        {"GsvFourthMessageWraps",
         nullptr,
         {Nmea("GPGSV,4,4,14,21,40,083,46,22,17,308,41,23,07,344,39,24,10,200,38")},
         [](const GPSInfo& r) {
             EXPECT_EQ(r.SatView.iSatsInView, 14);
             EXPECT_EQ(r.SatView.Channel[0].iPRN, 21);
             EXPECT_EQ(r.SatView.Channel[3].iPRN, 24);
         }},
        {"Gst",
         nullptr,
         {Nmea("GPGST,172814.0,0.006,0.023,0.020,273.6,0.021,0.022,0.031")},
         [](const GPSInfo& r) {
             const NavInfo& n = r.Nav;
             EXPECT_EQ(std::tuple(n.fGSTRms, n.fGSTSemiMajor, n.fGSTSemiMinor, n.fGSTOrient,
                                  n.fGSTLatErr, n.fGSTLonErr, n.fGSTAltErr),
                       std::tuple(0.006f, 0.023f, 0.020f, 273.6f, 0.021f, 0.022f, 0.031f));
         }},
        {"HeadingTalkers",
         [](GPSInfo&) { App().iHeadingAge.store(5); },
         {Nmea("HEHDT,-10.0,T"), Nmea("HEROT,-3.5,A")},
         [](const GPSInfo& r) {
             EXPECT_FLOAT_EQ(r.Nav.fHeading, 350.0f);
             EXPECT_FLOAT_EQ(r.Nav.fROT, -3.5f);
             EXPECT_EQ(App().iHeadingAge.load(), 0);
         }},
        {"HeadingGpTalker",
         nullptr,
         {Nmea("GPHDT,725.0,T"), Nmea("GPROT,12.25,A")},
         [](const GPSInfo& r) {
             EXPECT_FLOAT_EQ(r.Nav.fHeading, 5.0f);
             EXPECT_FLOAT_EQ(r.Nav.fROT, 12.25f);
         }},
        {"HeadingPitchRoll",
         nullptr,
         {Nmea("PZLT,HPR,123519.00,231.5,-2.5")},
         [](const GPSInfo& r) {
             EXPECT_FLOAT_EQ(r.Nav.fPitch, -2.5f);
             EXPECT_FLOAT_EQ(r.Nav.fRoll, -2.5f);
             EXPECT_FLOAT_EQ(r.Nav.fHeading, 0.0f);  // not taken from this sentence
         }},
        {"AttitudeReplies",
         nullptr,
         {Bare(">JATT,ROLL,NO"), Bare(">JATT,TILTAID,NO"), Bare(">JATT,GYROAID,YES"),
          Bare(">JATT,MAGAID,YES"), Bare(">JATT,LEVEL,YES"), Bare(">JATT,FLIPBRD,YES"),
          Nmea(">JATT,NEGTILT,YES"), Bare(">JATT,HTAU,1.5"), Bare(">JATT,HRTAU,3.25"),
          Bare(">JATT,COGTAU,0.75"), Bare(">JATT,SPDTAU,0.5"), Bare(">JATT,HBIAS,-1.25"),
          Bare(">JATT,PBIAS,2.5"), Bare(">JATT,MSEP,0.9"), Nmea(">JATT,CSEP,1.1"),
          Bare(">JATT,HTAU,")},
         [](const GPSInfo& r) {
             const NavInfo& n = r.Nav;
             EXPECT_EQ(std::tuple(n.bRollOutput, n.bTiltAid, n.bGyroAid, n.bLevel, n.bFLIPBRD,
                                  n.bNegTilt),
                       std::tuple(0, 0, 1, 1, 1, 1));
             // The empty HTAU value left 1.5.
             EXPECT_EQ(std::tuple(n.fHDGTau, n.fHDGRateTau, n.fCOGTau, n.fSPDTau, n.fHBias,
                                  n.fPRBias, n.fManSep, n.fCurSep),
                       std::tuple(1.5f, 3.25f, 0.75f, 0.5f, -1.25f, 2.5f, 0.9f, 1.1f));
         }},
        {"Rd1SingleBer",
         nullptr,
         {Nmea("RD1,000041,1910,1557.8450,1,700,0,0,0,0,0,0D4B,FFFFFFFF")},
         [](const GPSInfo& r) {
             const LBandInfo& l = r.LBand;
             EXPECT_EQ(
                 std::tuple(l.iLBandBer, l.iSBASBer1, l.iSBASBer2, l.wLBandStatus, l.ulRD1Status),
                 std::tuple(700, 500, 500, 0x0D4B, 0xFFFFFFFFu));
         }},
        {"Rd1PairBer",
         nullptr,
         {Nmea("RD1,000041,1910,1557.8450,1,300-120,0,0,0,0,0,1,123")},
         [](const GPSInfo& r) {
             const LBandInfo& l = r.LBand;
             EXPECT_EQ(
                 std::tuple(l.iLBandBer, l.iSBASBer1, l.iSBASBer2, l.wLBandStatus, l.ulRD1Status),
                 std::tuple(500, 120, 300, 1, 0x123u));
         }},
        {"JgeoSlotToggle",
         [](GPSInfo& r) { r.LBand.iSBASPRN1 = r.LBand.iSBASPRN2 = 0; },
         {Bare(">JGEO,Sent,FREQ=1575.4200,PRN=122,LON=-15.5,EL=30.2,AZ=200.1"),
          Nmea(">JGEO,Sent,FREQ=1575.4200,PRN=134,LON=178.0,EL=12.5,AZ=250.5"),
          Bare(">JGEO,Sent,FREQ=1575.4200,PRN=122,LON=-15.5,EL=31.0,AZ=201.0"),
          Bare(">JGEO,Sent,FREQ=1534.7410,PRN=129,LON=-98.0,EL=40.0,AZ=180.0")},
         [](const GPSInfo& r) {
             const LBandInfo& l = r.LBand;
             EXPECT_EQ(std::tuple(l.iSBASPRN1, l.iSBASPRN2, l.iGeoId, l.ulGeoFreqKhz),
                       std::tuple(129, 122, 129, 1534741u));
             EXPECT_EQ(
                 std::tuple(l.fGeoLongitude, l.fGeoElevation, l.fGeoAzimuth, l.fSBASElevation1,
                            l.fSBASElevation2, l.fSBASAzimuth2, l.fSBASLongitude2),
                 std::tuple(-98.0f, 40.0f, 180.0f, 40.0f, 31.0f, 201.0f, -15.5f));
         }},
        {"Ji",
         [](GPSInfo&) { ResetOptionCode(); },
         {Bare(">JI,311689,1,7,26031,01/01/1900,A1B04,MFA 3.6Ac,")},
         [](const GPSInfo& r) {
             EXPECT_EQ(r.LBand.lSerialNumber, 311689);
             EXPECT_STREQ(r.LBand.szAppFirmware, "MFA 3.6Ac");
             EXPECT_STREQ(r.LBand.szDspFirmware, "Unavailable");
             EXPECT_EQ(GetOptionCode(), 4u);
         }},
        {"Joms",
         nullptr,
         {Bare(">JOMS,1,2,3,4,01/02/2024,31/12/2025,86400")},
         [](const GPSInfo& r) {
             EXPECT_STREQ(r.LBand.szSubscriptionBegin, "01/02/2024");
             EXPECT_STREQ(r.LBand.szSubscriptionExpiry, "31/12/2025");
             EXPECT_EQ(r.LBand.ulSubscriptionCountdown, 86400u);
         }},
        {"JrtkReferenceAndPort",
         nullptr,
         {Bare(">JRTK,1,51.0123456,-114.5,1048.25"), Nmea(">JRTK,6,OK,6")},
         [](const GPSInfo& r) {
             const PortConfig& p = r.RxPortConfig;
             EXPECT_EQ(std::tuple(p.dCurRefLat, p.dCurRefLon, p.dCurRefAlt, p.eCurDfxPort),
                       std::tuple(51.0123456, -114.5, 1048.25, 3));
         }},
        {"JdiffExternalOtherPort",
         nullptr,
         {Bare(">JDIFF,EXT-OTHER")},
         [](const GPSInfo& r) {
             EXPECT_EQ(r.eCurCorrSource, 4);
             EXPECT_EQ(bExtThisPort.load(), 0);
             bExtThisPort.store(1);
         }},
        {"JdiffTSpanOverride",
         [](GPSInfo& r) { r.eRxApp = 7; },
         {Bare(">JDIFF,BEACON")},
         [](const GPSInfo& r) { EXPECT_EQ(r.eCurCorrSource, 7); }},
        {"Japp",
         nullptr,
         {Bare(">JAPP,WAAS,SUBSEA7")},
         [](const GPSInfo& r) {
             EXPECT_EQ(r.eRxApp, 3);
             EXPECT_EQ(r.eRxOtherApp, 9);
         }},
        {"OtherPortBaud",
         nullptr,
         {Bare("> JBAUD,19200")},
         [](const GPSInfo& r) { EXPECT_EQ(r.iRxRTCMBaudRate, 19200); }},
        {"JshowItems",
         nullptr,
         {Bare(">JSHOW,ASC,GPGGA,1.0"), Bare(">JSHOW,ASC,GPGSV,0.2,OTHER"),
          Nmea(">JSHOW,ASC,HEHDT,10"), Bare(">JSHOW,ASC,PHPR,20,OTHER"),
          Bare(">JSHOW,ASC,GPRMC,5,PORTA"), Bare(">JSHOW,ASC,BEAC,0"),
          Bare(">JSHOW,ASC,DFX,1,PORTB"), Bare(">JSHOW,BIN,95,1"), Bare(">JSHOW,BIN,96,10,OTHER"),
          Bare(">JSHOW,BIN,97,10"), Bare(">JSHOW,MASK,10"), Nmea(">JSHOW,AGE,60"),
          Bare(">JSHOW,BAUD,19200,OTHER"), Nmea(">JSHOW,BAUD,38400"),
          Bare(">JSHOW,BAUD,115200,PORTC"), Bare(">JSHOW,FREQ,1545.0"),
          Bare(">JSHOW,CONF,WHATEVER")},
         [](const GPSInfo& r) {
             const PortConfig& p = r.RxPortConfig;
             EXPECT_EQ(std::tuple(p.eGGA, p.iSpare[RXSPARE_OTHER_GGA + 4], p.eHEHDT,
                                  p.iSpare[RXSPARE_OTHER_HPR], p.eRMC, p.bRTCM, p.eCurDfxPort,
                                  p.eBIN95, p.iSpare[RXSPARE_OTHER_GGA + 10], p.eBIN96),
                       std::tuple(2, 1, 4, 5, 0, 1, 2, 2, 4, 0));
             EXPECT_EQ(std::tuple(r.iRxElevation, r.iRxMaxAge, r.iRxRTCMBaudRate, r.iRxNMEABaudRate,
                                  r.LBand.bFreqAuto),
                       std::tuple(10, 60, 19200, 38400, 0u));
         }},
        {"JshowFrequencyAuto",
         [](GPSInfo& r) { r.LBand.bFreqAuto = 0; },
         {Bare(">JSHOW,FREQ,0")},
         [](const GPSInfo& r) { EXPECT_EQ(r.LBand.bFreqAuto, 1u); }},
        {"JradRows",
         [](GPSInfo& r) { r.JRAD.bXRefSubscribed = 1; },
         {Bare(">JRAD,1,FAILED,Not Subscribed for AUTODIFF"), Bare(">JRAD,2,OK")},
         [](const GPSInfo& r) {
             EXPECT_EQ(r.JRAD.bXRefSubscribed, 0u);
             EXPECT_EQ(r.JRAD.bXRefReady, 1u);
         }},
        {"JradThirdRow",
         nullptr,
         {Bare(">JRAD,1,OK"), Bare(">JRAD,2,OK"), Bare(">JRAD,3,BUSY")},
         [](const GPSInfo& r) {
             EXPECT_EQ(r.JRAD.bXRefSubscribed, 1u);
             EXPECT_EQ(r.JRAD.bXRefReady, 0u);
         }},
        {"BeaconStatus",
         nullptr,
         {Nmea("PKRV,CS0,FW2.1,X,301.5,M,200,M,25,18,3,4,123,1"), Nmea("PKRV,CS1,1,2,3"),
          Bare(">PKRV,Version,SBX-4 2.03")},
         [](const GPSInfo& r) {
             const BeaconInfo& b = r.Beacon;
             EXPECT_EQ(std::tuple(std::string(b.szBeaconFirmware), b.fBeaconFreq, b.cFreqMode,
                                  b.iBeaconBitRate, b.cRateMode, std::string(b.szBeaconVersion)),
                       std::tuple("FW2.1", 301.5f, 'M', 2, 'M', "SBX-4 2.03"));
             EXPECT_EQ(std::tuple(b.iSignalStrength, b.iSNR, b.iMTP, b.iQ, b.iStationId, b.iHealth),
                       std::tuple(25, 18, 3, 4, 123, 1));
             const WizardInfo& w = r.Settings.WizardLive;
             EXPECT_EQ(std::tuple(w.fFreq, w.iBitRate, w.iStationId), std::tuple(301.5f, 2, 123));
         }},
    };
}

}  // namespace decoder_cases
