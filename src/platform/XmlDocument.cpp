#include "platform/XmlDocument.h"

#include <algorithm>
#include <vector>

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <libxml/SAX2.h>
#include <libxml/chvalid.h>
#include <libxml/parser.h>

#include "platform/XmlNamespaces.h"
#include "platform/XmlText.h"

namespace platform {
namespace {

// Entities are substituted, nothing is fetched, no size limit applies, and elements are
// built by StartElement below (the SAX1 interface hands attributes over in document order,
// namespace declarations among them).
constexpr int ParseOptions = XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_SAX1 |
                             XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

// A default that an internal DTD's attribute-list declaration gives an element's attribute.
struct AttributeDefault {
    QByteArray name;
    QByteArray value;
};

struct ParseState {
    QString refused;  // why the document is refused beyond what the parser checks
    int depth = 0;
    NamespaceScopes namespaces;
    // By element name, in declaration order; the first declaration of an attribute counts.
    QHash<QByteArray, std::vector<AttributeDefault>> defaults;
};

const xmlChar* Text(const char* text) { return reinterpret_cast<const xmlChar*>(text); }
const char* Chars(const xmlChar* text) { return reinterpret_cast<const char*>(text); }

ParseState& StateOf(void* ctx) {
    return *static_cast<ParseState*>(static_cast<xmlParserCtxtPtr>(ctx)->_private);
}

void Refuse(void* ctx, const QString& reason) {
    StateOf(ctx).refused = reason;
    xmlStopParser(static_cast<xmlParserCtxtPtr>(ctx));
}

// The written attributes in document order, then the defaults of the DTD that are not written.
std::vector<XmlAttribute> AttributesOf(const ParseState& state, const xmlChar* name,
                                       const xmlChar** atts) {
    std::vector<XmlAttribute> attributes;
    for (; atts && atts[0]; atts += 2)
        attributes.emplace_back(Chars(atts[0]), atts[1] ? Chars(atts[1]) : "");
    if (state.defaults.isEmpty()) return attributes;
    const auto found = state.defaults.constFind(QByteArray(Chars(name)));
    if (found == state.defaults.cend()) return attributes;
    QSet<QByteArrayView> written;
    for (const XmlAttribute& attribute : attributes) written.insert(attribute.first);
    for (const AttributeDefault& missing : *found)
        if (!written.contains(missing.name))
            attributes.emplace_back(missing.name.constData(), missing.value.constData());
    return attributes;
}

// xmlNewProp appends by walking the element's list; starting that walk at the last
// attribute keeps an element with many attributes linear.
bool AddAttributes(xmlNodePtr node, const std::vector<XmlAttribute>& attributes) {
    xmlAttrPtr first = nullptr;
    xmlAttrPtr last = nullptr;
    for (const auto& [name, value] : attributes) {
        node->properties = last;
        last = xmlNewProp(node, Text(name), Text(value));
        if (!last) break;
        if (!first) first = last;
    }
    node->properties = first;
    return last || attributes.empty();
}

// The element keeps its name as written, prefix included, and every attribute, namespace
// declarations among them, stays a plain attribute in document order: the program
// compares names, it never resolves them. Names are checked as a namespace-aware parser
// checks them all the same.
void StartElement(void* ctx, const xmlChar* name, const xmlChar** atts) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    ParseState& state = StateOf(ctx);
    if (++state.depth > XmlDocument::MaxDepth)
        return Refuse(
            ctx, QStringLiteral("more than %1 elements open at once").arg(XmlDocument::MaxDepth));
    const std::vector<XmlAttribute> attributes = AttributesOf(state, name, atts);
    const QString refused = state.namespaces.Enter(Chars(name), attributes);
    if (!refused.isEmpty()) return Refuse(ctx, refused);
    xmlNodePtr node = xmlNewDocNode(ctxt->myDoc, nullptr, name, nullptr);
    if (!node) return Refuse(ctx, QStringLiteral("out of memory"));
    // Linked as the parser's own element handler links it: the first node of the document,
    // a child of the open element, or a sibling of what precedes it at the top level.
    xmlNodePtr parent = ctxt->node;
    if (!ctxt->myDoc->children)
        xmlAddChild(reinterpret_cast<xmlNodePtr>(ctxt->myDoc), node);
    else if (!parent)
        parent = ctxt->myDoc->children;
    if (parent) {
        if (parent->type == XML_ELEMENT_NODE)
            xmlAddChild(parent, node);
        else
            xmlAddSibling(parent, node);
    }
    // The open element, where the parser's handlers put what follows; no text node of its
    // is being filled yet.
    ctxt->node = node;
    ctxt->nodemem = -1;
    if (!AddAttributes(node, attributes)) Refuse(ctx, QStringLiteral("out of memory"));
}

// The element's parent is open again; after the root element, none is.
void EndElement(void* ctx, const xmlChar*) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    ParseState& state = StateOf(ctx);
    --state.depth;
    state.namespaces.Leave();
    xmlNodePtr parent = ctxt->node ? ctxt->node->parent : nullptr;
    ctxt->node = parent && parent->type == XML_ELEMENT_NODE ? parent : nullptr;
    ctxt->nodemem = -1;
}

