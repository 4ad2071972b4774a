#pragma once

// Message boxes with the system's texts and the caption "Tessaray_PC". Tests and tools answer
// them through a hook instead of a window.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/types.h"

namespace ui {

// Shows `text` with the buttons and icon of `type` (MB_OK, MB_YESNO | MB_ICONQUESTION, ...)
// and returns the button pressed (IDOK, IDCANCEL, IDYES, IDNO, IDRETRY, ...). Closing the
// box answers as its cancel button does.
int MessageBox(std::string_view text, unsigned type = MB_OK);

inline constexpr const char* kMessageBoxCaption = "Tessaray_PC";

// Shows the box without waiting for it: the loop that runs goes on (no loop runs inside the
// box), and `answered` gets the button pressed when the box closes, on the interface thread.
void OpenMessageBox(std::string_view text, unsigned type, std::function<void(int)> answered);

// While a hook is installed no window opens; the hook gets the text and the type and passes the
// answer to `answer`, at once or later. Returns the previous hook.
using MessageBoxHook = std::function<void(const std::string& text, unsigned type,
                                          const std::function<void(int)>& answer)>;
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);

// The answer a box of `type` gives when it is closed without a choice.
int CancelAnswer(unsigned type);

// Installs a hook for its lifetime: answers come from a queue (the box's first button when
// the queue is empty) and every box shown is recorded.
class MessageBoxRecorder {
public:
    struct Shown {
        std::string text;
        unsigned type;
        int answer;
    };
    MessageBoxRecorder();
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    void Answer(int result) { answers_.push_back(result); }
    const std::vector<Shown>& shown() const { return shown_; }
    std::vector<std::string> texts() const;
    void Clear() { shown_.clear(); }

private:
    std::vector<int> answers_;
    std::vector<Shown> shown_;
    MessageBoxHook previous_;
};

}  // namespace ui
