// Character handling under SQL_Latin1_General_CP1_CI_AS: code page 1252 and case-insensitive names.
#pragma once

#include <string>

namespace standin::text {

// UTF-8 to Windows-1252 bytes; a character the code page lacks becomes '?'.
std::string toCodePage(const std::string& utf8);
// Windows-1252 bytes to UTF-8.
std::string fromCodePage(const std::string& bytes);
// What a varchar keeps of a Unicode text, still as UTF-8.
std::string keepCodePage(const std::string& utf8);

// Length in UTF-16 code units, the unit of nchar/nvarchar sizes.
std::size_t utf16Length(const std::string& utf8);
// Characters of a code-page text (UTF-8 holding only code-page characters).
std::size_t characterCount(const std::string& utf8);
// The first `count` characters (UTF-16 units for the n-types) of a UTF-8 text.
std::string prefix(const std::string& utf8, std::size_t count, bool utf16Units);

// Case-insensitive comparison of names and text, folding Latin letters.
int compareNoCase(const std::string& a, const std::string& b);
bool equalNoCase(const std::string& a, const std::string& b);

// Text compared as SQL Server compares strings: trailing blanks do not count.
std::string trimRight(const std::string& s);
std::string trim(const std::string& s);

}  // namespace standin::text