void AttributeDecl(void* ctx, const xmlChar* element, const xmlChar* name, int type, int def,
                   const xmlChar* defaultValue, xmlEnumerationPtr tree) {
    if (defaultValue && (def == XML_ATTRIBUTE_NONE || def == XML_ATTRIBUTE_FIXED)) {
        std::vector<AttributeDefault>& defaults = StateOf(ctx).defaults[QByteArray(Chars(element))];
        const QByteArrayView attribute(Chars(name));
        if (std::none_of(defaults.begin(), defaults.end(),
                         [&](const AttributeDefault& known) { return known.name == attribute; }))
            defaults.push_back({attribute.toByteArray(), QByteArray(Chars(defaultValue))});
    }
    xmlSAX2AttributeDecl(ctx, element, name, type, def, defaultValue, tree);
}

// A reference to an entity that nothing declares (say one of an external DTD that is never
// read) would otherwise stay behind as an empty node and vanish from the document text.
void Reference(void* ctx, const xmlChar* name) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    if (!xmlGetDocEntity(ctxt->myDoc, name))
        return Refuse(ctx,
                      QStringLiteral("undeclared entity &%1;").arg(QString::fromUtf8(Chars(name))));
    xmlSAX2Reference(ctx, name);
}

// Declared entities can nest into an expansion bomb; the parser's default limits, which
// stop one, apply from the first declaration on.
void EntityDecl(void* ctx, const xmlChar* name, int type, const xmlChar* publicId,
                const xmlChar* systemId, xmlChar* content) {
    static_cast<xmlParserCtxtPtr>(ctx)->options &= ~XML_PARSE_HUGE;
    xmlSAX2EntityDecl(ctx, name, type, publicId, systemId, content);
}

xmlParserInputPtr RefuseExternal(const char*, const char*, xmlParserCtxtPtr) { return nullptr; }

// No external DTD, entity or other resource is ever read, local files included.
class ExternalResourcesRefused final {
public:
    ExternalResourcesRefused() : previous_(xmlGetExternalEntityLoader()) {
        xmlSetExternalEntityLoader(RefuseExternal);
    }
    ~ExternalResourcesRefused() { xmlSetExternalEntityLoader(previous_); }
    ExternalResourcesRefused(const ExternalResourcesRefused&) = delete;
    ExternalResourcesRefused& operator=(const ExternalResourcesRefused&) = delete;

private:
    xmlExternalEntityLoader previous_;
};

int ReadFile(void* context, char* buffer, int length) {
    const qint64 read = static_cast<QFile*>(context)->read(buffer, length);
    return read < 0 ? -1 : static_cast<int>(read);
}

struct ContextFree {
    void operator()(xmlParserCtxtPtr ctxt) const { xmlFreeParserCtxt(ctxt); }
};
using DocPtr = std::unique_ptr<xmlDoc, decltype(&xmlFreeDoc)>;

QString ParserMessage(const xmlParserCtxt& ctxt) {
    return ctxt.lastError.message ? QString::fromUtf8(ctxt.lastError.message).trimmed()
                                  : QStringLiteral("the document is not well-formed");
}

[[noreturn]] void Fail(const QString& fileName, const QString& reason) {
    throw XmlError(QStringLiteral("%1: %2").arg(fileName, reason).toStdString());
}

DocPtr Parse(const QString& fileName) {
    if (QFileInfo(fileName).isDir()) Fail(fileName, QStringLiteral("is a folder"));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) Fail(fileName, file.errorString());

    const ExternalResourcesRefused refused;
    const std::unique_ptr<xmlParserCtxt, ContextFree> ctxt(
        xmlCreateIOParserCtxt(nullptr, nullptr, ReadFile, nullptr, &file, XML_CHAR_ENCODING_NONE));
    if (!ctxt) Fail(fileName, QStringLiteral("out of memory"));
    xmlCtxtUseOptions(ctxt.get(), ParseOptions);
    ctxt->sax->startElement = StartElement;
    ctxt->sax->endElement = EndElement;
    ctxt->sax->entityDecl = EntityDecl;
    ctxt->sax->attributeDecl = AttributeDecl;
    ctxt->sax->reference = Reference;
    ParseState state;
    ctxt->_private = &state;

    xmlParseDocument(ctxt.get());
    DocPtr doc(ctxt->myDoc, xmlFreeDoc);
    ctxt->myDoc = nullptr;
    if (!state.refused.isEmpty()) Fail(fileName, state.refused);
    if (!ctxt->wellFormed || !doc) Fail(fileName, ParserMessage(*ctxt));
    if (!xmlDocGetRootElement(doc.get())) Fail(fileName, QStringLiteral("no root element"));
    return doc;
}

