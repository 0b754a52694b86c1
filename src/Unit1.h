// The main window: source tree, field list, destination server and table, Import.
#pragma once

#include <memory>
#include <optional>

#include <QMainWindow>
#include <QStringList>

#include "Mapping.h"
#include "Messages.h"
#include "UserSettings.h"
#include "platform/OpenDialog.h"

namespace Ui {
class TForm1;
}
namespace platform {
class XmlDocument;
class Connection;
class Recordset;
}  // namespace platform
class TForm2;
class TAboutBox;
class QTreeView;
class QTreeWidget;
class StructureModel;
struct RowChoice;
struct ImportOutcome;
class QMenu;

class TForm1 final : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // The dialogs are created after the main window and live as long as it does.
    void AttachDialogs(TForm2& form2, TAboutBox& aboutBox);

    QTreeView& StructureTree() const;
    StructureModel& StructureTreeModel() const { return *TreeNodes; }
    QTreeWidget& FieldList() const;

    // Shows one of the program's messages in the language the File menu caption selects.
    void ShowMessage(MessageId id, const QString& errorText = {});
    // The message that tells how an import ended.
    void ShowOutcome(const ImportOutcome& outcome);

    // SQL Server access: the tables and views of the chosen database, as the import looks them up.
    const QStringList& ExistingTableNames() const { return ExistingTables; }

    // What a row of the import is; throws "Invalid index" while the tree is empty.
    RowChoice CurrentRowChoice() const;

public slots:
    void LoadXML1Click();
    void Open1Click();
    void About1Click();
    void TreeView1DblClick();
    void ListBox1DblClick();
    void Button5Click();
    void Button6Click();
    void Button3Click();
    void ComboBox3Change();
    void ComboBox2Change();
    void Button4Click();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    // SQL Server access: the protected steps of Connect, and what its failure leaves.
    void ConnectAndListDatabases(platform::Connection& connection, const QString& connectionString);
    void DisableDestination();

    // Rows, mappings, and what is remembered between runs (Unit1Rows.cpp, Unit1Mapping.cpp,
    // Unit1Source.cpp).
public:
    // The plan Import runs: the applied mapping's patterns while its row and fields are
    // unchanged, else made from the current row and field list.
    ImportPlan CurrentPlan() const;
    // What File > Open XML does once a name is chosen; also for a file named on the command line.
    void OpenDocument(const QString& fileName);
    const std::optional<Mapping>& AppliedMapping() const { return Applied; }
public slots:
    void SetRowElementClick();
    void ClearRowElementClick();
    void OpenMappingClick();
    void SaveMappingClick();

private:
    void SetUpRows();
    void ShowRowMenu();
    void UpdateRowActions();
    void ChooseRow(std::optional<RowChoice> row);
    void ShowRows();
    void ApplyMapping(const Mapping& mapping);
    void ShowMappingError(MappingError::Reason reason);
    void SetUpRemembered();
    void ShowRecentFiles();
    void RememberDocument(const QString& fileName);
    void RememberDestination();
    void ChoosePreferredDatabase();
    static platform::OpenDialog MappingDialog(platform::OpenDialog::Purpose purpose);

    std::optional<RowChoice> ChosenRow;
    std::optional<Mapping> Applied;
    QMenu* RowMenu = nullptr;
    platform::OpenDialog MappingOpenDialog = MappingDialog(platform::OpenDialog::Purpose::Open);
    platform::OpenDialog MappingSaveDialog = MappingDialog(platform::OpenDialog::Purpose::Save);
    Remembered Memory;
    // Chosen after Connect when the server lists it: from a mapping or the last run.
    QString PreferredDatabase;

    // Import Files and Import Folder (Unit1ImportFiles.cpp): many documents with the plan,
    // connection, database and table that Import would use.
public slots:
    void ImportFilesClick();
    void ImportFolderClick();
    void UpdateImportFilesActions();

private:
    void ImportFileSet(const QStringList& paths);
    static platform::OpenDialog ImportDialog(platform::OpenDialog::Purpose purpose);
    platform::OpenDialog ImportFilesDialog = ImportDialog(platform::OpenDialog::Purpose::OpenFiles);
    platform::OpenDialog ImportFolderDialog = ImportDialog(platform::OpenDialog::Purpose::Folder);

    std::unique_ptr<Ui::TForm1> ui;
    platform::OpenDialog OpenDialog1;
    std::unique_ptr<platform::XmlDocument> XMLDocument1;
    // What TreeView1 shows; a child of the window.
    StructureModel* TreeNodes;
    // Members are released in reverse order: Recordset first, then Connection.
    std::unique_ptr<platform::Connection> Connection;
    std::unique_ptr<platform::Recordset> Recordset;
    QStringList ExistingTables;
    // The chosen database's code page (0 while not known), which the document text is written for.
    int DatabaseCodePage = 0;
    TForm2* Form2 = nullptr;
    TAboutBox* AboutBox = nullptr;
};
