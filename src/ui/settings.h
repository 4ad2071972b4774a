#pragma once

// The per-user settings store (last port, last baud rate, automatic baud search), kept with
// QSettings under "Varnholt GPS" / "Tessaray", which follows XDG_CONFIG_HOME.

#include <optional>
#include <string>
#include <string_view>

namespace ui {

class Settings {
public:
    // The value of `key`, or nothing when it is missing or not a whole number.
    static std::optional<int> ReadInt(std::string_view key);
    static int GetInt(std::string_view key, int fallback);
    // False when the value could not be stored (the settings file not writable).
    static bool SetInt(std::string_view key, int value);
    static bool SetString(std::string_view key, std::string_view value);
    static bool Remove(std::string_view key);
    // Where the values are kept, for messages.
    static std::string Location();
};

}  // namespace ui
