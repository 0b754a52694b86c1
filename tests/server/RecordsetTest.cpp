// The layer's batches and values, through the real driver.
#include <gtest/gtest.h>

#include "Catalogue.h"
#include "TestServer.h"
#include "platform/Ado.h"

namespace {

class RecordsetOnServer : public testing::Test {
protected:
    RecordsetOnServer() {
        connection.Open(ConnectionString(server.ServerText(), server.User()), server.User(),
                        server.Password());
        recordset.Open(UseStatement(server.Name(QStringLiteral("Work"))), connection);
        recordset.Close();
    }

    QString Fails(const QString& sql) {
        try {
            recordset.Open(sql, connection);
        } catch (const platform::AdoError& error) {
            return QString::fromUtf8(error.what());
        }
        return QStringLiteral("<succeeded>");
    }

    TestServer server{{.databases = {QStringLiteral("Work"), QStringLiteral("Other")}}};
    platform::Connection connection;
    platform::Recordset recordset;
};

}  // namespace

TEST_F(RecordsetOnServer, RowsOfTheFirstResultWithColumns) {
    recordset.Open(QStringLiteral("CREATE TABLE r (v varchar(5)); INSERT INTO r VALUES ('a'); "
                                  "INSERT INTO r VALUES ('b'); SELECT v FROM r"),
                   connection);
    ASSERT_EQ(recordset.State(), 1);
    ASSERT_FALSE(recordset.Eof());
    EXPECT_EQ(recordset.Field(QStringLiteral("v")).toString(), QStringLiteral("a"));
    EXPECT_EQ(recordset.Field(QStringLiteral("V")).toString(), QStringLiteral("a"));
    recordset.MoveNext();
    EXPECT_EQ(recordset.Field(QStringLiteral("v")).toString(), QStringLiteral("b"));
    recordset.MoveNext();
    EXPECT_TRUE(recordset.Eof());
    recordset.Close();
    EXPECT_EQ(recordset.State(), 0);
}

TEST_F(RecordsetOnServer, ABatchWithoutRowsSucceedsAtItsEnd) {
    recordset.Open(QStringLiteral("CREATE TABLE t (a int); INSERT INTO t VALUES (1)"), connection);
    EXPECT_TRUE(recordset.Eof());
    EXPECT_THROW(recordset.Field(QStringLiteral("a")), platform::AdoError);
}

TEST_F(RecordsetOnServer, AnErrorInALaterStatementFailsTheBatch) {
    EXPECT_EQ(Fails(QStringLiteral("SELECT 1 AS x; SELECT * FROM missing")),
              QStringLiteral("Invalid object name 'missing'"));
    EXPECT_EQ(recordset.State(), 0);
    EXPECT_EQ(Fails(QStringLiteral("CREATE TABLE u (a int); SELECT * FROM missing2")),
              QStringLiteral("Invalid object name 'missing2'"));
    // The connection goes on.
    recordset.Open(QStringLiteral("SELECT 2 AS x"), connection);
    EXPECT_EQ(recordset.Field(QStringLiteral("x")).toString(), QStringLiteral("2"));
}

TEST_F(RecordsetOnServer, ServerTextWithoutPrefixOrFullStop) {
    EXPECT_EQ(Fails(QStringLiteral("USE [no such database]")),
              QStringLiteral("Database 'no such database' does not exist. Make sure that the name "
                             "is entered correctly"));
}

TEST_F(RecordsetOnServer, NullsLongAndNonLatinValues) {
    const QString longText(5000, u'x');
    recordset.Open(QStringLiteral("CREATE TABLE w (n varchar(10), l ntext, t nvarchar(20)); "
                                  "INSERT INTO w VALUES (NULL, N'%1', N'Şişli ğüç'); "
                                  "SELECT n, l, t FROM w")
                       .arg(longText),
                   connection);
    EXPECT_TRUE(recordset.Field(QStringLiteral("n")).isNull());
    EXPECT_EQ(recordset.Field(QStringLiteral("l")).toString(), longText);
    EXPECT_EQ(recordset.Field(QStringLiteral("t")).toString(), QStringLiteral("Şişli ğüç"));
    EXPECT_THROW(recordset.Field(QStringLiteral("missing")), platform::AdoError);
}

TEST_F(RecordsetOnServer, TheCurrentDatabasePersistsOnTheConnection) {
    recordset.Open(UseStatement(server.Name(QStringLiteral("Other"))), connection);
    recordset.Close();
    recordset.Open(QStringLiteral("CREATE TABLE p (a int)"), connection);
    recordset.Close();
    const auto tablesIn = [&](const char* database) {
        return server.Column(QString::fromLatin1(database), QStringLiteral("exec sp_tables"),
                             QStringLiteral("TABLE_NAME"));
    };
    EXPECT_TRUE(tablesIn("Other").contains(QStringLiteral("p")));
    EXPECT_FALSE(tablesIn("Work").contains(QStringLiteral("p")));
}

TEST_F(RecordsetOnServer, ClosingTheConnectionAllowsReopening) {
    EXPECT_THROW(connection.Open(ConnectionString(server.ServerText(), server.User()),
                                 server.User(), server.Password()),
                 platform::AdoError);
    connection.Close();
    EXPECT_EQ(connection.State(), 0);
    EXPECT_THROW(recordset.Open(QStringLiteral("SELECT 1 AS x"), connection), platform::AdoError);
    connection.Open(ConnectionString(server.ServerText(), server.User()), server.User(),
                    server.Password());
    recordset.Open(QStringLiteral("SELECT 1 AS x"), connection);
    EXPECT_FALSE(recordset.Eof());
}
