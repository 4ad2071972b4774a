#include "engine/terminal_text.h"

#include <algorithm>
#include <cstring>

#include "engine/cp1252.h"

namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// What one received byte shows as.
char16_t Shown(char16_t c) {
    if (c > 0xFF) return u'.';
    if (c == u'\t' || c == u'\n') return c;
    const char16_t u = Cp1252ToUnicode(static_cast<unsigned char>(c));
    if (u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0)) return u'.';
    return u;
}

}  // namespace

void TerminalViewFeed::Reset() {
    empty_ = true;
    lineOpen_ = false;
}

std::string TerminalViewFeed::Next(std::u16string_view taken, bool cut) {
    if (taken.size() > kTerminalPollMax) {
        taken.remove_prefix(taken.size() - kTerminalPollMax);
        cut = true;
    }
    // After a gap the text starts in the middle of a line; an empty view has no line to
    // continue. Both wait for the next sentence start.
    if (empty_ || cut) {
        size_t start = taken.find(u'$');
        if (start == std::u16string_view::npos && cut) {
            // No sentence start in it: resume after the broken line.
            start = taken.find(u'\n');
            if (start == std::u16string_view::npos) return {};
            ++start;
        }
        if (start != std::u16string_view::npos) taken.remove_prefix(start);
    }
    std::string out;
    if (taken.empty()) return out;
    if (cut && lineOpen_) out += '\n';
    out.reserve(out.size() + taken.size());
    for (const char16_t c : taken) {
        if (c == u'\r') continue;
        AppendUtf8(out, Shown(c));
    }
    if (out.empty()) return out;
    empty_ = false;
    lineOpen_ = out.back() != '\n';
    return out;
}

std::vector<std::string> StoredCommandLines(std::string_view command) {
    std::vector<std::string> lines;
    while (true) {
        const size_t end = command.find("\r\n");
        if (end == std::string_view::npos) break;
        lines.emplace_back(command.substr(0, end + 2));
        command.remove_prefix(end + 2);
    }
    if (!command.empty()) lines.emplace_back(std::string(command) + "\r\n");
    return lines;
}

void CopyField(char* field, size_t size, std::string_view text) {
    const size_t n = std::min(text.size(), size - 1);
    if (n > 0) std::memcpy(field, text.data(), n);
    std::memset(field + n, 0, size - n);
}

std::string FieldText(const char* field, size_t size) {
    return std::string(field, strnlen(field, size - 1));
}

void StoreSavedCommands(TerminalData& data, const std::vector<std::string>& history) {
    for (size_t i = 0; i < static_cast<size_t>(kSavedCommands); ++i) {
        CopyField(data.szSavedCommands[i], kSavedCommandSize,
                  i < history.size() ? std::string_view(history[i]) : std::string_view());
    }
}

std::vector<std::string> SavedCommands(const TerminalData& data) {
    std::vector<std::string> out;
    for (const auto& command : data.szSavedCommands) {
        std::string text = FieldText(command, kSavedCommandSize);
        if (text.empty()) break;
        out.push_back(std::move(text));
    }
    return out;
}

std::string HotKeyCommandFromRow(std::string_view text) {
    return std::string(text.substr(0, kTypedCommandMax)) + "\r\n";
}

std::string HotKeyCommandForRow(std::string_view command) {
    if (command.size() >= 2 && command.substr(command.size() - 2) == "\r\n")
        command.remove_suffix(2);
    return std::string(command);
}

std::string BunchToCommand(std::string_view text) {
    std::string out;
    for (const char c : text) {
        if (c == '\r') continue;
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

std::string CommandToBunch(std::string_view command) {
    std::string out;
    for (size_t i = 0; i < command.size(); ++i) {
        if (command[i] == '\r' && i + 1 < command.size() && command[i + 1] == '\n') continue;
        out += command[i];
    }
    return out;
}
