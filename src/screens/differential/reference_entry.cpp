#include "screens/differential/reference_entry.h"

#include "platform/numbers.h"

namespace {

std::optional<double> PlainDecimal(const std::string& text) {
    if (text.empty() || text.size() > kReferenceTextMax) return std::nullopt;
    // Blanks would reach the command as they stand.
    if (text.find_first_of(" \t\r\n") != std::string::npos) return std::nullopt;
    // The strict parser takes "12." as 12; the text is still being typed.
    if (text.back() == '.') return std::nullopt;
    return platform::ParseDouble(text);
}

}  // namespace

std::optional<ReferenceEntry> ParseReferenceEntry(const std::string& lat, const std::string& lon,
                                                  const std::string& height) {
    const auto a = PlainDecimal(lat);
    const auto b = PlainDecimal(lon);
    const auto c = PlainDecimal(height);
    if (!a || !b || !c) return std::nullopt;
    return ReferenceEntry{*a, *b, *c};
}

bool InRange(const ReferenceEntry& e) {
    return e.lat >= -90 && e.lat <= 90 && e.lon >= -180 && e.lon <= 180;
}

bool IsUsableReference(const ReferenceEntry& e) {
    return InRange(e) && !(e.lat == 0.0 && e.lon == 0.0 && e.height == 0.0);
}
