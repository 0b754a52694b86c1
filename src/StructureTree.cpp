#include "StructureTree.h"

#include <stdexcept>
#include <vector>

#include <QTreeWidget>

namespace {
constexpr int KindRole = Qt::UserRole;
}

NodeKind KindOf(const QTreeWidgetItem& node) {
    return static_cast<NodeKind>(node.data(0, KindRole).toInt());
}

void SetKind(QTreeWidgetItem& node, NodeKind kind) {
    node.setData(0, KindRole, static_cast<int>(kind));
}

QString NodePath(const QTreeWidgetItem& node) {
    QString path;
    switch (KindOf(node)) {
        case NodeKind::Attribute:
            path = u'@' + node.text(0);
            break;
        case NodeKind::TextElement:
            path = node.text(0);
            break;
        case NodeKind::Container:
            break;
    }
    for (const QTreeWidgetItem* parent = node.parent(); parent; parent = parent->parent())
        path = parent->text(0) + u'/' + path;
    return path;
}

QString RowPath(const QTreeWidget& tree) {
    if (tree.topLevelItemCount() == 0) throw std::out_of_range("Invalid index");
    // One pre-order walk with an explicit stack: documents may nest deeply.
    const QTreeWidgetItem* best = nullptr;
    int bestLevel = -1;
    std::vector<std::pair<const QTreeWidgetItem*, int>> pending;
    for (int i = tree.topLevelItemCount() - 1; i >= 0; --i)
        pending.emplace_back(tree.topLevelItem(i), 0);
    while (!pending.empty()) {
        const auto [node, level] = pending.back();
        pending.pop_back();
        if (level > bestLevel) {
            best = node;
            bestLevel = level;
        }
        for (int i = node->childCount() - 1; i >= 0; --i)
            pending.emplace_back(node->child(i), level + 1);
    }
    return NodePath(*best);
}
