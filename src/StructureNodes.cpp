#include "StructureNodes.h"

int StructureNodes::Append(int parent, const QString& text, NodeKind kind) {
    const int node = Count();
    const int row = static_cast<int>(Children(parent).size());
    nodes_.push_back({text, parent, row, kind, {}});
    (parent == None ? roots_ : nodes_[parent].children).push_back(node);
    return node;
}

void StructureNodes::SetText(int node, const QString& text) { nodes_[node].text = text; }

void StructureNodes::SetKind(int node, NodeKind kind) { nodes_[node].kind = kind; }
