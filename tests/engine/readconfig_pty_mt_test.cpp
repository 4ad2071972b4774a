// The read-back of the receiver's settings against a simulated receiver on a pseudo-terminal:
// the reader thread decodes the replies during the sender's pauses.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

#include "engine/appstate.h"
#include "engine/gps.h"
#include "engine/nmea.h"
#include "engine/reader_sinks.h"
#include "engine/scomm.h"
#include "engine/thread.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "support/frames.h"
#include "support/receiver_simulator.h"
#include "support/reply_clock.h"

namespace {

using testsupport::NmeaSentence;

constexpr int kCom = 9;

// The simulated receiver on its port, a record of its own, the reader thread and the clock
// whose pauses wait for the replies.
struct ReadBackRig {
    ReadBackRig() {
        EXPECT_TRUE(sim.ok()) << sim.error();
        sim.InstallAsCom(kCom);
        comm.SetDevice(&device);
        EXPECT_EQ(comm.OpenPort(kCom, 57600), COMM_OK);
        App().bPortOpen.store(1);
        nmea->PkrvNMEA.Responder = [](const std::string&) {};
        nmea->PkrvNMEA.SaveArchive = [] { return true; };
        nmea->PkrvNMEA.LoadArchive = [] { return true; };
        clock.device = &device;
        platform::SetClock(&clock);
        EXPECT_TRUE(thread.Start());
        g_TxNMEA.SetComm(&comm);
        g_TxNMEA.SetRecord(gps.get());
    }
    ~ReadBackRig() { Stop(); }
    void Stop() {
        if (!thread.IsRunning()) return;
        // The simulator reads the clock while it takes a command: all are taken before the
        // clock goes.
        sim.WaitRead(device.written.load(), 30000);
        g_TxNMEA.SetComm(nullptr);
        g_TxNMEA.SetRecord(nullptr);
        EXPECT_TRUE(thread.Stop(30000));
        platform::SetClock(nullptr);
        App().bPortOpen.store(0);
        comm.ClosePort();
    }

