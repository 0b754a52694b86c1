// How many rows a row path makes of a document: the nodes that OPENXML's row pattern selects.
#pragma once

#include <QString>

namespace platform {
class XmlDocument;
}

// Counts, in one reading, the elements at rowPath ("a/b/c", names as written, prefix:local);
// for a path ending in "@name", the elements before it that have that attribute. A trailing "/"
// is ignored. Throws what reading the document throws.
int CountRows(platform::XmlDocument& document, const QString& rowPath);
