// The logging group in the whole program, against a receiver on a pseudo-terminal: the NMEA
// log is written by the running reader thread, and a polygon still open when the program
// exits is finished in its file.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "resources/dlg_exit.h"
#include "resources/dlg_startup.h"
#include "screens/logging/LOGS_5.h"
#include "screens/logging/logs_frame.h"
#include "support/driver_client.h"
#include "support/qt/driver_start.h"
#include "support/frames.h"
#include "support/qt/shell_harness.h"
#include "support/receiver_simulator.h"
#include "support/temp_dir.h"

namespace {

using testsupport::ReceiverSimulator;

const std::string kGGA =
    testsupport::NmeaSentence("GPGGA,123519.50,0000.3000,S,00000.3000,W,1,08,0.9,545.4,M,46.9,M,,");
const std::string kVTG = testsupport::NmeaSentence("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,A");

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

// Waits (real time, bounded) until the file holds `n` copies of `part`.
bool WaitFor(const std::string& path, const std::string& part, size_t n) {
    return testsupport::WaitUntil([&] { return Count(testsupport::ReadBytes(path), part) >= n; });
}

TEST(LoggingDriver, ReaderWritesTheLogAndExitFinishesTheOpenPolygon) {
    ReceiverSimulator sim;
    ASSERT_TRUE(sim.ok()) << sim.error();
    sim.Stream({kGGA, kVTG}, 100, true);
    testsupport::TempDir files;
    const std::string nmea = files / "run/nmea.txt";
    const std::string polygon = files / "poly.txt";

    testsupport::DriverProcess p(sim);
    ASSERT_TRUE(p.Connect());
    ASSERT_EQ(testsupport::SearchToPositionScreen(p), "");
    ASSERT_EQ(p.Ask("nav 4"), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CLOGS_1"), "ok CLOGS_1");
    // A note on the first tick when the port runs below 38400 baud.
    ASSERT_EQ(p.Ask("timer 1"), "ok");
    if (p.Ask("msgbox") != "ok none") {
        ASSERT_EQ(p.Ask("answer ok"), "ok");
    }

    ASSERT_EQ(p.Ask("select 1035 1"), "ok");
    ASSERT_EQ(p.Ask("text " + std::to_string(IDC_LOGS_FILE) + " " + nmea), "ok");
    ASSERT_EQ(p.Ask("click " + std::to_string(IDC_LOGS_START)), "ok");
    EXPECT_TRUE(WaitFor(nmea, kGGA, 3));
    ASSERT_EQ(p.Ask("timer 1"), "ok");
    EXPECT_EQ(p.AskUntil("state " + std::to_string(IDC_LOGS_LAMP_ON),
                         "ok enabled=1 visible=1 checked=0 sel=-1 pos=0"),
              "ok enabled=1 visible=1 checked=0 sel=-1 pos=0");

    ASSERT_EQ(p.Ask("click " + std::to_string(IDC_LOGS_STOP)), "ok");
    const std::string logged = testsupport::ReadBytes(nmea);
    EXPECT_EQ(Count(logged, kVTG), 0u);
    EXPECT_EQ(logged.size() % kGGA.size(), 0u);

    // A polygon left open: the exit finishes it before the file is closed.
    ASSERT_EQ(p.Ask("select 1008 4"), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CLOGS_5"), "ok CLOGS_5");
    ASSERT_EQ(p.Ask("text " + std::to_string(IDC_LOGS_FILE) + " " + polygon), "ok");
    ASSERT_EQ(p.Ask("click " + std::to_string(IDC_LOGS5_START)), "ok");
    ASSERT_EQ(p.Ask("click " + std::to_string(IDC_LOGS5_START)), "ok");
    ASSERT_EQ(p.AskUntil("get " + std::to_string(IDC_LOGS5_START), "ok Log Point"), "ok Log Point");
    ASSERT_EQ(p.Ask("nav 7"), "ok");
    ASSERT_EQ(p.AskUntil("click " + std::to_string(resources::IDC_EXIT_NO_SAVE), "ok"), "ok");
    EXPECT_EQ(p.WaitExit(), 0);
    const std::string row = "-0.0050000      -0.0050000      545.400   \r\n";
    EXPECT_EQ(testsupport::ReadBytes(polygon),
              "Start Polygon\r\nLat and Lon are in decimal degrees, alt in meters\r\n"
              "Vertex          Lat             Lon             Alt\r\n"
              "1               " +
                  row + "2               " + row +
                  "Total area:                        0.000000  hectares\r\n"
                  "                                   0.000000  acres\r\n"
                  "End Polygon\r\n" +
                  std::string(58, '*') + "\r\n");
}

}  // namespace
