#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>

#include "platform/atomic_file.h"
#include "platform/bytes.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

class TempDir : public testsupport::TempDir {
public:
    TempDir() : testsupport::TempDir("tessaray_files_") {}
};

using testsupport::ReadBytes;

}  // namespace

TEST(TextFile, ConversionsFollowTheWindowsTextMode) {
    struct Case {
        std::string file, text;
    };
    const Case reads[] = {
        {"a\r\nb\r\n", "a\nb\n"}, {"a\nb", "a\nb"}, {"a\rb\r\n", "a\rb\n"},
        {"\r\r\n", "\r\n"},       {"x\r", "x\r"},   {"", ""},
    };
    for (const Case& c : reads) EXPECT_EQ(platform::TextFromFileBytes(c.file), c.text);
    EXPECT_EQ(platform::TextToFileBytes("a\nb\n"), "a\r\nb\r\n");
    EXPECT_EQ(platform::TextToFileBytes("a\rb"), "a\rb");
}

TEST(TextFile, RoundTripThroughDisk) {
    TempDir dir;
    std::string path = dir / "Tessaray_Term.ini";
    const std::string text = "[Commands]\nCmd0=$JI\n\nlast line without end";
    std::string error;
    ASSERT_TRUE(platform::WriteTextFile(path, text, &error)) << error;
    EXPECT_EQ(ReadBytes(path), "[Commands]\r\nCmd0=$JI\r\n\r\nlast line without end");
    std::string back;
    ASSERT_TRUE(platform::ReadTextFile(path, &back, &error)) << error;
    EXPECT_EQ(back, text);

    platform::TextLineReader reader(back);
    std::vector<std::string> lines;
    std::string line;
    while (reader.ReadLine(&line)) lines.push_back(line);
    EXPECT_EQ(lines,
              (std::vector<std::string>{"[Commands]", "Cmd0=$JI", "", "last line without end"}));

    platform::TextFileWriter writer;
    ASSERT_TRUE(writer.Open(path, true, &error)) << error;
    ASSERT_TRUE(writer.Write("\nmore\n", &error));
    ASSERT_TRUE(writer.Close(&error));
    EXPECT_EQ(ReadBytes(path), "[Commands]\r\nCmd0=$JI\r\n\r\nlast line without end\r\nmore\r\n");
}

TEST(RawFile, BytesGoToDiskAsTheyAre) {
    TempDir dir;
    const std::string path = dir / "capture.bin";
    const std::string bytes("$GPGGA,1\r\n$BIN\x01\x00\n\r\xFF", 17);
    std::string error;
    platform::RawFileWriter writer;
    EXPECT_FALSE(writer.Write("x", &error));
    ASSERT_TRUE(writer.Open(path, false, &error)) << error;
    ASSERT_TRUE(writer.Write(bytes, &error)) << error;
    ASSERT_TRUE(writer.Flush(&error)) << error;
    EXPECT_EQ(ReadBytes(path), bytes);
    ASSERT_TRUE(writer.Close(&error));
    EXPECT_FALSE(writer.IsOpen());
    ASSERT_TRUE(writer.Open(path, true, &error)) << error;
    ASSERT_TRUE(writer.Write("\n", &error));
    writer.Close(nullptr);
    EXPECT_EQ(ReadBytes(path), bytes + "\n");
    EXPECT_FALSE(writer.Open(dir / "missing/capture.bin", false, &error));
    EXPECT_NE(error.find("missing/capture.bin: No such file"), std::string::npos) << error;
}

// The point and polygon tables are written through this writer from the window's thread.
TEST(RawFile, WhatIsNotARegularFileIsRefusedWithoutBlockingAndLeftAlone) {
    TempDir dir;
    const std::string fifo = dir / "points.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const struct {
        std::string path;
        bool append;
        std::string error;
    } cases[] = {
        {fifo, false, "cannot open " + fifo + ": not a regular file"},
        {fifo, true, "cannot open " + fifo + ": not a regular file"},
        {dir.path(), false, "cannot open " + dir.path() + ": Is a directory"},
    };
    for (const auto& c : cases) {
        std::string error;
        platform::RawFileWriter writer;
        auto opened =
            std::async(std::launch::async, [&] { return writer.Open(c.path, c.append, &error); });
        if (opened.wait_for(std::chrono::seconds(30)) != std::future_status::ready) {
            ::close(::open(fifo.c_str(), O_RDONLY | O_NONBLOCK));
            opened.wait();
            ADD_FAILURE() << "opening blocked on " << c.path;
        }
        EXPECT_FALSE(writer.IsOpen()) << c.path;
        EXPECT_EQ(error, c.error);
    }
    // A regular file is looked at before it is emptied, and emptied only then.
    const std::string table = dir / "polygon.txt";
    std::ofstream(table) << "old contents";
    std::string error;
    platform::RawFileWriter writer;
    ASSERT_TRUE(writer.Open(table, false, &error)) << error;
    ASSERT_TRUE(writer.Write("new", &error)) << error;
    ASSERT_TRUE(writer.Close(&error)) << error;
    EXPECT_EQ(ReadBytes(table), "new");
}

