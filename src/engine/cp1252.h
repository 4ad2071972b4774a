#pragma once

#include <string>
#include <string_view>

// Text from the receiver, the station tables and the configuration files is 8-bit Windows-1252;
// the screens show it through these conversions.

// Bytes 0x81, 0x8D, 0x8F, 0x90 and 0x9D have no letter in the code page and map to the control
// characters of the same number, as the Windows conversion does.
char16_t Cp1252ToUnicode(unsigned char byte);

std::u16string Cp1252ToUtf16(std::string_view text);
std::string Cp1252ToUtf8(std::string_view text);
