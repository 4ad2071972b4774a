// The command senders, the settings senders and the read-back: bytes and pauses on the wire.

#include "engine/txnmea.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "engine/nmea.h"
#include "engine/tspan.h"
#include "platform/trace.h"
#include "wire_fixture.h"

namespace {

using wiretest::Join;

using wiretest::Concat;
using wiretest::Events;
using wiretest::PortStream;

// Fixed queries and most senders are checked where a sequence or a screen sends them.
TEST(TxNMEA, SendersWriteTheirCommandWholeWithItsPause) {
    wiretest::Wire wire;
    CTxNMEA& tx = g_TxNMEA;
    const std::pair<std::function<void()>, Events> cases[] = {
        {[&] { tx.SetMessageRate(RATE_1HZ, "GPGGA", false); }, {"$JASC,GPGGA,1\r\n"}},
        {[&] { tx.SetMessageRate(RATE_5S, "GPGGA", true); }, {"$JASC,GPGGA,0.2,OTHER\r\n\r\n"}},
        {[&] { tx.SetMessageRate(RATE_20HZ, "D1", false); }, {"$JASC,D1,20\r\n"}},
        {[&] { tx.SetBinaryRate(RATE_OFF, 95, false); }, {"$JBIN,95,0\r\n"}},
        {[&] { tx.SetBinaryRate(RATE_10HZ, 1, true); }, {"$JBIN,1,10,OTHER\r\n\r\n"}},
        {[&] { tx.SetBaud(19200, false); }, {"$JBAUD,19200\r\n", "~250"}},
        {[&] { tx.SetElevationMask(10); }, {"$JMASK,10\r\n"}},
        {[&] { tx.SetMaxAge(-1); }, {"$JAGE,-1\r\n"}},
        {[&] { tx.OutputsOff(false); }, {"$JOFF\r\n", "~250"}},
        {[&] { tx.SaveConfig(); }, {"$JSAVE\r\n", "~250"}},
        {[&] { tx.QueryShow(); }, {"$JSHOW\r\n"}},
        {[&] { tx.QueryInfo(); }, {"$JI\r\n"}},
        {[&] { tx.QueryOMS(); }, {"$JOMS\r\n"}},
        {[&] { tx.QueryGeo(); }, {"$JGEO,ALL\r\n"}},
        {[&] { tx.QueryDiff(); }, {"$JDIFF\r\n"}},
        {[&] { tx.QueryApp(false); }, {"$JAPP\r\n"}},
        {[&] { tx.QueryRTK(); }, {"$JRTK\r\n"}},
        {[&] { tx.SendRTK6(); }, {"$JRTK,6\r\n"}},
        {[&] { tx.QueryRoll(); }, {"$JATT,ROLL\r\n"}},
        {[&] { tx.SetRoll(true); }, {"$JATT,ROLL,YES\r\n"}},
        {[&] { tx.SetRoll(false); }, {"$JATT,ROLL,NO\r\n"}},
        {[&] { tx.SearchAttitude(); }, {"$JATT,SEARCH\r\n"}},
        {[&] { tx.QueryAttitude("HTAU"); }, {"$JATT,HTAU\r\n"}},
        {[&] { tx.SetAttitudeFlag("TILTAID", true); }, {"$JATT,TILTAID,YES\r\n"}},
        {[&] { tx.SetAttitudeFlag("FLIPBRD", false); }, {"$JATT,FLIPBRD,NO\r\n"}},
        {[&] { tx.SetAttitudeValue("MSEP", 0.5f); }, {"$JATT,MSEP,0.500000\r\n"}},
        {[&] { tx.SetAttitudeValue("HBIAS", -1.25f); }, {"$JATT,HBIAS,-1.250000\r\n"}},
        {[&] { tx.SetBeaconStatus(1, false); }, {"$PKRV,1,1\r\n", "~10"}},
        {[&] { tx.BeaconErase(); }, {"$PKRV,4\r\n"}},
        {[&] { tx.SendString("$JRAD,1\r\n"); }, {"$JRAD,1\r\n"}},
        {[&] { tx.ModemReset(); },
         {"ATMC\r\n", "~200", "ATMC\r\n", "~200", "ATURST\r\n", "~200", "ATURST\r\n", "~200"}},
        {[&] { tx.SetCorrectionOutput(1, 1); },
         {"$JASC,BEAC,0,OTHER\r\n", "$JASC,RTCM,0,OTHER\r\n", "$JASC,BEAC,0,OTHER\r\n",
          "$JASC,RTCM,0,OTHER\r\n", "$JASC,BEAC,1,OTHER\r\n"}},
        {[&] { tx.SetCorrectionOutput(0, 2); },
         {"$JASC,BEAC,0,OTHER\r\n", "$JASC,RTCM,0,OTHER\r\n", "$JASC,BEAC,0,OTHER\r\n",
          "$JASC,RTCM,0,OTHER\r\n", "$JASC,RTCM,0,OTHER\r\n"}},
        {[&] { tx.SetMessageRate(6, "GPGSV", false); }, {"$JASC,GPGSV,\r\n"}},
        {[&] { tx.SetBaud(9600, true); }, {"$JBAUD,9600,OTHER\r\n", "~250"}},
        {[&] { tx.SetFrequency(true, 1545000, 1200); }, {"$JFREQ,0\r\n"}},
        {[&] { tx.SetFrequency(false, 4294967295u, 2400); }, {"$JFREQ,4294967295,2400\r\n"}},
        {[&] { tx.OutputsOff(true); }, {"$JOFF,OTHER\r\n", "~250"}},
        {[&] { tx.QueryApp(true); }, {"$JAPP,OTHER\r\n", "~2000"}},
        {[&] { tx.SetBeaconStatus(0, true); }, {"$PKRV,1,0,OTHER\r\n", "~10"}},
        // Beacon tuning: frequencies outside 283.5-325 kHz and unknown rate codes go as automatic.
        {[&] { tx.TuneBeacon(325.0f, 0, 7); }, {"$GPMSK,325.0,M,,A,0\r\n"}},
        {[&] { tx.TuneBeacon(NAN, 1, 7); }, {"$GPMSK,,A,100,M,0\r\n"}},
        {[&] { tx.TuneBeacon(283.5f, 2, 7); }, {"$GPMSK,283.5,M,200,M,0\r\n"}},
        {[&] { tx.TuneBeacon(301.5f, 1, 7); }, {"$GPMSK,301.5,M,100,M,0\r\n"}},
        {[&] { tx.TuneBeacon(325.1f, 2, 7); }, {"$GPMSK,,A,200,M,0\r\n"}},
        {[&] { tx.TuneBeacon(283.4f, 0, 7); }, {"$GPMSK,,A,,A,0\r\n"}},
        {[&] { tx.TuneBeacon(0.0f, 0, 7); }, {"$GPMSK,,A,,A,0\r\n"}},
    };
    for (const auto& [send, expected] : cases) {
        send();
        EXPECT_EQ(wire.Take(), expected);
    }
    g_bRTKRefInvalid = 1;
    tx.SetRTKReference(1, 2, 3);
    EXPECT_EQ(g_bRTKRefInvalid.load(), 0) << "a new reference clears the rejection";
}

TEST(TxNMEA, SetDiffSourceForEveryPath) {
    wiretest::Wire wire;
    int handOvers = 0;
    g_TxNMEA.SetBaudHandOverHook([&] { ++handOvers; });
    const Events handOver = {"$JAPP,OTHER\r\n", "~5000"};
    const struct {
        int code, otherApp, extThisPort;
        Events expected;
    } cases[] = {
        {0, 0, 1, {"$JDIFF,NONE\r\n"}},
        {1, 1, 1, {"$JDIFF,BEACON\r\n"}},  // the beacon never switches application
        {2, 0, 1, {"$JDIFF,LBAND\r\n"}},
        {3, 0, 1, {"$JDIFF,WAAS\r\n"}},
        {3, 3, 1, Concat({handOver, {"$JDIFF,WAAS\r\n"}})},
        {6, 6, 1, Concat({handOver, {"$JDIFF,WAAS\r\n"}})},
        {7, 0, 1, {"~500", "$JAPP\r\n"}},
        {8, 8, 1, Concat({handOver, {"~500", "$JAPP\r\n"}})},
        {9, 9, 1, {}},
        {2, 2, 1, Concat({handOver, {"$JDIFF,LBAND\r\n"}})},
        {4, 4, 1, {"$JDIFF,THIS\r\n"}},
        {4, 0, 0, {"$JDIFF,OTHER\r\n"}},
        {5, 5, 1, {}},
        {6, 0, 1, {"$JDIFF,WAAS\r\n"}},
        {7, 7, 1, Concat({handOver, {"~500", "$JAPP\r\n"}})},
    };
    for (const auto& c : cases) {
        g_GPS.Info.eRxOtherApp = c.otherApp;
        bExtThisPort = c.extThisPort;
        g_GPS.Info.eReqCorrSource = -1;
        handOvers = 0;
        g_TxNMEA.SetDiffSource(c.code);
        EXPECT_EQ(wire.Take(), c.expected) << c.code << "/" << c.otherApp;
        EXPECT_EQ(handOvers, !c.expected.empty() && c.expected[0] == handOver[0] ? 1 : 0) << c.code;
        EXPECT_EQ(g_GPS.Info.eReqCorrSource, c.code);
    }
    for (int bad : {10, -1, 1000}) {
        platform::ClearTrace();
        g_GPS.Info.eReqCorrSource = 7;
        g_TxNMEA.SetDiffSource(bad);
        EXPECT_TRUE(wire.Take().empty());
        EXPECT_TRUE(platform::TraceContains("Unknown diff type!"));
        EXPECT_EQ(g_GPS.Info.eReqCorrSource, 7) << "an unknown code is not recorded";
    }
}

TEST(TxNMEA, PollRunsOncePerPeriodAndFollowsTheSource) {
    wiretest::Wire wire;
    App().bStartupPhase = 0;
    App().iBin1Rate = 1;
    g_GPS.Info.eReceiverType = 0;
    bSuppressPolling = 0;
    InitPollTick();
    g_GPS.Info.eCurCorrSource = CORR_NONE;
    auto pollAfter = [&](uint32_t ms) {
        wire.clock.Advance(ms);
        g_TxNMEA.Poll();
        return wire.Take();
    };
    EXPECT_TRUE(pollAfter(2000).empty()) << "2000 ms is not above the period";
    EXPECT_EQ(pollAfter(1), (Events{"$JDIFF\r\n", "~10", "$JBIN,1,1\r\n", "~10", "~10"}));
    EXPECT_TRUE(pollAfter(1500).empty()) << "1500 ms after a cycle";
    // Polled every 5000 ms over a Bluetooth link (receiver type 2), 2000 ms otherwise.
    g_GPS.Info.eReceiverType = 2;
    EXPECT_TRUE(pollAfter(3000).empty());
    EXPECT_FALSE(pollAfter(1000).empty());
    g_GPS.Info.eReceiverType = 0;
    g_dwLastPollTick = 0xFFFFFF00u;  // far past a wrapped last tick
    EXPECT_FALSE(pollAfter(0).empty());
    App().bStartupPhase = 1;
    EXPECT_EQ(pollAfter(2001), (Events{"$JDIFF\r\n", "~10", "$JAPP\r\n", "~10"}));
    App().bStartupPhase = 0;
    bSuppressPolling = 1;
    g_GPS.Info.eCurCorrSource = CORR_BEACON;
    EXPECT_EQ(pollAfter(2001), (Events{"$JDIFF\r\n", "~10"}));
    bSuppressPolling = 0;
    const std::pair<int, Events> tails[] = {
        {CORR_BEACON, {"$PKRV,1,1\r\n", "~10", "~10"}},
        {CORR_LBND, {"$JASC,D1,1\r\n", "~10"}},
        {CORR_SBAS, {"$JASC,D1,1\r\n", "~10"}},
        {CORR_NONE, {"~10"}},
        {CORR_XREF, {"~10"}},
        {CORR_TSPAN_ROVER, {"~10"}},
    };
    App().iBin1Rate = 5;
    for (const auto& [source, tail] : tails) {
        g_GPS.Info.eCurCorrSource = source;
        EXPECT_EQ(pollAfter(2001), Concat({{"$JDIFF\r\n", "~10", "$JBIN,1,5\r\n", "~10"}, tail}))
            << source;
    }
}

TEST(TxNMEA, PartWritesAreCompletedAndFailedWritesTraced) {
    wiretest::Wire wire;
    wire.device.SetWriteLimit(3);
    g_TxNMEA.SetRTKReference(51.5, -0.125, 45.25);
    g_TxNMEA.QueryShow();
    EXPECT_EQ(wire.device.written(), "$JRTK,1,51.500000,-0.125000,45.250000\r\n$JSHOW\r\n");
    wire.device.SetWriteError(EIO);
    platform::ClearTrace();
    g_TxNMEA.QueryShow();
    EXPECT_TRUE(platform::TraceContains("Error on Serial Communication"));
    wire.device.SetWriteError(0);
    // A closed port sends nothing and reports no error.
    wire.comm->ClosePort();
    wire.device.ClearWrites();
    platform::ClearTrace();
    g_TxNMEA.QueryShow();
    EXPECT_TRUE(wire.device.written().empty());
    EXPECT_FALSE(platform::TraceContains("Error on Serial Communication"));
}

// A link whose other end stopped reading: one command waits out its deadline, the next ones
// are dropped whole at once, each traced, until the port takes bytes again. The timed-out and
// the dropped ones count as failed sends.
TEST(TxNMEA, StalledLinkDropsCommandsAtOnceUntilThePortTakesBytes) {
    wiretest::Wire wire;
    const struct {
        bool stalled;
        size_t limit;  // bytes the port takes per write; 0 no limit
        const char* command;
        const char* written;
        uint32_t waitedMs;
        bool dropped;
        uint32_t failed;  // sends counted as failed
    } steps[] = {
        {true, 0, "$JSHOW\r\n", "", 1000, false, 1},
        {true, 0, "$JI\r\n", "", 0, true, 1},
        {true, 0, "$JSAVE\r\n", "", 0, true, 1},
        {false, 3, "$JDIFF\r\n", "$JDIFF\r\n", 50, false, 0},
        {false, 0, "$JI\r\n", "$JI\r\n", 0, false, 0},
        {true, 0, "$JRTK\r\n", "", 1000, false, 1},
        {false, 0, "$JRTK\r\n", "$JRTK\r\n", 0, false, 0},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.command);
        wire.device.SetStalled(step.stalled);
        wire.device.SetWriteLimit(step.limit);
        wire.device.ClearWrites();
        wire.clock.ClearPauses();
        platform::ClearTrace();
        const uint32_t failuresBefore = wire.comm->SendFailures();
        g_TxNMEA.SendString(step.command);
        EXPECT_EQ(wire.device.written(), step.written);
        EXPECT_EQ(wire.clock.TotalPaused(), step.waitedMs);
        EXPECT_EQ(platform::TraceContains("takes no bytes"), step.dropped);
        EXPECT_EQ(wire.comm->SendFailures() - failuresBefore, step.failed);
    }
}

