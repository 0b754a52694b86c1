// Conversions between the engine's UTF-8 and the encodings on the wire.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace standin::tds {

// Malformed UTF-8 becomes U+FFFD.
std::vector<uint8_t> utf8ToUtf16le(std::string_view utf8);
// An unpaired surrogate becomes U+FFFD; an odd last byte is ignored.
std::string utf16leToUtf8(const uint8_t* data, size_t size);
// A collation's code page; characters it lacks become '?'.
std::string utf8ToCodePage(std::string_view utf8, int codePage);

}  // namespace standin::tds
