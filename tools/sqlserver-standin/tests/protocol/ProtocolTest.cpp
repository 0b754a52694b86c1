// The stand-in's TDS side seen through unixODBC and the FreeTDS driver, against the fake engine.
#include "OdbcClient.h"
#include "StandinProcess.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace standin::testing {
namespace {

using namespace std::chrono_literals;

const std::vector<std::string> standardLogins{"--login", "sa:Secret-1", "--login", "Reader:p;w=1 {x",
                                              "--database", "Sales"};

std::string firstDiagnostic(const std::vector<Diagnostic>& d)
{
    return d.empty() ? "(no diagnostic)" : d[0].state + " " + std::to_string(d[0].native) + " " + d[0].text;
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string temporaryPath(const std::string& name)
{
    return ::testing::TempDir() + "standin-" + std::to_string(::getpid()) + "-" + name;
}

class Standin : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server_ = new StandinProcess(STANDIN_FAKE_SERVER, standardLogins); }
    static void TearDownTestSuite()
    {
        delete server_;
        server_ = nullptr;
    }
    static uint16_t port() { return server_->port(); }

    static inline StandinProcess* server_ = nullptr;
};

// --- Logins ---------------------------------------------------------------------------

class LoginVersion : public Standin, public ::testing::WithParamInterface<const char*> {};

TEST_P(LoginVersion, LogsInSelectsCountsAndReportsErrors)
{
    OdbcConnection connection;
    SQLRETURN rc = connection.connect(connectionString(port(), "sa", "Secret-1", std::string("TDS_Version=") + GetParam()));
    ASSERT_TRUE(SQL_SUCCEEDED(rc)) << firstDiagnostic(connection.diagnostics());
    EXPECT_EQ(connection.currentCatalog(), "master");

    OdbcStatement statement(connection);
    ASSERT_TRUE(SQL_SUCCEEDED(statement.execute("select 1")));
    EXPECT_EQ(statement.fetchAll(), std::vector<Row>{{"1"}});

    ASSERT_TRUE(SQL_SUCCEEDED(statement.execute("value ntext héllo")));
    EXPECT_EQ(statement.fetchAll(), std::vector<Row>{{"héllo"}});

    ASSERT_TRUE(SQL_SUCCEEDED(statement.execute("count 7")));
    SQLLEN count = 0;
    SQLRowCount(statement.handle(), &count);
    EXPECT_EQ(count, 7);

    ASSERT_EQ(statement.execute("error 208 Invalid object name 'nowhere'."), SQL_ERROR);
    std::vector<Diagnostic> d = statement.diagnostics();
    ASSERT_FALSE(d.empty());
    EXPECT_EQ(d[0].native, 208);
    EXPECT_EQ(d[0].text, "[FreeTDS][SQL Server]Invalid object name 'nowhere'.");
}

INSTANTIATE_TEST_SUITE_P(TdsVersions, LoginVersion, ::testing::Values("7.1", "7.2", "7.3", "7.4"));

struct RefusedLogin {
    const char* name;
    const char* user;
    const char* password;
    const char* extra;
    int native;
    const char* text;
};

void PrintTo(const RefusedLogin& c, std::ostream* os) { *os << c.name; }

class LoginRefused : public Standin, public ::testing::WithParamInterface<RefusedLogin> {};

