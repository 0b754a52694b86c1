#include <QComboBox>
#include <QSignalBlocker>

#include "Catalogue.h"
#include "ErrorDisplay.h"
#include "Unit1.h"
#include "platform/Ado.h"
#include "platform/WaitCursor.h"
#include "ui_Unit1.h"

namespace {

// Ends with no item of the table box selected and its text as it was, with new items when
// given: an editable combo box would otherwise take the first item's text or lose its own.
void SelectNoTableKeepingText(QComboBox& box, const QStringList* newItems = nullptr) {
    const QSignalBlocker quiet(&box);
    const QString text = box.currentText();
    if (newItems) {
        box.clear();
        box.addItems(*newItems);
    }
    box.setCurrentIndex(-1);
    box.setEditText(text);
}

}  // namespace

void TForm1::Button3Click() {
    Guarded([this] {
        platform::Connection& connection = platform::Required(Connection);
        if (connection.State() > 0) connection.Close();
        const QString connectionString = ConnectionString(ui->Combobox1->text(), ui->Edit2->text());
        try {
            ConnectAndListDatabases(connection, connectionString);
            ShowMessage(MessageId::msgConnectOk);
        } catch (...) {
            ShowMessage(MessageId::msgConnectFailed);
            DisableDestination();
        }
    });
}

void TForm1::ConnectAndListDatabases(platform::Connection& connection,
                                     const QString& connectionString) {
    {
        const platform::WaitCursor wait;
        connection.Open(connectionString, ui->Edit2->text(), ui->Edit3->text());
    }
    ui->ComboBox3->clear();
    platform::Recordset& recordset = platform::Required(Recordset);
    if (recordset.State() > 0) recordset.Close();
    {
        const platform::WaitCursor wait;
        recordset.Open(DatabasesStatement(), connection);
    }
    while (!recordset.Eof()) {
        ui->ComboBox3->addItem(recordset.Field(QStringLiteral("DATABASE_NAME")).toString());
        recordset.MoveNext();
    }
    recordset.Close();
    {
        const QSignalBlocker quiet(ui->ComboBox2);
        ui->ComboBox2->setCurrentIndex(-1);
        ui->ComboBox2->setEditText(QString());
    }
    ui->ComboBox3->setCurrentIndex(-1);
    ui->ComboBox3->setEnabled(true);
    ui->ComboBox2->setEnabled(false);
    ui->Button4->setEnabled(false);
}

// Both lists keep their items, and the table box its text.
void TForm1::DisableDestination() {
    SelectNoTableKeepingText(*ui->ComboBox2);
    ui->ComboBox2->setEnabled(false);
    ui->ComboBox3->setCurrentIndex(-1);
    ui->ComboBox3->setEnabled(false);
    ui->Button4->setEnabled(false);
}

void TForm1::ComboBox3Change() {
    Guarded([this] {
        const QString database = ui->ComboBox3->currentText();
        if (database.isEmpty()) return;
        const platform::WaitCursor wait;
        platform::Connection& connection = platform::Required(Connection);
        platform::Recordset& recordset = platform::Required(Recordset);
        if (recordset.State() > 0) recordset.Close();
        recordset.Open(UseStatement(database), connection);
        if (recordset.State() > 0) recordset.Close();
        recordset.Open(TablesStatement(), connection);
        ExistingTables = TableNames(recordset);
        SelectNoTableKeepingText(*ui->ComboBox2, &ExistingTables);
        DatabaseCodePage = CurrentCodePage(recordset, connection);
        ui->ComboBox2->setEnabled(true);
    });
}

void TForm1::ComboBox2Change() {
    Guarded([this] { ui->Button4->setEnabled(!ui->ComboBox2->currentText().isEmpty()); });
}
