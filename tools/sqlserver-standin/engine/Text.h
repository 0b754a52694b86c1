// Character handling: the code page of varchar text, and case-insensitive names as under
// SQL_Latin1_General_CP1_CI_AS.
#pragma once

#include <string>

namespace standin::text {

// Varchar text is kept in the code page of the database a statement runs in: this sets it for
// the calling thread while the scope lives (1252 outside any scope).
class CodePageScope {
public:
    explicit CodePageScope(int codePage);
    ~CodePageScope();
    CodePageScope(const CodePageScope&) = delete;
    CodePageScope& operator=(const CodePageScope&) = delete;

private:
    int previous_;
};

// The code page's name as an XML encoding declaration gives it ("windows-1254", "UTF-8").
std::string codePageEncoding();
// UTF-8 to the code page's bytes; a character the code page lacks becomes '?'.
std::string toCodePage(const std::string& utf8);
// The code page's bytes to UTF-8.
std::string fromCodePage(const std::string& bytes);
// What a varchar keeps of a Unicode text, still as UTF-8.
std::string keepCodePage(const std::string& utf8);

// Length in UTF-16 code units, the unit of nchar/nvarchar sizes.
std::size_t utf16Length(const std::string& utf8);
// Length of a code-page text (UTF-8 holding only code-page characters) in the code page's
// bytes, the unit of char/varchar sizes.
std::size_t varcharLength(const std::string& utf8);
// The first `count` UTF-16 units (n-types) or code-page bytes (char family) of a UTF-8 text,
// never splitting a character.
std::string prefix(const std::string& utf8, std::size_t count, bool utf16Units);

// Case-insensitive comparison of names and text, folding Latin letters.
int compareNoCase(const std::string& a, const std::string& b);
bool equalNoCase(const std::string& a, const std::string& b);

// Text compared as SQL Server compares strings: trailing blanks do not count.
std::string trimRight(const std::string& s);
std::string trim(const std::string& s);

}  // namespace standin::text
