// The import batch as the client composes it, in both forms, and its variations.
#include "EngineTest.h"

#include <atomic>

namespace standin::test {
namespace {

struct Field {
    std::string name, type, pattern;
};

std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) out += c == '\'' ? std::string("'+char(39)+'") : std::string(1, c);
    return out;
}

// The client's batch, line for line; `document` is what the client holds in its 8-bit text
// (here UTF-8, which the batch carries as Unicode).
std::string importBatch(const std::string& document, std::size_t documentBytes,
                        const std::string& table, const std::string& rowPath,
                        const std::vector<Field>& fields, bool insert) {
    std::string b =
        "DECLARE @idoc int\r\nDECLARE @doc varchar(" + std::to_string(documentBytes + 50) + ")\r\n";
    b += "SET @doc ='" + escaped(document) + "'\r\n";
    b += "EXEC sp_xml_preparedocument @idoc OUTPUT, @doc\r\n";
    b += insert ? " INSERT INTO [" + table + "]  SELECT * " : " SELECT * INTO [" + table + "] ";
    b += " FROM OPENXML (@idoc, '" + rowPath + "',1) WITH (\r\n";
    for (const Field& f : fields) b += " " + f.name + " " + f.type + " '" + f.pattern + "',";
    b.pop_back();
    return b + ")\r\nEXEC sp_xml_removedocument @idoc";
}

std::string importBatch(const std::string& document, const std::string& table,
                        const std::string& rowPath, const std::vector<Field>& fields,
                        bool insert = false) {
    return importBatch(document, document.size(), table, rowPath, fields, insert);
}

const std::string kOrders =
    "<orders><order no=\"7\"><item>Tom's pen</item><qty>2</qty></order></orders>\r\n";
const std::vector<Field> kOrderFields = {
    {"Item", "VarChar(50)", "../item"}, {"Qty", "Int", "../qty"}, {"OrderNo", "Int", "."}};

using ImportBatchTest = EngineTest;

TEST_F(ImportBatchTest, WorkedExampleCreatesTheTable) {
    const std::string batch = importBatch(kOrders, "Orders", "orders/order/@no", kOrderFields);
    ASSERT_EQ(batch.size(), 367u);
    const auto replies = run(batch);
    ASSERT_EQ(replies.size(), 6u);
    EXPECT_TRUE(errorsOf(replies).empty());
    EXPECT_TRUE(replies[3].procedure);
    EXPECT_EQ(replies[4].rowCount, 1u);
    EXPECT_TRUE(replies[5].procedure);
    const auto selected = run("SELECT * FROM Orders");
    const ResultSet& r = *resultOf(selected[0]);
    EXPECT_EQ(r.rows, (Rows{{"Tom's pen", "2", "7"}}));
    ASSERT_EQ(r.columns.size(), 3u);
    EXPECT_EQ(r.columns[0].name, "Item");
    EXPECT_EQ(r.columns[0].type.type, SqlType::VarChar);
    EXPECT_EQ(r.columns[0].type.length, 50);
    EXPECT_EQ(r.columns[1].type.type, SqlType::Int);
    EXPECT_EQ(r.columns[2].name, "OrderNo");
}

TEST_F(ImportBatchTest, WorkedExampleInsertsIntoTableAndView) {
    ok("CREATE TABLE Orders (Item varchar(50), Qty int, OrderNo int)");
    const std::string batch =
        importBatch(kOrders, "Orders", "orders/order/@no", kOrderFields, true);
    ASSERT_EQ(batch.size(), 375u);
    const auto replies = run(batch);
    EXPECT_TRUE(errorsOf(replies).empty());
    EXPECT_EQ(replies[4].rowCount, 1u);
    ok("CREATE TABLE Base (OrderNo int, Item nvarchar(50), Qty int, Note varchar(5))");
    ok("CREATE VIEW OrderView AS SELECT Item, Qty, OrderNo FROM Base");
    EXPECT_TRUE(
        errorsOf(run(importBatch(kOrders, "OrderView", "orders/order/@no", kOrderFields, true)))
            .empty());
    EXPECT_EQ(query("SELECT * FROM Orders"), (Rows{{"Tom's pen", "2", "7"}}));
    EXPECT_EQ(query("SELECT * FROM Base"), (Rows{{"7", "Tom's pen", "2", std::nullopt}}));
}

