#include "XmlDocument.h"

#include "Cancel.h"
#include "Messages.h"
#include "Text.h"
#include "XmlNamespaces.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <optional>
#include <regex>
#include <utility>

namespace standin {
namespace {

struct FirstError {
    bool seen = false;
    int code = 0;
    int line = 0;
    int column = 0;
    std::string str1, str2, message;
};

void collectFirst(void* data, xmlErrorPtr e) {
    auto* first = static_cast<FirstError*>(data);
    if (first->seen || e->level < XML_ERR_ERROR) return;
    first->seen = true;
    first->code = e->code;
    first->line = e->line;
    first->column = e->int2;
    first->str1 = e->str1 ? e->str1 : "";
    first->str2 = e->str2 ? e->str2 : "";
    first->message = text::trim(e->message ? e->message : "");
}

// libxml2 reports through thread-local handlers: keep its messages off stderr while we work.
class ErrorCapture {
public:
    ErrorCapture() { xmlSetStructuredErrorFunc(&first, collectFirst); }
    ~ErrorCapture() { xmlSetStructuredErrorFunc(nullptr, nullptr); }
    ErrorCapture(const ErrorCapture&) = delete;
    ErrorCapture& operator=(const ErrorCapture&) = delete;
    FirstError first;
};

struct Description {
    unsigned code;
    std::string text;
};

Description tooDeep() {
    return {0xc00ce56f, "The document exceeds the maximum of " +
                            std::to_string(XmlDocument::kMaxOpenElements) + " open elements."};
}

// The parser's messages as the server's XML parser words them.
Description describe(const FirstError& e) {
    switch (e.code) {
        case XML_ERR_INVALID_CHAR:
        case XML_ERR_INVALID_ENCODING:
            return {0xc00ce508, "An invalid character was found in text content."};
        case XML_ERR_TAG_NAME_MISMATCH:
            return {0xc00ce56d,
                    "End tag '" + e.str2 + "' does not match the start tag '" + e.str1 + "'."};
        case XML_ERR_TAG_NOT_FINISHED:
            return {0xc00ce55f, "The following tags were not closed: " + e.str1 + "."};
        case XML_ERR_DOCUMENT_EMPTY:
            return {0xc00ce558, "XML document must have a top level element."};
        case XML_ERR_DOCUMENT_END:
            return {0xc00ce555, "Only one top level element is allowed in an XML document."};
        case XML_ERR_UNDECLARED_ENTITY:
        case XML_WAR_UNDECLARED_ENTITY:
            return {0xc00ce002, "Reference to undefined entity '" + e.str1 + "'."};
        case XML_ERR_UNSUPPORTED_ENCODING:
            return {0xc00ce56e, "System does not support the specified encoding."};
        case XML_NS_ERR_UNDEFINED_NAMESPACE:
            return {0xc00ce01d, "Reference to undeclared namespace prefix: '" + e.str1 + "'."};
        default:
            // libxml2 stops by itself one element past our limit.
            if (e.message.rfind("Excessive depth", 0) == 0) return tooDeep();
            return {0xc00ce50d, e.message};
    }
}

// Up to 40 characters of the document's line `line`, ending where the parser stopped.
std::string nearText(const std::string& utf8, int line, int column) {
    std::size_t start = 0;
    for (int l = 1; l < line && start != std::string::npos; ++l) {
        start = utf8.find('\n', start);
        start = start == std::string::npos ? start : start + 1;
    }
    if (start == std::string::npos) return {};
    std::string rest = utf8.substr(start, utf8.find_first_of("\r\n", start) - start);
    rest = text::prefix(rest, column > 0 ? static_cast<std::size_t>(column) : rest.size(), true);
    const std::size_t chars = text::utf16Length(rest);
    if (chars <= 40) return rest;
    return rest.substr(text::prefix(rest, chars - 40, true).size());
}

SqlError parseFailure(unsigned code, const std::string& description, int line,
                      const std::string& near) {
    return SqlError(std::vector<Message>{msg::xmlParseError(code, line, near),
                                         msg::xmlErrorDescription(description)});
}

int depthBeyond(xmlNodePtr node, int depth, xmlNodePtr& deepest) {
    for (xmlNodePtr c = node->children; c; c = c->next) {
        if (c->type != XML_ELEMENT_NODE) continue;
        if (depth + 1 > XmlDocument::kMaxOpenElements) {
            deepest = c;
            return depth + 1;
        }
        const int d = depthBeyond(c, depth + 1, deepest);
        if (deepest) return d;
    }
    return depth;
}

// The encoding an XML declaration names, and the declaration up to the end of that name.
struct DeclaredEncoding {
    std::string name;
    std::string text;
};

std::optional<DeclaredEncoding> declaredEncoding(const std::string& bytes) {
    static const std::regex declaration(R"(^\s*<\?xml[^>]*\sencoding\s*=\s*(["'])([^"']*)\1)");
    const std::string start = bytes.substr(0, 200);
    std::smatch m;
    if (!std::regex_search(start, m, declaration)) return std::nullopt;
    return DeclaredEncoding{m[2].str(), text::trim(m[0].str())};
}

