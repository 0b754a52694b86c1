#include "StructureTree.h"

#include <stdexcept>
#include <vector>

#include <QAbstractItemView>
#include <QItemSelectionModel>

#include "StructureModel.h"

NodeKind KindOf(const QModelIndex& node) {
    return static_cast<NodeKind>(node.data(StructureModel::KindRole).toInt());
}

// The node's ancestors' texts, each followed by "/".
static QString AncestorsPath(const QModelIndex& node) {
    QString path;
    for (QModelIndex parent = node.parent(); parent.isValid(); parent = parent.parent())
        path = parent.data().toString() + u'/' + path;
    return path;
}

QString NodePath(const QModelIndex& node) {
    switch (KindOf(node)) {
        case NodeKind::Attribute:
            return AncestorsPath(node) + u'@' + node.data().toString();
        case NodeKind::TextElement:
            return ElementPath(node);
        case NodeKind::Container:
            break;
    }
    return AncestorsPath(node);
}

bool IsElement(const QModelIndex& node) {
    return node.isValid() && KindOf(node) != NodeKind::Attribute &&
           !node.data().toString().startsWith(u'#');
}

QString ElementPath(const QModelIndex& node) {
    return AncestorsPath(node) + node.data().toString();
}

QModelIndex FindElement(const StructureModel& tree, const QString& path) {
    for (int node = 0; node < tree.Nodes().Count(); ++node) {
        const QModelIndex index = tree.IndexOf(node);
        if (IsElement(index) && ElementPath(index) == path) return index;
    }
    return {};
}

QModelIndex SelectedNode(const QAbstractItemView& tree) {
    const QItemSelectionModel* selection = tree.selectionModel();
    const QModelIndexList selected = selection ? selection->selectedIndexes() : QModelIndexList();
    return selected.isEmpty() ? QModelIndex() : selected.first();
}

QString RowPath(const StructureModel& tree) {
    const StructureNodes& nodes = tree.Nodes();
    if (nodes.Count() == 0) throw std::out_of_range("Invalid index");
    // Nodes are numbered in pre-order, so every parent's level is known before its children's.
    std::vector<int> levels(nodes.Count());
    int best = 0;
    for (int node = 0; node < nodes.Count(); ++node) {
        const int parent = nodes.Parent(node);
        levels[node] = parent == StructureNodes::None ? 0 : levels[parent] + 1;
        if (levels[node] > levels[best]) best = node;
    }
    return NodePath(tree.IndexOf(best));
}
