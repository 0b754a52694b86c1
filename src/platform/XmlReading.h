// One reading of a document: a single pass of the parser over its bytes, telling what it
// meets in document order. No tree of the document is built.
#pragma once

#include <functional>
#include <stdexcept>
#include <vector>

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace platform {

// Every failure to read or parse a document.
class XmlError final : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A qualified name as written, held by the parser for the length of one reading.
struct XmlName {
    const char* prefix = nullptr;  // null when the name has none
    const char* local = "";
    // Equal for equal names within one reading, unequal otherwise; set on the names that
    // StartElement and ProcessingInstruction are handed.
    const void* key = nullptr;

    QByteArray Bytes() const;  // prefix:local, UTF-8
    QString Text() const;
};

// An attribute as written, or defaulted by the internal DTD; the value as the parser
// normalised it, UTF-8. Valid during the call it is handed to.
struct XmlAttribute {
    XmlName name;
    QByteArrayView value;
};

// What a reading tells, in document order. Only comments and processing instructions
// arrive outside the root element.
class XmlEvents {
public:
    virtual ~XmlEvents() = default;

    // Attributes in document order, namespace declarations among them, then the DTD's
    // defaults for attributes not written. Returning false skips the element's content:
    // nothing more arrives before its end.
    virtual bool StartElement(const XmlName& name, const std::vector<XmlAttribute>& attributes) = 0;
    virtual void EndElement(const XmlName& name) = 0;
    // One whole text node (adjacent pieces joined); text of whitespace alone arrives only
    // inside xml:space="preserve". Empty unless WantsCharacters.
    virtual void Text(QByteArrayView text) = 0;
    // One CDATA node, adjacent sections joined. Empty unless WantsCharacters.
    virtual void CData(QByteArrayView text) = 0;
    virtual void Comment(const char* text) = 0;
    virtual void ProcessingInstruction(const XmlName& target, const char* data) = 0;
    // Whether Text and CData need the characters, or only to know that the node is there.
    virtual bool WantsCharacters() const { return true; }
};

// What a reading found beside the events.
struct XmlReadResult {
    QByteArray version;  // of the XML declaration, "1.0" when there is none
    bool standalone = false;
    // The first declaration of each prefix in document order, skipped content included.
    std::vector<std::pair<QByteArray, QByteArray>> prefixDeclarations;
};

// Hands the parser up to length bytes at buffer; returns how many, 0 at the end, -1 on error.
using XmlByteSource = std::function<int(char* buffer, int length)>;

// Parses one document from source in a single pass; throws XmlError (with reason, no file
// name) when it is not well-formed, not namespace-well-formed, deeper than maxDepth, or
// names an entity that nothing declares. Nothing outside the bytes is ever read.
XmlReadResult ReadXml(const XmlByteSource& source, XmlEvents& events, int maxDepth);

}  // namespace platform
