#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace testsupport {

// XOR of the bytes between "$" and "*".
uint8_t NmeaChecksum(std::string_view body);
// "$" + body + "*HH\r\n" with the correct checksum; body is given without "$".
std::string NmeaSentence(std::string_view body);
// A "$BIN" frame: header, block id, spare byte, data length, data, data sum, CR LF.
std::string BinFrame(uint8_t blockId, std::string_view data);

}  // namespace testsupport

#include <vector>

namespace testsupport {

// A realistic mix of what a receiver sends: standard sentences, a reply, a proprietary
// sentence and "$BIN" frames whose data hold CR LF, "$" and "$BIN", one whose sum reads as
// CR LF. Each element is one whole frame.
std::vector<std::string> SampleMixedFrames();

}  // namespace testsupport
