#include "FieldList.h"

#include <QTreeWidget>

namespace {
enum Column { PathColumn = 0, NameColumn = 1, TypeColumn = 2 };

FieldRow RowAt(const QTreeWidget& list, int index) {
    const QTreeWidgetItem& item = *list.topLevelItem(index);
    return {item.text(PathColumn), item.text(NameColumn), item.text(TypeColumn)};
}

void InsertFieldRow(QTreeWidget& list, int index, const FieldRow& row) {
    list.insertTopLevelItem(index, new QTreeWidgetItem(QStringList{row.path, row.name, row.type}));
}

int FirstSelectedRow(const QTreeWidget& list) {
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        if (list.topLevelItem(i)->isSelected()) return i;
    return -1;
}

// The target index counts after the row has been taken out.
void MoveFirstSelectedField(QTreeWidget& list, int step) {
    const int from = FirstSelectedRow(list);
    if (from < 0) return;
    const int to = from + step;
    if (to < 0 || to >= list.topLevelItemCount()) return;
    const FieldRow row = RowAt(list, from);
    delete list.takeTopLevelItem(from);
    InsertFieldRow(list, to, row);
}
}  // namespace

std::vector<FieldRow> FieldRows(const QTreeWidget& list) {
    std::vector<FieldRow> rows;
    rows.reserve(list.topLevelItemCount());
    for (int i = 0; i < list.topLevelItemCount(); ++i) rows.push_back(RowAt(list, i));
    return rows;
}

void AppendFieldRow(QTreeWidget& list, const FieldRow& row) {
    InsertFieldRow(list, list.topLevelItemCount(), row);
}

void RemoveSelectedFields(QTreeWidget& list) {
    for (int i = list.topLevelItemCount() - 1; i >= 0; --i)
        if (list.topLevelItem(i)->isSelected()) delete list.takeTopLevelItem(i);
}

void MoveFirstSelectedFieldUp(QTreeWidget& list) { MoveFirstSelectedField(list, -1); }

void MoveFirstSelectedFieldDown(QTreeWidget& list) { MoveFirstSelectedField(list, +1); }
