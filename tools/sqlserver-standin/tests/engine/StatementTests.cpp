#include "EngineTest.h"

namespace standin::test {
namespace {

using StatementTest = EngineTest;

TEST_F(StatementTest, SpDatabasesListsSystemAndUserDatabasesByName)
{
    const auto replies = run("exec sp_databases");
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_TRUE(replies[0].procedure);
    ASSERT_EQ(replies[0].events.size(), 2u);
    EXPECT_EQ(std::get<ReturnStatus>(replies[0].events[1]).value, 0);
    const ResultSet& r = *resultOf(replies[0]);
    ASSERT_EQ(r.columns.size(), 3u);
    EXPECT_EQ(r.columns[0].name, "DATABASE_NAME");
    EXPECT_EQ(r.columns[0].type.type, SqlType::NVarChar);
    EXPECT_EQ(r.columns[0].type.length, 128);
    EXPECT_EQ(r.columns[1].type.type, SqlType::Int);
    EXPECT_EQ(r.columns[2].type.type, SqlType::VarChar);
    EXPECT_EQ(r.columns[2].type.length, 254);
    std::vector<std::string> names;
    for (const auto& row : r.rows) {
        names.push_back(*row[0]);
        EXPECT_FALSE(row[2].has_value());
    }
    EXPECT_EQ(names, (std::vector<std::string>{"master", "model", "msdb", "Sales", "tempdb"}));
}

TEST_F(StatementTest, UseChangesDatabaseWithEnvChangeAndInfo)
{
    Session s(catalog, "master");
    const auto replies = s.executeBatch("USE sales");
    ASSERT_EQ(replies.size(), 1u);
    ASSERT_EQ(replies[0].events.size(), 2u);
    const auto& change = std::get<DatabaseChanged>(replies[0].events[0]);
    EXPECT_EQ(change.newName, "Sales");
    EXPECT_EQ(change.oldName, "master");
    const auto& info = std::get<Message>(replies[0].events[1]);
    EXPECT_EQ(info.number, 5701);
    EXPECT_EQ(info.severity, 0);  // DB-Library clients take a higher class for an error
    EXPECT_EQ(info.text, "Changed database context to 'Sales'.");
    EXPECT_FALSE(replies[0].error);
    EXPECT_EQ(s.database(), "Sales");
}

TEST_F(StatementTest, UseWithBracketsAndDoubledClosingBracket)
{
    Catalog odd(CatalogOptions{{"My]Db", "Order Lines"}, ""});
    Session s(odd, "master");
    EXPECT_TRUE(errorsOf(s.executeBatch("USE [My]]Db]")).empty());
    EXPECT_EQ(s.database(), "My]Db");
    EXPECT_TRUE(errorsOf(s.executeBatch("USE [Order Lines]")).empty());
    EXPECT_EQ(s.database(), "Order Lines");
}

TEST_F(StatementTest, UseOfMissingDatabaseKeepsTheCurrentOne)
{
    const auto replies = run("USE Nowhere");
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_TRUE(replies[0].error);
    const Message m = errorsOf(replies).front();
    EXPECT_EQ(m.number, 911);
    EXPECT_EQ(m.text, "Database 'Nowhere' does not exist. Make sure that the name is entered correctly.");
    EXPECT_EQ(session.database(), "Sales");
}

TEST_F(StatementTest, SpTablesListsTablesThenViewsWithCatalogueViews)
{
    ok("CREATE TABLE zeta (a int) CREATE TABLE Alpha (a int)");
    ok("CREATE VIEW Beta AS SELECT a FROM zeta");
    const auto replies = run("exec sp_tables");
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_TRUE(replies[0].procedure);
    const ResultSet& r = *resultOf(replies[0]);
    ASSERT_EQ(r.columns.size(), 5u);
    EXPECT_EQ(r.columns[3].name, "TABLE_TYPE");
    EXPECT_EQ(r.columns[3].type.length, 32);
    ASSERT_GE(r.rows.size(), 5u);
    EXPECT_EQ(r.rows[0], (std::vector<Value>{"Sales", "dbo", "Alpha", "TABLE", std::nullopt}));
    EXPECT_EQ(r.rows[1], (std::vector<Value>{"Sales", "dbo", "zeta", "TABLE", std::nullopt}));
    EXPECT_EQ(r.rows[2], (std::vector<Value>{"Sales", "dbo", "Beta", "VIEW", std::nullopt}));
    EXPECT_EQ(*r.rows[3][1], "INFORMATION_SCHEMA");
    bool sysTables = false;
    for (const auto& row : r.rows)
        sysTables = sysTables || (*row[1] == "sys" && *row[2] == "tables" && *row[3] == "VIEW");
    EXPECT_TRUE(sysTables);
    EXPECT_EQ(*r.rows.back()[1], "sys");
}

TEST_F(StatementTest, UnknownProcedureAndBadSyntax)
{
    struct Case {
        const char* batch;
        int number;
        const char* text;
    };
    const Case cases[] = {
        {"exec sp_nothing", 2812, "Could not find stored procedure 'sp_nothing'."},
        {"sp_who2", 2812, "Could not find stored procedure 'sp_who2'."},
        {"SELECT * FROM", 102, "Incorrect syntax near 'FROM'."},
        {"SELEKT 1", 2812, "Could not find stored procedure 'SELEKT'."},
        {"SELECT 1\nFOO BAR", 102, "Incorrect syntax near 'BAR'."},
        {"SELECT 1 FROM WHERE", 156, "Incorrect syntax near the keyword 'WHERE'."},
        {"SELECT 'abc", 105, "Unclosed quotation mark after the character string 'abc'."},
    };
    for (const Case& c : cases) {
        const Message m = fails(c.batch);
        EXPECT_EQ(m.number, c.number) << c.batch;
        EXPECT_EQ(m.text, c.text) << c.batch;
    }
}

TEST_F(StatementTest, SyntaxErrorStopsTheWholeBatch)
{
    const auto replies = run("CREATE TABLE t (a int)\nINSERT INTO t VALUES (1)\nSELECT FROM");
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_TRUE(replies[0].error);
    const Message m = errorsOf(replies).front();
    EXPECT_EQ(m.line, 3);
    EXPECT_EQ(m.severity, 15);
    EXPECT_EQ(fails("SELECT * FROM t").number, 208);
}

TEST_F(StatementTest, StatementErrorLeavesEarlierWorkAndTheBatchGoesOn)
{
    const auto replies = run("CREATE TABLE t (a int)\nINSERT INTO t VALUES (1)\n\nINSERT INTO missing VALUES (2)\n"
                             "INSERT INTO t VALUES (3);");
    ASSERT_EQ(replies.size(), 4u);
    EXPECT_FALSE(replies[1].error);
    EXPECT_EQ(replies[1].rowCount, 1u);
    EXPECT_TRUE(replies[2].error);
    const Message m = errorsOf(replies).front();
    EXPECT_EQ(m.number, 208);
    EXPECT_EQ(m.text, "Invalid object name 'missing'.");
    EXPECT_EQ(m.line, 4);
    EXPECT_FALSE(replies[3].error);
    EXPECT_EQ(query("SELECT a FROM t ORDER BY a"), (Rows{{"1"}, {"3"}}));
}

TEST_F(StatementTest, ConversionErrorEndsTheWholeBatch)
{
    ok("CREATE TABLE t (a int)");
    const auto replies =
        run("INSERT INTO t VALUES (1)\nINSERT INTO t VALUES ('x')\nINSERT INTO t VALUES (3)");
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(errorsOf(replies).front().number, 245);
    EXPECT_EQ(query("SELECT a FROM t"), (Rows{{"1"}}));
}

TEST_F(StatementTest, EverydayStatementsOnAUsersTable)
{
    ok("CREATE TABLE t (id int, name varchar(10))\nINSERT INTO t VALUES (1, 'a'), (2, 'b'), (3, "
       "'c')");
    EXPECT_EQ(run("UPDATE t SET name = 'z' WHERE id = 2")[0].rowCount, 1u);
    EXPECT_EQ(run("DELETE FROM t WHERE id = 1")[0].rowCount, 1u);
    EXPECT_EQ(query("SELECT COUNT(*) FROM t"), (Rows{{"2"}}));
    EXPECT_EQ(query("SELECT name FROM t WHERE id = 2"), (Rows{{"z"}}));
    const auto printed =
        messagesOf(run("IF EXISTS (SELECT * FROM t WHERE id = 3) PRINT 'yes' ELSE PRINT 'no'"));
    ASSERT_EQ(printed.size(), 1u);
    EXPECT_EQ(printed[0].text, "yes");
    EXPECT_EQ(printed[0].severity, 0);
    ok("IF NOT EXISTS (SELECT * FROM t WHERE id = 9) BEGIN INSERT INTO t VALUES (9, 'n') END");
    ok("BEGIN TRAN TRUNCATE TABLE t COMMIT");
    EXPECT_EQ(query("SELECT COUNT(*) AS n FROM t"), (Rows{{"0"}}));
    EXPECT_EQ(fails("COMMIT TRANSACTION").number, 3902);
    ok("DROP TABLE t");
    const Rows globals = query("SELECT @@VERSION, @@MAX_PRECISION, GETDATE()");
    EXPECT_EQ(globals[0][0]->rfind("Microsoft SQL Server", 0), 0u);
    EXPECT_EQ(globals[0][1], "38");
    EXPECT_EQ(globals[0][2]->size(), 23u);
}

TEST_F(StatementTest, IdentityDefaultAndPrimaryKey)
{
    EXPECT_EQ(fails("CREATE TABLE t (id int IDENTITY PRIMARY KEY, code varchar(5), "
                    "CONSTRAINT PK_t PRIMARY KEY (code))")
                  .number,
              8110);
    ok("CREATE TABLE u (id int IDENTITY, code varchar(5) NOT NULL, note varchar(9) DEFAULT "
       "('none'), "
       "CONSTRAINT PK_u PRIMARY KEY (code))");
    ok("INSERT INTO u VALUES ('a', 'x') INSERT INTO u (code) VALUES ('b')");
    EXPECT_EQ(query("SELECT SCOPE_IDENTITY()"), (Rows{{"2"}}));
    EXPECT_EQ(query("SELECT * FROM u"), (Rows{{"1", "a", "x"}, {"2", "b", "none"}}));
    EXPECT_EQ(fails("INSERT INTO u VALUES ('a', 'y')").text,
              "Violation of PRIMARY KEY constraint 'PK_u'. Cannot insert duplicate key in object "
              "'dbo.u'. "
              "The duplicate key value is (a).");
    EXPECT_EQ(fails("INSERT INTO u (note) VALUES ('y')").text,
              "Cannot insert the value NULL into column 'code', table 'Sales.dbo.u'; column does "
              "not allow "
              "nulls. INSERT fails.");
    EXPECT_EQ(fails("INSERT INTO u (id, code) VALUES (7, 'c')").number, 544);
    EXPECT_EQ(
        fails("INSERT INTO u VALUES ('abcdef', 'y')").text,
        "String or binary data would be truncated in table 'Sales.dbo.u', column 'code'. Truncated "
        "value: 'abcde'.");
}

TEST_F(StatementTest, CreateInsertSelectWithWhereAndOrder)
{
    ok("CREATE TABLE [Order Lines] (Id int NOT NULL, Name nvarchar(20), Price decimal(9,2), At "
       "datetime)");
    const auto replies =
        run("INSERT INTO [Order Lines] VALUES (2, N'b', 1.5, '2024-01-31'), "
            "(1, 'a', '12.345', '1/20/1996'), (3, NULL, -2, '19960704')");
    EXPECT_EQ(replies.back().rowCount, 3u);
    EXPECT_EQ(query("select * from [order lines] order by id"),
              (Rows{{"1", "a", "12.35", "1996-01-20 00:00:00.000"},
                    {"2", "b", "1.50", "2024-01-31 00:00:00.000"},
                    {"3", std::nullopt, "-2.00", "1996-07-04 00:00:00.000"}}));
    EXPECT_EQ(query("SELECT Name, Id FROM [Order Lines] WHERE Name = 'B'"), (Rows{{"b", "2"}}));
    EXPECT_EQ(query("SELECT Id FROM [Order Lines] ORDER BY Price DESC"), (Rows{{"1"}, {"2"}, {"3"}}));
    EXPECT_EQ(query("SELECT Id FROM [Order Lines] WHERE Price = 1.5"), (Rows{{"2"}}));
    const auto set = run("SELECT Id AS Number, Price FROM [Order Lines] WHERE Id = 1");
    const ResultSet& r = *resultOf(set[0]);
    EXPECT_EQ(r.columns[0].name, "Number");
    EXPECT_FALSE(r.columns[0].nullable);
    EXPECT_EQ(r.columns[1].type.type, SqlType::Decimal);
    EXPECT_EQ(r.columns[1].type.precision, 9);
    EXPECT_EQ(r.columns[1].type.scale, 2);
}

TEST_F(StatementTest, ObjectAndColumnErrors)
{
    ok("CREATE TABLE t (a int, b varchar(5))");
    struct Case {
        const char* batch;
        int number;
        const char* text;
    };
    const Case cases[] = {
        {"CREATE TABLE T (x int)", 2714, "There is already an object named 'T' in the database."},
        {"INSERT INTO t VALUES (1)", 213,
         "Column name or number of supplied values does not match table definition."},
        {"SELECT c FROM t", 207, "Invalid column name 'c'."},
        {"SELECT a FROM t WHERE zz = 1", 207, "Invalid column name 'zz'."},
        {"SELECT * FROM nope", 208, "Invalid object name 'nope'."},
        {"INSERT INTO t (a, nope) VALUES (1, 2)", 207, "Invalid column name 'nope'."},
        {"CREATE TABLE d (a int, A int)", 2705,
         "Column names in each table must be unique. Column name 'A' in table 'd' is specified more than once."},
        {"DROP TABLE nope", 3701,
         "Cannot drop the table 'nope', because it does not exist or you do not have permission."},
        {"INSERT INTO t VALUES ('x', 'y')", 245,
         "Conversion failed when converting the varchar value 'x' to data type int."},
    };
    for (const Case& c : cases) {
        const Message m = fails(c.batch);
        EXPECT_EQ(m.number, c.number) << c.batch;
        EXPECT_EQ(m.text, c.text) << c.batch;
        EXPECT_EQ(m.severity, c.number == 3701 ? 11 : 16) << c.batch;
    }
}

TEST_F(StatementTest, FailedInsertWritesNoRowOfThatStatement)
{
    ok("CREATE TABLE t (a int NOT NULL)");
    const auto replies = run("INSERT INTO t VALUES (1), ('bad')");
    EXPECT_TRUE(replies[0].error);
    EXPECT_TRUE(query("SELECT * FROM t").empty());
    const auto nulls = run("INSERT INTO t VALUES (NULL)");
    const auto m = messagesOf(nulls);
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].number, 515);
    EXPECT_EQ(m[1].number, 3621);
}

