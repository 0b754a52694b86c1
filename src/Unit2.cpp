#include "Unit2.h"

#include "ui_Unit2.h"

TForm2::TForm2(QTreeWidget& tree, QTreeWidget& fieldList, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TForm2>()), tree_(tree), fieldList_(fieldList) {
    ui->setupUi(this);
}

TForm2::~TForm2() = default;
