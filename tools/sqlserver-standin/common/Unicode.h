// UTF-8 and code page 1252, the collation's, shared by the engine and the wire.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace standin::unicode {

// Decodes one code point at i and advances i; malformed input yields U+FFFD.
char32_t nextCodePoint(std::string_view utf8, std::size_t& i);
void appendUtf8(std::string& out, char32_t cp);

// A character that code page 1252 lacks becomes '?'. The five bytes Windows leaves
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the control characters of the same value.
char toCp1252(char32_t cp);
char32_t fromCp1252(unsigned char byte);

}  // namespace standin::unicode
