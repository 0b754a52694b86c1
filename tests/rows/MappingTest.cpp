#include <QComboBox>
#include <QLineEdit>

#include "MappingMessages.h"
#include "RowsFixture.h"

namespace {

Mapping InvoiceLines() {
    return {{QStringLiteral("Invoice/cac:InvoiceLine"), true},
            {{QStringLiteral("Invoice/cbc:ID"), QStringLiteral("Invoice"), QStringLiteral("Int"),
              QStringLiteral("../cbc:ID")},
             {QStringLiteral("Invoice/cac:InvoiceLine/cac:Item/cbc:Name"), QStringLiteral("Ürün"),
              QStringLiteral("nVarChar(40)"), QStringLiteral("cac:Item/cbc:Name")}},
            QStringLiteral("Satırlar"),
            QStringLiteral("db.example,1433"),
            QStringLiteral("sa"),
            QStringLiteral("Sales")};
}

MappingError::Reason RefusalOf(const QByteArray& text) {
    try {
        ReadMapping(text);
    } catch (const MappingError& error) {
        return error.reason();
    }
    ADD_FAILURE() << "accepted: " << text.toStdString();
    return {};
}

TEST(MappingFile, WhatIsWrittenReadsBackEqual) {
    const QByteArray text = MappingText(InvoiceLines());
    EXPECT_EQ(ReadMapping(text), InvoiceLines());
    EXPECT_TRUE(text.contains("\"format\": \"tavlen-mapping\""));
    EXPECT_TRUE(text.contains("\"version\": 1"));
    EXPECT_FALSE(text.contains("password"));
}

TEST(MappingFile, PatternsAsWrittenOrMadeWhenLeftOut) {
    const Mapping read = ReadMapping(R"({"format": "tavlen-mapping", "version": 1,
        "row": {"path": "orders/order", "element": true},
        "fields": [{"path": "orders/order/@no", "name": "No", "type": "Int"},
                   {"path": "orders/order/item", "name": "Item", "type": "Int",
                    "pattern": "item[1]"}]})");
    EXPECT_EQ(PlanOf(read).fields[0].pattern, QStringLiteral("@no"));
    EXPECT_EQ(PlanOf(read).fields[1].pattern, QStringLiteral("item[1]"));
}

TEST(MappingFile, UnusableFilesAreRefusedWithTheirReason) {
    using Reason = MappingError::Reason;
    const QByteArray field = R"([{"path": "a/@b", "name": "B", "type": "Int"}])";
    const struct {
        const char* name;
        QByteArray text;
        Reason reason;
    } cases[] = {
        {"cut short", MappingText(InvoiceLines()).chopped(20), Reason::Damaged},
        {"another JSON file", R"({"name": "package"})", Reason::NotAMapping},
        {"an XML file", "<a/>", Reason::Damaged},
        {"newer version",
         R"({"format": "tavlen-mapping", "version": 2, "row": {"path": "a", "element": true},
             "fields": )" +
             field + "}",
         Reason::NewerVersion},
        {"no field",
         R"({"format": "tavlen-mapping", "version": 1, "row": {"path": "a", "element": true},
             "fields": []})",
         Reason::NoField},
        {"field without a name",
         R"({"format": "tavlen-mapping", "version": 1, "row": {"path": "a", "element": true},
             "fields": [{"path": "a/@b", "type": "Int"}]})",
         Reason::Damaged},
        {"no row", R"({"format": "tavlen-mapping", "version": 1, "fields": )" + field + "}",
         Reason::Damaged},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RefusalOf(c.text), c.reason);
    }
}

class MappingWindow : public RowsFixture {
protected:
    void OpenMapping(const QByteArray& text) {
        dialog.Ok(files.Write(QStringLiteral("lines.json"), text));
        Action("OpenMapping").trigger();
    }

    QLineEdit& ServerBox() const {
        return *form.findChild<QLineEdit*>(QStringLiteral("Combobox1"));
    }
    QComboBox& TableBox() const { return *form.findChild<QComboBox*>(QStringLiteral("ComboBox2")); }
};

