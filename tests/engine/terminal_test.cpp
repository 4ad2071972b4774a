// The terminal file, the terminal's view of the received text, the lines a stored command goes
// out as, and the fields of the terminal block the screens fill.

#include <gtest/gtest.h>

#include "engine/terminal_text.h"
#include "engine/terminalconfig.h"
#include "platform/trace.h"
#include "support/temp_dir.h"
#include "wire_fixture.h"

namespace {

using testsupport::ReadBytes;

class TerminalFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::ClearTrace();
        TerminalConfig::Init();
    }
    void Write(const std::string& bytes) {
        std::filesystem::create_directories(dir.dir);
        testsupport::WriteBytes(path, bytes);
    }
    void SetKey(int level, int key, const char* label, const char* command) {
        std::strcpy(data.HotKeys[level][key].szLabel, label);
        std::strcpy(data.HotKeys[level][key].szCommand, command);
    }
    std::string Key(int level, int key) {
        return std::string(data.HotKeys[level][key].szLabel) + "|" +
               data.HotKeys[level][key].szCommand;
    }
    TerminalData& data = *TerminalConfig::GetData();
    testsupport::TempConfigDir dir;
    std::string path = TerminalConfig::FilePath();
};

TEST_F(TerminalFileTest, FileLayoutAndRoundTrip) {
    ASSERT_TRUE(TerminalConfig().SaveText());
    EXPECT_EQ(ReadBytes(path), "") << "an empty block writes an empty file";
    std::strcpy(data.szSavedCommands[0], "$JSHOW");
    std::strcpy(data.szSavedCommands[5], "[Level]");
    SetKey(2, 1, "Show", "$JSHOW\r\n");
    SetKey(2, 4, "[F5]", "[HotKey]");  // texts in brackets stay data lines
    SetKey(2, 5, "[]", "$JI\r\n$JOFF\r\n");
    SetKey(2, 6, "Bunch", "$JI\r\n\r\n$JOFF");
    SetKey(3, 0, "", "$JOFF");  // free: no label
    SetKey(2, 7, "Empty", "");
    ASSERT_TRUE(TerminalConfig().SaveText());
    EXPECT_EQ(ReadBytes(path),
              "[SavedCommands]\r\n$JSHOW\r\n[Level] \r\n"
              "[Level]\r\n2\r\n"
              "[HotKey]\r\n1\r\nShow\r\n$JSHOW\r\n"
              "[HotKey]\r\n4\r\n[F5] \r\n[HotKey] \r\n"
              "[HotKey]\r\n5\r\n[]\r\n$JI\r\n$JOFF\r\n"
              "[HotKey]\r\n6\r\nBunch\r\n$JI\r\n\r\n$JOFF\r\n"
              "[HotKey]\r\n7\r\nEmpty\r\n\r\n");
    TerminalConfig::Init();
    for (auto& command : data.szSavedCommands) std::strcpy(command, "old");
    data.iHotKeyLevel = 1;
    ASSERT_TRUE(TerminalConfig().LoadText());
    EXPECT_EQ(std::string(data.szSavedCommands[0]) + "," + data.szSavedCommands[1] + "," +
                  data.szSavedCommands[2],
              "$JSHOW,[Level],old")
        << "saved commands move up";
    EXPECT_EQ(data.iHotKeyLevel, 1u);
    EXPECT_EQ(Key(2, 1) + " " + Key(2, 4) + " " + Key(2, 5) + " " + Key(2, 6) + " " + Key(2, 7),
              "Show|$JSHOW [F5]|[HotKey] []|$JI\r\n$JOFF Bunch|$JI\r\n\r\n$JOFF Empty|");
}

