#include "Unit1.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHeaderView>
#include <QLineEdit>

#include "AccessibleControls.h"
#include "ErrorDisplay.h"
#include "LabelFitting.h"
#include "StructureModel.h"
#include "Unit3.h"
#include "WindowPlacement.h"
#include "platform/Ado.h"
#include "platform/MessageBox.h"
#include "platform/XmlDocument.h"
#include "ui_Unit1.h"

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent),
      ui(std::make_unique<Ui::TForm1>()),
      OpenDialog1(tr("Select XML Source"), tr("XML Files (*.xml)") + QStringLiteral("|*.xml|") +
                                               tr("All Files (*.*)") + QStringLiteral("|*.*")),
      XMLDocument1(std::make_unique<platform::XmlDocument>()),
      TreeNodes(new StructureModel(this)) {
    // The main window comes first at start-up: screen readers meet every control after this.
    UseAccessibleControls();
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    centralWidget()->setFixedSize(587, 361);
    ui->TreeView1->setModel(TreeNodes);
    FitLabels(*this);
    PlaceOnFirstShow(*this, FirstPlace::CentreOfScreen);
    // The path column travels with its row but is never shown.
    ui->ListBox1->setColumnWidth(0, 0);
    ui->ListBox1->setColumnHidden(0, true);
    ui->ListBox1->setColumnWidth(1, 118);
    ui->ListBox1->setColumnWidth(2, 119);
    ui->ListBox1->header()->setStretchLastSection(false);
    // Tab puts the focus in the table box's own text field, which no label names.
    ui->ComboBox2->lineEdit()->setAccessibleName(ui->Label5->text());
    setFixedSize(587, 361 + ui->MainMenu1->sizeHint().height());
    SetUpRows();
    SetUpRemembered();
    Guarded([this] { FormCreate(); });
}

TForm1::~TForm1() = default;

void TForm1::AttachDialogs(TForm2& form2, TAboutBox& aboutBox) {
    Form2 = &form2;
    AboutBox = &aboutBox;
}

QTreeView& TForm1::StructureTree() const { return *ui->TreeView1; }

QTreeWidget& TForm1::FieldList() const { return *ui->ListBox1; }

void TForm1::ShowMessage(MessageId id, const QString& errorText) {
    const MessageKind kind = MessageKindOf(id);
    platform::ShowMessageBox(this, kind,
                             kind == MessageKind::Error ? tr("Error") : tr("Information"),
                             MessageText(id, MessageLanguage(ui->File1->title()), errorText));
}

void TForm1::FormCreate() {
    Connection = std::make_unique<platform::Connection>();
    Recordset = std::make_unique<platform::Recordset>();
    ExistingTables.clear();
}

void TForm1::Open1Click() {
    Guarded([this] { close(); });
}

void TForm1::closeEvent(QCloseEvent* event) {
    event->accept();
    FormClose();
}

void TForm1::FormClose() {
    RememberDestination();
    QCoreApplication::quit();
}

void TForm1::About1Click() {
    Guarded([this] {
        if (AboutBox) AboutBox->exec();
    });
}
