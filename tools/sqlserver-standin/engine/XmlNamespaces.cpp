#include "XmlNamespaces.h"

#include <libxml/xpathInternals.h>

namespace standin::xmlns {
namespace {

const xmlChar* xml(const std::string& s) { return reinterpret_cast<const xmlChar*>(s.c_str()); }

bool isNameChar(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 0x80 || std::isalnum(u) || c == '_' || c == '-' || c == '.';
}

}  // namespace

Prefixes declaredOnRoot(xmlDocPtr declarations) {
    Prefixes out;
    const xmlNodePtr root = declarations ? xmlDocGetRootElement(declarations) : nullptr;
    for (xmlNsPtr ns = root ? root->nsDef : nullptr; ns; ns = ns->next)
        if (ns->prefix && ns->href)
            out.emplace_back(reinterpret_cast<const char*>(ns->prefix),
                             reinterpret_cast<const char*>(ns->href));
    return out;
}

void registerPrefixes(xmlXPathContextPtr ctx, const Prefixes& prefixes) {
    for (const auto& [prefix, uri] : prefixes) xmlXPathRegisterNs(ctx, xml(prefix), xml(uri));
}

// A prefix is the name before a single ':' (a double one names an axis).
std::optional<std::string> undeclaredPrefix(const std::string& pattern, xmlXPathContextPtr ctx) {
    char quote = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (quote) {
            quote = c == quote ? 0 : quote;
            continue;
        }
        if (c == '\'' || c == '"') {
            quote = c;
            continue;
        }
        const bool single = c == ':' && (i + 1 >= pattern.size() || pattern[i + 1] != ':') &&
                            (i == 0 || pattern[i - 1] != ':');
        if (!single) continue;
        std::size_t start = i;
        while (start > 0 && isNameChar(pattern[start - 1])) --start;
        const std::string prefix = pattern.substr(start, i - start);
        if (!prefix.empty() && !xmlXPathNsLookup(ctx, xml(prefix))) return prefix;
    }
    return std::nullopt;
}

}  // namespace standin::xmlns
