// The user-interface thread against the reader thread: record locks, the archive, the port,
// the terminal text, and the dispatcher fed by a simulated receiver on a pseudo-terminal.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "engine/appstate.h"
#include "engine/cfgarchive.h"
#include "engine/gps.h"
#include "engine/nmea.h"
#include "engine/reader_sinks.h"
#include "engine/scomm.h"
#include "engine/thread.h"
#include "support/frames.h"
#include "support/receiver_simulator.h"
#include "support/recording_sinks.h"
#include "support/temp_dir.h"
#include "support/virtual_clock.h"
#include "wire_fixture.h"

namespace {

using wiretest::Join;

TEST(Threads, RecordLockIsReentrantExcludesTheOtherThreadAndRunsTheHook) {
    auto gps = std::make_unique<CGPS>();
    uint32_t* nav = &gps->Info.Nav.ulNavLock;
    CGPS::Unlock(nav);  // not held: nothing happens
    CGPS::Lock(nav);
    CGPS::Lock(&gps->Info.SatView.ulSatViewLock);  // a status strip locks inside its refresh
    CGPS::Lock(nav);
    EXPECT_EQ(*nav, 2u);
    CGPS::Unlock(nav);
    CGPS::Unlock(&gps->Info.SatView.ulSatViewLock);
    std::atomic<int> unlocks{0};
    CGPS::SetUnlockHook([&] { ++unlocks; });
    gps->Info.Nav.iLatDeg = 1;
    std::atomic<bool> entered{false};
    std::thread other([&] {
        CGPS::Unlock(nav);  // not the holder: must not release
        CGPS::Lock(nav);
        entered = true;
        gps->Info.Nav.iLatDeg = 2;
        CGPS::Unlock(nav);
    });
    for (int k = 0; k < 1000 && !entered; ++k) std::this_thread::yield();
    EXPECT_FALSE(entered.load());
    EXPECT_EQ(gps->Info.Nav.iLatDeg, 1);
    CGPS::Unlock(nav);
    other.join();
    EXPECT_EQ(Join(entered.load(), gps->Info.Nav.iLatDeg, *nav), "1 2 0");
    EXPECT_EQ(unlocks.load(), 2);
    CGPS::SetUnlockHook(nullptr);
}

// The reader thread's proprietary handlers save the archive while the window loads it.
TEST(Threads, ArchiveSavesAndLoadsNeverTearTheFile) {
    testsupport::TempConfigDir dir;
    testsupport::InstalledVirtualClock clock;
    auto gps = std::make_unique<CGPS>();
    ASSERT_TRUE(gps->SaveConfigFile());
    std::atomic<int> failures{0};
    std::thread reader([&] {
        for (int i = 0; i < 50; ++i) {
            RecordLock lock(gps->Info.ulPart1Lock);  // as a decoder holds it
            gps->Info.iRxRTCMBaudRate = (i % 2) ? 19200 : 4800;
            if (!gps->SaveConfigFile()) ++failures;
        }
    });
    for (int i = 0; i < 50; ++i) {
        if (!gps->LoadConfigFile()) ++failures;
        RecordLock lock(gps->Info.ulPart1Lock);
        const int32_t baud = gps->Info.iRxRTCMBaudRate;
        EXPECT_TRUE(baud == 9600 || baud == 19200 || baud == 4800) << baud;
    }
    reader.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(testsupport::ReadBytes(CfgArchivePath()).size(), kCfgArchiveSize);
    EXPECT_EQ(gps->Info.ulPart1Lock, 0u);
}

// The window opens, closes and reopens the port while the reader reads a full-rate stream.
TEST(Threads, ReopeningThePortWhileReadingIsSafe) {
    testsupport::ReceiverSimulator sim;
    ASSERT_TRUE(sim.ok()) << sim.error();
    sim.InstallAsCom(14);
    // 115200 baud is 11520 bytes a second: 576 bytes every 50 ms.
    std::string block;
    for (const std::string& f : testsupport::SampleMixedFrames()) block += f;
    block.resize(576, ' ');
    sim.SetBacklogLimit(16384);
    sim.Stream({block}, 50, true);
    SComm comm;
    testsupport::RecordingSinks sinks;
    CGPSThread thread(&comm, &sinks);
    ASSERT_TRUE(thread.Start());
    App().bDemoMode = 0;
    for (int i = 0; i < 100; ++i) {
        comm.ClosePort();
        ASSERT_EQ(comm.OpenPort(14, 115200), COMM_OK);
        App().bPortOpen = 1;
        (void)TerminalText();
        // Let the reader make a pass on this opening, then close under it at once.
        const int before = sinks.passes();
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (sinks.passes() == before && std::chrono::steady_clock::now() < until)
            std::this_thread::yield();
    }
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (sinks.frames().empty() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(sinks.frames().empty());
    EXPECT_TRUE(thread.Stop(10000));
    comm.ClosePort();
    EXPECT_EQ(App().bPortOpen, 0);
}

// Every byte the reader appends reaches exactly one take, in order; a cut is reported once.
TEST(Threads, TerminalTakeLosesOrDoublesNothingWhileTheReaderAppends) {
    ClearTerminalText();
    CGPSThread reader;
    constexpr int kChunks = 4000;
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < kChunks; ++i) {
            const std::string chunk = "$N," + std::to_string(i) + "\r\n";
            reader.FrameBytes(chunk.data(), chunk.size());
            if (i % 64 == 0) std::this_thread::yield();
        }
        done = true;
    });
    std::u16string seen, expected;
    bool anyCut = false;
    for (bool last = false; !last;) {
        last = done.load();
        bool cut = false;
        seen += TakeTerminalText(&cut);
        anyCut = anyCut || cut;
    }
    writer.join();
    for (int i = 0; i < kChunks; ++i)
        for (const char c : "$N," + std::to_string(i) + "\r\n") expected += char16_t(c);
    if (anyCut) {
        // The taker fell behind by more than the reader keeps: the end is still whole.
        ASSERT_LE(seen.size(), expected.size());
        EXPECT_EQ(expected.substr(expected.size() - 1000), seen.substr(seen.size() - 1000));
    } else {
        EXPECT_EQ(seen, expected);
    }
    const std::string block(3000, 'x');
    reader.FrameBytes(block.data(), block.size());
    reader.FrameBytes(block.data(), block.size());  // 6000 waiting, no cut yet
    reader.FrameBytes("$A\r\n", 4);                 // cut to 4096 before this pass
    bool cut = false;
    EXPECT_EQ(TakeTerminalText(&cut).size(), CGPSThread::kTerminalMax + 4);
    EXPECT_TRUE(cut);
    EXPECT_TRUE(TakeTerminalText(&cut).empty());
    EXPECT_FALSE(cut);
}

