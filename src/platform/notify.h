#pragma once

#include <functional>
#include <string>

namespace platform {

// Notices raised inside the engine (the original showed a message box there). The engine
// only calls Notify; the user interface installs a sink that shows the text on its own
// thread. Without a sink the text is traced. Thread-safe; the sink may run on any thread.
void Notify(const std::string& text);

// Installs the sink; an empty function restores the default (trace only).
void SetNotifySink(std::function<void(const std::string&)> sink);

}  // namespace platform
