#pragma once
// The typed reference position of the x-Ref and t-Span base screens: latitude and longitude
// in decimal degrees, height in metres.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "engine/tspan.h"

namespace ui {
class Dialog;
}

struct ReferenceEntry {
    double lat = 0, lon = 0, height = 0;
};

// Texts longer than this do not fit the receiver's command buffers.
inline constexpr size_t kReferenceTextMax = TSpan::kReferenceTextMax;

// What one screen's edits take beyond a plain decimal number.
struct ReferenceLimits {
    size_t maxChars;  // longest text the screen can send
};
// The t-Span base sends the texts as typed, into fields of kReferenceTextMax characters.
inline constexpr ReferenceLimits kTSpanReferenceLimits{kReferenceTextMax};
// x-Ref sends the numbers formatted to fixed widths: any plain number of its range fits.
inline constexpr ReferenceLimits kXRefReferenceLimits{SIZE_MAX};

// The three texts as numbers: each a complete plain decimal number ("-12.5", not "1e3",
// "12." or "-") within the limits and a double's range; nullopt otherwise.
std::optional<ReferenceEntry> ParseReferenceEntry(
    const std::string& lat, const std::string& lon, const std::string& height,
    const ReferenceLimits& limits = kTSpanReferenceLimits);

enum class ReferenceField { Latitude, Longitude, Height };
// The fields of a page's ReferenceEdits, in their order.
inline constexpr ReferenceField kReferenceFields[] = {
    ReferenceField::Latitude, ReferenceField::Longitude, ReferenceField::Height};

// What one coordinate text gets as the user types it: nothing while it is a number in range or
// still on its way to one (empty, "-", "12."), else "Please enter a number." or the message
// naming the range of a latitude, longitude or height (also for a number beyond a double's
// range, however long). A height lies within what the saved reference's command carries
// (TSpan::kReferenceHeightMin to kReferenceHeightMax) on every screen.
std::string TypedReferenceError(ReferenceField field, const std::string& text,
                                const ReferenceLimits& limits = kTSpanReferenceLimits);
// As TypedReferenceError for a text that has to be complete: what a press sending it gets.
std::string ReferenceTextError(ReferenceField field, const std::string& text,
                               const ReferenceLimits& limits);
// What a press that would send the three texts gets: the message of the first text that is no
// complete number or lies out of range; empty when the three can go out.
std::string ReferenceEntryError(const std::string& lat, const std::string& lon,
                                const std::string& height,
                                const ReferenceLimits& limits = kTSpanReferenceLimits);

// Latitude within ±90, longitude within ±180 and the height within the command's range.
bool InRange(const ReferenceEntry& e);
// In range and not all three 0.0: a position a run can start from.
bool IsUsableReference(const ReferenceEntry& e);

// A page's latitude, longitude and height edits, in this order.
using ReferenceEdits = std::array<int, 3>;
// After the user changed the edit `changed`: a message box when its text is wrong
// (TypedReferenceError); the entry when all three hold complete numbers.
std::optional<ReferenceEntry> ReferenceTyped(ui::Dialog& page, const ReferenceEdits& edits,
                                             const ReferenceLimits& limits, int changed);
// Before a press sends them: a message box and nullopt when the three cannot go out
// (ReferenceEntryError), else the entry.
std::optional<ReferenceEntry> ReferenceToSend(ui::Dialog& page, const ReferenceEdits& edits,
                                              const ReferenceLimits& limits);
// The entry the three edits hold, quietly.
std::optional<ReferenceEntry> ReadReferenceEntry(const ui::Dialog& page,
                                                 const ReferenceEdits& edits,
                                                 const ReferenceLimits& limits);
