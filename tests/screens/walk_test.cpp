// Every screen live with a clean layout against a streaming receiver, then "Exit and Save", at 96
// and 144 dpi, stderr clean. TESSARAY_PC_SHOTS=<folder> saves <nn>-<class>-<dpi>dpi.png.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "stream.h"
#include "support/driver_client.h"
#include "support/receiver_simulator.h"
#include "support/temp_dir.h"

namespace {

using testsupport::DriverProcess;
using testsupport::ReceiverSimulator;
using Clock = std::chrono::steady_clock;

// A page, the command that opens it from the page before (and one more a user gives there),
// and read-outs that must show live values: the control and a part of its text.
struct Page {
    const char* command;
    const char* page;
    std::vector<std::pair<int, const char*>> live;
    const char* then = "";
};

const std::pair<int, const char*> kFix = {1001, "3D+DIFF"};  // the status strip's lamp text
const std::pair<int, const char*> kNow = {1154, "Now"};      // a plot's time axis, drawn

// clang-format off
const std::vector<Page> kGpsPages = {
    {"", "CGPS_1", {kFix, {1023, "48 07.0"}, {1024, "11 31.0"}, {1025, "545.4"}}},
    {"select 1006 1", "CGPS_2", {{1024, "9"}, {1035, "120"}, {1036, "340"}}}, {"select 1029 2", "CGPS_3", {{1068, "19200"}}},
    {"select 1006 3", "CGPS_4", {{1028, "273.6"}, {1077, "2.10"}}},
    {"select 1006 4", "CGPS_5", {kNow, {1025, "48 07.038"}}, "click 1064"},
    {"select 1029 5", "CGPS_6", {{1022, "SBAS"}, {1026, "BX3.1"}}}, {"nav 3", "CTERMINAL_1", {{1068, "$GPGGA,"}}},
    {"select 1006 1", "CTERMINAL_2", {kFix}}, {"nav 4", "CLOGS_1", {kFix}}, {"select 1008 1", "CLOGS_2", {kFix}},
    {"select 1008 2", "CLOGS_3", {kFix}}, {"select 1008 3", "CLOGS_4", {kFix}}, {"select 1008 4", "CLOGS_5", {kFix}},
    {"nav 2", "CSBAS_1", {{1014, "WAAS"}, {1096, "122"}, {1097, "-15.5"}}},
    {"select 1008 1", "CSBAS_3", {kNow, {1008, "120"}, {1009, "340"}}}};

// Differential sources, chosen on the position screen (combo 1021): the receiver's answers to
// the source queries, then the pages of the source from the bar's differential button on.
struct Source {
    int item;
    const char* jdiff;
    const char* japp;
    const char* label;  // the source as the status strip names it
    std::vector<Page> pages;
};

const char* const kStation = "Bl\xC3\xA5vands Huk";
const std::vector<Source> kSources = {
    {1, "BEACON", "WAAS,LBAND", "Beacon",
     {{"nav 2", "CBEACON_1", {{1007, kStation}, {1024, "290.0 kHz"}, {1028, "705"}}},
      {"select 1051 1", "CBEACON_2", {{1011, kStation}, {1067, "290.0 kHz"}}},
      {"select 1050 2", "CBEACON_3", {kNow, {1008, "10"}}}, {"nav 1", "CGPS_1", {kFix}},
      {"select 1006 1", "CGPS_2", {{1035, "7"}, {1036, "10"}}}}},
    {2, "LBAND", "LBAND,WAAS", "LBand",
     {{"nav 2", "CLBND_1", {{1118, "MSV-C"}, {1119, "1534741"}, {1123, "210.7"}}},
      {"select 1008 1", "CLBND_2", {{1124, "1534741"}}}, {"select 1008 2", "CLBND_3", {{1023, "311689"}}},
      {"select 1014 3", "CLBND_4", {kNow}}, {"nav 1", "CGPS_1", {kFix}},
      {"select 1006 1", "CGPS_2", {{1034, "MSV-W"}}}}},
    {4, "AUTO", "AUTODIFF,WAAS", "x-Ref", {{"nav 2", "CXREF_1", {kFix, {1021, "x-Ref"}}}}},
    {7, "RTKBAS", "RTKBAS,WAAS", "t-Span Base", {{"nav 2", "TSpanDlg1", {{1007, "48.1173"}, {1022, "11.5167"}}}}},
    {8, "LOCDIF", "LOCDIF,WAAS", "t-Span Rover", {{"nav 2", "TSpanRover", {kFix, {1021, "t-Span Rover"}}}}}};
const std::vector<Page> kHeadingPages = {{"nav 5", "CHEADING_1", {{1030, "10.2"}, {1126, "54.7"}}},
    {"select 1029 1", "CHEADING_2", {kFix}}, {"select 1029 2", "CHEADING_3", {kNow}}};
// clang-format on

// At the font dpi of the parameter.
class Walk : public ::testing::TestWithParam<int> {
protected:
    // A reply that came too late would answer the next question: the channel is opened afresh.
    std::string Ask(const std::string& command) {
        const std::string reply = p_->Ask(command);
        if (reply == "timeout") p_->Connect();
        return reply;
    }
    // Asks until the reply holds `part` (or is "ok <part>" with whole), answering message boxes
    // meanwhile as a user would: yes to a question, else the first button.
    std::string Until(const std::string& command, const std::string& part, bool whole = false,
                      int seconds = 30) {
        const auto done = [&](const std::string& r) {
            return whole ? r == "ok " + part : r.find(part) != r.npos;
        };
        const auto deadline = Clock::now() + std::chrono::seconds(seconds);
        std::string reply = Ask(command);
        while (!done(reply) && Clock::now() < deadline) {
            const std::string box = Ask("msgbox");
            if (box != "ok none" && box.rfind("ok ", 0) == 0) {
                const unsigned type = static_cast<unsigned>(std::atoi(box.c_str() + 3)) & 0xF;
                Ask(type == 3 || type == 4 ? "answer yes" : "answer ok");
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            reply = Ask(command);
        }
        return reply;
    }
    bool Top(const std::string& page, int seconds = 30) {
        return Until("top", page, true, seconds) == "ok " + page;
    }
    // From the start-up page: the search on COM1, the receiver type, then OK.
    void Search(int receiverType) {
        ASSERT_TRUE(Top("CSTARTUP3", 60));
        ASSERT_EQ(Ask("click 1166"), "ok");
        ASSERT_EQ(Until("select 1002 " + std::to_string(receiverType), "ok", false, 60), "ok");
        ASSERT_EQ(Ask("click 1001"), "ok");
        ASSERT_TRUE(Top("CGPS_1", 60));
    }
    // Opens the page, waits for its live values, checks its layout and saves its picture.
    void Visit(const Page& page) {
        SCOPED_TRACE(page.page);
        if (*page.command) {
            const std::string from = Ask("top");
            ASSERT_EQ(Ask(page.command), "ok");
            // Made again only while the page it came from is still on top.
            if (!Top(page.page, 20) && Ask("top") == from) Ask(page.command);
            ASSERT_TRUE(Top(page.page, 40)) << Ask("top");
        }
        if (*page.then) {
            ASSERT_EQ(Ask(page.then), "ok");
        }
        for (const auto& [id, part] : page.live) {
            const std::string get = "get " + std::to_string(id), r = Until(get, part);
            EXPECT_NE(r.find(part), r.npos) << "control " << id << ": " << r;
        }
        EXPECT_EQ(Ask("layout"), "ok");
        if (const char* shots = std::getenv("TESSARAY_PC_SHOTS")) {
            char name[16];
            std::snprintf(name, sizeof name, "/%02d-", ++shot_);
            EXPECT_EQ(Ask(std::string("screenshot ") + shots + name + page.page + "-" +
                          std::to_string(GetParam()) + "dpi.png"),
                      "ok");
        }
    }
    std::unique_ptr<DriverProcess> p_;
    int shot_ = 0;
};

TEST_P(Walk, EveryScreenLiveThenExitAndSave) {
    ReceiverSimulator sim;
    ASSERT_TRUE(sim.ok()) << sim.error();
    benchsupport::AnswerQueries(sim, false);
    sim.Stream(benchsupport::ReceiverItems(), 10, true);
    testsupport::TempDir files;
    testsupport::DriverOptions options;
    options.com1 = sim.SlavePath();
    options.stderrPath = files / "stderr.txt";
    options.env = {{"TESSARAY_PC_TRACE", "1"}, {"QT_FONT_DPI", std::to_string(GetParam())}};
    if (const char* qpa = std::getenv("QT_QPA_PLATFORM"))
        options.env.push_back({"QT_QPA_PLATFORM", qpa});
    p_ = std::make_unique<DriverProcess>(options);
    ASSERT_TRUE(p_->Connect());
    ASSERT_TRUE(Top("CTessaray_PCDlg", 60));
    ASSERT_EQ(Ask("timer 1"), "ok");  // the splash hands over now, not after its 3 s
    Search(0);
    for (const Page& page : kGpsPages) Visit(page);
    for (const Source& source : kSources) {
        benchsupport::AnswerQueries(sim, false, source.jdiff, source.japp);
        ASSERT_EQ(Ask("nav 1"), "ok");
        ASSERT_TRUE(Top("CGPS_1"));
        ASSERT_EQ(Ask("select 1021 " + std::to_string(source.item)), "ok");
        ASSERT_EQ(Until("get 1002", source.label, true), std::string("ok ") + source.label);
        for (const Page& page : source.pages) Visit(page);
    }
    // A heading receiver, found again from the start-up page.
    benchsupport::AnswerQueries(sim, true);
    ASSERT_EQ(Ask("nav 6"), "ok");
    Search(1);
    for (const Page& page : kHeadingPages) Visit(page);
    // "Exit and Save": the receiver's outputs off, its settings saved, then the report.
    ASSERT_EQ(Ask("nav 7"), "ok");
    ASSERT_TRUE(Top("CCHECK"));
    const size_t mark = sim.Commands().size();
    ASSERT_EQ(Ask("click 1"), "ok");
    ASSERT_TRUE(Top("CCLOSESCREEN_2", 60));
    const auto commands = sim.Commands();
    std::string sent = "|";
    for (size_t i = mark; i < commands.size(); ++i) sent += commands[i].line + "|";
    for (const char* line : {"$JOFF", "$JOFF,OTHER", "$PKRV,1,0", "$PKRV,1,0,OTHER", "$JSAVE"})
        EXPECT_NE(sent.find("|" + std::string(line) + "|"), sent.npos) << line;
    EXPECT_EQ(Ask("get 1068"), "ok SBAS");
    EXPECT_EQ(Ask("get 1064"), "ok 19200");
    ASSERT_EQ(Ask("click 1170"), "ok");
    EXPECT_EQ(p_->WaitExit(), 0);
    // Sanitizers and the program's internal checks report on stderr.
    const std::string err = testsupport::ReadBytes(files / "stderr.txt");
    for (const char* fault : {"internal error", "Sanitizer", "runtime error"})
        EXPECT_EQ(err.find(fault), std::string::npos) << err;
}

INSTANTIATE_TEST_SUITE_P(Dpi, Walk, ::testing::Values(96, 144),
                         [](const auto& info) { return std::to_string(info.param) + "dpi"; });

}  // namespace
