#pragma once

#include <optional>
#include <string>
#include <string_view>

// Text from the receiver, the station tables and the configuration files is 8-bit Windows-1252;
// the screens show it through these conversions.

// Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D have no letter in the code page and map to the control
// characters of the same number, as the Windows conversion does.
char16_t Cp1252ToUnicode(unsigned char byte);

std::u16string Cp1252ToUtf16(std::string_view text);
std::string Cp1252ToUtf8(std::string_view text);
// The printable text a receiver's field carries, for a read-out: as Cp1252ToUtf8 without the
// control characters (C0, DEL and the five bytes that map to C1 codes), which show as no
// letter and can break a line or a field.
std::string Cp1252ToPrintableUtf8(std::string_view text);

// The inverse, for text the user typed that goes to the receiver or into a file. U+0081,
// U+008D, U+008F, U+0090 and U+009D give back their bytes, so every byte survives a round
// trip; every other character outside the code page (U+0080 and the rest of U+0082..U+009F
// included) cannot be represented and gives nullopt, as does malformed UTF-8.
std::optional<unsigned char> UnicodeToCp1252(char32_t c);
std::optional<std::string> Utf8ToCp1252(std::string_view utf8);
