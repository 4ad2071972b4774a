#include "engine/terminalconfig.h"

#include <cstring>
#include <string>

#include "engine/CfgIO.h"
#include "engine/Parsable.h"
#include "engine/gps.h"
#include "platform/paths.h"
#include "platform/trace.h"

namespace {

const char* const kTerminalSections[] = {"SavedCommands", "HotKey", "Level", ""};

std::string FieldText(const char* field, size_t size) {
    return std::string(field, strnlen(field, size));
}

// The terminal keeps a hot key's command with the CR LF it sends; the file holds the line
// alone, so it never carries a stray CR or an empty line.
std::string WithoutLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    return text;
}

void ReadSavedCommands(CfgIo& io, TerminalData& data) {
    std::string line;
    int n = 0;
    while (io.ReadData(line)) {
        if (n < kSavedCommands) {
            CfgIo::CopyToSz(data.szSavedCommands[n], line, kSavedCommandSize);
        } else {
            platform::Trace("Read too many saved commands from .ini.\n");
        }
        ++n;
    }
}

void ReadLevel(CfgIo& io, int32_t& level) {
    int32_t value = 0;
    if (io.ReadInt(value)) {
        level = value;
    } else {
        platform::Trace("Error reading level index.\n");
    }
}

void ReadHotKey(CfgIo& io, TerminalData& data, int32_t level) {
    int32_t key = 0;
    if (!io.ReadInt(key)) return;
    std::string label;
    std::string command;
    const bool haveLabel = io.ReadData(label);
    const bool haveCommand = haveLabel && io.ReadData(command);
    if (level < 0 || level >= kHotKeyLevels || key < 0 || key >= kHotKeysPerLevel) return;
    HotKeyInfo& hotKey = data.HotKeys[level][key];
    CfgIo::CopyToSz(hotKey.szLabel, haveLabel ? label : std::string(), kHotKeyLabelSize);
    if (haveCommand) CfgIo::CopyToSz(hotKey.szCommand, command, kHotKeyCommandSize);
}

}  // namespace

std::string TerminalConfig::FilePath() {
    return platform::ConfigFile("Tessaray_Term.ini");
}

bool TerminalConfig::SaveText() {
    platform::Trace("TerminalConfig.SaveText()\n");
    CGPS::CreateConfigFolder();
    const TerminalData& data = *GetData();
    CfgIo io;
    io.OpenWrite(FilePath());
    bool first = true;
    for (const auto& command : data.szSavedCommands) {
        if (command[0] == '\0') continue;
        if (first) io.WriteLabel("SavedCommands");
        first = false;
        io.WriteLine(FieldText(command, kSavedCommandSize).c_str());
    }
    for (int level = 0; level < kHotKeyLevels; ++level) {
        bool levelWritten = false;
        for (int key = 0; key < kHotKeysPerLevel; ++key) {
            const HotKeyInfo& hotKey = data.HotKeys[level][key];
            if (hotKey.szLabel[0] == '\0') continue;
            if (!levelWritten) {
                io.WriteLabel("Level");
                io.WriteInt(level);
                levelWritten = true;
            }
            io.WriteLabel("HotKey");
            io.WriteInt(key);
            io.WriteLine(FieldText(hotKey.szLabel, kHotKeyLabelSize).c_str());
            io.WriteLine(WithoutLineEnd(FieldText(hotKey.szCommand, kHotKeyCommandSize)).c_str());
        }
    }
    return io.Close();
}

bool TerminalConfig::LoadText() {
    platform::Trace("TerminalConfig.LoadText()\n");
    CGPS::CreateConfigFolder();
    CfgIo io;
    std::string error;
    if (!io.OpenRead(FilePath(), &error)) return false;
    TerminalData& data = *GetData();
    int32_t level = 0;
    while (!io.IsEOF()) {
        std::string label;
        io.ReadLabel(label);
        int index = -1;
        ParseFindLabel(kTerminalSections, &index, label.c_str());
        switch (index) {
            case 0:
                ReadSavedCommands(io, data);
                break;
            case 1:
                ReadHotKey(io, data, level);
                break;
            case 2:
                ReadLevel(io, level);
                break;
            default:
                platform::Trace("Unrecognized label [%s]\n", label.c_str());
                break;
        }
    }
    io.Close();
    return true;
}