TEST(Paths, FoldersOfAFilePathAreCreated) {
    TempDir dir;
    std::ofstream(dir / "plainfile") << "x";
    struct Case {
        std::string path;
        bool ok;
        std::string folder;  // exists afterwards; "" when nothing is to be made
    };
    const Case cases[] = {
        {dir / "logs/2024/03/day.log", true, dir / "logs/2024/03"},
        {dir / "logs/2024/other.log", true, dir / "logs/2024"},
        {"bare-name.log", true, ""},
        {dir / "plainfile/sub/x.log", false, ""},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_EQ(platform::CreateFoldersOf(c.path, &error), c.ok) << c.path << error;
        if (!c.folder.empty()) {
            EXPECT_TRUE(fs::is_directory(c.folder)) << c.path;
        }
        if (!c.ok) {
            EXPECT_NE(error.find("plainfile/sub"), std::string::npos) << error;
        }
    }
    EXPECT_FALSE(fs::exists(dir / "logs/2024/03/day.log"));
    std::string error;
    EXPECT_TRUE(platform::CreateFolders(dir / "a/b/c", &error)) << error;
    EXPECT_TRUE(fs::is_directory(dir / "a/b/c"));
}

TEST(TextFile, MissingFileNamesFileAndError) {
    std::string text, error;
    EXPECT_FALSE(platform::ReadTextFile("/nonexistent/dir/x.rcf", &text, &error));
    EXPECT_NE(error.find("/nonexistent/dir/x.rcf"), std::string::npos) << error;
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
}

