// The terminal, its hot-key editor and the command-bunch editor headless: the commands on
// entry and leave, typed commands and their history, the received text in the view, hot keys
// sent line by line, the terminal file, and screenshots.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/gps.h"
#include "engine/scomm.h"
#include "engine/terminalconfig.h"
#include "engine/thread.h"
#include "engine/txnmea.h"
#include "resources/dlg_terminal.h"
#include "screens/logging/BUNCH.h"
#include "screens/logging/TERMINAL_1.h"
#include "screens/logging/TERMINAL_2.h"
#include "shell/CHECK.h"
#include "shell/Tessaray_PC.h"
#include "support/qt/screen_harness.h"
#include "support/qt/shell_harness.h"
#include "ui/automation.h"
#include "ui/messagebox.h"

using namespace resources;

namespace {

const std::vector<std::string> kEntry{"$JOFF\r\n",     "~250", "$JOFF\r\n",     "~250",
                                      "$PKRV,1,0\r\n", "~10",  "$PKRV,1,0\r\n", "~10"};
constexpr const char* kRefusal =
    "The receiver cannot take the character \"\xE2\x9C\x93\".\nOnly the characters of the "
    "Windows-1252 code page can be sent.";
const std::vector<std::string> kLeave{"$JOFF\r\n", "~250", "$PKRV,1,0\r\n", "~10"};
constexpr const char* kNotice =
    "TMNL window may be used to display\nNMEA messages. To configure receiver\noutput use the "
    "Setup window in\norder to have settings saved.";

class TerminalTest : public shelltest::ScreenTest {
protected:
    CTERMINAL_1* T1() { return As<CTERMINAL_1>(SCR_TERMINAL_1); }
    CTERMINAL_2* T2() { return As<CTERMINAL_2>(SCR_TERMINAL_2); }

    // Replaces what an edit or the command line holds, as typing over a selection does.
    void Retype(int id, const std::string& text) {
        QWidget* w = Page()->GetDlgItem(id);
        if (auto* c = qobject_cast<QComboBox*>(w)) c->lineEdit()->selectAll();
        if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
        Type(id, text);
    }
    void SelectTab(int index) { ui::UserSelectTab(Page()->GetDlgItem(IDC_TERMINAL_TAB), index); }
    // The wire less the zero yields of the ticks.
    std::vector<std::string> Sent() const {
        std::vector<std::string> w = Wire();
        w.erase(std::remove(w.begin(), w.end(), "~0"), w.end());
        return w;
    }
    using Lines = std::vector<std::string>;
};

std::string FilePath() {
    return TerminalConfig::FilePath();
}

void WriteTerminalFile(const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(FilePath()).parent_path());
    shelltest::WriteFile(FilePath(), bytes);
}

void SetKey(int level, int key, const char* label, const char* command) {
    HotKeyInfo& k = TerminalConfig::GetData()->HotKeys[level][key];
    std::strncpy(k.szLabel, label, sizeof k.szLabel);
    std::strncpy(k.szCommand, command, sizeof k.szCommand);
}

std::vector<std::string> Items(ui::Dialog* page, int id) {
    std::vector<std::string> out;
    for (int i = 0; i < page->GetCount(id); ++i) out.push_back(page->GetLBText(id, i));
    return out;
}

std::string View(ui::Dialog* page) {
    return page->GetDlgItemText(IDC_TERMINAL_VIEW);
}

// What the reader thread does with received bytes.
void Receive(const std::string& bytes) {
    static CGPSThread reader;
    reader.FrameBytes(bytes.data(), bytes.size());
}

