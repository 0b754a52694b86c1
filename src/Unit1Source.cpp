#include "Unit1.h"

#include "ErrorDisplay.h"
#include "StructureBuilder.h"
#include "StructureModel.h"
#include "platform/WaitCursor.h"
#include "platform/XmlDocument.h"
#include "ui_Unit1.h"

void TForm1::LoadXML1Click() {
    Guarded([this] {
        OpenDialog1.Execute(this);  // OK or Cancel: the remembered name decides
        const QString fileName = OpenDialog1.FileName();
        if (fileName.isEmpty()) return;
        try {
            const platform::WaitCursor wait;
            XMLDocument1->SetFileName(fileName);
            TreeNodes->Install(BuildStructureTree(*XMLDocument1));
            ui->ListBox1->clear();
        } catch (...) {
            ShowMessage(MessageId::msgBadXml);
        }
    });
}