TEST_P(LoginRefused, FailsWithTheServersMessage)
{
    const RefusedLogin& c = GetParam();
    OdbcConnection connection;
    ASSERT_EQ(connection.connect(connectionString(port(), c.user, c.password, c.extra)), SQL_ERROR);
    std::vector<Diagnostic> d = connection.diagnostics();
    bool found = false;
    for (const Diagnostic& one : d)
        found = found || (one.native == c.native && one.text == std::string("[FreeTDS][SQL Server]") + c.text);
    EXPECT_TRUE(found) << firstDiagnostic(d);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoginRefused,
    ::testing::Values(
        RefusedLogin{"WrongPassword", "sa", "secret-1", "TDS_Version=7.4", 18456, "Login failed for user 'sa'."},
        RefusedLogin{"UnknownUser", "nobody", "Secret-1", "TDS_Version=7.4", 18456,
                     "Login failed for user 'nobody'."},
        RefusedLogin{"WrongPasswordOldProtocol", "sa", "x", "TDS_Version=7.1", 18456,
                     "Login failed for user 'sa'."},
        RefusedLogin{"MissingDatabase", "sa", "Secret-1", "TDS_Version=7.4;Database=Nowhere", 911,
                     "Database 'Nowhere' does not exist. Make sure that the name is entered correctly."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Standin, IntegratedSecurityIsRefused)
{
    OdbcConnection connection;
    EXPECT_EQ(connection.connect(connectionString(port(), "", "", "TDS_Version=7.4;Trusted_Connection=Yes")),
              SQL_ERROR);
}

TEST_F(Standin, UserNamesIgnoreCaseAndPasswordsKeepEveryCharacter)
{
    OdbcConnection connection;
    ASSERT_TRUE(SQL_SUCCEEDED(connection.connect(connectionString(port(), "READER", "p;w=1 {x"))))
        << firstDiagnostic(connection.diagnostics());
}

TEST_F(Standin, LoginDatabaseIsHonouredUnderItsStoredName)
{
    OdbcConnection connection;
    ASSERT_TRUE(SQL_SUCCEEDED(connection.connect(connectionString(port(), "sa", "Secret-1", "TDS_Version=7.4;Database=sales"))))
        << firstDiagnostic(connection.diagnostics());
    EXPECT_EQ(connection.currentCatalog(), "Sales");
}

// --- Result sets --------------------------------------------------------------------------

struct TypedValue {
    const char* name;
    const char* type;
    std::string sent;
    std::string read;  // as the driver renders it as text
};

void PrintTo(const TypedValue& c, std::ostream* os) { *os << c.name; }

class ResultTypes : public Standin, public ::testing::WithParamInterface<TypedValue> {};

TEST_P(ResultTypes, ValueReadsBackAsText)
{
    const TypedValue& c = GetParam();
    std::vector<Row> rows = query(port(), std::string("value ") + c.type + " " + c.sent);
    ASSERT_EQ(rows.size(), 1u);
    ASSERT_EQ(rows[0].size(), 1u);
    ASSERT_TRUE(rows[0][0].has_value());
    EXPECT_EQ(*rows[0][0], c.read);
}

TEST_P(ResultTypes, NullReadsBackAsNull)
{
    std::vector<Row> rows = query(port(), std::string("value ") + GetParam().type + " NULL");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], Row{std::nullopt});
}

const std::string longText(9000, 'x');
const std::string longUnicode = [] {
    std::string s;
    for (int k = 0; k < 5000; ++k)
        s += "é";
    return s;
}();

INSTANTIATE_TEST_SUITE_P(
    EachType, ResultTypes,
    ::testing::Values(TypedValue{"TinyInt", "tinyint", "255", "255"},
                      TypedValue{"SmallInt", "smallint", "-32768", "-32768"},
                      TypedValue{"Int", "int", "-2147483648", "-2147483648"},
                      TypedValue{"BigInt", "bigint", "-9223372036854775808", "-9223372036854775808"},
                      TypedValue{"Bit", "bit", "1", "1"},
                      TypedValue{"Real", "real", "1.5", "1.5"},
                      TypedValue{"Float", "float", "-2.25", "-2.25"},
                      TypedValue{"Decimal", "decimal(10,2)", "12.50", "12.50"},
                      TypedValue{"DecimalWide", "decimal(38,10)", "-1234567890123456789012345678.0123456789",
                                 "-1234567890123456789012345678.0123456789"},
                      TypedValue{"Numeric", "numeric(5,0)", "99999", "99999"},
                      TypedValue{"Money", "money", "922337203685477.5807", "922337203685477.5807"},
                      TypedValue{"MoneyNegative", "money", "-12.3400", "-12.3400"},
                      TypedValue{"SmallMoney", "smallmoney", "-214748.3648", "-214748.3648"},
                      TypedValue{"DateTime", "datetime", "2024-02-29 13:45:10.003", "2024-02-29 13:45:10.003"},
                      TypedValue{"DateTimeEarliest", "datetime", "1753-01-01 00:00:00.000", "1753-01-01 00:00:00.000"},
                      TypedValue{"DateTimeLatest", "datetime", "9999-12-31 23:59:59.997", "9999-12-31 23:59:59.997"},
                      TypedValue{"SmallDateTime", "smalldatetime", "2079-06-06 23:59:00.000", "2079-06-06 23:59:00"},
                      TypedValue{"Char", "char(5)", "abcde", "abcde"},
                      TypedValue{"VarCharCp1252", "varchar(20)", "héllo €", "héllo €"},
                      TypedValue{"VarCharOutside1252", "varchar(10)", "Ωmega", "?mega"},
                      TypedValue{"NChar", "nchar(3)", "日本語", "日本語"},
                      TypedValue{"NVarChar", "nvarchar(50)", "héllo 😀", "héllo 😀"},
                      TypedValue{"Text", "text", longText, longText},
                      TypedValue{"NText", "ntext", longUnicode, longUnicode},
                      TypedValue{"NVarCharMax", "nvarchar(5000)", longUnicode, longUnicode},
                      TypedValue{"UniqueIdentifier", "uniqueidentifier", "6F9619FF-8B86-D011-B42D-00C04FC964FF",
                                 "6F9619FF-8B86-D011-B42D-00C04FC964FF"},
                      TypedValue{"SqlVariant", "sql_variant", "abc", "abc"},
                      TypedValue{"Timestamp", "timestamp", "00000000000007D1", "00000000000007d1"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Standin, LongReplySpansManyPackets)
{
    std::vector<Row> rows = query(port(), "rows 20000");
    ASSERT_EQ(rows.size(), 20000u);
    EXPECT_EQ(rows.back(), (Row{"20000", "row 20000 of a long reply"}));
}

TEST_F(Standin, LongBatchArrivesWhole)
{
    std::string batch = "length\n-- " + std::string(6000, 'x') + "é";
    std::vector<Row> rows = query(port(), batch);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], Row{std::to_string(batch.size())});
}

