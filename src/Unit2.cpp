#include "Unit2.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>
#include <QShowEvent>

#include "ErrorDisplay.h"
#include "FieldList.h"
#include "FixedDialog.h"
#include "LabelFitting.h"
#include "StructureTree.h"
#include "WindowPlacement.h"
#include "ui_Unit2.h"

namespace {
bool TakesSize(const QString& type) {
    static const QStringList sized{QStringLiteral("Char"),    QStringLiteral("Decimal"),
                                   QStringLiteral("nChar"),   QStringLiteral("nVarChar"),
                                   QStringLiteral("Numeric"), QStringLiteral("VarChar")};
    return sized.contains(type, Qt::CaseSensitive);
}

// The size box reads as three characters, a blank for each empty position.
QString DataTypeText(const QString& type, QString sizeBox) {
    const QString digits = sizeBox.remove(u' ');
    return digits.isEmpty() ? type : type + u'(' + digits + u')';
}
}  // namespace

TForm2::TForm2(const QAbstractItemView& tree, QTreeWidget& fieldList, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TForm2>()), tree_(tree), fieldList_(fieldList) {
    ui->setupUi(this);
    // The mask takes any script's digits; the size goes into T-SQL, which reads only 0 to 9.
    ui->Edit2->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9 ]*")), ui->Edit2));
    MakeFixedDialog(*this);
    FitLabels(*this);
    // Over the main window the first time; afterwards wherever the user left it.
    PlaceOnFirstShow(*this, FirstPlace::CentreOverParent);
}

TForm2::~TForm2() = default;

void TForm2::Prepare(const QString& fieldName) {
    ui->Edit1->setText(fieldName);
    ResetSize(true);
    ui->ComboBox1->setCurrentIndex(
        ui->ComboBox1->findText(QStringLiteral("Varchar"), Qt::MatchFixedString));
}

void TForm2::ResetSize(bool sized) {
    ui->Edit2->setText(sized ? QStringLiteral("50") : QString());
    ui->Edit2->setEnabled(sized);
}

void TForm2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous()) emit shown();
}

void TForm2::keyPressEvent(QKeyEvent* event) {
    // No button answers Escape: only Cancel and the close button dismiss the dialog.
    if (event->matches(QKeySequence::Cancel)) return;
    QDialog::keyPressEvent(event);
}

void TForm2::FormShow() {
    Guarded([this] { ui->Edit1->setFocus(); });
}

void TForm2::ComboBox1Change() {
    Guarded([this] { ResetSize(TakesSize(ui->ComboBox1->currentText())); });
}

void TForm2::Button1Click() {
    Guarded([this] {
        // The main window is blocked while the dialog is open, so the selected node is still
        // the one that opened it; without one there is no path to map.
        if (const QModelIndex node = SelectedNode(tree_); node.isValid())
            AppendFieldRow(fieldList_,
                           {NodePath(node), ui->Edit1->text(),
                            DataTypeText(ui->ComboBox1->currentText(), ui->Edit2->displayText())});
        accept();
    });
}

void TForm2::Button2Click() {
    Guarded([this] { reject(); });
}
