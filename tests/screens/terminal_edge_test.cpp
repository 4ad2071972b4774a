// The terminal at its edges: a hot key still going out when the user sends or leaves, and a
// terminal file the program cannot read.

#include <cstring>
#include <filesystem>

#include "engine/terminalconfig.h"
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
