#include "platform/XmlNamespaces.h"

#include <QSet>

namespace platform {
namespace {

constexpr QByteArrayView XmlUri = "http://www.w3.org/XML/1998/namespace";
constexpr QByteArrayView XmlnsUri = "http://www.w3.org/2000/xmlns/";

struct QualifiedName {
    QByteArrayView prefix;  // empty when there is none
    QByteArrayView local;
};

// The parser has checked the characters of the name; a namespace-aware one also wants at
// most one colon, with something on either side.
std::optional<QualifiedName> Split(QByteArrayView name) {
    const qsizetype colon = name.indexOf(':');
    if (colon < 0) return QualifiedName{{}, name};
    if (colon == 0 || colon == name.size() - 1 || name.indexOf(':', colon + 1) >= 0)
        return std::nullopt;
    return QualifiedName{name.first(colon), name.sliced(colon + 1)};
}

QString Quoted(QByteArrayView text) {
    return u'"' + QString::fromUtf8(text.data(), text.size()) + u'"';
}

bool IsDeclaration(QByteArrayView name) { return name == "xmlns" || name.startsWith("xmlns:"); }

}  // namespace

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

QString NamespaceScopes::Enter(const char* name, const std::vector<XmlAttribute>& attributes) {
    marks_.push_back(undo_.size());
    for (const auto& [attribute, value] : attributes) {
        const QByteArrayView qualified(attribute);
        if (qualified == "xmlns") {
            const QByteArrayView uri(value);
            if (uri == XmlUri || uri == XmlnsUri)
                return QStringLiteral("reserved namespace as the default namespace");
        } else if (qualified.startsWith("xmlns:")) {
            const QString refused = Declare(qualified.sliced(6), value);
            if (!refused.isEmpty()) return refused;
        }
    }
    const auto element = Split(name);
    if (!element) return QStringLiteral("malformed element name ") + Quoted(name);
    if (!element->prefix.isEmpty() && (element->prefix == "xmlns" || !Resolve(element->prefix)))
        return QStringLiteral("undeclared prefix in the element name ") + Quoted(name);
    QSet<QByteArray> expanded;
    for (const auto& [attribute, value] : attributes) {
        if (IsDeclaration(attribute)) continue;
        const auto qualified = Split(attribute);
        if (!qualified) return QStringLiteral("malformed attribute name ") + Quoted(attribute);
        if (qualified->prefix.isEmpty()) continue;
        const std::optional<QByteArray> uri = Resolve(qualified->prefix);
        if (!uri) return QStringLiteral("undeclared prefix in the attribute ") + Quoted(attribute);
        // A local name holds no blank, so the blank keeps name and namespace apart.
        const QByteArray key = qualified->local.toByteArray() + ' ' + *uri;
        if (expanded.contains(key))
            return QStringLiteral("attribute %1 repeats an expanded name").arg(Quoted(attribute));
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
