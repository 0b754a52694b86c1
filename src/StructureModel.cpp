#include "StructureModel.h"

#include <QCoreApplication>
#include <QFont>
#include <QIcon>

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

static QString RowElementDescription(NodeKind kind) {
    return QCoreApplication::translate("StructureTree", "%1, row element")
        .arg(KindDescription(kind));
}

static QFont RowElementFont() {
    QFont font;
    font.setBold(true);
    return font;
}

void StructureModel::Install(StructureNodes&& nodes) {
    beginResetModel();
    nodes_ = std::move(nodes);
    rowNode_ = StructureNodes::None;
    endResetModel();
}

void StructureModel::MarkRowNode(const QModelIndex& node) {
    const int unmarked = std::exchange(rowNode_, NodeOf(node));
    for (const int changed : {unmarked, rowNode_}) {
        const QModelIndex index = IndexOf(changed);
        if (index.isValid())
            emit dataChanged(index, index, {Qt::FontRole, Qt::AccessibleDescriptionRole});
    }
}

QModelIndex StructureModel::IndexOf(int node) const {
    return node == StructureNodes::None ? QModelIndex()
                                        : createIndex(nodes_.Row(node), 0, quintptr(node));
}

QModelIndex StructureModel::index(int row, int column, const QModelIndex& parent) const {
    const std::vector<int>& children = nodes_.Children(NodeOf(parent));
    if (column != 0 || row < 0 || row >= static_cast<int>(children.size())) return {};
    return createIndex(row, 0, quintptr(children[row]));
}

QModelIndex StructureModel::parent(const QModelIndex& child) const {
    return child.isValid() ? IndexOf(nodes_.Parent(NodeOf(child))) : QModelIndex();
}

int StructureModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) return 0;
    return static_cast<int>(nodes_.Children(NodeOf(parent)).size());
}

int StructureModel::columnCount(const QModelIndex&) const { return 1; }

QVariant StructureModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int node = NodeOf(index);
    switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return nodes_.Text(node);
        case Qt::DecorationRole:
            return KindIcon(nodes_.Kind(node));
        case Qt::AccessibleDescriptionRole:
            return node == rowNode_ ? RowElementDescription(nodes_.Kind(node))
                                    : KindDescription(nodes_.Kind(node));
        case Qt::FontRole:
            return node == rowNode_ ? QVariant(RowElementFont()) : QVariant();
        case KindRole:
            return static_cast<int>(nodes_.Kind(node));
        default:
            return {};
    }
}

bool StructureModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    nodes_.SetText(NodeOf(index), value.toString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags StructureModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}
