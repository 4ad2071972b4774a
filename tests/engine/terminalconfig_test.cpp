#include "engine/terminalconfig.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/trace.h"
#include "support/temp_dir.h"
#include "wire_fixture.h"

namespace {

using testsupport::ReadBytes;

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    testsupport::WriteBytes(path, bytes);
}

class TerminalFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        TerminalConfig::Init();
        path = TerminalConfig::FilePath();
    }
    TerminalData& data = *TerminalConfig::GetData();
    testsupport::TempConfigDir dir;
    std::string path;
};

void SetKey(TerminalData& d, int level, int key, const char* label, const char* command) {
    std::strcpy(d.HotKeys[level][key].szLabel, label);
    std::strcpy(d.HotKeys[level][key].szCommand, command);
}

std::string Key(const TerminalData& d, int level, int key) {
    return std::string(d.HotKeys[level][key].szLabel) + "|" + d.HotKeys[level][key].szCommand;
}

TEST_F(TerminalFileTest, InitTraces) {
    platform::ClearTrace();
    TerminalConfig::Init();
    EXPECT_TRUE(platform::TraceContains("TerminalConfig.Init()"));
}

TEST_F(TerminalFileTest, FileLayout) {
    std::strcpy(data.szSavedCommands[0], "$JSHOW");
    std::strcpy(data.szSavedCommands[5], "$JI");
    SetKey(data, 2, 1, "Show", "$JSHOW\r\n");
    SetKey(data, 2, 8, "Save", "$JSAVE");
    SetKey(data, 3, 0, "", "$JOFF");  // free: no label
    ASSERT_TRUE(TerminalConfig().SaveText());
    EXPECT_EQ(ReadBytes(path),
              "[SavedCommands]\r\n$JSHOW\r\n$JI\r\n"
              "[Level]\r\n2\r\n"
              "[HotKey]\r\n1\r\nShow\r\n$JSHOW\r\n"
              "[HotKey]\r\n8\r\nSave\r\n$JSAVE\r\n");
}

TEST_F(TerminalFileTest, RoundTripMovesSavedCommandsUpAndKeepsTheRest) {
    std::strcpy(data.szSavedCommands[0], "$JSHOW");
    std::strcpy(data.szSavedCommands[5], "$JI");
    for (int level = 0; level < kHotKeyLevels; ++level) {
        for (int key = 0; key < kHotKeysPerLevel; key += 2) {
            const std::string label = "L" + std::to_string(level) + "K" + std::to_string(key);
            SetKey(data, level, key, label.c_str(), ("$J" + label).c_str());
        }
    }
    ASSERT_TRUE(TerminalConfig().SaveText());
    const TerminalData saved = data;

    TerminalConfig::Init();
    for (int i = 0; i < kSavedCommands; ++i) std::strcpy(data.szSavedCommands[i], "old");
    data.iHotKeyLevel = 3;
    ASSERT_TRUE(TerminalConfig().LoadText());
    EXPECT_STREQ(data.szSavedCommands[0], "$JSHOW");
    EXPECT_STREQ(data.szSavedCommands[1], "$JI");
    for (int i = 2; i < kSavedCommands; ++i) EXPECT_STREQ(data.szSavedCommands[i], "old");
    EXPECT_EQ(data.iHotKeyLevel, 3u);
    for (int level = 0; level < kHotKeyLevels; ++level) {
        for (int key = 0; key < kHotKeysPerLevel; ++key) {
            EXPECT_EQ(Key(data, level, key), Key(saved, level, key));
        }
    }
}

