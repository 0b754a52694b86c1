#include <gtest/gtest.h>

#include "platform/OdbcDiagnostics.h"

using namespace platform;

struct CleanCase {
    const char* name;
    const char* raw;
    const char* cleaned;
};

class CleanMessageTextTest : public testing::TestWithParam<CleanCase> {};

TEST_P(CleanMessageTextTest, Cleans) {
    EXPECT_EQ(CleanMessageText(QString::fromUtf8(GetParam().raw)),
              QString::fromUtf8(GetParam().cleaned));
}

INSTANTIATE_TEST_SUITE_P(
    DriverTexts, CleanMessageTextTest,
    testing::Values(
        CleanCase{"FreeTds", "[FreeTDS][SQL Server]Login failed for user 'sa'.",
                  "Login failed for user 'sa'"},
        CleanCase{"Microsoft",
                  "[Microsoft][ODBC Driver 18 for SQL Server][SQL Server]Invalid object name 'x'.",
                  "Invalid object name 'x'"},
        CleanCase{"MicrosoftDriverOwn",
                  "[Microsoft][ODBC Driver 18 for SQL Server]Login timeout expired",
                  "Login timeout expired"},
        CleanCase{"DriverManager",
                  "[unixODBC][Driver Manager]Data source name not found and no default driver "
                  "specified",
                  "Data source name not found and no default driver specified"},
        CleanCase{"BracketInServerText", "[FreeTDS][SQL Server][x] is not a table.",
                  "[x] is not a table"},
        CleanCase{"TrailingControlAndStops", "Something failed. .\r\n\t", "Something failed"},
        CleanCase{"InnerStopsKept", "Database 'X' does not exist. Make sure.",
                  "Database 'X' does not exist. Make sure"},
        CleanCase{"UnclosedBracket", "[FreeTDS broken text", "[FreeTDS broken text"},
        CleanCase{"OnlyPrefix", "[FreeTDS][SQL Server]", ""},
        CleanCase{"Bare", "Changed database context to 'a'.", "Changed database context to 'a'"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FailureText, FirstErrorWinsOverInformation) {
    const std::vector<DiagRecord> records{
        {QStringLiteral("01000"),
         QStringLiteral("[FreeTDS][SQL Server]Changed database context to 'm'.")},
        {QStringLiteral("42S02"), QStringLiteral("[FreeTDS][SQL Server]Invalid object name 'a'.")},
        {QStringLiteral("42S02"), QStringLiteral("[FreeTDS][SQL Server]Invalid object name 'b'.")},
    };
    EXPECT_EQ(FailureText(records), QStringLiteral("Invalid object name 'a'"));
}

TEST(FailureText, InformationWhenThereIsNoError) {
    const std::vector<DiagRecord> records{
        {QStringLiteral("01000"), QStringLiteral("[FreeTDS][SQL Server]")},
        {QStringLiteral("01000"), QStringLiteral("[FreeTDS][SQL Server]Note.")},
    };
    EXPECT_EQ(FailureText(records), QStringLiteral("Note"));
}

TEST(FailureText, SkipsErrorsWithoutText) {
    const std::vector<DiagRecord> records{
        {QStringLiteral("08001"), QStringLiteral("[unixODBC][Driver Manager]")},
        {QStringLiteral("08001"),
         QStringLiteral("[FreeTDS][SQL Server]Unable to connect to data source")},
    };
    EXPECT_EQ(FailureText(records), QStringLiteral("Unable to connect to data source"));
    EXPECT_EQ(FailureText({}), QString());
}

TEST(LostLinkText, TheDriversLinkTextWinsOverWhatFollowsFromIt) {
    // Microsoft's drivers name the cause and the loss; the cause comes first.
    const std::vector<DiagRecord> microsoft{
        {QStringLiteral("HY000"), QStringLiteral("[Microsoft][ODBC Driver 18 for SQL Server]x")},
        {QStringLiteral("08S01"),
         QStringLiteral("[Microsoft][ODBC Driver 18 for SQL Server]TCP Provider: Error code 0x68")},
        {QStringLiteral("08S01"),
         QStringLiteral("[Microsoft][ODBC Driver 18 for SQL Server]Communication link failure")},
    };
    EXPECT_EQ(LostLinkText(microsoft), QStringLiteral("TCP Provider: Error code 0x68"));
    const std::vector<DiagRecord> freeTds{
        {QStringLiteral("HY000"), QStringLiteral("[FreeTDS][SQL Server]Unknown error")},
    };
    EXPECT_EQ(LostLinkText(freeTds), QStringLiteral("Communication link failure"));
}

TEST(IsErrorState, WarningsAndNoDataAreNotErrors) {
    EXPECT_FALSE(IsErrorState(QStringLiteral("01000")));
    EXPECT_FALSE(IsErrorState(QStringLiteral("01S02")));
    EXPECT_FALSE(IsErrorState(QStringLiteral("02000")));
    EXPECT_TRUE(IsErrorState(QStringLiteral("42000")));
    EXPECT_TRUE(IsErrorState(QStringLiteral("08S01")));
    EXPECT_TRUE(IsErrorState(QStringLiteral("HY000")));
}
