#pragma once
// A line-based control channel on a local socket through which a test drives the whole
// program as a user would:
//   top                   class of the topmost page
//   get <id>              text of a control (picture id of a picture, tab index of a tab)
//   state <id>            "ok enabled=<0|1> visible=<0|1> checked=<0|1> sel=<n> pos=<n>"
//                         (sel: item, tab or row; -1 and pos 0 where the control has none)
//   click <id>            click on a control
//   select <id> <index>   choose a combo item, tab or list row
//   text <id> <text>      type text into an edit or editable combo, as keystrokes (the
//                         page's notifications of one key handled before the next)
//   slide <id> <pos>      drag a slider's thumb to a position
//   timer <timerId>       one tick of a running timer of the top page, now
//   layout                the top page's layout faults, "; " between them: a label's text wider
//                         or taller than its label, a text or control over another, or one
//                         that crosses the frame of the group box it lies in
//   nav <row>             click navigation row 1..7
//   clickxy <x> <y>       click at a point in design units
//   msgbox                the message box waiting for an answer: "ok <type> <text>" or "ok none"
//   answer <button>       answers it: ok, cancel, yes, no, retry, abort, ignore or a number
//   screenshot <file>     saves the window as PNG
//   quit                  ends the program at once
// Every reply is one line: "ok ..." or "error <reason>" (click, select, text and slide:
// "error hidden <id>",
// "error disabled <id>" or "error no control <id>" for a control the user could not reach);
// line ends inside texts are sent as "\n". Actions run after the reply, so one that opens a
// modal loop does not hold the channel up.

#include <memory>
#include <string>

namespace driver {

// Writes a coverage build's counters, which the program's immediate end would lose.
void WriteCoverage();

class ControlChannel {
public:
    // Listens on the socket path; false (with a reason on stderr) when it cannot.
    bool Listen(const std::string& path);
    // The reply to one command line; queued actions run later from the event loop.
    std::string Execute(const std::string& line);

private:
    struct Impl;
    std::shared_ptr<Impl> impl_;
};

}  // namespace driver
