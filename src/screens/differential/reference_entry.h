#pragma once
// The typed reference position of the x-Ref and t-Span base screens: latitude and longitude
// in decimal degrees, height in metres.

#include <optional>
#include <string>

#include "engine/tspan.h"

struct ReferenceEntry {
    double lat = 0, lon = 0, height = 0;
};

// Texts longer than this do not fit the receiver's command buffers.
inline constexpr size_t kReferenceTextMax = TSpan::kReferenceTextMax;

// The three texts as numbers: each a complete plain decimal number ("-12.5", not "1e3",
// "12." or "-") of at most kReferenceTextMax characters; nullopt otherwise.
std::optional<ReferenceEntry> ParseReferenceEntry(const std::string& lat, const std::string& lon,
                                                  const std::string& height);
// Latitude within ±90 and longitude within ±180.
bool InRange(const ReferenceEntry& e);
// In range and not all three 0.0: a position a run can start from.
bool IsUsableReference(const ReferenceEntry& e);
