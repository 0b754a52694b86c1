#include "EngineTest.h"

namespace standin::test {
namespace {

struct Conversion {
    const char* type;
    const char* literal;  // as written in VALUES
    Value expected;       // canonical text, or NULL
    int error = 0;        // message number instead of a value
};

void PrintTo(const Conversion& c, std::ostream* os)
{
    *os << c.type << " <- " << c.literal;
}

class ConversionTest : public EngineTest, public ::testing::WithParamInterface<Conversion> {};

TEST_P(ConversionTest, InsertConvertsByTheServerRules)
{
    const Conversion& c = GetParam();
    ok(std::string("CREATE TABLE t (v ") + c.type + ")");
    const auto replies = run(std::string("INSERT INTO t VALUES (") + c.literal + ")");
    if (c.error) {
        const auto errors = errorsOf(replies);
        ASSERT_FALSE(errors.empty());
        EXPECT_EQ(errors.front().number, c.error);
        EXPECT_TRUE(query("SELECT v FROM t").empty());
        return;
    }
    ASSERT_TRUE(errorsOf(replies).empty()) << errorsOf(replies).front().text;
    EXPECT_EQ(query("SELECT v FROM t"), (Rows{{c.expected}}));
}

INSTANTIATE_TEST_SUITE_P(
    Types, ConversionTest,
    ::testing::Values(
        Conversion{"Int", "' 42 '", "42"}, Conversion{"int", "'-7'", "-7"},
        Conversion{"INT", "''", "0"}, Conversion{"Int", "'abc'", {}, 245},
        Conversion{"Int", "'1.5'", {}, 245}, Conversion{"Int", "'2147483648'", {}, 248},
        Conversion{"Int", "2.9", "2"}, Conversion{"TinyInt", "'255'", "255"},
        Conversion{"TinyInt", "'256'", {}, 244}, Conversion{"TinyInt", "'-1'", {}, 244},
        Conversion{"Int", "2147483648", {}, 8115}, Conversion{"SmallInt", "'-32768'", "-32768"},
        Conversion{"BigInt", "'9223372036854775807'", "9223372036854775807"},
        Conversion{"Bit", "'true'", "1"}, Conversion{"Bit", "'FALSE'", "0"},
        Conversion{"Bit", "'5'", "1"}, Conversion{"Bit", "0", "0"},
        Conversion{"Bit", "'yes'", {}, 245}, Conversion{"Decimal", "'12.5'", "13"},
        Conversion{"Decimal(5,2)", "'3.14159'", "3.14"},
        Conversion{"Numeric(5,2)", "'-0.005'", "-0.01"},
        Conversion{"Decimal(4,2)", "'123.4'", {}, 8115},
        Conversion{"Decimal(10,3)", "'x1'", {}, 8114},
        Conversion{"Numeric(38,0)", "'1e3'", {}, 8114}, Conversion{"Money", "'12.5'", "12.5000"},
        Conversion{"Money", "'$1,234.56789'", "1234.5679"},
        Conversion{"SmallMoney", "'214748.3648'", {}, 8115},
        Conversion{"SmallMoney", "'-214748.3648'", "-214748.3648"},
        Conversion{"Money", "'-922337203685477.5808'", "-922337203685477.5808"},
        Conversion{"Money", "'-922337203685477.5809'", {}, 8115},
        Conversion{"Money", "'abc'", {}, 235}, Conversion{"Float", "'0.1'", "0.1"},
        Conversion{"Float", "'1e308'", "1e+308"}, Conversion{"Real", "'0.1'", "0.1"},
        Conversion{"Float", "'one'", {}, 8114},
        Conversion{"DateTime", "'1996-07-04T00:00:00'", "1996-07-04 00:00:00.000"},
        Conversion{"DateTime", "'1/20/1996'", "1996-01-20 00:00:00.000"},
        Conversion{"DateTime", "'20240229 13:45:10.999'", "2024-02-29 13:45:11.000"},
        Conversion{"DateTime", "'2024-02-29 13:45:10.002'", "2024-02-29 13:45:10.003"},
        Conversion{"DateTime", "'Jan 31 2024'", "2024-01-31 00:00:00.000"},
        Conversion{"DateTime", "'31 January 2024'", "2024-01-31 00:00:00.000"},
        Conversion{"DateTime", "'January 31, 2024 9:05'", "2024-01-31 09:05:00.000"},
        Conversion{"DateTime", "'2024/01/31'", "2024-01-31 00:00:00.000"},
        Conversion{"DateTime", "'01/31/2024 10:00 PM'", "2024-01-31 22:00:00.000"},
        Conversion{"DateTime", "'Smarch 31 2024'", {}, 241},
        Conversion{"DateTime", "'2023-02-29'", {}, 241}, Conversion{"DateTime", "'soon'", {}, 241},
        Conversion{"DateTime", "'1700-01-01'", {}, 242},
        Conversion{"SmallDateTime", "'2024-01-01 10:20:29.998'", "2024-01-01 10:20:00.000"},
        Conversion{"SmallDateTime", "'2024-01-01 10:20:30'", "2024-01-01 10:21:00.000"},
        Conversion{"SmallDateTime", "'2080-01-01'", {}, 242},
        Conversion{"UniqueIdentifier", "'6f9619ff-8b86-d011-b42d-00c04fc964ff'",
                   "6F9619FF-8B86-D011-B42D-00C04FC964FF"},
        Conversion{"UniqueIdentifier", "'{6F9619FF-8B86-D011-B42D-00C04FC964FF}'",
                   "6F9619FF-8B86-D011-B42D-00C04FC964FF"},
        Conversion{"UniqueIdentifier", "'6F9619FF'", {}, 8169},
        Conversion{"Char(4)", "'ab'", "ab  "}, Conversion{"Char", "'a'", "a"},
        Conversion{"VarChar(3)", "'abcd'", {}, 2628}, Conversion{"VarChar(3)", "'abc   '", "abc"},
        Conversion{"VarChar(10)", "N'ğüé€'", "güé€"}, Conversion{"nVarChar(10)", "N'ğüé€'", "ğüé€"},
        Conversion{"nChar(3)", "N'ğ'", "ğ  "}, Conversion{"nVarChar(2)", "N'ğüé'", {}, 2628},
        Conversion{"Text", "N'Ωmega é'", "?mega é"}, Conversion{"nText", "N'Ωmega'", "Ωmega"},
        Conversion{"SQL_Variant", "'any'", "any"}, Conversion{"Int", "NULL", std::nullopt}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(TypeDeclarations, SizesAreCheckedBeforeAnythingRuns)
{
    struct Case {
        const char* batch;
        int number;
        const char* text;
    };
    const Case cases[] = {
        {"DECLARE @x varchar(8001)", 131,
         "The size (8001) given to the type 'varchar' exceeds the maximum allowed for any data type (8000)."},
        {"DECLARE @x nvarchar(4001)", 131,
         "The size (4001) given to the type 'nvarchar' exceeds the maximum allowed for any data type (4000)."},
        {"CREATE TABLE t (Name VarChar(9000))", 131,
         "The size (9000) given to the column 'Name' exceeds the maximum allowed for any data type (8000)."},
        {"CREATE TABLE t (a int, Amount Decimal(50))", 2750,
         "Column or parameter #2: Specified column precision 50 is greater than the maximum precision of 38."},
        {"CREATE TABLE t (a Int(5))", 2716,
         "Column, parameter, or variable #1: Cannot specify a column width on data type int."},
        {"CREATE TABLE t (a Blob)", 2715, "Column, parameter, or variable #1: Cannot find data type Blob."},
        {"CREATE TABLE t (a Char(000))", 1001, "Line 1: Length or precision specification 0 is invalid."},
    };
    for (const Case& c : cases) {
        Catalog catalog(CatalogOptions{{"Sales"}, ""});
        Session session(catalog, "Sales");
        const auto replies = session.executeBatch(std::string("CREATE TABLE first (a int)\n") + c.batch);
        ASSERT_EQ(replies.size(), 1u) << c.batch;
        const auto errors = errorsOf(replies);
        ASSERT_EQ(errors.size(), 1u) << c.batch;
        EXPECT_EQ(errors[0].number, c.number) << c.batch;
        EXPECT_EQ(errors[0].text, c.text) << c.batch;
        EXPECT_EQ(errors[0].line, 2) << c.batch;
        EXPECT_EQ(errorsOf(session.executeBatch("SELECT * FROM first")).front().number, 208) << c.batch;
    }
}

TEST(TypeDeclarations, AllTavlenTypesInTheirWrittenCase)
{
    Catalog catalog(CatalogOptions{{"Sales"}, ""});
    Session session(catalog, "Sales");
    const auto replies = session.executeBatch(
        "CREATE TABLE t (a BigInt, b Bit, c Char(50), d DateTime, e Decimal(50 ), f Float)");
    EXPECT_EQ(errorsOf(replies).front().number, 2750);
    const auto all = session.executeBatch(
        "CREATE TABLE t (a BigInt, b Bit, c Char(50), d DateTime, e Decimal(10,2), f Float, g Int, "
        "h Money, i nChar(5), j nText, k nVarChar(50), l Numeric(7), m Real, n SmallDateTime, "
        "o SmallInt, p SmallMoney, q SQL_Variant, r Text, s TimeStamp, t TinyInt, u VarChar, "
        "v UniqueIdentifier) SELECT * FROM t");
    ASSERT_TRUE(errorsOf(all).empty()) << errorsOf(all).front().text;
    const ResultSet& r = *resultOf(all[1]);
    const std::vector<SqlType> expected = {
        SqlType::BigInt, SqlType::Bit, SqlType::Char, SqlType::DateTime, SqlType::Decimal,
        SqlType::Float, SqlType::Int, SqlType::Money, SqlType::NChar, SqlType::NText,
        SqlType::NVarChar, SqlType::Numeric, SqlType::Real, SqlType::SmallDateTime,
        SqlType::SmallInt, SqlType::SmallMoney, SqlType::SqlVariant, SqlType::Text,
        SqlType::Timestamp, SqlType::TinyInt, SqlType::VarChar, SqlType::UniqueIdentifier};
    ASSERT_EQ(r.columns.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(r.columns[i].type.type, expected[i]) << i;
    EXPECT_EQ(r.columns[20].type.length, 1);
    EXPECT_EQ(r.columns[11].type.precision, 7);
    EXPECT_EQ(r.columns[2].type.length, 50);
}

}  // namespace
}  // namespace standin::test
