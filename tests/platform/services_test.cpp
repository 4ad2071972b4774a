#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/clock.h"
#include "platform/event.h"
#include "platform/notify.h"
#include "platform/ports.h"
#include "platform/trace.h"
#include "support/virtual_clock.h"

TEST(Ports, PrecedenceIsEnvironmentThenFileThenScan) {
    char tmpl[] = "/tmp/tessaray_ports_XXXXXX";
    std::string dir = ::mkdtemp(tmpl);
    ::setenv("TESSARAY_PC_CONFIG_DIR", dir.c_str(), 1);
    std::ofstream(dir + "/ports.conf", std::ios::binary)
        << "# our adapters\r\nCOM2=/dev/conf2\r\n com3 = /dev/conf3 \nCOM4=\nbroken line\n";
    platform::SetDetectedPortsForTest(
        {"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyACM0", "/dev/ttyS0"});
    ::setenv("TESSARAY_PC_COM3", "/dev/env3", 1);
    ::setenv("TESSARAY_PC_COM5", "/dev/env5", 1);

    struct Case {
        int com;
        const char* path;
        const char* label;
    };
    const Case cases[] = {
        {1, "/dev/ttyUSB0", "COM1 (/dev/ttyUSB0)"},
        {2, "/dev/conf2", "COM2 (/dev/conf2)"},
        {3, "/dev/env3", "COM3 (/dev/env3)"},
        {4, "/dev/ttyS0", "COM4 (/dev/ttyS0)"},  // an empty line in the file does not count
        {5, "/dev/env5", "COM5 (/dev/env5)"},
        {6, "", "COM6"},
        {0, "", "COM0"},
        {51, "", "COM51"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::PortDevicePath(c.com), c.path) << c.com;
        EXPECT_EQ(platform::PortLabel(c.com), c.label) << c.com;
    }
    ::unsetenv("TESSARAY_PC_COM3");
    ::unsetenv("TESSARAY_PC_COM5");
    EXPECT_EQ(platform::PortDevicePath(3), "/dev/conf3");
    std::filesystem::remove_all(dir);
    ::unsetenv("TESSARAY_PC_CONFIG_DIR");
}

// The file is read again only when it changes; one that is no regular file or too large is
// refused with one notice, without blocking.
TEST(Ports, ConfFileIsReadWhenItChangesAndRefusedWhenItIsNoSmallFile) {
    char tmpl[] = "/tmp/tessaray_ports_XXXXXX";
    const std::string dir = ::mkdtemp(tmpl), conf = dir + "/ports.conf";
    ::setenv("TESSARAY_PC_CONFIG_DIR", dir.c_str(), 1);
    platform::SetDetectedPortsForTest({"/dev/ttyUSB0"});
    std::vector<std::string> notices;
    platform::SetNotifySink([&notices](const std::string& t) { notices.push_back(t); });
    auto write = [&conf](const std::string& text) {
        std::filesystem::remove(conf);
        std::ofstream(conf, std::ios::binary) << text;
    };
    auto keepTime = [&conf](const std::string& text) {
        struct stat before {};
        ::stat(conf.c_str(), &before);
        std::ofstream(conf, std::ios::binary) << text;
        const timespec times[2] = {before.st_atim, before.st_mtim};
        ::utimensat(AT_FDCWD, conf.c_str(), times, 0);
    };
    const std::string big = "COM1=/dev/big\n" + std::string(platform::kMaxPortsConfBytes, '#');
    const struct {
        std::function<void()> change;
        const char* com1;
        const char* notice;  // "" for none
    } steps[] = {
        {[&] { write("COM1=/dev/first\n"); }, "/dev/first", ""},
        {[&] { keepTime("COM1=/dev/other\n"); }, "/dev/first", ""},  // unchanged: not read
        {[&] { write("COM1=/dev/second\n"); }, "/dev/second", ""},
        {[&] { write(big); }, "/dev/ttyUSB0", ": larger than 65536 bytes; its port lines"},
        {[&] {
             std::filesystem::remove(conf);
             ::mkfifo(conf.c_str(), 0600);
         },
         "/dev/ttyUSB0", ": not a regular file; its port lines"},
        {[&] { std::filesystem::remove(conf); }, "/dev/ttyUSB0", ""},
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        notices.clear();
        steps[i].change();
        EXPECT_EQ(platform::PortDevicePath(1), steps[i].com1) << "step " << i;
        EXPECT_EQ(platform::PortDevicePath(1), steps[i].com1) << "step " << i;
        if (*steps[i].notice) {
            ASSERT_EQ(notices.size(), 1u) << "step " << i;
            EXPECT_NE(notices[0].find(conf + steps[i].notice), std::string::npos) << notices[0];
        } else {
            EXPECT_TRUE(notices.empty()) << "step " << i << ": " << notices[0];
        }
    }
    platform::SetNotifySink(nullptr);
    std::filesystem::remove_all(dir);
    ::unsetenv("TESSARAY_PC_CONFIG_DIR");
}

TEST(Trace, RingKeepsTheNewestLinesAndAssertContinues) {
    platform::ClearTrace();
    for (size_t i = 0; i < platform::kTraceRingLines + 5; ++i) platform::Trace("line %zu\n", i);
    std::vector<std::string> lines = platform::TraceLines();
    ASSERT_EQ(lines.size(), platform::kTraceRingLines);
    EXPECT_EQ(lines.front(), "line 5");
    EXPECT_EQ(lines.back(), "line " + std::to_string(platform::kTraceRingLines + 4));
    platform::ClearTrace();
    int after = 0;
    TRACE_ASSERT(1 + 1 == 3);
    ++after;
    EXPECT_EQ(after, 1);
    ASSERT_EQ(platform::TraceLines().size(), 1u);
    EXPECT_EQ(platform::TraceLines()[0].rfind("internal error ", 0), 0u);
    EXPECT_TRUE(platform::TraceContains("services_test.cpp:"));
}

TEST(Notify, GoesToTheInstalledSinkElseToTheTrace) {
    platform::ClearTrace();
    platform::Notify("Tessaray_PC: Error Occured on SComm::ReadBytes");
    EXPECT_TRUE(platform::TraceContains("Error Occured on SComm::ReadBytes"));
    std::vector<std::string> got;
    platform::SetNotifySink([&got](const std::string& text) { got.push_back(text); });
    std::thread([] { platform::Notify("from the reader thread"); }).join();
    platform::SetNotifySink(nullptr);
    EXPECT_EQ(got, std::vector<std::string>{"from the reader thread"});
}

TEST(Clock, VirtualClockRecordsPausesAndTickWraps) {
    testsupport::InstalledVirtualClock clock(0xFFFFFFF0u);
    uint32_t start = platform::TickCount();
    platform::Sleep(50);
    platform::Sleep(100);
    EXPECT_EQ(clock.pauses(), (std::vector<uint32_t>{50, 100}));
    EXPECT_EQ(platform::TickCount() - start, 150u);  // across the wrap
    EXPECT_LT(platform::TickCount(), start);
}

TEST(Event, ManualResetStaysSetUntilReset) {
    platform::Event event(true);
    EXPECT_TRUE(event.Wait(0));
    EXPECT_TRUE(event.Wait(0));
    event.Reset();
    EXPECT_FALSE(event.Wait(0));
    std::thread setter([&event] { event.Set(); });
    EXPECT_TRUE(event.Wait(10000));
    setter.join();
    EXPECT_TRUE(event.IsSet());
}
