#include <gtest/gtest.h>

#include "ExpectedBatch.h"
#include "ImportBatch.h"
#include "PrintBytes.h"
#include "platform/CodePage.h"

namespace {

// One whole document's import, as the cases below vary it.
struct ImportSource {
    QByteArray documentText;
    QString tableText;
    QStringList existingTables;
    QString rowPath;
    std::vector<FieldRow> fields;
    int codePage = 0;
    QByteArray prefixDeclarations{};
};

QByteArray ImportBatch(const ImportSource& source) {
    const ImportPlan plan = MakePlan({source.rowPath, false}, source.fields, source.tableText);
    return ImportBatch(
        TargetOf(plan, source.existingTables, source.codePage, source.prefixDeclarations),
        {source.documentText, false});
}

// The orders document serialised on one line: 75 bytes with its CR LF.
const QByteArray OrdersDocument = QByteArrayLiteral(
    "<orders><order no=\"7\"><item>Tom's pen</item><qty>2</qty></order></orders>\r\n");

ImportSource OrdersImport() {
    return {
        OrdersDocument,
        QStringLiteral("Orders"),
        {},
        QStringLiteral("orders/order/@no"),
        {{QStringLiteral("orders/order/item"), QStringLiteral("Item"),
          QStringLiteral("VarChar(50)")},
         {QStringLiteral("orders/order/qty"), QStringLiteral("Qty"), QStringLiteral("Int")},
         {QStringLiteral("orders/order/@no"), QStringLiteral("OrderNo"), QStringLiteral("Int")}}};
}

const QByteArray OrdersColumns = " Item VarChar(50) '../item', Qty Int '../qty', OrderNo Int '.'";
const QByteArray OrdersEscaped =
    "<orders><order no=\"7\"><item>Tom'+char(39)+'s pen</item><qty>2</qty></order></orders>\r\n";

TEST(ImportBatch, WorkedExampleNewTable) {
    const QByteArray expected =
        "DECLARE @idoc int\r\n"
        "DECLARE @doc varchar(125)\r\n"
        "SET @doc ='<orders><order no=\"7\"><item>Tom'+char(39)+'s pen</item><qty>2</qty>"
        "</order></orders>\r\n"
        "'\r\n"
        "EXEC sp_xml_preparedocument @idoc OUTPUT, @doc\r\n"
        " SELECT * INTO [Orders]  FROM OPENXML (@idoc, 'orders/order/@no',1) WITH (\r\n"
        " Item VarChar(50) '../item', Qty Int '../qty', OrderNo Int '.')\r\n"
        "EXEC sp_xml_removedocument @idoc";
    ASSERT_EQ(OrdersDocument.size(), 75);
    const QByteArray batch = ImportBatch(OrdersImport());
    EXPECT_EQ(batch, expected);
    EXPECT_EQ(batch.size(), 367);
}

TEST(ImportBatch, WorkedExampleExistingTable) {
    ImportSource source = OrdersImport();
    source.existingTables = {QStringLiteral("Customers"), QStringLiteral("Orders")};
    const QByteArray expected =
        "DECLARE @idoc int\r\n"
        "DECLARE @doc varchar(125)\r\n"
        "SET @doc ='<orders><order no=\"7\"><item>Tom'+char(39)+'s pen</item><qty>2</qty>"
        "</order></orders>\r\n"
        "'\r\n"
        "EXEC sp_xml_preparedocument @idoc OUTPUT, @doc\r\n"
        " INSERT INTO [Orders]  SELECT *  FROM OPENXML (@idoc, 'orders/order/@no',1) WITH (\r\n"
        " Item VarChar(50) '../item', Qty Int '../qty', OrderNo Int '.')\r\n"
        "EXEC sp_xml_removedocument @idoc";
    const QByteArray batch = ImportBatch(source);
    EXPECT_EQ(batch, expected);
    EXPECT_EQ(batch.size(), 375);
}

TEST(ImportBatch, TargetFormFollowsExactNameMatch) {
    const QByteArray insertForm = " INSERT INTO [Orders]  SELECT * ";
    const QByteArray newTableForm = " SELECT * INTO [Orders] ";
    struct Case {
        const char* name;
        QStringList existing;
        QByteArray target;
    };
    for (const Case& c :
         {Case{"empty list", {}, newTableForm},
          Case{"other letter case", {QStringLiteral("orders")}, newTableForm},
          Case{"trailing blank", {QStringLiteral("Orders ")}, newTableForm},
          Case{"longer name", {QStringLiteral("Orders2")}, newTableForm},
          Case{"listed twice", {QStringLiteral("Orders"), QStringLiteral("Orders")}, insertForm},
          Case{"listed last", {QStringLiteral("a"), QStringLiteral("Orders")}, insertForm}}) {
        SCOPED_TRACE(c.name);
        ImportSource source = OrdersImport();
        source.existingTables = c.existing;
        EXPECT_EQ(ImportBatch(source),
                  ExpectedBatch("125", OrdersEscaped, c.target, "orders/order/@no", OrdersColumns));
    }
}

TEST(ImportBatch, SingleFieldHasNoComma) {
    ImportSource source = OrdersImport();
    source.fields.resize(1);
    EXPECT_EQ(ImportBatch(source),
              ExpectedBatch("125", OrdersEscaped, " SELECT * INTO [Orders] ", "orders/order/@no",
                            " Item VarChar(50) '../item'"));
}

TEST(ImportBatch, FieldOrderIsColumnOrder) {
    ImportSource source = OrdersImport();
    std::swap(source.fields[0], source.fields[2]);
    EXPECT_EQ(ImportBatch(source),
              ExpectedBatch("125", OrdersEscaped, " SELECT * INTO [Orders] ", "orders/order/@no",
                            " OrderNo Int '.', Qty Int '../qty', Item VarChar(50) '../item'"));
}

TEST(ImportBatch, EmptyDocumentDeclaresFifty) {
    ImportSource source = OrdersImport();
    source.documentText.clear();
    const QByteArray batch = ImportBatch(source);
    EXPECT_TRUE(
        batch.startsWith("DECLARE @idoc int\r\nDECLARE @doc varchar(50)\r\n"
                         "SET @doc =''\r\nEXEC sp_xml_preparedocument"));
    EXPECT_EQ(batch, ExpectedBatch("50", "", " SELECT * INTO [Orders] ", "orders/order/@no",
                                   OrdersColumns));
}

TEST(ImportBatch, SizeCountsUnescapedBytes) {
    struct Case {
        QByteArray document;
        QByteArray n;
        QByteArray escaped;
    };
    for (const Case& c : {
             Case{"''\r\n", "54", "'+char(39)+''+char(39)+'\r\n"},
             Case{"'+char(39)+'\r\n", "64", "'+char(39)+'+char(39)+'+char(39)+'\r\n"},
             // Bytes above 127, double quotes, ampersands and line breaks pass unchanged.
             Case{"<a b=\"&amp;\">\xc3\xa9</a>\r\n<c/>\r\n", "77",
                  "<a b=\"&amp;\">\xc3\xa9</a>\r\n<c/>\r\n"},
         }) {
        SCOPED_TRACE(c.document.toStdString());
        ImportSource source = OrdersImport();
        source.documentText = c.document;
        EXPECT_EQ(ImportBatch(source), ExpectedBatch(c.n, c.escaped, " SELECT * INTO [Orders] ",
                                                     "orders/order/@no", OrdersColumns));
    }
}

TEST(ImportBatch, TableTextKeepsBlanksAndDoublesClosingBrackets) {
    struct Case {
        const char* table;
        QStringList existing;
        QByteArray target;
    };
    for (const Case& c : {
             Case{"Order Lines", {}, " SELECT * INTO [Order Lines] "},
             Case{" Orders ", {}, " SELECT * INTO [ Orders ] "},
             Case{"a]b", {}, " SELECT * INTO [a]]b] "},
             Case{"a]b", {QStringLiteral("a]b")}, " INSERT INTO [a]]b]  SELECT * "},
             Case{"x] (a int) DROP TABLE [y", {}, " SELECT * INTO [x]] (a int) DROP TABLE [y] "},
             Case{"Sipariş",
                  {QStringLiteral("Sipariş")},
                  " INSERT INTO [Sipari\xc5\x9f]  SELECT * "},
         }) {
        SCOPED_TRACE(c.table);
        ImportSource source = OrdersImport();
        source.tableText = QString::fromUtf8(c.table);
        source.existingTables = c.existing;
        EXPECT_EQ(ImportBatch(source),
                  ExpectedBatch("125", OrdersEscaped, c.target, "orders/order/@no", OrdersColumns));
    }
}

TEST(ImportBatch, FieldNamesQuotedWhenNotOrdinary) {
    ImportSource source = OrdersImport();
    source.fields[0].name = QStringLiteral("Order");
    source.fields[1].name = QStringLiteral("Unit Price");
    source.fields[2].name = QStringLiteral("No]'");
    EXPECT_EQ(ImportBatch(source),
              ExpectedBatch(
                  "125", OrdersEscaped, " SELECT * INTO [Orders] ", "orders/order/@no",
                  " [Order] VarChar(50) '../item', [Unit Price] Int '../qty', [No]]'] Int '.'"));
}

TEST(ImportBatch, EmptyFieldNameAndTypeStayEmpty) {
    ImportSource source = OrdersImport();
    source.fields.resize(1);
    source.fields[0].name.clear();
    source.fields[0].type.clear();
    EXPECT_EQ(ImportBatch(source), ExpectedBatch("125", OrdersEscaped, " SELECT * INTO [Orders] ",
                                                 "orders/order/@no", "   '../item'"));
}

TEST(ImportBatch, ApostrophesInPathsDoubledInLiterals) {
    // Tree labels edited in place: "it's" and "o'no".
    ImportSource source = OrdersImport();
    source.rowPath = QStringLiteral("orders/it's/@o'no");
    source.fields = {
        {QStringLiteral("orders/it's/@o'no"), QStringLiteral("No"), QStringLiteral("Int")},
        {QStringLiteral("orders/it's/x'y"), QStringLiteral("X"), QStringLiteral("Int")}};
    EXPECT_EQ(ImportBatch(source),
              ExpectedBatch("125", OrdersEscaped, " SELECT * INTO [Orders] ", "orders/it''s/@o''no",
                            " No Int '.', X Int '../x''y'"));
}

TEST(ImportBatch, NonAsciiNamesInUtf8) {
    ImportSource source = OrdersImport();
    source.rowPath = QStringLiteral("sipariş/ürün");
    source.fields = {
        {QStringLiteral("sipariş/ürün"), QStringLiteral("Ürün"), QStringLiteral("NVarChar(20)")}};
    EXPECT_EQ(ImportBatch(source), ExpectedBatch("125", OrdersEscaped, " SELECT * INTO [Orders] ",
                                                 "sipari\xc5\x9f/\xc3\xbcr\xc3\xbcn",
                                                 " \xc3\x9cr\xc3\xbcn NVarChar(20) '.'"));
}

// The server converts the document literal to the database's code page: the declared size
// counts the bytes there, and a name the code page cannot hold stops the batch.
TEST(ImportBatch, SizeCountsTheBytesInTheDatabasesCodePage) {
    const QByteArray turkish =
        "<\xC5\x9F\x65hir>x</\xC5\x9F\x65hir>\r\n";                    // 20 bytes, 18 characters
    const QByteArray japanese = "<\xE5\x90\x8D>x</\xE5\x90\x8D>\r\n";  // 14 bytes, 10 characters
    struct Case {
        const char* name;
        QByteArray document;
        int codePage;
        QByteArray n;
    };
    for (const Case& c :
         {Case{"not known", turkish, 0, "70"}, Case{"Turkish", turkish, 1254, "68"},
          Case{"UTF-8", turkish, 65001, "70"}, Case{"Japanese, two bytes", japanese, 932, "62"}}) {
        SCOPED_TRACE(c.name);
        ImportSource source = OrdersImport();
        source.documentText = c.document;
        source.codePage = c.codePage;
        EXPECT_TRUE(ImportBatch(source).contains("DECLARE @doc varchar(" + c.n + ")\r\n"));
    }
    ImportSource latin = OrdersImport();
    latin.documentText = turkish;
    latin.codePage = 1252;
    EXPECT_THROW(ImportBatch(latin), platform::CodePageError);
}

// Up to 8,000 bytes the batch is as it always was; above, a max type with doubled
// apostrophes (a concatenation would be cut at 8,000) and the handle selected for clean-up.
TEST(ImportBatch, AboveEightThousandBytesTheDocumentGoesInAMaxType) {
    ImportSource source = OrdersImport();
    const QByteArray filler(7941, 'x');
    source.documentText = "<a>" + filler + "</a>\r\n";  // 7,950 bytes
    EXPECT_TRUE(ImportBatch(source).startsWith("DECLARE @idoc int\r\nDECLARE @doc varchar(8000)"));
    source.documentText = "<a>" + filler + "'</a>\r\n";
    EXPECT_EQ(
        ImportBatch(source),
        "DECLARE @idoc int\r\nDECLARE @doc varchar(max)\r\nSET @doc ='<a>" + filler +
            "''</a>\r\n'\r\nEXEC sp_xml_preparedocument @idoc OUTPUT, @doc\r\nSELECT @idoc\r\n"
            " SELECT * INTO [Orders]  FROM OPENXML (@idoc, 'orders/order/@no',1) WITH (\r\n" +
            OrdersColumns + ")\r\nEXEC sp_xml_removedocument @idoc");
}

// Names the database's code page lacks: the document in nvarchar, and N'...' for the
// literals that hold such names, so that nothing reaches the server as "?".
TEST(ImportBatch, NamesTheCodePageLacksGoAsUnicode) {
    const ImportPlan plan = MakePlan(
        {QStringLiteral("liste/\u015Fehir"), false},
        {{QStringLiteral("liste/\u015Fehir"), QStringLiteral("Ad"), QStringLiteral("NVarChar(20)")},
         {QStringLiteral("liste/@no"), QStringLiteral("No"), QStringLiteral("Int")}},
        QStringLiteral("T"));
    const QByteArray document =
        "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<liste no=\"1\"><\xC5\x9F\x65hir>"
        "Tom's</\xC5\x9F\x65hir></liste>\r\n";
    const QByteArray batch = ImportBatch(TargetOf(plan, {}, 1252, {}), {document, true});
    const QByteArray size = QByteArray::number(QString::fromUtf8(document).size() + 50);
    EXPECT_TRUE(batch.startsWith("DECLARE @idoc int\r\nDECLARE @doc nvarchar(" + size +
                                 ")\r\nSET @doc =N'"));
    EXPECT_TRUE(batch.contains("Tom'+char(39)+'s"));
    EXPECT_TRUE(batch.contains("OPENXML (@idoc, N'liste/\xC5\x9F\x65hir',1)"));
    EXPECT_TRUE(batch.contains(" Ad NVarChar(20) '.', No Int '../@no')"));
}

TEST(ImportBatch, PrefixDeclarationsAreTheThirdArgument) {
    ImportSource source = OrdersImport();
    source.prefixDeclarations = "<root xmlns:p=\"it's\"/>";
    EXPECT_TRUE(ImportBatch(source).contains(
        "'\r\nEXEC sp_xml_preparedocument @idoc OUTPUT, @doc, '<root xmlns:p=\"it''s\"/>'\r\n "
        "SELECT * INTO"));
}

}  // namespace
