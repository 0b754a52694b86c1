#include "TextCodec.h"

#include <array>

namespace standin::tds {
namespace {

constexpr char32_t replacement = 0xFFFD;

// Decodes one code point and advances i; malformed input yields U+FFFD.
char32_t nextCodePoint(std::string_view s, size_t& i)
{
    auto byte = [&](size_t k) { return static_cast<uint8_t>(s[k]); };
    uint8_t lead = byte(i++);
    if (lead < 0x80)
        return lead;
    int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 && lead < 0xE0 ? 1 : -1;
    if (extra < 0 || lead >= 0xF5)
        return replacement;
    char32_t cp = lead & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if (i >= s.size() || (byte(i) & 0xC0) != 0x80)
            return replacement;
        cp = (cp << 6) | (byte(i++) & 0x3F);
    }
    static constexpr std::array<char32_t, 4> smallest{0, 0x80, 0x800, 0x10000};
    if (cp < smallest[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return replacement;
    return cp;
}

void appendUtf8(std::string& out, char32_t cp)
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

// Code page 1252 bytes 0x80..0x9F; 0 marks the five unassigned ones.
constexpr std::array<char16_t, 32> cp1252High{
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char toCp1252(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<char>(cp);
    for (size_t k = 0; k < cp1252High.size(); ++k)
        if (cp1252High[k] != 0 && cp1252High[k] == cp)
            return static_cast<char>(0x80 + k);
    return '?';
}

}  // namespace

std::vector<uint8_t> utf8ToUtf16le(std::string_view utf8)
{
    std::vector<uint8_t> out;
    out.reserve(utf8.size() * 2);
    auto unit = [&](char32_t u) {
        out.push_back(static_cast<uint8_t>(u));
        out.push_back(static_cast<uint8_t>(u >> 8));
    };
    for (size_t i = 0; i < utf8.size();) {
        char32_t cp = nextCodePoint(utf8, i);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            unit(0xD800 | (cp >> 10));
            unit(0xDC00 | (cp & 0x3FF));
        } else {
            unit(cp);
        }
    }
    return out;
}

std::string utf16leToUtf8(const uint8_t* data, size_t size)
{
    std::string out;
    out.reserve(size);
    size_t units = size / 2;
    auto unit = [&](size_t k) { return static_cast<char32_t>(data[2 * k] | (data[2 * k + 1] << 8)); };
    for (size_t k = 0; k < units; ++k) {
        char32_t u = unit(k);
        if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units && unit(k + 1) >= 0xDC00 && unit(k + 1) <= 0xDFFF) {
            appendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (unit(k + 1) - 0xDC00));
            ++k;
        } else {
            appendUtf8(out, u >= 0xD800 && u <= 0xDFFF ? replacement : u);
        }
    }
    return out;
}

std::string utf8ToCp1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();)
        out += toCp1252(nextCodePoint(utf8, i));
    return out;
}

}  // namespace standin::tds
