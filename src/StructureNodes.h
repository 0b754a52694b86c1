// The structure tree as plain data: element and attribute names with their kinds, each node
// numbered in the order it was added, which for a built tree is pre-order.
#pragma once

#include <deque>
#include <vector>

#include <QString>

// Also the node's icon index.
enum class NodeKind { Attribute = 0, Container = 1, TextElement = 2 };

class StructureNodes final {
public:
    // The parent of a root node.
    static constexpr int None = -1;

    // Adds a node as the last child of parent, or as the last root node when parent is None;
    // returns its number.
    int Append(int parent, const QString& text, NodeKind kind);
    void SetText(int node, const QString& text);
    void SetKind(int node, NodeKind kind);

    int Count() const { return static_cast<int>(nodes_.size()); }
    const QString& Text(int node) const { return nodes_[node].text; }
    NodeKind Kind(int node) const { return nodes_[node].kind; }
    int Parent(int node) const { return nodes_[node].parent; }
    // The node's place among its parent's children (or among the root nodes).
    int Row(int node) const { return nodes_[node].row; }
    // The children of node in order; the root nodes for None.
    const std::vector<int>& Children(int node) const {
        return node == None ? roots_ : nodes_[node].children;
    }

private:
    struct Node {
        QString text;
        int parent;
        int row;
        NodeKind kind;
        std::vector<int> children;
    };
    // In pieces: a growing tree is never copied whole, which would briefly hold it twice.
    std::deque<Node> nodes_;
    std::vector<int> roots_;
};