// A command the port cut short (it took some bytes, then stalled past the deadline) counts as
// failed, and the next command that goes out is preceded by a line end, so the receiver never
// reads the torn part and the next command as one.
TEST(TxNMEA, CommandCutByAStallIsEndedBeforeTheNextOne) {
    wiretest::Wire wire;
    constexpr size_t kAll = 0;
    size_t budget = kAll;
    wire.device.onWrite = [&](const std::string&) {
        if (budget != kAll) wire.device.SetStalled(true);
    };
    const struct {
        size_t takes;  // bytes the port takes before it stalls; kAll: it takes everything
        bool stalledBefore;
        const char* command;
        const char* written;
        uint32_t failed;
    } steps[] = {
        {4, false, "$JSHOW\r\n", "$JSH", 1},
        {kAll, true, "$JI\r\n", "", 1},  // still stalled: dropped whole, the line end kept
        {kAll, false, "$JI\r\n", "\r\n$JI\r\n", 0},
        {kAll, false, "$JSAVE\r\n", "$JSAVE\r\n", 0},
        {1, false, "$JDIFF\r\n", "$", 1},
        {1, false, "$JI\r\n", "\r", 1},  // only half the line end went out
        {kAll, false, "$JI\r\n", "\n$JI\r\n", 0},
        {7, false, "$JRTK\r\n", "$JRTK\r\n", 0},  // whole: nothing owed
        {kAll, false, "$JI\r\n", "$JI\r\n", 0},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.command);
        budget = step.takes;
        wire.device.SetStalled(step.stalledBefore);
        wire.device.SetWriteLimit(step.takes);
        wire.device.ClearWrites();
        const uint32_t failuresBefore = wire.comm->SendFailures();
        g_TxNMEA.SendString(step.command);
        EXPECT_EQ(wire.device.written(), step.written);
        EXPECT_EQ(wire.comm->SendFailures() - failuresBefore, step.failed);
    }
}