// --- Messages -------------------------------------------------------------------------------

TEST_F(Standin, ErrorInALaterStatementReachesMoreResults)
{
    OdbcConnection connection;
    ASSERT_TRUE(SQL_SUCCEEDED(connection.connect(connectionString(port()))));
    OdbcStatement statement(connection);
    ASSERT_EQ(statement.execute("select 1\nerror 8152 String or binary data would be truncated."), SQL_SUCCESS);
    EXPECT_EQ(statement.fetchAll(), std::vector<Row>{{"1"}});
    ASSERT_EQ(statement.moreResults(), SQL_ERROR);
    std::vector<Diagnostic> d = statement.diagnostics();
    ASSERT_FALSE(d.empty());
    EXPECT_EQ(d[0].native, 8152);
    EXPECT_EQ(d[0].state, "22001");
    EXPECT_EQ(d[0].text, "[FreeTDS][SQL Server]String or binary data would be truncated.");
}

TEST_F(Standin, ChangedDatabaseIsInformationAndMovesTheCatalog)
{
    OdbcConnection connection;
    ASSERT_TRUE(SQL_SUCCEEDED(connection.connect(connectionString(port()))));
    OdbcStatement statement(connection);
    ASSERT_EQ(statement.execute("use sales"), SQL_SUCCESS_WITH_INFO);
    std::vector<Diagnostic> d = statement.diagnostics();
    ASSERT_FALSE(d.empty());
    EXPECT_EQ(d[0].native, 5701);
    EXPECT_EQ(d[0].state, "01000");
    EXPECT_EQ(d[0].text, "[FreeTDS][SQL Server]Changed database context to 'Sales'.");
    EXPECT_EQ(connection.currentCatalog(), "Sales");
}

TEST_F(Standin, ProcedureReplyWithReturnStatusSucceeds)
{
    OdbcConnection connection;
    ASSERT_TRUE(SQL_SUCCEEDED(connection.connect(connectionString(port()))));
    OdbcStatement statement(connection);
    // Neither rows nor a count: ODBC's "no data", not a failure.
    EXPECT_EQ(statement.execute("proc 3"), SQL_NO_DATA) << firstDiagnostic(statement.diagnostics());
    EXPECT_TRUE(SQL_SUCCEEDED(statement.execute("select 1")));
    EXPECT_EQ(statement.fetchAll(), std::vector<Row>{{"1"}});
}

// --- Requests the stand-in does not serve -----------------------------------------------------