TEST_F(MappingWindow, AppliedMappingHoldsForTheNextDocument) {
    Open(QStringLiteral("invoice.xml"), SignedInvoice);
    Mapping mapping = InvoiceLines();
    mapping.fields[0].pattern = QStringLiteral("../cbc:ID[1]");  // edited by hand
    OpenMapping(MappingText(mapping));
    EXPECT_EQ(FieldRows(fields()), FieldRowsOf(mapping));
    EXPECT_EQ(TableBox().currentText(), QStringLiteral("Satırlar"));
    EXPECT_EQ(ServerBox().text(), QStringLiteral("db.example,1433"));
    EXPECT_EQ(RowsShown(), QStringLiteral("Rows: Invoice/cac:InvoiceLine (3)"));
    EXPECT_EQ(nodes().RowNode(), FindElement(nodes(), QStringLiteral("Invoice/cac:InvoiceLine")));
    // Another invoice, without the signature and with an extra element in its one line.
    Open(QStringLiteral("second.xml"),
         "<Invoice xmlns:cac=\"c\" xmlns:cbc=\"b\"><cbc:ID>F-2</cbc:ID><cac:InvoiceLine>"
         "<cbc:ID>1</cbc:ID><cac:Item><cbc:Name>X</cbc:Name><cbc:Extra><e/></cbc:Extra>"
         "</cac:Item></cac:InvoiceLine></Invoice>");
    EXPECT_EQ(FieldRows(fields()), FieldRowsOf(mapping));
    EXPECT_EQ(RowsShown(), QStringLiteral("Rows: Invoice/cac:InvoiceLine (1)"));
    const ImportPlan plan = form.CurrentPlan();
    EXPECT_EQ(plan.rowPath, QStringLiteral("Invoice/cac:InvoiceLine"));
    EXPECT_EQ(plan.fields, mapping.fields);
    EXPECT_EQ(plan.table, QStringLiteral("Satırlar"));
    // A changed field list is planned anew.
    AddField(QStringLiteral("Invoice/cac:InvoiceLine/cbc:ID"), QStringLiteral("Line"));
    EXPECT_EQ(form.CurrentPlan().fields[0].pattern, QStringLiteral("../cbc:ID"));
}

TEST_F(MappingWindow, RefusedMappingLeavesTheWindowAsItWas) {
    Open(QStringLiteral("invoice.xml"), SignedInvoice);
    AddField(QStringLiteral("Invoice/cbc:ID"), QStringLiteral("Invoice"));
    Mapping newer = InvoiceLines();
    const QByteArray texts[] = {"{\"format\": \"tavlen-mapping\", \"vers",
                                MappingText(newer).replace("\"version\": 1", "\"version\": 7")};
    for (const QByteArray& text : texts) {
        boxes.boxes.clear();
        OpenMapping(text);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_EQ(boxes.boxes[0].kind, MessageKind::Error);
        EXPECT_EQ(FieldRows(fields()).size(), 1u);
        EXPECT_EQ(RowsShown(), QStringLiteral("Rows: %1 (1)").arg(SignaturePath));
        EXPECT_TRUE(ServerBox().text().isEmpty());
        EXPECT_FALSE(form.AppliedMapping().has_value());
    }
    EXPECT_EQ(boxes.boxes[0].text,
              MappingErrorText(MappingError::Reason::NewerVersion, Language::English));
}

TEST_F(MappingWindow, SavedMappingOpensToTheSameImport) {
    Open(QStringLiteral("invoice.xml"), SignedInvoice);
    Select(QStringLiteral("Invoice/cac:InvoiceLine"));
    Action("SetRowElement").trigger();
    AddField(QStringLiteral("Invoice/cac:InvoiceLine/cbc:ID"), QStringLiteral("Line"));
    ServerBox().setText(QStringLiteral("db,1433"));
    form.findChild<QLineEdit*>(QStringLiteral("Edit3"))->setText(QStringLiteral("Secret-1"));
    const ImportPlan before = form.CurrentPlan();
    dialog.Ok(files.Path(QStringLiteral("saved.json")));
    Action("SaveMapping").trigger();
    QFile saved(files.Path(QStringLiteral("saved.json")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray text = saved.readAll();
    EXPECT_FALSE(text.contains("Secret-1"));
    EXPECT_EQ(PlanOf(ReadMapping(text)), before);
    EXPECT_EQ(ReadMapping(text).server, QStringLiteral("db,1433"));
}

}  // namespace