// The receiver type has one home, the record: when the setup responder resets it or reads the
// archive, the poll period and the modem reset of a closing port follow at once.
TEST(TxNMEA, PollAndPortCloseFollowTheTypeTheSetupResponderLeaves) {
    wiretest::Wire wire;
    CNMEA nmea;
    int loaded = RECEIVER_GPS;
    nmea.PkrvNMEA.Responder = [](const std::string&) {};
    nmea.PkrvNMEA.LoadArchive = [&loaded] {
        g_GPS.Info.eReceiverType = loaded;
        return true;
    };
    const Events reset = {"ATMC\r\n", "~200",       "ATMC\r\n", "~200", "ATURST\r\n",
                          "~200",     "ATURST\r\n", "~200",     "~100"};
    const struct {
        int before;
        std::string sentence;
        int loaded;
        uint32_t periodMs;
        bool modemReset;
    } cases[] = {
        {RECEIVER_BLUETOOTH, "$PKRV,SETUP,RESET\r\n", RECEIVER_GPS, 2000, false},
        {RECEIVER_GPS, "$PKRV,SETUP,READ\r\n", RECEIVER_BLUETOOTH, 5000, true},
        {RECEIVER_BLUETOOTH, "$PKRV,SETUP,READ\r\n", RECEIVER_HEADING, 2000, false},
    };
    const int startupPhase = App().bStartupPhase.load();
    App().bStartupPhase = 1;
    wire.comm->SetModemResetHook([] { g_TxNMEA.ModemReset(); });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sentence);
        g_GPS.SetReceiverType(c.before);
        loaded = c.loaded;
        std::string sentence = c.sentence;
        nmea.bParseNMEA(&g_GPS.Info, sentence.data());
        InitPollTick();
        wire.clock.Advance(c.periodMs);
        g_TxNMEA.Poll();
        EXPECT_TRUE(wire.Take().empty()) << "polled within the period";
        wire.clock.Advance(1);
        g_TxNMEA.Poll();
        EXPECT_FALSE(wire.Take().empty()) << "not polled after the period";
        EXPECT_EQ(wire.comm->ClosePort(), COMM_OK);
        EXPECT_EQ(wire.Take(), c.modemReset ? reset : Events{});
        ASSERT_EQ(wire.comm->OpenPort(1, 57600), COMM_OK);
    }
    App().bStartupPhase = startupPhase;
    g_GPS.Info.Init();
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