TEST_F(Standin, RemoteProcedureCallsAreRefusedAndTheConnectionLivesOn)
{
    OdbcConnection connection;
    ASSERT_TRUE(SQL_SUCCEEDED(connection.connect(connectionString(port()))));
    OdbcStatement statement(connection);

    ASSERT_EQ(SQLTablesW(statement.handle(), nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0), SQL_ERROR);
    std::vector<Diagnostic> d = statement.diagnostics();
    ASSERT_FALSE(d.empty());
    EXPECT_EQ(d[0].native, 2812);
    EXPECT_EQ(d[0].text, "[FreeTDS][SQL Server]Could not find stored procedure 'sp_tables'.");
    SQLFreeStmt(statement.handle(), SQL_CLOSE);

    SQLWCHAR text[] = {'v', 'a', 'l', 'u', 'e', ' ', 'i', 'n', 't', ' ', '?', 0};
    SQLINTEGER parameter = 5;
    SQLLEN length = 0;
    ASSERT_TRUE(SQL_SUCCEEDED(SQLPrepareW(statement.handle(), text, SQL_NTS)));
    SQLBindParameter(statement.handle(), 1, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &parameter, 0, &length);
    ASSERT_EQ(SQLExecute(statement.handle()), SQL_ERROR);
    d = statement.diagnostics();
    ASSERT_FALSE(d.empty());
    EXPECT_EQ(d[0].native, 2812);
    SQLFreeStmt(statement.handle(), SQL_CLOSE);
    SQLFreeStmt(statement.handle(), SQL_RESET_PARAMS);

    ASSERT_TRUE(SQL_SUCCEEDED(statement.execute("select 1"))) << firstDiagnostic(statement.diagnostics());
    EXPECT_EQ(statement.fetchAll(), std::vector<Row>{{"1"}});
}

// --- Sessions, attention, disconnects ---------------------------------------------------------

TEST_F(Standin, SlowSessionBlocksNoOther)
{
    OdbcConnection slow, quick;
    ASSERT_TRUE(SQL_SUCCEEDED(slow.connect(connectionString(port()))));
    ASSERT_TRUE(SQL_SUCCEEDED(quick.connect(connectionString(port()))));
    std::thread sleeper([&] {
        OdbcStatement statement(slow);
        EXPECT_TRUE(SQL_SUCCEEDED(statement.execute("sleep 2000")));
        EXPECT_EQ(statement.fetchAll(), std::vector<Row>{{"1"}});
    });
    std::this_thread::sleep_for(200ms);
    auto start = std::chrono::steady_clock::now();
    OdbcStatement statement(quick);
    EXPECT_TRUE(SQL_SUCCEEDED(statement.execute("select 1")));
    EXPECT_EQ(statement.fetchAll(), std::vector<Row>{{"1"}});
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);
    sleeper.join();
}

TEST_F(Standin, CancelDuringALongReplyIsAcknowledged)
{
    OdbcConnection connection;
    ASSERT_TRUE(SQL_SUCCEEDED(connection.connect(connectionString(port()))));
    OdbcStatement statement(connection);
    ASSERT_TRUE(SQL_SUCCEEDED(statement.execute("rows 300000")));
    ASSERT_TRUE(SQL_SUCCEEDED(SQLFetch(statement.handle())));
    EXPECT_TRUE(SQL_SUCCEEDED(SQLCancel(statement.handle()))) << firstDiagnostic(statement.diagnostics());
    SQLFreeStmt(statement.handle(), SQL_CLOSE);
    ASSERT_TRUE(SQL_SUCCEEDED(statement.execute("select 1"))) << firstDiagnostic(statement.diagnostics());
    EXPECT_EQ(statement.fetchAll(), std::vector<Row>{{"1"}});
}

TEST_F(Standin, ClientVanishingMidReplyLeavesTheServerServing)
{
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        OdbcConnection connection;
        if (!SQL_SUCCEEDED(connection.connect(connectionString(port()))))
            ::_exit(1);
        OdbcStatement statement(connection);
        if (!SQL_SUCCEEDED(statement.execute("rows 300000")) || !SQL_SUCCEEDED(SQLFetch(statement.handle())))
            ::_exit(2);
        ::_exit(0);  // the socket closes with most of the reply unread
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(server_->running());
    EXPECT_EQ(query(port(), "select 1"), std::vector<Row>{{"1"}});
}

