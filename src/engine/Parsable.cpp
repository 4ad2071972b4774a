#include "engine/Parsable.h"

#include <strings.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <optional>

#include "engine/CfgIO.h"
#include "platform/numbers.h"
#include "platform/trace.h"

namespace {

std::array<ParsableEntry, kParseTableSize> g_table;
int g_count = 0;
uint32_t g_keysFound = 0;

std::string Printable(const char* value) {
    std::string out;
    for (const char* p = value; p && *p; ++p) {
        const auto byte = static_cast<unsigned char>(*p);
        if (byte >= 0x20 && byte <= 0x7E) out += *p;
    }
    return out;
}

// "%lf" reads "inf", "nan" and a number beyond the range of a double as a value that is not
// finite, and one too close to 0 as 0. Such a value is kept as it reads, so that the file it
// came from can be refused rather than its value quietly left as it was.
std::optional<double> OutOfRange(const std::string& text) {
    size_t at = text.find_first_not_of(" \t");
    if (at == std::string::npos) return std::nullopt;
    const double sign = text[at] == '-' ? -1.0 : 1.0;
    if (text[at] == '+' || text[at] == '-') ++at;
    const std::string word = text.substr(at, 3);
    if (::strcasecmp(word.c_str(), "inf") == 0) return sign * HUGE_VAL;
    if (::strcasecmp(word.c_str(), "nan") == 0) return std::nan("");
    return platform::ScanDoubleSaturated(text);
}

// A value as a message can show it: a byte that is no printable character appears as "\xNN".
std::string Readable(std::string_view value) {
    std::string out;
    for (const char c : value) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte <= 0x7E)
            out += c;
        else
            out += platform::Format("\\x%02X", byte);
    }
    return out;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Whether the text is a number of a key's kind and nothing else (blanks around it aside): an
// optional sign and digits; for a floating key also a point and a decimal exponent. The
// converters take the leading number of any text; a file's value must be wholly one.
bool WhollyNumber(std::string_view text, bool floating) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    size_t at = 0;
    const auto digits = [&] {
        const size_t from = at;
        while (at < text.size() && IsDigit(text[at])) ++at;
        return at - from;
    };
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    size_t count = digits();
    if (floating && at < text.size() && text[at] == '.') {
        ++at;
        count += digits();
    }
    if (count == 0) return false;
    if (floating && at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        ++at;
        if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
        if (digits() == 0) return false;
    }
    return at == text.size();
}

bool SameIgnoringCase(const std::string& a, const char* b) {
    return b != nullptr && ::strcasecmp(a.c_str(), b) == 0;
}

}  // namespace

void ParseReset() {
    g_count = 0;
}

int ParseTableCount() {
    return g_count;
}

uint32_t ParseKeysFound() {
    return g_keysFound;
}

void ParseRegister(const char* label, void* target, ParseConverter converter) {
    platform::Trace("Registered [%d] %s %p\n", g_count, label, target);
    if (g_count >= kParseTableSize) {
        platform::Trace("Exceeded parse table size!");
        TRACE_ASSERT(g_count < kParseTableSize);
        return;
    }
    g_table[g_count] = ParsableEntry{label, target, converter};
    ++g_count;
}

bool ParseFindAssignmentTarget(const char* label, int* row) {
    platform::Trace("ParseFindAssignmentTarget(%s)\n", label);
    for (int i = 0; i < g_count; ++i) {
        if (SameIgnoringCase(g_table[i].label, label)) {
            platform::Trace("Found match\n");
            if (row) *row = i;
            return true;
        }
    }
    return false;
}

bool ParseAssign(int row, const char* value) {
    platform::Trace("Val string = %s\n", value);
    if (row < 0 || row >= g_count) return false;
    const ParsableEntry& entry = g_table[row];
    return entry.converter && entry.converter(value, entry.target);
}

void ParseKeysRead::Note(std::string_view section, std::string_view label, std::string_view value,
                         bool converted) {
    const Key* found = Find(section, label);
    Key& key = found ? keys_[static_cast<size_t>(found - keys_.data())]
                     : keys_.emplace_back(Key{std::string(section), std::string(label), false, {}});
    // The first value refused is the one named; otherwise the last, which is the one taken.
    if (key.refused) return;
    key.refused = !converted;
    key.value = Readable(value);
}

