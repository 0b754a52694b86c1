#include "Unit1.h"

#include "ErrorDisplay.h"
#include "FieldList.h"
#include "StructureTree.h"
#include "Unit2.h"
#include "ui_Unit1.h"

void TForm1::TreeView1DblClick() {
    Guarded([this] {
        const QModelIndex node = SelectedNode(*ui->TreeView1);
        if (!Form2 || !node.isValid() || KindOf(node) == NodeKind::Container) return;
        Form2->Prepare(node.data().toString());
        Form2->exec();
    });
}

void TForm1::ListBox1DblClick() {
    Guarded([this] { RemoveSelectedFields(*ui->ListBox1); });
}

void TForm1::Button5Click() {
    Guarded([this] { MoveFirstSelectedFieldUp(*ui->ListBox1); });
}

void TForm1::Button6Click() {
    Guarded([this] { MoveFirstSelectedFieldDown(*ui->ListBox1); });
}
