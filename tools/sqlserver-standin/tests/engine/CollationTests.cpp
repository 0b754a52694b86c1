// Databases with their own collation: the code page a client learns from the catalogue, varchar
// text kept in that code page, and documents whose names survive it.
#include "EngineTest.h"

namespace standin::test {
namespace {

constexpr const char* kCodePageQuery =
    "SELECT CONVERT(int, COLLATIONPROPERTY(CONVERT(nvarchar(128), DATABASEPROPERTYEX(DB_NAME(), "
    "'Collation')), 'CodePage')) AS CodePage";

class CollationTest : public ::testing::Test {
protected:
    Catalog catalog{CatalogOptions{
        {"Latin", "Satis", "Daten"},
        "",
        {{"Satis", "Turkish_CI_AS"}, {"Daten", "Latin1_General_100_CI_AS_SC_UTF8"}}}};

    Rows query(const std::string& database, const std::string& batch) {
        Session session(catalog, database);
        const auto replies = session.executeBatch(batch);
        EXPECT_TRUE(errorsOf(replies).empty()) << batch << ": " << errorsOf(replies).front().text;
        for (const auto& r : replies)
            if (const ResultSet* set = resultOf(r)) return set->rows;
        ADD_FAILURE() << "no result set from " << batch;
        return {};
    }
};

TEST_F(CollationTest, CatalogueNamesEachDatabasesCodePage) {
    EXPECT_EQ(query("Latin", kCodePageQuery), (Rows{{"1252"}}));
    EXPECT_EQ(query("Satis", kCodePageQuery), (Rows{{"1254"}}));
    EXPECT_EQ(query("Daten", kCodePageQuery), (Rows{{"65001"}}));
    EXPECT_EQ(query("Satis",
                    "SELECT DATABASEPROPERTYEX('nowhere', 'Collation'), "
                    "COLLATIONPROPERTY('No_Such_CI_AS', 'CodePage')"),
              (Rows{{std::nullopt, std::nullopt}}));
}

TEST_F(CollationTest, VarcharLiteralsTakeTheDatabasesCodePage) {
    // ş is in 1254 only, its best fit in 1252 is s; Ω has none; a character above U+FFFF is one
    // '?' per UTF-16 unit outside UTF-8.
    const std::string batch = "SELECT 'şehir Ω', '\xF0\x9F\x98\x80'";
    EXPECT_EQ(query("Latin", batch), (Rows{{"sehir ?", "??"}}));
    EXPECT_EQ(query("Satis", batch), (Rows{{"şehir ?", "??"}}));
    EXPECT_EQ(query("Daten", batch), (Rows{{"şehir Ω", "\xF0\x9F\x98\x80"}}));
    // Sizes of varchar count bytes: under UTF-8 ş takes two.
    EXPECT_EQ(query("Daten", "DECLARE @v varchar(3) = 'şşş' SELECT @v"), (Rows{{"ş"}}));
}

TEST_F(CollationTest, DocumentNamesSurviveUnderADeclarationOfTheCodePage) {
    const std::string batch =
        "DECLARE @h int\n"
        "EXEC sp_xml_preparedocument @h OUTPUT, '<?xml version=\"1.0\" encoding=\"windows-1254\"?>"
        "<müşteriler><müşteri şehir=\"İzmir\"/></müşteriler>'\n"
        "SELECT * FROM OPENXML(@h, '/müşteriler/müşteri', 1) WITH (şehir nvarchar(20) '@şehir')";
    EXPECT_EQ(query("Satis", batch), (Rows{{"İzmir"}}));
    // Under 1252 the best fit turns ş into s in the document and the patterns alike.
    EXPECT_EQ(query("Latin", batch), (Rows{{"Izmir"}}));
    EXPECT_EQ(query("Daten", "DECLARE @h int\n"
                             "EXEC sp_xml_preparedocument @h OUTPUT, '<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
                             "<şehir ad=\"İzmir\"/>'\n"
                             "SELECT * FROM OPENXML(@h, '/şehir', 1) WITH (ad nvarchar(20))"),
              (Rows{{"İzmir"}}));
    // Without a declaration the document is read in the database's code page.
    EXPECT_EQ(query("Satis", "DECLARE @h int EXEC sp_xml_preparedocument @h OUTPUT, '<şehir ad=\"İzmir\"/>' "
                             "SELECT * FROM OPENXML(@h, '/şehir', 1) WITH (ad nvarchar(20))"),
              (Rows{{"İzmir"}}));
}

}  // namespace
}  // namespace standin::test
