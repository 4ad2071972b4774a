// The dispatcher behind the reader thread: sentences written by a simulated receiver on a
// pseudo-terminal, framed by the reader thread and decoded into the record.

#include <gtest/gtest.h>
#include <chrono>
#include <thread>

#include "engine/appstate.h"
#include "engine/nmea.h"
#include "engine/reader_sinks.h"
#include "engine/scomm.h"
#include "engine/thread.h"
#include "support/frames.h"
#include "support/receiver_simulator.h"
#include "support/temp_dir.h"
#include "wire_fixture.h"

namespace {

using wiretest::Join;

std::string Nmea(const std::string& body) {
    return testsupport::NmeaSentence(body);
}

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

// No answers on standard output and no archive files from the tests.
void Quiet(CNMEA& nmea) {
    nmea.PkrvNMEA.Responder = [](const std::string&) {};
    nmea.PkrvNMEA.SaveArchive = nmea.PkrvNMEA.LoadArchive = [] { return true; };
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
        Quiet(*nmea);
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

// The real receiver captures, framed in chunks of 1000 bytes: the position decoded is the one
// of the last well-formed GGA line.
TEST_F(ReaderFixture, RealReceiverCapturesDecode) {
    const std::filesystem::path folder = std::filesystem::path(TESSARAY_TEST_DATA) / "real-nmea";
    ASSERT_TRUE(std::filesystem::is_directory(folder)) << folder;
    int withPosition = 0, files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".log") continue;
        SCOPED_TRACE(entry.path().filename().string());
        ++files;
        const std::string bytes = testsupport::ReadBytes(entry.path());
        auto record = std::make_unique<CGPS>();
        auto dispatcher = std::make_unique<CNMEA>();
        Quiet(*dispatcher);
        EngineSinks fileSinks(record.get(), dispatcher.get());
        CGPSThread framer(&comm, &fileSinks);
        for (size_t at = 0; at < bytes.size(); at += 1000)
            framer.FrameBytes(bytes.data() + at, std::min<size_t>(1000, bytes.size() - at));
        int latDeg = -1;
        for (size_t at = 0; (at = bytes.find("$GPGGA,", at)) != std::string::npos;) {
            const size_t end = bytes.find("\r\n", at);
            if (end == std::string::npos) break;
            const std::string line = bytes.substr(at, end - at);
            at = end;
            const size_t star = line.find('*');
            if (line.size() > 419 || star == std::string::npos || line.find('$', 1) != line.npos)
                continue;
            unsigned sum = 0;
            for (size_t k = 1; k < star; ++k) sum ^= static_cast<unsigned char>(line[k]);
            if (std::strtoul(line.c_str() + star + 1, nullptr, 16) != sum) continue;
            const size_t lat = line.find(',', line.find(',') + 1) + 1;  // ddmm.mmmm
            latDeg = line[lat] == ',' ? 0 : std::stoi(line.substr(lat, 2));
        }
        const NavInfo& n = record->Info.Nav;
        if (latDeg > 0) {
            ++withPosition;
            EXPECT_EQ(n.iLatDeg, latDeg);
            EXPECT_TRUE((n.cLatDir == 'N' || n.cLatDir == 'S') &&
                        (n.cLonDir == 'E' || n.cLonDir == 'W'));
            EXPECT_TRUE(n.dLatMin >= 0.0 && n.dLatMin < 60.0 && n.iLonDeg <= 180);
        }
        EXPECT_EQ(n.ulNavLock, 0u);
    }
    EXPECT_GE(files, 10);
    EXPECT_GE(withPosition, 3);
}

}  // namespace