Events Correction(int rate, const char* type) {
    Events out = {"$JASC,BEAC,0,OTHER\r\n", "$JASC,RTCM,0,OTHER\r\n", "$JASC,BEAC,0,OTHER\r\n",
                  "$JASC,RTCM,0,OTHER\r\n"};
    out.push_back(std::string("$JASC,") + type + "," + std::to_string(rate) + ",OTHER\r\n");
    return out;
}
const std::string kOther = ",OTHER\r\n\r\n";

class ConfigSend : public ::testing::Test {
protected:
    void SetUp() override {
        WizardInfo& w = gps->Info.Settings.WizardLive;
        w.Init();
        std::tie(w.iNMEABaudRate, w.iRTCMBaudRate, w.iElevation, w.iMaxAge, w.ulFreqKhz,
                 w.iSymbolRate, w.dRefLat, w.dRefLon, w.dRefAlt, w.eDfxPort) =
            std::tuple(19200, 4800, 10, 300, 1545530u, 2400, 51.5, -0.125, 45.25, DFX_PORTB);
        std::tie(w.ThisPortConfig.eGGA, w.ThisPortConfig.eBIN95, w.ThisPortConfig.bRTCM,
                 w.OtherPortConfig.eHPR) = std::tuple(RATE_1HZ, RATE_5HZ, 1, RATE_10HZ);
    }
    wiretest::Wire wire;
    std::unique_ptr<CGPS> gps = std::make_unique<CGPS>();
};

