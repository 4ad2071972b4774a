#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <future>
#include <string>
#include <thread>

#include "platform/atomic_file.h"
#include "platform/bytes.h"
#include "platform/event.h"
#include "platform/instance_lock.h"
#include "platform/notify.h"
#include "platform/paths.h"
#include "platform/ports.h"
#include "platform/textfile.h"
#include "platform/trace.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

namespace {

size_t Entries(const std::string& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
}

// In a child, where the alarm ends a blocking call; unprivileged when asked.
void ExpectInChild(const std::function<bool()>& action, const std::string& what, bool asUser) {
    auto run = [&] {
        ::alarm(10);
        if (asUser && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            std::_Exit(3);
        std::_Exit(action() ? 0 : 1);
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "") << what;
}

// The profile and terminal tests check the files' bytes; here the line ends alone.
TEST(TextFile, WindowsTextModeOnDisk) {
    const std::pair<std::string, std::string> reads[] = {{"a\rb\r\n", "a\rb\n"},
                                                         {"\r\r\n", "\r\n"}};
    for (const auto& [file, text] : reads) EXPECT_EQ(platform::TextFromFileBytes(file), text);
    EXPECT_EQ(platform::TextToFileBytes("a\nb\r"), "a\r\nb\r");
    testsupport::TempDir dir;
    const std::string path = dir / "Tessaray_Term.ini";
    std::string error, back;
    platform::TextFileWriter writer;
    for (bool append : {false, true})
        ASSERT_TRUE(writer.Open(path, append, &error) && writer.Write("a\n", &error) &&
                    writer.Close(&error))
            << error;
    EXPECT_EQ(ReadBytes(path), "a\r\na\r\n");
    EXPECT_FALSE(platform::ReadTextFile("/nonexistent/dir/x.rcf", &back, &error));
    EXPECT_EQ(error, "cannot open /nonexistent/dir/x.rcf: No such file or directory");
}

// Only regular files within the limit are read: a pipe without a writer would block.
TEST(TextFile, ReadsOnlyRegularFilesWithinTheLimit) {
    testsupport::TempDir dir;
    const std::string big = dir / "big.conf";
    WriteBytes(big, std::string(65, 'x'));
    const std::tuple<std::string, size_t, int, std::string> cases[] = {
        {dir.path(), platform::kNoSizeLimit, EISDIR,
         "cannot read " + dir.path() + ": not a regular file"},
        {big, 64, EFBIG, "cannot read " + big + ": larger than 64 bytes"},
    };
    for (const auto& [path, limit, err, text] : cases) {
        auto read = [&] {
            std::string bytes, error;
            int got = 0;
            return !platform::ReadFileBytes(path, &bytes, &error, limit, &got) && got == err &&
                   error == text;
        };
        ExpectInChild(read, path, false);
    }
    std::string bytes, error;
    EXPECT_TRUE(platform::ReadFileBytes(big, &bytes, &error, 65)) << error;
    EXPECT_EQ(bytes.size(), 65u);
}

// The bytes this process has read so far, as the kernel counts them, and the size of the text
// that told it (read too, but counted only from the next time).
std::pair<uint64_t, size_t> BytesReadByThisProcess() {
    std::string io, error;
    if (!platform::ReadFileBytes("/proc/self/io", &io, &error)) return {0, 0};
    const size_t at = io.find("rchar: ");
    return {at == std::string::npos ? 0 : std::stoull(io.substr(at + 7)), io.size()};
}

// A file larger than its stated size (one under /proc, or one growing while it is read) is
// held to the limit as it is read, and read no further than one byte past it.
TEST(TextFile, FileLargerThanItsStatedSizeIsTooLarge) {
    const std::string proc = "/proc/self/smaps";
    struct stat st {};
    if (::stat(proc.c_str(), &st) != 0 || st.st_size != 0 || BytesReadByThisProcess().first == 0)
        GTEST_SKIP() << "no /proc";
    std::string bytes = "kept", error;
    int err = 0;
    const auto [before, counterText] = BytesReadByThisProcess();
    EXPECT_FALSE(platform::ReadFileBytes(proc, &bytes, &error, 64, &err));
    const uint64_t after = BytesReadByThisProcess().first;
    EXPECT_EQ(err, EFBIG);
    EXPECT_EQ(error, "cannot read " + proc + ": larger than 64 bytes");
    EXPECT_EQ(bytes, "kept");
    EXPECT_LE(after - before - counterText, 65u);
}

// The point and polygon tables are written from the window's thread: a pipe must not block.
TEST(RawFile, OpensOnlyRegularFilesWithoutBlocking) {
    testsupport::TempDir dir;
    const std::string fifo = dir / "points.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string error;
    platform::RawFileWriter refused;
    auto opened = std::async(std::launch::async, [&] { return refused.Open(fifo, true, &error); });
    if (opened.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
        ::close(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK));
        opened.wait();
        ADD_FAILURE() << "opening blocked on " << fifo;
    }
    EXPECT_FALSE(refused.IsOpen());
    EXPECT_EQ(error, "cannot open " + fifo + ": not a regular file");
    EXPECT_FALSE(refused.Write("x", &error));
}

TEST(AtomicFile, ReplacesWholeOrLeavesTheOldFile) {
    testsupport::TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    const std::string path = dir / "Tessaray_PC.CFG";
    ASSERT_EQ(platform::WriteFileAtomic(path, std::string("old\0data", 8)), "");
    ASSERT_EQ(platform::WriteFileAtomic(path, "new"), "");
    EXPECT_EQ(ReadBytes(path), "new");
    EXPECT_EQ(Entries(dir.path()), 1u) << "no temporary file is left";
    // Targets not writable in place, no files, or in a read-only folder are left alone.
    const std::string foreign = dir / "foreign.cfg", readOnly = dir / "readonly.cfg";
    const std::string fifo = dir / "fifo.cfg";
    WriteBytes(foreign, "foreign");
    ASSERT_EQ(::chmod(foreign.c_str(), 0644), 0);
    WriteBytes(readOnly, "read-only");
    ASSERT_EQ(::chown(readOnly.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    testsupport::TempDir locked;
    const std::string inLocked = locked / "Tessaray_PC.CFG";
    ASSERT_EQ(platform::WriteFileAtomic(inLocked, "old contents"), "");
    ASSERT_EQ(::chmod(locked.path().c_str(), 0555), 0);
    ASSERT_EQ(::chmod(inLocked.c_str(), 0666), 0);
    const std::pair<std::string, const char*> cases[] = {{foreign, "Permission denied"},
                                                         {readOnly, "Permission denied"},
                                                         {fifo, "not a regular file"},
                                                         {inLocked, "Permission denied"}};
    for (const auto& [target, reason] : cases) {
        auto write = [&] {
            const std::string err = platform::WriteFileAtomic(target, "new");
            return target == inLocked ? err.find(target) != err.npos && err.find(reason) != err.npos
                                      : err == "cannot write " + target + ": " + reason;
        };
        ExpectInChild(write, target, true);
    }
    EXPECT_EQ(ReadBytes(foreign) + ReadBytes(readOnly) + ReadBytes(inLocked),
              "foreignread-onlyold contents");
    EXPECT_EQ(Entries(dir.path()) + Entries(locked.path()), 4u + 1u);
}

// A run as root (common for serial ports) rewrites the user's files without taking them over:
// the new file has the old one's owner, group and mode; a new file is the writer's own.
// The set-id and sticky bits stay with the mode.
TEST(AtomicFile, ReplacedFileKeepsItsOwnerAndMode) {
    testsupport::TempDir dir;
    const struct {
        uid_t uid;
        gid_t gid;
        mode_t mode;
    } rows[] = {{65534, 65534, 0640},
                {1000, 100, 0604},
                {65534, 65534, 06750},
                {::geteuid(), ::getegid(), 0600},
                {::geteuid(), ::getegid(), 07700},
                {::geteuid(), ::getegid(), 01644}};
    for (const auto& row : rows) {
        // Only root can give a file to another owner.
        if (row.uid != ::geteuid() && ::geteuid() != 0) continue;
        const std::string path = dir / "Tessaray_Term.ini";
        WriteBytes(path, "old");
        ASSERT_EQ(::chown(path.c_str(), row.uid, row.gid), 0);
        ASSERT_EQ(::chmod(path.c_str(), row.mode), 0);
        ASSERT_EQ(platform::WriteFileAtomic(path, "new"), "");
        struct stat st {};
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(std::vector<unsigned>({st.st_uid, st.st_gid, st.st_mode & 07777u}),
                  std::vector<unsigned>({row.uid, row.gid, row.mode}));
        EXPECT_EQ(ReadBytes(path), "new");
        fs::remove(path);
    }
    const std::string fresh = dir / "fresh.rcf";
    ASSERT_EQ(platform::WriteFileAtomic(fresh, "x"), "");
    struct stat st {};
    ASSERT_EQ(::stat(fresh.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, ::geteuid());
}

// Texts are cut to leave their NUL; reading past the end gives zeros and fails.
TEST(Bytes, FieldsRoundTripAndShortInputReadsZeros) {
    platform::ByteWriter w;
    w.F32(1.0f);
    w.F64(-2.0);
    w.Chars("Unavailable", 4);
    const std::string bytes = w.str();
    platform::ByteReader r(bytes);
    EXPECT_EQ((std::tuple{r.F32(), r.F64(), bytes.substr(12), r.U16(), r.U32(), r.ok()}),
              std::tuple(1.0f, -2.0, std::string("Una\0", 4), 0x6E55, 0u, false));
}

TEST(Paths, ConfigFolderFollowsTheEnvironmentAndFoldersAreCreated) {
    testsupport::TempDir dir;
    ::unsetenv("TESSARAY_PC_CONFIG_DIR");
    ::setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
    EXPECT_EQ(platform::ConfigDir(), dir.path() + "/Tessaray_PC");
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", "/home/surveyor", 1);
    EXPECT_EQ(platform::ConfigDir(), "/home/surveyor/.config/Tessaray_PC");
    const std::string own = dir / "cfg/nested";
    ::setenv("TESSARAY_PC_CONFIG_DIR", own.c_str(), 1);
    EXPECT_EQ(platform::ConfigFile("ports.conf"), own + "/ports.conf");
    std::string error;
    EXPECT_TRUE(platform::EnsureConfigDir(&error) && fs::is_directory(own)) << error;
    WriteBytes(dir / "plainfile", "x");
    ::setenv("TESSARAY_PC_CONFIG_DIR", (dir / "plainfile/sub").c_str(), 1);
    EXPECT_FALSE(platform::EnsureConfigDir(&error));
    EXPECT_NE(error.find("plainfile/sub"), std::string::npos) << error;
    const std::tuple<std::string, bool, std::string> cases[] = {
        {dir / "logs/2024/03/day.log", true, dir / "logs/2024/03"},
        {"bare-name.log", true, ""},
        {dir / "plainfile/sub/x.log", false, ""},
    };
    for (const auto& [path, ok, folder] : cases) {
        EXPECT_EQ(platform::CreateFoldersOf(path, &error), ok) << path << error;
        EXPECT_TRUE(folder.empty() || fs::is_directory(folder)) << path;
        EXPECT_TRUE(ok || error.find("plainfile/sub") != std::string::npos) << error;
    }
    EXPECT_FALSE(fs::exists(dir / "logs/2024/03/day.log"));
    EXPECT_TRUE(platform::CreateFolders(dir / "a/b/c", &error) && fs::is_directory(dir / "a/b/c"));
}

TEST(Ports, PrecedenceIsEnvironmentThenFileThenScan) {
    testsupport::TempDir dir;
    ::setenv("TESSARAY_PC_CONFIG_DIR", dir.path().c_str(), 1);
    WriteBytes(dir / "ports.conf",
               "# our adapters\r\nCOM2=/dev/conf2\r\n com3 = /dev/conf3 \nCOM4=\nbroken line\n");
    platform::SetDetectedPortsForTest(
        {"/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyACM0", "/dev/ttyS0"});
    ::setenv("TESSARAY_PC_COM3", "/dev/env3", 1);
    const std::pair<int, const char*> cases[] = {
        {1, "/dev/ttyUSB0"}, {2, "/dev/conf2"}, {3, "/dev/env3"}, {4, "/dev/ttyS0"}, {51, ""}};
    for (const auto& [com, path] : cases) {
        const std::string label = "COM" + std::to_string(com);
        EXPECT_EQ(platform::PortDevicePath(com), path) << com;
        EXPECT_EQ(platform::PortLabel(com), *path ? label + " (" + path + ")" : label);
    }
    ::unsetenv("TESSARAY_PC_COM3");
    EXPECT_EQ(platform::PortDevicePath(3), "/dev/conf3");
    ::unsetenv("TESSARAY_PC_CONFIG_DIR");
}

// A ports file too large is refused with one notice.
TEST(Ports, ConfFileIsReadWhenItChangesAndRefusedWhenItIsNoSmallFile) {
    testsupport::TempDir dir;
    const std::string conf = dir / "ports.conf";
    ::setenv("TESSARAY_PC_CONFIG_DIR", dir.path().c_str(), 1);
    platform::SetDetectedPortsForTest({"/dev/ttyUSB0"});
    std::vector<std::string> notices;
    platform::SetNotifySink([&notices](const std::string& t) { notices.push_back(t); });
    auto write = [&conf](const std::string& text) {
        fs::remove(conf);
        WriteBytes(conf, text);
    };
    const std::string big = "COM1=/dev/big\n" + std::string(platform::kMaxPortsConfBytes, '#');
    const struct {
        std::function<void()> change;
        const char* com1;
        const char* notice;  // "" for none
    } steps[] = {
        {[&] { write("COM1=/dev/first\n"); }, "/dev/first", ""},
        {[&] { write("COM1=/dev/second\n"); }, "/dev/second", ""},
        {[&] { write(big); }, "/dev/ttyUSB0", ": larger than 65536 bytes; its port lines"},
        {[&] {
             fs::remove(conf);
             fs::create_symlink("ports.conf", conf);
         },
         "/dev/ttyUSB0", ": Too many levels of symbolic links; its port lines"},
        {[&] { write("COM1=/dev/third\n"); }, "/dev/third", ""},
    };
    for (const auto& step : steps) {
        notices.clear();
        step.change();
        EXPECT_EQ(platform::PortDevicePath(1) + platform::PortDevicePath(1),
                  std::string(step.com1) + step.com1);
        ASSERT_EQ(notices.size(), *step.notice ? 1u : 0u) << step.com1;
        EXPECT_TRUE(!*step.notice || notices[0].find(conf + step.notice) != std::string::npos);
    }
    platform::SetNotifySink(nullptr);
    ::unsetenv("TESSARAY_PC_CONFIG_DIR");
}

// A ports file that cannot be looked at is told with that error, even when it could be read
// a moment later; once it can be looked at again, its lines count.
TEST(Ports, ConfFileThatCannotBeLookedAtIsToldWithItsError) {
    testsupport::TempDir dir;
    const std::string conf = dir / "ports.conf";
    ::setenv("TESSARAY_PC_CONFIG_DIR", dir.path().c_str(), 1);
    platform::SetDetectedPortsForTest({"/dev/ttyUSB0"});
    std::vector<std::string> notices;
    platform::SetNotifySink([&notices](const std::string& t) { notices.push_back(t); });
    WriteBytes(conf, "COM1=/dev/conf1\n");
    const std::pair<int, const char*> rows[] = {{EACCES, "Permission denied"},
                                                {ELOOP, "Too many levels of symbolic links"}};
    for (const auto& [err, text] : rows) {
        notices.clear();
        platform::SetPortsConfLookErrorForTest(err);
        EXPECT_EQ(platform::PortDevicePath(1) + platform::PortDevicePath(1),
                  "/dev/ttyUSB0/dev/ttyUSB0");
        platform::SetPortsConfLookErrorForTest(0);
        EXPECT_EQ(notices, std::vector<std::string>{"Tessaray_PC: cannot open " + conf + ": " +
                                                    text + "; its port lines are not used."});
        EXPECT_EQ(platform::PortDevicePath(1), "/dev/conf1") << text;
    }
    platform::SetNotifySink(nullptr);
    platform::SetDetectedPortsForTest({});
    ::unsetenv("TESSARAY_PC_CONFIG_DIR");
}

// COM numbers follow the kind of device, then its number: ttyUSB2 before ttyUSB10. A ttyS
// that is no real UART (a plain file here) is no port.
TEST(Ports, ScanNumbersDevicesByKindThenDeviceNumber) {
    testsupport::TempDir dev;
    for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyUSB1", "ttyACM11", "ttyACM3", "rfcomm0",
                             "ttyS0", "ttyUSB", "tty0"})
        WriteBytes(dev / name, "");
    fs::create_directories(dev / "serial/by-id");
    fs::create_symlink("../../ttyACM11", dev / "serial/by-id/usb-Receiver-if00");
    platform::SetDeviceFolderForTest(dev.path());
    platform::RescanPorts();
    const std::string d = fs::canonical(dev.path()).string() + "/";
    std::vector<std::string> expected;
    for (const char* name :
         {"ttyACM11", "ttyUSB", "ttyUSB1", "ttyUSB2", "ttyUSB10", "ttyACM3", "rfcomm0"})
        expected.push_back((name == std::string("ttyACM11") ? d : dev.path() + "/") + name);
    EXPECT_EQ(platform::DetectedPorts(), expected);
    platform::SetDeviceFolderForTest("");
    platform::SetDetectedPortsForTest({});
}

// One process holds the configuration folder; the lock goes with the process, so one that was
// killed blocks nobody, and the file names the holder.
TEST(InstanceLock, HeldByOneProcessAndFreedWithIt) {
    testsupport::TempDir dir;
    ::setenv("TESSARAY_PC_CONFIG_DIR", (dir / "config").c_str(), 1);
    const std::string file = dir / "config/Tessaray_PC.lock";
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        char ok = platform::LockConfigFolder() ? 'y' : 'n';
        [[maybe_unused]] ssize_t n = ::write(fds[1], &ok, 1);
        ::pause();
        std::_Exit(0);
    }
    char taken = 0;
    ASSERT_EQ(::read(fds[0], &taken, 1), 1);
    EXPECT_EQ(taken, 'y');
    EXPECT_EQ(ReadBytes(file), std::to_string(holder) + "\n");
    int owner = -1;
    EXPECT_FALSE(platform::LockConfigFolder(&owner));
    EXPECT_EQ(owner, holder);
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    const struct {
        const char* what;
        int expectedOwner;
    } steps[] = {{"after the holder was killed", 0}, {"again in the same process", 0}};
    for (const auto& step : steps) {
        owner = -1;
        EXPECT_TRUE(platform::LockConfigFolder(&owner)) << step.what;
        EXPECT_EQ(owner, step.expectedOwner);
        EXPECT_EQ(ReadBytes(file), std::to_string(::getpid()) + "\n") << step.what;
    }
    platform::UnlockConfigFolder();
    EXPECT_FALSE(fs::exists(file));
    ::close(fds[0]);
    ::close(fds[1]);
    ::unsetenv("TESSARAY_PC_CONFIG_DIR");
}

// A lock file that cannot be opened (one a crashed run as root left, a folder, a link) never
// stops the program: it runs without the lock and the trace names the file and the OS error.
TEST(InstanceLock, LockFileThatCannotBeOpenedIsTracedAndTheRunGoesOn) {
    testsupport::TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
    ::setenv("TESSARAY_PC_CONFIG_DIR", dir.path().c_str(), 1);
    const std::string file = dir / "Tessaray_PC.lock";
    const struct {
        std::function<void()> make;
        bool asUser;
        const char* reason;
    } rows[] = {
        {[&] { WriteBytes(file, "1234\n"); }, true, "Permission denied"},
        {[&] { fs::create_directory(file); }, false, "Is a directory"},
        {[&] { fs::create_symlink("elsewhere", file); }, false, "Too many levels of symbolic links"},
    };
    for (const auto& row : rows) {
        if (row.asUser && ::geteuid() != 0) continue;  // the file would be the user's own
        fs::remove_all(file);
        row.make();
        auto lock = [&] {
            platform::ClearTrace();
            const bool runs = platform::LockConfigFolder();
            return runs && platform::TraceContains("Tessaray_PC: cannot open " + file + ": " +
                                                   row.reason +
                                                   "; this copy runs without the lock");
        };
        ExpectInChild(lock, row.reason, row.asUser);
    }
    fs::remove_all(file);
    ::unsetenv("TESSARAY_PC_CONFIG_DIR");
}

TEST(Trace, AssertContinues) {
    platform::ClearTrace();
    int after = 0;
    TRACE_ASSERT(1 + 1 == 3);
    ++after;
    EXPECT_EQ(after, 1);
    ASSERT_EQ(platform::TraceLines().size(), 1u);
    EXPECT_EQ(platform::TraceLines()[0].rfind("internal error ", 0), 0u);
    EXPECT_TRUE(platform::TraceContains("files_test.cpp:"));
}

TEST(Notify, GoesToTheInstalledSinkElseToTheTraceAndEventsStaySet) {
    platform::ClearTrace();
    platform::Notify("Tessaray_PC: Error Occured on SComm::ReadBytes");
    EXPECT_TRUE(platform::TraceContains("Error Occured on SComm::ReadBytes"));
    std::vector<std::string> got;
    platform::SetNotifySink([&got](const std::string& text) { got.push_back(text); });
    std::thread([] { platform::Notify("from the reader thread"); }).join();
    platform::SetNotifySink(nullptr);
    EXPECT_EQ(got, std::vector<std::string>{"from the reader thread"});
    platform::Event event(true);
    EXPECT_TRUE(event.Wait(0) && event.Wait(0)) << "manual reset";
    event.Reset();
    EXPECT_FALSE(event.Wait(0));
    std::thread setter([&event] { event.Set(); });
    EXPECT_TRUE(event.Wait(10000));
    setter.join();
    EXPECT_TRUE(event.IsSet());
}

}  // namespace
