// The document text the server parses: the document written back as XML while it is read.
#pragma once

#include <utility>
#include <vector>

#include <QByteArray>

#include "platform/XmlReading.h"

namespace platform {

// Writes what a reading tells as document text into an output that may change from one
// node to the next.
class XmlTextWriter : public XmlEvents {
public:
    // What follows goes to out; a start tag still open is closed in the earlier output.
    virtual void SetOutput(QByteArray& out) = 0;
    // Ends a start tag that is still open, so that its element is not written <name/>.
    virtual void CloseStartTag() = 0;
};

// Writes the document text (see DocumentText), without the declaration.
class DocumentWriter final : public XmlTextWriter {
public:
    explicit DocumentWriter(QByteArray& out);
    void SetOutput(QByteArray& out) override;
    void CloseStartTag() override;

    bool StartElement(const XmlName& name, const std::vector<XmlAttribute>& attributes) override;
    void EndElement(const XmlName& name) override;
    void Text(QByteArrayView text) override;
    void CData(QByteArrayView text) override;
    void Comment(const char* text) override;
    void ProcessingInstruction(const XmlName& target, const char* data) override;

private:
    void EndTopLevelLine();

    QByteArray* out_;
    bool startTagOpen_ = false;
    int depth_ = 0;
};

// <?xml version="version" encoding="encoding"?> and CR LF.
QByteArray XmlDeclaration(const QByteArray& version, bool standalone, const QByteArray& encoding);

// ASCII but for names: every character above 127 in text and attribute values is a
// character reference, and one in a comment or a processing instruction is written as
// such a reference would be, so no code page conversion on the way to the server can
// change them. Names (XML has no references there) stay characters, in UTF-8; the
// declaration names encoding when there are any above 127 and UTF-8 otherwise. Default
// namespace declarations are left out. Every line ends in CR LF, the last one included.
// Throws XmlError as ReadXml does.
QByteArray DocumentText(const XmlByteSource& source, int maxDepth, const QByteArray& encoding);

// DocumentText without its declaration, and what the reading found for one.
struct DocumentBody {
    XmlReadResult read;
    QByteArray text;
};
DocumentBody ReadDocumentBody(const XmlByteSource& source, int maxDepth);

// The prefixed namespace declarations as attributes of one element, <root xmlns:p="uri" .../>;
// empty when there are none.
QByteArray PrefixDeclarations(const std::vector<std::pair<QByteArray, QByteArray>>& declarations);

}  // namespace platform
