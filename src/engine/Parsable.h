#pragma once
// The key table: binds the keys of one section to variables and converters, so a section's
// key=value lines are assigned by table look-up. Used by the user-interface thread only.

#include <cstdint>
#include <string>

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

void ParseReset();
void ParseRegister(const char* label, void* target, ParseConverter converter);
bool ParseFindAssignmentTarget(const char* label, int* row);
void ParseAssign(int row, const char* value);
bool ParseLine(const std::string& line);
void ParseSection(CfgIo& io);
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
