// Reading a start tag as written, for what the parser hands over without its place: the
// order of namespace declarations among the attributes, and declarations it leaves out.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QByteArray>
#include <QByteArrayView>

namespace platform {

// The start tag that the parser has just read up to end: from its "<" to end. Empty when
// begin holds no "<" before end.
QByteArrayView StartTagBefore(const unsigned char* begin, const unsigned char* end);

// An attribute of a start tag: name and value as written, between the quotes.
struct WrittenAttribute {
    QByteArrayView name;
    QByteArrayView value;
};

// The attributes of a well-formed start tag, in order.
std::vector<WrittenAttribute> WrittenAttributes(QByteArrayView tag);

// The prefix a namespace declaration declares: empty for "xmlns", none for a name that is
// not a declaration.
std::optional<QByteArrayView> DeclaredPrefix(QByteArrayView name);

// A written value as the parser normalises it: references replaced (entities by what
// entityText gives for their name), each line break or tab a space.
QByteArray AttributeValue(QByteArrayView written,
                          const std::function<QByteArray(QByteArrayView)>& entityText);

// Whether the parser's value may be the one written: written is compared unless it holds
// a reference.
bool MayBeTheValue(QByteArrayView written, QByteArrayView value);

}  // namespace platform
