#include "screens/logging/TERMINAL_1.h"

#include <QComboBox>
#include <QLineEdit>
#include <algorithm>
#include <array>
#include <optional>

#include "engine/cp1252.h"
#include "engine/gps.h"
#include "engine/terminalconfig.h"
#include "engine/thread.h"
#include "engine/txnmea.h"
#include "platform/clock.h"
#include "platform/numbers.h"
#include "platform/trace.h"
#include "resources/dlg_terminal.h"
#include "screens/logging/terminal_group.h"
#include "shell/ScreenPage.h"
#include "shell/Tessaray_PC.h"
#include "ui/fonts.h"
#include "ui/messagebox.h"

using namespace resources;

namespace {

constexpr const char* kFirstNotice =
    "TMNL window may be used to display\nNMEA messages. To configure receiver\noutput use the "
    "Setup window in\norder to have settings saved.";
constexpr uint32_t kPressedLookMs = 300;

constexpr int kFontIds[] = {1001,
                            1002,
                            1016,
                            IDC_HOTKEY_LEVEL_LABEL,
                            IDC_HOTKEY_LEVEL,
                            IDC_TERMINAL_VIEW,
                            IDC_TERMINAL_COMMAND,
                            IDC_TERMINAL_COMMAND_COUNT};

uint32_t HotKeyLevel() {
    return std::min<uint32_t>(TerminalConfig::GetData()->iHotKeyLevel, kHotKeyLevels - 1);
}

// Characters of the receiver's line the text takes (each is one byte there).
size_t LineLength(const std::string& utf8) {
    return static_cast<size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

CTERMINAL_1::Outgoing StoredCommand(std::string_view command) {
    // A line that had its own CR LF is followed by the pause; one given its CR LF is not.
    return {StoredCommandLines(command),
            command.size() >= 2 && command.substr(command.size() - 2) == "\r\n"};
}

}  // namespace

CTERMINAL_1::CTERMINAL_1()
    : CBaseDialog(Terminal1Template(), ScreenFamily::Terminal, SCR_TERMINAL_1) {
    SetTabScreens(IDC_TERMINAL_TAB, {SCR_TERMINAL_1, SCR_TERMINAL_2});
    OnControl(IDC_TERMINAL_SEND, ui::STN_CLICKED, [this] { OnSend(); });
    OnControl(IDC_TERMINAL_CLEAR, ui::STN_CLICKED, [this] { OnClear(); });
    OnControl(IDC_TERMINAL_PAUSE, ui::STN_CLICKED, [this] { OnPause(true); });
    OnControl(IDC_TERMINAL_RESUME, ui::STN_CLICKED, [this] { OnPause(false); });
    OnControl(IDC_HOTKEY_LEVEL, ui::CBN_SELCHANGE, [this] { OnLevel(); });
    OnControl(IDC_TERMINAL_COMMAND, ui::CBN_EDITCHANGE, [this] { ShowCommandLength(); });
    OnControl(IDC_TERMINAL_COMMAND, ui::CBN_SELCHANGE, [this] { ShowCommandLength(); });
    // The button released: the send and clear pictures lose their pressed look.
    for (int id : {IDC_TERMINAL_SEND, IDC_TERMINAL_CLEAR})
        OnControl(id, ui::BN_LBUTTONUP, [this] { ReleasePictureButtons(); });
    for (size_t i = 0; i < kHotKeyButtons.size(); ++i)
        OnControl(kHotKeyButtons[i], ui::BN_CLICKED, [this, i] { OnHotKey(i); });
}

CTERMINAL_1::~CTERMINAL_1() = default;

ui::BOOL CTERMINAL_1::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    bKeepTimersRunning = 1;
    const bool first = FirstActivation();
    if (first) m_bFirstTickNotice = 1;
    bTerminalActive = 1;
    for (int i = 0; i < 2; ++i) g_TxNMEA.OutputsOff(false);
    for (int i = 0; i < 2; ++i) g_TxNMEA.SetBeaconStatus(0, false);