TEST_F(TerminalTest, EntryTypedCommandsHistoryAndLeave) {
    Start();
    Open(SCR_TERMINAL_1);
    WriteTerminalFile("[SavedCommands]\r\n$JSHOW\r\n$JAPP\r\n");
    ui::MessageBoxRecorder boxes;
    ui::StepRunner run;
    WaitShown(run, SCR_TERMINAL_1);
    run.Add([&] {
        CTERMINAL_1* t = T1();
        EXPECT_EQ(Sent(), kEntry);
        EXPECT_EQ(bTerminalActive, 1);
        EXPECT_EQ(t->TimerInterval(kTerminalPollTimer), 500);
        EXPECT_EQ(t->TimerInterval(kTerminalStatusTimer), 10000);
        EXPECT_EQ(Items(t, IDC_TERMINAL_COMMAND), (std::vector<std::string>{"$JSHOW", "$JAPP"}));
        EXPECT_EQ(t->GetDlgItemText(IDC_TERMINAL_COMMAND), "$JSHOW");
        EXPECT_EQ(t->GetDlgItemText(kHotKeyButtons[0]), "Empty");
        // The notice comes with the first tick of the first opening only.
        Tick(kTerminalPollTimer);
        Tick(kTerminalPollTimer);
        EXPECT_EQ(boxes.texts(), std::vector<std::string>{kNotice});
        boxes.Clear();
        ClearWire();

        struct Send {
            const char* typed;
            std::string wire;
            std::vector<std::string> history;
        };
        const Send sends[] = {
            {"$JI", "$JI\r\n", {"$JI", "$JSHOW", "$JAPP"}},
            {"$JAPP", "$JAPP\r\n", {"$JI", "$JSHOW", "$JAPP"}},  // kept where it is
            {"$japp", "$japp\r\n", {"$japp", "$JI", "$JSHOW", "$JAPP"}},
            {"$JX,\xE2\x82\xAC",
             "$JX,\x80\r\n",
             {"$JX,\xE2\x82\xAC", "$japp", "$JI", "$JSHOW", "$JAPP"}},
        };
        for (const Send& s : sends) {
            Receive("$GPGGA,1\r\n");
            Tick(kTerminalPollTimer);
            EXPECT_EQ(View(t), "$GPGGA,1\n") << s.typed;
            Retype(IDC_TERMINAL_COMMAND, s.typed);
            Click(IDC_TERMINAL_SEND);
            EXPECT_EQ(Sent(), (Lines{s.wire, "~300"})) << s.typed;
            EXPECT_EQ(Items(t, IDC_TERMINAL_COMMAND), s.history) << s.typed;
            EXPECT_EQ(View(t), "") << s.typed;
            EXPECT_EQ(t->GetDlgItemText(IDC_TERMINAL_COMMAND), "$") << s.typed;
            EXPECT_EQ(t->GetDlgItemText(IDC_TERMINAL_COMMAND_COUNT), "1/97") << s.typed;
            EXPECT_TRUE(t->IsItemVisible(IDC_TERMINAL_SEND));
            EXPECT_FALSE(t->IsItemVisible(IDC_TERMINAL_SEND_DOWN));
            ClearWire();
        }
        // A character the receiver's code page lacks is refused; nothing goes out.
        Retype(IDC_TERMINAL_COMMAND, "$JI\xE2\x9C\x93");
        Click(IDC_TERMINAL_SEND);
        EXPECT_EQ(Sent(), Lines{});
        EXPECT_EQ(boxes.texts(), Lines{kRefusal});
        // The line holds what the receiver takes, and says so.
        Retype(IDC_TERMINAL_COMMAND, std::string(120, 'J'));
        EXPECT_EQ(t->GetDlgItemText(IDC_TERMINAL_COMMAND), std::string(97, 'J'));
        EXPECT_EQ(t->GetDlgItemText(IDC_TERMINAL_COMMAND_COUNT), "97/97");
        ClearWire();
        SelectTab(1);
    });
    WaitShown(run, SCR_TERMINAL_2);
    run.Add([&] {
        EXPECT_EQ(Sent(), kLeave);
        EXPECT_EQ(bTerminalActive, 0);
        EXPECT_EQ(shelltest::ReadFile(FilePath()),
                  "[SavedCommands]\r\n$JX,\x80\r\n$japp\r\n$JI\r\n$JSHOW\r\n$JAPP\r\n");
        EndAll();
    });
    Run(run);
}