TEST_F(ImportBatchTest, NewTableFormTwiceReportsTheExistingTableAndStillRemovesTheDocument) {
    ok(importBatch(kOrders, "Orders", "orders/order/@no", kOrderFields));
    const auto replies = run(importBatch(kOrders, "Orders", "orders/order/@no", kOrderFields));
    ASSERT_EQ(replies.size(), 6u);
    EXPECT_TRUE(replies[4].error);
    const Message m = errorsOf(replies).front();
    EXPECT_EQ(m.number, 2714);
    EXPECT_EQ(m.text, "There is already an object named 'Orders' in the database.");
    EXPECT_EQ(m.line, 6);
    EXPECT_FALSE(replies[5].error);
    EXPECT_EQ(query("SELECT * FROM Orders").size(), 1u);
}

TEST_F(ImportBatchTest, RowPathMatchingNothingCreatesAnEmptyTable) {
    const auto replies = run(importBatch(kOrders, "Orders", "orders/order/@none", kOrderFields));
    EXPECT_TRUE(errorsOf(replies).empty());
    EXPECT_EQ(replies[4].rowCount, 0u);
    const auto selected = run("SELECT * FROM Orders");
    EXPECT_EQ(resultOf(selected[0])->columns.size(), 3u);
    EXPECT_TRUE(resultOf(selected[0])->rows.empty());
}

TEST_F(ImportBatchTest, InsertWithOtherColumnCountFails) {
    ok("CREATE TABLE Orders (Item varchar(50), Qty int)");
    const auto replies =
        run(importBatch(kOrders, "Orders", "orders/order/@no", kOrderFields, true));
    EXPECT_TRUE(replies[4].error);
    EXPECT_EQ(errorsOf(replies).front().number, 213);
}

TEST_F(ImportBatchTest, DocumentTooLargeForVarcharStopsTheWholeBatch) {
    const std::string big = "<a>" + std::string(7960, 'x') + "</a>\r\n";
    const auto replies = run(importBatch(big, "Big", "a", {{"v", "Text", "."}}));
    ASSERT_EQ(replies.size(), 1u);
    const auto errors = errorsOf(replies);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].number, 131);
    EXPECT_EQ(errors[0].severity, 15);
    EXPECT_EQ(errors[0].line, 2);
    EXPECT_EQ(
        errors[0].text,
        "The size (" + std::to_string(big.size() + 50) +
            ") given to the type 'varchar' exceeds the maximum allowed for any data type (8000).");
    EXPECT_EQ(fails("SELECT * FROM Big").number, 208);
    const std::string fits = "<a>" + std::string(7940, 'x') + "</a>\r\n";
    ok(importBatch(fits, "Fits", "a", {{"v", "Text", "."}}));
    EXPECT_EQ(query("SELECT v FROM Fits").at(0).at(0)->size(), 7940u);
}

TEST_F(ImportBatchTest, LongLiteralIsMaxButJoinedShortPiecesAreCutAt8000Bytes) {
    const std::string text(9000, 'x');
    ok("DECLARE @h int DECLARE @doc varchar(max)\r\nSET @doc ='<a>" + text +
       "</a>'\r\nEXEC sp_xml_preparedocument @h OUTPUT, @doc\r\n"
       "SELECT * INTO Whole FROM OPENXML (@h, 'a', 1) WITH (v varchar(max) '.') "
       "EXEC sp_xml_removedocument @h");
    EXPECT_EQ(query("SELECT v FROM Whole").at(0).at(0), text);
    // Pieces of at most 8000 bytes joined by + stay a varchar(8000): the document is cut.
    const std::string piece(5000, 'x');
    const auto replies =
        run("DECLARE @h int DECLARE @doc varchar(max)\r\nSET @doc ='<a>" + piece + "'+char(39)+'" +
            piece + "</a>'\r\nEXEC sp_xml_preparedocument @h OUTPUT, @doc");
    EXPECT_EQ(errorsOf(replies).front().number, 6602);
    EXPECT_EQ(query("DECLARE @d varchar(max) SET @d = CONVERT(varchar(max), '" + piece + "') + '" +
                    piece + "' SELECT @d")
                  .at(0)
                  .at(0)
                  ->size(),
              10000u);
}