    ClearTerminalText();
    ClearView(IDC_TERMINAL_VIEW);
    feed_.Reset();
    StopStoredCommand();
    if (first) FirstActivationSetup();

    g_TerminalConfig.LoadText();
    FillControls();

    SelectOwnTab();
    m_bClearOnFirstTick = 1;
    m_nTimer1 = SetTimer(kTerminalPollTimer, kTerminalPollMs);
    m_nTimer2 = SetTimer(kTerminalStatusTimer, kTerminalStatusMs);
    terminal::GroupShown();
    ActivationDone();
    return ui::TRUE;
}

void CTERMINAL_1::FirstActivationSetup() {
    FillTabLabels(*this, IDC_TERMINAL_TAB, {"Terminal", "Hot Keys"});
    SetPageFont(*this, Terminal1Template());
    QFont font = Widget()->font();
    font.setFamily(ui::SubstituteFamily("Tahoma"));
    SetItemFont(IDC_TERMINAL_VIEW, font);
    SetViewMaxLines(IDC_TERMINAL_VIEW, kTerminalViewLines);
    if (auto* combo = Item<QComboBox>(IDC_TERMINAL_COMMAND); combo && combo->lineEdit())
        combo->lineEdit()->setMaxLength(static_cast<int>(kTypedCommandMax));
    UpdateStatusStrip();
}

void CTERMINAL_1::FillControls() {
    terminal::FillLevels(*this, IDC_HOTKEY_LEVEL);
    OnPause(false);
    PollReceived();

    ResetContent(IDC_TERMINAL_COMMAND);
    for (const std::string& command : SavedCommands(*TerminalConfig::GetData()))
        AddString(IDC_TERMINAL_COMMAND, terminal::Decode(command));
    if (GetCount(IDC_TERMINAL_COMMAND) > 0) SetCurSel(IDC_TERMINAL_COMMAND, 0);
    ShowCommandLength();
    ShowHotKeyLabels();
}

void CTERMINAL_1::ShowHotKeyLabels() {
    TerminalData& data = *TerminalConfig::GetData();
    const uint32_t level = HotKeyLevel();
    SetCurSel(IDC_HOTKEY_LEVEL, static_cast<int>(level));
    for (size_t i = 0; i < kHotKeyButtons.size(); ++i) {
        HotKeyInfo& key = data.HotKeys[level][i];
        key.szLabel[kHotKeyLabelSize - 1] = '\0';
        const std::string label = FieldText(key.szLabel, kHotKeyLabelSize);
        SetDlgItemText(kHotKeyButtons[i], label.empty() ? "Empty" : terminal::Decode(label));
    }
}

void CTERMINAL_1::OnCancel() {
    KillOwnTimers();
    FinishStoredCommand();
    terminal::SaveFile();
    terminal::GroupLeft();
    bTerminalActive = 0;
    g_TxNMEA.OutputsOff(false);
    g_TxNMEA.SetBeaconStatus(0, false);
    CBaseDialog::OnCancel();
}

void CTERMINAL_1::OnCloseBox() {
    FinishStoredCommand();
    // An exit called off comes back through a new activation, which reads the file again.
    terminal::SaveFile();
    CBaseDialog::OnCloseBox();
}

void CTERMINAL_1::OnTimer(ui::UINT id) {
    if (id == kTerminalLineTimer) {
        // A timer may fire a little early; the pause is a minimum.
        if (const uint32_t left = PauseLeft(); pausing_ && left > 0) {
            SetOneShotTimer(kTerminalLineTimer, left);
            return;
        }
        SendNextLine();
        if (pausing_) SetOneShotTimer(kTerminalLineTimer, kTerminalLineMs);
        return;
    }
    if (id == kTerminalPollTimer || id == kTerminalStatusTimer) {
        if (m_bFirstTickNotice) {
            m_bFirstTickNotice = 0;
            ui::MessageBox(kFirstNotice);
        }
        if (m_bClosing) {
            KillOwnTimers();
            KillTimer(id);
            return;
        }
        if (!m_bPaused) PollReceived();
        if (id == kTerminalStatusTimer) UpdateStatusStrip();
        EndScreenTick();
        bTerminalActive = 1;
    }
    CBaseDialog::OnTimer(id);
}

