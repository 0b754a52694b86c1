#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>

#include "ErrorDisplay.h"
#include "StructureBuilder.h"
#include "StructureModel.h"
#include "Unit1.h"
#include "platform/WaitCursor.h"
#include "platform/XmlDocument.h"
#include "ui_Unit1.h"

void TForm1::LoadXML1Click() {
    Guarded([this] {
        OpenDialog1.Execute(this);  // OK or Cancel: the remembered name decides
        const QString fileName = OpenDialog1.FileName();
        if (!fileName.isEmpty()) OpenDocument(fileName);
    });
}

// A new document clears the fields and the row choice, unless a mapping holds them for
// every document.
void TForm1::OpenDocument(const QString& fileName) {
    try {
        const platform::WaitCursor wait;
        XMLDocument1->SetFileName(fileName);
        TreeNodes->Install(BuildStructureTree(*XMLDocument1));
        if (!Applied) {
            ui->ListBox1->clear();
            ChosenRow.reset();
        }
        ChooseRow(ChosenRow);
    } catch (...) {
        ui->RowsLabel->clear();
        ShowMessage(MessageId::msgBadXml);
        return;
    }
    RememberDocument(fileName);
}

void TForm1::SetUpRemembered() {
    Memory = LoadRemembered();
    OpenDialog1.SetFolder(Memory.openFolder);
    ui->Combobox1->setText(Memory.server);
    ui->Edit2->setText(Memory.user);
    PreferredDatabase = Memory.database;
    ShowRecentFiles();
    // Runs after Connect's own handler, which the window definition bound first.
    connect(ui->Button3, &QPushButton::clicked, this, &TForm1::ChoosePreferredDatabase);
}

void TForm1::ShowRecentFiles() {
    ui->Recent1->clear();
    for (qsizetype i = 0; i < Memory.recentFiles.size(); ++i) {
        const QString fileName = Memory.recentFiles[i];
        const QString shown =
            QDir::toNativeSeparators(fileName).replace(u'&', QStringLiteral("&&"));
        connect(ui->Recent1->addAction(u'&' + QString::number(i + 1) + u' ' + shown),
                &QAction::triggered, this,
                [this, fileName] { Guarded([this, fileName] { OpenDocument(fileName); }); });
    }
    ui->Recent1->setEnabled(!Memory.recentFiles.isEmpty());
}

void TForm1::RememberDocument(const QString& fileName) {
    const QString absolute = QFileInfo(fileName).absoluteFilePath();
    Memory.recentFiles = WithRecentFile(Memory.recentFiles, absolute);
    Memory.openFolder = QFileInfo(absolute).absolutePath();
    SaveRemembered(Memory);
    ShowRecentFiles();
}

// The destination last used; a database is known only after Connect.
void TForm1::RememberDestination() {
    Memory.server = ui->Combobox1->text();
    Memory.user = ui->Edit2->text();
    if (!ui->ComboBox3->currentText().isEmpty()) Memory.database = ui->ComboBox3->currentText();
    SaveRemembered(Memory);
}
