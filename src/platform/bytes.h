#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

// Little-endian field-by-field layout of binary files and frames; structs are never copied
// to or from bytes as a whole.
namespace platform {

class ByteWriter {
public:
    void U8(uint8_t v) { bytes_.push_back(v); }
    void U16(uint16_t v);
    void U32(uint32_t v);
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void F32(float v);
    void F64(double v);
    // Writes exactly n bytes: the text cut to n - 1 characters, then zeros.
    void Chars(const char* text, size_t n);
    void Zeros(size_t n) { bytes_.insert(bytes_.end(), n, 0); }
    void Bytes(const void* data, size_t n);

    const std::vector<uint8_t>& bytes() const { return bytes_; }
    std::string str() const { return std::string(bytes_.begin(), bytes_.end()); }
    size_t size() const { return bytes_.size(); }

private:
    std::vector<uint8_t> bytes_;
};

// Reads fields in order. Reading past the end yields zeros and clears ok().
class ByteReader {
public:
    ByteReader(const void* data, size_t size)
        : data_(static_cast<const uint8_t*>(data)), size_(size) {}
    explicit ByteReader(std::string_view bytes) : ByteReader(bytes.data(), bytes.size()) {}
    explicit ByteReader(std::string&&) = delete;  // would read a destroyed temporary

    uint8_t U8();
    uint16_t U16();
    uint32_t U32();
    int32_t I32() { return static_cast<int32_t>(U32()); }
    float F32();
    double F64();
    // Reads n bytes into out[n]; the last byte of out is always NUL.
    void Chars(char* out, size_t n);
    void Skip(size_t n);

    bool ok() const { return ok_; }
    size_t pos() const { return pos_; }
    size_t remaining() const { return size_ - pos_; }

private:
    bool Take(void* out, size_t n);

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

}  // namespace platform
