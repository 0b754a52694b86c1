#include "platform/CodePage.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <iterator>

#include <QList>
#include <QString>

namespace platform {
namespace {

struct Known {
    int codePage;
    const char* converter;  // the C library's name for it
    const char* xmlName;
};

// The code pages of SQL Server collations, with the names that XML parsers on the server's
// side know them by.
constexpr Known KnownCodePages[] = {
    {874, "CP874", "windows-874"},    {932, "CP932", "shift_jis"},
    {936, "CP936", "gb2312"},         {949, "CP949", "ks_c_5601-1987"},
    {950, "CP950", "big5"},           {1250, "CP1250", "windows-1250"},
    {1251, "CP1251", "windows-1251"}, {1252, "CP1252", "windows-1252"},
    {1253, "CP1253", "windows-1253"}, {1254, "CP1254", "windows-1254"},
    {1255, "CP1255", "windows-1255"}, {1256, "CP1256", "windows-1256"},
    {1257, "CP1257", "windows-1257"}, {1258, "CP1258", "windows-1258"},
};

const Known* Find(int codePage) {
    for (const Known& known : KnownCodePages)
        if (known.codePage == codePage) return &known;
    return nullptr;
}

[[noreturn]] void Lacks(const QByteArray& utf8, qsizetype at, int codePage) {
    const QString following = QString::fromUtf8(utf8.mid(at, 4));
    const char32_t code = following.isEmpty()                 ? 0
                          : following.at(0).isHighSurrogate() ? following.toUcs4().at(0)
                                                              : following.at(0).unicode();
    throw CodePageError(
        QStringLiteral("The database's code page %1 has no character \"%2\" (U+%3) for a name of "
                       "the document.")
            .arg(codePage)
            .arg(QString::fromUcs4(&code, 1),
                 QString::number(code, 16).toUpper().rightJustified(4, u'0'))
            .toStdString());
}

}  // namespace

bool IsAscii(QByteArrayView text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 128; });
}

QByteArray XmlEncodingName(int codePage) {
    const Known* known = Find(codePage);
    return known ? QByteArray(known->xmlName) : QByteArrayLiteral("UTF-8");
}

qsizetype LengthInCodePage(const QByteArray& utf8, int codePage) {
    const Known* known = Find(codePage);
    if (!known || IsAscii(utf8)) return utf8.size();
    const iconv_t convert = iconv_open(known->converter, "UTF-8");
    if (convert == reinterpret_cast<iconv_t>(-1))
        throw CodePageError("No conversion to code page " + std::to_string(codePage) + '.');
    char* in = const_cast<char*>(utf8.constData());
    size_t inLeft = static_cast<size_t>(utf8.size());
    qsizetype length = 0;
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        if (iconv(convert, &in, &inLeft, &out, &outLeft) == static_cast<size_t>(-1) &&
            errno != E2BIG) {
            iconv_close(convert);
            Lacks(utf8, in - utf8.constData(), codePage);
        }
        length += static_cast<qsizetype>(sizeof buffer - outLeft);
    }
    iconv_close(convert);
    return length;
}

bool CodePageHolds(const QByteArray& utf8, int codePage) {
    try {
        LengthInCodePage(utf8, codePage);
        return true;
    } catch (const CodePageError&) {
        return false;
    }
}

}  // namespace platform
