#include <QComboBox>
#include <QSignalBlocker>

#include "Catalogue.h"
#include "ErrorDisplay.h"
#include "Unit1.h"
#include "platform/Ado.h"
#include "platform/WaitCursor.h"
#include "ui_Unit1.h"

namespace {

// Work on the table box's items that ends with no item selected and the text as it was: an
// editable combo box would otherwise take the first item's text or lose its own.
class KeepingText final {
public:
    explicit KeepingText(QComboBox& box) : box_(box), quiet_(&box), text_(box.currentText()) {}
    ~KeepingText() {
        box_.setCurrentIndex(-1);
        box_.setEditText(text_);
    }
    KeepingText(const KeepingText&) = delete;
    KeepingText& operator=(const KeepingText&) = delete;

private:
    QComboBox& box_;
    const QSignalBlocker quiet_;
    const QString text_;
};

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
    { const KeepingText keep(*ui->ComboBox2); }
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
        {
            const KeepingText keep(*ui->ComboBox2);
            ui->ComboBox2->clear();
            ExistingTables.clear();
            while (!recordset.Eof()) {
                if (IsTableOrView(recordset.Field(QStringLiteral("TABLE_TYPE")))) {
                    const QString name = recordset.Field(QStringLiteral("TABLE_NAME")).toString();
                    ui->ComboBox2->addItem(name);
                    ExistingTables.append(name);
                }
                recordset.MoveNext();
            }
        }
        ui->ComboBox2->setEnabled(true);
    });
}

void TForm1::ComboBox2Change() {
    Guarded([this] { ui->Button4->setEnabled(!ui->ComboBox2->currentText().isEmpty()); });
}