TEST_F(StatementTest, ViewsShowAndTakeRowsOfTheirTable)
{
    ok("CREATE TABLE base (a int, b varchar(10), c int)");
    ok("CREATE VIEW v AS SELECT c, a FROM base");
    ok("INSERT INTO v VALUES (3, 1)");
    EXPECT_EQ(query("SELECT * FROM base"), (Rows{{"1", std::nullopt, "3"}}));
    EXPECT_EQ(query("SELECT * FROM v"), (Rows{{"3", "1"}}));
    EXPECT_EQ(fails("INSERT INTO v VALUES (1, 2, 3)").number, 213);
    EXPECT_EQ(fails("CREATE VIEW w AS SELECT nope FROM base").number, 207);
    EXPECT_EQ(fails("SELECT 1 CREATE VIEW w AS SELECT a FROM base").number, 111);
    ok("DROP VIEW v");
    EXPECT_EQ(fails("SELECT * FROM v").number, 208);
    EXPECT_EQ(fails("DROP VIEW base").number, 3705);
    ok("DROP TABLE base");
}

TEST_F(StatementTest, SessionOptionsAreAcceptedAndNoCountDropsCounts)
{
    ok("SET TEXTSIZE 2147483647 SET ANSI_NULLS ON SET QUOTED_IDENTIFIER OFF\n"
       "SET ANSI_WARNINGS, ANSI_PADDING ON SET DATEFORMAT mdy SET TRANSACTION ISOLATION LEVEL READ COMMITTED");
    const auto language = messagesOf(run("SET LANGUAGE us_english"));
    ASSERT_EQ(language.size(), 1u);
    EXPECT_EQ(language[0].number, 5703);
    ok("CREATE TABLE t (a int)");
    EXPECT_EQ(run("INSERT INTO t VALUES (1)")[0].rowCount, 1u);
    EXPECT_EQ(run("SET NOCOUNT ON INSERT INTO t VALUES (1)")[1].rowCount, std::nullopt);
}

