// The loaded XML document: one parsed file at a time, its nodes, and its text for the server.
#pragma once

#include <memory>
#include <stdexcept>

#include <QByteArray>
#include <QString>
#include <QStringList>

struct _xmlNode;
struct _xmlDoc;

namespace platform {

// Every failure to read or parse a document.
class XmlError final : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A node of the loaded document; valid while that document stays loaded.
class XmlNode final {
public:
    XmlNode() = default;

    bool IsNull() const { return node_ == nullptr; }

    // The DOM name: qualified names as written, "#text", "#cdata-section", "#comment",
    // a processing instruction's target.
    QString Name() const;
    // Attribute names in document order, namespace declarations ("xmlns", "xmlns:p")
    // included; empty for a node that is not an element.
    QStringList AttributeNames() const;

    XmlNode FirstChild() const;
    XmlNode NextSibling() const;

    // Exactly one child node, and that child is text (a CDATA section does not count).
    bool IsTextElement() const;

private:
    friend class XmlDocument;
    explicit XmlNode(_xmlNode* node) : node_(node) {}
    _xmlNode* node_ = nullptr;
};

class XmlDocument final {
public:
    XmlDocument();
    ~XmlDocument();
    XmlDocument(const XmlDocument&) = delete;
    XmlDocument& operator=(const XmlDocument&) = delete;

    // A name other than the current one releases the loaded document; nothing is read yet.
    void SetFileName(const QString& fileName);
    const QString& FileName() const { return fileName_; }

    // Loads the named file unless a document is loaded; throws XmlError, leaving no
    // document loaded.
    void Activate();
    bool Active() const { return doc_ != nullptr; }

    // The root element; null while no document is loaded.
    XmlNode DocumentElement() const;

    // The document text, in UTF-8: ASCII but for names (every other character in text and
    // attribute values as a character reference), under a declaration that names encoding
    // when a name holds a character above 127 and UTF-8 otherwise; without default
    // namespace declarations; every line ending in CR LF. Empty while no document is loaded.
    QByteArray Xml(const QByteArray& encoding = QByteArrayLiteral("UTF-8")) const;
    // The prefixed namespace declarations, <root xmlns:p="uri" .../> (the first of each
    // prefix); empty when there are none or no document is loaded.
    QByteArray PrefixDeclarations() const;

    // Elements open at once beyond this make the document unusable by the server.
    static constexpr int MaxDepth = 256;

private:
    struct DocFree {
        void operator()(_xmlDoc* doc) const;
    };

    QString fileName_;
    std::unique_ptr<_xmlDoc, DocFree> doc_;
};

}  // namespace platform
