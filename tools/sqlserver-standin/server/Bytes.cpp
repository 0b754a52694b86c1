#include "Bytes.h"

#include "TextCodec.h"

namespace standin::tds {

void ByteWriter::little(uint64_t v, int n)
{
    for (int i = 0; i < n; ++i)
        bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void ByteWriter::u16be(uint16_t v)
{
    u8(static_cast<uint8_t>(v >> 8));
    u8(static_cast<uint8_t>(v));
}

void ByteWriter::u32be(uint32_t v)
{
    u16be(static_cast<uint16_t>(v >> 16));
    u16be(static_cast<uint16_t>(v));
}

void ByteWriter::bVarchar(std::string_view utf8)
{
    Bytes text = utf8ToUtf16le(utf8);
    if (text.size() > 2 * 255)
        text.resize(2 * 255);
    u8(static_cast<uint8_t>(text.size() / 2));
    append(text);
}

void ByteWriter::usVarchar(std::string_view utf8)
{
    Bytes text = utf8ToUtf16le(utf8);
    if (text.size() > 2 * 65535)
        text.resize(2 * 65535);
    u16(static_cast<uint16_t>(text.size() / 2));
    append(text);
}

void ByteWriter::patchU16(size_t at, uint16_t v)
{
    bytes_.at(at) = static_cast<uint8_t>(v);
    bytes_.at(at + 1) = static_cast<uint8_t>(v >> 8);
}

void ByteReader::need(size_t n) const
{
    if (n > remaining())
        throw ProtocolError("message shorter than its contents claim");
}

uint8_t ByteReader::u8()
{
    need(1);
    return data_[pos_++];
}

uint16_t ByteReader::u16()
{
    uint16_t lo = u8();
    return static_cast<uint16_t>(lo | (u8() << 8));
}

uint32_t ByteReader::u32()
{
    uint32_t lo = u16();
    return lo | (static_cast<uint32_t>(u16()) << 16);
}

uint16_t ByteReader::u16be()
{
    uint16_t hi = u8();
    return static_cast<uint16_t>((hi << 8) | u8());
}

Bytes ByteReader::take(size_t n)
{
    need(n);
    Bytes out(data_ + pos_, data_ + pos_ + n);
    pos_ += n;
    return out;
}

void ByteReader::skip(size_t n)
{
    need(n);
    pos_ += n;
}

void ByteReader::seek(size_t at)
{
    if (at > size_)
        throw ProtocolError("offset beyond the end of the message");
    pos_ = at;
}

}  // namespace standin::tds