TEST_F(StatementTest, ConstantSelects)
{
    const auto replies = run("SELECT 1 SELECT 'a' + 'b' AS ab, N'ğ' x, 2 + 3, NULL");
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(resultOf(replies[0])->rows, (Rows{{"1"}}));
    EXPECT_EQ(resultOf(replies[0])->columns[0].type.type, SqlType::Int);
    const ResultSet& r = *resultOf(replies[1]);
    EXPECT_EQ(r.rows, (Rows{{"ab", "ğ", "5", std::nullopt}}));
    EXPECT_EQ(r.columns[0].name, "ab");
    EXPECT_EQ(r.columns[1].type.type, SqlType::NVarChar);
    EXPECT_EQ(replies[1].rowCount, 1u);
    EXPECT_EQ(fails("SELECT *").number, 263);
}

TEST_F(StatementTest, VariablesAreCheckedBeforeTheBatchRuns)
{
    ok("CREATE TABLE t (a int)");
    Message m = fails("INSERT INTO t VALUES (1)\nSET @x = 1");
    EXPECT_EQ(m.number, 137);
    EXPECT_EQ(m.text, "Must declare the scalar variable \"@x\".");
    EXPECT_EQ(m.line, 2);
    m = fails("DECLARE @x int DECLARE @X int");
    EXPECT_EQ(m.number, 134);
    EXPECT_TRUE(query("SELECT * FROM t").empty());
    EXPECT_EQ(query("DECLARE @x varchar(3) = 'abcdef' DECLARE @n int SET @n = '7' + 1 SELECT @x, @n"),
              (Rows{{"abc", "8"}}));
}