bool IsBlank(const xmlChar* text) {
    if (!text) return true;
    for (; *text; ++text)
        if (!xmlIsBlank_ch(*text)) return false;
    return true;
}

// xml:space on the element itself, else what its parent had.
bool PreservesSpace(xmlNodePtr element, bool inherited) {
    for (xmlAttrPtr attr = element->properties; attr; attr = attr->next) {
        if (!xmlStrEqual(attr->name, Text("xml:space"))) continue;
        xmlChar* value = xmlNodeGetContent(reinterpret_cast<xmlNodePtr>(attr));
        if (xmlStrEqual(value, Text("preserve")))
            inherited = true;
        else if (xmlStrEqual(value, Text("default")))
            inherited = false;
        xmlFree(value);
    }
    return inherited;
}

// Drops every text node made only of whitespace outside xml:space="preserve", and refuses
// a document nested deeper than the server accepts (entity content may add levels that
// the parser did not count).
void DropBlankText(const QString& fileName, xmlNodePtr root) {
    struct Open {
        xmlNodePtr element;
        int depth;
        bool preserve;
    };
    std::vector<Open> pending{{root, 1, PreservesSpace(root, false)}};
    while (!pending.empty()) {
        const Open open = pending.back();
        pending.pop_back();
        if (open.depth > XmlDocument::MaxDepth)
            Fail(fileName,
                 QStringLiteral("more than %1 elements open at once").arg(XmlDocument::MaxDepth));
        for (xmlNodePtr child = open.element->children, next; child; child = next) {
            next = child->next;
            if (child->type == XML_TEXT_NODE && !open.preserve && IsBlank(child->content)) {
                xmlUnlinkNode(child);
                xmlFreeNode(child);
            } else if (child->type == XML_ELEMENT_NODE) {
                pending.push_back({child, open.depth + 1, PreservesSpace(child, open.preserve)});
            }
        }
    }
}

QString QualifiedName(const xmlNs* ns, const xmlChar* name) {
    QString result = QString::fromUtf8(reinterpret_cast<const char*>(name));
    if (ns && ns->prefix)
        result = QString::fromUtf8(reinterpret_cast<const char*>(ns->prefix)) + u':' + result;
    return result;
}

}  // namespace

QString XmlNode::Name() const {
    if (!node_) return {};
    switch (node_->type) {
        case XML_TEXT_NODE:
            return QStringLiteral("#text");
        case XML_CDATA_SECTION_NODE:
            return QStringLiteral("#cdata-section");
        case XML_COMMENT_NODE:
            return QStringLiteral("#comment");
        default:
            return QualifiedName(node_->type == XML_ELEMENT_NODE ? node_->ns : nullptr,
                                 node_->name ? node_->name : Text(""));
    }
}

QStringList XmlNode::AttributeNames() const {
    QStringList names;
    if (!node_ || node_->type != XML_ELEMENT_NODE) return names;
    for (const xmlAttr* attr = node_->properties; attr; attr = attr->next)
        names << QualifiedName(attr->ns, attr->name);
    return names;
}

// Only elements have child nodes here: an entity reference's children are its declaration.
XmlNode XmlNode::FirstChild() const {
    return XmlNode(node_ && node_->type == XML_ELEMENT_NODE ? node_->children : nullptr);
}

XmlNode XmlNode::NextSibling() const { return XmlNode(node_ ? node_->next : nullptr); }

bool XmlNode::IsTextElement() const {
    const XmlNode child = FirstChild();
    return !child.IsNull() && child.NextSibling().IsNull() && child.node_->type == XML_TEXT_NODE;
}

void XmlDocument::DocFree::operator()(_xmlDoc* doc) const { xmlFreeDoc(doc); }

XmlDocument::XmlDocument() { xmlInitParser(); }

XmlDocument::~XmlDocument() = default;

void XmlDocument::SetFileName(const QString& fileName) {
    if (fileName == fileName_) return;
    doc_.reset();
    fileName_ = fileName;
}

void XmlDocument::Activate() {
    if (doc_) return;
    DocPtr doc = Parse(fileName_);
    DropBlankText(fileName_, xmlDocGetRootElement(doc.get()));
    doc_.reset(doc.release());
}

XmlNode XmlDocument::DocumentElement() const {
    return XmlNode(doc_ ? xmlDocGetRootElement(doc_.get()) : nullptr);
}

QByteArray XmlDocument::Xml(const QByteArray& encoding) const {
    return doc_ ? DocumentText(*doc_, encoding) : QByteArray();
}

QByteArray XmlDocument::PrefixDeclarations() const {
    return doc_ ? platform::PrefixDeclarations(*doc_) : QByteArray();
}

}  // namespace platform
