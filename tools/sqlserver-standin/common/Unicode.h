// UTF-8, shared by the engine and the wire.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace standin::unicode {

// Decodes one code point at i and advances i; malformed input yields U+FFFD.
char32_t nextCodePoint(std::string_view utf8, std::size_t& i);
void appendUtf8(std::string& out, char32_t cp);

}  // namespace standin::unicode
