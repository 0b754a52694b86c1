#include "TextCodec.h"

#include "CodePage.h"
#include "Unicode.h"


namespace standin::tds {
namespace {

using unicode::appendUtf8;
using unicode::nextCodePoint;

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
            appendUtf8(out, u >= 0xD800 && u <= 0xDFFF ? char32_t{0xFFFD} : u);
        }
    }
    return out;
}

std::string utf8ToCodePage(std::string_view utf8, int codePage)
{
    return codepage::encode(codePage, utf8);
}

}  // namespace standin::tds