TEST_F(TerminalFileTest, TextsInBracketsStayDataLines) {
    std::strcpy(data.szSavedCommands[0], "[Level]");
    std::strcpy(data.szSavedCommands[1], "$JI");
    SetKey(data, 1, 4, "[F5]", "[HotKey]");
    SetKey(data, 1, 5, "[]", "$JSAVE");
    SetKey(data, 1, 6, "[a]", "$JRAD");  // the shortest text that reads as a label
    ASSERT_TRUE(TerminalConfig().SaveText());
    EXPECT_EQ(ReadBytes(path),
              "[SavedCommands]\r\n[Level] \r\n$JI\r\n"
              "[Level]\r\n1\r\n"
              "[HotKey]\r\n4\r\n[F5] \r\n[HotKey] \r\n"
              "[HotKey]\r\n5\r\n[]\r\n$JSAVE\r\n"
              "[HotKey]\r\n6\r\n[a] \r\n$JRAD\r\n");

    TerminalConfig::Init();
    ASSERT_TRUE(TerminalConfig().LoadText());
    EXPECT_STREQ(data.szSavedCommands[0], "[Level]");
    EXPECT_STREQ(data.szSavedCommands[1], "$JI");
    EXPECT_EQ(Key(data, 1, 4) + " " + Key(data, 1, 5) + " " + Key(data, 1, 6),
              "[F5]|[HotKey] []|$JSAVE [a]|$JRAD");
}

// Whatever a save writes, a load gives back, and a second save writes the same bytes.
TEST_F(TerminalFileTest, SavedTextsLoadBackAsTheyWere) {
    // A full-length command: three bracketed lines, then 8-bit bytes up to the 99th.
    const std::string full = "[A]\r\n[B]\r\n[C] \r\n" + std::string(99 - 18, '\xB1');
    const struct {
        const char* name;
        std::string saved, label, command;
    } cases[] = {
        {"bracketed", "[Level]", "[F5]", "[HotKey]"},
        {"already ends in blanks", "[x] ", "[ ]  ", "$JI\r\n[Level] "},
        {"no label", "[]", "[[a]]", " [a]\r\n[a]x\r\n[]"},
        {"full length", std::string(48, '[') + "]", "[" + std::string(17, 'L') + "]", full},
        {"code page", "[\xE9]", "[\xA3] ", "[\xFC]\r\n\xB1\xB1"},
    };
    for (const auto& c : cases) {
        TerminalConfig::Init();
        std::strcpy(data.szSavedCommands[0], c.saved.c_str());
        SetKey(data, 2, 7, c.label.c_str(), c.command.c_str());
        ASSERT_TRUE(TerminalConfig().SaveText()) << c.name;
        const std::string file = ReadBytes(path);
        TerminalConfig::Init();
        ASSERT_TRUE(TerminalConfig().LoadText()) << c.name;
        EXPECT_EQ(data.szSavedCommands[0], c.saved) << c.name;
        EXPECT_EQ(Key(data, 2, 7), c.label + "|" + c.command) << c.name;
        ASSERT_TRUE(TerminalConfig().SaveText()) << c.name;
        EXPECT_EQ(ReadBytes(path), file) << c.name;
    }
}

TEST_F(TerminalFileTest, EmptyBlockWritesAnEmptyFile) {
    ASSERT_TRUE(TerminalConfig().SaveText());
    EXPECT_EQ(ReadBytes(path), "");
    std::strcpy(data.szSavedCommands[3], "keep");
    ASSERT_TRUE(TerminalConfig().LoadText());
    EXPECT_STREQ(data.szSavedCommands[3], "keep");
}

TEST_F(TerminalFileTest, MissingFileLeavesTheBlock) {
    std::strcpy(data.szSavedCommands[0], "keep");
    EXPECT_FALSE(TerminalConfig().LoadText());
    EXPECT_STREQ(data.szSavedCommands[0], "keep");
}

// A save killed before its rename leaves its temporary beside the file: the next load takes
// it away, and only it.
TEST_F(TerminalFileTest, TemporaryOfAKilledSaveIsRemovedAtTheNextLoad) {
    const int dead = testsupport::PidOfEndedProcess();
    ASSERT_GT(dead, 0);
    const std::string deadPid = std::to_string(dead);
    const std::pair<std::string, bool> files[] = {
        {"Tessaray_Term.ini.tmp" + deadPid + "_3", false},
        {"Tessaray_Term.ini.tmp1_3", true},  // pid 1 runs
        {"Tessaray_PC.CFG.tmp" + deadPid + "_0", true},  // another file's
    };
    for (const auto& [name, kept] : files) WriteBytes(dir.dir + "/" + name, "partial");
    TerminalConfig().LoadText();
    for (const auto& [name, kept] : files)
        EXPECT_EQ(std::filesystem::exists(dir.dir + "/" + name), kept) << name;
}

