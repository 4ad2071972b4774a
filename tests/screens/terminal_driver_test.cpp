// The terminal in the whole program, against a receiver on a pseudo-terminal: a typed command
// and its history, a hot key edited on the hot-key page that survives a restart and goes out
// line by line, and the view under a stream at the full rate of a 115200-baud line.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "resources/dlg_exit.h"
#include "resources/dlg_startup.h"
#include "resources/dlg_terminal.h"
#include "support/driver_client.h"
#include "support/qt/driver_start.h"
#include "support/frames.h"
#include "support/receiver_simulator.h"
#include "support/temp_dir.h"

namespace {

using resources::IDC_TERMINAL_COMMAND;
using resources::IDC_TERMINAL_SEND;
using resources::IDC_TERMINAL_TAB;
using resources::IDC_TERMINAL_VIEW;
using testsupport::DriverProcess;
using testsupport::ReceiverSimulator;

std::string Id(int id) {
    return std::to_string(id);
}

// Past the start-up and the search to the position screen, then to the terminal by its
// navigation-bar button; the notice of the first tick is acknowledged.
void ToTerminal(ReceiverSimulator& sim, DriverProcess& p) {
    // The search finds the receiver by its sentences.
    sim.Stream({testsupport::NmeaSentence("GPGGA,123519.50,0000.3000,S,00000.3000,W,1,08,0.9,"
                                          "545.4,M,46.9,M,,")},
               100, true);
    ASSERT_TRUE(p.Connect());
    ASSERT_EQ(testsupport::SearchToPositionScreen(p), "");
    ASSERT_EQ(p.Ask("nav 3"), "ok");
    ASSERT_EQ(p.AskUntil("top", "ok CTERMINAL_1"), "ok CTERMINAL_1");
    std::string box = "ok none";
    for (int i = 0; i < 400 && box == "ok none"; ++i) {
        box = p.Ask("msgbox");
        if (box == "ok none") std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    EXPECT_NE(box.find("TMNL window may be used"), std::string::npos) << box;
    ASSERT_EQ(p.Ask("answer ok"), "ok");
}

// The command lines that arrived from `mark` on, once `count` of them did (real time, bounded).
std::vector<ReceiverSimulator::Command> CommandsFrom(const ReceiverSimulator& sim, size_t mark,
                                                     size_t count) {
    for (int i = 0; i < 400; ++i) {
        const auto all = sim.Commands();
        if (all.size() >= mark + count) return {all.begin() + static_cast<long>(mark), all.end()};
        std::this_thread::sleep_for(std::chrono::milliseconds(25));
    }
    const auto all = sim.Commands();
    return {all.begin() + static_cast<long>(std::min(mark, all.size())), all.end()};
}

std::vector<std::string> Lines(const std::vector<ReceiverSimulator::Command>& commands) {
    std::vector<std::string> lines;
    for (const auto& c : commands) lines.push_back(c.line);
    return lines;
}

// One numbered line of the stream, 72 bytes with its CR LF.
std::string StreamLine(int n) {
    char head[32];
    std::snprintf(head, sizeof head, "$PTEXT,%05d,", n);
    std::string line = head;
    line += std::string(70 - line.size() - 3, 'x') + "*00";
    return line;
}

TEST(TerminalDriver, TypedCommandHotKeyAfterRestartAndStreamedView) {
    ReceiverSimulator sim;
    ASSERT_TRUE(sim.ok()) << sim.error();
    testsupport::TempDir files;
    testsupport::DriverOptions options;
    options.com1 = sim.SlavePath();
    options.configDir = files / "config";
    // A hot key of two lines on level 1, as an earlier session stored it.
    std::filesystem::create_directories(options.configDir);
    testsupport::WriteBytes(options.configDir + "/Tessaray_Term.ini",
                            "[Level]\r\n0\r\n[HotKey]\r\n1\r\nPair\r\n$JA\r\n$JB\r\n");

    {
        DriverProcess p(options);
        ToTerminal(sim, p);
        if (HasFatalFailure()) return;

        // Typed and sent: the receiver gets exactly the line and its CR LF; the entry field
        // is left with "$" and the history offers the line.
        ASSERT_EQ(p.Ask("get " + Id(IDC_TERMINAL_COMMAND)), "ok ");
        const size_t mark = sim.Commands().size();
        ASSERT_EQ(p.Ask("text " + Id(IDC_TERMINAL_COMMAND) + " $JI,2"), "ok");
        ASSERT_EQ(p.AskUntil("get " + Id(IDC_TERMINAL_COMMAND), "ok $JI,2"), "ok $JI,2");
        ASSERT_EQ(p.Ask("click " + Id(IDC_TERMINAL_SEND)), "ok");
        EXPECT_EQ(Lines(CommandsFrom(sim, mark, 1)), std::vector<std::string>{"$JI,2"});
        EXPECT_EQ(p.AskUntil("get " + Id(IDC_TERMINAL_COMMAND), "ok $"), "ok $");
        ASSERT_EQ(p.Ask("select " + Id(IDC_TERMINAL_COMMAND) + " 0"), "ok");
        EXPECT_EQ(p.AskUntil("get " + Id(IDC_TERMINAL_COMMAND), "ok $JI,2"), "ok $JI,2");

        // The hot-key page: row 1 gets a longer label and a third line.
        ASSERT_EQ(p.Ask("select " + Id(IDC_TERMINAL_TAB) + " 1"), "ok");
        ASSERT_EQ(p.AskUntil("top", "ok CTERMINAL_2"), "ok CTERMINAL_2");
        const std::string label = Id(resources::kHotKeyLabelEdits[1]);
        const std::string command = Id(resources::kHotKeyCommandEdits[1]);
        ASSERT_EQ(p.Ask("get " + label), "ok Pair");
        ASSERT_EQ(p.Ask("get " + command), "ok $JA\\r\\n$JB");
        ASSERT_EQ(p.Ask("text " + label + " s"), "ok");
        ASSERT_EQ(p.Ask("text " + command + " ,1"), "ok");
        ASSERT_EQ(p.AskUntil("get " + command, "ok $JA\\r\\n$JB,1"), "ok $JA\\r\\n$JB,1");

        // Ended from the hot-key page without saving the settings: the terminal file is
        // written anyway.
        ASSERT_EQ(p.Ask("nav 7"), "ok");
        ASSERT_EQ(p.AskUntil("click " + Id(resources::IDC_EXIT_NO_SAVE), "ok", 10000), "ok");
        EXPECT_EQ(p.WaitExit(), 0);
    }

    DriverProcess p(options);
    ToTerminal(sim, p);
    if (HasFatalFailure()) return;
    const std::string key = Id(resources::kHotKeyButtons[1]);
    ASSERT_EQ(p.Ask("get " + key), "ok Pairs");
    const size_t mark = sim.Commands().size();
    ASSERT_EQ(p.Ask("click " + key), "ok");
    // The window answers while the lines go out one by one.
    EXPECT_EQ(p.Ask("get " + key), "ok Pairs");
    const auto sent = CommandsFrom(sim, mark, 2);
    EXPECT_EQ(Lines(sent), (std::vector<std::string>{"$JA", "$JB,1"}));
    for (size_t i = 1; i < sent.size(); ++i)
        EXPECT_GE(sent[i].time - sent[i - 1].time, 450u) << "before line " << i;

    // Three seconds of text at 11520 bytes a second: every line in the view is whole.
    std::vector<std::string> batches;
    int n = 0;
    for (int b = 0; b < 60; ++b) {
        std::string batch;
        for (int k = 0; k < 8; ++k) batch += StreamLine(n++) + "\r\n";
        batches.push_back(batch);
    }
    sim.Stream({}, 100);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    ASSERT_EQ(p.Ask("click " + Id(resources::IDC_TERMINAL_CLEAR)), "ok");
    ASSERT_EQ(p.AskUntil("get " + Id(IDC_TERMINAL_VIEW), "ok "), "ok ");
    sim.Stream(batches, 50, false);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(p.Ask("get " + key), "ok Pairs");
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ASSERT_TRUE(sim.WaitIdle(20000));
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    std::string view = p.Ask("get " + Id(IDC_TERMINAL_VIEW));
    ASSERT_EQ(view.rfind("ok ", 0), 0u);
    view = view.substr(3);
    int lines = 0;
    int last = -1;
    for (size_t at = 0; at < view.size();) {
        const size_t end = view.find("\\n", at);
        ASSERT_NE(end, std::string::npos) << "unended line at " << at;
        const std::string line = view.substr(at, end - at);
        at = end + 2;
        // A whole line, or (bytes lost on the line itself under load) the tail of one; never
        // two lines run together or a line cut at its end.
        const int number =
            line.size() >= 63 ? std::atoi(line.substr(line.size() - 63, 5).c_str()) : 0;
        const std::string whole = StreamLine(number);
        ASSERT_TRUE(
            line.size() <= whole.size() &&
            whole.compare(whole.size() - std::min<size_t>(line.size(), 58), std::string::npos, line,
                          line.size() - std::min<size_t>(line.size(), 58)) == 0 &&
            (line.size() < 63 || whole.compare(whole.size() - line.size(), line.size(), line) == 0))
            << line;
        if (line == whole) {
            EXPECT_GT(number, last);
            last = number;
            ++lines;
        }
    }
    EXPECT_GT(lines, 0);
    EXPECT_EQ(last, n - 1);
}

}  // namespace
