#include <QComboBox>
#include <QFile>
#include <QSaveFile>
#include <QSignalBlocker>

#include "ErrorDisplay.h"
#include "FieldList.h"
#include "MappingMessages.h"
#include "Unit1.h"
#include "platform/MessageBox.h"
#include "ui_Unit1.h"

namespace {
QString MappingFilter() {
    return TForm1::tr("Mapping Files (*.json)") + QStringLiteral("|*.json|") +
           TForm1::tr("All Files (*.*)") + QStringLiteral("|*.*");
}

QByteArray FileContent(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) throw std::runtime_error(file.errorString().toStdString());
    return file.readAll();
}

void WriteFile(const QString& fileName, const QByteArray& content) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        throw std::runtime_error(file.errorString().toStdString());
}
}  // namespace

platform::OpenDialog TForm1::MappingDialog(platform::OpenDialog::Purpose purpose) {
    return {
        purpose == platform::OpenDialog::Purpose::Save ? tr("Save Mapping") : tr("Open Mapping"),
        MappingFilter(), purpose};
}

void TForm1::OpenMappingClick() {
    Guarded([this] {
        if (!MappingOpenDialog.Execute(this)) return;
        try {
            ApplyMapping(ReadMapping(FileContent(MappingOpenDialog.FileName())));
        } catch (const MappingError& error) {
            ShowMappingError(error.reason());
        }
    });
}

// The mapping of what the window shows: the row and fields as Import would run them, the
// table, and the destination without its password.
void TForm1::SaveMappingClick() {
    Guarded([this] {
        if (FieldRows(*ui->ListBox1).empty())
            return ShowMappingError(MappingError::Reason::NoField);
        if (!MappingSaveDialog.Execute(this)) return;
        const ImportPlan plan = CurrentPlan();
        const Mapping mapping{CurrentRowChoice(), plan.fields,
                              plan.table,         ui->Combobox1->text(),
                              ui->Edit2->text(),  ui->ComboBox3->currentText()};
        WriteFile(MappingSaveDialog.FileName(), MappingText(mapping));
    });
}

// The mapping's row holds for every document opened while it is applied, marked wherever the
// tree has its element.
void TForm1::ApplyMapping(const Mapping& mapping) {
    Applied = mapping;
    ui->ListBox1->clear();
    for (const FieldRow& row : FieldRowsOf(mapping)) AppendFieldRow(*ui->ListBox1, row);
    {
        // Before Connect the table box takes the text without enabling Import.
        const QSignalBlocker quiet(ui->ComboBox2);
        ui->ComboBox2->setEditText(mapping.table);
    }
    if (ui->ComboBox2->isEnabled()) ComboBox2Change();
    ui->Combobox1->setText(mapping.server);
    ui->Edit2->setText(mapping.user);
    PreferredDatabase = mapping.database;
    ChooseRow(mapping.row);
}

void TForm1::ShowMappingError(MappingError::Reason reason) {
    platform::ShowMessageBox(this, MessageKind::Error, tr("Error"),
                             MappingErrorText(reason, MessageLanguage(ui->File1->title())));
}

// Connect forgets the table text and chooses no database; the preferred ones come back.
void TForm1::ChoosePreferredDatabase() {
    Guarded([this] {
        if (Applied && ui->ComboBox2->currentText().isEmpty()) {
            const QSignalBlocker quiet(ui->ComboBox2);
            ui->ComboBox2->setEditText(Applied->table);
        }
        const int found = ui->ComboBox3->findText(PreferredDatabase);
        if (PreferredDatabase.isEmpty() || found < 0 || !ui->ComboBox3->isEnabled()) return;
        ui->ComboBox3->setCurrentIndex(found);
        ComboBox3Change();
        ComboBox2Change();
    });
}