TEST_F(TerminalFileTest, LimitsOnLoad) {
    std::string text = "[SavedCommands]\n";
    for (int i = 0; i < 32; ++i) text += "cmd" + std::to_string(i) + "\n";
    text +=
        "[Level]\n1\n[HotKey]\n0\n" + std::string(30, 'L') + "\n" + std::string(150, 'C') + "\n";
    text += "[HotKey]\n9\nNine\n$J9\n";              // key out of range
    text += "[Level]\n4\n[HotKey]\n2\nFour\n$J4\n";  // level out of range
    text += "[Level]\n-1\n[HotKey]\n3\nNeg\n$JN\n";
    text += "[Level]\nx\n[HotKey]\n5\nBadLevel\n$JB\n";  // "x" reads as level 0
    text += "[Level]\n[HotKey]\n6\nNoLevel\n$JL\n";      // no number: the level stays
    std::string longSaved = "[SavedCommands]\n" + std::string(80, 'S') + "\n";
    WriteBytes(path, text + longSaved);
    platform::ClearTrace();
    ASSERT_TRUE(TerminalConfig().LoadText());
    EXPECT_TRUE(platform::TraceContains("Read too many saved commands from .ini."));
    EXPECT_TRUE(platform::TraceContains("Error reading level index."));
    EXPECT_STREQ(data.szSavedCommands[0], std::string(49, 'S').c_str());
    EXPECT_STREQ(data.szSavedCommands[29], "cmd29");
    EXPECT_EQ(Key(data, 1, 0), std::string(19, 'L') + "|" + std::string(99, 'C'));
    EXPECT_STREQ(data.HotKeys[0][5].szLabel, "BadLevel");
    EXPECT_STREQ(data.HotKeys[0][6].szLabel, "NoLevel");
    for (int level = 0; level < kHotKeyLevels; ++level) {
        for (int key = 0; key < kHotKeysPerLevel; ++key) {
            const std::string label = data.HotKeys[level][key].szLabel;
            EXPECT_TRUE(label != "Nine" && label != "Four" && label != "Neg") << label;
        }
    }
}

TEST_F(TerminalFileTest, FilesOfEveryFormLoad) {
    const struct {
        const char* name;
        const char* file;
        int level, key;
        const char* loaded;  // label|command
    } cases[] = {
        {"hot key before any level", "[hotkey]\r\n4\r\nFirst\r\n$JI\r\n", 0, 4, "First|$JI"},
        // Files of earlier versions kept each command's CR LF before the line end.
        {"old form", "[Level]\r\n1\r\n[HotKey]\r\n0\r\nShow\r\n$JSHOW\r\r\n\r\n", 1, 0,
         "Show|$JSHOW"},
        {"old form bunch",
         "[HotKey]\r\n0\r\nBunch\r\n$JI\r\r\n$JSHOW\r\r\n\r\n"
         "[HotKey]\r\n1\r\nLast\r\n$JI\r\r\n$JOFF\r\n",
         0, 1, "Last|$JI\r\n$JOFF"},
        {"line feeds only", "[SavedCommands]\n$JI\n[Level]\n3\n[HotKey]\n8\nLast\n$JOFF\n", 3, 8,
         "Last|$JOFF"},
    };
    for (const auto& c : cases) {
        TerminalConfig::Init();
        WriteBytes(path, c.file);
        ASSERT_TRUE(TerminalConfig().LoadText()) << c.name;
        EXPECT_EQ(Key(data, c.level, c.key), c.loaded) << c.name;
    }
    EXPECT_STREQ(data.szSavedCommands[0], "$JI");
    // An old-form file saved again is in the current form.
    TerminalConfig::Init();
    WriteBytes(path, cases[2].file);
    ASSERT_TRUE(TerminalConfig().LoadText());
    EXPECT_EQ(Key(data, 0, 0), "Bunch|$JI\r\n$JSHOW");
    ASSERT_TRUE(TerminalConfig().SaveText());
    EXPECT_EQ(ReadBytes(path),
              "[Level]\r\n0\r\n[HotKey]\r\n0\r\nBunch\r\n$JI\r\n$JSHOW\r\n"
              "[HotKey]\r\n1\r\nLast\r\n$JI\r\n$JOFF\r\n");
}

