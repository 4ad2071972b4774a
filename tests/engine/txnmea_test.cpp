#include "engine/txnmea.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <functional>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "platform/trace.h"
#include "wire_fixture.h"

using Events = std::vector<std::string>;

namespace {

struct SenderCase {
    const char* name;
    std::function<void()> send;
    Events expected;
};

TEST(TxNMEA, EverySenderWritesItsCommandWholeAndPausesAsSpecified) {
    wiretest::Wire wire;
    CTxNMEA& tx = g_TxNMEA;
    const SenderCase cases[] = {
        {"rate this", [&] { tx.SetMessageRate(RATE_1HZ, "GPGGA", false); }, {"$JASC,GPGGA,1\r\n"}},
        {"rate other",
         [&] { tx.SetMessageRate(RATE_5S, "GPGGA", true); },
         {"$JASC,GPGGA,0.2,OTHER\r\n\r\n"}},
        {"rate 20Hz", [&] { tx.SetMessageRate(RATE_20HZ, "D1", false); }, {"$JASC,D1,20\r\n"}},
        {"rate bad code", [&] { tx.SetMessageRate(6, "GPGSV", false); }, {"$JASC,GPGSV,\r\n"}},
        {"binary", [&] { tx.SetBinaryRate(RATE_OFF, 95, false); }, {"$JBIN,95,0\r\n"}},
        {"binary other",
         [&] { tx.SetBinaryRate(RATE_10HZ, 1, true); },
         {"$JBIN,1,10,OTHER\r\n\r\n"}},
        {"baud", [&] { tx.SetBaud(19200, false); }, {"$JBAUD,19200\r\n", "~250"}},
        {"baud other", [&] { tx.SetBaud(9600, true); }, {"$JBAUD,9600,OTHER\r\n", "~250"}},
        {"mask", [&] { tx.SetElevationMask(10); }, {"$JMASK,10\r\n"}},
        {"age", [&] { tx.SetMaxAge(-1); }, {"$JAGE,-1\r\n"}},
        {"freq auto", [&] { tx.SetFrequency(true, 1545000, 1200); }, {"$JFREQ,0\r\n"}},
        {"freq",
         [&] { tx.SetFrequency(false, 4294967295u, 2400); },
         {"$JFREQ,4294967295,2400\r\n"}},
        {"correction beac",
         [&] { tx.SetCorrectionOutput(1, 1); },
         {"$JASC,BEAC,0,OTHER\r\n", "$JASC,RTCM,0,OTHER\r\n", "$JASC,BEAC,0,OTHER\r\n",
          "$JASC,RTCM,0,OTHER\r\n", "$JASC,BEAC,1,OTHER\r\n"}},
        {"correction rtcm",
         [&] { tx.SetCorrectionOutput(0, 2); },
         {"$JASC,BEAC,0,OTHER\r\n", "$JASC,RTCM,0,OTHER\r\n", "$JASC,BEAC,0,OTHER\r\n",
          "$JASC,RTCM,0,OTHER\r\n", "$JASC,RTCM,0,OTHER\r\n"}},
        {"off", [&] { tx.OutputsOff(false); }, {"$JOFF\r\n", "~250"}},
        {"off other", [&] { tx.OutputsOff(true); }, {"$JOFF,OTHER\r\n", "~250"}},
        {"save", [&] { tx.SaveConfig(); }, {"$JSAVE\r\n", "~250"}},
        {"show", [&] { tx.QueryShow(); }, {"$JSHOW\r\n"}},
        {"info", [&] { tx.QueryInfo(); }, {"$JI\r\n"}},
        {"oms", [&] { tx.QueryOMS(); }, {"$JOMS\r\n"}},
        {"geo", [&] { tx.QueryGeo(); }, {"$JGEO,ALL\r\n"}},
        {"diff", [&] { tx.QueryDiff(); }, {"$JDIFF\r\n"}},
        {"app", [&] { tx.QueryApp(false); }, {"$JAPP\r\n"}},
        {"app other", [&] { tx.QueryApp(true); }, {"$JAPP,OTHER\r\n", "~2000"}},
        {"rtk", [&] { tx.QueryRTK(); }, {"$JRTK\r\n"}},
        {"rtk6", [&] { tx.SendRTK6(); }, {"$JRTK,6\r\n"}},
        {"rtk ref",
         [&] { tx.SetRTKReference(51.5, -0.125, 45.25); },
         {"$JRTK,1,51.500000,-0.125000,45.250000\r\n"}},
        {"roll?", [&] { tx.QueryRoll(); }, {"$JATT,ROLL\r\n"}},
        {"roll on", [&] { tx.SetRoll(true); }, {"$JATT,ROLL,YES\r\n"}},
        {"roll off", [&] { tx.SetRoll(false); }, {"$JATT,ROLL,NO\r\n"}},
        {"search", [&] { tx.SearchAttitude(); }, {"$JATT,SEARCH\r\n"}},
        {"att?", [&] { tx.QueryAttitude("HTAU"); }, {"$JATT,HTAU\r\n"}},
        {"flag yes", [&] { tx.SetAttitudeFlag("TILTAID", true); }, {"$JATT,TILTAID,YES\r\n"}},
        {"flag no", [&] { tx.SetAttitudeFlag("FLIPBRD", false); }, {"$JATT,FLIPBRD,NO\r\n"}},
        {"value", [&] { tx.SetAttitudeValue("MSEP", 0.5f); }, {"$JATT,MSEP,0.500000\r\n"}},
        {"value negative",
         [&] { tx.SetAttitudeValue("HBIAS", -1.25f); },
         {"$JATT,HBIAS,-1.250000\r\n"}},
        {"beacon on", [&] { tx.SetBeaconStatus(1, false); }, {"$PKRV,1,1\r\n", "~10"}},
        {"beacon off other", [&] { tx.SetBeaconStatus(0, true); }, {"$PKRV,1,0,OTHER\r\n", "~10"}},
        {"erase", [&] { tx.BeaconErase(); }, {"$PKRV,4\r\n"}},
        {"modem reset",
         [&] { tx.ModemReset(); },
         {"ATMC\r\n", "~200", "ATMC\r\n", "~200", "ATURST\r\n", "~200", "ATURST\r\n", "~200"}},
        {"raw text", [&] { tx.SendString("$JRAD,1\r\n"); }, {"$JRAD,1\r\n"}},
    };
    for (const SenderCase& c : cases) {
        c.send();
        EXPECT_EQ(wire.Take(), c.expected) << c.name;
    }
}

TEST(TxNMEA, RtkReferenceClearsTheRejectedFlag) {
    wiretest::Wire wire;
    g_bRTKRefInvalid = 1;
    g_TxNMEA.SetRTKReference(1, 2, 3);
    EXPECT_EQ(g_bRTKRefInvalid.load(), 0);
}

TEST(TxNMEA, TuneBeaconRangeEdges) {
    wiretest::Wire wire;
    const struct {
        float freq;
        int code;
        const char* wire;
    } cases[] = {
        {283.5f, 2, "$GPMSK,283.5,M,200,M,0\r\n"}, {301.5f, 1, "$GPMSK,301.5,M,100,M,0\r\n"},
        {325.0f, 0, "$GPMSK,325.0,M,,A,0\r\n"},    {325.1f, 2, "$GPMSK,,A,200,M,0\r\n"},
        {283.4f, 0, "$GPMSK,,A,,A,0\r\n"},         {0.0f, 0, "$GPMSK,,A,,A,0\r\n"},
        {NAN, 1, "$GPMSK,,A,100,M,0\r\n"},
    };
    for (const auto& c : cases) {
        g_TxNMEA.TuneBeacon(c.freq, c.code, 7);
        EXPECT_EQ(wire.Take(), Events{c.wire}) << c.freq << " " << c.code;
    }
}

TEST(TxNMEA, SetDiffSourceForEveryCode) {
    wiretest::Wire wire;
    int handOvers = 0;
    g_TxNMEA.SetBaudHandOverHook([&] { ++handOvers; });
    const struct {
        int code;
        int otherApp;
        int extThisPort;
        Events expected;
        int handOvers;
    } cases[] = {
        {0, 0, 1, {"$JDIFF,NONE\r\n"}, 0},
        {1, 1, 1, {"$JDIFF,BEACON\r\n"}, 0},  // the beacon never switches application
        {2, 0, 1, {"$JDIFF,LBAND\r\n"}, 0},
        {2, 2, 1, {"$JAPP,OTHER\r\n", "~5000", "$JDIFF,LBAND\r\n"}, 1},
        {3, 0, 1, {"$JDIFF,WAAS\r\n"}, 0},
        {3, 3, 1, {"$JAPP,OTHER\r\n", "~5000", "$JDIFF,WAAS\r\n"}, 1},
        {4, 4, 1, {"$JDIFF,THIS\r\n"}, 0},
        {4, 0, 0, {"$JDIFF,OTHER\r\n"}, 0},
        {5, 5, 1, {}, 0},
        {6, 0, 1, {"$JDIFF,WAAS\r\n"}, 0},
        {6, 6, 1, {"$JAPP,OTHER\r\n", "~5000", "$JDIFF,WAAS\r\n"}, 1},
        {7, 0, 1, {"~500", "$JAPP\r\n"}, 0},
        {7, 7, 1, {"$JAPP,OTHER\r\n", "~5000", "~500", "$JAPP\r\n"}, 1},
        {8, 8, 1, {"$JAPP,OTHER\r\n", "~5000", "~500", "$JAPP\r\n"}, 1},
        {9, 9, 1, {}, 0},
    };
    for (const auto& c : cases) {
        g_GPS.Info.eRxOtherApp = c.otherApp;
        g_GPS.Info.eReqCorrSource = -1;
        bExtThisPort = c.extThisPort;
        handOvers = 0;
        g_TxNMEA.SetDiffSource(c.code);
        EXPECT_EQ(wire.Take(), c.expected) << c.code << "/" << c.otherApp;
        EXPECT_EQ(handOvers, c.handOvers) << c.code;
        EXPECT_EQ(g_GPS.Info.eReqCorrSource, c.code);
    }
    for (int bad : {10, -1, 1000}) {
        platform::ClearTrace();
        g_GPS.Info.eReqCorrSource = 3;
        g_TxNMEA.SetDiffSource(bad);
        EXPECT_TRUE(wire.Take().empty());
        EXPECT_TRUE(platform::TraceContains("Unknown diff type!"));
        EXPECT_EQ(g_GPS.Info.eReqCorrSource, 3) << "an unknown code is not recorded";
    }
}

TEST(TxNMEA, QueryAppInDemoModeShowsTheRequestedSource) {
    wiretest::Wire wire;
    App().bDemoMode = 1;
    g_GPS.Info.eReqCorrSource = CORR_SBAS;
    g_GPS.Info.eCurCorrSource = CORR_NONE;
    g_TxNMEA.QueryApp(false);
    EXPECT_EQ(g_GPS.Info.eCurCorrSource, CORR_SBAS);
    App().bDemoMode = 0;
    g_GPS.Info.eReqCorrSource = CORR_BEACON;
    g_TxNMEA.QueryApp(false);
    EXPECT_EQ(g_GPS.Info.eCurCorrSource, CORR_SBAS);
}

class PollTest : public ::testing::Test {
protected:
    void SetUp() override {
        App().bStartupPhase = 0;
        App().iBin1Rate = 1;
        App().eReceiverType = 0;
        bSuppressPolling = 0;
        InitPollTick();
        g_GPS.Info.eCurCorrSource = CORR_NONE;
    }
    wiretest::Wire wire;
};

TEST_F(PollTest, RunsAtMostOncePerPeriod) {
    g_TxNMEA.Poll();
    wire.clock.Advance(2000);
    g_TxNMEA.Poll();
    EXPECT_TRUE(wire.Take().empty()) << "2000 ms is not above the period";
    wire.clock.Advance(1);
    g_TxNMEA.Poll();
    EXPECT_EQ(wire.Take(), (Events{"$JDIFF\r\n", "~10", "$JBIN,1,1\r\n", "~10", "~10"}));
    wire.clock.Advance(1500);
    g_TxNMEA.Poll();
    EXPECT_TRUE(wire.Take().empty()) << "1500 ms after a cycle";

    App().eReceiverType = 2;  // Bluetooth link: 5000 ms
    wire.clock.Advance(3000);
    g_TxNMEA.Poll();
    EXPECT_TRUE(wire.Take().empty());
    wire.clock.Advance(1000);
    g_TxNMEA.Poll();
    EXPECT_FALSE(wire.Take().empty());
}

TEST_F(PollTest, TickWrapAroundStillPolls) {
    g_dwLastPollTick = 0xFFFFFF00u;
    g_TxNMEA.Poll();  // now (100000) is far past the wrapped last tick
    EXPECT_FALSE(wire.Take().empty());
}

TEST_F(PollTest, StartupPhaseSendsTheDiffAndApplicationQueriesOnly) {
    App().bStartupPhase = 1;
    wire.clock.Advance(2001);
    g_TxNMEA.Poll();
    EXPECT_EQ(wire.Take(), (Events{"$JDIFF\r\n", "~10", "$JAPP\r\n", "~10"}));
}

TEST_F(PollTest, SuppressionLeavesTheDiffQuery) {
    bSuppressPolling = 1;
    g_GPS.Info.eCurCorrSource = CORR_BEACON;
    wire.clock.Advance(2001);
    g_TxNMEA.Poll();
    EXPECT_EQ(wire.Take(), (Events{"$JDIFF\r\n", "~10"}));
}

TEST_F(PollTest, TailFollowsTheCurrentSource) {
    const struct {
        int source;
        Events tail;
    } cases[] = {
        {CORR_BEACON, {"$PKRV,1,1\r\n", "~10", "~10"}},
        {CORR_LBND, {"$JASC,D1,1\r\n", "~10"}},
        {CORR_SBAS, {"$JASC,D1,1\r\n", "~10"}},
        {CORR_NONE, {"~10"}},
        {CORR_XREF, {"~10"}},
        {CORR_TSPAN_ROVER, {"~10"}},
    };
    App().iBin1Rate = 5;
    for (const auto& c : cases) {
        g_GPS.Info.eCurCorrSource = c.source;
        wire.clock.Advance(2001);
        g_TxNMEA.Poll();
        Events expected{"$JDIFF\r\n", "~10", "$JBIN,1,5\r\n", "~10"};
        expected.insert(expected.end(), c.tail.begin(), c.tail.end());
        EXPECT_EQ(wire.Take(), expected) << c.source;
    }
}

TEST(TxNMEA, PartlyTakenCommandIsCompletedWithTheSameBytes) {
    wiretest::Wire wire;
    wire.device.SetWriteLimit(3);
    g_TxNMEA.SetRTKReference(51.5, -0.125, 45.25);
    g_TxNMEA.QueryShow();
    EXPECT_EQ(wire.device.wire(), "$JRTK,1,51.500000,-0.125000,45.250000\r\n$JSHOW\r\n");
}

TEST(TxNMEA, FailedWriteIsTraced) {
    wiretest::Wire wire;
    wire.device.SetWriteError(EIO);
    platform::ClearTrace();
    g_TxNMEA.QueryShow();
    EXPECT_TRUE(platform::TraceContains("Error on Serial Communication"));
}

TEST(TxNMEA, ClosedPortSendsNothingAndTracesNothing) {
    wiretest::Wire wire;
    wire.comm->ClosePort();
    platform::ClearTrace();
    g_TxNMEA.QueryShow();
    EXPECT_TRUE(wire.device.wire().empty());
    EXPECT_FALSE(platform::TraceContains("Error on Serial Communication"));
}

void SendNumericCommands() {
    g_TxNMEA.SetRTKReference(-33.8568, 151.2153, 58.125);
    g_TxNMEA.SetAttitudeValue("HTAU", 0.5f);
    g_TxNMEA.TuneBeacon(301.5f, 1, 0);
    g_TxNMEA.SetMessageRate(RATE_5S, "GPGGA", false);
}

class CommaLocaleTest : public ::testing::TestWithParam<wiretest::CommaLocale> {};

TEST_P(CommaLocaleTest, CommandsKeepTheirBytes) {
    wiretest::Wire wire;
    SendNumericCommands();
    const std::string reference = wire.TakeWire();
    ASSERT_NE(reference.find("0.500000"), std::string::npos);
    if (!wiretest::WithCommaLocale(GetParam(), SendNumericCommands)) {
        DECIMAL_COMMA_MISSING(wiretest::kNoGermanLocale);
    }
    EXPECT_EQ(wire.TakeWire(), reference);
}

INSTANTIATE_TEST_SUITE_P(Locales, CommaLocaleTest,
                         ::testing::Values(wiretest::CommaLocale::Numpunct,
                                           wiretest::CommaLocale::System),
                         wiretest::CommaLocaleName);

}  // namespace
