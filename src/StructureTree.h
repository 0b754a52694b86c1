// The structure tree: the document's element and attribute names, each once per parent,
// and the XML paths read off it.
#pragma once

#include <QString>

#include "StructureNodes.h"

class QTreeWidget;
class QTreeWidgetItem;
namespace platform {
class XmlNode;
}

NodeKind KindOf(const QTreeWidgetItem& node);
void SetKind(QTreeWidgetItem& node, NodeKind kind);

// Adds node with its attributes and its subtree as the last child of parent, or as the
// last root node of tree when parent is null, unless parent already has a child with that
// text. Every name under a parent appears once: the first occurrence wins with its subtree.
// New nodes are collapsed and their labels editable. Should building fail, the nodes made
// so far are still added before the error goes on.
void BuildStructureTree(const platform::XmlNode& node, QTreeWidgetItem* parent, QTreeWidget& tree);

// The node's path: its ancestors' texts, each followed by "/", then "@name" for an
// attribute, the name for a text element, nothing for a container.
QString NodePath(const QTreeWidgetItem& node);

// The node a new field is made for: the tree's selected node, or none.
QTreeWidgetItem* SelectedNode(const QTreeWidget& tree);

// NodePath of the first deepest node in pre-order; throws "Invalid index" on an empty tree.
QString RowPath(const QTreeWidget& tree);
