// Byte buffers for the wire: little-endian by default, as TDS is.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace standin::tds {

using Bytes = std::vector<uint8_t>;

// Raised when a client's message is shorter or stranger than its own lengths say.
struct ProtocolError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

class ByteWriter {
public:
    void u8(uint8_t v) { bytes_.push_back(v); }
    void u16(uint16_t v) { little(v, 2); }
    void u32(uint32_t v) { little(v, 4); }
    void u64(uint64_t v) { little(v, 8); }
    void u16be(uint16_t v);
    void u32be(uint32_t v);
    void append(const Bytes& b) { bytes_.insert(bytes_.end(), b.begin(), b.end()); }
    void append(std::string_view s) { bytes_.insert(bytes_.end(), s.begin(), s.end()); }
    // UTF-8 text as UTF-16LE with a one-byte (B_VARCHAR) or two-byte (US_VARCHAR) count of code units.
    void bVarchar(std::string_view utf8);
    void usVarchar(std::string_view utf8);
    // Overwrites a u16 written earlier, for lengths known only at the end.
    void patchU16(size_t at, uint16_t v);

    size_t size() const { return bytes_.size(); }
    const Bytes& bytes() const { return bytes_; }
    Bytes take() { return std::move(bytes_); }

private:
    void little(uint64_t v, int n);
    Bytes bytes_;
};

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    explicit ByteReader(const Bytes& b) : ByteReader(b.data(), b.size()) {}

    uint8_t u8();
    uint16_t u16();
    uint32_t u32();
    uint16_t u16be();
    Bytes take(size_t n);
    void skip(size_t n);
    void seek(size_t at);
    size_t position() const { return pos_; }
    size_t remaining() const { return size_ - pos_; }

private:
    void need(size_t n) const;
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

}  // namespace standin::tds
