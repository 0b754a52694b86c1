// Transactions across statements and batches, as the import runs its pieces in one.
#include "EngineTest.h"

#include <thread>

namespace standin::test {
namespace {

using TransactionTest = EngineTest;

TEST_F(TransactionTest, RollbackRemovesTheTablesAndRowsTheTransactionMade) {
    ok("CREATE TABLE Kept (n int) INSERT INTO Kept VALUES (1)");
    ok("BEGIN TRANSACTION");
    ok("SELECT 7 AS n INTO Made INSERT INTO Kept VALUES (2) UPDATE Kept SET n = 5 WHERE n = 1");
    ok("BEGIN TRAN DECLARE @h int EXEC sp_xml_preparedocument @h OUTPUT, '<a/>'");
    EXPECT_EQ(query("SELECT @@TRANCOUNT, COUNT(*) FROM Made"), (Rows{{"2", "1"}}));
    EXPECT_NE(query("SELECT OBJECT_ID('dbo.[Made]', 'U')")[0][0], std::nullopt);
    ok("COMMIT");
    EXPECT_EQ(query("SELECT @@TRANCOUNT"), (Rows{{"1"}}));
    ok("IF @@TRANCOUNT > 0 ROLLBACK TRANSACTION\r\nEXEC sp_xml_removedocument 1");
    EXPECT_EQ(query("SELECT @@TRANCOUNT, OBJECT_ID('Made')"), (Rows{{"0", std::nullopt}}));
    EXPECT_EQ(query("SELECT n FROM Kept"), (Rows{{"1"}}));
    EXPECT_EQ(fails("ROLLBACK").number, 3903);
}

TEST_F(TransactionTest, BatchEndingErrorLeavesTheTransactionOpen) {
    ok("BEGIN TRANSACTION CREATE TABLE t (n int)");
    EXPECT_EQ(fails("INSERT INTO t VALUES (1) INSERT INTO t VALUES ('x') INSERT INTO t VALUES (3)")
                  .number,
              245);
    EXPECT_EQ(query("SELECT @@TRANCOUNT, COUNT(*) FROM t"), (Rows{{"1", "1"}}));
    ok("COMMIT TRANSACTION");
    EXPECT_EQ(query("SELECT COUNT(*) FROM t"), (Rows{{"1"}}));
}

TEST_F(TransactionTest, OtherSessionsWaitAndNeverSeeRolledBackWork) {
    ok("BEGIN TRAN CREATE TABLE Hidden (n int)");
    Rows seen;
    std::thread other([&] {
        Session second(catalog, "Sales");
        seen = std::get<ResultSet>(second.executeBatch("SELECT OBJECT_ID('Hidden')")[0].events[0])
                   .rows;
    });
    ok("ROLLBACK");
    other.join();
    EXPECT_EQ(seen, (Rows{{std::nullopt}}));
}

TEST_F(TransactionTest, EndOfSessionRollsBack) {
    {
        Session leaving(catalog, "Sales");
        leaving.executeBatch("BEGIN TRAN CREATE TABLE Left (n int)");
    }
    EXPECT_EQ(query("SELECT OBJECT_ID('Left')"), (Rows{{std::nullopt}}));
}

}  // namespace
}  // namespace standin::test
