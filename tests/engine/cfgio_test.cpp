// The reader and writer of the profile and terminal files, and the key table that fills
// variables from "key=value" lines.

#include "engine/CfgIO.h"

#include <gtest/gtest.h>

#include "engine/Parsable.h"
#include "platform/trace.h"
#include "wire_fixture.h"

namespace {

using wiretest::Join;

TEST(CfgIo, LabelsDataLinesAndNumbers) {
    const std::tuple<const char*, bool, const char*> labels[] = {
        {"[[GPSData]]", true, "GPSData"}, {"[]", false, ""}, {"GPSData]", false, ""}};
    for (const auto& [line, ok, expected] : labels) {
        CfgIo io;
        io.OpenText(std::string(line) + "\n");
        std::string label = "junk";
        platform::ClearTrace();
        EXPECT_EQ(io.ReadLabel(label), ok) << line;
        EXPECT_EQ(label, expected) << line;
        EXPECT_EQ(platform::TraceContains("Expected label not found."), !ok) << line;
    }
    // Data stops at labels (given again without reading a line) and at empty lines; a label
    // pushed back at the end is not the end of the file.
    CfgIo io;
    io.OpenText("a=1\nab\n[BINLogRate]\nx=2\n\ny=3\n[GPSData]");
    std::string text;
    auto data = [&] { return io.ReadData(text) ? text : "-"; };
    auto label = [&] { return io.ReadLabel(text) ? "[" + text + "]" : "-"; };
    auto eof = [&] { return io.IsEOF() ? "eof" : "more"; };
    EXPECT_EQ((std::vector<std::string>{data(), data(), data(), label(), data(), data(), data(),
                                        data(), eof(), label(), eof(), data()}),
              (std::vector<std::string>{"a=1", "ab", "-", "[BINLogRate]", "x=2", "-", "y=3", "-",
                                        "more", "[GPSData]", "eof", "-"}));
    const std::tuple<const char*, bool, int32_t> ints[] = {
        {"-3\n", true, -3}, {"12abc\n", true, 12}, {"abc\n", true, 0}, {"[Level]\n", false, 99}};
    for (const auto& [line, ok, expected] : ints) {
        CfgIo in;
        in.OpenText(line);
        int32_t value = 99;
        EXPECT_EQ(in.ReadInt(value), ok) << line;
        EXPECT_EQ(value, expected) << line;
    }
    char buf[6], one[1] = {'x'};
    CfgIo::CopyToSz(buf, "a\rb\tc\x01" "d\xe9", sizeof(buf));
    EXPECT_STREQ(buf, "abcd");
    CfgIo::CopyToSz(one, "abc", 1);
    EXPECT_EQ(one[0], '\0');
}

TEST(CfgIo, WritersFormatLinesLocaleFreeAndAFailedCloseNamesTheFile) {
    CfgIo io;
    io.OpenWrite("/nonexistent/never-written");
    io.WriteLabel("GPSData");
    io.WriteLine("text");
    io.WriteInt(-5);
    io.WriteKeyInt("iElevation", 10);
    io.WriteKeyLong("ulFreqKhz", static_cast<int32_t>(0xFFFFFFFFu));
    io.WriteKeyDouble("dRefLat", -33.85681234);
    EXPECT_EQ(io.Text(), "[GPSData]\ntext\n-5\niElevation=10\nulFreqKhz=-1\ndRefLat=-33.856812\n");
    std::string error;
    EXPECT_FALSE(io.Close(&error));
    EXPECT_NE(error.find("/nonexistent/never-written"), std::string::npos) << error;
}

TEST(Parsable, AssignmentsByKey) {
    int32_t elevation = 5;
    uint32_t freqKhz = 1;
    float freq = 1.0f;
    double lat = 1.0;
    ParseReset();
    ParseRegister("iElevation", &elevation);
    ParseRegister("ulFreqKhz", &freqKhz);
    ParseRegister("fFreq", &freq);
    ParseRegister("dRefLat", &lat);
    const std::tuple<const char*, bool, int32_t, uint32_t, float, double> cases[] = {
        {"IELEVATION=11", true, 11, 1, 1.0f, 1.0},
        {"iElevation = 12", true, 5, 1, 1.0f, 1.0},  // the key has a blank: unknown
        {"=12", false, 5, 1, 1.0f, 1.0},
        {"iElevation=abc", true, 0, 1, 1.0f, 1.0},
        {"ulFreqKhz=-1", true, 5, 0xFFFFFFFFu, 1.0f, 1.0},
        {"ulFreqKhz=1545000kHz", true, 5, 1545000, 1.0f, 1.0},
        {"ulFreqKhz=4294967296", true, 5, 1, 1.0f, 1.0},
        {"fFreq=301,5", true, 5, 1, 301.0f, 1.0},
        {"fFreq=1e39", true, 5, 1, 1.0f, 1.0},
        {"fFreq=nan", true, 5, 1, 1.0f, 1.0},
        {"dRefLat=12.25 N", true, 5, 1, 1.0f, 12.25},
        {"dRefLat=.", true, 5, 1, 1.0f, 1.0},
    };
    for (const auto& [line, result, e, k, f, d] : cases) {
        std::tie(elevation, freqKhz, freq, lat) = std::tuple(5, 1u, 1.0f, 1.0);
        EXPECT_EQ(ParseLine(line), result) << line;
        EXPECT_EQ(std::tie(elevation, freqKhz, freq, lat), std::tie(e, k, f, d)) << line;
    }
    // A section ends at a line that is no assignment, which is consumed; the last of two
    // assignments wins.
    CfgIo io;
    io.OpenText("iElevation=8\niElevation=9\n=bad\nfFreq=2.5\n");
    ParseSection(io);
    std::string line;
    ASSERT_TRUE(io.ReadData(line));
    EXPECT_EQ(Join(elevation, freq, line), "9 1 fFreq=2.5");
    ParseReset();
    static int32_t vars[51];
    static char names[51][8];
    for (int i = 0; i < 51; ++i) {
        std::snprintf(names[i], sizeof(names[i]), "i%d", i);
        ParseRegister(names[i], &vars[i]);
    }
    EXPECT_EQ(ParseTableCount(), 50);
    EXPECT_TRUE(platform::TraceContains("Exceeded parse table size!"));
    EXPECT_TRUE(ParseLine("i49=3") && vars[49] == 3);
    ParseLine("i50=3");
    EXPECT_EQ(vars[50], 0);
    ParseReset();
    const char* const list[] = {"SavedCommands", "HotKey", "Level", ""};
    int index = -1;
    EXPECT_TRUE(ParseFindLabel(list, &index, "hotkey"));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(ParseFindLabel(list, &index, "") || ParseFindLabel(list, &index, "Other"));
}

}  // namespace
