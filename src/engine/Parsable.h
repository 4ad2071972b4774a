#pragma once
// The key table: binds the keys of one section to variables and converters, so a section's
// key=value lines are assigned by table look-up. Used by the user-interface thread only.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CfgIo;

// Converts the value text into the variable; false when the text does not convert.
using ParseConverter = bool (*)(const char* value, void* target);

struct ParsableEntry {
    std::string label;
    void* target = nullptr;
    ParseConverter converter = nullptr;
};

inline constexpr int kParseTableSize = 50;

// A list of section names ending with an empty name.
using SectionList = const char* const*;

// The keys a reading met, by section, so that a file is judged by the values it holds and not
// by the variables it left as they were.
class ParseKeysRead {
public:
    void Note(std::string_view section, std::string_view label, std::string_view value,
              bool converted);
    // Whether a line of the section named the key (whatever its value).
    bool Has(std::string_view section, std::string_view label) const;
    // The key's first value that is not wholly a number of its kind or did not convert, as
    // the file gave it; nullptr when none.
    const std::string* Refused(std::string_view section, std::string_view label) const;
    // The key's value as the file gave it: the refused one, else the last; "" when not met.
    std::string Text(std::string_view section, std::string_view label) const;

private:
    struct Key {
        std::string section, label;
        bool refused = false;
        std::string value;
    };
    const Key* Find(std::string_view section, std::string_view label) const;
    std::vector<Key> keys_;
};

void ParseReset();
void ParseRegister(const char* label, void* target, ParseConverter converter);
bool ParseFindAssignmentTarget(const char* label, int* row);
// False when the row's converter refused the value.
bool ParseAssign(int row, const char* value);
bool ParseLine(const std::string& line);
void ParseSection(CfgIo& io);
// As above, noting each key met under the section's name in *read (when given).
void ParseSection(CfgIo& io, ParseKeysRead* read, const char* section);
bool ParseFindLabel(SectionList list, int* index, const char* name);
int ParseTableCount();
// Lines whose key was in the table, counted since the program started.
uint32_t ParseKeysFound();

// Converters by key prefix: i, e, b; d; f; ul.
bool ParseInt(const char* value, void* target);
bool ParseDouble(const char* value, void* target);
bool ParseFloat(const char* value, void* target);
bool ParseULong(const char* value, void* target);

// Typed registration: the converter follows the variable's type.
inline void ParseRegister(const char* label, int32_t* target) {
    ParseRegister(label, target, ParseInt);
}
inline void ParseRegister(const char* label, uint32_t* target) {
    ParseRegister(label, target, ParseULong);
}
inline void ParseRegister(const char* label, float* target) {
    ParseRegister(label, target, ParseFloat);
}
inline void ParseRegister(const char* label, double* target) {
    ParseRegister(label, target, ParseDouble);
}
