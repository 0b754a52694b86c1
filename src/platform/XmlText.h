// The document text the server parses: the parsed document written back as XML.
#pragma once

#include <QByteArray>

struct _xmlDoc;

namespace platform {

// ASCII wherever XML allows it: every character above 127 in text and attribute values is
// a character reference, so no code page conversion on the way to the server can change
// it. Names, comments and processing instructions stay UTF-8 (XML has no references there),
// under a declaration naming UTF-8. Every line ends in CR LF, the last one included.
QByteArray DocumentText(const _xmlDoc& doc);

}  // namespace platform
