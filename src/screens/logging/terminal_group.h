#pragma once
// What the pages of the terminal group share: the terminal file, saved whenever the group is
// left and on every way out of the program while it shows, and the receiver's 8-bit text.

#include <optional>
#include <string>
#include <string_view>

namespace ui {
class Dialog;
}

namespace terminal {

// The group is showing from a page's activation until it is left.
void GroupShown();
void GroupLeft();
bool GroupShowing();

// Writes the terminal file. The first failure after a good save is shown with the path and
// the reason; the ones after it are only traced, so leaving and exiting do not repeat it.
bool SaveFile();
// Back to how a run starts: the group not showing, no failed save told yet.
void ResetGroupState();

// Text the user typed, in the receiver's code page (Windows-1252). A character it cannot
// carry is refused with a message naming it, and nothing is returned.
std::optional<std::string> Encode(std::string_view utf8);
// The code-page text of the block for the screen.
std::string Decode(std::string_view bytes);

// The hot-key level combo's items "1" to "4".
void FillLevels(ui::Dialog& page, int comboId);

// Saves the file at the end of the program while the group shows (installed once).
void InstallExitSaver();

}  // namespace terminal
