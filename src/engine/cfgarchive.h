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