TEST_F(ConfigSend, WholeThenChangedSettings) {
    WizardInfo& live = gps->Info.Settings.WizardLive;
    gps->SendConfig(live);
    EXPECT_EQ(
        wire.Take(),
        Concat({{"$JBAUD,19200\r\n", "~250", "$JBAUD,4800,OTHER\r\n", "~250", "$JMASK,10\r\n",
                 "$JAGE,300\r\n", "~20", "$JFREQ,1545530,2400\r\n", "~20",
                 "$JRTK,1,51.500000,-0.125000,45.250000\r\n", "~100", "$JASC,DFX,1,PORTB\r\n"},
                PortStream("\r\n", {{"GPGGA", "1"}, {"95", "5"}}),
                PortStream(kOther, {{"HPR", "10"}}),
                Correction(1, "BEAC"),
                {"~20"},
                Correction(1, "RTCM"),
                {"~20"}}));
    EXPECT_EQ(gps->Info.Settings.WizardSnapshot.OtherPortConfig.eHPR, RATE_10HZ);
    // Right after a whole send only the correction output differs.
    gps->SendChangedConfig(live);
    EXPECT_EQ(wire.Take(), Concat({Correction(1, "BEAC"), Correction(1, "RTCM"), {"~20"}}));
    // The reference is never sent by this sender.
    std::tie(live.iNMEABaudRate, live.iRTCMBaudRate, live.iElevation, live.iMaxAge,
             live.iSymbolRate, live.dRefLat, live.eDfxPort, live.fFreq) =
        std::tuple(38400, 9600, 15, 600, 1200, 1.0, DFX_PORTA, 300.0f);
    std::tie(live.ThisPortConfig.eZDA, live.ThisPortConfig.eGSV, live.OtherPortConfig.eGSA,
             live.ThisPortConfig.bRTCM) = std::tuple(RATE_1HZ, RATE_5S, RATE_5HZ, 0);
    gps->SendChangedConfig(live);
    EXPECT_EQ(wire.Take(),
              Concat({{"$JBAUD,38400\r\n", "~250", "~20", "$JBAUD,9600,OTHER\r\n", "~250", "~20",
                       "$JMASK,15\r\n", "~20", "$JAGE,600\r\n", "~20", "$JFREQ,1545530,1200\r\n",
                       "~20", "$JASC,GPGSV,0.2\r\n", "~20", "$JASC,GPZDA,1\r\n",  // no pause
                       "$JASC,GPGSA,5" + kOther, "~20"},
                      Correction(0, "BEAC"),
                      Correction(0, "RTCM"),
                      {"~20"}}));
    EXPECT_EQ(gps->Info.Settings.WizardSnapshot.dRefLat, 1.0);
}