TEST(AtomicFile, ReplacesWholeAndLeavesNoTemporary) {
    TempDir dir;
    std::string path = dir / "Tessaray_PC.CFG";
    ASSERT_EQ(platform::WriteFileAtomic(path, std::string("old\0data", 8)), "");
    ASSERT_EQ(platform::WriteFileAtomic(path, "new"), "");
    EXPECT_EQ(ReadBytes(path), "new");
    int entries = 0;
    for (auto& e : fs::directory_iterator(dir.path())) (void)e, ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(AtomicFile, FailureInReadOnlyFolderKeepsOldFile) {
    TempDir dir;
    std::string path = dir / "Tessaray_PC.CFG";
    ASSERT_EQ(platform::WriteFileAtomic(path, "old contents"), "");
    ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
    ::chmod(path.c_str(), 0644);
    // Run as an unprivileged user: root writes into read-only folders.
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::_Exit(3);
            std::string err = platform::WriteFileAtomic(path, "new contents");
            bool named = err.find(path) != std::string::npos &&
                         err.find("Permission denied") != std::string::npos;
            std::_Exit(named ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadBytes(path), "old contents");
    int entries = 0;
    for (auto& e : fs::directory_iterator(dir.path())) (void)e, ++entries;
    EXPECT_EQ(entries, 1);
}

// A target the user could not write in place is left alone, though its folder would let the
// rename through; so is one that is no file.
TEST(AtomicFile, RefusesTargetsTheUserCouldNotWriteInPlace) {
    TempDir dir;
    ASSERT_EQ(::chmod(dir.path().c_str(), 0777), 0);
    const std::string foreign = dir / "foreign.cfg", readOnly = dir / "readonly.cfg";
    const std::string fifo = dir / "fifo.cfg", folder = dir / "folder.cfg";
    testsupport::WriteBytes(foreign, "foreign");
    ASSERT_EQ(::chmod(foreign.c_str(), 0644), 0);
    testsupport::WriteBytes(readOnly, "read-only");
    ASSERT_EQ(::chown(readOnly.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0666), 0);
    ASSERT_EQ(::mkdir(folder.c_str(), 0777), 0);
    const struct {
        std::string path;
        const char* reason;
    } cases[] = {{foreign, "Permission denied"},
                 {readOnly, "Permission denied"},
                 {fifo, "not a regular file"},
                 {folder, "not a regular file"}};
    for (const auto& c : cases) {
        // As an unprivileged user: root may write anything.
        auto writeAsUser = [&c] {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::_Exit(3);
            const std::string err = platform::WriteFileAtomic(c.path, "new");
            std::_Exit(err == "cannot write " + c.path + ": " + c.reason ? 0 : 1);
        };
        EXPECT_EXIT(writeAsUser(), ::testing::ExitedWithCode(0), "") << c.path;
    }
    EXPECT_EQ(ReadBytes(foreign), "foreign");
    EXPECT_EQ(ReadBytes(readOnly), "read-only");
    int entries = 0;
    for (auto& e : fs::directory_iterator(dir.path())) (void)e, ++entries;
    EXPECT_EQ(entries, 4);
}

// Pipes, folders and devices are never read (a pipe without a writer would block), nor files
// above the caller's limit.
TEST(TextFile, ReadsOnlyRegularFilesWithinTheLimit) {
    TempDir dir;
    const std::string fifo = dir / "ports.conf", big = dir / "big.conf";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    testsupport::WriteBytes(big, std::string(65, 'x'));
    const struct {
        std::string path;
        size_t limit;
        int err;
        std::string text;
    } cases[] = {
        {fifo, platform::kNoSizeLimit, EINVAL, "cannot read " + fifo + ": not a regular file"},
        {dir.path(), platform::kNoSizeLimit, EISDIR,
         "cannot read " + dir.path() + ": not a regular file"},
        {"/dev/zero", platform::kNoSizeLimit, EINVAL, "cannot read /dev/zero: not a regular file"},
        {big, 64, EFBIG, "cannot read " + big + ": larger than 64 bytes"},
        {dir / "none", 64, ENOENT, "cannot open " + dir / "none" + ": No such file or directory"},
    };
    for (const auto& c : cases) {
        // A read that blocks is ended by the alarm.
        auto read = [&c] {
            ::alarm(10);
            std::string bytes, error;
            int err = 0;
            const bool ok = platform::ReadFileBytes(c.path, &bytes, &error, c.limit, &err);
            std::_Exit(!ok && err == c.err && error == c.text ? 0 : 1);
        };
        EXPECT_EXIT(read(), ::testing::ExitedWithCode(0), "") << c.path;
    }
    std::string bytes, error;
    EXPECT_TRUE(platform::ReadFileBytes(big, &bytes, &error, 65)) << error;
    EXPECT_EQ(bytes.size(), 65u);
}

TEST(Bytes, LittleEndianFieldsRoundTrip) {
    platform::ByteWriter w;
    w.U8(0xAB);
    w.U16(0x1234);
    w.U32(0x12345678);
    w.I32(-2);
    w.F32(1.0f);
    w.F64(-2.0);
    w.Chars("Unavailable-too-long-text", 17);
    w.Chars("ab", 4);
    const std::string want = std::string("\xAB\x34\x12\x78\x56\x34\x12\xFE\xFF\xFF\xFF", 11) +
                             std::string("\x00\x00\x80\x3F", 4) +
                             std::string("\x00\x00\x00\x00\x00\x00\x00\xC0", 8) +
                             std::string("Unavailable-too-\0", 17) + std::string("ab\0\0", 4);
    ASSERT_EQ(w.str(), want);

    const std::string bytes = w.str();
    platform::ByteReader r(bytes);
    EXPECT_EQ(r.U8(), 0xAB);
    EXPECT_EQ(r.U16(), 0x1234);
    EXPECT_EQ(r.U32(), 0x12345678u);
    EXPECT_EQ(r.I32(), -2);
    EXPECT_EQ(r.F32(), 1.0f);
    EXPECT_EQ(r.F64(), -2.0);
    char text[17];
    r.Chars(text, sizeof text);
    EXPECT_STREQ(text, "Unavailable-too-");
    r.Skip(4);
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.remaining(), 0u);
    EXPECT_EQ(r.U32(), 0u);  // past the end
    EXPECT_FALSE(r.ok());
}

TEST(Bytes, ShortInputNeverReadsPastTheEnd) {
    const char data[3] = {1, 2, 3};
    platform::ByteReader r(data, sizeof data);
    EXPECT_EQ(r.U16(), 0x0201);
    EXPECT_EQ(r.U32(), 0u);
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.U8(), 0);
}

TEST(Paths, ConfigFolderFollowsTheEnvironment) {
    TempDir dir;
    ::unsetenv("TESSARAY_PC_CONFIG_DIR");
    ::setenv("XDG_CONFIG_HOME", dir.path().c_str(), 1);
    EXPECT_EQ(platform::ConfigDir(), dir.path() + "/Tessaray_PC");
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", "/home/surveyor", 1);
    EXPECT_EQ(platform::ConfigDir(), "/home/surveyor/.config/Tessaray_PC");
    std::string own = dir / "cfg/nested";
    ::setenv("TESSARAY_PC_CONFIG_DIR", own.c_str(), 1);
    EXPECT_EQ(platform::ConfigFile("ports.conf"), own + "/ports.conf");
    std::string error;
    EXPECT_TRUE(platform::EnsureConfigDir(&error)) << error;
    EXPECT_TRUE(fs::is_directory(own));
    std::ofstream(dir / "plainfile") << "x";
    ::setenv("TESSARAY_PC_CONFIG_DIR", (dir / "plainfile/sub").c_str(), 1);
    EXPECT_FALSE(platform::EnsureConfigDir(&error));
    EXPECT_NE(error.find("plainfile/sub"), std::string::npos) << error;
}
