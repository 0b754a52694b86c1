// The XML paths read off the structure tree, and the node the user picked in it.
#pragma once

#include <QModelIndex>
#include <QString>

#include "StructureNodes.h"

class QAbstractItemView;
class StructureModel;

NodeKind KindOf(const QModelIndex& node);

// The node's path: its ancestors' texts, each followed by "/", then "@name" for an
// attribute, the name for a text element, nothing for a container.
QString NodePath(const QModelIndex& node);

// The node a new field is made for: the tree's selected node, or an invalid index.
QModelIndex SelectedNode(const QAbstractItemView& tree);

// NodePath of the first deepest node in pre-order; throws "Invalid index" on an empty tree.
QString RowPath(const StructureModel& tree);