TEST_F(TerminalTest, ViewShowsWholeLinesOfTheReceivedText) {
    Start();
    Open(SCR_TERMINAL_1);
    ui::MessageBoxRecorder boxes;
    ui::StepRunner run;
    WaitShown(run, SCR_TERMINAL_1);
    run.Add([&] {
        CTERMINAL_1* t = T1();
        // Received between activation and the first tick: dropped.
        Receive("$GPGGA,early\r\n");
        struct Step {
            const char* received;
            int action;  // 0 tick, 1 pause, 2 resume, 3 clear
            const char* view;
        };
        const Step steps[] = {
            {"", 0, ""},
            {"5,M*4F\r\n$GPGGA,1", 0, "$GPGGA,1"},
            {"23,A*00\r\n$GPV", 0, "$GPGGA,123,A*00\n$GPV"},
            {"TG,x\r\n", 0, "$GPGGA,123,A*00\n$GPVTG,x\n"},
            {"", 1, "$GPGGA,123,A*00\n$GPVTG,x\n"},
            {"$GPZDA,1\r\n", 0, "$GPGGA,123,A*00\n$GPVTG,x\n"},
            {"", 2, "$GPGGA,123,A*00\n$GPVTG,x\n$GPZDA,1\n"},
            {"\x01\x7F\t\xE9\r\n", 0, "$GPGGA,123,A*00\n$GPVTG,x\n$GPZDA,1\n..\t\xC3\xA9\n"},
            {"tail\r\n$GPGSA", 3, ""},
            {"tail\r\n$GPGSV,1\r\n", 0, "$GPGSV,1\n"},
        };
        for (const Step& s : steps) {
            Receive(s.received);
            switch (s.action) {
                case 0:
                    Tick(kTerminalPollTimer);
                    break;
                case 1:
                case 2:
                    Click(s.action == 1 ? IDC_TERMINAL_PAUSE : IDC_TERMINAL_RESUME);
                    Tick(kTerminalPollTimer);
                    break;
                default:
                    Click(IDC_TERMINAL_CLEAR);
                    EXPECT_EQ(theApp().bSuspendTimers, 1);
                    EXPECT_TRUE(t->IsItemVisible(IDC_TERMINAL_CLEAR));
                    // This screen's timers keep running.
                    Tick(kTerminalPollTimer);
                    EXPECT_TRUE(t->IsTimerRunning(kTerminalPollTimer));
                    break;
            }
            EXPECT_EQ(View(t), s.view) << s.received;
        }
        // A long run keeps the last 2000 lines.
        for (int i = 0; i < 2600; ++i) {
            Receive("$GPZDA," + std::to_string(i) + "\r\n");
            if (i % 300 == 0) {
                Tick(kTerminalPollTimer);
            }
        }
        Tick(kTerminalPollTimer);
        const std::string view = View(t);
        const auto lines = std::count(view.begin(), view.end(), '\n');
        EXPECT_GE(lines, 1999);
        EXPECT_LE(lines, 2000);
        EXPECT_EQ(view.substr(view.size() - 12), "$GPZDA,2599\n");
        EndAll();
    });
    Run(run);
}

