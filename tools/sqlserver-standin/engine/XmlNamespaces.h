// Namespace prefixes for OPENXML's patterns: those sp_xml_preparedocument's third argument
// declares, registered with libxml2's XPath, and patterns that use a prefix nobody declared.
#pragma once

#include <libxml/tree.h>
#include <libxml/xpath.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace standin::xmlns {

using Prefixes = std::vector<std::pair<std::string, std::string>>;  // prefix, URI

// The prefixed declarations on the root element of `declarations` (`<root xmlns:p="uri"/>`);
// the rest of that document, and a default namespace, do not count.
Prefixes declaredOnRoot(xmlDocPtr declarations);

void registerPrefixes(xmlXPathContextPtr ctx, const Prefixes& prefixes);

// The first prefix of a name in `pattern` that `ctx` does not know, outside string literals.
std::optional<std::string> undeclaredPrefix(const std::string& pattern, xmlXPathContextPtr ctx);

}  // namespace standin::xmlns
