// The document text the server parses: the parsed document written back as XML.
#pragma once

#include <QByteArray>

struct _xmlDoc;

namespace platform {

// ASCII but for names: every character above 127 in text and attribute values is a
// character reference, and one in a comment or a processing instruction is written as
// such a reference would be, so no code page conversion on the way to the server can
// change them. Names (XML has no references there) stay characters, in UTF-8; the
// declaration names encoding when there are any above 127 and UTF-8 otherwise. Default
// namespace declarations are left out. Every line ends in CR LF, the last one included.
QByteArray DocumentText(const _xmlDoc& doc, const QByteArray& encoding);

// The document's prefixed namespace declarations as attributes of one element,
// <root xmlns:p="uri" .../>, the first declaration of each prefix in document order;
// empty when it has none.
QByteArray PrefixDeclarations(const _xmlDoc& doc);

}  // namespace platform
