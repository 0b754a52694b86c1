#include <QAction>
#include <QFileInfo>
#include <QPushButton>
#include <QTreeWidget>

#include "ErrorDisplay.h"
#include "FieldList.h"
#include "ImportFiles.h"
#include "ImportProgressDialog.h"
#include "Unit1.h"
#include "platform/Ado.h"
#include "platform/ReportBox.h"
#include "ui_Unit1.h"

namespace {

// Each file that did not go in, with its reason, one a line.
QString FailedList(const FilesSummary& summary, Language language) {
    QStringList lines;
    for (const FileOutcome& failed : summary.failed)
        lines << failed.file + QStringLiteral(": ") + FailureReason(failed, language);
    return lines.join(u'\n');
}

QString SummaryText(const FilesSummary& summary, qsizetype files) {
    QString text = TForm1::tr("Imported %1 of %2 files, %3 rows.")
                       .arg(summary.imported)
                       .arg(files)
                       .arg(summary.rows);
    const bool stopped = !summary.failed.empty() && summary.failed.back().interrupted;
    if (stopped && summary.connectionLost)
        text += u'\n' + TForm1::tr("The connection to the server was lost: the run stopped there.");
    else if (stopped)
        text += u'\n' + TForm1::tr("The run was cancelled: the files after it were not tried.");
    if (!summary.failed.empty()) text += u'\n' + TForm1::tr("These files were not imported:");
    return text;
}

}  // namespace

platform::OpenDialog TForm1::ImportDialog(platform::OpenDialog::Purpose purpose) {
    const bool folder = purpose == platform::OpenDialog::Purpose::Folder;
    return {folder ? tr("Import Folder") : tr("Import Files"),
            tr("XML Files (*.xml)") + QStringLiteral("|*.xml|") + tr("All Files (*.*)") +
                QStringLiteral("|*.*"),
            purpose};
}

// Import Files asks what Import asks: fields, a connection, a database and a table.
void TForm1::UpdateImportFilesActions() {
    const bool ready = ui->Button4->isEnabled();
    ui->ImportFiles->setEnabled(ready);
    ui->ImportFolder->setEnabled(ready);
}

void TForm1::ImportFilesClick() {
    Guarded([this] {
        if (ImportFilesDialog.Execute(this)) ImportFileSet(ImportFilesDialog.FileNames());
    });
}

void TForm1::ImportFolderClick() {
    Guarded([this] {
        if (ImportFolderDialog.Execute(this)) ImportFileSet({ImportFolderDialog.FileName()});
    });
}

void TForm1::ImportFileSet(const QStringList& paths) {
    if (FieldRows(FieldList()).empty() || !ui->Button4->isEnabled()) return;
    const FilesTarget target{CurrentPlan(), ExistingTables, DatabaseCodePage};
    platform::Connection& connection = platform::Required(Connection);
    const QStringList files = FilesToImport(paths);
    ImportProgressDialog progress(*this);
    const FilesSummary summary = ImportFiles(
        files, target, connection,
        [&](const FileWork& work, int index, int count, const QString& file) {
            return progress.Run(work,
                                tr("Importing file %1 of %2: %3")
                                    .arg(index + 1)
                                    .arg(count)
                                    .arg(QFileInfo(file).fileName()),
                                index, count);
        },
        [](const FileOutcome&) {});
    const bool allWent = summary.failed.empty();
    platform::ShowReportBox(this, allWent ? MessageKind::Information : MessageKind::Error,
                            tr("Import Files"), SummaryText(summary, files.size()),
                            FailedList(summary, MessageLanguage(ui->File1->title())));
}
