// The real executable, real engine included, answers the way the driver expects. Only
// statements every SQL Server answers alike, so that engine details stay out of these tests.
#include "OdbcClient.h"
#include "StandinProcess.h"

#include <gtest/gtest.h>

#include <string>

namespace standin::testing {
namespace {

TEST(EngineSmoke, LogsInSelectsAndChangesDatabase)
{
    StandinProcess server(SQLSERVER_STANDIN, {"--login", "sa:Secret-1", "--database", "Sales"});
    EXPECT_EQ(query(server.port(), "SELECT 1"), std::vector<Row>{{"1"}});

    OdbcConnection connection;
    ASSERT_TRUE(SQL_SUCCEEDED(connection.connect(connectionString(server.port()))));
    OdbcStatement statement(connection);
    ASSERT_EQ(statement.execute("USE Sales"), SQL_SUCCESS_WITH_INFO);
    ASSERT_FALSE(statement.diagnostics().empty());
    EXPECT_EQ(statement.diagnostics()[0].native, 5701);
    EXPECT_EQ(connection.currentCatalog(), "Sales");

    OdbcConnection refused;
    EXPECT_EQ(refused.connect(connectionString(server.port(), "sa", "wrong")), SQL_ERROR);
}

TEST(EngineSmoke, TypedValuesTravelThroughATable)
{
    StandinProcess server(SQLSERVER_STANDIN, {"--login", "sa:Secret-1"});
    OdbcConnection connection;
    ASSERT_TRUE(SQL_SUCCEEDED(connection.connect(connectionString(server.port()))));
    OdbcStatement statement(connection);
    const char* create =
        "CREATE TABLE t (i int, b bit, d decimal(10,2), m money, dt datetime, v varchar(20), "
        "n nvarchar(20), g uniqueidentifier, f float, x ntext)";
    ASSERT_NE(statement.execute(create), SQL_ERROR);  // SQL_NO_DATA: no rows, no count
    SQLRETURN rc = statement.execute(
        "INSERT INTO t VALUES (42, 1, 12.5, 3.25, '2024-02-29 13:45:10.003', 'h\u00e9llo', N'\u65e5\u672c', "
        "'6F9619FF-8B86-D011-B42D-00C04FC964FF', 1.5, N'long'), "
        "(NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL)");
    ASSERT_TRUE(SQL_SUCCEEDED(rc));
    ASSERT_TRUE(SQL_SUCCEEDED(statement.execute("SELECT * FROM t")));
    std::vector<Row> rows = statement.fetchAll();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], (Row{"42", "1", "12.50", "3.2500", "2024-02-29 13:45:10.003", "h\u00e9llo", "\u65e5\u672c",
                            "6F9619FF-8B86-D011-B42D-00C04FC964FF", "1.5", "long"}));
    EXPECT_EQ(rows[1], Row(10, std::nullopt));
}

TEST(EngineSmoke, ErrorsReachTheDriver)
{
    StandinProcess server(SQLSERVER_STANDIN, {"--login", "sa:Secret-1"});
    OdbcConnection connection;
    ASSERT_TRUE(SQL_SUCCEEDED(connection.connect(connectionString(server.port()))));
    OdbcStatement statement(connection);
    ASSERT_EQ(statement.execute("SELECT * FROM nowhere"), SQL_ERROR);
    ASSERT_FALSE(statement.diagnostics().empty());
    EXPECT_EQ(statement.diagnostics()[0].native, 208);
    EXPECT_EQ(statement.diagnostics()[0].state, "42S02");
}

