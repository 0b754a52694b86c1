#include "CodePage.h"

#include "BestFit.h"
#include "Unicode.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <map>
#include <string>
#include <unordered_map>

namespace standin::codepage {
namespace {

constexpr char32_t kUnassigned = 0xFFFD;

struct SingleByte {
    std::array<char32_t, 256> toUnicode{};
    std::unordered_map<char32_t, char> fromUnicode;
};

// The page's table from the C library's converter. Bytes Windows leaves unassigned below 0xA0
// stand for the control characters of the same value, as Windows maps them.
SingleByte load(int codePage) {
    SingleByte page;
    iconv_t cd = iconv_open("UTF-32LE", ("CP" + std::to_string(codePage)).c_str());
    for (int b = 0; b < 256; ++b) {
        char in = static_cast<char>(b);
        std::array<unsigned char, 8> out{};
        char* inPtr = &in;
        auto* outPtr = reinterpret_cast<char*>(out.data());
        std::size_t inLeft = 1;
        std::size_t outLeft = out.size();
        const bool converted =
            cd != reinterpret_cast<iconv_t>(-1) &&
            iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1) &&
            outLeft == 4;
        char32_t cp =
            converted  ? static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | out[3] << 24)
            : b < 0xA0 ? static_cast<char32_t>(b)
                       : kUnassigned;
        page.toUnicode[b] = cp;
        if (cp != kUnassigned) page.fromUnicode.emplace(cp, in);
    }
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    return page;
}

constexpr std::array<int, 10> kSingleBytePages = {874,  1250, 1251, 1252, 1253,
                                                  1254, 1255, 1256, 1257, 1258};

const SingleByte* table(int codePage) {
    static const std::map<int, SingleByte> pages = [] {
        std::map<int, SingleByte> all;
        for (int p : kSingleBytePages) all.emplace(p, load(p));
        return all;
    }();
    const auto it = pages.find(codePage);
    return it == pages.end() ? nullptr : &it->second;
}

const SingleByte& tableOrLatin1(int codePage) {
    const SingleByte* page = table(codePage);
    return page ? *page : *table(kLatin1);
}

}  // namespace

bool isSupported(int codePage) { return codePage == kUtf8 || table(codePage) != nullptr; }

std::string encode(int codePage, std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    if (codePage == kUtf8) {
        for (std::size_t i = 0; i < utf8.size();)
            unicode::appendUtf8(out, unicode::nextCodePoint(utf8, i));
        return out;
    }
    const SingleByte& page = tableOrLatin1(codePage);
    for (std::size_t i = 0; i < utf8.size();) {
        const char32_t cp = unicode::nextCodePoint(utf8, i);
        if (cp < 0x80) {  // every code page here keeps ASCII as it is
            out += static_cast<char>(cp);
            continue;
        }
        auto found = page.fromUnicode.find(cp);
        if (found == page.fromUnicode.end())
            if (const char32_t base = bestFitBase(cp); base != 0)
                found = page.fromUnicode.find(base);
        if (found != page.fromUnicode.end())
            out += found->second;
        else
            out += cp >= 0x10000 ? "??" : "?";
    }
    return out;
}

std::string decode(int codePage, std::string_view bytes) {
    if (codePage == kUtf8) return encode(kUtf8, bytes);
    const SingleByte& page = tableOrLatin1(codePage);
    std::string out;
    out.reserve(bytes.size());
    for (char b : bytes) unicode::appendUtf8(out, page.toUnicode[static_cast<unsigned char>(b)]);
    return out;
}

std::size_t width(int codePage, char32_t cp) {
    if (codePage != kUtf8) return 1;
    return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}

}  // namespace standin::codepage
