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

// While a hook is installed no window opens; the hook gets the text and the type and returns
// the answer. Returns the previous hook.
using MessageBoxHook = std::function<int(const std::string& text, unsigned type)>;
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
