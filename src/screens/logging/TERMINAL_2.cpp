#include "screens/logging/TERMINAL_2.h"

#include <QLineEdit>
#include <algorithm>
#include <optional>
#include <string>

#include "engine/terminal_text.h"
#include "engine/terminalconfig.h"
#include "resources/dlg_terminal.h"
#include "screens/logging/BUNCH.h"
#include "screens/logging/terminal_group.h"
#include "shell/ScreenPage.h"
#include "ui/fonts.h"

using namespace resources;

namespace {

HotKeyInfo& KeyOfRow(size_t row) {
    TerminalData& data = *TerminalConfig::GetData();
    return data.HotKeys[std::min<uint32_t>(data.iHotKeyLevel, kHotKeyLevels - 1)][row];
}

}  // namespace

CTERMINAL_2::CTERMINAL_2()
    : CBaseDialog(Terminal2Template(), ScreenFamily::Terminal, SCR_TERMINAL_2) {
    SetTabScreens(IDC_TERMINAL_TAB, {SCR_TERMINAL_1, SCR_TERMINAL_2});
    OnControl(IDC_HOTKEY_LEVEL, ui::CBN_SELCHANGE, [this] { OnLevel(); });
    OnControl(IDC_HOTKEYS_BUNCH, ui::BN_CLICKED, [this] { OnBunchCommands(); });
    for (size_t row = 0; row < kHotKeyLabelEdits.size(); ++row) {
        OnControl(kHotKeyLabelEdits[row], ui::EN_CHANGE, [this, row] { OnLabelChange(row); });
        OnControl(kHotKeyCommandEdits[row], ui::EN_CHANGE, [this, row] { OnCommandChange(row); });
    }
}

CTERMINAL_2::~CTERMINAL_2() = default;

ui::BOOL CTERMINAL_2::OnInitDialog() {
    CBaseDialog::OnInitDialog();
    if (FirstActivation()) FirstActivationSetup();
    g_TerminalConfig.LoadText();
    terminal::FillLevels(*this, IDC_HOTKEY_LEVEL);
    UpdateStatusStrip();
    FillRows();
    SelectOwnTab();
    m_nTimer1 = SetTimer(kHotKeysTimer, kHotKeysMs);
    terminal::GroupShown();
    ActivationDone();
    return ui::TRUE;
}

void CTERMINAL_2::FirstActivationSetup() {
    FillTabLabels(*this, IDC_TERMINAL_TAB, {"Terminal", "Hot Keys"});
    SetPageFont(*this, Terminal2Template());
    for (size_t row = 0; row < kHotKeyLabelEdits.size(); ++row) {
        // The edits take no more than the block keeps, so what shows is what is stored.
        if (auto* e = Item<QLineEdit>(kHotKeyLabelEdits[row]))
            e->setMaxLength(kHotKeyLabelSize - 1);
        if (auto* e = Item<QLineEdit>(kHotKeyCommandEdits[row]))
            e->setMaxLength(static_cast<int>(kTypedCommandMax));
    }
    // Where the file really is.
    SetDlgItemText(IDC_HOTKEYS_FILE, TerminalConfig::FilePath());
    UpdateStatusStrip();
}

void CTERMINAL_2::FillRows() {
    SetCurSel(IDC_HOTKEY_LEVEL, static_cast<int>(std::min<uint32_t>(
                                    TerminalConfig::GetData()->iHotKeyLevel, kHotKeyLevels - 1)));
    for (size_t row = 0; row < kHotKeyLabelEdits.size(); ++row) ShowRow(row);
}

void CTERMINAL_2::ShowRow(size_t row) {
    HotKeyInfo& key = KeyOfRow(row);
    key.szLabel[kHotKeyLabelSize - 1] = '\0';
    key.szCommand[kHotKeyCommandSize - 1] = '\0';
    std::string label = terminal::Decode(FieldText(key.szLabel, kHotKeyLabelSize));
    std::string command =
        terminal::Decode(HotKeyCommandForRow(FieldText(key.szCommand, kHotKeyCommandSize)));
    if (label.empty()) {
        label = "NAME";
        command = "COMMAND";
    }
    SetDlgItemText(kHotKeyLabelEdits[row], label);
    SetDlgItemText(kHotKeyCommandEdits[row], command);
}

void CTERMINAL_2::OnCancel() {
    KillOwnTimers();
    terminal::SaveFile();
    terminal::GroupLeft();
    CBaseDialog::OnCancel();
}

void CTERMINAL_2::OnCloseBox() {
    terminal::SaveFile();
    CBaseDialog::OnCloseBox();
}

void CTERMINAL_2::OnTimer(ui::UINT id) {
    if (id == kHotKeysTimer) {
        if (!BeginScreenTick(id)) return;
        UpdateStatusStrip();
        EndScreenTick();
    }
    CBaseDialog::OnTimer(id);
}

void CTERMINAL_2::OnLevel() {
    const int sel = GetCurSel(IDC_HOTKEY_LEVEL);
    if (sel < 0 || sel >= kHotKeyLevels) return;
    TerminalConfig::GetData()->iHotKeyLevel = static_cast<uint32_t>(sel);
    FillRows();
}

void CTERMINAL_2::OnLabelChange(size_t row) {
    HotKeyInfo& key = KeyOfRow(row);
    const std::optional<std::string> label =
        terminal::Encode(GetDlgItemText(kHotKeyLabelEdits[row]));
    if (!label) {
        ShowRow(row);
        return;
    }
    CopyField(key.szLabel, kHotKeyLabelSize, *label);
}

void CTERMINAL_2::OnCommandChange(size_t row) {
    HotKeyInfo& key = KeyOfRow(row);
    const std::optional<std::string> command =
        terminal::Encode(GetDlgItemText(kHotKeyCommandEdits[row]));
    if (!command) {
        SetDlgItemText(
            kHotKeyCommandEdits[row],
            terminal::Decode(HotKeyCommandForRow(FieldText(key.szCommand, kHotKeyCommandSize))));
        return;
    }
    CopyField(key.szCommand, kHotKeyCommandSize, HotKeyCommandFromRow(*command));
    // A key without a label is free and would not be saved: it takes the label its row shows.
    if (key.szLabel[0] == '\0') {
        if (auto label = terminal::Encode(GetDlgItemText(kHotKeyLabelEdits[row])))
            CopyField(key.szLabel, kHotKeyLabelSize, *label);
    }
}

void CTERMINAL_2::OnBunchCommands() {
    CBUNCH dlg;
    dlg.DoModal();
    FillRows();
}
