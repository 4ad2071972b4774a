// The terminal at its edges: a hot key still going out when the user sends, leaves or clicks
// another, text the reader cut short, and a terminal file the program cannot read.

#include <cstring>
#include <filesystem>

#include "engine/terminalconfig.h"
#include "engine/thread.h"
#include "platform/notify.h"
#include "resources/dlg_terminal.h"
#include "screens/logging/TERMINAL_1.h"
#include "screens/screen_walk.h"

using namespace resources;

namespace {

const std::string kLeave = "$JOFF\r\n~250$PKRV,1,0\r\n~10";

class TerminalEdgeTest : public shelltest::WalkTest {
protected:
    void SetUp() override {
        Start();
        TerminalConfig::Init();
        platform::SetNotifySink([this](const std::string& text) { notices_.push_back(text); });
    }
    void TearDown() override {
        platform::SetNotifySink({});
        std::filesystem::remove_all(TerminalConfig::FilePath());
        WalkTest::TearDown();
    }
    // The wire less the zero yields of the ticks.
    std::string Out() const {
        std::string s;
        for (const std::string& e : Wire()) s += e == "~0" ? "" : e;
        return s;
    }
    static void SetKey(int key, const char* label, const char* command) {
        HotKeyInfo& k = TerminalConfig::GetData()->HotKeys[0][key];
        std::strncpy(k.szLabel, label, sizeof k.szLabel);
        std::strncpy(k.szCommand, command, sizeof k.szCommand);
    }

    // What the reader thread does with received bytes.
    static void Receive(const std::string& bytes) {
        static CGPSThread reader;
        reader.FrameBytes(bytes.data(), bytes.size());
    }

