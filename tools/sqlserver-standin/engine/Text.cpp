#include "Text.h"

#include "CodePage.h"
#include "Unicode.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace standin::text {
namespace {

using unicode::appendUtf8;

std::vector<char32_t> decode(const std::string& utf8) {
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < utf8.size();) out.push_back(unicode::nextCodePoint(utf8, i));
    return out;
}

char32_t fold(char32_t cp) {
    if ((cp >= 'A' && cp <= 'Z') || (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7)) return cp + 0x20;
    switch (cp) {
        case 0x160:
            return 0x161;
        case 0x152:
            return 0x153;
        case 0x17D:
            return 0x17E;
        case 0x178:
            return 0xFF;
        default:
            return cp;
    }
}

thread_local int activeCodePage = codepage::kLatin1;

// ASCII is one unit long in every code page and in UTF-16, and every code page keeps it.
bool isAscii(const std::string& utf8) {
    return std::all_of(utf8.begin(), utf8.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

CodePageScope::CodePageScope(int codePage) : previous_(std::exchange(activeCodePage, codePage)) {}

CodePageScope::~CodePageScope() { activeCodePage = previous_; }

std::string codePageEncoding() {
    return activeCodePage == codepage::kUtf8 ? "UTF-8"
                                             : "windows-" + std::to_string(activeCodePage);
}

std::string toCodePage(const std::string& utf8) { return codepage::encode(activeCodePage, utf8); }

std::string fromCodePage(const std::string& bytes) {
    return codepage::decode(activeCodePage, bytes);
}

std::string keepCodePage(const std::string& utf8) {
    if (isAscii(utf8)) return utf8;
    return fromCodePage(toCodePage(utf8));
}

std::size_t utf16Length(const std::string& utf8) {
    if (isAscii(utf8)) return utf8.size();
    std::size_t n = 0;
    for (char32_t cp : decode(utf8)) n += cp >= 0x10000 ? 2 : 1;
    return n;
}

std::size_t varcharLength(const std::string& utf8) {
    if (isAscii(utf8)) return utf8.size();
    std::size_t n = 0;
    for (char32_t cp : decode(utf8)) n += codepage::width(activeCodePage, cp);
    return n;
}

std::string prefix(const std::string& utf8, std::size_t count, bool utf16Units) {
    std::string out;
    std::size_t used = 0;
    for (char32_t cp : decode(utf8)) {
        used += utf16Units ? (cp >= 0x10000 ? 2 : 1) : codepage::width(activeCodePage, cp);
        if (used > count) break;
        appendUtf8(out, cp);
    }
    return out;
}

int compareNoCase(const std::string& a, const std::string& b) {
    const auto x = decode(a);
    const auto y = decode(b);
    for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
        const char32_t p = fold(x[i]);
        const char32_t q = fold(y[i]);
        if (p != q) return p < q ? -1 : 1;
    }
    return x.size() == y.size() ? 0 : x.size() < y.size() ? -1 : 1;
}

bool equalNoCase(const std::string& a, const std::string& b) { return compareNoCase(a, b) == 0; }

std::string trimRight(const std::string& s) {
    const auto end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

std::string trim(const std::string& s) {
    const auto begin = s.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos) return {};
    return s.substr(begin, s.find_last_not_of(" \t\r\n") - begin + 1);
}

}  // namespace standin::text