TEST_F(StatementTest, OddInputGivesServerErrorsNotInternalOnes)
{
    struct Case {
        const char* batch;
        int number;
    };
    const Case cases[] = {
        {"EXEC sp_xml_removedocument 'abc'", 245},
        {"EXEC sp_xml_removedocument", 201},
        {"SELECT * FROM OPENXML (99999999999999999999, 'a') WITH (x int)", 102},
        {"SELECT 2147483647 + 1", 8115},
        {"DECLARE @h varchar(5) = 'x' SELECT * FROM OPENXML (@h, 'a') WITH (x int)", 245},
        {"SELECT * FROM OPENXML (1, 'a') WITH (x int)", 8179},
        {"CREATE TABLE t (a varchar(10)) INSERT INTO t VALUES (1.5) SELECT * FROM t WHERE a = 'x' + 1", 245},
        {"[", 105},
        {"SELECT 'a' + ", 102},
    };
    for (const Case& c : cases) {
        const Message m = fails(c.batch);
        EXPECT_EQ(m.number, c.number) << c.batch << ": " << m.text;
    }
}

TEST_F(StatementTest, EmptyBatchGivesOneReply)
{
    const auto replies = run("  -- nothing here\n/* nor /* here */ */ ");
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_FALSE(replies[0].error);
    EXPECT_TRUE(replies[0].events.empty());
}

}  // namespace
}  // namespace standin::test
