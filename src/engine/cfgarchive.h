#pragma once
// The profile archive Tessaray_PC.CFG: the settings header, the plot settings, the log
// selections, the recent-name lists and the area unit, field by field, little-endian.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct GPSInfo;

inline constexpr size_t kCfgArchiveSize = 3824;
inline constexpr const char* kCfgArchiveName = "Tessaray_PC.CFG";

std::string CfgArchivePath();

// The file's bytes for an image of part 1 and the settings part.
std::string EncodeCfgArchive(const GPSInfo& image, int32_t iAreaUnits);

enum class CfgDecode { Ok, BadMarker, Short };

// Reads the bytes into the image (the fields the file holds) and *pAreaUnits. Texts end in
// NUL within their field; a port number or an enumeration out of range takes its default.
CfgDecode DecodeCfgArchive(std::string_view bytes, GPSInfo& image, int32_t* pAreaUnits);

// What became of the archive file in this run.
enum class CfgArchiveLoad {
    Loaded,
    Missing,   // no file yet (or no folder)
    Damaged,   // short, or a wrong marker byte: the start-up reset replaces it
    Unusable,  // there, but it could not be read or written back: never replaced
};

struct CfgArchiveState {
    CfgArchiveLoad lastLoad = CfgArchiveLoad::Missing;
    // Names the file and the reason of the last failed load or save ("" when none).
    std::string loadProblem;
    std::string saveProblem;
    // The save problem the user was last told of.
    std::string saidSaveProblem;
    // Set once the file proved unusable: this run never saves over it.
    bool isProtected = false;
};

CfgArchiveState GetCfgArchiveState();
// A new start as far as the file is concerned.
void ResetCfgArchiveState();
