// A terminal file that is there but cannot be read: told once with the file and the reason,
// and never written over while it stays so.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "engine/terminalconfig.h"
#include "platform/notify.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;
using testsupport::ReadBytes;
using testsupport::WriteBytes;

class TerminalUnreadableTest : public ::testing::Test {
protected:
    void SetUp() override {
        TerminalConfig::Init();
        platform::SetNotifySink([this](const std::string& text) { notices.push_back(text); });
        fs::create_directories(dir.dir);
    }
    void TearDown() override { platform::SetNotifySink({}); }

    static void SetKey(const char* label) {
        HotKeyInfo& k = TerminalConfig::GetData()->HotKeys[0][0];
        std::strcpy(k.szLabel, label);
        std::strcpy(k.szCommand, "$JI\r\n");
    }
    static std::string Label() { return TerminalConfig::GetData()->HotKeys[0][0].szLabel; }

    // Loads twice and saves over what stands at the path; true when the block kept its key,
    // one notice named the file with `reason` and the path was left as it was.
    bool LoadsNothingAndKeepsTheFile(const std::string& reason) {
        const std::string before = fs::is_regular_file(path) ? ReadBytes(path) : "";
        const fs::file_type type = fs::symlink_status(path).type();
        SetKey("Kept");
        std::string error;
        const bool loaded = config.LoadText() || config.LoadText();
        const bool saved = config.SaveText(&error);
        const std::string told = "Tessaray_PC: cannot " + reason;
        EXPECT_FALSE(loaded);
        EXPECT_FALSE(saved);
        EXPECT_EQ(Label(), "Kept");
        EXPECT_EQ(error, "cannot " + reason);
        EXPECT_EQ(notices.size(), 1u);
        EXPECT_EQ(notices.empty() ? "" : notices[0].substr(0, told.size() + 1), told + "\n");
        EXPECT_EQ(fs::symlink_status(path).type(), type);
        if (type == fs::file_type::regular) {
            EXPECT_EQ(ReadBytes(path), before);
        }
        return !loaded && !saved && Label() == "Kept" && notices.size() == 1 &&
               (type != fs::file_type::regular || ReadBytes(path) == before);
    }

    testsupport::TempConfigDir dir;
    std::string path = TerminalConfig::FilePath();
    std::vector<std::string> notices;
    TerminalConfig config;
};

TEST_F(TerminalUnreadableTest, NotReadNotWrittenOver) {
    const std::string hotKey = "[Level]\r\n0\r\n[HotKey]\r\n0\r\nShow\r\n$JSHOW\r\n";
    // What stands at the path, the reason told after "cannot ".
    const struct {
        std::function<void()> make;
        std::string reason;
    } cases[] = {
        {[&] { fs::create_directory(path); }, "read " + path + ": not a regular file"},
        {[&] { ::mkfifo(path.c_str(), 0600); }, "read " + path + ": not a regular file"},
        {[&] { WriteBytes(path, hotKey + std::string("\0\x01", 2)); },
         "read " + path + ": it holds bytes that are not text"},
        {[&] { WriteBytes(path, "hello\r\nworld\r\n[Other]\r\n"); },
         "read " + path + ": it holds no saved commands or hot keys"},
        {[&] { WriteBytes(path, hotKey + std::string(1100000, ' ')); },
         "read " + path + ": larger than 1048576 bytes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        fs::remove_all(path);
        EXPECT_FALSE(config.LoadText());  // missing: no longer held back
        notices.clear();
        c.make();
        LoadsNothingAndKeepsTheFile(c.reason);
    }
    // Readable again: read, and saved as the block stands.
    fs::remove_all(path);
    WriteBytes(path, hotKey);
    EXPECT_TRUE(config.LoadText());
    EXPECT_EQ(Label(), "Show");
    EXPECT_TRUE(config.SaveText());
    EXPECT_EQ(ReadBytes(path), hotKey);
    // Missing, blank: nothing to tell, and saved.
    for (const char* bytes : {static_cast<const char*>(nullptr), " \r\n"}) {
        fs::remove_all(path);
        if (bytes) WriteBytes(path, bytes);
        EXPECT_EQ(config.LoadText(), bytes != nullptr);
        EXPECT_TRUE(config.SaveText());
    }
    EXPECT_EQ(notices.size(), 1u);  // the last case's alone
}

// A file the user may write but not read (a child without the privilege to read it anyway).
TEST_F(TerminalUnreadableTest, WriteOnlyFile) {
    WriteBytes(path, "[Level]\r\n0\r\n[HotKey]\r\n0\r\nShow\r\n$JSHOW\r\n");
    ASSERT_EQ(::chmod(path.c_str(), 0222), 0);
    ASSERT_EQ(::chmod(dir.root.c_str(), 0777), 0);
    ASSERT_EQ(::chmod(dir.dir.c_str(), 0777), 0);
    const auto run = [&] {
        ::alarm(10);
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) std::_Exit(3);
        const bool ok = LoadsNothingAndKeepsTheFile("open " + path + ": Permission denied");
        std::_Exit(ok && !::testing::Test::HasFailure() ? 0 : 1);
    };
    EXPECT_EXIT(run(), ::testing::ExitedWithCode(0), "");
    ::chmod(path.c_str(), 0644);
    EXPECT_EQ(ReadBytes(path), "[Level]\r\n0\r\n[HotKey]\r\n0\r\nShow\r\n$JSHOW\r\n");
}

}  // namespace
