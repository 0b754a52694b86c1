// The main window: source tree, field list, destination server and table, Import.
#pragma once

#include <memory>

#include <QMainWindow>
#include <QStringList>

#include "Messages.h"
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