constexpr auto& Nmea = testsupport::NmeaSentence;

// Polls a condition with a generous deadline; the condition decides, never the time.
template <class Pred>
bool Eventually(Pred pred) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

class ReaderFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(sim.ok()) << sim.error();
        sim.InstallAsCom(7);
        ASSERT_EQ(comm.OpenPort(7, 57600), COMM_OK) << comm.LastOpenError();
        App().bBin1Position.store(0);
        App().bDemoMode.store(0);
        App().bPortOpen.store(1);
        nmea->PkrvNMEA.Responder = [](const std::string&) {};  // nothing on standard output
        nmea->PkrvNMEA.SaveArchive = nmea->PkrvNMEA.LoadArchive = [] { return true; };
        ASSERT_TRUE(thread.Start());
    }
    void TearDown() override {
        EXPECT_TRUE(thread.Stop(30000));
        App().bPortOpen.store(0);
        comm.ClosePort();
    }
    testsupport::ReceiverSimulator sim;
    SComm comm;
    std::unique_ptr<CGPS> gps = std::make_unique<CGPS>();
    std::unique_ptr<CNMEA> nmea = std::make_unique<CNMEA>();
    EngineSinks sinks{gps.get(), nmea.get()};
    CGPSThread thread{&comm, &sinks};
};

TEST_F(ReaderFixture, ScreenNeverSeesAHalfWrittenPosition) {
    sim.Stream({Nmea("GPGGA,101010.00,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,2.0,0000"),
                Nmea("GPGGA,202020.00,3355.500,S,15112.250,W,2,11,1.1,12.5,M,46.9,M,1.0,0000")},
               1, true);
    int seen = 0;
    Eventually([&] {
        RecordLock hold(gps->Info.Nav.ulNavLock);
        const NavInfo& n = gps->Info.Nav;
        if (n.iLatDeg == 48) {
            EXPECT_EQ(Join(n.cLonDir, n.iHour, n.dLatMin), "E 10 7.038");
            ++seen;
        } else if (n.iLatDeg == 33) {
            EXPECT_EQ(Join(n.cLonDir, n.iHour, n.dLonMin), "W 20 12.25");
            ++seen;
        }
        return seen >= 200;
    });
    sim.FallSilent();
    EXPECT_GE(seen, 200);
}

}  // namespace
