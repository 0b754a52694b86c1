#include "StructureBuilder.h"

#include <vector>

#include <QSet>

#include "platform/XmlDocument.h"

namespace {
// A node still taking child nodes: the texts of its children so far, for the duplicate
// test, and the next document child to look at.
struct OpenNode {
    int node;
    QSet<QString> childTexts;
    platform::XmlNode next;
};

platform::XmlNode ChildrenToShow(const platform::XmlNode& node) {
    return node.IsTextElement() ? platform::XmlNode() : node.FirstChild();
}

// The node for a document node, with its attribute nodes, which come before its child nodes.
OpenNode AddNode(StructureNodes& nodes, int parent, const platform::XmlNode& node,
                 const QString& name) {
    OpenNode added{nodes.Append(parent, name,
                                node.IsTextElement() ? NodeKind::TextElement : NodeKind::Container),
                   {},
                   ChildrenToShow(node)};
    for (const QString& attribute : node.AttributeNames()) {
        nodes.Append(added.node, attribute, NodeKind::Attribute);
        added.childTexts.insert(attribute);
    }
    return added;
}
}  // namespace

StructureNodes BuildStructureTree(platform::XmlDocument& document) {
    document.Activate();
    StructureNodes nodes;
    const platform::XmlNode root = document.DocumentElement();
    std::vector<OpenNode> open{AddNode(nodes, StructureNodes::None, root, root.Name())};
    while (!open.empty()) {
        OpenNode& top = open.back();
        if (top.next.IsNull()) {
            open.pop_back();
            continue;
        }
        const platform::XmlNode child = top.next;
        top.next = child.NextSibling();
        const QString name = child.Name();
        if (top.childTexts.contains(name)) continue;
        top.childTexts.insert(name);
        OpenNode below = AddNode(nodes, top.node, child, name);
        if (!below.next.IsNull()) open.push_back(std::move(below));
    }
    return nodes;
}