    testsupport::ReceiverSimulator sim;
    testsupport::CountingDevice device;
    SComm comm;
    std::unique_ptr<CGPS> gps = std::make_unique<CGPS>();
    std::unique_ptr<CNMEA> nmea = std::make_unique<CNMEA>();
    testsupport::CountingSinks sinks{gps.get(), nmea.get()};
    testsupport::ReplyClock clock{sim, comm, sinks};
    CGPSThread thread{&comm, &sinks};
};

TEST(ReadConfigPty, RepliesFillTheSettings) {
    ReadBackRig rig;
    testsupport::ReceiverSimulator& sim = rig.sim;
    const std::unique_ptr<CGPS>& gps = rig.gps;
    testsupport::ReplyClock& clock = rig.clock;

    sim.AddReply("$JSHOW",
                 "$>JSHOW,BAUD,38400\r\n$>JSHOW,BAUD,19200,OTHER\r\n$>JSHOW,MASK,10\r\n"
                 "$>JSHOW,AGE,60\r\n$>JSHOW,ASC,GPGGA,1.0\r\n$>JSHOW,ASC,GPGSV,0.2,OTHER\r\n"
                 "$>JSHOW,BIN,96,10,OTHER\r\n$>JSHOW,ASC,HEHDT,10\r\n");
    sim.AddReply("$JGEO", "$>JGEO,Sent,FREQ=1545.4850,PRN=129,LON=-98.0,EL=40.0,AZ=180.0\r\n");
    sim.AddReply("$PKRV,1,1", NmeaSentence("PKRV,CS0,BX4.2,0,313.0,M,200,M,45,18,0,0,812,0"));
    sim.AddReply("$JRTK,6", "$>JRTK,6,OK,2\r\n");
    sim.AddReply("$JRTK", "$>JRTK,1,51.0123456,-114.5,1048.25\r\n");

    WizardInfo& w = gps->Info.Settings.WizardLive;
    EXPECT_EQ(gps->ReadConfig(w), 1);
    rig.Stop();

    // The decoding of each reply is the dispatcher's; here the replies arrive through the
    // reader thread while the sender pauses.
    EXPECT_EQ(clock.TotalPaused(), 6680u);
    EXPECT_EQ(w.iNMEABaudRate, 38400);
    EXPECT_EQ(w.OtherPortConfig.eBIN96, RATE_10HZ);
    EXPECT_EQ(w.ulFreqKhz, 1545485u);
    EXPECT_EQ(w.iStationId, 812);
    EXPECT_DOUBLE_EQ(w.dRefAlt, 1048.25);
    EXPECT_EQ(w.eDfxPort, DFX_PORTB);
    EXPECT_EQ(std::memcmp(&gps->Info.Settings.WizardSnapshot, &w, sizeof(w)), 0);

    std::vector<std::string> lines;
    for (const auto& c : sim.Commands()) lines.push_back(c.line);
    std::string sent;
    for (const std::string& l : lines) sent += l + " ";
    EXPECT_EQ(sent,
              "$JBIN,1,0 $JBIN,2,0 $JBIN,80,0 $JBIN,93,0 $JBIN,94,0 $JBIN,97,0 $JBIN,98,0 "
              "$JBIN,99,0 $JI $JSHOW $JSHOW $JSHOW $JSHOW $JSHOW $JSHOW $JGEO,ALL $JGEO,ALL "
              "$PKRV,1,1 $PKRV,1,1 $JDIFF $JRTK,6 $JRTK $PKRV,1,0 ");
}

// The L-band tune written back is the last L-band beam's, never an SBAS satellite listed after
// it; and a receiver that answers none of the queries leaves the read-back marked unanswered
// and the tune held before.
TEST(ReadConfigPty, TuneFromTheLastBeamAndUnansweredReadBack) {
    const std::string beam = "$>JGEO,Sent=1,Freq=1536.7821,ID=1200,Lon=-101.3,El=35.0,Az=200.0\r\n";
    const std::string sbas = "$>JGEO,Sent,FREQ=1575.4200,PRN=122,LON=-15.5,EL=30.2,AZ=200.1\r\n";
    const std::string gga =
        NmeaSentence("GPGGA,123519.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
    const struct {
        const char* name;
        std::string prefix, reply;  // the receiver's one answer
        const char* freq;           // the tune the settings then send
        bool unanswered;
    } cases[] = {
        {"beam, then SBAS", "$JGEO", beam + sbas, "$JFREQ,1536782,1200", false},
        {"SBAS, then beam", "$JGEO", sbas + beam, "$JFREQ,1536782,1200", false},
        {"SBAS alone", "$JGEO", sbas, "$JFREQ,1575420,122", false},
        {"beacon status alone", "$PKRV,1,1",
         NmeaSentence("PKRV,CS0,BX4.2,0,313.0,M,200,M,45,18,0,0,812,0"), "$JFREQ,0,1200", false},
        {"sentences, no reply", "$J", gga, "$JFREQ,1545530,98", true},
        {"silent", "", "", "$JFREQ,1545530,98", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReadBackRig rig;
        if (!c.prefix.empty()) rig.sim.AddReply(c.prefix, c.reply);
        WizardInfo& w = rig.gps->Info.Settings.WizardLive;
        w.ulFreqKhz = 1545530, w.iSymbolRate = 98;  // held from before
        rig.gps->ReadConfig(w);
        EXPECT_EQ(App().bReadBackUnanswered.load(), c.unanswered ? 1 : 0);
        const size_t mark = rig.sim.Commands().size();
        rig.clock.waitForReplies = false;  // nothing to hear: only the tune is looked for
        rig.gps->SendConfig(w);
        EXPECT_TRUE(rig.sim.WaitForCommand(c.freq, 30000, mark));
    }
}

// A link that echoes every command back is no receiver answering: only the receiver's own
// replies and the beacon status it sends when asked mark the read-back as answered.
TEST(ReadConfigPty, EchoedCommandsAreNoReply) {
    const char* const commands[] = {
        "$JBIN,1,0", "$JBIN,2,0", "$JBIN,80,0", "$JBIN,93,0", "$JBIN,94,0", "$JBIN,97,0",
        "$JBIN,98,0", "$JBIN,99,0", "$JI", "$JSHOW", "$JGEO,ALL", "$PKRV,1,1", "$JDIFF",
        "$JRTK,6", "$JRTK", "$PKRV,1,0"};
    const struct {
        const char* name;
        const char* command;  // the command whose echo the receiver follows with its answer
        std::string answer;
        bool unanswered;
    } cases[] = {
        {"echo alone", "", "", true},
        {"echo, then the beacon status", "$PKRV,1,1",
         NmeaSentence("PKRV,CS0,BX4.2,0,313.0,M,200,M,45,18,0,0,812,0"), false},
        {"echo, then the second beacon status", "$PKRV,1,1", NmeaSentence("PKRV,CS1,0,0"),
         false},
        {"echo, then a reply", "$JSHOW", "$>JSHOW,BAUD,19200\r\n", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ReadBackRig rig;
        for (const std::string command : commands)
            rig.sim.AddReply(command, command + "\r\n" + (command == c.command ? c.answer : ""));
        rig.gps->ReadConfig(rig.gps->Info.Settings.WizardLive);
        EXPECT_EQ(App().bReadBackUnanswered.load(), c.unanswered ? 1 : 0);
    }
}

}  // namespace