TEST(StandinOptions, QueryTimeoutSendsAttentionThatIsAcknowledged)
{
    StandinProcess server(STANDIN_FAKE_SERVER, {"--login", "sa:Secret-1", "--delay", "2000"});
    OdbcConnection connection;
    ASSERT_TRUE(SQL_SUCCEEDED(connection.connect(connectionString(server.port()))));
    OdbcStatement statement(connection);
    SQLSetStmtAttr(statement.handle(), SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(1), 0);
    ASSERT_EQ(statement.execute("select 1"), SQL_ERROR);
    std::vector<Diagnostic> d = statement.diagnostics();
    ASSERT_FALSE(d.empty());
    EXPECT_EQ(d[0].state, "HYT00");

    SQLSetStmtAttr(statement.handle(), SQL_ATTR_QUERY_TIMEOUT, reinterpret_cast<SQLPOINTER>(0), 0);
    ASSERT_TRUE(SQL_SUCCEEDED(statement.execute("select 1"))) << firstDiagnostic(statement.diagnostics());
    EXPECT_EQ(statement.fetchAll(), std::vector<Row>{{"1"}});
}

// --- Command-line faults and the batch log ----------------------------------------------------

TEST(StandinOptions, LogHoldsEveryBatchByteForByte)
{
    std::string path = temporaryPath("batches.log");
    std::vector<std::string> batches{"select 1", "-- é 😀 ☃\r\nselect 1\r\n",
                                     "length\n-- " + std::string(5000, 'y')};
    {
        StandinProcess server(STANDIN_FAKE_SERVER, {"--login", "sa:Secret-1", "--log", path});
        OdbcConnection connection;
        ASSERT_TRUE(SQL_SUCCEEDED(connection.connect(connectionString(server.port()))));
        OdbcStatement statement(connection);
        for (const std::string& batch : batches) {
            ASSERT_TRUE(SQL_SUCCEEDED(statement.execute(batch)));
            statement.fetchAll();
        }
    }
    std::string expected;
    for (const std::string& batch : batches)
        expected += batch + "\n----- end of batch -----\n";
    EXPECT_EQ(readFile(path), expected);
    std::remove(path.c_str());
}

TEST(StandinOptions, CloseOnTextDropsOnlyThatConnection)
{
    StandinProcess server(STANDIN_FAKE_SERVER, {"--login", "sa:Secret-1", "--close-on", "boom"});
    OdbcConnection connection;
    ASSERT_TRUE(SQL_SUCCEEDED(connection.connect(connectionString(server.port()))));
    OdbcStatement statement(connection);
    ASSERT_EQ(statement.execute("select 1 -- boom"), SQL_ERROR);
    std::vector<Diagnostic> d = statement.diagnostics();
    ASSERT_FALSE(d.empty());
    EXPECT_EQ(d[0].native, 20017);  // the driver's "Unexpected EOF from the server"
    EXPECT_EQ(query(server.port(), "select 1"), std::vector<Row>{{"1"}});
}

TEST(StandinOptions, CloseOnBatchCountsPerSession)
{
    StandinProcess server(STANDIN_FAKE_SERVER, {"--login", "sa:Secret-1", "--close-on-batch", "2"});
    for (int session = 0; session < 2; ++session) {
        OdbcConnection connection;
        ASSERT_TRUE(SQL_SUCCEEDED(connection.connect(connectionString(server.port()))));
        OdbcStatement statement(connection);
        ASSERT_TRUE(SQL_SUCCEEDED(statement.execute("select 1")));
        statement.fetchAll();
        EXPECT_EQ(statement.execute("select 1"), SQL_ERROR);
    }
}

TEST(StandinOptions, LoginsFileAddsUsers)
{
    std::string path = temporaryPath("logins.txt");
    std::ofstream(path) << "alice:Wonder:land\r\n\nbob:builder\n";
    StandinProcess server(STANDIN_FAKE_SERVER, {"--logins", path});
    OdbcConnection alice, bob, sa;
    EXPECT_TRUE(SQL_SUCCEEDED(alice.connect(connectionString(server.port(), "alice", "Wonder:land"))));
    EXPECT_TRUE(SQL_SUCCEEDED(bob.connect(connectionString(server.port(), "bob", "builder"))));
    EXPECT_EQ(sa.connect(connectionString(server.port())), SQL_ERROR);
    std::remove(path.c_str());
}

TEST(StandinOptions, BadCommandLineIsRefused)
{
    EXPECT_THROW(StandinProcess(STANDIN_FAKE_SERVER, {"--delay", "soon"}), std::runtime_error);
    EXPECT_THROW(StandinProcess(STANDIN_FAKE_SERVER, {"--login", "no-colon"}), std::runtime_error);
}

}  // namespace
}  // namespace standin::testing