TEST_F(ImportBatchTest, CancelStopsThePieceAndKeepsTheTransactionOpen) {
    ok("BEGIN TRANSACTION");
    std::atomic<bool> cancelled{true};
    const auto replies = session.executeBatch(
        importBatch(kOrders, "Orders", "orders/order/@no", kOrderFields), &cancelled);
    EXPECT_TRUE(errorsOf(replies).empty());
    EXPECT_EQ(query("SELECT @@TRANCOUNT, OBJECT_ID('Orders')"), (Rows{{"1", std::nullopt}}));
    ok("ROLLBACK TRANSACTION");
}

TEST_F(ImportBatchTest, ColumnSizeAboveTheMaximumIsACompileError) {
    const auto replies = run(importBatch(kOrders, "Orders", "orders/order/@no",
                                         {{"Item", "nVarChar(4001)", "../item"}}));
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(errorsOf(replies).front().text,
              "The size (4001) given to the column 'Item' exceeds the maximum allowed for any data "
              "type (4000).");
}

TEST_F(ImportBatchTest, UnicodeSurvivesInNvarcharOnlyWhenTheDocumentIsUnicode) {
    const std::string doc = "<r><v>ğé</v></r>";
    ok("DECLARE @h int DECLARE @d nvarchar(100) SET @d = N'" + doc +
       "' EXEC sp_xml_preparedocument @h OUTPUT, @d "
       "SELECT * INTO U FROM OPENXML (@h, 'r/v', 1) WITH (n nVarChar(10) '.', c VarChar(10) '.') "
       "EXEC sp_xml_removedocument @h");
    EXPECT_EQ(query("SELECT n, c FROM U"), (Rows{{"ğé", "gé"}}));
    // Through a varchar document, as the client sends it, the ğ is gone before parsing.
    ok(importBatch(doc, "V", "r/v", {{"n", "nVarChar(10)", "."}}));
    EXPECT_EQ(query("SELECT n FROM V"), (Rows{{"gé"}}));
}

TEST_F(ImportBatchTest, VarcharDocumentIsReadUnderItsDeclaredEncoding) {
    struct Case {
        std::string declaration;
        bool parses;
    };
    const Case cases[] = {
        {"", true},
        {"<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n", true},
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n", true},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n", false},
        {"<?xml version=\"1.0\"?>\r\n", true},
    };
    int n = 0;
    for (const Case& c : cases) {
        const std::string table = "T" + std::to_string(n++);
        const auto replies = run(importBatch(c.declaration + "<r><v>café</v></r>\r\n", table, "r/v",
                                             {{"v", "nVarChar(10)", "."}}));
        ASSERT_EQ(replies.size(), 6u);
        if (c.parses) {
            EXPECT_TRUE(errorsOf(replies).empty()) << c.declaration;
            EXPECT_EQ(query("SELECT v FROM " + table), (Rows{{"café"}})) << c.declaration;
            continue;
        }
        EXPECT_TRUE(replies[3].error) << c.declaration;
        const auto m = messagesOf({replies[3]});
        ASSERT_EQ(m.size(), 2u);
        EXPECT_EQ(m[0].number, 6601);
        EXPECT_EQ(m[0].severity, 10);
        EXPECT_EQ(m[0].text.rfind("The XML parse error 0x", 0), 0u) << m[0].text;
        EXPECT_EQ(m[1].number, 6602);
        EXPECT_EQ(m[1].procedure, "sp_xml_preparedocument");
        EXPECT_EQ(m[1].text,
                  "The error description is 'An invalid character was found in text content.'.");
        EXPECT_EQ(std::get<ReturnStatus>(replies[3].events.back()).value, 1);
        EXPECT_EQ(errorsOf({replies[4]}).front().number, 8179);
        EXPECT_EQ(errorsOf({replies[4]}).front().text,
                  "Could not find prepared statement with handle 0.");
        EXPECT_TRUE(replies[5].error);
    }
}

