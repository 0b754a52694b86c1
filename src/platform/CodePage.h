// The code page of a database: the one its varchar literals are converted to.
#pragma once

#include <stdexcept>

#include <QByteArray>
#include <QByteArrayView>

namespace platform {

// A character that the code page cannot hold.
class CodePageError final : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Text of ASCII alone, which every code page holds as it is.
bool IsAscii(QByteArrayView text);

// The name an XML declaration gives text in the code page; "UTF-8" for 65001, and for 0
// (not known) or a code page not known here, whose text therefore stays as it was.
QByteArray XmlEncodingName(int codePage);

// The length in bytes of UTF-8 text converted to the code page (its UTF-8 length for a code
// page that XmlEncodingName does not name); throws CodePageError when the code page lacks
// one of its characters.
qsizetype LengthInCodePage(const QByteArray& utf8, int codePage);

// Whether the code page has every character of the UTF-8 text.
bool CodePageHolds(const QByteArray& utf8, int codePage);

}  // namespace platform
