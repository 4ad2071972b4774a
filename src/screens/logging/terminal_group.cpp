#include "screens/logging/terminal_group.h"

#include <algorithm>

#include "engine/cp1252.h"
#include "engine/terminalconfig.h"
#include "platform/trace.h"
#include "shell/Tessaray_PC.h"
#include "ui/dialog.h"
#include "ui/messagebox.h"

namespace terminal {

namespace {

bool g_showing = false;
bool g_failureShown = false;

// The first character of `utf8` the code page has no byte for, as UTF-8.
std::string FirstUnsendable(std::string_view utf8) {
    size_t i = 0;
    while (i < utf8.size()) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        size_t n = 1;
        if (lead >= 0xF0) {
            n = 4;
        } else if (lead >= 0xE0) {
            n = 3;
        } else if (lead >= 0xC0) {
            n = 2;
        }
        n = std::min(n, utf8.size() - i);
        const std::string_view one = utf8.substr(i, n);
        if (!Utf8ToCp1252(one)) return std::string(one);
        i += n;
    }
    return {};
}

}  // namespace

void GroupShown() {
    g_showing = true;
}

void GroupLeft() {
    g_showing = false;
}

bool GroupShowing() {
    return g_showing;
}

bool SaveFile() {
    std::string error;
    if (g_TerminalConfig.SaveText(&error)) {
        g_failureShown = false;
        return true;
    }
    // The user was told when the file could not be read that it is left as it is.
    if (g_TerminalConfig.IsFileProtected()) return false;
    if (error.empty()) error = "cannot write " + TerminalConfig::FilePath();
    platform::Trace("Tessaray_PC: the terminal file was not saved: %s\n", error.c_str());
    if (!g_failureShown) {
        g_failureShown = true;
        ui::MessageBox("The hot keys and the command history could not be saved:\n" + error,
                       ui::MB_OK | ui::MB_ICONEXCLAMATION);
    }
    return false;
}

void ResetGroupState() {
    g_showing = false;
    g_failureShown = false;
}

std::optional<std::string> Encode(std::string_view utf8) {
    if (auto bytes = Utf8ToCp1252(utf8)) return bytes;
    ui::MessageBox("The receiver cannot take the character \"" + FirstUnsendable(utf8) +
                       "\".\nOnly the characters of the Windows-1252 code page can be sent.",
                   ui::MB_OK | ui::MB_ICONEXCLAMATION);
    return std::nullopt;
}

std::string Decode(std::string_view bytes) {
    return Cp1252ToUtf8(bytes);
}

void FillLevels(ui::Dialog& page, int comboId) {
    page.ResetContent(comboId);
    for (const char* level : {"1", "2", "3", "4"}) page.AddString(comboId, level);
}

void InstallExitSaver() {
    CTessaray_PCApp::AddEndProcessSaver([] {
        if (g_showing) SaveFile();
    });
}

}  // namespace terminal
