#include "StructureTree.h"

#include <stdexcept>
#include <vector>

#include <QCoreApplication>
#include <QIcon>
#include <QSet>
#include <QTreeWidget>

#include "platform/XmlDocument.h"

// The icons live in the GUI library's resources, which a static library does not
// register by itself.
static const QIcon& KindIcon(NodeKind kind) {
    static const bool registered = [] {
        Q_INIT_RESOURCE(icons);
        return true;
    }();
    static const QIcon icons[] = {QIcon(QStringLiteral(":/icons/attribute.xpm")),
                                  QIcon(QStringLiteral(":/icons/container.xpm")),
                                  QIcon(QStringLiteral(":/icons/textelement.xpm"))};
    Q_UNUSED(registered);
    return icons[static_cast<int>(kind)];
}

// What a screen reader says a node is, in the language of the windows.
static QString KindDescription(NodeKind kind) {
    switch (kind) {
        case NodeKind::Attribute:
            return QCoreApplication::translate("StructureTree", "Attribute");
        case NodeKind::Container:
            return QCoreApplication::translate("StructureTree", "Element");
        case NodeKind::TextElement:
            return QCoreApplication::translate("StructureTree", "Text element");
    }
    return {};
}

namespace {
constexpr int KindRole = Qt::UserRole;

// A tree node that holds its label and kind itself and draws its icon from the kind:
// documents can give the tree tens of thousands of nodes, and the item's general role
// store costs several allocations a node to fill and again to clear.
class StructureNode final : public QTreeWidgetItem {
public:
    StructureNode(const QString& text, NodeKind kind)
        : QTreeWidgetItem(UserType), text_(text), kind_(kind) {
        setFlags(flags() | Qt::ItemIsEditable);
    }

    QVariant data(int column, int role) const override {
        if (column == 0) {
            switch (role) {
                case Qt::DisplayRole:
                case Qt::EditRole:
                    return text_;
                case Qt::DecorationRole:
                    return KindIcon(kind_);
                case Qt::AccessibleDescriptionRole:
                    return KindDescription(kind_);
                case KindRole:
                    return static_cast<int>(kind_);
                default:
                    break;
            }
        }
        return QTreeWidgetItem::data(column, role);
    }

    void setData(int column, int role, const QVariant& value) override {
        if (column != 0) return QTreeWidgetItem::setData(column, role, value);
        switch (role) {
            case Qt::DisplayRole:
            case Qt::EditRole:
                text_ = value.toString();
                break;
            case KindRole:
                kind_ = static_cast<NodeKind>(value.toInt());
                break;
            default:
                return QTreeWidgetItem::setData(column, role, value);
        }
        emitDataChanged();
    }

private:
    QString text_;
    NodeKind kind_;
};

// The node for a document node, with its attribute nodes, which come before its child nodes.
// childTexts, when the node will take child nodes, gets the attribute names.
QTreeWidgetItem* NewNodeFor(const platform::XmlNode& node, const QString& name,
                            QSet<QString>* childTexts) {
    QTreeWidgetItem* item =
        new StructureNode(name, node.IsTextElement() ? NodeKind::TextElement : NodeKind::Container);
    for (const QString& attribute : node.AttributeNames()) {
        item->addChild(new StructureNode(attribute, NodeKind::Attribute));
        if (childTexts) childTexts->insert(attribute);
    }
    return item;
}

// A node still taking child nodes: the texts of its children so far, for the duplicate
// test, and the next document child to look at.
struct OpenNode {
    QTreeWidgetItem* item;
    QSet<QString> childTexts;
    platform::XmlNode next;
};

platform::XmlNode ChildrenToShow(const platform::XmlNode& node) {
    return node.IsTextElement() ? platform::XmlNode() : node.FirstChild();
}

// Builds the subtree detached from the view, one level at a time without recursion.
void BuildBelow(const platform::XmlNode& node, OpenNode first) {
    std::vector<OpenNode> open;
    first.next = ChildrenToShow(node);
    open.push_back(std::move(first));
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
        OpenNode below{nullptr, {}, ChildrenToShow(child)};
        below.item = NewNodeFor(child, name, below.next.IsNull() ? nullptr : &below.childTexts);
        top.item->addChild(below.item);
        if (!below.next.IsNull()) open.push_back(std::move(below));
    }
}
}  // namespace

NodeKind KindOf(const QTreeWidgetItem& node) {
    return static_cast<NodeKind>(node.data(0, KindRole).toInt());
}

void SetKind(QTreeWidgetItem& node, NodeKind kind) {
    node.setData(0, KindRole, static_cast<int>(kind));
}

void BuildStructureTree(const platform::XmlNode& node, QTreeWidgetItem* parent, QTreeWidget& tree) {
    const QString name = node.Name();
    if (parent) {
        for (int i = 0; i < parent->childCount(); ++i)
            if (parent->child(i)->text(0) == name) return;
    }
    OpenNode root{nullptr, {}, {}};
    root.item = NewNodeFor(node, name, &root.childTexts);
    QTreeWidgetItem* const item = root.item;
    const auto attach = [&] {
        if (parent)
            parent->addChild(item);
        else
            tree.addTopLevelItem(item);
    };
    try {
        BuildBelow(node, std::move(root));
    } catch (...) {
        attach();
        throw;
    }
    attach();
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

QTreeWidgetItem* SelectedNode(const QTreeWidget& tree) {
    const QList<QTreeWidgetItem*> selected = tree.selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
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
