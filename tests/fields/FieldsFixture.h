// The program's windows as start-up creates them, with ways to drive the field list, the
// structure tree and the Field Properties dialog the way a user does.
#pragma once

#include <functional>
#include <vector>

#include <gtest/gtest.h>
#include <QTreeView>
#include <QTreeWidget>

#include "FieldList.h"
#include "ProgramWindows.h"
#include "StructureModel.h"
#include "StructureTree.h"

class QComboBox;
class QLineEdit;
class QPushButton;

class FieldsTest : public testing::Test {
protected:
    FieldsTest();

    QTreeView& Tree() { return windows.Form1.StructureTree(); }
    StructureModel& TreeModel() { return windows.Form1.StructureTreeModel(); }
    QTreeWidget& List() { return windows.Form1.FieldList(); }
    QPushButton& MainButton(const char* name);
    QPushButton& DialogButton(const char* name);
    QLineEdit& DialogEdit(const char* name);
    QComboBox& TypeBox();

    // Shows the nodes in the structure tree as Open XML does, then expands every node.
    void ShowTree(StructureNodes&& nodes);

    // Plain, Ctrl or Shift click on a row, a node or a point.
    static void Click(QTreeWidget& view, QTreeWidgetItem& item, Qt::KeyboardModifiers keys = {});
    static void Click(QTreeView& view, const QModelIndex& node, Qt::KeyboardModifiers keys = {});
    static void Click(QAbstractItemView& view, QPoint position, Qt::KeyboardModifiers keys = {});
    // Press, release, double-click, release: what the mouse sends for a double-click.
    static void DoubleClick(QAbstractItemView& view, QPoint position);
    static void DoubleClick(QTreeWidget& view, QTreeWidgetItem& item);
    static void DoubleClick(QTreeView& view, const QModelIndex& node);

    // The user picks a data type from the open drop-down list.
    void PickType(const QString& type);
    // Empties the size box and types into it; a blank leaves a position empty.
    void TypeSize(const QString& keys);

    // Runs `act` inside the dialog's modal loop once `open` has shown it; false when the
    // dialog did not open. A dialog that `act` leaves open is a failure and is closed, so
    // that no test hangs.
    bool WhileDialogOpen(const std::function<void()>& open,
                         const std::function<void(TForm2&)>& act);

    Windows windows;
};

// A row as the tests write it: path, name, type.
std::vector<FieldRow> Rows(std::initializer_list<FieldRow> rows);
void PrintTo(const FieldRow& row, std::ostream* out);
