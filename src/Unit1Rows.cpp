#include <QMenu>

#include "ErrorDisplay.h"
#include "FieldList.h"
#include "ImportPlan.h"
#include "RowCount.h"
#include "StructureModel.h"
#include "StructureTree.h"
#include "Unit1.h"
#include "platform/XmlDocument.h"
#include "ui_Unit1.h"

RowChoice TForm1::CurrentRowChoice() const {
    return ChosenRow ? *ChosenRow : RowChoice{RowPath(StructureTreeModel()), false};
}

ImportPlan TForm1::CurrentPlan() const {
    const std::vector<FieldRow> fields = FieldRows(*ui->ListBox1);
    const QString table = ui->ComboBox2->currentText();
    if (Applied && Applied->row == CurrentRowChoice() && FieldRowsOf(*Applied) == fields)
        return {Applied->row.path, Applied->fields, table};
    return MakePlan(CurrentRowChoice(), fields, table);
}

void TForm1::SetUpRows() {
    RowMenu = new QMenu(this);
    RowMenu->addActions(ui->TreeView1->actions());
    connect(ui->TreeView1, &QWidget::customContextMenuRequested, this,
            [this] { Guarded([this] { ShowRowMenu(); }); });
    connect(ui->TreeView1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { Guarded([this] { UpdateRowActions(); }); });
    // An edited label changes the paths, and so what the default row is.
    connect(TreeNodes, &QAbstractItemModel::dataChanged, this, [this](auto, auto, auto roles) {
        if (roles.contains(Qt::DisplayRole)) Guarded([this] { ShowRows(); });
    });
    UpdateRowActions();
}

// At the selected node, where a mouse click or the keyboard asked for it.
void TForm1::ShowRowMenu() {
    UpdateRowActions();
    const QModelIndex node = SelectedNode(*ui->TreeView1);
    const QRect place = ui->TreeView1->visualRect(node);
    const QPoint at = place.isValid() ? place.bottomLeft() : QPoint();
    RowMenu->popup(ui->TreeView1->viewport()->mapToGlobal(at));
}

void TForm1::UpdateRowActions() {
    ui->SetRowElement->setEnabled(IsElement(SelectedNode(*ui->TreeView1)));
    ui->ClearRowElement->setEnabled(ChosenRow.has_value());
}

// Choosing the chosen element again goes back to the default row, as Clear does.
void TForm1::SetRowElementClick() {
    Guarded([this] {
        const QModelIndex node = SelectedNode(*ui->TreeView1);
        if (!IsElement(node)) return;
        const RowChoice chosen{ElementPath(node), true};
        ChooseRow(ChosenRow == chosen ? std::nullopt : std::optional(chosen));
    });
}

void TForm1::ClearRowElementClick() {
    Guarded([this] { ChooseRow(std::nullopt); });
}

void TForm1::ChooseRow(std::optional<RowChoice> row) {
    ChosenRow = std::move(row);
    TreeNodes->MarkRowNode(
        ChosenRow && ChosenRow->element ? FindElement(*TreeNodes, ChosenRow->path) : QModelIndex());
    UpdateRowActions();
    ShowRows();
}

// "Rows: PATH (COUNT)" while a document is loaded; nothing otherwise.
void TForm1::ShowRows() {
    ui->RowsLabel->clear();
    if (!XMLDocument1->Active()) return;
    const QString path = CurrentRowChoice().path;
    const QString text =
        tr("Rows: %1 (%2)").arg(path, QString::number(CountRows(*XMLDocument1, path)));
    ui->RowsLabel->setText(
        ui->RowsLabel->fontMetrics().elidedText(text, Qt::ElideMiddle, ui->RowsLabel->width()));
    ui->RowsLabel->setToolTip(text);
    ui->RowsLabel->setAccessibleName(text);
}
