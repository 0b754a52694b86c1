// The main window with a signed invoice open: its lines are the rows a user wants, and its
// deepest node lies inside the signature.
#pragma once

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QTreeView>
#include <QTreeWidget>

#include "FieldList.h"
#include "ProgramWindows.h"
#include "Recorders.h"
#include "StructureModel.h"
#include "StructureTree.h"
#include "XmlFiles.h"

inline const QByteArray SignedInvoice =
    "<Invoice xmlns:cac=\"urn:cac\" xmlns:cbc=\"urn:cbc\" xmlns:ds=\"urn:ds\">"
    "<cbc:ID>F-1</cbc:ID>"
    "<ext><ds:Signature><ds:SignedInfo><ds:Reference URI=\"\"><ds:DigestValue>d</ds:DigestValue>"
    "</ds:Reference></ds:SignedInfo></ds:Signature></ext>"
    "<cac:InvoiceLine><cbc:ID>1</cbc:ID><cac:Item><cbc:Name>A</cbc:Name></cac:Item>"
    "</cac:InvoiceLine>"
    "<cac:InvoiceLine><cbc:ID>2</cbc:ID><cac:Item><cbc:Name>B</cbc:Name></cac:Item>"
    "</cac:InvoiceLine>"
    "<cac:InvoiceLine><cbc:ID>3</cbc:ID><cbc:Note>n</cbc:Note><cac:Item><cbc:Name>C</cbc:Name>"
    "</cac:Item></cac:InvoiceLine>"
    "</Invoice>";

inline const QString SignaturePath =
    QStringLiteral("Invoice/ext/ds:Signature/ds:SignedInfo/ds:Reference/@URI");

class RowsFixture : public testing::Test {
protected:
    void Open(const QString& name, const QByteArray& content) {
        dialog.Ok(files.Write(name, content));
        Action("Open3").trigger();
    }

    QAction& Action(const char* name) const {
        return *form.findChild<QAction*>(QString::fromLatin1(name));
    }

    // Selects the element at path, as a click would.
    QModelIndex Select(const QString& path) const {
        const QModelIndex node = FindElement(nodes(), path);
        tree().setCurrentIndex(node);
        return node;
    }

    void AddField(const QString& path, const QString& name) const {
        AppendFieldRow(fields(), {path, name, QStringLiteral("VarChar(20)")});
    }

    QString RowsShown() const {
        return form.findChild<QLabel*>(QStringLiteral("RowsLabel"))->text();
    }

    QTreeView& tree() const { return form.StructureTree(); }
    StructureModel& nodes() const { return form.StructureTreeModel(); }
    QTreeWidget& fields() const { return form.FieldList(); }

    XmlFiles files;
    OpenDialogScript dialog;
    MessageRecorder boxes;
    Windows windows;
    TForm1& form = windows.Form1;
};