// The receiver's replies, as the reader thread would decode them during the pauses.
void AnswerLikeAReceiver(GPSInfo& info, const std::string& command) {
    App().uRepliesHeard.fetch_add(1);
    if (command == "$JSHOW\r\n") {
        RecordLock lock(info.ulPart1Lock);
        PortConfig& p = info.RxPortConfig;  // with the other port's GSA, HPR and BIN96
        std::tie(info.iRxNMEABaudRate, info.iRxRTCMBaudRate, info.iRxElevation, info.iRxMaxAge,
                 p.eGGA, p.eGSA, p.eHPR, p.iSpare[RXSPARE_OTHER_GGA + 2],
                 p.iSpare[RXSPARE_OTHER_HPR], p.iSpare[RXSPARE_OTHER_GGA + 10]) =
            std::tuple(115200, 19200, 7, 1800, RATE_1HZ, RATE_5HZ, RATE_10HZ, RATE_5S, RATE_20HZ,
                       RATE_1HZ);
    } else if (command == "$JGEO,ALL\r\n") {
        std::tie(info.LBand.ulGeoFreqKhz, info.LBand.iGeoId) = std::tuple(1545485u, 1201);
    } else if (command == "$PKRV,1,1\r\n") {
        std::tie(info.Beacon.fBeaconFreq, info.Beacon.iBeaconBitRate, info.Beacon.iStationId) =
            std::tuple(313.0f, 2, 812);
    } else if (command == "$JRTK\r\n") {
        PortConfig& p = info.RxPortConfig;
        std::tie(p.dCurRefLat, p.dCurRefLon, p.dCurRefAlt, p.eCurDfxPort) =
            std::tuple(51.25, -1.5, 99.5, DFX_PORTC);
    }
}

