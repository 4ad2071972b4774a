// The archive is saved by the reader thread's proprietary handlers while the user-interface
// thread loads or saves it.

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <thread>

#include "engine/cfgarchive.h"
#include "engine/gps.h"
#include "support/temp_dir.h"
#include "support/virtual_clock.h"
#include "wire_fixture.h"

namespace {

TEST(ArchiveThreads, SavesAndLoadsFromTwoThreadsNeverTearTheFile) {
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
    std::ifstream in(CfgArchivePath(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.size(), kCfgArchiveSize);
    EXPECT_EQ(gps->Info.ulPart1Lock, 0u);
}

}  // namespace
