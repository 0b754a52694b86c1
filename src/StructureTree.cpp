#include "StructureTree.h"

#include <stdexcept>
#include <vector>

#include <QAbstractItemView>
#include <QItemSelectionModel>

#include "StructureModel.h"

NodeKind KindOf(const QModelIndex& node) {
    return static_cast<NodeKind>(node.data(StructureModel::KindRole).toInt());
}

QString NodePath(const QModelIndex& node) {
    QString path;
    switch (KindOf(node)) {
        case NodeKind::Attribute:
            path = u'@' + node.data().toString();
            break;
        case NodeKind::TextElement:
            path = node.data().toString();
            break;
        case NodeKind::Container:
            break;
    }
    for (QModelIndex parent = node.parent(); parent.isValid(); parent = parent.parent())
        path = parent.data().toString() + u'/' + path;
    return path;
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
