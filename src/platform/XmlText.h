// The document text the server parses: the document written back as XML while it is read.
#pragma once

#include <utility>
#include <vector>

#include <QByteArray>

#include "platform/XmlReading.h"

namespace platform {

// ASCII but for names: every character above 127 in text and attribute values is a
// character reference, and one in a comment or a processing instruction is written as
// such a reference would be, so no code page conversion on the way to the server can
// change them. Names (XML has no references there) stay characters, in UTF-8; the
// declaration names encoding when there are any above 127 and UTF-8 otherwise. Default
// namespace declarations are left out. Every line ends in CR LF, the last one included.
// Throws XmlError as ReadXml does.
QByteArray DocumentText(const XmlByteSource& source, int maxDepth, const QByteArray& encoding);

// The prefixed namespace declarations as attributes of one element, <root xmlns:p="uri" .../>;
// empty when there are none.
QByteArray PrefixDeclarations(const std::vector<std::pair<QByteArray, QByteArray>>& declarations);

}  // namespace platform