TEST_F(TerminalFileTest, FilesOfEveryFormAndLimitsLoad) {
    const std::tuple<const char*, int, int, const char*> forms[] = {
        // Files of earlier versions kept each command's CR LF before the line end.
        {"[SavedCommands]\n$JI\n[Level]\n3\n[HotKey]\n8\nLast\n$JOFF\n", 3, 8, "Last|$JOFF"},
        {"[HotKey]\r\n0\r\nBunch\r\n$JI\r\r\n$JSHOW\r\r\n\r\n"
         "[HotKey]\r\n1\r\nLast\r\n$JI\r\r\n$JOFF\r\n",
         0, 0, "Bunch|$JI\r\n$JSHOW"},
    };
    for (const auto& [file, level, key, loaded] : forms) {
        TerminalConfig::Init();
        Write(file);
        ASSERT_TRUE(TerminalConfig().LoadText()) << file;
        EXPECT_EQ(Key(level, key), loaded) << file;
    }
    // An old-form file saved again is in the current form.
    EXPECT_EQ(Key(0, 1), "Last|$JI\r\n$JOFF");
    ASSERT_TRUE(TerminalConfig().SaveText());
    EXPECT_EQ(ReadBytes(path),
              "[Level]\r\n0\r\n[HotKey]\r\n0\r\nBunch\r\n$JI\r\n$JSHOW\r\n"
              "[HotKey]\r\n1\r\nLast\r\n$JI\r\n$JOFF\r\n");
    std::string text = "[SavedCommands]\n";
    for (int i = 0; i < 32; ++i) text += "cmd" + std::to_string(i) + "\n";
    text += "[Level]\n1\n[HotKey]\n0\n" + std::string(30, 'L') + "\n" + std::string(150, 'C') +
            "\n[HotKey]\n9\nNine\n$J9\n"                // key out of range
            "[Level]\n4\n[HotKey]\n2\nFour\n$J4\n"      // level out of range
            "[Level]\n-1\n[HotKey]\n3\nNeg\n$JN\n"      //
            "[Level]\nx\n[HotKey]\n5\nBadLevel\n$JB\n"  // "x" reads as level 0
            "[Level]\n[HotKey]\n6\nNoLevel\n$JL\n"      // no number: the level stays
            "[SavedCommands]\n" +
            std::string(80, 'S') + "\n";
    TerminalConfig::Init();
    Write(text);
    ASSERT_TRUE(TerminalConfig().LoadText());
    EXPECT_TRUE(platform::TraceContains("Read too many saved commands from .ini."));
    EXPECT_TRUE(platform::TraceContains("Error reading level index."));
    EXPECT_EQ(std::string(data.szSavedCommands[0]) + data.szSavedCommands[29],
              std::string(49, 'S') + "cmd29");
    EXPECT_EQ(Key(1, 0), std::string(19, 'L') + "|" + std::string(99, 'C'));
    EXPECT_EQ(Key(0, 5) + " " + Key(0, 6), "BadLevel|$JB NoLevel|$JL");
    for (const auto& row : data.HotKeys)
        for (const auto& key : row)
            EXPECT_TRUE(std::strcmp(key.szLabel, "Nine") && std::strcmp(key.szLabel, "Four") &&
                        std::strcmp(key.szLabel, "Neg"))
                << key.szLabel;
}

// Letters above 0x7F survive a restart, control bytes do not; a failed save keeps the old.
TEST_F(TerminalFileTest, CodePageMissingFileAndFailedSave) {
    std::strcpy(data.szSavedCommands[0], "keep");
    EXPECT_FALSE(TerminalConfig().LoadText());
    EXPECT_STREQ(data.szSavedCommands[0], "keep");
    std::strcpy(data.szSavedCommands[0], "$JX,\x80");
    SetKey(1, 3, "Caf\xE9 \xA3", "$A,\xFC\r\n$B");
    ASSERT_TRUE(TerminalConfig().SaveText());
    TerminalConfig::Init();
    ASSERT_TRUE(TerminalConfig().LoadText());
    EXPECT_STREQ(data.szSavedCommands[0], "$JX,\x80");
    EXPECT_EQ(Key(1, 3), "Caf\xE9 \xA3|$A,\xFC\r\n$B");
    const std::string old = ReadBytes(path);
    for (auto& command : data.szSavedCommands) std::memset(command, 'x', kSavedCommandSize - 1);
    {
        wiretest::FileSizeLimit limit(64);
        std::string error;
        EXPECT_FALSE(TerminalConfig().SaveText(&error));
        EXPECT_NE(error.find(path), std::string::npos) << error;
    }
    EXPECT_EQ(ReadBytes(path), old);
    Write("[SavedCommands]\r\n$J\x81\x01X\x7F\r\n");
    ASSERT_TRUE(TerminalConfig().LoadText());
    EXPECT_STREQ(data.szSavedCommands[0], "$JX");
}