TEST_F(TerminalFileTest, CommandBunchKeepsEveryLine) {
    const struct {
        const char* name;
        const char* command;
        const char* fileLines;  // the command's part of the file
        const char* loaded;
    } cases[] = {
        {"three lines", "$JI\r\n$JSHOW\r\n$JSAVE", "$JI\r\n$JSHOW\r\n$JSAVE\r\n",
         "$JI\r\n$JSHOW\r\n$JSAVE"},
        {"line end at the end", "$JI\r\n$JOFF\r\n", "$JI\r\n$JOFF\r\n", "$JI\r\n$JOFF"},
        {"empty line inside", "$JI\r\n\r\n$JOFF", "$JI\r\n\r\n$JOFF\r\n", "$JI\r\n\r\n$JOFF"},
        {"label-like line", "$JI\r\n[Level]", "$JI\r\n[Level] \r\n", "$JI\r\n[Level]"},
        {"empty command", "", "\r\n", ""},
    };
    for (const auto& c : cases) {
        TerminalConfig::Init();
        SetKey(data, 1, 2, "Bunch", c.command);
        SetKey(data, 1, 3, "Next", "$JAPP");
        ASSERT_TRUE(TerminalConfig().SaveText()) << c.name;
        EXPECT_EQ(ReadBytes(path), std::string("[Level]\r\n1\r\n[HotKey]\r\n2\r\nBunch\r\n") +
                                       c.fileLines + "[HotKey]\r\n3\r\nNext\r\n$JAPP\r\n")
            << c.name;
        TerminalConfig::Init();
        std::strcpy(data.HotKeys[1][2].szCommand, "old");
        ASSERT_TRUE(TerminalConfig().LoadText()) << c.name;
        EXPECT_EQ(Key(data, 1, 2), std::string("Bunch|") + c.loaded) << c.name;
        EXPECT_STREQ(data.HotKeys[1][3].szCommand, "$JAPP") << c.name;
    }
}

TEST_F(TerminalFileTest, FailedSaveKeepsTheOldFile) {
    std::strcpy(data.szSavedCommands[0], "$JI");
    ASSERT_TRUE(TerminalConfig().SaveText());
    const std::string old = ReadBytes(path);
    for (auto& command : data.szSavedCommands) std::memset(command, 'x', kSavedCommandSize - 1);
    {
        wiretest::FileSizeLimit limit(64);
        std::string error;
        EXPECT_FALSE(TerminalConfig().SaveText(&error));
        EXPECT_NE(error.find(path), std::string::npos) << error;
    }
    EXPECT_EQ(ReadBytes(path), old);
}

// The code page's letters above 0x7F survive a restart; control bytes and the bytes without a
// letter do not.
TEST_F(TerminalFileTest, CodePageTextRoundTrips) {
    std::strcpy(data.szSavedCommands[0], "$JX,\x80");
    SetKey(data, 1, 3, "Caf\xE9 \xA3", "$A,\xFC\r\n$B");
    ASSERT_TRUE(TerminalConfig().SaveText());
    TerminalConfig::Init();
    ASSERT_TRUE(TerminalConfig().LoadText());
    EXPECT_STREQ(data.szSavedCommands[0], "$JX,\x80");
    EXPECT_STREQ(data.HotKeys[1][3].szLabel, "Caf\xE9 \xA3");
    EXPECT_STREQ(data.HotKeys[1][3].szCommand, "$A,\xFC\r\n$B");
    WriteBytes(path, "[SavedCommands]\r\n$J\x81\x01X\x7F\r\n");
    ASSERT_TRUE(TerminalConfig().LoadText());
    EXPECT_STREQ(data.szSavedCommands[0], "$JX");
}

}  // namespace
