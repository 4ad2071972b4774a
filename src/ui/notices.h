#pragma once

// Notices raised by the engine on any thread are shown on the user-interface thread as
// message boxes, each distinct text at most once per window of a few seconds, one box at a
// time in the order raised. A box does not hold up the code or the loop that showed it: the
// pages go on in their own loops and the box closes on its answer.

#include <cstdint>
#include <functional>
#include <string>

namespace ui {

struct NoticeOptions {
    std::uint32_t repeatWindowMs = 5000;
    // Millisecond clock used for the repeat window; the steady clock when empty.
    std::function<std::uint32_t()> clock;
};

// Makes the sink (needs a QApplication); the returned function may be called from any
// thread, before or after the call returns, for as long as the application lives.
std::function<void(std::string)> MakeNoticeSink(NoticeOptions options = {});

// Makes the sink and installs it as the receiver of the engine's notices.
void InstallNoticeSink(NoticeOptions options = {});

// Shows the notices posted so far at once and waits until every notice box is answered
// (interface thread only), before the process ends without returning to its event loop.
void ShowPendingNotices();

}  // namespace ui