TEST_F(TerminalTest, StoredCommandsGoOutLineByLine) {
    Start();
    Open(SCR_TERMINAL_1);
    ui::MessageBoxRecorder boxes;
    struct Case {
        const char* label;
        const char* command;
        std::vector<std::string> lines;  // one per click or timer step
        bool pauseAfterLast;
    };
    const Case cases[] = {
        {"Bunch",
         "$JOFF\r\n$JASC,GPGGA,1\r\n$JSHOW",
         {"$JOFF\r\n", "$JASC,GPGGA,1\r\n", "$JSHOW\r\n"},
         false},
        {"", "$JI", {"$JI\r\n"}, false},  // shows "Empty", still sends
        {"Two", "$A\r\n$B\r\n", {"$A\r\n", "$B\r\n"}, true},
        {"Blank", "\r\n", {"\r\n"}, true},
        {"None", "", {}, false},
    };

    ui::StepRunner run;
    WaitShown(run, SCR_TERMINAL_1);
    run.Add([&] {
        CTERMINAL_1* t = T1();
        // The keys as the editors leave them in the block (a free key keeps its command).
        for (size_t i = 0; i < std::size(cases); ++i)
            SetKey(1, static_cast<int>(i), cases[i].label, cases[i].command);
        Choose(IDC_HOTKEY_LEVEL, 1);
        for (size_t i = 0; i < std::size(cases); ++i) {
            const Case& c = cases[i];
            EXPECT_EQ(t->GetDlgItemText(kHotKeyButtons[i]), *c.label ? c.label : "Empty");
            ClearWire();
            Click(kHotKeyButtons[i]);
            for (size_t n = 0; n < c.lines.size(); ++n) {
                EXPECT_EQ(Sent(), Lines{c.lines[n]}) << c.label << n;
                ClearWire();
                const bool more = n + 1 < c.lines.size() || c.pauseAfterLast;
                EXPECT_EQ(t->IsTimerRunning(kTerminalLineTimer), more) << c.label << n;
                if (!more) break;
                EXPECT_EQ(t->TimerInterval(kTerminalLineTimer), 500);
                // Another hot key waits for this one.
                Click(kHotKeyButtons[0]);
                EXPECT_EQ(Sent(), Lines{});
                clock.Advance(500);
                Tick(kTerminalLineTimer);
            }
            // Nothing more, and the window never slept for the spacing.
            EXPECT_EQ(Sent(), Lines{}) << c.label;
            EXPECT_FALSE(t->IsTimerRunning(kTerminalLineTimer)) << c.label;
        }
        // Leaving in the middle of a bunch stops it.
        QuietPoll();
        ClearWire();
        Click(kHotKeyButtons[0]);
        SelectTab(1);
    });
    WaitShown(run, SCR_TERMINAL_2);
    run.Add([&] {
        Lines expected{"$JOFF\r\n"};
        expected.insert(expected.end(), kLeave.begin(), kLeave.end());
        EXPECT_EQ(Sent(), expected);
        EXPECT_FALSE(T1()->IsTimerRunning(kTerminalLineTimer));
        EndAll();
    });
    Run(run);
}

