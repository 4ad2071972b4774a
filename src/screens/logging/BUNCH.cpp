#include "screens/logging/BUNCH.h"

#include <algorithm>
#include <optional>

#include "engine/terminal_text.h"
#include "engine/terminalconfig.h"
#include "platform/numbers.h"
#include "resources/dlg_terminal.h"
#include "screens/logging/terminal_group.h"
#include "shell/CHECK.h"
#include "ui/fonts.h"
#include "ui/messagebox.h"

using namespace resources;

namespace {

uint32_t Level() {
    return std::min<uint32_t>(TerminalConfig::GetData()->iHotKeyLevel, kHotKeyLevels - 1);
}

}  // namespace

CBUNCH::CBUNCH() : ui::Dialog(BunchTemplate()) {
    DDX_Text(IDC_BUNCH_TEXT, m_strCommand);
}

CBUNCH::~CBUNCH() = default;

ui::BOOL CBUNCH::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    QFont font = Widget()->font();
    font.setFamily(ui::SubstituteFamily("Tahoma"));
    for (int id : {IDC_BUNCH_LEVEL_LABEL, IDC_HOTKEY_LEVEL, IDC_BUNCH_ENTRY, 1009, IDC_BUNCH_TEXT,
                   1010, 1012, IDC_BUNCH_SAVE, IDC_BUNCH_EXIT})
        SetItemFont(id, font);
    SetWindowText("Tessaray PC");
    map_.fill(0);
    terminal::FillLevels(*this, IDC_HOTKEY_LEVEL);
    FillEntries();
    OnControl(IDC_HOTKEY_LEVEL, ui::CBN_SELCHANGE, [this] { OnLevel(); });
    OnControl(IDC_BUNCH_ENTRY, ui::CBN_SELCHANGE, [this] { OnEntry(); });
    OnControl(IDC_BUNCH_SAVE, ui::BN_CLICKED, [this] { OnOK(); });
    OnControl(IDC_BUNCH_EXIT, ui::BN_CLICKED, [this] { OnCancel(); });
    PlaceOnSharedRectangle(*this);
    return ui::TRUE;
}

void CBUNCH::OnMove(int x, int y) {
    StoreSharedPosition(x, y);
}

void CBUNCH::FillEntries() {
    TerminalData& data = *TerminalConfig::GetData();
    const uint32_t level = Level();
    SetCurSel(IDC_HOTKEY_LEVEL, static_cast<int>(level));
    ResetContent(IDC_BUNCH_ENTRY);
    size_t position = 0;
    for (int entry = 0; entry < kHotKeysPerLevel; ++entry) {
        HotKeyInfo& key = data.HotKeys[level][entry];
        key.szLabel[kHotKeyLabelSize - 1] = '\0';
        if (key.szLabel[0] == '\0') continue;
        AddString(IDC_BUNCH_ENTRY, terminal::Decode(FieldText(key.szLabel, kHotKeyLabelSize)));
        map_[position++] = entry;
    }
    SetCurSel(IDC_BUNCH_ENTRY, 0);
    ShowCommandOf(0);
}

void CBUNCH::ShowCommandOf(int position) {
    if (position < 0 || position >= static_cast<int>(map_.size())) return;
    HotKeyInfo& key =
        TerminalConfig::GetData()->HotKeys[Level()][map_[static_cast<size_t>(position)]];
    key.szCommand[kHotKeyCommandSize - 1] = '\0';
    m_strCommand = terminal::Decode(CommandToBunch(FieldText(key.szCommand, kHotKeyCommandSize)));
    UpdateData(ui::FALSE);
}

void CBUNCH::OnLevel() {
    const int sel = GetCurSel(IDC_HOTKEY_LEVEL);
    if (sel < 0 || sel >= kHotKeyLevels) return;
    TerminalConfig::GetData()->iHotKeyLevel = static_cast<uint32_t>(sel);
    FillEntries();
}

void CBUNCH::OnEntry() {
    ShowCommandOf(GetCurSel(IDC_BUNCH_ENTRY));
}

void CBUNCH::OnOK() {
    UpdateData(ui::TRUE);
    const std::optional<std::string> bytes = terminal::Encode(m_strCommand);
    if (!bytes) return;
    // The limit counts the line ends as they are stored and sent.
    const std::string command = BunchToCommand(*bytes);
    if (command.size() >= kHotKeyCommandSize) {
        ui::MessageBox(
            platform::Format("Warning: Saving Failed!\nThe software cannot save\n more "
                             "than %d characters.",
                             kHotKeyCommandSize));
        return;
    }
    const int position = GetCurSel(IDC_BUNCH_ENTRY);
    // No labelled key to save into.
    if (position < 0 || position >= GetCount(IDC_BUNCH_ENTRY)) return;
    HotKeyInfo& key =
        TerminalConfig::GetData()->HotKeys[Level()][map_[static_cast<size_t>(position)]];
    CopyField(key.szCommand, kHotKeyCommandSize, command);
}
