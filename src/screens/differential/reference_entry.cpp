#include "screens/differential/reference_entry.h"

#include <cctype>
#include <utility>

#include "platform/numbers.h"
#include "shell/CoordFormat.h"
#include "ui/dialog.h"
#include "ui/messagebox.h"

namespace {

constexpr const char* kNotANumber = "Please enter a number.";

std::optional<double> PlainDecimal(const std::string& text) {
    if (text.empty() || text.size() > kReferenceTextMax) return std::nullopt;
    // Blanks would reach the command as they stand.
    if (text.find_first_of(" \t\r\n") != std::string::npos) return std::nullopt;
    // The strict parser takes "12." as 12; the text is still being typed.
    if (text.back() == '.') return std::nullopt;
    return platform::ParseDouble(text);
}

// A text on its way to a number: empty, a sign, or digits that may end in the decimal point.
bool StillTyping(const std::string& text) {
    size_t p = !text.empty() && text[0] == '-' ? 1 : 0;
    while (p < text.size() && std::isdigit(static_cast<unsigned char>(text[p]))) ++p;
    return p == text.size() || (p + 1 == text.size() && text[p] == '.');
}

std::string FieldError(ReferenceField field, const std::string& text, bool typing) {
    if (const auto value = PlainDecimal(text)) {
        if (field == ReferenceField::Latitude) return LatitudeRangeError(*value);
        if (field == ReferenceField::Longitude) return LongitudeRangeError(*value);
        return {};
    }
    if (typing && text.size() <= kReferenceTextMax && StillTyping(text)) return {};
    return kNotANumber;
}

void Tell(const std::string& error) {
    ui::MessageBox(error, ui::MB_OK | ui::MB_ICONEXCLAMATION);
}

}  // namespace

std::string TypedReferenceError(ReferenceField field, const std::string& text) {
    return FieldError(field, text, true);
}

std::string ReferenceEntryError(const std::string& lat, const std::string& lon,
                                const std::string& height) {
    for (const auto& [field, text] :
         {std::pair{ReferenceField::Latitude, &lat}, std::pair{ReferenceField::Longitude, &lon},
          std::pair{ReferenceField::Height, &height}})
        if (std::string error = FieldError(field, *text, false); !error.empty()) return error;
    return {};
}

std::optional<ReferenceEntry> ParseReferenceEntry(const std::string& lat, const std::string& lon,
                                                  const std::string& height) {
    const auto a = PlainDecimal(lat);
    const auto b = PlainDecimal(lon);
    const auto c = PlainDecimal(height);
    if (!a || !b || !c) return std::nullopt;
    return ReferenceEntry{*a, *b, *c};
}

bool InRange(const ReferenceEntry& e) {
    return LatitudeRangeError(e.lat).empty() && LongitudeRangeError(e.lon).empty();
}

bool IsUsableReference(const ReferenceEntry& e) {
    return InRange(e) && !(e.lat == 0.0 && e.lon == 0.0 && e.height == 0.0);
}

std::optional<ReferenceEntry> ReadReferenceEntry(const ui::Dialog& page,
                                                 const ReferenceEdits& edits) {
    return ParseReferenceEntry(page.GetDlgItemText(edits[0]), page.GetDlgItemText(edits[1]),
                               page.GetDlgItemText(edits[2]));
}

std::optional<ReferenceEntry> ReferenceTyped(ui::Dialog& page, const ReferenceEdits& edits,
                                             int changed) {
    constexpr ReferenceField kFields[] = {ReferenceField::Latitude, ReferenceField::Longitude,
                                          ReferenceField::Height};
    for (size_t i = 0; i < edits.size(); ++i) {
        if (edits[i] != changed) continue;
        if (const std::string error = TypedReferenceError(kFields[i], page.GetDlgItemText(changed));
            !error.empty()) {
            Tell(error);
            return std::nullopt;
        }
    }
    return ReadReferenceEntry(page, edits);
}

std::optional<ReferenceEntry> ReferenceToSend(ui::Dialog& page, const ReferenceEdits& edits) {
    const std::string error =
        ReferenceEntryError(page.GetDlgItemText(edits[0]), page.GetDlgItemText(edits[1]),
                            page.GetDlgItemText(edits[2]));
    if (!error.empty()) {
        Tell(error);
        return std::nullopt;
    }
    return ReadReferenceEntry(page, edits);
}
