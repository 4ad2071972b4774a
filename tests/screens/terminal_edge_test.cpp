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
#include "shell/STARTUP3.h"

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

// Hot keys clicked and commands typed while a hot key still goes out follow it in the order
// given, 500 ms a line (none after a last line without its own CR LF), timed by the line timer:
// Send waits for nothing but its pressed look. Leaving meanwhile finishes only the command
// going out; what waits behind it is dropped, however much it is.
TEST_F(TerminalEdgeTest, HotKeysClickedMeanwhileFollowIt) {
    std::string many, manyLeft;
    for (int i = 0; i < 24; ++i) {
        many += "$C\r\n";
        if (i > 0) manyLeft += "$C\r\n~500";
    }
    const auto setKeys = [&] {
        SetKey(0, "Bunch", "$JOFF\r\n$JASC,GPGGA,1\r\n$JSHOW");
        SetKey(1, "Two", "$A\r\n$B\r\n");
        SetKey(2, "One", "$JI");
        SetKey(3, "Many", many.c_str());
    };
    setKeys();
    constexpr int kSend = -1;                              // Send of a typed "$JS"
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
        {{{0, 1}, {100, 1}}, 600, "0:$A\r\n|500:$B\r\n|600:~400" + kLeave + "|"},
        {{{0, 3}, {100, 3}, {200, 3}, {300, 3}},
         400,
         "0:$C\r\n|400:~100" + manyLeft + kLeave + "|"},
        // Send's pressed look holds the clock 300 ms: from then on it is 300 ms past t.
        {{{0, 1}, {100, 1}, {200, kSend}, {300, 2}},
         kStays,
         "0:$A\r\n|200:~300$B\r\n|700:$A\r\n|1200:$B\r\n|1700:$JS\r\n$JI\r\n|"},
        {{{0, 1}, {200, kSend}}, kStays, "0:$A\r\n|200:~300$B\r\n~500$JS\r\n~300|"},
        // Leaving drops the clicks still waiting, not a Send the user saw go.
        {{{0, 1}, {100, 1}, {200, kSend}, {300, 2}},
         600,
         "0:$A\r\n|200:~300$B\r\n|600:~100$JS\r\n" + kLeave + "|"},
    };
    Walk({{SCR_TERMINAL_1, [&] {
               auto* t1 = As<CTERMINAL_1>(SCR_TERMINAL_1);
               for (const auto& c : cases) {
                   SCOPED_TRACE(c.sent);
                   ClearWire();
                   std::string sent;
                   for (uint32_t t = 0; t <= 3000; t += 100) {
                       for (const auto& [at, key] : c.clicks) {
                           if (at != t) continue;
                           if (key != kSend) {
                               Click(kHotKeyButtons[static_cast<size_t>(key)]);
                               continue;
                           }
                           Retype(IDC_TERMINAL_COMMAND, "$JS");
                           Click(IDC_TERMINAL_SEND);
                       }
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
                   if (c.leave == kStays) continue;
                   // Back to the terminal, as the navigation bar brings it back.
                   t1->ShowWindow(ui::SW_SHOW);
                   t1->OnInitDialog();
                   setKeys();  // the file read again keeps a command's lines, not its last CR LF
               }
           }}});
}

// The start-up dialog has the port to itself: the terminal's timers stand still, nothing it
// still had to send goes out later, and the receiver search is not held back for it.
TEST_F(TerminalEdgeTest, StartupDialogEndsWhatTheTerminalSends) {
    class StandIn : public ui::Dialog {
    public:
        StandIn() : ui::Dialog(ui::DialogTemplate{.id = 210}) {}
    };
    SetStartupDialogFactory([] { return std::make_unique<StandIn>(); });
    SetKey(1, "Two", "$A\r\n$B\r\n");
    CTERMINAL_1* t1 = nullptr;
    Walk({{SCR_TERMINAL_1,
           [&] {
               t1 = As<CTERMINAL_1>(SCR_TERMINAL_1);
               Click(kHotKeyButtons[1]);
               Click(kHotKeyButtons[1]);
               ClearWire();
               t1->RunNavRow(6);
           }},
          {Top<StandIn>(), [&] {
               EXPECT_EQ(t1->TimerIds(), std::vector<ui::UINT>{});
               EXPECT_FALSE(t1->SendingStoredCommand());
               EXPECT_EQ(bTerminalActive, 0);
               EXPECT_EQ(Out(), "");
               Page()->EndDialog(ui::IDCANCEL);
           }}});
    SetStartupDialogFactory(nullptr);
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