// Unicode text is UTF-16 to the server's parser: a declaration may name only that.
void checkUnicodeDeclaration(const std::string& utf8) {
    const auto declared = declaredEncoding(utf8);
    if (!declared) return;
    for (const char* utf16 : {"UTF-16", "UCS-2", "ISO-10646-UCS-2", "UNICODE-2-0-UTF-16"})
        if (text::equalNoCase(declared->name, utf16)) return;
    throw parseFailure(0xc00ce56c,
                       "Switch from current encoding to specified encoding not supported.", 1,
                       declared->text);
}

// The parser stops at the next element once the client has asked to cancel.
void startElement(void* context, const xmlChar* localName, const xmlChar* prefix,
                  const xmlChar* uri, int namespaces, const xmlChar** declared, int attributes,
                  int defaulted, const xmlChar** values) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(context);
    if (cancel::requested()) xmlStopParser(ctxt);
    xmlSAX2StartElementNs(context, localName, prefix, uri, namespaces, declared, attributes,
                          defaulted, values);
}

std::string contentOf(xmlNodePtr node) {
    xmlChar* c = xmlNodeGetContent(node);
    std::string out = c ? reinterpret_cast<const char*>(c) : "";
    xmlFree(c);
    return out;
}

// Line breaks in attribute values, written out or as &#xD; / &#xA;, become one space each (a CR LF
// pair counts once), as sp_xml_preparedocument collapses them.
void collapseLineBreaks(xmlNodePtr node) {
    for (xmlNodePtr c = node->children; c; c = c->next) {
        if (c->type != XML_ELEMENT_NODE) continue;
        for (xmlAttrPtr a = c->properties; a; a = a->next) {
            const std::string value = contentOf(reinterpret_cast<xmlNodePtr>(a));
            if (value.find_first_of("\r\n") == std::string::npos) continue;
            static const std::regex lineBreak("\r\n|\r|\n");
            const std::string collapsed = std::regex_replace(value, lineBreak, " ");
            xmlSetNsProp(c, a->ns, a->name, reinterpret_cast<const xmlChar*>(collapsed.c_str()));
        }
        collapseLineBreaks(c);
    }
}

struct XPathObject {
    xmlXPathObjectPtr p;
    ~XPathObject() { xmlXPathFreeObject(p); }
};

struct CompiledPath {
    CompiledPath() = default;
    explicit CompiledPath(xmlXPathCompExprPtr path) : p(path) {}
    CompiledPath(CompiledPath&& other) noexcept : p(std::exchange(other.p, nullptr)) {}
    CompiledPath& operator=(CompiledPath&& other) noexcept {
        std::swap(p, other.p);
        return *this;
    }
    CompiledPath(const CompiledPath&) = delete;
    CompiledPath& operator=(const CompiledPath&) = delete;
    ~CompiledPath() { xmlXPathFreeCompExpr(p); }
    xmlXPathCompExprPtr p = nullptr;
};

// The pattern's value at `node`: the first selected node's text, a computed value, or NULL.
Value evaluate(xmlXPathContextPtr ctx, xmlXPathCompExprPtr path, xmlNodePtr node) {
    ctx->node = node;
    XPathObject r{xmlXPathCompiledEval(path, ctx)};
    if (!r.p) return std::nullopt;
    if (r.p->type == XPATH_NODESET) {
        if (!r.p->nodesetval || r.p->nodesetval->nodeNr == 0) return std::nullopt;
        return contentOf(r.p->nodesetval->nodeTab[0]);
    }
    xmlChar* s = xmlXPathCastToString(r.p);
    std::string out = reinterpret_cast<const char*>(s);
    xmlFree(s);
    return out;
}

// The value of a column without a pattern: an attribute or a child element named like it.
Value mapped(xmlNodePtr node, const std::string& name, long long flags) {
    if (node->type != XML_ELEMENT_NODE) return std::nullopt;
    const auto* n = reinterpret_cast<const xmlChar*>(name.c_str());
    const bool elements = (flags & 2) != 0;
    const bool attributes = (flags & 3) != 2;
    // The name is an unprefixed XPath name: it matches only nodes in no namespace.
    if (attributes)
        if (xmlAttrPtr a = xmlHasNsProp(node, n, nullptr))
            return contentOf(reinterpret_cast<xmlNodePtr>(a));
    if (elements)
        for (xmlNodePtr c = node->children; c; c = c->next)
            if (c->type == XML_ELEMENT_NODE && !c->ns && xmlStrEqual(c->name, n))
                return contentOf(c);
    return std::nullopt;
}

