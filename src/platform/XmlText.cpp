#include "platform/XmlText.h"

#include <algorithm>

#include <libxml/xmlstring.h>

#include "platform/CodePage.h"
#include "platform/XmlReading.h"

namespace platform {
namespace {

// Decodes the UTF-8 sequence at text (the parser hands over valid UTF-8 only) into one
// reference, also for characters above U+FFFF; returns the bytes consumed.
int AppendReference(QByteArray& out, QByteArrayView text) {
    int length = static_cast<int>(std::min<qsizetype>(text.size(), 4));
    const int code = xmlGetUTF8Char(reinterpret_cast<const xmlChar*>(text.data()), &length);
    if (code < 0) {
        out += "&#xFFFD;";
        return 1;
    }
    out += "&#x" + QByteArray::number(code, 16).toUpper() + ';';
    return length;
}

// Writes text with what escape replaces replaced, and every character above 127 as a
// reference. Runs of characters that stay as they are go in one append.
template <typename Escape>
void AppendEscaped(QByteArray& out, QByteArrayView text, Escape escape) {
    qsizetype plain = 0;  // where the run not yet written starts
    for (qsizetype at = 0; at < text.size();) {
        const char c = text[at];
        const char* replacement = static_cast<uchar>(c) > 127 ? nullptr : escape(c);
        if (static_cast<uchar>(c) <= 127 && !replacement) {
            ++at;
            continue;
        }
        out.append(text.sliced(plain, at - plain));
        if (replacement) {
            out += replacement;
            ++at;
        } else {
            at += AppendReference(out, text.sliced(at));
        }
        plain = at;
    }
    out.append(text.sliced(plain));
}

// Comments, processing instructions and CDATA sections: line breaks as CR LF, and every
// character above 127 spelled like a character reference, which there stays plain text. No
// pattern reads them, and ASCII passes any code page unchanged. The parser has already
// turned every CR LF and lone CR into LF.
void AppendLines(QByteArray& out, QByteArrayView text) {
    AppendEscaped(out, text, [](char c) -> const char* { return c == '\n' ? "\r\n" : nullptr; });
}

void AppendText(QByteArray& out, QByteArrayView text) {
    AppendEscaped(out, text, [](char c) -> const char* {
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
void AppendAttributeValue(QByteArray& out, QByteArrayView value) {
    AppendEscaped(out, value, [](char c) -> const char* {
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

void AppendName(QByteArray& out, const XmlName& name) {
    if (name.prefix) {
        out += name.prefix;
        out += ':';
    }
    out += name.local;
}

void AppendAttribute(QByteArray& out, QByteArrayView name, QByteArrayView value) {
    out += ' ';
    out += name;
    out += "=\"";
    AppendAttributeValue(out, value);
    out += '"';
}

// A default namespace declaration ("xmlns", "xmlns=\"\"") is what a plain name would need to be
// resolved against: without it the unprefixed names the program shows are plain names on
// the server too, where the paths read off the tree match them.
bool IsDefaultNamespaceDeclaration(const XmlName& name) {
    return !name.prefix && qstrcmp(name.local, "xmlns") == 0;
}

}  // namespace

DocumentWriter::DocumentWriter(QByteArray& out) : out_(&out) {}

void DocumentWriter::SetOutput(QByteArray& out) {
    CloseStartTag();
    out_ = &out;
}

bool DocumentWriter::StartElement(const XmlName& name,
                                  const std::vector<XmlAttribute>& attributes) {
    CloseStartTag();
    QByteArray& body = *out_;
    body += '<';
    AppendName(body, name);
    for (const XmlAttribute& attribute : attributes) {
        if (IsDefaultNamespaceDeclaration(attribute.name)) continue;
        AppendAttribute(body, attribute.name.Bytes(), attribute.value);
    }
    startTagOpen_ = true;
    ++depth_;
    return true;
}

void DocumentWriter::EndElement(const XmlName& name) {
    QByteArray& body = *out_;
    if (startTagOpen_) {
        body += "/>";
        startTagOpen_ = false;
    } else {
        body += "</";
        AppendName(body, name);
        body += '>';
    }
    --depth_;
    EndTopLevelLine();
}

void DocumentWriter::Text(QByteArrayView text) {
    CloseStartTag();
    AppendText(*out_, text);
}

// A CDATA section carries no references: one that needs them becomes text.
void DocumentWriter::CData(QByteArrayView text) {
    CloseStartTag();
    QByteArray& body = *out_;
    if (!IsAscii(text)) return AppendText(body, text);
    body += "<![CDATA[";
    AppendLines(body, text);
    body += "]]>";
}

void DocumentWriter::Comment(const char* text) {
    CloseStartTag();
    QByteArray& body = *out_;
    body += "<!--";
    AppendLines(body, text);
    body += "-->";
    EndTopLevelLine();
}

void DocumentWriter::ProcessingInstruction(const XmlName& target, const char* data) {
    CloseStartTag();
    QByteArray& body = *out_;
    body += "<?";
    body += target.local;
    if (*data) {
        body += ' ';
        AppendLines(body, data);
    }
    body += "?>";
    EndTopLevelLine();
}

void DocumentWriter::CloseStartTag() {
    if (!startTagOpen_) return;
    *out_ += '>';
    startTagOpen_ = false;
}

void DocumentWriter::EndTopLevelLine() {
    if (depth_ == 0) *out_ += "\r\n";
}

QByteArray XmlDeclaration(const QByteArray& version, bool standalone, const QByteArray& encoding) {
    QByteArray out = "<?xml version=\"" + version + "\" encoding=\"" + encoding + '"';
    if (standalone) out += " standalone=\"yes\"";
    return out + "?>\r\n";
}

// The DOCTYPE is left out: its entities are already expanded, its attribute defaults
// written out, and the server must not fetch an external DTD that the program never read.
QByteArray DocumentText(const XmlByteSource& source, int maxDepth, const QByteArray& encoding) {
    const DocumentBody body = ReadDocumentBody(source, maxDepth);
    return XmlDeclaration(body.read.version, body.read.standalone,
                          IsAscii(body.text) ? "UTF-8" : encoding) +
           body.text;
}

DocumentBody ReadDocumentBody(const XmlByteSource& source, int maxDepth) {
    DocumentBody body;
    DocumentWriter writer(body.text);
    body.read = ReadXml(source, writer, maxDepth);
    return body;
}

QByteArray PrefixDeclarations(const std::vector<std::pair<QByteArray, QByteArray>>& declarations) {
    if (declarations.empty()) return {};
    QByteArray out = "<root";
    for (const auto& [name, value] : declarations) AppendAttribute(out, name, value);
    return out + "/>";
}

}  // namespace platform
