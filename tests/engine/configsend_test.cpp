// The configuration senders: whole and changed settings, and the read-back from the receiver.

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "engine/gps.h"
#include "engine/tspan.h"
#include "engine/txnmea.h"
#include "wire_fixture.h"

using Events = std::vector<std::string>;

namespace {

Events Concat(std::initializer_list<Events> parts) {
    Events out;
    for (const Events& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

const Events kCorrectionBeac = {"$JASC,BEAC,0,OTHER\r\n", "$JASC,RTCM,0,OTHER\r\n",
                                "$JASC,BEAC,0,OTHER\r\n", "$JASC,RTCM,0,OTHER\r\n"};

Events Correction(int rate, const char* type) {
    Events out = kCorrectionBeac;
    out.push_back(std::string("$JASC,") + type + "," + std::to_string(rate) + ",OTHER\r\n");
    return out;
}

class ConfigSendTest : public ::testing::Test {
protected:
    void SetUp() override {
        gps = std::make_unique<CGPS>();
        WizardInfo& w = gps->Info.Settings.WizardLive;
        w.Init();
        w.iNMEABaudRate = 19200;
        w.iRTCMBaudRate = 4800;
        w.iElevation = 10;
        w.iMaxAge = 300;
        w.ulFreqKhz = 1545530;
        w.iSymbolRate = 2400;
        w.dRefLat = 51.5;
        w.dRefLon = -0.125;
        w.dRefAlt = 45.25;
        w.eDfxPort = DFX_PORTB;
        w.ThisPortConfig.eGGA = RATE_1HZ;
        w.ThisPortConfig.eBIN95 = RATE_5HZ;
        w.ThisPortConfig.bRTCM = 1;
        w.OtherPortConfig.eHPR = RATE_10HZ;
    }
    wiretest::Wire wire;
    std::unique_ptr<CGPS> gps;
};

TEST_F(ConfigSendTest, SendConfigSendsEverySettingInOrder) {
    gps->SendConfig(gps->Info.Settings.WizardLive);
    const Events expected = Concat({
        {"$JBAUD,19200\r\n", "~250", "$JBAUD,4800,OTHER\r\n", "~250", "$JMASK,10\r\n",
         "$JAGE,300\r\n", "~20", "$JFREQ,1545530,2400\r\n", "~20",
         "$JRTK,1,51.500000,-0.125000,45.250000\r\n", "~100", "$JASC,DFX,1,PORTB\r\n"},
        {"$JASC,GPGGA,1\r\n", "~20", "$JASC,GPGLL,0\r\n", "~20", "$JASC,GPGST,0\r\n", "~20",
         "$JASC,GPGSV,0\r\n", "~20", "$JASC,GPRMC,0\r\n", "~20", "$JASC,GPRRE,0\r\n", "~20",
         "$JASC,GPVTG,0\r\n", "~20", "$JASC,GPZDA,0\r\n", "~20", "$JASC,GPGSA,0\r\n", "~20",
         "$JBIN,95,5\r\n",    "~20", "$JBIN,96,0\r\n",    "~20", "$JASC,HEHDT,0\r\n", "~20",
         "$JASC,HEROT,0\r\n", "~20", "$JASC,HPR,0\r\n",   "~20"},
        {"$JASC,GPGGA,0,OTHER\r\n\r\n", "~20", "$JASC,GPGLL,0,OTHER\r\n\r\n", "~20",
         "$JASC,GPGST,0,OTHER\r\n\r\n", "~20", "$JASC,GPGSV,0,OTHER\r\n\r\n", "~20",
         "$JASC,GPRMC,0,OTHER\r\n\r\n", "~20", "$JASC,GPRRE,0,OTHER\r\n\r\n", "~20",
         "$JASC,GPVTG,0,OTHER\r\n\r\n", "~20", "$JASC,GPZDA,0,OTHER\r\n\r\n", "~20",
         "$JASC,GPGSA,0,OTHER\r\n\r\n", "~20", "$JBIN,95,0,OTHER\r\n\r\n",    "~20",
         "$JBIN,96,0,OTHER\r\n\r\n",    "~20", "$JASC,HEHDT,0,OTHER\r\n\r\n", "~20",
         "$JASC,HEROT,0,OTHER\r\n\r\n", "~20", "$JASC,HPR,10,OTHER\r\n\r\n",  "~20"},
        Correction(1, "BEAC"),
        {"~20"},
        Correction(1, "RTCM"),
        {"~20"},
    });
    EXPECT_EQ(wire.Take(), expected);
    EXPECT_EQ(gps->Info.Settings.WizardSnapshot.iNMEABaudRate, 19200);
    EXPECT_EQ(gps->Info.Settings.WizardSnapshot.OtherPortConfig.eHPR, RATE_10HZ);
}

TEST_F(ConfigSendTest, DfxPortNoneSendsNoDfxCommand) {
    gps->Info.Settings.WizardLive.eDfxPort = DFX_NONE;
    gps->SendConfig(gps->Info.Settings.WizardLive);
    for (const std::string& e : wire.Take()) EXPECT_EQ(e.find("DFX"), std::string::npos) << e;
}

TEST_F(ConfigSendTest, ChangedConfigRightAfterSendConfigSendsOnlyTheCorrectionOutput) {
    gps->SendConfig(gps->Info.Settings.WizardLive);
    wire.Take();
    gps->SendChangedConfig(gps->Info.Settings.WizardLive);
    EXPECT_EQ(wire.Take(), Concat({Correction(1, "BEAC"), Correction(1, "RTCM"), {"~20"}}));
}

TEST_F(ConfigSendTest, ChangedConfigSendsWhatDiffers) {
    WizardInfo& live = gps->Info.Settings.WizardLive;
    gps->Info.Settings.WizardSnapshot = live;
    live.iNMEABaudRate = 38400;
    live.iRTCMBaudRate = 9600;
    live.iElevation = 15;
    live.iMaxAge = 600;
    live.iSymbolRate = 1200;
    live.dRefLat = 1.0;  // never sent by this sender
    live.eDfxPort = DFX_PORTA;
    live.fFreq = 300.0f;
    live.ThisPortConfig.eZDA = RATE_1HZ;
    live.ThisPortConfig.eGSV = RATE_5S;
    live.OtherPortConfig.eGSA = RATE_5HZ;
    live.ThisPortConfig.bRTCM = 0;
    gps->SendChangedConfig(live);
    const Events expected = Concat({
        {"$JBAUD,38400\r\n", "~250", "~20", "$JBAUD,9600,OTHER\r\n", "~250", "~20", "$JMASK,15\r\n",
         "~20", "$JAGE,600\r\n", "~20", "$JFREQ,1545530,1200\r\n", "~20", "$JASC,GPGSV,0.2\r\n",
         "~20", "$JASC,GPZDA,1\r\n",  // no pause after ZDA
         "$JASC,GPGSA,5,OTHER\r\n\r\n", "~20"},
        Correction(0, "BEAC"),
        Correction(0, "RTCM"),
        {"~20"},
    });
    EXPECT_EQ(wire.Take(), expected);
    EXPECT_EQ(gps->Info.Settings.WizardSnapshot.ThisPortConfig.eZDA, RATE_1HZ);
    EXPECT_EQ(gps->Info.Settings.WizardSnapshot.dRefLat, 1.0);
}

// The receiver's replies, as the reader thread would decode them during the pauses.
void AnswerLikeAReceiver(CGPS& gps, const std::string& command) {
    GPSInfo& info = gps.Info;
    App().uRepliesHeard.fetch_add(1);
    if (command == "$JSHOW\r\n") {
        RecordLock lock(info.ulPart1Lock);
        info.iRxNMEABaudRate = 115200;
        info.iRxRTCMBaudRate = 19200;
        info.iRxElevation = 7;
        info.iRxMaxAge = 1800;
        info.RxPortConfig.eGGA = RATE_1HZ;
        info.RxPortConfig.eGSA = RATE_5HZ;
        info.RxPortConfig.eHPR = RATE_10HZ;
        info.RxPortConfig.iSpare[RXSPARE_OTHER_GGA + 2] = RATE_5S;  // other port's GSA
        info.RxPortConfig.iSpare[RXSPARE_OTHER_HPR] = RATE_20HZ;
        info.RxPortConfig.iSpare[RXSPARE_OTHER_GGA + 10] = RATE_1HZ;  // other port's BIN96
    } else if (command == "$JGEO,ALL\r\n") {
        info.LBand.ulGeoFreqKhz = 1545485;
        info.LBand.iGeoId = 1201;
    } else if (command == "$PKRV,1,1\r\n") {
        info.Beacon.fBeaconFreq = 313.0f;
        info.Beacon.iBeaconBitRate = 2;
        info.Beacon.iStationId = 812;
    } else if (command == "$JRTK\r\n") {
        info.RxPortConfig.dCurRefLat = 51.25;
        info.RxPortConfig.dCurRefLon = -1.5;
        info.RxPortConfig.dCurRefAlt = 99.5;
        info.RxPortConfig.eCurDfxPort = DFX_PORTC;
    }
}

TEST_F(ConfigSendTest, ReadConfigQueriesWithItsPausesAndFillsTheSettings) {
    // Left from a previous read: cleared before the queries.
    gps->Info.RxPortConfig.eGLL = RATE_1HZ;
    gps->Info.RxPortConfig.iSpare[RXSPARE_OTHER_GGA] = RATE_1HZ;
    gps->Info.RxPortConfig.bRTCM = 1;
    gps->Info.RxPortConfig.dCurRefLat = 3.0;
    wire.device.onWrite = [&](const std::string& text) { AnswerLikeAReceiver(*gps, text); };

    WizardInfo& w = gps->Info.Settings.WizardLive;
    EXPECT_EQ(gps->ReadConfig(w), 1);
    const Events events = wire.Take();
    Events expected;
    for (const char* id : {"1", "2", "80", "93", "94", "97", "98"})
        expected.insert(expected.end(), {std::string("$JBIN,") + id + ",0\r\n", "~100"});
    expected.insert(expected.end(), {"$JBIN,99,0\r\n", "$JI\r\n", "~50"});
    for (int i = 0; i < 6; ++i) expected.insert(expected.end(), {"$JSHOW\r\n", "~500"});
    for (int i = 0; i < 2; ++i) expected.insert(expected.end(), {"$JGEO,ALL\r\n", "~500"});
    for (int i = 0; i < 2; ++i) expected.insert(expected.end(), {"$PKRV,1,1\r\n", "~10", "~500"});
    expected.insert(expected.end(), {"$JDIFF\r\n", "~100", "~100", "$JRTK,6\r\n", "~100",
                                     "$JRTK\r\n", "~500", "$PKRV,1,0\r\n", "~10", "~100"});
    EXPECT_EQ(events, expected);
    int paused = 0;
    for (const std::string& e : events) {
        if (e[0] == '~') paused += std::stoi(e.substr(1));
    }
    EXPECT_EQ(paused, 6680);

    EXPECT_EQ(std::tuple(w.iNMEABaudRate, w.iRTCMBaudRate, w.iElevation, w.iMaxAge, w.ulFreqKhz,
                         w.iSymbolRate, w.fFreq, w.iBitRate, w.iStationId),
              std::tuple(115200, 19200, 7, 1800, 1545485u, 1201, 313.0f, 2, 812));
    // The correction flag of this port is kept through the clear.
    const PortConfig &t = w.ThisPortConfig, &o = w.OtherPortConfig;
    EXPECT_EQ(std::tuple(t.eGGA, t.eGLL, t.eGSA, t.eHPR, t.bRTCM),
              std::tuple(RATE_1HZ, RATE_OFF, RATE_5HZ, RATE_10HZ, 1));
    EXPECT_EQ(std::tuple(o.eGGA, o.eGSA, o.eHPR, o.eBIN96, o.bRTCM),
              std::tuple(RATE_OFF, RATE_5S, RATE_20HZ, RATE_1HZ, 1));
    EXPECT_EQ(std::tuple(w.dRefLat, w.dRefLon, w.dRefAlt, w.eDfxPort),
              std::tuple(51.25, -1.5, 99.5, DFX_PORTC));
    EXPECT_EQ(std::memcmp(&gps->Info.Settings.WizardSnapshot, &w, sizeof(w)), 0);
    EXPECT_EQ(gps->Info.RxPortConfig.ulLastWord, 0u) << "every lock released";
    EXPECT_EQ(gps->Info.ulPart1Lock, 0u);

    // The snapshot now mirrors the settings: a changed-send sends only the correction output.
    gps->SendChangedConfig(w);
    EXPECT_EQ(wire.Take(), Concat({Correction(1, "BEAC"), Correction(1, "RTCM"), {"~20"}}));
}

// A receiver that answers nothing tells nothing: the settings held before stay, and so does
// the snapshot; only the record's own report of rates and reference is cleared.
TEST_F(ConfigSendTest, ReadConfigWithoutRepliesKeepsTheSettingsHeld) {
    gps->Info.RxPortConfig.dCurRefLat = 3.0;
    gps->Info.RxPortConfig.eCurDfxPort = DFX_PORTA;
    gps->Info.RxPortConfig.eGGA = RATE_1HZ;
    WizardInfo& w = gps->Info.Settings.WizardLive;
    const WizardInfo held = w;
    gps->Info.Settings.WizardSnapshot = held;
    gps->ReadConfig(w);
    EXPECT_EQ(App().bReadBackUnanswered.load(), 1);
    EXPECT_EQ(std::memcmp(&w, &held, sizeof(w)), 0);
    EXPECT_EQ(std::memcmp(&gps->Info.Settings.WizardSnapshot, &held, sizeof(w)), 0);
    EXPECT_EQ(std::tuple(gps->Info.RxPortConfig.dCurRefLat, gps->Info.RxPortConfig.eCurDfxPort,
                         gps->Info.RxPortConfig.eGGA),
              std::tuple(0.0, DFX_NONE, RATE_OFF));
}

TEST(TSpanSenders, ReferenceAndPortCommands) {
    wiretest::Wire wire;
    auto gps = std::make_unique<CGPS>();
    TSpan tspan(gps.get());
    tspan.SendReference(51.5, -0.125, 45.25);
    tspan.QueryReference();
    for (int port : {0, 1, 2, 3, 4, -1}) tspan.SendDfxPort(port);
    EXPECT_EQ(wire.Take(),
              (Events{"$JRTK,1,51.500000,-0.125000,45.250000\r\n", "~100", "~100", "$JRTK,6\r\n",
                      "~100", "$JRTK\r\n", "~500", "$JASC,DFX,1,PORTA\r\n", "$JASC,DFX,1,PORTB\r\n",
                      "$JASC,DFX,1,PORTC\r\n"}));
    gps->Info.RxPortConfig.dCurRefLat = 10.5;
    gps->Info.RxPortConfig.eCurDfxPort = 2;
    tspan.SaveReference();
    EXPECT_EQ(gps->Info.Settings.WizardLive.dRefLat, 10.5);
    EXPECT_EQ(gps->Info.Settings.WizardLive.eDfxPort, 2);
    tspan.ResetReference();
    EXPECT_EQ(gps->Info.RxPortConfig.dCurRefLat, 0.0);
    EXPECT_EQ(gps->Info.RxPortConfig.eCurDfxPort, 0);
}

TEST(TSpanSenders, PortNameAndTypedReference) {
    wiretest::Wire wire;
    auto gps = std::make_unique<CGPS>();
    TSpan tspan(gps.get());
    tspan.SendDfxPortName("PORTB");
    EXPECT_EQ(wire.Take(),
              (Events{"$JASC,DFX,0,PORTA\r\n", "~40", "$JASC,DFX,0,PORTB\r\n", "~40",
                      "$JASC,DFX,0,PORTC\r\n", "~40", "$JASC,DFX,1,PORTB\r\n", "~50"}));

    struct Row {
        const char *lat, *lon, *height;
        bool rejectDuringPause;  // the receiver answers FAILED within the 250 ms
        bool staleFlag;          // a rejection left from an earlier command
        const char* command;
        bool accepted;
    };
    const Row rows[] = {
        {"51.5", "-0.1", "45", false, false, "$JRTK,1,51.5,-0.1,45\r\n", true},
        {"51.5", "-0.1", "45", true, false, "$JRTK,1,51.5,-0.1,45\r\n", false},
        {"51.5", "-0.1", "45", false, true, "$JRTK,1,51.5,-0.1,45\r\n", true},
        // Unprintable characters go, and each text keeps at most 19 characters.
        {"5\t1\xC3\xA9.5", "-0.12345678901234567890", "4\r5", false, false,
         "$JRTK,1,51.5,-0.1234567890123456,45\r\n", true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.command);
        g_bRTKRefInvalid.store(row.staleFlag ? 1 : 0);
        wire.clock.onSleep = [&](uint32_t) {
            if (row.rejectDuringPause) g_bRTKRefInvalid.store(1);
        };
        EXPECT_EQ(tspan.SendReferenceText(row.lat, row.lon, row.height), row.accepted);
        wire.clock.onSleep = nullptr;
        EXPECT_EQ(wire.Take(), (Events{row.command, "~250"}));
        EXPECT_EQ(g_bRTKRefInvalid.load(), 0);
    }
}

TEST(RecordSenders, BinaryRatesToTheOtherPortAndHeadingFlags) {
    wiretest::Wire wire;
    BINLogRateInfo bin;
    bin.Init();
    bin.eBIN2 = RATE_1HZ;
    bin.eD1 = RATE_5S;
    bin.Send(PORT_OTHER);
    EXPECT_EQ(wire.Take(), (Events{"$JBIN,1,0,OTHER\r\n\r\n", "$JBIN,2,1,OTHER\r\n\r\n",
                                   "$JBIN,80,0,OTHER\r\n\r\n", "$JBIN,95,0,OTHER\r\n\r\n",
                                   "$JBIN,96,0,OTHER\r\n\r\n", "$JBIN,97,0,OTHER\r\n\r\n",
                                   "$JBIN,98,0,OTHER\r\n\r\n", "$JBIN,99,0,OTHER\r\n\r\n",
                                   "$JASC,D1,0.2,OTHER\r\n\r\n"}));
    NavInfo nav;
    nav.Init();
    nav.bRollOutput = 0;
    nav.bTiltAid = 0;
    nav.bNegTilt = 1;
    nav.fCurSep = -2.75f;
    nav.SendHeadingSettings();
    EXPECT_EQ(
        wire.Take(),
        (Events{"$JATT,ROLL,NO\r\n", "$JATT,TILTAID,NO\r\n", "$JATT,GYROAID,NO\r\n",
                "$JATT,LEVEL,NO\r\n", "$JATT,NEGTILT,YES\r\n", "$JATT,FLIPBRD,NO\r\n",
                "$JATT,HTAU,0.500000\r\n", "$JATT,HRTAU,2.000000\r\n", "$JATT,COGTAU,0.000000\r\n",
                "$JATT,SPDTAU,0.000000\r\n", "$JATT,HBIAS,0.000000\r\n", "$JATT,PBIAS,0.000000\r\n",
                "$JATT,MSEP,0.500000\r\n", "$JATT,CSEP,-2.750000\r\n"}));
}

}  // namespace
