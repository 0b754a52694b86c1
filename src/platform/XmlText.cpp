#include "platform/XmlText.h"

#include <QSet>

#include <libxml/tree.h>

namespace platform {
namespace {

const char* Chars(const xmlChar* text) { return text ? reinterpret_cast<const char*>(text) : ""; }

bool IsAscii(const xmlChar* text) {
    for (; text && *text; ++text)
        if (*text > 127) return false;
    return true;
}

// Decodes the UTF-8 sequence at text (the parser hands over valid UTF-8 only) into one
// reference, also for characters above U+FFFF; returns the bytes consumed.
int AppendReference(QByteArray& out, const xmlChar* text) {
    int length = 4;
    const int code = xmlGetUTF8Char(text, &length);
    if (code < 0) {
        out += "&#xFFFD;";
        return 1;
    }
    out += "&#x" + QByteArray::number(code, 16).toUpper() + ';';
    return length;
}

// Writes text with what escape replaces replaced, and every character above 127 as a
// reference.
template <typename Escape>
void AppendEscaped(QByteArray& out, const xmlChar* text, Escape escape) {
    for (const xmlChar* c = text; c && *c;) {
        if (*c > 127) {
            c += AppendReference(out, c);
            continue;
        }
        if (const char* replacement = escape(*c))
            out += replacement;
        else
            out += static_cast<char>(*c);
        ++c;
    }
}

// Comments, processing instructions and CDATA sections: line breaks as CR LF, and every
// character above 127 spelled like a character reference, which there stays plain text. No
// pattern reads them, and ASCII passes any code page unchanged. The parser has already
// turned every CR LF and lone CR into LF.
void AppendLines(QByteArray& out, const xmlChar* text) {
    AppendEscaped(out, text, [](xmlChar c) -> const char* { return c == '\n' ? "\r\n" : nullptr; });
}

void AppendText(QByteArray& out, const xmlChar* text) {
    AppendEscaped(out, text, [](xmlChar c) -> const char* {
        switch (c) {
            case '&':
                return "&amp;";
            case '<':
                return "&lt;";
            case '>':
                return "&gt;";
            case '\r':
                return "&#xD;";
            case '\n':
                return "\r\n";
            default:
                return nullptr;
        }
    });
}

// Line breaks and tabs as references, which attribute-value normalisation keeps.
void AppendAttributeValue(QByteArray& out, const xmlChar* value) {
    AppendEscaped(out, value, [](xmlChar c) -> const char* {
        switch (c) {
            case '&':
                return "&amp;";
            case '<':
                return "&lt;";
            case '"':
                return "&quot;";
            case '\t':
                return "&#x9;";
            case '\n':
                return "&#xA;";
            case '\r':
                return "&#xD;";
            default:
                return nullptr;
        }
    });
}

void AppendName(QByteArray& out, const xmlNs* ns, const xmlChar* name) {
    if (ns && ns->prefix) {
        out += Chars(ns->prefix);
        out += ':';
    }
    out += Chars(name);
}

// A default namespace declaration ("xmlns", "xmlns=\"\"") is what a plain name would need to be
// resolved against: without it the unprefixed names the program shows are plain names on
// the server too, where the paths read off the tree match them.
bool IsDefaultNamespaceDeclaration(const xmlAttr& attr) {
    return !attr.ns && xmlStrEqual(attr.name, reinterpret_cast<const xmlChar*>("xmlns"));
}

void AppendAttribute(QByteArray& out, const xmlAttr& attr) {
    out += ' ';
    AppendName(out, attr.ns, attr.name);
    out += "=\"";
    for (const xmlNode* part = attr.children; part; part = part->next)
        AppendAttributeValue(out, part->content);
    out += '"';
}

void AppendStartTag(QByteArray& out, const xmlNode& element) {
    out += '<';
    AppendName(out, element.ns, element.name);
    for (const xmlAttr* attr = element.properties; attr; attr = attr->next) {
        if (!IsDefaultNamespaceDeclaration(*attr)) AppendAttribute(out, *attr);
    }
}

void AppendEndTag(QByteArray& out, const xmlNode& element) {
    out += "</";
    AppendName(out, element.ns, element.name);
    out += '>';
}

// A node without child nodes. An entity reference left unexpanded (its entity was never
// read) is left out, so the text stays well-formed.
void AppendLeaf(QByteArray& out, const xmlNode& node) {
    switch (node.type) {
        case XML_ELEMENT_NODE:
            AppendStartTag(out, node);
            out += "/>";
            break;
        case XML_TEXT_NODE:
            AppendText(out, node.content);
            break;
        case XML_CDATA_SECTION_NODE:
            if (IsAscii(node.content)) {
                out += "<![CDATA[";
                AppendLines(out, node.content);
                out += "]]>";
            } else {
                AppendText(out, node.content);
            }
            break;
        case XML_COMMENT_NODE:
            out += "<!--";
            AppendLines(out, node.content);
            out += "-->";
            break;
        case XML_PI_NODE:
            out += "<?";
            out += Chars(node.name);
            if (node.content && *node.content) {
                out += ' ';
                AppendLines(out, node.content);
            }
            out += "?>";
            break;
        default:
            break;
    }
}

// Visits the subtree in document order without recursion, so no nesting depth can exhaust
// the stack: open for every node, close for an element after its child nodes.
template <typename Open, typename Close>
void Walk(const xmlNode& root, Open open, Close close) {
    const xmlNode* node = &root;
    for (;;) {
        open(*node);
        if (node->type == XML_ELEMENT_NODE && node->children) {
            node = node->children;
            continue;
        }
        while (node != &root && !node->next) {
            node = node->parent;
            close(*node);
        }
        if (node == &root) return;
        node = node->next;
    }
}

void AppendTree(QByteArray& out, const xmlNode& root) {
    Walk(
        root,
        [&out](const xmlNode& node) {
            if (node.type != XML_ELEMENT_NODE || !node.children) return AppendLeaf(out, node);
            AppendStartTag(out, node);
            out += '>';
        },
        [&out](const xmlNode& element) { AppendEndTag(out, element); });
}

}  // namespace

// The DOCTYPE is left out: its entities are already expanded, its attribute defaults
// written out, and the server must not fetch an external DTD that the program never read.
QByteArray DocumentText(const _xmlDoc& doc, const QByteArray& encoding) {
    QByteArray body;
    for (const xmlNode* node = doc.children; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE && node->type != XML_COMMENT_NODE &&
            node->type != XML_PI_NODE)
            continue;
        AppendTree(body, *node);
        body += "\r\n";
    }
    QByteArray out = "<?xml version=\"";
    out += doc.version ? Chars(doc.version) : "1.0";
    out += "\" encoding=\"" +
           (IsAscii(reinterpret_cast<const xmlChar*>(body.constData())) ? QByteArray("UTF-8")
                                                                        : encoding) +
           '"';
    if (doc.standalone == 1) out += " standalone=\"yes\"";
    out += "?>\r\n";
    out += body;
    return out;
}

QByteArray PrefixDeclarations(const _xmlDoc& doc) {
    const xmlNode* root = xmlDocGetRootElement(&doc);
    if (!root) return {};
    QByteArray attributes;
    QSet<QByteArrayView> prefixes;
    const auto declare = [&](const xmlNode& node) {
        if (node.type != XML_ELEMENT_NODE) return;
        for (const xmlAttr* attr = node.properties; attr; attr = attr->next) {
            const QByteArrayView name(Chars(attr->name));
            if (attr->ns || !name.startsWith("xmlns:") || prefixes.contains(name)) continue;
            prefixes.insert(name);
            AppendAttribute(attributes, *attr);
        }
    };
    Walk(*root, declare, [](const xmlNode&) {});
    return attributes.isEmpty() ? QByteArray() : "<root" + attributes + "/>";
}

}  // namespace platform