TEST_F(ConfigSend, ReadConfigQueriesWithItsPausesAndFillsTheSettings) {
    // Left from a previous read: cleared before the queries, this port's correction flag kept.
    GPSInfo& info = gps->Info;
    info.RxPortConfig.eGLL = RATE_1HZ;
    info.RxPortConfig.iSpare[RXSPARE_OTHER_GGA] = RATE_1HZ;
    info.RxPortConfig.bRTCM = 1;
    wire.device.onWrite = [&](const std::string& text) { AnswerLikeAReceiver(info, text); };
    WizardInfo& w = info.Settings.WizardLive;
    wire.clock.ClearPauses();
    EXPECT_EQ(gps->ReadConfig(w), 1);
    Events expected;
    for (const char* id : {"1", "2", "80", "93", "94", "97", "98"})
        expected.insert(expected.end(), {std::string("$JBIN,") + id + ",0\r\n", "~100"});
    expected.insert(expected.end(), {"$JBIN,99,0\r\n", "$JI\r\n", "~50"});
    for (int i = 0; i < 6; ++i) expected.insert(expected.end(), {"$JSHOW\r\n", "~500"});
    for (int i = 0; i < 2; ++i) expected.insert(expected.end(), {"$JGEO,ALL\r\n", "~500"});
    for (int i = 0; i < 2; ++i) expected.insert(expected.end(), {"$PKRV,1,1\r\n", "~10", "~500"});
    expected.insert(expected.end(), {"$JDIFF\r\n", "~100", "~100", "$JRTK,6\r\n", "~100",
                                     "$JRTK\r\n", "~500", "$PKRV,1,0\r\n", "~10", "~100"});
    EXPECT_EQ(wire.Take(), expected);
    EXPECT_EQ(wire.clock.TotalPaused(), 6680u);
    EXPECT_EQ(Join(w.iNMEABaudRate, w.iRTCMBaudRate, w.iElevation, w.iMaxAge, w.ulFreqKhz,
                   w.iSymbolRate, w.fFreq, w.iBitRate, w.iStationId),
              "115200 19200 7 1800 1545485 1201 313 2 812");
    const PortConfig &t = w.ThisPortConfig, &o = w.OtherPortConfig;
    EXPECT_EQ(std::tuple(t.eGGA, t.eGLL, t.eGSA, t.eHPR, t.bRTCM),
              std::tuple(RATE_1HZ, RATE_OFF, RATE_5HZ, RATE_10HZ, 1));
    EXPECT_EQ(std::tuple(o.eGGA, o.eGSA, o.eHPR, o.eBIN96, o.bRTCM),
              std::tuple(RATE_OFF, RATE_5S, RATE_20HZ, RATE_1HZ, 1));
    EXPECT_EQ(std::tuple(w.dRefLat, w.dRefLon, w.dRefAlt, w.eDfxPort),
              std::tuple(51.25, -1.5, 99.5, DFX_PORTC));
    EXPECT_EQ(std::memcmp(&info.Settings.WizardSnapshot, &w, sizeof(w)), 0);
    EXPECT_EQ(info.RxPortConfig.ulLastWord + info.ulPart1Lock, 0u) << "every lock released";
    // Without replies the record's report is cleared, but the settings read before stay.
    wire.device.onWrite = nullptr;
    info.RxPortConfig.eGGA = RATE_1HZ;
    gps->ReadConfig(w);
    EXPECT_EQ(std::tuple(w.dRefLat, w.eDfxPort, w.ThisPortConfig.eGGA),
              std::tuple(51.25, DFX_PORTC, RATE_1HZ));
    EXPECT_EQ(std::tuple(info.RxPortConfig.dCurRefLat, info.RxPortConfig.eGGA),
              std::tuple(0.0, RATE_OFF));
}

