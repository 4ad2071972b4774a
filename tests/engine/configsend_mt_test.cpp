// The settings senders against the reader thread, which writes the same settings from the
// beacon status and reloads them all when the setup responder reads the archive: under
// ThreadSanitizer no copy or store of the senders (and of a profile load, which sends too)
// goes unordered by the record's lock.

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "engine/Profile.h"
#include "engine/gps.h"
#include "engine/nmea.h"
#include "support/frames.h"
#include "support/temp_dir.h"
#include "wire_fixture.h"

namespace {

TEST(ConfigSendThreads, SendersTakeTheSettingsTheReaderWritesUnderTheLock) {
    testsupport::TempConfigDir dir;
    wiretest::Wire wire;
    ASSERT_TRUE(g_GPS.SaveConfigFile());             // what the setup responder's read loads
    const std::string rcf = dir.root + "/race.rcf";  // a profile loaded meanwhile sends too
    ASSERT_TRUE(CProfile(&g_GPS).Save(rcf));
    const struct {
        const char* name;
        std::string sentence;
    } writers[] = {
        {"beacon status",
         testsupport::NmeaSentence("PKRV,CS0,FW2.1,X,301.5,M,200,M,25,18,3,4,123,1")},
        {"archive read", "$PKRV,SETUP,READ\r\n"},
    };
    for (const auto& writer : writers) {
        SCOPED_TRACE(writer.name);
        CNMEA nmea;
        nmea.PkrvNMEA.Responder = [](const std::string&) {};
        // Relaxed: the flags must not order the threads' settings accesses themselves.
        std::atomic<bool> done{false};
        std::atomic<int> parsed{0};
        std::thread reader([&] {
            std::vector<char> buffer;
            while (!done.load(std::memory_order_relaxed)) {
                buffer.assign(writer.sentence.begin(), writer.sentence.end());
                buffer.push_back('\0');
                nmea.bParseNMEA(&g_GPS.Info, buffer.data());
                parsed.fetch_add(1, std::memory_order_relaxed);
            }
        });
        for (int k = 0; k < 40 || parsed.load(std::memory_order_relaxed) < 40; ++k) {
            WizardInfo& live = g_GPS.Info.Settings.WizardLive;
            if (k % 3 == 0) {
                g_GPS.SendConfig(live);
            } else if (k % 3 == 1) {
                g_GPS.SendChangedConfig(live);
            } else {
                CProfile profile(&g_GPS);
                EXPECT_TRUE(profile.Load(rcf)) << profile.LastError();
            }
        }
        done.store(true, std::memory_order_relaxed);
        reader.join();
        EXPECT_FALSE(wire.device.written().empty());
        EXPECT_EQ(g_GPS.Info.ulPart1Lock, 0u);
    }
}

}  // namespace
