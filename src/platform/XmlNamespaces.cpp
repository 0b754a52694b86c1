#include "platform/XmlNamespaces.h"

#include <cstring>

#include <QSet>

namespace platform {
namespace {

constexpr QByteArrayView XmlUri = "http://www.w3.org/XML/1998/namespace";
constexpr QByteArrayView XmlnsUri = "http://www.w3.org/2000/xmlns/";

// The parser splits a name at its first colon; a namespace-aware one also wants no other
// colon, and something on either side.
bool IsMalformed(const XmlName& name) { return *name.local == 0 || std::strchr(name.local, ':'); }

QString Quoted(QByteArrayView text) {
    return u'"' + QString::fromUtf8(text.data(), text.size()) + u'"';
}

}  // namespace

bool IsNamespaceDeclaration(const XmlName& name) {
    return name.prefix ? qstrcmp(name.prefix, "xmlns") == 0 : qstrcmp(name.local, "xmlns") == 0;
}

QString NamespaceScopes::Declare(QByteArrayView prefix, QByteArrayView uri) {
    if (prefix.isEmpty() || prefix.contains(':'))
        return QStringLiteral("malformed namespace prefix ") + Quoted(prefix);
    if (uri.isEmpty()) return QStringLiteral("prefix %1 declared empty").arg(Quoted(prefix));
    if (prefix == "xmlns" || uri == XmlnsUri || (prefix == "xml") != (uri == XmlUri))
        return QStringLiteral("reserved prefix or namespace in the declaration of ") +
               Quoted(prefix);
    const QByteArray key = prefix.toByteArray();
    const auto found = bound_.constFind(key);
    undo_.push_back({key, found == bound_.cend() ? std::nullopt : std::optional(*found)});
    bound_.insert(key, uri.toByteArray());
    return {};
}

std::optional<QByteArray> NamespaceScopes::Resolve(QByteArrayView prefix) const {
    if (prefix == "xml") return XmlUri.toByteArray();
    const auto found = bound_.constFind(prefix.toByteArray());
    if (found == bound_.cend()) return std::nullopt;
    return *found;
}

QString NamespaceScopes::Enter(const XmlName& name, const std::vector<XmlAttribute>& attributes) {
    marks_.push_back(undo_.size());
    for (const auto& [attribute, value] : attributes) {
        if (!IsNamespaceDeclaration(attribute)) continue;
        if (!attribute.prefix) {
            if (value == XmlUri || value == XmlnsUri)
                return QStringLiteral("reserved namespace as the default namespace");
        } else if (const QString refused = Declare(attribute.local, value); !refused.isEmpty()) {
            return refused;
        }
    }
    if (IsMalformed(name)) return QStringLiteral("malformed element name ") + Quoted(name.Bytes());
    if (name.prefix && (qstrcmp(name.prefix, "xmlns") == 0 || !Resolve(name.prefix)))
        return QStringLiteral("undeclared prefix in the element name ") + Quoted(name.Bytes());
    QSet<QByteArray> expanded;
    for (const auto& [attribute, value] : attributes) {
        if (IsNamespaceDeclaration(attribute)) continue;
        if (IsMalformed(attribute))
            return QStringLiteral("malformed attribute name ") + Quoted(attribute.Bytes());
        if (!attribute.prefix) continue;
        const std::optional<QByteArray> uri = Resolve(attribute.prefix);
        if (!uri)
            return QStringLiteral("undeclared prefix in the attribute ") +
                   Quoted(attribute.Bytes());
        // A local name holds no blank, so the blank keeps name and namespace apart.
        const QByteArray key = attribute.local + (' ' + *uri);
        if (expanded.contains(key))
            return QStringLiteral("attribute %1 repeats an expanded name")
                .arg(Quoted(attribute.Bytes()));
        expanded.insert(key);
    }
    return {};
}

void NamespaceScopes::Leave() {
    if (marks_.empty()) return;
    for (size_t mark = marks_.back(); undo_.size() > mark; undo_.pop_back()) {
        Undo& undo = undo_.back();
        if (undo.previous)
            bound_.insert(undo.prefix, *undo.previous);
        else
            bound_.remove(undo.prefix);
    }
    marks_.pop_back();
}

}  // namespace platform
