#include "screens/differential/reference_entry.h"

#include <cctype>
#include <cmath>
#include <utility>

#include "platform/numbers.h"
#include "shell/CoordFormat.h"
#include "ui/dialog.h"
#include "ui/messagebox.h"

namespace {

constexpr const char* kNotANumber = "Please enter a number.";

// The value of a complete plain decimal number ("-12.5"; not "1e3", "12.", "-" or one with
// blanks, which would reach a command as they stand), whatever its length; infinite beyond a
// double's range.
std::optional<double> PlainValue(const std::string& text) {
    // The strict parser takes "12." as 12; the text is still being typed.
    if (text.empty() || text.back() == '.') return std::nullopt;
    size_t p = text[0] == '-' || text[0] == '+' ? 1 : 0;
    size_t digits = 0, dots = 0;
    for (; p < text.size(); ++p) {
        if (std::isdigit(static_cast<unsigned char>(text[p])))
            ++digits;
        else if (text[p] != '.' || ++dots > 1)
            return std::nullopt;
    }
    if (digits == 0) return std::nullopt;
    return platform::ScanDoubleSaturated(text);
}

// A number the screen can send: finite and short enough for its command.
std::optional<double> SendableValue(const std::string& text, const ReferenceLimits& limits) {
    const auto value = PlainValue(text);
    if (!value || !std::isfinite(*value) || text.size() > limits.maxChars) return std::nullopt;
    return value;
}

// The height the reference commands carry (they keep the whole metres in their fields).
std::string HeightRangeError(double metres) {
    if (metres >= TSpan::kReferenceHeightMin && metres <= TSpan::kReferenceHeightMax) return {};
    return "Height must be between " + platform::FormatFixed(TSpan::kReferenceHeightMin, 0) +
           " and " + platform::FormatFixed(TSpan::kReferenceHeightMax, 0) + " meters.";
}

// A text on its way to a number: empty, a sign, or digits that may end in the decimal point.
bool StillTyping(const std::string& text) {
    size_t p = !text.empty() && text[0] == '-' ? 1 : 0;
    while (p < text.size() && std::isdigit(static_cast<unsigned char>(text[p]))) ++p;
    return p == text.size() || (p + 1 == text.size() && text[p] == '.');
}

std::string FieldError(ReferenceField field, const std::string& text, const ReferenceLimits& limits,
                       bool typing) {
    if (const auto value = PlainValue(text)) {
        // Out of range is said first: no number of digits brings such a place back.
        if (field == ReferenceField::Latitude && !LatitudeRangeError(*value).empty())
            return LatitudeRangeError(*value);
        if (field == ReferenceField::Longitude && !LongitudeRangeError(*value).empty())
            return LongitudeRangeError(*value);
        if (field == ReferenceField::Height && !HeightRangeError(*value).empty())
            return HeightRangeError(*value);
        if (SendableValue(text, limits)) return {};
        return kNotANumber;
    }
    if (typing && text.size() <= limits.maxChars && StillTyping(text)) return {};
    return kNotANumber;
}

void Tell(const std::string& error) {
    ui::MessageBox(error, ui::MB_OK | ui::MB_ICONEXCLAMATION);
}

}  // namespace

std::string TypedReferenceError(ReferenceField field, const std::string& text,
                                const ReferenceLimits& limits) {
    return FieldError(field, text, limits, true);
}

std::string ReferenceTextError(ReferenceField field, const std::string& text,
                               const ReferenceLimits& limits) {
    return FieldError(field, text, limits, false);
}

std::string ReferenceEntryError(const std::string& lat, const std::string& lon,
                                const std::string& height, const ReferenceLimits& limits) {
    for (const auto& [field, text] :
         {std::pair{ReferenceField::Latitude, &lat}, std::pair{ReferenceField::Longitude, &lon},
          std::pair{ReferenceField::Height, &height}})
        if (std::string error = ReferenceTextError(field, *text, limits); !error.empty())
            return error;
    return {};
}

std::optional<ReferenceEntry> ParseReferenceEntry(const std::string& lat, const std::string& lon,
                                                  const std::string& height,
                                                  const ReferenceLimits& limits) {
    const auto a = SendableValue(lat, limits);
    const auto b = SendableValue(lon, limits);
    const auto c = SendableValue(height, limits);
    if (!a || !b || !c) return std::nullopt;
    return ReferenceEntry{*a, *b, *c};
}

bool InRange(const ReferenceEntry& e) {
    return LatitudeRangeError(e.lat).empty() && LongitudeRangeError(e.lon).empty() &&
           HeightRangeError(e.height).empty();
}

bool IsUsableReference(const ReferenceEntry& e) {
    return InRange(e) && !(e.lat == 0.0 && e.lon == 0.0 && e.height == 0.0);
}

std::optional<ReferenceEntry> ReadReferenceEntry(const ui::Dialog& page,
                                                 const ReferenceEdits& edits,
                                                 const ReferenceLimits& limits) {
    return ParseReferenceEntry(page.GetDlgItemText(edits[0]), page.GetDlgItemText(edits[1]),
                               page.GetDlgItemText(edits[2]), limits);
}

std::optional<ReferenceEntry> ReferenceTyped(ui::Dialog& page, const ReferenceEdits& edits,
                                             const ReferenceLimits& limits, int changed) {
    for (size_t i = 0; i < edits.size(); ++i) {
        if (edits[i] != changed) continue;
        if (const std::string error =
                TypedReferenceError(kReferenceFields[i], page.GetDlgItemText(changed), limits);
            !error.empty()) {
            Tell(error);
            return std::nullopt;
        }
    }
    return ReadReferenceEntry(page, edits, limits);
}

std::optional<ReferenceEntry> ReferenceToSend(ui::Dialog& page, const ReferenceEdits& edits,
                                              const ReferenceLimits& limits) {
    const std::string error =
        ReferenceEntryError(page.GetDlgItemText(edits[0]), page.GetDlgItemText(edits[1]),
                            page.GetDlgItemText(edits[2]), limits);
    if (!error.empty()) {
        Tell(error);
        return std::nullopt;
    }
    return ReadReferenceEntry(page, edits, limits);
}
