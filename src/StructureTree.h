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

// Whether a row can be made of the node: an element, with or without text (not an attribute,
// nor text, a comment or a CDATA section shown as a container).
bool IsElement(const QModelIndex& node);

// An element's path: its ancestors' texts and its own, joined by "/" ("Invoice/cac:InvoiceLine").
QString ElementPath(const QModelIndex& node);

// The first element in pre-order whose ElementPath is path, or an invalid index.
QModelIndex FindElement(const StructureModel& tree, const QString& path);

// The node a new field is made for: the tree's selected node, or an invalid index.
QModelIndex SelectedNode(const QAbstractItemView& tree);

// NodePath of the first deepest node in pre-order; throws "Invalid index" on an empty tree.
QString RowPath(const StructureModel& tree);
