#pragma once
// The terminal's saved commands and hot keys, kept in one static block and stored in the
// terminal file.

#include <cstdint>
#include <string>

inline constexpr int kSavedCommands = 30;
inline constexpr int kSavedCommandSize = 50;
inline constexpr int kHotKeyLevels = 4;
inline constexpr int kHotKeysPerLevel = 9;
inline constexpr int kHotKeyLabelSize = 20;
inline constexpr int kHotKeyCommandSize = 100;

struct HotKeyInfo {
    char szLabel[kHotKeyLabelSize];  // empty: the key is free
    char szCommand[kHotKeyCommandSize];
};

struct TerminalData {
    uint32_t iHotKeyLevel;  // 0..3, not stored in the file
    char szSavedCommands[kSavedCommands][kSavedCommandSize];
    HotKeyInfo HotKeys[kHotKeyLevels][kHotKeysPerLevel];
};

class TerminalConfig {
public:
    TerminalConfig();
    virtual ~TerminalConfig() = default;

    static TerminalData* GetData();
    static void Init();
    // Whether the file was written; a failed write leaves the old file as it was and sets
    // *error to the path and the system's reason.
    bool SaveText(std::string* error = nullptr);
    // Whether the file was opened; the block keeps what it holds otherwise.
    bool LoadText();

    // Tessaray_Term.ini in the configuration folder.
    static std::string FilePath();
};

extern TerminalConfig g_TerminalConfig;