// The reader keeps one character per byte.
std::u16string Received(const std::string& bytes) {
    std::u16string out;
    for (const char c : bytes) out += static_cast<char16_t>(static_cast<unsigned char>(c));
    return out;
}

// Per poll: the bytes taken, whether the reader cut, the UTF-8 appended to the view.
using Poll = std::tuple<const char*, bool, const char*>;

TEST(TerminalViewFeed, PollsBecomeWholeLines) {
    const std::pair<const char*, std::vector<Poll>> cases[] = {
        {"tail before the first sentence is dropped on an empty view",
         {{"A,1*3F\r\n$GPGGA,1\r\n", false, "$GPGGA,1\n"}}},
        {"a gap starts a new line at the next sentence",
         {{"$GPGGA,1", false, "$GPGGA,1"}, {"LE,2\r\n$GPRMC\r\n", true, "\n$GPRMC\n"}}},
        {"a gap without a sentence start resumes after the broken line",
         {{"$A\r\n", false, "$A\n"}, {"ken\r\nreply\r\n", true, "reply\n"}, {"zz", true, ""}}},
        {"bytes above 0x7F are Windows-1252",
         {{"$\x80\xE9\x81\r\n", false, "$\xE2\x82\xAC\xC3\xA9.\n"}}},
    };
    for (const auto& [name, polls] : cases) {
        TerminalViewFeed feed;
        for (const auto& [bytes, cut, shown] : polls)
            EXPECT_EQ(feed.Next(Received(bytes), cut), shown) << name;
    }
}

TEST(StoredCommandLines, SplitAtEveryLineEnd) {
    const std::pair<const char*, std::vector<std::string>> cases[] = {
        {"", {}},
        {"$A\n$B", {"$A\n$B\r\n"}},  // a bare LF is no line end
        {"\r\n\r\n$X", {"\r\n", "\r\n", "$X\r\n"}},
    };
    for (const auto& [command, lines] : cases) EXPECT_EQ(StoredCommandLines(command), lines);
    EXPECT_EQ(BunchToCommand("$A\n$B\n$C") + BunchToCommand("$A\r\n$B"), "$A\r\n$B\r\n$C$A\r\n$B");
    EXPECT_EQ(CommandToBunch("$A\r\n$B\r\n") + CommandToBunch("$A\r$B"), "$A\n$B\n$A\r$B");
}

TEST(TerminalBlockFields, HistoryAndHotKeyRows) {
    TerminalData data{};
    std::vector<std::string> history;
    for (int i = 0; i < 31; ++i) history.push_back("$CMD" + std::to_string(i));
    history[1] = std::string(60, 'L');
    StoreSavedCommands(data, history);
    std::vector<std::string> kept = SavedCommands(data);
    ASSERT_EQ(kept.size(), 30u);  // the 31st is not stored
    EXPECT_EQ(kept[1] + kept[29], std::string(49, 'L') + "$CMD29");
    // A field without its NUL is read up to its last byte but one.
    std::memset(data.szSavedCommands[0], 'Z', kSavedCommandSize);
    EXPECT_EQ(SavedCommands(data)[0], std::string(49, 'Z'));
    EXPECT_EQ(HotKeyCommandFromRow("") + HotKeyCommandForRow("$A\r\n\r\n"), "\r\n$A\r\n");
}

}  // namespace
