// The terminal's view of the received text, the lines a stored command goes out as, and the
// fields of the terminal block the screens fill.

#include "engine/terminal_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// The reader keeps one character per byte.
std::u16string Received(const std::string& bytes) {
    std::u16string out;
    for (const char c : bytes) out += static_cast<char16_t>(static_cast<unsigned char>(c));
    return out;
}

struct Poll {
    const char* bytes;
    bool cut;
    const char* shown;  // UTF-8 appended to the view
};

struct FeedCase {
    const char* name;
    std::vector<Poll> polls;
};

TEST(TerminalViewFeed, PollsBecomeWholeLines) {
    const FeedCase cases[] = {
        {"tail before the first sentence is dropped on an empty view",
         {{"A,1*3F\r\n$GPGGA,1\r\n", false, "$GPGGA,1\n"}}},
        {"a sentence split over polls is kept whole",
         {{"$GPGGA,12", false, "$GPGGA,12"},
          {"3*4F\r\n$GPV", false, "3*4F\n$GPV"},
          {"TG\r\n", false, "TG\n"}}},
        {"text without a sentence start on an empty view is shown whole",
         {{"OK\r\n", false, "OK\n"}, {"tail\r\n", false, "tail\n"}}},
        {"nothing before a sentence start: nothing shown yet",
         {{"\r\n", false, "\n"}, {"x", false, "x"}}},
        {"a gap starts a new line at the next sentence",
         {{"$GPGGA,1", false, "$GPGGA,1"}, {"LE,2\r\n$GPRMC\r\n", true, "\n$GPRMC\n"}}},
        {"a gap without a sentence start resumes after the broken line",
         {{"$A\r\n", false, "$A\n"}, {"ken\r\nreply\r\n", true, "reply\n"}, {"zz", true, ""}}},
        {"control bytes show as dots, tabs and line ends stay",
         {{"$A\x01\x7F\tB\x1B\r\n", false, "$A..\tB.\n"}}},
        {"bytes above 0x7F are Windows-1252",
         {{"$\x80\xE9\x81\r\n", false, "$\xE2\x82\xAC\xC3\xA9.\n"}}},
        {"a lone CR is dropped", {{"$A\rB\r\n", false, "$AB\n"}}},
    };
    for (const FeedCase& c : cases) {
        TerminalViewFeed feed;
        for (const Poll& p : c.polls) {
            EXPECT_EQ(feed.Next(Received(p.bytes), p.cut), p.shown) << c.name;
        }
    }
}

TEST(TerminalViewFeed, ResetDropsTheTailAgainAndLongTextKeepsItsEnd) {
    TerminalViewFeed feed;
    EXPECT_EQ(feed.Next(Received("$A,1"), false), "$A,1");
    feed.Reset();
    EXPECT_TRUE(feed.ViewEmpty());
    EXPECT_EQ(feed.Next(Received(",2\r\n$B\r\n"), false), "$B\n");

    // 6000 characters waiting: the last 5000 from their first sentence start; the start
    // among the first 1000 does not count.
    std::string waiting = "$Q,1\r\n" + std::string(994, 'x');
    for (int i = 0; i < 500; ++i) waiting += "$GPZDA,1\r\n";
    ASSERT_EQ(waiting.size(), 6000u);
    feed.Reset();
    const std::string shown = feed.Next(Received(waiting), false);
    EXPECT_EQ(shown.size(), 4500u);  // 500 sentences without their CRs
    EXPECT_EQ(shown.substr(0, 9), "$GPZDA,1\n");
}

TEST(StoredCommandLines, SplitAtEveryLineEnd) {
    struct Case {
        const char* command;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {"", {}},
        {"$JI", {"$JI\r\n"}},
        {"$JI\r\n", {"$JI\r\n"}},
        {"\r\n", {"\r\n"}},
        {"$JOFF\r\n$JASC,GPGGA,1\r\n", {"$JOFF\r\n", "$JASC,GPGGA,1\r\n"}},
        {"$A\r\n$B\r\n$C", {"$A\r\n", "$B\r\n", "$C\r\n"}},
        {"$A\n$B", {"$A\n$B\r\n"}},  // a bare LF is no line end
        {"\r\n\r\n$X", {"\r\n", "\r\n", "$X\r\n"}},
    };
    for (const Case& c : cases) EXPECT_EQ(StoredCommandLines(c.command), c.lines) << c.command;
}

TEST(TerminalBlockFields, HistoryAndHotKeyRows) {
    TerminalData data{};
    std::vector<std::string> history;
    for (int i = 0; i < 31; ++i) history.push_back("$CMD" + std::to_string(i));
    history[1] = std::string(60, 'L');
    StoreSavedCommands(data, history);
    std::vector<std::string> kept = SavedCommands(data);
    ASSERT_EQ(kept.size(), 30u);  // the 31st is not stored
    EXPECT_EQ(kept[0], "$CMD0");
    EXPECT_EQ(kept[1], std::string(49, 'L'));
    EXPECT_EQ(kept[29], "$CMD29");
    StoreSavedCommands(data, {"$JI", "$JSHOW"});
    EXPECT_EQ(SavedCommands(data), (std::vector<std::string>{"$JI", "$JSHOW"}));
    EXPECT_EQ(data.szSavedCommands[2][0], '\0');
    // A field without its NUL is read up to its last byte but one.
    std::memset(data.szSavedCommands[0], 'Z', kSavedCommandSize);
    EXPECT_EQ(SavedCommands(data)[0], std::string(49, 'Z'));

    struct Row {
        std::string typed, stored, shownAgain;
    };
    const Row rows[] = {
        {"$JI", "$JI\r\n", "$JI"},
        {"", "\r\n", ""},
        {std::string(120, 'c'), std::string(97, 'c') + "\r\n", std::string(97, 'c')},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(HotKeyCommandFromRow(r.typed), r.stored);
        EXPECT_EQ(HotKeyCommandForRow(r.stored), r.shownAgain);
    }
    EXPECT_EQ(HotKeyCommandForRow("\n"), "\n");
    EXPECT_EQ(HotKeyCommandForRow("$A\r\n\r\n"), "$A\r\n");

    char label[kHotKeyLabelSize];
    CopyField(label, sizeof label, "A label of 25 characters!");
    EXPECT_EQ(FieldText(label, sizeof label), "A label of 25 chara");
    EXPECT_EQ(label[19], '\0');
}

TEST(TerminalBlockFields, BunchLineEnds) {
    EXPECT_EQ(BunchToCommand("$A\n$B\n$C"), "$A\r\n$B\r\n$C");
    EXPECT_EQ(BunchToCommand("$A\r\n$B"), "$A\r\n$B");
    EXPECT_EQ(CommandToBunch("$A\r\n$B\r\n"), "$A\n$B\n");
    EXPECT_EQ(CommandToBunch("$A\r$B"), "$A\r$B");
}

}  // namespace