void CTERMINAL_1::PollReceived() {
    if (m_bClearOnFirstTick) {
        m_bClearOnFirstTick = 0;
        ClearTerminalText();
    }
    bool cut = false;
    // Taken before it is fed: `cut` is set by the take.
    const std::u16string taken = TakeTerminalText(&cut);
    const std::string shown = feed_.Next(taken, cut);
    if (!shown.empty()) AppendViewText(IDC_TERMINAL_VIEW, shown);
    UpdateStatusStrip();
}

void CTERMINAL_1::OnSend() {
    const std::string typed = GetDlgItemText(IDC_TERMINAL_COMMAND);
    const std::optional<std::string> bytes = terminal::Encode(typed);
    if (!bytes) return;
    if (bytes->size() > kTypedCommandMax) {
        ui::MessageBox(platform::Format("The receiver takes at most %d characters in a command.",
                                        static_cast<int>(kTypedCommandMax)),
                       ui::MB_OK | ui::MB_ICONEXCLAMATION);
        return;
    }
    ShowItem(IDC_TERMINAL_SEND, false);
    ShowItem(IDC_TERMINAL_SEND_DOWN, true);
    // After clicks still waiting, in turn, on the line timer; else after the command going out.
    if (!queued_.empty()) {
        queued_.push_back({{*bytes + "\r\n"}, false, true});
    } else {
        FinishStoredCommand();
        g_TxNMEA.SendString(*bytes + "\r\n");
    }

    if (!typed.empty() && FindStringExactCase(IDC_TERMINAL_COMMAND, -1, typed) == ui::CB_ERR)
        InsertString(IDC_TERMINAL_COMMAND, 0, typed);
    std::vector<std::string> history;
    const int count = std::min(GetCount(IDC_TERMINAL_COMMAND), kSavedCommands);
    for (int i = 0; i < count; ++i) {
        // Every item was typed here or read from the file, so each has its bytes.
        if (auto item = Utf8ToCp1252(GetLBText(IDC_TERMINAL_COMMAND, i)))
            history.push_back(std::move(*item));
    }
    StoreSavedCommands(*TerminalConfig::GetData(), history);

    ClearView(IDC_TERMINAL_VIEW);
    feed_.Reset();
    RepaintNow();
    platform::Sleep(kPressedLookMs);
    ReleasePictureButtons();
    SetDlgItemText(IDC_TERMINAL_COMMAND, "$");
    ShowCommandLength();
}

void CTERMINAL_1::OnClear() {
    ClearTerminalText();
    ClearView(IDC_TERMINAL_VIEW);
    feed_.Reset();
    PollReceived();
    ShowItem(IDC_TERMINAL_CLEAR, false);
    ShowItem(IDC_TERMINAL_CLEAR_DOWN, true);
    // The other screens' timers stop until the next activation; this one's keep running.
    theApp().bSuspendTimers = 1;
    RepaintNow();
    platform::Sleep(kPressedLookMs);
    ReleasePictureButtons();
}

void CTERMINAL_1::ReleasePictureButtons() {
    ShowItem(IDC_TERMINAL_SEND, true);
    ShowItem(IDC_TERMINAL_SEND_DOWN, false);
    ShowItem(IDC_TERMINAL_CLEAR, true);
    ShowItem(IDC_TERMINAL_CLEAR_DOWN, false);
}

void CTERMINAL_1::OnHotKey(size_t entry) {
    if (entry >= kHotKeyButtons.size()) return;
    HotKeyInfo& key = TerminalConfig::GetData()->HotKeys[HotKeyLevel()][entry];
    key.szCommand[kHotKeyCommandSize - 1] = '\0';
    std::string command = FieldText(key.szCommand, kHotKeyCommandSize);
    // A click while a stored command still goes out follows it, as the clicks were made.
    if (SendingStoredCommand()) {
        queued_.push_back(StoredCommand(command));
        return;
    }
    SendStoredCommand(command);
}

