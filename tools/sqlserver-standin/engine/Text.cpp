#include "Text.h"

#include <array>
#include <vector>

namespace standin::text {
namespace {

// Code points of the bytes 0x80..0x9F; the five bytes Windows leaves unassigned map to themselves.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::vector<char32_t> decode(const std::string& utf8)
{
    std::vector<char32_t> out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        int extra = c < 0x80 ? 0 : c < 0xE0 ? 1 : c < 0xF0 ? 2 : 3;
        char32_t cp = extra == 0 ? c : extra == 1 ? (c & 0x1F) : extra == 2 ? (c & 0x0F) : (c & 0x07);
        if (c >= 0x80 && c < 0xC0)
            extra = 0, cp = 0xFFFD;
        ++i;
        for (; extra > 0 && i < utf8.size(); --extra, ++i)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i]) & 0x3F);
        out.push_back(cp);
    }
    return out;
}

void encode(char32_t cp, std::string& out)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

char toByte(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<char>(cp);
    for (std::size_t i = 0; i < kHighControls.size(); ++i)
        if (kHighControls[i] == cp)
            return static_cast<char>(0x80 + i);
    return '?';
}

char32_t fromByte(unsigned char b)
{
    return b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : b;
}

char32_t fold(char32_t cp)
{
    if ((cp >= 'A' && cp <= 'Z') || (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7))
        return cp + 0x20;
    switch (cp) {
    case 0x160: return 0x161;
    case 0x152: return 0x153;
    case 0x17D: return 0x17E;
    case 0x178: return 0xFF;
    default: return cp;
    }
}

}  // namespace

std::string toCodePage(const std::string& utf8)
{
    std::string out;
    for (char32_t cp : decode(utf8))
        out += toByte(cp);
    return out;
}

std::string fromCodePage(const std::string& bytes)
{
    std::string out;
    for (char b : bytes)
        encode(fromByte(static_cast<unsigned char>(b)), out);
    return out;
}

std::string keepCodePage(const std::string& utf8)
{
    return fromCodePage(toCodePage(utf8));
}

std::size_t utf16Length(const std::string& utf8)
{
    std::size_t n = 0;
    for (char32_t cp : decode(utf8))
        n += cp >= 0x10000 ? 2 : 1;
    return n;
}

std::size_t characterCount(const std::string& utf8)
{
    return decode(utf8).size();
}

std::string prefix(const std::string& utf8, std::size_t count, bool utf16Units)
{
    std::string out;
    std::size_t used = 0;
    for (char32_t cp : decode(utf8)) {
        used += utf16Units && cp >= 0x10000 ? 2 : 1;
        if (used > count)
            break;
        encode(cp, out);
    }
    return out;
}

int compareNoCase(const std::string& a, const std::string& b)
{
    const auto x = decode(a);
    const auto y = decode(b);
    for (std::size_t i = 0; i < x.size() && i < y.size(); ++i) {
        const char32_t p = fold(x[i]);
        const char32_t q = fold(y[i]);
        if (p != q)
            return p < q ? -1 : 1;
    }
    return x.size() == y.size() ? 0 : x.size() < y.size() ? -1 : 1;
}

bool equalNoCase(const std::string& a, const std::string& b)
{
    return compareNoCase(a, b) == 0;
}

std::string trimRight(const std::string& s)
{
    const auto end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

std::string trim(const std::string& s)
{
    const auto begin = s.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos)
        return {};
    return s.substr(begin, s.find_last_not_of(" \t\r\n") - begin + 1);
}

}  // namespace standin::text
