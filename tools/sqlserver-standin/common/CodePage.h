// The code pages of the collations the stand-in knows: Windows single-byte pages and UTF-8.
#pragma once

#include <string>
#include <string_view>

namespace standin::codepage {

constexpr int kUtf8 = 65001;
constexpr int kLatin1 = 1252;

bool isSupported(int codePage);

// UTF-8 to the code page's bytes. A character the page lacks becomes its best fit (see
// BestFit.h), else '?', one for each of its UTF-16 units, as the server's conversion does.
std::string encode(int codePage, std::string_view utf8);
// The code page's bytes to UTF-8.
std::string decode(int codePage, std::string_view bytes);
// Bytes one character takes in the code page: 1, or its UTF-8 length under UTF-8.
std::size_t width(int codePage, char32_t cp);

}  // namespace standin::codepage
