#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// "$" + body + "*HH\r\n" with the correct checksum; body is given without "$".
std::string NmeaSentence(std::string_view body);
// A "$BIN" frame: header, block id, spare byte, data length, data, data sum, CR LF.
std::string BinFrame(uint8_t blockId, std::string_view data);
// What a receiver sends, one whole frame per element: standard sentences, a reply, a
// proprietary sentence and "$BIN" frames whose data hold CR LF, "$" and "$BIN", one whose sum
// reads as CR LF.
std::vector<std::string> SampleMixedFrames();

}  // namespace testsupport
