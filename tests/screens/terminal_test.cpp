// The terminal, its hot-key editor and the command-bunch editor headless.

#include <QPlainTextEdit>
#include <cstring>
#include <filesystem>

#include "engine/terminalconfig.h"
#include "engine/thread.h"
#include "resources/dlg_terminal.h"
#include "screens/logging/BUNCH.h"
#include "screens/logging/TERMINAL_1.h"
#include "screens/logging/TERMINAL_2.h"
#include "screens/screen_walk.h"
#include "shell/CHECK.h"

using namespace resources;

namespace {

using Lines = std::vector<std::string>;
const std::string kLeave = "$JOFF\r\n~250$PKRV,1,0\r\n~10";

class TerminalTest : public shelltest::WalkTest {
protected:
    void SetUp() override { Start(); }
    CTERMINAL_1* T1() { return As<CTERMINAL_1>(SCR_TERMINAL_1); }
    void Tab(int index) { SelectTab(IDC_TERMINAL_TAB, index); }
    // The wire less the zero yields of the ticks.
    std::string Out() const {
        std::string s;
        for (const std::string& e : Wire()) s += e == "~0" ? "" : e;
        return s;
    }
    static std::string File() { return shelltest::ReadFile(TerminalConfig::FilePath()); }
    static void SetKey(int level, int key, const char* label, const char* command) {
        HotKeyInfo& k = TerminalConfig::GetData()->HotKeys[level][key];
        std::strncpy(k.szLabel, label, sizeof k.szLabel);
        std::strncpy(k.szCommand, command, sizeof k.szCommand);
    }
    // What the reader thread does with received bytes.
    static void Receive(const std::string& bytes) {
        static CGPSThread reader;
        reader.FrameBytes(bytes.data(), bytes.size());
    }
    std::string View() { return Page()->GetDlgItemText(IDC_TERMINAL_VIEW); }
};

// A send takes the view's text and clears it; a hot key's lines go out 500 ms apart from a
// timer, never a pause of the window; code-page letters are kept in the file.
TEST_F(TerminalTest, TerminalAndHotKeyEditor) {
    std::filesystem::create_directories(
        std::filesystem::path(TerminalConfig::FilePath()).parent_path());
    shelltest::WriteFile(TerminalConfig::FilePath(), "[SavedCommands]\r\n$JSHOW\r\n$JAPP\r\n");
    const std::string three = "$GPGGA,123,A*00\n$GPVTG,x\n$GPZDA,1\n";
    // clang-format off
    const struct { const char *typed, *wire, *history; } sends[] = {
        {"$JI", "$JI\r\n~300", "$JI|$JSHOW|$JAPP"}, {"$JAPP", "$JAPP\r\n~300", "$JI|$JSHOW|$JAPP"},
        {"$japp", "$japp\r\n~300", "$japp|$JI|$JSHOW|$JAPP"},
        {"$JX,\xE2\x82\xAC", "$JX,\x80\r\n~300", "$JX,\xE2\x82\xAC|$japp|$JI|$JSHOW|$JAPP"}};
    // Received, button before the tick, view.
    const struct { const char* received; int button; std::string view; } views[] = {
        {"", 0, ""}, {"5,M*4F\r\n$GPGGA,1", 0, "$GPGGA,1"}, {"23,A*00\r\n$GPV", 0, "$GPGGA,123,A*00\n$GPV"},
        {"TG,x\r\n", 0, "$GPGGA,123,A*00\n$GPVTG,x\n"}, {"", IDC_TERMINAL_PAUSE, "$GPGGA,123,A*00\n$GPVTG,x\n"},
        {"$GPZDA,1\r\n", 0, "$GPGGA,123,A*00\n$GPVTG,x\n"}, {"", IDC_TERMINAL_RESUME, three},
        {"tail\r\n$GPGSA", IDC_TERMINAL_CLEAR, ""}, {"tail\r\n$GPGSV,1\r\n", 0, "$GPGSV,1\n"}};
    // Label, command, the lines one per click or timer step, whether a step follows the last.
    const struct { const char *label, *command; Lines lines; bool pauseAfterLast; } keys[] = {
        {"Bunch", "$JOFF\r\n$JASC,GPGGA,1\r\n$JSHOW", {"$JOFF\r\n", "$JASC,GPGGA,1\r\n", "$JSHOW\r\n"}, false},
        {"", "$JI", {"$JI\r\n"}, false},  // shows "Empty", still sends
        {"Two", "$A\r\n$B\r\n", {"$A\r\n", "$B\r\n"}, true}, {"Blank", "\r\n", {"\r\n"}, true},
        {"None", "", {}, false}};
    const struct { int id; std::string typed, shown; } edits[] = {
        {kHotKeyLabelEdits[1], "A label of 25 characters!", "A label of 25 chara"},
        {kHotKeyCommandEdits[1], "$JSHOW", "$JSHOW"},
        {kHotKeyCommandEdits[4], "$JI", "$JI"},  // label still empty: takes "NAME"
        {kHotKeyCommandEdits[5], std::string(120, 'c'), std::string(97, 'c')},
        {kHotKeyLabelEdits[5], "Caf\xC3\xA9", "Caf\xC3\xA9"}, {kHotKeyLabelEdits[6], "\xE2\x9C\x93", "NAME"}};
    // clang-format on
    Walk({{SCR_TERMINAL_1,
           [&] {
               EXPECT_EQ(Out(), "$JOFF\r\n~250$JOFF\r\n~250$PKRV,1,0\r\n~10$PKRV,1,0\r\n~10");
               EXPECT_EQ(bTerminalActive, 1);
               EXPECT_EQ(T1()->TimerInterval(kTerminalPollTimer), 500);
               EXPECT_EQ(Items(IDC_TERMINAL_COMMAND), "$JSHOW|$JAPP");
               Receive("$GPGGA,early\r\n");
               for (const auto& v : views) {
                   Receive(v.received);
                   if (v.button) Click(v.button);
                   Tick(kTerminalPollTimer);  // the clear keeps this screen's timers running
                   EXPECT_EQ(View(), v.view) << v.received;
               }
               EXPECT_EQ(Told(),
                         "TMNL window may be used to display\nNMEA messages. To configure "
                         "receiver\noutput use the Setup window in\norder to have "
                         "settings saved.|");  // once, at the first tick
               for (const auto& s : sends) {
                   Receive("$GPGGA,1\r\n");
                   Tick(kTerminalPollTimer);
                   Retype(IDC_TERMINAL_COMMAND, s.typed);
                   ClickSent(IDC_TERMINAL_SEND);
                   EXPECT_EQ(Out(), s.wire);
                   EXPECT_EQ(Items(IDC_TERMINAL_COMMAND), s.history) << s.typed;
                   EXPECT_EQ(
                       View() + "|" + Texts({IDC_TERMINAL_COMMAND, IDC_TERMINAL_COMMAND_COUNT}),
                       "|$|1/97");
               }
               Retype(IDC_TERMINAL_COMMAND, "$JI\xE2\x9C\x93");
               EXPECT_EQ(Press(IDC_TERMINAL_SEND),
                         "The receiver cannot take the character \"\xE2\x9C\x93\".\nOnly the "
                         "characters of the Windows-1252 code page can be sent.|");
               Retype(IDC_TERMINAL_COMMAND, std::string(120, 'J'));
               EXPECT_EQ(Texts({IDC_TERMINAL_COMMAND, IDC_TERMINAL_COMMAND_COUNT}),
                         std::string(97, 'J') + "|97/97");
               for (int i = 0; i < 2600; ++i) {
                   Receive("$GPZDA," + std::to_string(i) + "\r\n");
                   if (i % 300 == 0) Tick(kTerminalPollTimer);
               }
               Tick(kTerminalPollTimer);
               const std::string view = View();
               EXPECT_NEAR(std::count(view.begin(), view.end(), '\n'), 2000, 1);
               EXPECT_EQ(view.substr(view.size() - 12), "$GPZDA,2599\n");
               for (size_t i = 0; i < std::size(keys); ++i)
                   SetKey(1, static_cast<int>(i), keys[i].label, keys[i].command);
               Choose(IDC_HOTKEY_LEVEL, 1);
               for (size_t i = 0; i < std::size(keys); ++i) {
                   const auto& k = keys[i];
                   EXPECT_EQ(Text(kHotKeyButtons[i]), *k.label ? k.label : "Empty");
                   ClearWire();
                   Click(kHotKeyButtons[i]);
                   for (size_t n = 0; n < k.lines.size(); ++n) {
                       EXPECT_EQ(Out(), k.lines[n]) << k.label << n;
                       ClearWire();
                       const bool more = n + 1 < k.lines.size() || k.pauseAfterLast;
                       EXPECT_EQ(T1()->IsTimerRunning(kTerminalLineTimer), more) << k.label << n;
                       if (!more) break;
                       EXPECT_EQ(T1()->TimerInterval(kTerminalLineTimer), 500);
                       clock.Advance(500);
                       Tick(kTerminalLineTimer);
                   }
                   EXPECT_EQ(Out(), "") << k.label;
                   EXPECT_FALSE(T1()->IsTimerRunning(kTerminalLineTimer)) << k.label;
               }
               QuietPoll();
               ClearWire();
               Click(kHotKeyButtons[0]);
               Tab(1);
           }},
          {SCR_TERMINAL_2,
           [&] {
               EXPECT_EQ(Out(), "$JOFF\r\n~500$JASC,GPGGA,1\r\n~500$JSHOW\r\n" + kLeave);
               EXPECT_FALSE(T1()->IsTimerRunning(kTerminalLineTimer));
               EXPECT_EQ(bTerminalActive, 0);
               As<CTERMINAL_2>(SCR_TERMINAL_2)->OnBunchCommands();  // its loop runs the next step
               EXPECT_EQ(Text(IDC_HOTKEYS_FILE), TerminalConfig::FilePath());
               boxes.Clear();
               Choose(IDC_HOTKEY_LEVEL, 2);
               EXPECT_EQ(Texts({kHotKeyLabelEdits[8], kHotKeyCommandEdits[8]}), "NAME|COMMAND");
               for (const auto& ed : edits) {
                   Retype(ed.id, ed.typed);
                   EXPECT_EQ(Text(ed.id), ed.shown) << ed.typed;
               }
               EXPECT_EQ(boxes.texts().size(), 1u);
               Tab(0);
           }},
          {Top<CBUNCH>(), [&] { Click(IDC_BUNCH_EXIT); }},
          {SCR_TERMINAL_1, [&] {
               EXPECT_EQ(File(),
                         "[SavedCommands]\r\n$JX,\x80\r\n$japp\r\n$JI\r\n$JSHOW\r\n$JAPP\r\n"
                         "[Level]\r\n1\r\n[HotKey]\r\n0\r\nBunch\r\n$JOFF\r\n$JASC,GPGGA,1\r\n"
                         "$JSHOW\r\n[HotKey]\r\n2\r\nTwo\r\n$A\r\n$B\r\n[HotKey]\r\n3\r\nBlank\r\n"
                         "\r\n[HotKey]\r\n4\r\nNone\r\n\r\n[Level]\r\n2\r\n[HotKey]\r\n1\r\n"
                         "A label of 25 chara\r\n$JSHOW\r\n[HotKey]\r\n4\r\nNAME\r\n$JI\r\n"
                         "[HotKey]\r\n5\r\nCaf\xE9\r\n" +
                             std::string(97, 'c') + "\r\n");
               TerminalConfig::Init();  // as after a restart: the block comes from the file alone
               TerminalConfig::GetData()->iHotKeyLevel = 2;
               T1()->OnInitDialog();
               EXPECT_EQ(Texts({kHotKeyButtons[1], kHotKeyButtons[4], kHotKeyButtons[5],
                                kHotKeyButtons[0]}),
                         "A label of 25 chara|NAME|Caf\xC3\xA9|Empty");
               ClearWire();
               Click(kHotKeyButtons[5]);
               EXPECT_EQ(Out(), std::string(97, 'c') + "\r\n");
           }}});
}

// Save refuses more than 100 bytes as stored (a line end stores as two).
TEST_F(TerminalTest, BunchEditorOpenedDirectly) {
    Open(SCR_TERMINAL_1);
    SetKey(0, 2, "Two", "$JI\r\n");
    SetKey(0, 5, "Five", "$A\r\n$B\r\n");
    SetKey(0, 7, "", "$HIDDEN\r\n");
    // clang-format off
    const struct { std::string text, stored; bool refused; } saves[] = {
        {"$JOFF\n$JASC,GPGGA,1\n$JSHOW", "$JOFF\r\n$JASC,GPGGA,1\r\n$JSHOW", false},
        {std::string(99, 'x'), std::string(99, 'x'), false}, {std::string(100, 'y'), std::string(99, 'x'), true},
        {std::string(49, 'z') + "\n" + std::string(49, 'z'), std::string(99, 'x'), true}};
    // clang-format on
    CBUNCH dlg;
    ui::StepRunner run;
    run.AddWait([&] { return dlg.IsWindowVisible(); }, 5000, [] { ADD_FAILURE() << "bunch"; });
    run.Add([&] {
        EXPECT_EQ(Items(IDC_BUNCH_ENTRY), "Two|Five");
        EXPECT_EQ(dlg.GetDlgItemText(IDC_BUNCH_TEXT), "$JI\n");
        Choose(IDC_BUNCH_ENTRY, 1);
        EXPECT_EQ(dlg.GetDlgItemText(IDC_BUNCH_TEXT), "$A\n$B\n");
        auto* box = dynamic_cast<QPlainTextEdit*>(dlg.GetDlgItem(IDC_BUNCH_TEXT));
        HotKeyInfo* keys = TerminalConfig::GetData()->HotKeys[0];
        for (const auto& s : saves) {
            box->setPlainText(QString::fromStdString(s.text));
            Click(IDC_BUNCH_SAVE);
            EXPECT_EQ(keys[5].szCommand + Told(),
                      s.stored + (s.refused ? "Warning: Saving Failed!\nThe software cannot "
                                              "save\n more than 100 characters.|"
                                            : ""));
        }
        EXPECT_STREQ(keys[2].szCommand, "$JI\r\n");
        Choose(IDC_HOTKEY_LEVEL, 1);  // a level without labelled keys
        EXPECT_EQ(Items(IDC_BUNCH_ENTRY), "");
        Click(IDC_BUNCH_EXIT);
    });
    run.Start();
    EXPECT_EQ(dlg.DoModal(), ui::IDCANCEL);
}

// A file that cannot be written is named once with the reason, though both pages were left.
TEST_F(TerminalTest, FailedSaveIsReportedOnceWithThePath) {
    const std::string start =
        "The hot keys and the command history could not be saved:\ncannot write " +
        TerminalConfig::FilePath() + ": ";
    Walk({{SCR_TERMINAL_1,
           [&] {
               // A folder in its place once the file was read.
               std::filesystem::create_directories(TerminalConfig::FilePath());
               Tab(1);
           }},
          {SCR_TERMINAL_2, [&] { Tab(0); }},
          {SCR_TERMINAL_1, [&] {
               const std::string told = Told();
               EXPECT_EQ(told.substr(0, start.size()), start);
               EXPECT_EQ(told.find('|'), told.size() - 1) << told;  // one message, with a reason
               EXPECT_GT(told.size(), start.size() + 1);
           }}});
}

// Every way out while the group shows keeps the edits.
TEST_F(TerminalTest, EditsSavedOnEveryWayOut) {
    std::vector<int> ends;
    CTessaray_PCApp::SetEndProcessHook([&](int code) { ends.push_back(code); });
    const auto saved = [](std::string label) {  // and the exit dialog gone
        return [label] {
            return !Top<CCHECK>()() && File().find("\r\n" + label + "\r\n") != std::string::npos;
        };
    };
    const auto type = [this](const char* label, bool close) {
        return [this, label, close] {
            Retype(kHotKeyLabelEdits[0], label);
            if (close) ui::UserClickDesign(306, 88);  // the close box
            if (!close) CTessaray_PCApp::EndProcess(0);
        };
    };
    const auto choose = [](int id) {
        return [id] { ui::UserClick(ui::Host::Instance().TopPage()->GetDlgItem(id)); };
    };
    Walk({{SCR_TERMINAL_1, [&] { Tab(1); }},
          {SCR_TERMINAL_2, type("Cancelled", true)},
          {Top<CCHECK>(), choose(2)},
          {saved("Cancelled"), type("Elsewhere", false)},
          {saved("Elsewhere"), type("Without", true)},
          {Top<CCHECK>(), choose(1005)},
          {saved("Without"), [&] { EXPECT_EQ(ends.size(), 2u); }}});
    CTessaray_PCApp::SetEndProcessHook(nullptr);
}

}  // namespace