CompiledPath compile(xmlXPathContextPtr ctx, const std::string& pattern) {
    if (const auto prefix = xmlns::undeclaredPrefix(pattern, ctx))
        throw SqlError(
            msg::xpathError("Reference to undeclared namespace prefix: '" + *prefix + "'."));
    ErrorCapture quiet;
    CompiledPath c(xmlXPathCtxtCompile(ctx, reinterpret_cast<const xmlChar*>(pattern.c_str())));
    if (c.p) return c;
    // Name the text after the longest valid beginning, as the server's XPath parser does.
    std::size_t valid = pattern.size();
    while (valid > 0) {
        --valid;
        xmlXPathCompExprPtr p = xmlXPathCtxtCompile(
            ctx, reinterpret_cast<const xmlChar*>(pattern.substr(0, valid).c_str()));
        if (p) {
            xmlXPathFreeCompExpr(p);
            break;
        }
    }
    throw SqlError(
        msg::xpathError("Expected token 'eof' found '" + pattern.substr(valid, 1) + "'."));
}

}  // namespace

struct XmlDocument::Doc {
    xmlDocPtr doc = nullptr;
    xmlns::Prefixes prefixes;
    ~Doc() { xmlFreeDoc(doc); }
};

XmlDocument::XmlDocument(std::unique_ptr<Doc> doc) : doc_(std::move(doc)) {}
XmlDocument::~XmlDocument() = default;

std::unique_ptr<XmlDocument> XmlDocument::parse(const Value& value, bool unicode) {
    auto d = std::make_unique<Doc>();
    if (!value) {
        d->doc = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
        return std::unique_ptr<XmlDocument>(new XmlDocument(std::move(d)));
    }
    if (unicode) checkUnicodeDeclaration(*value);
    const std::string bytes = unicode ? *value : text::toCodePage(*value);
    // Without a declaration, varchar text is read in the code page it is held in.
    const std::string held = text::codePageEncoding();
    const char* encoding = unicode ? "UTF-8" : declaredEncoding(bytes) ? nullptr : held.c_str();
    ErrorCapture capture;
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    ctxt->sax->startElementNs = startElement;
    d->doc = xmlCtxtReadMemory(ctxt, bytes.data(), static_cast<int>(bytes.size()), nullptr,
                               encoding, XML_PARSE_NONET | XML_PARSE_NOBLANKS);
    xmlFreeParserCtxt(ctxt);
    cancel::check();
    const std::string shown = unicode ? *value : text::fromCodePage(bytes);
    if (!d->doc || capture.first.seen) {
        const Description why = describe(capture.first);
        throw parseFailure(why.code, why.text, capture.first.line,
                           nearText(shown, capture.first.line, capture.first.column));
    }
    xmlNodePtr deepest = nullptr;
    depthBeyond(reinterpret_cast<xmlNodePtr>(d->doc), 0, deepest);
    if (deepest) {
        const int line = static_cast<int>(xmlGetLineNo(deepest));
        const Description why = tooDeep();
        throw parseFailure(why.code, why.text, line,
                           "<" + std::string(reinterpret_cast<const char*>(deepest->name)));
    }
    collapseLineBreaks(reinterpret_cast<xmlNodePtr>(d->doc));
    return std::unique_ptr<XmlDocument>(new XmlDocument(std::move(d)));
}

void XmlDocument::bindPrefixes(const XmlDocument& declarations) {
    doc_->prefixes = xmlns::declaredOnRoot(declarations.doc_->doc);
}

std::vector<std::vector<Value>> XmlDocument::rows(
    const std::string& rowPattern, long long flags,
    const std::vector<ast::ColumnSpec>& columns) const {
    std::unique_ptr<xmlXPathContext, decltype(&xmlXPathFreeContext)> ctx(
        xmlXPathNewContext(doc_->doc), xmlXPathFreeContext);
    xmlns::registerPrefixes(ctx.get(), doc_->prefixes);
    const CompiledPath rowPath = compile(ctx.get(), rowPattern);
    std::vector<CompiledPath> columnPaths(columns.size());
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].pattern) columnPaths[i] = compile(ctx.get(), *columns[i].pattern);

    ErrorCapture quiet;
    ctx->node = reinterpret_cast<xmlNodePtr>(doc_->doc);
    XPathObject selected{xmlXPathCompiledEval(rowPath.p, ctx.get())};
    std::vector<std::vector<Value>> out;
    if (!selected.p || selected.p->type != XPATH_NODESET)
        throw SqlError(msg::xpathError("Expression does not return a DOM node."));
    const xmlNodeSetPtr nodes = selected.p->nodesetval;
    for (int n = 0; nodes && n < nodes->nodeNr; ++n) {
        cancel::check();
        std::vector<Value> row;
        for (std::size_t i = 0; i < columns.size(); ++i)
            row.push_back(columns[i].pattern
                              ? evaluate(ctx.get(), columnPaths[i].p, nodes->nodeTab[n])
                              : mapped(nodes->nodeTab[n], columns[i].name, flags));
        out.push_back(std::move(row));
    }
    return out;
}

}  // namespace standin
