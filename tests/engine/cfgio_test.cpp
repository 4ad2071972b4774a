#include "engine/CfgIO.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/Parsable.h"
#include "platform/trace.h"

namespace {

TEST(CfgIo, ReadLabelRecognisesOnlyBracketedNames) {
    const struct {
        const char* line;
        bool ok;
        const char* label;
    } cases[] = {
        {"[CurrentWizard]", true, "CurrentWizard"},
        {"[[GPSData]]", true, "GPSData"},
        {"[A]", true, "A"},            // the shortest label
        {"[Level]\r", true, "Level"},  // a line written with its own CR LF
        {"[Level]\r\r", true, "Level"},
        {"[]", false, ""},
        {"[GPSData", false, ""},
        {"GPSData]", false, ""},
        {"iElevation=5", false, ""},
        {"", false, ""},
    };
    for (const auto& c : cases) {
        CfgIo io;
        io.OpenText(std::string(c.line) + "\n");
        std::string label = "junk";
        platform::ClearTrace();
        EXPECT_EQ(io.ReadLabel(label), c.ok) << c.line;
        EXPECT_EQ(label, c.label) << c.line;
        EXPECT_EQ(platform::TraceContains("Expected label not found."), !c.ok) << c.line;
    }
}

TEST(CfgIo, ReadDataStopsAtEmptyLinesAndPushesBackLabels) {
    CfgIo io;
    io.OpenText("a=1\nab\n[BINLogRate]\nx=2\n\ny=3\n");
    std::string line;
    ASSERT_TRUE(io.ReadData(line));
    EXPECT_EQ(line, "a=1");
    ASSERT_TRUE(io.ReadData(line));  // two characters are data
    EXPECT_EQ(line, "ab");
    EXPECT_FALSE(io.ReadData(line));  // the label ends the section...
    std::string label;
    ASSERT_TRUE(io.ReadLabel(label));  // ...and is given again without reading a line
    EXPECT_EQ(label, "BINLogRate");
    ASSERT_TRUE(io.ReadData(line));
    EXPECT_EQ(line, "x=2");
    EXPECT_FALSE(io.ReadData(line));  // empty line
    ASSERT_TRUE(io.ReadData(line));
    EXPECT_EQ(line, "y=3");
    EXPECT_TRUE(io.IsEOF());
    EXPECT_FALSE(io.ReadData(line));
}

TEST(CfgIo, PushedBackLabelAtTheEndIsNotEndOfFile) {
    CfgIo io;
    io.OpenText("k=1\n[GPSData]");
    std::string line;
    EXPECT_TRUE(io.ReadData(line));
    EXPECT_FALSE(io.ReadData(line));
    EXPECT_FALSE(io.IsEOF());
    std::string label;
    EXPECT_TRUE(io.ReadLabel(label));
    EXPECT_TRUE(io.IsEOF());
}

TEST(CfgIo, ReadIntTakesLeadingDigits) {
    const struct {
        const char* text;
        bool ok;
        int32_t value;
    } cases[] = {
        {"7\n", true, 7},  {"-3\n", true, -3},       {"12abc\n", true, 12}, {"abc\n", true, 0},
        {"\n", false, 99}, {"[Level]\n", false, 99}, {"", false, 99},
    };
    for (const auto& c : cases) {
        CfgIo io;
        io.OpenText(c.text);
        int32_t value = 99;
        EXPECT_EQ(io.ReadInt(value), c.ok) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(CfgIo, CopyToSzKeepsPrintableCharactersAndCuts) {
    char buf[6];
    CfgIo::CopyToSz(buf,
                    "a\rb\tc\x01"
                    "d\xe9",
                    sizeof(buf));
    EXPECT_STREQ(buf, "abcd");
    CfgIo::CopyToSz(buf, "abcdefgh", sizeof(buf));
    EXPECT_STREQ(buf, "abcde");
    char one[1] = {'x'};
    CfgIo::CopyToSz(one, "abc", 1);
    EXPECT_EQ(one[0], '\0');
}

// The bounds of what is kept: blank and tilde are the first and last printable bytes.
TEST(CfgIo, CopyToSzKeepsBlankToTildeOnly) {
    const struct {
        unsigned char byte;
        bool kept;
    } cases[] = {{0x00, false}, {0x0D, false}, {0x1F, false}, {0x20, true},  {0x21, true},
                 {0x7E, true},  {0x7F, false}, {0x80, false}, {0xA0, false}, {0xFF, false}};
    for (const auto& c : cases) {
        const std::string byte(1, static_cast<char>(c.byte));
        char buf[6];
        std::memset(buf, 'x', sizeof(buf));
        CfgIo::CopyToSz(buf, "a" + byte + "b" + byte, sizeof(buf));
        EXPECT_EQ(buf, c.kept ? "a" + byte + "b" + byte : "ab") << int{c.byte};
    }
    // Dropped bytes take no room: the cut counts what is kept.
    char buf[6];
    CfgIo::CopyToSz(buf, "\x7F\x7F\x1F\x1F~bcdefgh", sizeof(buf));
    EXPECT_STREQ(buf, "~bcde");
}

TEST(CfgIo, WritersFormatLinesLocaleFree) {
    CfgIo io;
    io.OpenWrite("/nonexistent/never-written");
    io.WriteLabel("GPSData");
    io.WriteLine("text");
    io.WriteInt(-5);
    io.WriteKeyInt("iElevation", 10);
    io.WriteKeyLong("ulFreqKhz", static_cast<int32_t>(0xFFFFFFFFu));
    io.WriteKeyDouble("fHDGTau", 0.5);
    io.WriteKeyDouble("dRefLat", -33.85681234);
    EXPECT_EQ(io.Text(),
              "[GPSData]\ntext\n-5\niElevation=10\nulFreqKhz=-1\nfHDGTau=0.500000\n"
              "dRefLat=-33.856812\n");
    std::string error;
    EXPECT_FALSE(io.Close(&error));
    EXPECT_NE(error.find("/nonexistent/never-written"), std::string::npos) << error;
}

class ParsableTest : public ::testing::Test {
protected:
    void SetUp() override {
        ParseReset();
        ParseRegister("iElevation", &iElevation);
        ParseRegister("ulFreqKhz", &ulFreqKhz);
        ParseRegister("fFreq", &fFreq);
        ParseRegister("dRefLat", &dRefLat);
    }
    void TearDown() override { ParseReset(); }

    int32_t iElevation = 5;
    uint32_t ulFreqKhz = 1;
    float fFreq = 1.0f;
    double dRefLat = 1.0;
};

TEST_F(ParsableTest, AssignmentsByKey) {
    const struct {
        const char* line;
        bool result;
        int32_t iElevation;
        uint32_t ulFreqKhz;
        float fFreq;
        double dRefLat;
    } cases[] = {
        {"iElevation=10", true, 10, 1, 1.0f, 1.0},
        {"IELEVATION=11", true, 11, 1, 1.0f, 1.0},
        {"iElevation = 12", true, 5, 1, 1.0f, 1.0},  // the key has a blank: unknown
        {"=12", false, 5, 1, 1.0f, 1.0},
        {"no assignment", false, 5, 1, 1.0f, 1.0},
        {"unknownKey=3", true, 5, 1, 1.0f, 1.0},
        {"iElevation=abc", true, 0, 1, 1.0f, 1.0},
        {"iElevation=7\r", true, 7, 1, 1.0f, 1.0},
        {"ulFreqKhz=-1", true, 5, 0xFFFFFFFFu, 1.0f, 1.0},
        {"ulFreqKhz=4294967295", true, 5, 0xFFFFFFFFu, 1.0f, 1.0},
        {"ulFreqKhz=1545000", true, 5, 1545000, 1.0f, 1.0},
        {"ulFreqKhz=x", true, 5, 1, 1.0f, 1.0},
        {"ulFreqKhz=1545000kHz", true, 5, 1545000, 1.0f, 1.0},
        {"ulFreqKhz= -2 ", true, 5, 0xFFFFFFFEu, 1.0f, 1.0},
        {"ulFreqKhz=4294967296", true, 5, 1, 1.0f, 1.0},
        {"fFreq=301.5", true, 5, 1, 301.5f, 1.0},
        {"fFreq=301.5kHz", true, 5, 1, 301.5f, 1.0},
        {"fFreq=301,5", true, 5, 1, 301.0f, 1.0},
        {"fFreq=-2.5e1x", true, 5, 1, -25.0f, 1.0},
        {"fFreq=1e39", true, 5, 1, HUGE_VALF, 1.0},
        {"fFreq=kHz", true, 5, 1, 1.0f, 1.0},
        {"fFreq=nan", true, 5, 1, NAN, 1.0},
        {"fFreq=inf", true, 5, 1, HUGE_VALF, 1.0},
        {"fFreq=1e400", true, 5, 1, HUGE_VALF, 1.0},
        {"dRefLat=-33.856812", true, 5, 1, 1.0f, -33.856812},
        {"dRefLat=", true, 5, 1, 1.0f, 1.0},
        {"dRefLat=12.25 N", true, 5, 1, 1.0f, 12.25},
        {"dRefLat=.", true, 5, 1, 1.0f, 1.0},
    };
    for (const auto& c : cases) {
        iElevation = 5;
        ulFreqKhz = 1;
        fFreq = 1.0f;
        dRefLat = 1.0;
        EXPECT_EQ(ParseLine(c.line), c.result) << c.line;
        EXPECT_EQ(iElevation, c.iElevation) << c.line;
        EXPECT_EQ(ulFreqKhz, c.ulFreqKhz) << c.line;
        if (std::isnan(c.fFreq)) EXPECT_TRUE(std::isnan(fFreq)) << c.line;
        else EXPECT_EQ(fFreq, c.fFreq) << c.line;
        EXPECT_EQ(dRefLat, c.dRefLat) << c.line;
    }
}

TEST_F(ParsableTest, SectionEndsAtNonAssignmentWhichIsConsumed) {
    CfgIo io;
    io.OpenText("iElevation=8\n=bad\nfFreq=2.5\n");
    ParseSection(io);
    EXPECT_EQ(iElevation, 8);
    EXPECT_EQ(fFreq, 1.0f);
    std::string line;
    ASSERT_TRUE(io.ReadData(line));
    EXPECT_EQ(line, "fFreq=2.5");
}

TEST_F(ParsableTest, LastOfTwoAssignmentsWins) {
    CfgIo io;
    io.OpenText("iElevation=8\niElevation=9\n");
    ParseSection(io);
    EXPECT_EQ(iElevation, 9);
}

TEST(Parsable, TableHoldsFiftyRows) {
    ParseReset();
    static int32_t vars[51];
    static char names[51][8];
    for (int i = 0; i < 51; ++i) {
        std::snprintf(names[i], sizeof(names[i]), "i%d", i);
        ParseRegister(names[i], &vars[i]);
    }
    EXPECT_EQ(ParseTableCount(), 50);
    EXPECT_TRUE(platform::TraceContains("Exceeded parse table size!"));
    EXPECT_FALSE(ParseLine("i50=3") && vars[50] == 3);
    EXPECT_TRUE(ParseLine("i49=3"));
    EXPECT_EQ(vars[49], 3);
}

TEST(Parsable, FindLabelIgnoresCaseAndStopsAtTheEnd) {
    const char* const list[] = {"SavedCommands", "HotKey", "Level", ""};
    int index = -1;
    EXPECT_TRUE(ParseFindLabel(list, &index, "hotkey"));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(ParseFindLabel(list, &index, ""));
    EXPECT_FALSE(ParseFindLabel(list, &index, "Other"));
}

}  // namespace
