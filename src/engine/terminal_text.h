#pragma once
// What the terminal shows of the received text, and how it sends and stores the commands the
// user types or keeps on hot keys.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/terminalconfig.h"

// A poll shows at most this much of the terminal text.
inline constexpr size_t kTerminalPollMax = 5000;
// The receiver takes a command line of 100 bytes with CR LF and NUL.
inline constexpr size_t kTypedCommandMax = 97;

// Turns the text taken from the reader thread into whole lines for the view.
class TerminalViewFeed {
public:
    // The view was emptied (activation, Clear, Send): what comes before the next "$" is the
    // tail of a line and is dropped.
    void Reset();
    // UTF-8 to append to the view for the text taken (characters 0..255, one per byte
    // received). `cut`: the reader dropped text since the last take. Control bytes other than
    // CR, LF and TAB show as "."; CR is dropped, LF ends a line.
    std::string Next(std::u16string_view taken, bool cut);
    bool ViewEmpty() const { return empty_; }

private:
    bool empty_ = true;
    bool lineOpen_ = false;  // the view's last line has no line end yet
};

// The lines a stored command goes out as, each ended by CR LF: every part up to a CR LF, and
// a last part without one gets it added. An empty command gives none.
std::vector<std::string> StoredCommandLines(std::string_view command);

// A fixed text field of the terminal block: at most size - 1 bytes, the rest NUL.
void CopyField(char* field, size_t size, std::string_view text);
// The text of a field up to its first NUL (the last byte is never read as text).
std::string FieldText(const char* field, size_t size);

// Stores the history (Windows-1252, newest first) into the saved commands: the first 30, each
// cut to 49 bytes; the slots after the last are emptied.
void StoreSavedCommands(TerminalData& data, const std::vector<std::string>& history);
// The saved commands up to the first empty one.
std::vector<std::string> SavedCommands(const TerminalData& data);

// The command a hot-key row stores for its edit text: at most 97 bytes, then CR LF.
std::string HotKeyCommandFromRow(std::string_view text);
// The text a hot-key row shows for a stored command: one trailing CR LF removed.
std::string HotKeyCommandForRow(std::string_view command);

// The command-bunch editor's text (LF line ends) as stored (CR LF) and back.
std::string BunchToCommand(std::string_view text);
std::string CommandToBunch(std::string_view command);
