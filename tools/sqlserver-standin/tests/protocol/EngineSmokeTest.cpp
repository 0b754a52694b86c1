// The real executable, real engine included, answers the way the driver expects. Only
// statements every SQL Server answers alike, so that engine details stay out of these tests.
#include "OdbcClient.h"
#include "StandinProcess.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace standin::testing