    std::vector<std::string> notices_;
};

// Every line of a hot key goes out, in order and 500 ms apart on the clock, before a command
// typed meanwhile and before the commands of leaving.
TEST_F(TerminalEdgeTest, HotKeyLinesGoOutWhole) {
    SetKey(0, "Bunch", "$JOFF\r\n$JASC,GPGGA,1\r\n$JSHOW");
    SetKey(1, "Two", "$A\r\n$B\r\n");
    // Key, virtual ms after its click, then Send of a typed command (else leave), the wire.
    const struct {
        int key;
        uint32_t after;
        bool send;
        std::string wire;
    } cases[] = {
        {0, 200, true, "$JOFF\r\n~300$JASC,GPGGA,1\r\n~500$JSHOW\r\n$JI\r\n~300"},
        {1, 0, true, "$A\r\n~500$B\r\n~500$JI\r\n~300"},
        {1, 500, true, "$A\r\n$B\r\n~500$JI\r\n~300"},
        {0, 0, false, "$JOFF\r\n~500$JASC,GPGGA,1\r\n~500$JSHOW\r\n" + kLeave},
    };
    Walk({{SCR_TERMINAL_1, [&] {
               auto* t1 = As<CTERMINAL_1>(SCR_TERMINAL_1);
               for (const auto& c : cases) {
                   SCOPED_TRACE(c.wire);
                   ClearWire();
                   Click(kHotKeyButtons[static_cast<size_t>(c.key)]);
                   clock.Advance(c.after);
                   if (!c.send) {
                       Page()->OnCancel();
                       EXPECT_EQ(Out(), c.wire);
                       break;
                   }
                   Retype(IDC_TERMINAL_COMMAND, "$JI");
                   Click(IDC_TERMINAL_SEND);
                   EXPECT_EQ(Out(), c.wire);
                   EXPECT_FALSE(t1->IsTimerRunning(kTerminalLineTimer));
                   EXPECT_FALSE(t1->SendingStoredCommand());
               }
           }}});
}

// Hot keys clicked while another still goes out follow it in the order clicked, 500 ms a line
// (none after a last line without its own CR LF), also when the terminal is left meanwhile.
TEST_F(TerminalEdgeTest, HotKeysClickedMeanwhileFollowIt) {
    SetKey(0, "Bunch", "$JOFF\r\n$JASC,GPGGA,1\r\n$JSHOW");
    SetKey(1, "Two", "$A\r\n$B\r\n");
    SetKey(2, "One", "$JI");
    using Clicks = std::vector<std::pair<uint32_t, int>>;  // virtual ms, key
    constexpr uint32_t kStays = UINT32_MAX;
    // Clicks, when the terminal is left, what went out at which virtual ms.
    const struct {
        Clicks clicks;
        uint32_t leave;
        std::string sent;
    } cases[] = {
        {{{0, 1}, {200, 0}, {300, 2}},
         kStays,
         "0:$A\r\n|500:$B\r\n|1000:$JOFF\r\n|1500:$JASC,GPGGA,1\r\n|2000:$JSHOW\r\n$JI\r\n|"},
        {{{0, 2}, {0, 1}}, kStays, "0:$JI\r\n$A\r\n|500:$B\r\n|"},  // no pause to wait for
        {{{0, 1}, {100, 1}},
         600,
         "0:$A\r\n|500:$B\r\n|600:~400$A\r\n~500$B\r\n~500" + kLeave + "|"},
    };
    Walk({{SCR_TERMINAL_1, [&] {
               auto* t1 = As<CTERMINAL_1>(SCR_TERMINAL_1);
               for (const auto& c : cases) {
                   SCOPED_TRACE(c.sent);
                   ClearWire();
                   std::string sent;
                   for (uint32_t t = 0; t <= 3000; t += 100) {
                       for (const auto& [at, key] : c.clicks)
                           if (at == t) Click(kHotKeyButtons[static_cast<size_t>(key)]);
                       if (t1->IsTimerRunning(kTerminalLineTimer)) Tick(kTerminalLineTimer);
                       if (t == c.leave) Page()->OnCancel();
                       if (const std::string out = Out(); !out.empty())
                           sent += std::to_string(t) + ":" + out + "|";
                       ClearWire();
                       clock.Advance(100);
                       if (t == c.leave) break;
                   }
                   EXPECT_EQ(sent, c.sent);
                   EXPECT_FALSE(t1->SendingStoredCommand());
               }
           }}});
}

// Text the reader cut while the view's last line was open ends that line and goes on from the
// next sentence, or from the next line when no sentence starts in it.
TEST_F(TerminalEdgeTest, TextCutByTheReaderStartsANewLine) {
    const struct {
        std::string after;
        std::string view;
    } cases[] = {
        {"ab\r\n$GPZDA,2\r\n", "$GPGGA,1\n$GPZDA,2\n"},
        {"ab\r\nOK\r\n", "$GPGGA,1\nOK\n"},
    };
    Walk({{SCR_TERMINAL_1, [&] {
               for (const auto& c : cases) {
                   SCOPED_TRACE(c.after);
                   Click(IDC_TERMINAL_CLEAR);
                   Tick(kTerminalPollTimer);
                   Receive("$GPGGA,1");
                   Tick(kTerminalPollTimer);
                   ASSERT_EQ(Page()->GetDlgItemText(IDC_TERMINAL_VIEW), "$GPGGA,1");
                   // More than the reader keeps between two polls.
                   Receive(std::string(CGPSThread::kTerminalMax + 100, 'x'));
                   Receive(c.after);
                   Tick(kTerminalPollTimer);
                   const std::string view = Page()->GetDlgItemText(IDC_TERMINAL_VIEW);
                   EXPECT_EQ(view.substr(0, 40), c.view) << view.size() << " bytes";
               }
           }}});
}

// A terminal file that is there but cannot be read is named with the reason when the terminal
// opens, once while the reason stays, and is left as it is whichever page is left.
TEST_F(TerminalEdgeTest, UnreadableFileIsToldAndKept) {
    const std::string path = TerminalConfig::FilePath();
    const std::string damaged = std::string("[Level]\r\n0\r\n\0\x01\x02", 15);
    std::filesystem::create_directories(shelltest::ConfigDir());
    shelltest::WriteFile(path, damaged);
    const auto told = [this](const std::vector<std::string>& reasons) {
        ASSERT_EQ(notices_.size(), reasons.size());
        for (size_t i = 0; i < reasons.size(); ++i)
            EXPECT_EQ(notices_[i].substr(0, reasons[i].size() + 1), reasons[i] + "\n");
        EXPECT_EQ(Told(), "");  // no save failure on top
    };
    const std::string notText =
        "Tessaray_PC: cannot read " + path + ": it holds bytes that are not text";
    const std::string folder = "Tessaray_PC: cannot read " + path + ": not a regular file";
    Walk({{SCR_TERMINAL_1,
           [&] {
               told({notText});
               SetKey(2, "Typed", "$JI");
               SelectTab(IDC_TERMINAL_TAB, 1);
           }},
          {SCR_TERMINAL_2,
           [&] {
               told({notText});
               EXPECT_EQ(shelltest::ReadFile(path), damaged);
               SelectTab(IDC_TERMINAL_TAB, 0);
           }},
          {SCR_TERMINAL_1,
           [&] {
               EXPECT_EQ(shelltest::ReadFile(path), damaged);
               std::filesystem::remove(path);
               std::filesystem::create_directories(path);
               SelectTab(IDC_TERMINAL_TAB, 1);
           }},
          {SCR_TERMINAL_2, [&] { SelectTab(IDC_TERMINAL_TAB, 0); }},
          {SCR_TERMINAL_1, [&] {
               told({notText, folder});
               EXPECT_TRUE(std::filesystem::is_directory(path));
           }}});
}

}  // namespace
