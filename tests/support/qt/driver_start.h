#pragma once
// The way a whole-program scenario begins: from the welcome page through the search to the
// position screen, as a user would.

#include <string>

#include "resources/dlg_startup.h"
#include "support/driver_client.h"

namespace testsupport {

// "" once the position screen shows, else the step that went wrong and its answer. Message
// boxes on the way are answered with their first button.
inline std::string SearchToPositionScreen(DriverProcess& p) {
    const std::string ok = "ok";
    std::string answer = p.AskUntil("top", "ok CTessaray_PCDlg");
    if (answer != "ok CTessaray_PCDlg") return "welcome page: " + answer;
    // The splash's hand-over now instead of after its three seconds.
    if ((answer = p.Ask("timer 1")) != ok) return "timer 1: " + answer;
    if ((answer = p.AskUntil("top", "ok CSTARTUP3")) != "ok CSTARTUP3")
        return "start-up: " + answer;
    if ((answer = p.Ask("click " + std::to_string(IDC_SEARCH))) != ok) return "Search: " + answer;
    // OK is shown once the receiver is found.
    if ((answer = p.AskUntil("click " + std::to_string(IDC_STARTUP_OK), ok)) != ok)
        return "OK: " + answer;
    const bool shown = WaitUntil([&] {
        if (p.Ask("msgbox") != "ok none") p.Ask("answer ok");
        return (answer = p.Ask("top")) == "ok CGPS_1";
    });
    return shown ? "" : "position: " + answer;
}

}  // namespace testsupport