void CTERMINAL_1::SendStoredCommand(std::string_view command) {
    StopStoredCommand();
    StartStoredCommand(StoredCommand(command));
    SendNextLine();
    if (pausing_) SetOneShotTimer(kTerminalLineTimer, kTerminalLineMs);
}

void CTERMINAL_1::StartStoredCommand(Outgoing command) {
    lines_ = std::move(command.lines);
    nextLine_ = 0;
    pauseAfterLast_ = command.pauseAfterLast;
}

void CTERMINAL_1::SendNextLine() {
    pausing_ = false;
    while (true) {
        // A command done, with its pause: the next click's command begins.
        while (nextLine_ >= lines_.size() && !queued_.empty()) {
            Outgoing next = std::move(queued_.front());
            queued_.pop_front();
            StartStoredCommand(std::move(next));
        }
        if (nextLine_ >= lines_.size()) return;
        g_TxNMEA.SendString(lines_[nextLine_]);
        lastLineTick_ = platform::TickCount();
        ++nextLine_;
        pausing_ = nextLine_ < lines_.size() || pauseAfterLast_;
        if (pausing_) return;
    }
}

void CTERMINAL_1::FinishStoredCommand() {
    KillTimer(kTerminalLineTimer);
    const std::vector<std::string> typed = DropQueued();
    while (SendingStoredCommand()) {
        if (const uint32_t left = PauseLeft(); pausing_ && left > 0) {
            RepaintNow();
            platform::Sleep(left);
        }
        SendNextLine();
    }
    StopStoredCommand();
    for (const std::string& line : typed) g_TxNMEA.SendString(line);
}

uint32_t CTERMINAL_1::PauseLeft() const {
    const uint32_t waited = platform::TickCount() - lastLineTick_;
    return waited < kTerminalLineMs ? kTerminalLineMs - waited : 0;
}

std::vector<std::string> CTERMINAL_1::DropQueued() {
    std::vector<std::string> typed;
    int dropped = 0;
    for (const Outgoing& command : queued_) {
        if (command.typed)
            typed.insert(typed.end(), command.lines.begin(), command.lines.end());
        else
            ++dropped;
    }
    queued_.clear();
    if (dropped > 0)
        platform::Trace("Tessaray_PC: terminal: %d waiting hot-key commands not sent\n", dropped);
    return typed;
}

void CTERMINAL_1::OnTimersStopped() {
    // The port is the start-up dialog's now: nothing waiting goes out, typed or not.
    if (!queued_.empty())
        platform::Trace("Tessaray_PC: terminal: %d waiting commands not sent\n",
                        static_cast<int>(queued_.size()));
    StopStoredCommand();
    bTerminalActive = 0;
}

void CTERMINAL_1::StopStoredCommand() {
    KillTimer(kTerminalLineTimer);
    lines_.clear();
    queued_.clear();
    nextLine_ = 0;
    pausing_ = false;
}

void CTERMINAL_1::OnLevel() {
    const int sel = GetCurSel(IDC_HOTKEY_LEVEL);
    if (sel < 0 || sel >= kHotKeyLevels) return;
    TerminalConfig::GetData()->iHotKeyLevel = static_cast<uint32_t>(sel);
    ShowHotKeyLabels();
}

void CTERMINAL_1::OnPause(bool pause) {
    m_bPaused = pause ? 1 : 0;
    ShowItem(IDC_TERMINAL_PAUSE, !pause);
    ShowItem(IDC_TERMINAL_RESUME, pause);
}

void CTERMINAL_1::ShowCommandLength() {
    SetDlgItemText(IDC_TERMINAL_COMMAND_COUNT,
                   platform::Format(
                       "%d/%d", static_cast<int>(LineLength(GetDlgItemText(IDC_TERMINAL_COMMAND))),
                       static_cast<int>(kTypedCommandMax)));
}
