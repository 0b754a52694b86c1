#include "platform/XmlStartTag.h"

#include <QString>

#include <libxml/chvalid.h>
#include <libxml/xmlstring.h>

namespace platform {
namespace {

bool IsSpace(char c) { return xmlIsBlank_ch(c); }

// The character a reference (what stands between "&#" and ";") stands for, in UTF-8.
QByteArray CharacterReference(QByteArrayView digits) {
    bool ok = false;
    const uint code =
        digits.startsWith('x') ? digits.sliced(1).toUInt(&ok, 16) : digits.toUInt(&ok, 10);
    if (!ok) return {};
    const char32_t character = code;
    return QString::fromUcs4(&character, 1).toUtf8();
}

QByteArray PredefinedEntity(QByteArrayView name) {
    static const std::pair<QByteArrayView, char> predefined[] = {
        {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"apos", '\''}, {"quot", '"'}};
    for (const auto& [entity, character] : predefined)
        if (name == entity) return QByteArray(1, character);
    return {};
}

}  // namespace

QByteArrayView StartTagBefore(const unsigned char* begin, const unsigned char* end) {
    for (const unsigned char* at = end; at > begin;) {
        if (*--at == '<') return QByteArrayView(reinterpret_cast<const char*>(at), end - at);
    }
    return {};
}

std::vector<WrittenAttribute> WrittenAttributes(QByteArrayView tag) {
    std::vector<WrittenAttribute> attributes;
    qsizetype at = 1;
    const auto skip = [&](auto inside) {
        const qsizetype from = at;
        while (at < tag.size() && inside(tag[at])) ++at;
        return tag.sliced(from, at - from);
    };
    skip([](char c) { return !IsSpace(c) && c != '/' && c != '>'; });  // the element's name
    for (;;) {
        skip(IsSpace);
        if (at >= tag.size() || tag[at] == '/' || tag[at] == '>') return attributes;
        const QByteArrayView name = skip([](char c) { return !IsSpace(c) && c != '='; });
        skip([](char c) { return IsSpace(c) || c == '='; });
        if (at >= tag.size()) return attributes;
        const char quote = tag[at++];
        const QByteArrayView value = skip([quote](char c) { return c != quote; });
        ++at;
        attributes.push_back({name, value});
    }
}

std::optional<QByteArrayView> DeclaredPrefix(QByteArrayView name) {
    if (name == "xmlns") return QByteArrayView("");
    if (name.startsWith("xmlns:")) return name.sliced(6);
    return std::nullopt;
}

QByteArray AttributeValue(QByteArrayView written,
                          const std::function<QByteArray(QByteArrayView)>& entityText) {
    QByteArray value;
    for (qsizetype at = 0; at < written.size(); ++at) {
        const char c = written[at];
        const qsizetype end = c == '&' ? written.indexOf(';', at) : -1;
        if (end > at) {
            const QByteArrayView name = written.sliced(at + 1, end - at - 1);
            if (name.startsWith('#'))
                value += CharacterReference(name.sliced(1));
            else if (const QByteArray predefined = PredefinedEntity(name); !predefined.isEmpty())
                value += predefined;
            else if (entityText)
                value += entityText(name);
            at = end;
        } else if (c == '\r' && at + 1 < written.size() && written[at + 1] == '\n') {
            value += ' ';
            ++at;
        } else {
            value += IsSpace(c) ? ' ' : c;
        }
    }
    return value;
}

bool MayBeTheValue(QByteArrayView written, QByteArrayView value) {
    return written.contains('&') || AttributeValue(written, {}) == value;
}

}  // namespace platform