TEST_F(TerminalTest, HotKeyEditorStoresEveryKeystrokeAndTheTerminalShowsIt) {
    Start();
    Open(SCR_TERMINAL_1);
    ui::MessageBoxRecorder boxes;
    ui::StepRunner run;
    WaitShown(run, SCR_TERMINAL_1);
    run.Add([&] { SelectTab(1); });
    WaitShown(run, SCR_TERMINAL_2);
    run.Add([&] {
        CTERMINAL_2* e = T2();
        EXPECT_EQ(e->GetDlgItemText(IDC_HOTKEYS_FILE), FilePath());
        EXPECT_EQ(e->GetCurSel(IDC_TERMINAL_TAB), 1);
        Choose(IDC_HOTKEY_LEVEL, 2);
        EXPECT_EQ(TerminalConfig::GetData()->iHotKeyLevel, 2u);
        for (size_t row = 0; row < 9; ++row) {
            EXPECT_EQ(e->GetDlgItemText(kHotKeyLabelEdits[row]), "NAME");
            EXPECT_EQ(e->GetDlgItemText(kHotKeyCommandEdits[row]), "COMMAND");
        }
        struct Edit {
            int id;
            std::string typed;
            std::string shown;  // what the edit holds then
        };
        const Edit edits[] = {
            {kHotKeyLabelEdits[1], "A label of 25 characters!", "A label of 25 chara"},
            {kHotKeyCommandEdits[1], "$JSHOW", "$JSHOW"},
            {kHotKeyCommandEdits[4], "$JI", "$JI"},  // label still empty: takes "NAME"
            {kHotKeyCommandEdits[5], std::string(120, 'c'), std::string(97, 'c')},
            {kHotKeyLabelEdits[5], "Caf\xC3\xA9", "Caf\xC3\xA9"},
            {kHotKeyLabelEdits[6], "\xE2\x9C\x93", "NAME"},  // refused, edit restored
        };
        for (const Edit& ed : edits) {
            Retype(ed.id, ed.typed);
            EXPECT_EQ(e->GetDlgItemText(ed.id), ed.shown) << ed.typed;
        }
        EXPECT_EQ(boxes.texts().size(), 1u);
        const HotKeyInfo* keys = TerminalConfig::GetData()->HotKeys[2];
        EXPECT_STREQ(keys[1].szLabel, "A label of 25 chara");
        EXPECT_STREQ(keys[1].szCommand, "$JSHOW\r\n");
        EXPECT_STREQ(keys[4].szLabel, "NAME");
        EXPECT_STREQ(keys[4].szCommand, "$JI\r\n");
        EXPECT_EQ(std::string(keys[5].szCommand), std::string(97, 'c') + "\r\n");
        EXPECT_STREQ(keys[5].szLabel, "Caf\xE9");
        EXPECT_STREQ(keys[6].szLabel, "");
        SelectTab(0);
    });
    WaitShown(run, SCR_TERMINAL_1);
    run.Add([&] {
        EXPECT_EQ(shelltest::ReadFile(FilePath()),
                  "[Level]\r\n2\r\n"
                  "[HotKey]\r\n1\r\nA label of 25 chara\r\n$JSHOW\r\n"
                  "[HotKey]\r\n4\r\nNAME\r\n$JI\r\n"
                  "[HotKey]\r\n5\r\nCaf\xE9\r\n" +
                      std::string(97, 'c') + "\r\n");
        CTERMINAL_1* t = T1();
        EXPECT_EQ(t->GetCurSel(IDC_HOTKEY_LEVEL), 2);
        EXPECT_EQ(t->GetDlgItemText(kHotKeyButtons[1]), "A label of 25 chara");
        EXPECT_EQ(t->GetDlgItemText(kHotKeyButtons[4]), "NAME");
        EXPECT_EQ(t->GetDlgItemText(kHotKeyButtons[5]), "Caf\xC3\xA9");
        EXPECT_EQ(t->GetDlgItemText(kHotKeyButtons[0]), "Empty");
        // As after a restart: the block comes from the file alone.
        TerminalConfig::Init();
        TerminalConfig::GetData()->iHotKeyLevel = 2;
        t->OnInitDialog();
        EXPECT_EQ(t->GetDlgItemText(kHotKeyButtons[1]), "A label of 25 chara");
        ClearWire();
        Click(kHotKeyButtons[1]);
        EXPECT_EQ(Sent(), Lines{"$JSHOW\r\n"});
        EXPECT_FALSE(t->IsTimerRunning(kTerminalLineTimer));
        Choose(IDC_HOTKEY_LEVEL, 0);
        EXPECT_EQ(t->GetDlgItemText(kHotKeyButtons[1]), "Empty");
        EndAll();
    });
    Run(run);
}

