#include <gtest/gtest.h>

#include "Catalogue.h"

TEST(ConnectionString, EmptyUserMeansTheLoggedOnAccount) {
    EXPECT_EQ(ConnectionString(QStringLiteral("db"), QString()),
              QStringLiteral("Provider=SQLOLEDB.1;Data Source=db;Integrated Security=SSPI;"));
}

TEST(ConnectionString, AUserOfOneBlankIsAUser) {
    EXPECT_EQ(ConnectionString(QStringLiteral("db"), QStringLiteral(" ")),
              QStringLiteral("Provider=SQLOLEDB.1;Data Source=db"));
}

TEST(ConnectionString, ServerTextAsTypedAndNothingAfterIt) {
    EXPECT_EQ(ConnectionString(QStringLiteral(" db;x "), QStringLiteral("sa")),
              QStringLiteral("Provider=SQLOLEDB.1;Data Source= db;x "));
}

TEST(ConnectionString, EmptyServer) {
    EXPECT_EQ(ConnectionString(QString(), QStringLiteral("sa")),
              QStringLiteral("Provider=SQLOLEDB.1;Data Source="));
    EXPECT_EQ(ConnectionString(QString(), QString()),
              QStringLiteral("Provider=SQLOLEDB.1;Data Source=;Integrated Security=SSPI;"));
}

TEST(UseStatement, BracketsEveryName) {
    EXPECT_EQ(UseStatement(QStringLiteral("Sales")), QStringLiteral("USE [Sales]"));
    EXPECT_EQ(UseStatement(QStringLiteral("Sales 2026")), QStringLiteral("USE [Sales 2026]"));
    EXPECT_EQ(UseStatement(QStringLiteral("a]b")), QStringLiteral("USE [a]]b]"));
    EXPECT_EQ(UseStatement(QStringLiteral("[x]")), QStringLiteral("USE [[x]]]"));
}

struct TypeCase {
    const char* name;
    QVariant type;
    bool listed;
};

class IsTableOrViewTest : public testing::TestWithParam<TypeCase> {};

TEST_P(IsTableOrViewTest, ComparesWholeTextsExactly) {
    EXPECT_EQ(IsTableOrView(GetParam().type), GetParam().listed);
}

INSTANTIATE_TEST_SUITE_P(TableTypes, IsTableOrViewTest,
                         testing::Values(TypeCase{"Table", QStringLiteral("TABLE"), true},
                                         TypeCase{"View", QStringLiteral("VIEW"), true},
                                         TypeCase{"SystemTable", QStringLiteral("SYSTEM TABLE"),
                                                  false},
                                         TypeCase{"LowerCase", QStringLiteral("table"), false},
                                         TypeCase{"MixedCaseView", QStringLiteral("View"), false},
                                         TypeCase{"TrailingBlank", QStringLiteral("TABLE "), false},
                                         TypeCase{"LeadingBlank", QStringLiteral(" VIEW"), false},
                                         TypeCase{"Empty", QStringLiteral(""), false},
                                         TypeCase{"Null", QVariant(), false}),
                         [](const auto& info) { return std::string(info.param.name); });
