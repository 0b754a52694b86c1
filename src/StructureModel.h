// The structure tree's nodes as the tree view shows them: one column, each node's label,
// its kind's icon and, for screen readers, what kind of node it is. Labels are editable. The
// element chosen as the import's row is shown in bold and described as such.
#pragma once

#include <QAbstractItemModel>

#include "StructureNodes.h"

class StructureModel final : public QAbstractItemModel {
    Q_OBJECT
public:
    // The node's kind, as an int.
    static constexpr int KindRole = Qt::UserRole;

    using QAbstractItemModel::QAbstractItemModel;

    // Shows these nodes instead of the earlier ones, all collapsed and none selected.
    void Install(StructureNodes&& nodes);
    const StructureNodes& Nodes() const { return nodes_; }
    QModelIndex IndexOf(int node) const;
    // Marks this node as the row element, unmarking any other; an invalid index marks none.
    void MarkRowNode(const QModelIndex& node);
    QModelIndex RowNode() const { return IndexOf(rowNode_); }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    static int NodeOf(const QModelIndex& index) {
        return index.isValid() ? static_cast<int>(index.internalId()) : StructureNodes::None;
    }

    StructureNodes nodes_;
    int rowNode_ = StructureNodes::None;
};
