// Namespace well-formedness of elements as the parser hands them over: what a
// namespace-aware DOM refuses.
#pragma once

#include <optional>
#include <vector>

#include <QByteArray>
#include <QHash>
#include <QString>

#include "platform/XmlReading.h"

namespace platform {

// "xmlns" or "xmlns:p".
bool IsNamespaceDeclaration(const XmlName& name);

class NamespaceScopes final {
public:
    // Opens the element's scope with the declarations among its attributes, then checks its
    // name and attributes: malformed qualified names, undeclared or reserved prefixes, two
    // attributes with one expanded name. Returns why the element is refused, empty if it is not.
    QString Enter(const XmlName& name, const std::vector<XmlAttribute>& attributes);
    // Closes the scope of the innermost element entered.
    void Leave();

private:
    QString Declare(QByteArrayView prefix, QByteArrayView uri);
    std::optional<QByteArray> Resolve(QByteArrayView prefix) const;

    struct Undo {
        QByteArray prefix;
        std::optional<QByteArray> previous;
    };
    QHash<QByteArray, QByteArray> bound_;
    std::vector<Undo> undo_;
    std::vector<size_t> marks_;
};

}  // namespace platform
