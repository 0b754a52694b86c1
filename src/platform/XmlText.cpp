#include "platform/XmlText.h"

#include <libxml/tree.h>

namespace platform {
namespace {

const char* Chars(const xmlChar* text) { return text ? reinterpret_cast<const char*>(text) : ""; }

// Line breaks inside comments, processing instructions and CDATA sections; the parser
// has already turned every CR LF and lone CR into LF.
void AppendLines(QByteArray& out, const xmlChar* text) {
    for (const char* c = Chars(text); *c; ++c) {
        if (*c == '\n')
            out += "\r\n";
        else
            out += *c;
    }
}

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

void AppendStartTag(QByteArray& out, const xmlNode& element) {
    out += '<';
    AppendName(out, element.ns, element.name);
    for (const xmlAttr* attr = element.properties; attr; attr = attr->next) {
        out += ' ';
        AppendName(out, attr->ns, attr->name);
        out += "=\"";
        for (const xmlNode* part = attr->children; part; part = part->next)
            AppendAttributeValue(out, part->content);
        out += '"';
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

// Walks the subtree without recursion, so no nesting depth can exhaust the stack.
void AppendTree(QByteArray& out, const xmlNode& root) {
    const xmlNode* node = &root;
    for (;;) {
        if (node->type == XML_ELEMENT_NODE && node->children) {
            AppendStartTag(out, *node);
            out += '>';
            node = node->children;
            continue;
        }
        AppendLeaf(out, *node);
        while (node != &root && !node->next) {
            node = node->parent;
            AppendEndTag(out, *node);
        }
        if (node == &root) return;
        node = node->next;
    }
}

}  // namespace

// The DOCTYPE is left out: its entities are already expanded, and the server must not
// fetch an external DTD that the program never read.
QByteArray DocumentText(const _xmlDoc& doc) {
    QByteArray out = "<?xml version=\"";
    out += doc.version ? Chars(doc.version) : "1.0";
    out += "\" encoding=\"UTF-8\"";
    if (doc.standalone == 1) out += " standalone=\"yes\"";
    out += "?>\r\n";
    for (const xmlNode* node = doc.children; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE && node->type != XML_COMMENT_NODE &&
            node->type != XML_PI_NODE)
            continue;
        AppendTree(out, *node);
        out += "\r\n";
    }
    return out;
}

}  // namespace platform
