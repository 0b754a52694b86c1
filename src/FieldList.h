// The field list: rows of (XML path, field name, data type text) held only in the list control,
// column 0 (hidden) the path, column 1 the field name, column 2 the data type text.
#pragma once

#include <vector>

#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

struct FieldRow {
    QString path;
    QString name;
    QString type;

    friend bool operator==(const FieldRow&, const FieldRow&) = default;
};

// Every row, top to bottom.
std::vector<FieldRow> FieldRows(const QTreeWidget& list);

void AppendFieldRow(QTreeWidget& list, const FieldRow& row);

// Deletes every selected row, from the last to the first.
void RemoveSelectedFields(QTreeWidget& list);

// Swap the first selected row with its neighbour above or below. The moved row is made anew
// and so ends up unselected; the other rows keep their places and selection. Nothing happens
// without a selection or at the end of the list.
void MoveFirstSelectedFieldUp(QTreeWidget& list);
void MoveFirstSelectedFieldDown(QTreeWidget& list);
