#include <QComboBox>

#include "ErrorDisplay.h"
#include "FieldList.h"
#include "ImportPlan.h"
#include "ImportProgressDialog.h"
#include "ImportRun.h"
#include "Unit1.h"
#include "platform/Ado.h"
#include "platform/XmlDocument.h"
#include "ui_Unit1.h"

void TForm1::Button4Click() {
    Guarded([this] {
        if (FieldRows(FieldList()).empty()) return;
        ImportOutcome outcome;
        try {
            const platform::XmlDocument& document = platform::Required(XMLDocument1);
            const ImportPlan plan = CurrentPlan();
            const ImportRequest request{
                document.Bytes(), document.PrefixDeclarations(),
                TargetOf(plan, ExistingTables, DatabaseCodePage, document.PrefixDeclarations())};
            platform::Connection& connection = platform::Required(Connection);
            ImportProgressDialog progress(*this);
            outcome = progress.Run(
                [&](platform::Cancellation& cancellation, ImportProgress& shown) {
                    return RunImport(request, connection, cancellation, shown);
                },
                tr("Importing the XML document…"));
        } catch (const std::exception& error) {
            // Only failures with a text are reported here; any other kind goes on to the
            // default error display.
            outcome = FailureOutcome(QString::fromUtf8(error.what()));
        }
        ShowOutcome(outcome);
    });
}

void TForm1::ShowOutcome(const ImportOutcome& outcome) {
    ShowMessage(OutcomeMessage(outcome),
                OutcomeDetail(outcome, MessageLanguage(ui->File1->title())));
}
