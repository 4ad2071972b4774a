#include "platform/bytes.h"

#include <bit>

namespace platform {

void ByteWriter::U16(uint16_t v) {
    U8(static_cast<uint8_t>(v));
    U8(static_cast<uint8_t>(v >> 8));
}

void ByteWriter::U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) U8(static_cast<uint8_t>(v >> (8 * i)));
}

void ByteWriter::F32(float v) {
    U32(std::bit_cast<uint32_t>(v));
}

void ByteWriter::F64(double v) {
    uint64_t bits = std::bit_cast<uint64_t>(v);
    for (int i = 0; i < 8; ++i) U8(static_cast<uint8_t>(bits >> (8 * i)));
}

void ByteWriter::Chars(const char* text, size_t n) {
    if (n == 0) return;
    size_t len = text ? strnlen(text, n - 1) : 0;
    Bytes(text, len);
    Zeros(n - len);
}

void ByteWriter::Bytes(const void* data, size_t n) {
    const uint8_t* p = static_cast<const uint8_t*>(data);
    if (n) bytes_.insert(bytes_.end(), p, p + n);
}

bool ByteReader::Take(void* out, size_t n) {
    if (!ok_ || n > size_ - pos_) {
        ok_ = false;
        pos_ = size_;
        std::memset(out, 0, n);
        return false;
    }
    std::memcpy(out, data_ + pos_, n);
    pos_ += n;
    return true;
}

uint8_t ByteReader::U8() {
    uint8_t b[1];
    Take(b, 1);
    return b[0];
}

uint16_t ByteReader::U16() {
    uint8_t b[2];
    Take(b, 2);
    return static_cast<uint16_t>(b[0] | (b[1] << 8));
}

uint32_t ByteReader::U32() {
    uint8_t b[4];
    Take(b, 4);
    return static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
           (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

float ByteReader::F32() {
    return std::bit_cast<float>(U32());
}

double ByteReader::F64() {
    uint8_t b[8];
    Take(b, 8);
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) bits = (bits << 8) | b[i];
    return std::bit_cast<double>(bits);
}

void ByteReader::Chars(char* out, size_t n) {
    if (n == 0) return;
    Take(out, n);
    out[n - 1] = '\0';
}

void ByteReader::Skip(size_t n) {
    if (!ok_ || n > size_ - pos_) {
        ok_ = false;
        pos_ = size_;
        return;
    }
    pos_ += n;
}

}  // namespace platform
