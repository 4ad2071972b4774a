#include "engine/terminalconfig.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "engine/CfgIO.h"
#include "engine/Parsable.h"
#include "engine/cp1252.h"
#include "engine/gps.h"
#include "platform/atomic_file.h"
#include "platform/notify.h"
#include "platform/paths.h"
#include "platform/textfile.h"
#include "platform/trace.h"

namespace {

const char* const kTerminalSections[] = {"SavedCommands", "HotKey", "Level", ""};
// The file holds a few kilobytes; anything far larger is not a terminal file.
constexpr size_t kMaxTerminalFileBytes = 1024 * 1024;

// Why text read from the file is not a terminal file ("" when it may be one): bytes no text
// file holds, or something other than blanks without any section the file is made of.
std::string DamageOf(const std::string& text, bool anySection) {
    if (text.find('\0') != std::string::npos) return "it holds bytes that are not text";
    const bool blank = text.find_first_not_of(" \t\r\n") == std::string::npos;
    if (!anySection && !blank) return "it holds no saved commands or hot keys";
    return {};
}

// The terminal keeps text in the receiver's code page: its letters above 0x7F (a label "Café",
// a "€") survive the file; control bytes do not.
bool IsCodePageText(char c) {
    const char16_t u = Cp1252ToUnicode(static_cast<unsigned char>(c));
    return u >= 0x20 && u != 0x7F && (u < 0x80 || u >= 0xA0);
}

// A text in square brackets would read back as a label and end its section, losing what
// follows; one blank after it keeps it a line of data, and the load takes that blank off
// again. Texts that already end in blanks after the bracket get one more, so every text
// comes back as it was saved.
bool IsBracketedText(const std::string& text) {
    const size_t end = text.find_last_not_of(' ');
    return end != std::string::npos && end >= 2 && text.front() == '[' && text[end] == ']';
}

std::string AsDataLine(std::string text) {
    if (IsBracketedText(text)) text += ' ';
    return text;
}

std::string FromDataLine(std::string line) {
    if (!line.empty() && line.back() == ' ' && IsBracketedText(line)) line.pop_back();
    return line;
}

std::string CodePageText(const std::string& line) {
    std::string text;
    for (const char c : line) {
        if (IsCodePageText(c)) text += c;
    }
    return text;
}

// The text of a line read from the file, cut to the field.
void CopyText(char* dst, const std::string& line, size_t size) {
    const std::string text = FromDataLine(CodePageText(line));
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(dst, text.data(), n);
    std::memset(dst + n, 0, size - n);
}

std::string FieldText(const char* field, size_t size) {
    return std::string(field, strnlen(field, size));
}

// The terminal keeps a hot key's command with the CR LF it sends; the file holds the line
// alone, so it never carries a stray CR.
std::string WithoutLineEnd(std::string text) {
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    return text;
}

// A command bunch holds several lines; each goes into the file as a line of its own.
std::vector<std::string> CommandLines(const std::string& command) {
    std::vector<std::string> lines;
    const std::string text = WithoutLineEnd(command);
    size_t start = 0;
    while (true) {
        const size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? end : end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

// The lines of a command run up to the next label or the end of the file, so no line of a
// bunch is lost. A line end at the end of the command is not read back.
bool ReadCommand(CfgIo& io, std::string& command) {
    std::vector<std::string> lines;
    std::string line;
    while (!io.IsEOF() && !io.IsPushedBack()) {
        if (io.ReadData(line)) {
            lines.push_back(line);
        } else if (!io.IsPushedBack()) {
            lines.emplace_back();  // an empty line of the bunch
        }
    }
    if (lines.empty()) return false;
    while (lines.size() > 1 && lines.back().empty()) lines.pop_back();
    command.clear();
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) command += "\r\n";
        command += FromDataLine(CodePageText(lines[i]));
    }
    return true;
}

void CopyCommand(char* dst, const std::string& command) {
    const size_t n = std::min(command.size(), static_cast<size_t>(kHotKeyCommandSize - 1));
    std::memcpy(dst, command.data(), n);
    std::memset(dst + n, 0, kHotKeyCommandSize - n);
}

void ReadSavedCommands(CfgIo& io, TerminalData& data) {
    std::string line;
    int n = 0;
    while (io.ReadData(line)) {
        if (n < kSavedCommands) {
            CopyText(data.szSavedCommands[n], line, kSavedCommandSize);
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
    const bool haveCommand = haveLabel && ReadCommand(io, command);
    if (level < 0 || level >= kHotKeyLevels || key < 0 || key >= kHotKeysPerLevel) return;
    HotKeyInfo& hotKey = data.HotKeys[level][key];
    CopyText(hotKey.szLabel, haveLabel ? label : std::string(), kHotKeyLabelSize);
    if (haveCommand) CopyCommand(hotKey.szCommand, command);
}

}  // namespace

std::string TerminalConfig::FilePath() {
    return platform::ConfigFile("Tessaray_Term.ini");
}

bool TerminalConfig::SaveText(std::string* error) {
    platform::Trace("TerminalConfig.SaveText()\n");
    if (IsFileProtected()) {
        platform::Trace("Tessaray_PC: the terminal file is left as it is: %s\n",
                        protectedBy_.c_str());
        if (error) *error = protectedBy_;
        return false;
    }
    CGPS::CreateConfigFolder();
    const TerminalData& data = *GetData();
    CfgIo io;
    io.OpenWrite(FilePath());
    bool first = true;
    for (const auto& command : data.szSavedCommands) {
        if (command[0] == '\0') continue;
        if (first) io.WriteLabel("SavedCommands");
        first = false;
        io.WriteLine(AsDataLine(FieldText(command, kSavedCommandSize)).c_str());
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
            io.WriteLine(AsDataLine(FieldText(hotKey.szLabel, kHotKeyLabelSize)).c_str());
            for (const std::string& line :
                 CommandLines(FieldText(hotKey.szCommand, kHotKeyCommandSize))) {
                io.WriteLine(AsDataLine(line).c_str());
            }
        }
    }
    return io.Close(error);
}

bool TerminalConfig::LoadText() {
    platform::Trace("TerminalConfig.LoadText()\n");
    CGPS::CreateConfigFolder();
    const std::string path = FilePath();
    // What a save killed before its rename left beside the file.
    if (const std::string target = platform::FollowLinks(path); !target.empty()) {
        platform::RemoveStaleTemporaries(target);
    }
    std::string text;
    std::string error;
    int err = 0;
    if (!platform::ReadTextFile(path, &text, &error, kMaxTerminalFileBytes, &err)) {
        if (err == ENOENT || err == ENOTDIR) {
            protectedBy_.clear();
        } else {
            Protect(error);
        }
        return false;
    }
    // Read whole before anything is taken, so a damaged file leaves the block as it is.
    TerminalData parsed = *GetData();
    bool anySection = false;
    CfgIo io;
    io.OpenText(text);
    TerminalData& data = parsed;
    int32_t level = 0;
    while (!io.IsEOF()) {
        std::string label;
        io.ReadLabel(label);
        int index = -1;
        ParseFindLabel(kTerminalSections, &index, label.c_str());
        if (index >= 0 && index <= 2) anySection = true;
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
    if (const std::string damage = DamageOf(text, anySection); !damage.empty()) {
        Protect("cannot read " + path + ": " + damage);
        return false;
    }
    *GetData() = parsed;
    protectedBy_.clear();
    return true;
}

void TerminalConfig::Protect(const std::string& problem) {
    // Told once: every activation of the terminal loads the file again.
    if (problem == protectedBy_) return;
    protectedBy_ = problem;
    platform::Trace("Tessaray_PC: terminal file unusable: %s\n", problem.c_str());
    platform::Notify("Tessaray_PC: " + problem +
                     "\nThe terminal runs without the commands and hot keys of the file and "
                     "leaves the file as it is: changes made now are not saved.");
}