TEST_F(TerminalTest, BunchEditorOpenedDirectly) {
    Start();
    Open(SCR_TERMINAL_1);
    ui::MessageBoxRecorder boxes;
    SetKey(0, 2, "Two", "$JI\r\n");
    SetKey(0, 5, "Five", "$A\r\n$B\r\n");
    SetKey(0, 7, "", "$HIDDEN\r\n");
    SetKey(1, 0, "", "$FREE");
    CBUNCH dlg;
    bool exited = false;
    ui::StepRunner run;
    run.AddWait([&] { return dlg.IsWindowVisible(); }, 5000, [] { ADD_FAILURE() << "bunch"; });
    run.Add([&] {
        EXPECT_EQ(Items(&dlg, IDC_BUNCH_ENTRY), (std::vector<std::string>{"Two", "Five"}));
        EXPECT_EQ(dlg.GetDlgItemText(IDC_BUNCH_TEXT), "$JI\n");
        Choose(IDC_BUNCH_ENTRY, 1);
        EXPECT_EQ(dlg.GetDlgItemText(IDC_BUNCH_TEXT), "$A\n$B\n");
        HotKeyInfo* keys = TerminalConfig::GetData()->HotKeys[0];

        struct Save {
            std::string text;  // as typed, Enter giving a line end
            std::string stored;
            bool refused;
        };
        const Save saves[] = {
            {"$JOFF\n$JASC,GPGGA,1\n$JSHOW", "$JOFF\r\n$JASC,GPGGA,1\r\n$JSHOW", false},
            {std::string(99, 'x'), std::string(99, 'x'), false},
            {std::string(100, 'y'), std::string(99, 'x'), true},
            // 98 characters and one line end: 100 bytes as stored.
            {std::string(49, 'z') + "\n" + std::string(49, 'z'), std::string(99, 'x'), true},
        };
        for (const Save& s : saves) {
            boxes.Clear();
            auto* box = dynamic_cast<QPlainTextEdit*>(dlg.GetDlgItem(IDC_BUNCH_TEXT));
            ASSERT_NE(box, nullptr);
            box->setPlainText(QString::fromStdString(s.text));
            Click(IDC_BUNCH_SAVE);
            EXPECT_EQ(std::string(keys[5].szCommand), s.stored);
            EXPECT_EQ(boxes.texts().size(), s.refused ? 1u : 0u);
            if (s.refused) {
                EXPECT_EQ(boxes.texts()[0],
                          "Warning: Saving Failed!\nThe software cannot save\n more than 100 "
                          "characters.");
            }
        }
        EXPECT_STREQ(keys[2].szCommand, "$JI\r\n");
        // A level without labelled keys: nothing to choose, Save stores nothing anywhere.
        Choose(IDC_HOTKEY_LEVEL, 1);
        EXPECT_EQ(TerminalConfig::GetData()->iHotKeyLevel, 1u);
        EXPECT_EQ(dlg.GetCount(IDC_BUNCH_ENTRY), 0);
        dynamic_cast<QPlainTextEdit*>(dlg.GetDlgItem(IDC_BUNCH_TEXT))->setPlainText("$NEW");
        Click(IDC_BUNCH_SAVE);
        EXPECT_STREQ(TerminalConfig::GetData()->HotKeys[1][0].szCommand, "$FREE");
        Choose(IDC_HOTKEY_LEVEL, 0);
        Click(IDC_BUNCH_EXIT);
        exited = true;
    });
    run.Start();
    EXPECT_EQ(dlg.DoModal(), ui::IDCANCEL);
    EXPECT_TRUE(exited);
}

TEST_F(TerminalTest, FailedSaveIsReportedOnceWithThePath) {
    Start();
    Open(SCR_TERMINAL_1);
    // A folder where the file should be: it cannot be replaced.
    std::filesystem::create_directories(FilePath());
    ui::MessageBoxRecorder boxes;
    ui::StepRunner run;
    WaitShown(run, SCR_TERMINAL_1);
    run.Add([&] {
        boxes.Clear();
        SelectTab(1);
    });
    WaitShown(run, SCR_TERMINAL_2);
    run.Add([&] { SelectTab(0); });
    WaitShown(run, SCR_TERMINAL_1);
    run.Add([&] {
        // Once, with the path and the reason, though both pages were left.
        const std::string start =
            "The hot keys and the command history could not be saved:\ncannot write " + FilePath() +
            ": ";
        const Lines shown = boxes.texts();
        EXPECT_EQ(shown.size(), 1u);
        for (const std::string& text : shown) {
            EXPECT_EQ(text.substr(0, start.size()), start);
            EXPECT_GT(text.size(), start.size());
        }
        EndAll();
    });
    Run(run);
}

