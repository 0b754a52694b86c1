// The loaded XML document: one file at a time, kept as the bytes first read, and read again
// from them for its structure and for its text for the server.
#pragma once

#include <QByteArray>
#include <QString>

#include "platform/XmlReading.h"

namespace platform {

// Hands a parser the bytes in the pieces it asks for.
XmlByteSource KeptBytes(const QByteArray& bytes);

class XmlDocument final {
public:
    // A name other than the current one releases the loaded document; nothing is read yet.
    void SetFileName(const QString& fileName);
    const QString& FileName() const { return fileName_; }

    // Loads the named file unless a document is loaded, telling events its content in the
    // same single pass; a loaded document tells them from its kept bytes, without reading
    // the file again. Throws XmlError, leaving no document loaded.
    void Read(XmlEvents& events);
    bool Active() const { return active_; }

    // The document text, in UTF-8: ASCII but for names (every other character in text and
    // attribute values as a character reference), under a declaration that names encoding
    // when a name holds a character above 127 and UTF-8 otherwise; without default
    // namespace declarations; every line ending in CR LF. Empty while no document is loaded.
    QByteArray Xml(const QByteArray& encoding = QByteArrayLiteral("UTF-8")) const;
    // The prefixed namespace declarations, <root xmlns:p="uri" .../> (the first of each
    // prefix); empty when there are none or no document is loaded.
    const QByteArray& PrefixDeclarations() const { return prefixDeclarations_; }
    // The bytes first read, shared: they stay valid after the document is released.
    const QByteArray& Bytes() const { return bytes_; }

    // Elements open at once beyond this make the document unusable by the server.
    static constexpr int MaxDepth = 256;

private:
    void Load(XmlEvents& events);
    XmlReadResult ReadKept(XmlEvents& events) const;
    void Release();

    QString fileName_;
    bool active_ = false;
    QByteArray bytes_;
    QByteArray prefixDeclarations_;
};

}  // namespace platform