TEST(TSpanSenders, PortNamesAndTypedReference) {
    wiretest::Wire wire;
    auto gps = std::make_unique<CGPS>();
    TSpan tspan(gps.get());
    for (int port : {3, 4, -1}) tspan.SendDfxPort(port);
    tspan.SendDfxPortName("PORTB");
    EXPECT_EQ(wire.Take(), (Events{"$JASC,DFX,1,PORTC\r\n", "$JASC,DFX,0,PORTA\r\n", "~40",
                                   "$JASC,DFX,0,PORTB\r\n", "~40", "$JASC,DFX,0,PORTC\r\n", "~40",
                                   "$JASC,DFX,1,PORTB\r\n", "~50"}));
    const struct {
        const char *lat, *lon, *height;
        bool rejectDuringPause;  // the receiver answers FAILED within the 250 ms
        bool staleFlag;          // a rejection left from an earlier command
        const char* command;
    } rows[] = {
        {"51.5", "-0.1", "45", true, false, "$JRTK,1,51.5,-0.1,45\r\n"},
        {"51.5", "-0.1", "45", false, true, "$JRTK,1,51.5,-0.1,45\r\n"},
        // Unprintable characters go, and each text keeps at most 19 characters.
        {"5\t1\xC3\xA9.5", "-0.12345678901234567890", "4\r5", false, false,
         "$JRTK,1,51.5,-0.1234567890123456,45\r\n"},
    };
    for (const auto& row : rows) {
        g_bRTKRefInvalid.store(row.staleFlag ? 1 : 0);
        wire.clock.onSleep = [&](uint32_t) {
            if (row.rejectDuringPause) g_bRTKRefInvalid.store(1);
        };
        EXPECT_EQ(tspan.SendReferenceText(row.lat, row.lon, row.height), !row.rejectDuringPause);
        wire.clock.onSleep = nullptr;
        EXPECT_EQ(wire.Take(), (Events{row.command, "~250"}));
        EXPECT_EQ(g_bRTKRefInvalid.load(), 0);
    }
}

}  // namespace
