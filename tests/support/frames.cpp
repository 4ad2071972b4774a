#include "support/frames.h"

#include "platform/bytes.h"
#include "platform/numbers.h"

namespace testsupport {

uint8_t NmeaChecksum(std::string_view body) {
    uint8_t sum = 0;
    for (char c : body) sum ^= static_cast<uint8_t>(c);
    return sum;
}

std::string NmeaSentence(std::string_view body) {
    return "$" + std::string(body) + platform::Format("*%02X\r\n", NmeaChecksum(body));
}

std::string BinFrame(uint8_t blockId, std::string_view data) {
    platform::ByteWriter w;
    w.Bytes("$BIN", 4);
    w.U8(blockId);
    w.U8(0);
    w.U16(static_cast<uint16_t>(data.size()));
    w.Bytes(data.data(), data.size());
    uint32_t sum = 0;
    for (char c : data) sum += static_cast<uint8_t>(c);
    w.U16(static_cast<uint16_t>(sum));
    w.Bytes("\r\n", 2);
    return w.str();
}

}  // namespace testsupport
