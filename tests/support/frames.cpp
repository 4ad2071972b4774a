#include "support/frames.h"

#include "platform/bytes.h"
#include "platform/numbers.h"

namespace testsupport {

std::string NmeaSentence(std::string_view body) {
    uint8_t sum = 0;
    for (char c : body) sum ^= static_cast<uint8_t>(c);
    return "$" + std::string(body) + platform::Format("*%02X\r\n", sum);
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

namespace {

std::string Pattern(size_t n, unsigned seed) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 37 + seed) & 0xFF);
    return s;
}

}  // namespace

std::vector<std::string> SampleMixedFrames() {
    std::string msg1 = Pattern(52, 5);
    msg1.replace(10, 3, "\r\n$");
    msg1.replace(30, 6, "$BIN\r\n");
    std::string msg2 = Pattern(16, 9);
    msg2.replace(0, 2, "\r\n");
    std::string msg99 = Pattern(304, 1);
    for (size_t i = 20; i + 2 < msg99.size(); i += 41) msg99.replace(i, 2, "\r\n");
    // Data whose sum is 0x0A0D, so the sum bytes themselves read CR LF.
    std::string sumIsCrLf(52, '0');
    sumIsCrLf.replace(4, 3, "\r\n$");
    uint32_t partial = 0;
    for (size_t i = 0; i + 1 < sumIsCrLf.size(); ++i) partial += static_cast<uint8_t>(sumIsCrLf[i]);
    sumIsCrLf.back() = static_cast<char>(0x0A0D - partial);
    return {
        NmeaSentence("GPGGA,123519.00,4807.0381,N,01131.0002,E,2,08,0.9,545.4,M,46.9,M,3.0,0122"),
        BinFrame(1, msg1),
        NmeaSentence("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K,D"),
        BinFrame(2, msg2),
        "$>JI,311016,1,5,12102003,01/01/1900,01/01/3003,6.3Aa02,46\r\n",
        BinFrame(99, msg99),
        NmeaSentence("GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"),
        BinFrame(1, sumIsCrLf),
        NmeaSentence("PKRV,CS0,ON,1,314.0,100,42,18"),
        BinFrame(80, std::string(40, '$')),
        NmeaSentence("GPZDA,201530.00,04,07,2002,00,00"),
    };
}

}  // namespace testsupport
