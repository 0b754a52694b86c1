#include "Collation.h"

#include "CodePage.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <vector>

namespace standin {
namespace {

struct Language {
    const char* name;
    uint32_t lcid;
    int codePage;
};

// Windows collation designators with a single-byte code page.
constexpr Language kLanguages[] = {
    {"Albanian", 0x41C, 1250},
    {"Arabic", 0x401, 1256},
    {"Croatian", 0x41A, 1250},
    {"Cyrillic_General", 0x419, 1251},
    {"Czech", 0x405, 1250},
    {"Danish_Norwegian", 0x406, 1252},
    {"Estonian", 0x425, 1257},
    {"Finnish_Swedish", 0x40B, 1252},
    {"French", 0x40C, 1252},
    {"German_PhoneBook", 0x10407, 1252},
    {"Greek", 0x408, 1253},
    {"Hebrew", 0x40D, 1255},
    {"Hungarian", 0x40E, 1250},
    {"Icelandic", 0x40F, 1252},
    {"Latin1_General", 0x409, 1252},
    {"Latvian", 0x426, 1257},
    {"Lithuanian", 0x427, 1257},
    {"Modern_Spanish", 0xC0A, 1252},
    {"Polish", 0x415, 1250},
    {"Romanian", 0x418, 1250},
    {"Slovak", 0x41B, 1250},
    {"Slovenian", 0x424, 1250},
    {"Thai", 0x41E, 874},
    {"Turkish", 0x41F, 1254},
    {"Ukrainian", 0x422, 1251},
    {"Vietnamese", 0x42A, 1258},
};

// COLLATIONPROPERTY's ComparisonStyle bits.
constexpr int kIgnoreCase = 1;
constexpr int kIgnoreAccent = 2;
constexpr int kIgnoreKana = 65536;
constexpr int kIgnoreWidth = 131072;

// The flag bits of the wire's collation, above the 20 bits of the LCID.
constexpr uint32_t kWireIgnoreCase = 1u << 20;
constexpr uint32_t kWireIgnoreAccent = 1u << 21;
constexpr uint32_t kWireIgnoreWidth = 1u << 22;
constexpr uint32_t kWireIgnoreKana = 1u << 23;
constexpr uint32_t kWireBinary = 1u << 24;
constexpr uint32_t kWireBinary2 = 1u << 25;
constexpr uint32_t kWireUtf8 = 1u << 26;

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::vector<std::string> parts(std::string_view name) {
    std::vector<std::string> out;
    std::size_t start = 0;
    for (std::size_t end; (end = name.find('_', start)) != std::string_view::npos; start = end + 1)
        out.push_back(upper(name.substr(start, end - start)));
    out.push_back(upper(name.substr(start)));
    return out;
}

void setWire(Collation& c, uint32_t info, uint8_t sortId) {
    info |= c.lcid | static_cast<uint32_t>(c.version) << 28;
    for (int k = 0; k < 4; ++k) c.wire[k] = static_cast<uint8_t>(info >> (8 * k));
    c.wire[4] = sortId;
}

// The options after the language and version: CI/CS, AI/AS, then KS, WS, VSS, SC, UTF8 in any
// order, or BIN / BIN2 alone.
std::optional<Collation> windowsCollation(Collation c, const std::vector<std::string>& options) {
    uint32_t info = 0;
    if (options.size() == 1 && (options[0] == "BIN" || options[0] == "BIN2")) {
        setWire(c, options[0] == "BIN" ? kWireBinary : kWireBinary2, 0);
        return c;
    }
    if (options.size() < 2 || (options[0] != "CI" && options[0] != "CS") ||
        (options[1] != "AI" && options[1] != "AS"))
        return std::nullopt;
    std::set<std::string> rest(options.begin() + 2, options.end());
    static const std::set<std::string> known = {"KS", "WS", "VSS", "SC", "UTF8"};
    if (rest.size() != options.size() - 2 ||
        !std::all_of(rest.begin(), rest.end(),
                     [](const std::string& o) { return known.count(o) > 0; }))
        return std::nullopt;
    const bool ignoreCase = options[0] == "CI";
    const bool ignoreAccent = options[1] == "AI";
    const bool ignoreKana = !rest.count("KS");
    const bool ignoreWidth = !rest.count("WS");
    c.comparisonStyle = (ignoreCase ? kIgnoreCase : 0) | (ignoreAccent ? kIgnoreAccent : 0) |
                        (ignoreKana ? kIgnoreKana : 0) | (ignoreWidth ? kIgnoreWidth : 0);
    info = (ignoreCase ? kWireIgnoreCase : 0) | (ignoreAccent ? kWireIgnoreAccent : 0) |
           (ignoreKana ? kWireIgnoreKana : 0) | (ignoreWidth ? kWireIgnoreWidth : 0);
    if (rest.count("UTF8")) {
        c.codePage = codepage::kUtf8;
        info |= kWireUtf8;
    }
    setWire(c, info, 0);
    return c;
}

int versionOf(const std::string& part) {
    if (part == "90") return 1;
    if (part == "100") return 2;
    if (part == "140") return 3;
    return -1;
}

}  // namespace

const Collation& serverCollation() {
    static const Collation c = [] {
        Collation d;
        d.name = "SQL_Latin1_General_CP1_CI_AS";
        d.comparisonStyle = kIgnoreCase | kIgnoreKana | kIgnoreWidth;
        setWire(d, kWireIgnoreCase | kWireIgnoreKana | kWireIgnoreWidth, 52);
        return d;
    }();
    return c;
}

std::optional<Collation> findCollation(std::string_view name) {
    if (upper(name) == upper(serverCollation().name)) return serverCollation();
    const std::vector<std::string> all = parts(name);
    for (const Language& language : kLanguages) {
        const std::vector<std::string> designator = parts(language.name);
        if (all.size() <= designator.size() ||
            !std::equal(designator.begin(), designator.end(), all.begin()))
            continue;
        Collation c;
        c.name = std::string(name);
        c.lcid = language.lcid;
        c.codePage = language.codePage;
        auto options =
            std::vector<std::string>(all.begin() + static_cast<long>(designator.size()), all.end());
        if (const int v = versionOf(options.front()); v >= 0) {
            c.version = v;
            options.erase(options.begin());
        }
        if (options.empty()) return std::nullopt;
        return windowsCollation(std::move(c), options);
    }
    return std::nullopt;
}

}  // namespace standin