TEST(EngineSmoke, BoundParametersTravelAsRemoteCalls)
{
    StandinProcess server(SQLSERVER_STANDIN, {"--login", "sa:Secret-1"});
    OdbcConnection connection;
    ASSERT_TRUE(SQL_SUCCEEDED(connection.connect(connectionString(server.port()))));
    OdbcStatement statement(connection);
    ASSERT_NE(statement.execute("CREATE TABLE p (i int, s nvarchar(10), d decimal(9,2))"),
              SQL_ERROR);
    std::u16string text = u"INSERT INTO p VALUES (?, ?, ?)";
    ASSERT_TRUE(SQL_SUCCEEDED(
        SQLPrepareW(statement.handle(), reinterpret_cast<SQLWCHAR*>(text.data()), SQL_NTS)));
    SQLINTEGER number = -7;
    std::u16string word = u"\u011fa";
    SQLDOUBLE amount = 12.25;
    SQLLEN wordLength = SQL_NTS, numberLength = 0, amountLength = 0;
    SQLBindParameter(statement.handle(), 1, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0,
                     &number, 0, &numberLength);
    SQLBindParameter(statement.handle(), 2, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR, 10, 0,
                     word.data(), 0, &wordLength);
    SQLBindParameter(statement.handle(), 3, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DECIMAL, 9, 2,
                     &amount, 0, &amountLength);
    const auto why = [&] {
        return statement.diagnostics().empty() ? "" : statement.diagnostics()[0].text;
    };
    ASSERT_TRUE(SQL_SUCCEEDED(SQLExecute(statement.handle()))) << why();
    number = 8;
    ASSERT_TRUE(SQL_SUCCEEDED(SQLExecute(statement.handle()))) << why();
    SQLFreeStmt(statement.handle(), SQL_RESET_PARAMS);
    EXPECT_EQ(query(server.port(), "SELECT * FROM p"),
              (std::vector<Row>{{"-7", "\u011fa", "12.25"}, {"8", "\u011fa", "12.25"}}));
}

TEST(EngineSmoke, ProcedureRepliesInsideABatchLeadToTheRows)
{
    StandinProcess server(SQLSERVER_STANDIN, {"--login", "sa:Secret-1"});
    OdbcConnection connection;
    ASSERT_TRUE(SQL_SUCCEEDED(connection.connect(connectionString(server.port()))));
    OdbcStatement statement(connection);
    SQLRETURN rc = statement.execute(
        "DECLARE @h int\n"
        "EXEC sp_xml_preparedocument @h OUTPUT, N'<r><a x=\"1\"/><a x=\"2\"/></r>'\n"
        "SELECT x FROM OPENXML(@h, '/r/a', 1) WITH (x int)\n"
        "EXEC sp_xml_removedocument @h");
    ASSERT_TRUE(SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA);
    std::vector<Row> rows;
    do {
        SQLSMALLINT columns = 0;
        SQLNumResultCols(statement.handle(), &columns);
        if (columns > 0)
            rows = statement.fetchAll();
        rc = statement.moreResults();
    } while (SQL_SUCCEEDED(rc));
    EXPECT_EQ(rc, SQL_NO_DATA);
    EXPECT_EQ(rows, (std::vector<Row>{{"1"}, {"2"}}));
}

TEST(EngineSmoke, VarcharReachesTheDriverInItsDatabasesCodePage)
{
    StandinProcess server(SQLSERVER_STANDIN, {"--login", "sa:Secret-1", "--database", "Satis:Turkish_CI_AS",
                                              "--database", "Daten:Latin1_General_100_CI_AS_SC_UTF8"});
    for (const char* database : {"Satis", "Daten"}) {
        OdbcConnection connection;
        ASSERT_TRUE(SQL_SUCCEEDED(connection.connect(
            connectionString(server.port(), "sa", "Secret-1", std::string("TDS_Version=7.4;DATABASE=") + database))));
        OdbcStatement statement(connection);
        ASSERT_TRUE(SQL_SUCCEEDED(statement.execute("SELECT 'şehir ığ' AS v")));
        EXPECT_EQ(statement.fetchAll(), (std::vector<Row>{{"şehir ığ"}})) << database;
    }
}

}  // namespace
}  // namespace standin::testing