const ParseKeysRead::Key* ParseKeysRead::Find(std::string_view section,
                                              std::string_view label) const {
    const auto it = std::find_if(keys_.begin(), keys_.end(), [&](const Key& k) {
        return k.section == section && k.label == label;
    });
    return it == keys_.end() ? nullptr : &*it;
}

bool ParseKeysRead::Has(std::string_view section, std::string_view label) const {
    return Find(section, label) != nullptr;
}

const std::string* ParseKeysRead::Refused(std::string_view section, std::string_view label) const {
    const Key* key = Find(section, label);
    return key && key->refused ? &key->value : nullptr;
}

std::string ParseKeysRead::Text(std::string_view section, std::string_view label) const {
    const Key* key = Find(section, label);
    return key ? key->value : std::string();
}

namespace {

bool AssignLine(const std::string& line, ParseKeysRead* read, const char* section) {
    const size_t eq = line.find('=');
    if (eq == std::string::npos || eq == 0) {
        platform::Trace("Not an assignment %s\n", line.c_str());
        return false;
    }
    const std::string key = line.substr(0, eq);
    const std::string value = line.substr(eq + 1);
    int row = 0;
    if (ParseFindAssignmentTarget(key.c_str(), &row)) {
        ++g_keysFound;
        const ParsableEntry& entry = g_table[row];
        const bool integer = entry.converter == ParseInt || entry.converter == ParseULong;
        const bool floating = entry.converter == ParseDouble || entry.converter == ParseFloat;
        bool converted = ParseAssign(row, value.c_str());
        if (integer || floating) converted = converted && WhollyNumber(value, floating);
        if (read) read->Note(section, entry.label, value, converted);
    }
    return true;
}

}  // namespace

bool ParseLine(const std::string& line) {
    return AssignLine(line, nullptr, "");
}

void ParseSection(CfgIo& io, ParseKeysRead* read, const char* section) {
    std::string line;
    while (io.ReadData(line) && AssignLine(line, read, section)) {
    }
}

void ParseSection(CfgIo& io) {
    ParseSection(io, nullptr, "");
}

bool ParseFindLabel(SectionList list, int* index, const char* name) {
    if (list == nullptr || name == nullptr) return false;
    for (int i = 0; list[i] != nullptr && list[i][0] != '\0'; ++i) {
        if (::strcasecmp(list[i], name) == 0) {
            if (index) *index = i;
            return true;
        }
    }
    return false;
}

bool ParseInt(const char* value, void* target) {
    const std::string text = Printable(value);
    // A number past an int's range would be taken as the nearest end of it, a value the
    // file never held.
    const std::optional<int64_t> wide = platform::ScanInteger(text);
    if (wide && (*wide < INT32_MIN || *wide > INT32_MAX)) return false;
    *static_cast<int32_t*>(target) = platform::AtoL(text);
    return true;
}

// The kinds read like the "%lf", "%f" and "%ld" they stand for: the leading number counts, and
// a text without one leaves the value as it is.
bool ParseDouble(const char* value, void* target) {
    const std::string text = Printable(value);
    auto parsed = platform::ScanDouble(text);
    if (!parsed) parsed = OutOfRange(text);
    if (!parsed) return false;
    *static_cast<double*>(target) = *parsed;
    return true;
}

bool ParseFloat(const char* value, void* target) {
    const std::string text = Printable(value);
    if (const auto parsed = platform::ScanFloat(text)) {
        *static_cast<float*>(target) = *parsed;
        return true;
    }
    // "%f" reads a number beyond a float's range as infinite, like "inf" and "nan": kept so
    // that the file can be refused.
    std::optional<double> wide = platform::ScanDouble(text);
    if (wide) wide = std::copysign(HUGE_VAL, *wide);
    if (!wide) wide = OutOfRange(text);
    if (!wide) return false;
    // Infinite, not a number, or 0: each has its float.
    *static_cast<float*>(target) = static_cast<float>(*wide);
    return true;
}

bool ParseULong(const char* value, void* target) {
    // "%ld" is 32 bits wide: "-1" stands for 0xFFFFFFFF.
    const auto parsed = platform::ScanInteger(Printable(value));
    if (!parsed || *parsed < INT32_MIN || *parsed > UINT32_MAX) return false;
    *static_cast<uint32_t*>(target) = static_cast<uint32_t>(*parsed);
    return true;
}
