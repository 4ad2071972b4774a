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
    // *error to the path and the system's reason. A file the last load could not read is
    // never written over.
    bool SaveText(std::string* error = nullptr);
    // Whether the file was opened; the block keeps what it holds otherwise. A file that is
    // there but cannot be read (no permission, not a regular file, damaged) is told to the
    // user once, named with the reason, and is left as it is until a load reads it.
    bool LoadText();
    // The last load found a file it could not read.
    bool IsFileProtected() const { return !protectedBy_.empty(); }

    // Tessaray_Term.ini in the configuration folder.
    static std::string FilePath();

private:
    void Protect(const std::string& problem);

    // Why the file is left alone ("" while it is not).
    std::string protectedBy_;
};

extern TerminalConfig g_TerminalConfig;