TEST_F(ImportBatchTest, NamesAndPatternsWithQuotesAndBrackets) {
    const std::string doc = "<r><i k=\"it's\">one</i><i k=\"b\">two</i></r>\r\n";
    ok(importBatch(doc, "Odd]]Name", "r/i[@k=\"it''s\"]", {{"[Val ue]", "VarChar(9)", "."}}));
    EXPECT_EQ(query("SELECT [Val ue] FROM [Odd]]Name]"), (Rows{{"one"}}));
    ok("DECLARE @h int EXEC sp_xml_preparedocument @h OUTPUT, '<r><i k=\"it''s\">one</i><i "
       "k=\"b\">two</i></r>'"
       " INSERT INTO [Odd]]Name] SELECT * FROM OPENXML (@h, 'r/i[@k=''b'']') WITH ([Val ue] "
       "VarChar(9) '.')");
    EXPECT_EQ(query("SELECT * FROM [Odd]]Name] ORDER BY [Val ue] DESC"), (Rows{{"two"}, {"one"}}));
}

TEST_F(ImportBatchTest, ConversionFailureCreatesNoTable) {
    const std::string doc = "<r><v>12</v><v>abc</v></r>\r\n";
    const auto replies = run(importBatch(doc, "N", "r/v", {{"v", "Int", "."}}));
    const Message m = errorsOf(replies).front();
    EXPECT_EQ(m.number, 245);
    EXPECT_EQ(m.text,
              "Conversion failed when converting the nvarchar value 'abc' to data type int.");
    EXPECT_EQ(fails("SELECT * FROM N").number, 208);
}

TEST_F(ImportBatchTest, ValueLongerThanItsOpenXmlTypeIsCut) {
    ok(importBatch("<r><v>12</v><v>abc</v></r>\r\n", "S", "r/v", {{"v", "VarChar(2)", "."}}));
    EXPECT_EQ(query("SELECT v FROM S"), (Rows{{"12"}, {"ab"}}));
}

TEST_F(ImportBatchTest, PositionalInsertCountsTheTimestampColumn) {
    ok("CREATE TABLE V (v int, ts timestamp)");
    const std::string doc = "<r><v>1</v></r>\r\n";
    const auto replies =
        run(importBatch(doc, "V", "r/v", {{"v", "Int", "."}, {"ts", "TimeStamp", "."}}, true));
    EXPECT_EQ(errorsOf(replies).front().number, 273);
    EXPECT_EQ(fails(importBatch(doc, "V", "r/v", {{"v", "Int", "."}}, true)).number, 213);
    EXPECT_TRUE(query("SELECT * FROM V").empty());
}

TEST_F(ImportBatchTest, OneTimestampColumnATable) {
    const auto replies = run(importBatch("<r><v>1</v></r>\r\n", "W", "r/v",
                                         {{"a", "TimeStamp", "."}, {"b", "TimeStamp", "."}}));
    EXPECT_EQ(errorsOf(replies).front().text,
              "A table can only have one timestamp column. Because table 'W' already has one, the "
              "column 'b' "
              "cannot be added.");
    EXPECT_EQ(fails("SELECT * FROM W").number, 208);
}

TEST_F(ImportBatchTest, TimestampColumnIsGeneratedNotRead) {
    const std::string doc = "<r><v t=\"x\">1</v><v t=\"y\">2</v></r>\r\n";
    ok(importBatch(doc, "T", "r/v/@t", {{"v", "Int", ".."}, {"ts", "TimeStamp", "."}}));
    const Rows rows = query("SELECT * FROM T");
    ASSERT_EQ(rows.size(), 2u);
    ASSERT_TRUE(rows[0][1] && rows[1][1]);
    EXPECT_EQ(rows[0][1]->size(), 16u);
    EXPECT_NE(*rows[0][1], *rows[1][1]);
    EXPECT_EQ(*rows[1][0], "2");
}

}  // namespace
}  // namespace standin::test
