#include "platform/XmlReading.h"

#include <algorithm>
#include <deque>
#include <memory>
#include <string>

#include <QHash>
#include <QSet>

#include <libxml/SAX2.h>
#include <libxml/chvalid.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include "platform/XmlNamespaces.h"
#include "platform/XmlStartTag.h"

namespace platform {
namespace {

// Entities are substituted, nothing is fetched, and no size limit applies to the document
// itself (declared entities bring the limits back, see EntityDecl).
constexpr int ParseOptions =
    XML_PARSE_NOENT | XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;

const char* Chars(const xmlChar* text) { return reinterpret_cast<const char*>(text); }

// A default that an internal DTD's attribute-list declaration gives an element's attribute.
struct AttributeDefault {
    XmlName name;  // interned, like the names the parser hands over
    QByteArray value;
};

enum class Run { None, Text, CData };

struct ReadingState {
    XmlEvents* events = nullptr;
    int maxDepth = 0;
    QString refused;  // why the document is refused beyond what the parser checks
    bool rootSeen = false;
    int depth = 0;
    // Elements open inside (and including) the one whose content the events skip.
    int skipped = 0;
    // Whether text of whitespace alone is kept, per open element.
    std::vector<bool> preserve;
    Run run = Run::None;
    bool runBlank = true;
    std::string characters;
    NamespaceScopes namespaces;
    // By element name, in declaration order; the first declaration of an attribute counts.
    QHash<QByteArray, std::vector<AttributeDefault>> defaults;
    std::vector<XmlAttribute> attributes;  // of the element being started
    std::deque<QByteArray> decoded;        // values the parser did not hand over
    const char* xmlns = nullptr;           // interned
    QSet<QByteArray> declaredPrefixes;
    XmlReadResult result;
};

ReadingState& StateOf(void* ctx) {
    return *static_cast<ReadingState*>(static_cast<xmlParserCtxtPtr>(ctx)->_private);
}

void Refuse(void* ctx, const QString& reason) {
    StateOf(ctx).refused = reason;
    xmlStopParser(static_cast<xmlParserCtxtPtr>(ctx));
}

bool IsBlank(const char* text, int length) {
    return std::all_of(text, text + length, [](char c) { return xmlIsBlank_ch(c); });
}

// Hands over the text or CDATA node being gathered, now that something else follows it.
void EndRun(ReadingState& state) {
    if (state.run == Run::Text && (!state.runBlank || state.preserve.back()))
        state.events->Text(state.characters);
    else if (state.run == Run::CData)
        state.events->CData(state.characters);
    state.run = Run::None;
    state.runBlank = true;
    state.characters.clear();
}

void Gather(ReadingState& state, Run run, const xmlChar* text, int length) {
    if (state.skipped > 0 || state.preserve.empty()) return;
    if (state.run != run) EndRun(state);
    state.run = run;
    if (run == Run::Text && state.runBlank) state.runBlank = IsBlank(Chars(text), length);
    if (state.events->WantsCharacters()) state.characters.append(Chars(text), length);
}

void Characters(void* ctx, const xmlChar* text, int length) {
    Gather(StateOf(ctx), Run::Text, text, length);
}

void CDataBlock(void* ctx, const xmlChar* text, int length) {
    Gather(StateOf(ctx), Run::CData, text, length);
}

// Comments and processing instructions of the DTD are not part of the content.
bool InContent(void* ctx) {
    const ReadingState& state = StateOf(ctx);
    return !static_cast<xmlParserCtxtPtr>(ctx)->inSubset && state.skipped == 0;
}

void Comment(void* ctx, const xmlChar* text) {
    if (!InContent(ctx)) return;
    ReadingState& state = StateOf(ctx);
    if (!state.preserve.empty()) EndRun(state);
    state.events->Comment(Chars(text));
}

const char* Interned(xmlParserCtxtPtr ctxt, QByteArrayView text) {
    return Chars(xmlDictLookup(ctxt->dict, reinterpret_cast<const xmlChar*>(text.data()),
                               static_cast<int>(text.size())));
}

// The parser keeps one copy of each name it reads; a qualified one is looked up whole.
XmlName Keyed(xmlParserCtxtPtr ctxt, XmlName name) {
    name.key = name.prefix
                   ? xmlDictQLookup(ctxt->dict, reinterpret_cast<const xmlChar*>(name.prefix),
                                    reinterpret_cast<const xmlChar*>(name.local))
                   : static_cast<const void*>(name.local);
    return name;
}

// A qualified name split at its first colon, as the parser splits one, its parts interned.
XmlName InternedName(xmlParserCtxtPtr ctxt, QByteArrayView qualified) {
    const qsizetype colon = qualified.indexOf(':');
    return colon > 0 ? XmlName{Interned(ctxt, qualified.first(colon)),
                               Interned(ctxt, qualified.sliced(colon + 1))}
                     : XmlName{nullptr, Interned(ctxt, qualified)};
}

// A target is a name without a prefix, keyed as the qualified name it spells.
XmlName KeyedTarget(xmlParserCtxtPtr ctxt, const xmlChar* target) {
    XmlName name{nullptr, Chars(target)};
    name.key = Keyed(ctxt, InternedName(ctxt, name.local)).key;
    return name;
}

void ProcessingInstruction(void* ctx, const xmlChar* target, const xmlChar* data) {
    if (!InContent(ctx)) return;
    ReadingState& state = StateOf(ctx);
    if (!state.preserve.empty()) EndRun(state);
    state.events->ProcessingInstruction(KeyedTarget(static_cast<xmlParserCtxtPtr>(ctx), target),
                                        data ? Chars(data) : "");
}

bool SameName(const XmlName& a, const XmlName& b) {
    return qstrcmp(a.local, b.local) == 0 &&
           (a.prefix ? b.prefix && qstrcmp(a.prefix, b.prefix) == 0 : !b.prefix);
}

// The name of the declaration of prefix, or of the default namespace when it is null.
XmlName Declaration(const ReadingState& state, const char* prefix) {
    return prefix ? XmlName{state.xmlns, prefix} : XmlName{nullptr, state.xmlns};
}

// The written attributes in document order. The parser hands namespace declarations over
// apart from the other attributes, and leaves out some it objects to, so their place and
// value are taken from the start tag itself.
void AddWrittenAttributes(xmlParserCtxtPtr ctxt, ReadingState& state, int namespaceCount,
                          const xmlChar** namespaces, int attributeCount,
                          const xmlChar** attributes) {
    const auto attribute = [&](int index) {
        const xmlChar** at = attributes + 5 * index;
        return XmlAttribute{{Chars(at[1]), Chars(at[0])},
                            QByteArrayView(Chars(at[3]), at[4] - at[3])};
    };
    const QByteArrayView tag = StartTagBefore(ctxt->input->base, ctxt->input->cur);
    if (attributeCount == 0 && namespaceCount == 0 && !tag.contains('=')) return;
    if (!tag.contains("xmlns")) {
        for (int i = 0; i < attributeCount; ++i) state.attributes.push_back(attribute(i));
        return;
    }
    int nextAttribute = 0;
    int nextNamespace = 0;
    for (const WrittenAttribute& written : WrittenAttributes(tag)) {
        const auto prefix = DeclaredPrefix(written.name);
        if (!prefix) {
            if (nextAttribute < attributeCount)
                state.attributes.push_back(attribute(nextAttribute++));
            continue;
        }
        const xmlChar** at = namespaces + 2 * nextNamespace;
        if (nextNamespace < namespaceCount &&
            QByteArrayView(at[0] ? Chars(at[0]) : "") == *prefix &&
            MayBeTheValue(written.value, Chars(at[1]))) {
            state.attributes.push_back({Declaration(state, Chars(at[0])), Chars(at[1])});
            ++nextNamespace;
            continue;
        }
        state.decoded.push_back(AttributeValue(written.value, [ctxt](QByteArrayView name) {
            const xmlEntity* entity = xmlGetDocEntity(
                ctxt->myDoc, reinterpret_cast<const xmlChar*>(name.toByteArray().constData()));
            return entity && entity->content ? QByteArray(Chars(entity->content)) : QByteArray();
        }));
        state.attributes.push_back(
            {Declaration(state, prefix->isEmpty() ? nullptr : Interned(ctxt, *prefix)),
             state.decoded.back()});
    }
    while (nextAttribute < attributeCount) state.attributes.push_back(attribute(nextAttribute++));
}

void AddDefaults(ReadingState& state, const XmlName& element) {
    if (state.defaults.isEmpty()) return;
    const auto found = state.defaults.constFind(element.Bytes());
    if (found == state.defaults.cend()) return;
    const size_t written = state.attributes.size();
    for (const AttributeDefault& missing : *found) {
        const auto begin = state.attributes.cbegin();
        if (std::none_of(begin, begin + written, [&](const XmlAttribute& attribute) {
                return SameName(attribute.name, missing.name);
            }))
            state.attributes.push_back({missing.name, missing.value});
    }
}

// Whether the element keeps text of whitespace alone: its own xml:space, else its parent's.
bool PreservesSpace(const ReadingState& state) {
    bool preserve = !state.preserve.empty() && state.preserve.back();
    for (const XmlAttribute& attribute : state.attributes) {
        if (!attribute.name.prefix || qstrcmp(attribute.name.prefix, "xml") != 0 ||
            qstrcmp(attribute.name.local, "space") != 0)
            continue;
        if (attribute.value == "preserve")
            preserve = true;
        else if (attribute.value == "default")
            preserve = false;
    }
    return preserve;
}

void NotePrefixDeclarations(ReadingState& state) {
    for (const XmlAttribute& attribute : state.attributes) {
        if (!attribute.name.prefix || !IsNamespaceDeclaration(attribute.name)) continue;
        const QByteArray name = attribute.name.Bytes();
        if (state.declaredPrefixes.contains(name)) continue;
        state.declaredPrefixes.insert(name);
        state.result.prefixDeclarations.emplace_back(name, attribute.value.toByteArray());
    }
}

void StartElement(void* ctx, const xmlChar* local, const xmlChar* prefix, const xmlChar*,
                  int namespaceCount, const xmlChar** namespaces, int attributeCount,
                  int defaultedCount, const xmlChar** attributes) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    ReadingState& state = StateOf(ctx);
    if (++state.depth > state.maxDepth)
        return Refuse(ctx,
                      QStringLiteral("more than %1 elements open at once").arg(state.maxDepth));
    state.rootSeen = true;
    const XmlName name{Chars(prefix), Chars(local)};
    state.attributes.clear();
    if (!state.decoded.empty()) state.decoded.clear();
    // The parser's own defaults come last; the DTD's are added in declaration order below.
    AddWrittenAttributes(ctxt, state, namespaceCount, namespaces, attributeCount - defaultedCount,
                         attributes);
    AddDefaults(state, name);
    const QString refused = state.namespaces.Enter(name, state.attributes);
    if (!refused.isEmpty()) return Refuse(ctx, refused);
    NotePrefixDeclarations(state);
    // Inside skipped content only what may refuse the document counts.
    if (state.skipped > 0) {
        ++state.skipped;
        return;
    }
    if (!state.preserve.empty()) EndRun(state);
    state.preserve.push_back(PreservesSpace(state));
    for (XmlAttribute& attribute : state.attributes) attribute.name = Keyed(ctxt, attribute.name);
    if (!state.events->StartElement(Keyed(ctxt, name), state.attributes)) state.skipped = 1;
}

void EndElement(void* ctx, const xmlChar* local, const xmlChar* prefix, const xmlChar*) {
    ReadingState& state = StateOf(ctx);
    --state.depth;
    state.namespaces.Leave();
    if (state.skipped > 1) {
        --state.skipped;
        return;
    }
    EndRun(state);
    state.preserve.pop_back();
    state.skipped = 0;
    state.events->EndElement({Chars(prefix), Chars(local)});
}

void AttributeDecl(void* ctx, const xmlChar* element, const xmlChar* name, int type, int def,
                   const xmlChar* defaultValue, xmlEnumerationPtr tree) {
    if (defaultValue && (def == XML_ATTRIBUTE_NONE || def == XML_ATTRIBUTE_FIXED)) {
        const XmlName attribute = InternedName(static_cast<xmlParserCtxtPtr>(ctx), Chars(name));
        std::vector<AttributeDefault>& defaults = StateOf(ctx).defaults[QByteArray(Chars(element))];
        if (std::none_of(defaults.begin(), defaults.end(), [&](const AttributeDefault& known) {
                return SameName(known.name, attribute);
            }))
            defaults.push_back({attribute, QByteArray(Chars(defaultValue))});
    }
    xmlSAX2AttributeDecl(ctx, element, name, type, def, defaultValue, tree);
}

// A reference to an entity that nothing declares (say one of an external DTD that is never
// read) would otherwise vanish from the document.
void Reference(void* ctx, const xmlChar* name) {
    auto* ctxt = static_cast<xmlParserCtxtPtr>(ctx);
    if (!xmlGetDocEntity(ctxt->myDoc, name))
        return Refuse(ctx,
                      QStringLiteral("undeclared entity &%1;").arg(QString::fromUtf8(Chars(name))));
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

int ReadSource(void* context, char* buffer, int length) {
    return (*static_cast<const XmlByteSource*>(context))(buffer, length);
}

struct ContextFree {
    void operator()(xmlParserCtxtPtr ctxt) const {
        xmlFreeDoc(ctxt->myDoc);  // the DTD's declarations; the content has no tree
        ctxt->myDoc = nullptr;
        xmlFreeParserCtxt(ctxt);
    }
};

// The parser's own handlers keep the DTD (entities, attribute defaults); the content goes
// to the handlers above.
void UseHandlers(xmlSAXHandler& sax) {
    sax.startElement = nullptr;
    sax.endElement = nullptr;
    sax.startElementNs = StartElement;
    sax.endElementNs = EndElement;
    sax.characters = Characters;
    sax.ignorableWhitespace = Characters;
    sax.cdataBlock = CDataBlock;
    sax.comment = Comment;
    sax.processingInstruction = ProcessingInstruction;
    sax.reference = Reference;
    sax.entityDecl = EntityDecl;
    sax.attributeDecl = AttributeDecl;
}

QString ParserMessage(const xmlParserCtxt& ctxt) {
    return ctxt.lastError.message ? QString::fromUtf8(ctxt.lastError.message).trimmed()
                                  : QStringLiteral("the document is not well-formed");
}

}  // namespace

QByteArray XmlName::Bytes() const {
    if (!prefix) return QByteArray(local);
    return QByteArray(prefix) + ':' + local;
}

QString XmlName::Text() const { return QString::fromUtf8(Bytes()); }

XmlReadResult ReadXml(const XmlByteSource& source, XmlEvents& events, int maxDepth) {
    xmlInitParser();
    const ExternalResourcesRefused refused;
    const std::unique_ptr<xmlParserCtxt, ContextFree> ctxt(
        xmlCreateIOParserCtxt(nullptr, nullptr, ReadSource, nullptr,
                              const_cast<XmlByteSource*>(&source), XML_CHAR_ENCODING_NONE));
    if (!ctxt) throw XmlError("out of memory");
    xmlCtxtUseOptions(ctxt.get(), ParseOptions);
    ctxt->vctxt.warning = nullptr;  // what the DTD declares twice is no concern here
    UseHandlers(*ctxt->sax);
    ReadingState state;
    state.events = &events;
    state.maxDepth = maxDepth;
    state.xmlns = Interned(ctxt.get(), "xmlns");
    ctxt->_private = &state;

    xmlParseDocument(ctxt.get());
    if (!state.refused.isEmpty()) throw XmlError(state.refused.toStdString());
    if (!ctxt->wellFormed) throw XmlError(ParserMessage(*ctxt).toStdString());
    if (!state.rootSeen) throw XmlError("no root element");
    state.result.version = ctxt->version ? QByteArray(Chars(ctxt->version)) : "1.0";
    state.result.standalone = ctxt->standalone == 1;
    return std::move(state.result);
}

}  // namespace platform
