// The catalog across sessions and runs: lookup, parallel sessions, files under the data directory.
#include "EngineTest.h"

#include <filesystem>
#include <thread>

namespace standin::test {
namespace {

TEST(Catalog, FindsDatabasesCaseInsensitively)
{
    Catalog catalog(CatalogOptions{{"Sales", "ÇAY"}, ""});
    EXPECT_EQ(catalog.findDatabase("SALES"), "Sales");
    EXPECT_EQ(catalog.findDatabase("Master"), "master");
    EXPECT_EQ(catalog.findDatabase("çay"), "ÇAY");
    EXPECT_EQ(catalog.findDatabase("Sale"), std::nullopt);
}

TEST(Catalog, SessionsShareInMemoryDatabasesButNotEachOthersVariables)
{
    Catalog catalog(CatalogOptions{{"Sales"}, ""});
    Session a(catalog, "Sales");
    Session b(catalog, "Sales");
    EXPECT_TRUE(errorsOf(a.executeBatch("CREATE TABLE t (v int) INSERT INTO t VALUES (1)")).empty());
    const auto replies = b.executeBatch("SELECT * FROM t");
    EXPECT_EQ(resultOf(replies[0])->rows, (Rows{{"1"}}));
    Session other(catalog, "master");
    EXPECT_EQ(errorsOf(other.executeBatch("SELECT * FROM t")).front().number, 208);
}

TEST(Catalog, ParallelSessionsOnOneDatabaseLoseNoRows)
{
    Catalog catalog(CatalogOptions{{"Sales"}, ""});
    {
        Session setup(catalog, "Sales");
        ASSERT_TRUE(errorsOf(setup.executeBatch("CREATE TABLE t (worker int, n int)")).empty());
    }
    constexpr int kWorkers = 4;
    constexpr int kBatches = 25;
    std::vector<std::thread> threads;
    std::atomic<int> failures{0};
    for (int w = 0; w < kWorkers; ++w)
        threads.emplace_back([&, w] {
            Session s(catalog, "master");
            s.executeBatch("USE Sales");
            for (int i = 0; i < kBatches; ++i) {
                const std::string doc = "<r><v n=\"" + std::to_string(i) + "\"/></r>";
                const auto replies = s.executeBatch(
                    "DECLARE @h int EXEC sp_xml_preparedocument @h OUTPUT, '" + doc +
                    "' INSERT INTO t SELECT * FROM OPENXML (@h, 'r/v', 1) WITH (w int '" +
                    std::to_string(w) + "', n int) EXEC sp_xml_removedocument @h");
                failures += static_cast<int>(errorsOf(replies).size());
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(failures, 0);
    Session check(catalog, "Sales");
    const auto rows = resultOf(check.executeBatch("SELECT * FROM t")[0])->rows;
    EXPECT_EQ(rows.size(), static_cast<std::size_t>(kWorkers * kBatches));
}

TEST(Catalog, DataDirectoryKeepsTablesAcrossCatalogs)
{
    const auto dir = std::filesystem::temp_directory_path() /
                     ("standin-engine-test-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                      "-" + std::to_string(std::hash<std::thread::id>{}(std::this_thread::get_id())));
    std::filesystem::remove_all(dir);
    {
        Catalog catalog(CatalogOptions{{"Sales"}, dir.string()});
        Session s(catalog, "Sales");
        ASSERT_TRUE(errorsOf(s.executeBatch("CREATE TABLE [Kept Rows] (a decimal(5,2), b nvarchar(5)) "
                                            "INSERT INTO [Kept Rows] VALUES (1.5, N'ğ') "
                                            "CREATE TABLE base (x int)"))
                        .empty());
        ASSERT_TRUE(errorsOf(s.executeBatch("CREATE VIEW v AS SELECT x FROM base")).empty());
    }
    EXPECT_TRUE(std::filesystem::exists(dir / "Sales.sqlite"));
    {
        Catalog catalog(CatalogOptions{{"Sales"}, dir.string()});
        Session s(catalog, "Sales");
        const auto replies = s.executeBatch("SELECT * FROM [kept rows] exec sp_tables");
        const ResultSet& r = *resultOf(replies[0]);
        EXPECT_EQ(r.rows, (Rows{{"1.50", "ğ"}}));
        EXPECT_EQ(r.columns[0].type.type, SqlType::Decimal);
        EXPECT_EQ(r.columns[0].type.scale, 2);
        EXPECT_EQ(r.columns[1].type.length, 5);
        const ResultSet& tables = *resultOf(replies[1]);
        EXPECT_EQ(*tables.rows[2][2], "v");
        EXPECT_EQ(*tables.rows[2][3], "VIEW");
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace standin::test
