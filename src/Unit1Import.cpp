#include <QComboBox>

#include "ErrorDisplay.h"
#include "FieldList.h"
#include "ImportBatch.h"
#include "ImportOutcome.h"
#include "ImportPlan.h"
#include "StructureModel.h"
#include "StructureTree.h"
#include "Unit1.h"
#include "platform/Ado.h"
#include "platform/CodePage.h"
#include "platform/WaitCursor.h"
#include "platform/XmlDocument.h"
#include "ui_Unit1.h"

void TForm1::Button4Click() {
    Guarded([this] {
        std::vector<FieldRow> fields = FieldRows(FieldList());
        if (fields.empty()) return;
        try {
            const platform::XmlDocument& document = platform::Required(XMLDocument1);
            const QByteArray batch =
                ImportBatch({document.Xml(platform::XmlEncodingName(DatabaseCodePage)),
                             ui->ComboBox2->currentText(), ExistingTables, CurrentRowChoice().path,
                             std::move(fields), DatabaseCodePage, document.PrefixDeclarations()});
            platform::Recordset& recordset = platform::Required(Recordset);
            const platform::WaitCursor wait;
            if (recordset.State() > 0) recordset.Close();
            recordset.Open(QString::fromUtf8(batch), platform::Required(Connection));
        } catch (const std::exception& error) {
            // Only failures with a text are reported here; any other kind goes on to the
            // default error display.
            const QString text = QString::fromUtf8(error.what());
            ShowMessage(ImportFailureMessage(text), text);
            return;
        }
        ShowMessage(MessageId::msgImportOk);
    });
}