// Every way out while the group shows keeps the edits: the exit dialog's choices and an end
// of the program from anywhere else.
TEST_F(TerminalTest, EditsSavedOnEveryWayOut) {
    Start();
    Open(SCR_TERMINAL_1);
    ui::MessageBoxRecorder boxes;
    std::vector<int> ends;
    CTessaray_PCApp::SetEndProcessHook([&](int code) { ends.push_back(code); });
    ui::StepRunner run;
    WaitShown(run, SCR_TERMINAL_1);
    run.Add([&] { SelectTab(1); });
    WaitShown(run, SCR_TERMINAL_2);
    struct Way {
        const char* label;
        int exitButton;  // 0: the program ends elsewhere
    };
    static const Way ways[] = {{"Cancelled", 2}, {"Elsewhere", 0}, {"Without", 1005}};
    for (const Way& w : ways) {
        run.Add([&, w] {
            Retype(kHotKeyLabelEdits[0], w.label);
            if (w.exitButton == 0) {
                CTessaray_PCApp::EndProcess(0);
                return;
            }
            ui::UserClickDesign(306, 88);  // the close box
        });
        if (w.exitButton != 0) {
            run.AddWait([] { return dynamic_cast<CCHECK*>(ui::Host::Instance().TopPage()); }, 5000,
                        [] { ADD_FAILURE() << "exit dialog"; });
            run.Add(
                [w] { ui::UserClick(ui::Host::Instance().TopPage()->GetDlgItem(w.exitButton)); });
            run.AddWait([] { return !dynamic_cast<CCHECK*>(ui::Host::Instance().TopPage()); }, 5000,
                        [] { ADD_FAILURE() << "exit dialog stays"; });
        }
        run.AddWait(
            [w] {
                const std::string line = std::string("\r\n") + w.label + "\r\n";
                return shelltest::ReadFile(FilePath()).find(line) != std::string::npos;
            },
            5000, [w] { ADD_FAILURE() << "not saved: " << w.label; });
    }
    run.Add([&] {
        EXPECT_EQ(ends.size(), 2u);
        EndAll();
    });
    Run(run);
    CTessaray_PCApp::SetEndProcessHook(nullptr);
}

class TerminalShotTest : public TerminalTest {
protected:
    void Shots(double scale, const std::string& suffix) {
        Start(scale);
        Open(SCR_TERMINAL_1);
        ui::MessageBoxRecorder boxes;
        SetKey(0, 0, "SBAS Diff", "$JDIFF,WAAS\r\n");
        SetKey(0, 1, "All NMEA Off", "$JOFF\r\n");
        SetKey(0, 2, "Tune 301.5/100", "$GPMSK,301.5,F,100,F,0\r\n");
        SetKey(0, 3, "Beacon Diff", "$JDIFF,BEACON\r\n");
        SetKey(0, 4, "GGA 5Hz", "$JASC,GPGGA,5\r\n");
        SetKey(0, 5, "Show Config", "$JSHOW\r\n");
        SetKey(0, 6, "Applications", "$JAPP\r\n");
        SetKey(0, 7, "GSV 5Hz", "$JASC,GPGSV,5\r\n");
        g_TerminalConfig.SaveText();
        ui::StepRunner run;
        WaitShown(run, SCR_TERMINAL_1);
        run.Add([&] {
            Tick(kTerminalPollTimer);
            for (int i = 0; i < 12; ++i) {
                Receive("$GPGGA,1535" + std::to_string(10 + i) +
                        ".00,5102.5870,N,11403.4560,W,2,09,0.9,1100.0,M,-17.0,M,3.0,0100*4A\r\n");
                Receive("$GPVTG,54.7,T,,M,12.5,N,23.1,K,D*2F\r\n");
            }
            Tick(kTerminalPollTimer);
            Retype(IDC_TERMINAL_COMMAND, "$JASC,GPGSA,1");
            shelltest::Shot("terminal" + suffix);
            SelectTab(1);
        });
        WaitShown(run, SCR_TERMINAL_2);
        run.Add([&] {
            shelltest::Shot("hotkeys" + suffix);
            T2()->OnBunchCommands();
        });
        run.AddWait([] { return dynamic_cast<CBUNCH*>(ui::Host::Instance().TopPage()); }, 5000,
                    [] { ADD_FAILURE() << "bunch"; });
        run.Add([&] {
            Choose(IDC_BUNCH_ENTRY, 2);
            shelltest::Shot("bunch" + suffix);
            Click(IDC_BUNCH_EXIT);
        });
        WaitShown(run, SCR_TERMINAL_2);
        run.AddWait([] { return !dynamic_cast<CBUNCH*>(ui::Host::Instance().TopPage()); }, 5000,
                    [] { ADD_FAILURE() << "bunch stays"; });
        run.Add([&] { EndAll(); });
        Run(run);
    }
};

TEST_F(TerminalShotTest, ScreenshotsScale1) {
    Shots(1.0, "_scale_1.0");
}

TEST_F(TerminalShotTest, ScreenshotsScale15) {
    Shots(1.5, "_scale_1.5");
}

}  // namespace
