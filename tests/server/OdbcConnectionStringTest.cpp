#include <gtest/gtest.h>

#include "platform/OdbcConnectionString.h"

using namespace platform;

namespace {

const OdbcDriver kFreeTds{QStringLiteral("FreeTDS"), OdbcDriverKind::FreeTds};
const OdbcDriver kMicrosoft18{QStringLiteral("ODBC Driver 18 for SQL Server"),
                              OdbcDriverKind::Microsoft18};

QString Odbc(const OdbcDriver& driver, const QString& dataSource, const QString& user,
             bool integrated = false) {
    const auto odbc = OdbcConnectionString(driver, {dataSource, integrated}, user);
    return odbc ? QString::fromStdU16String(*odbc) : QStringLiteral("<refused>");
}

QString Attribute(OdbcDriverKind kind, const QString& value) {
    std::u16string out;
    AppendAttribute(out, kind, u"PWD", value);
    return QString::fromStdU16String(out);
}

}  // namespace

TEST(ChooseDriver, PrefersMicrosoftsNewestThenFreeTds) {
    const QString d18 = QStringLiteral("ODBC Driver 18 for SQL Server");
    const QString d17 = QStringLiteral("ODBC Driver 17 for SQL Server");
    const QString tds = QStringLiteral("FreeTDS");
    EXPECT_EQ(ChooseDriver({tds, d17, d18})->name, d18);
    EXPECT_EQ(ChooseDriver({tds, d17})->kind, OdbcDriverKind::Microsoft17);
    EXPECT_EQ(ChooseDriver({QStringLiteral("SQLite3"), tds})->kind, OdbcDriverKind::FreeTds);
    EXPECT_FALSE(ChooseDriver({QStringLiteral("SQLite3"), QStringLiteral("PostgreSQL")}));
    EXPECT_FALSE(ChooseDriver({}));
    // The driver manager looks the name up again, as installed.
    EXPECT_EQ(ChooseDriver({QStringLiteral("freetds")})->name, QStringLiteral("freetds"));
}

struct AddressCase {
    const char* name;
    const char* typed;
    ServerAddress expected;
};

class ServerAddressTest : public testing::TestWithParam<AddressCase> {};

TEST_P(ServerAddressTest, Parses) {
    EXPECT_EQ(ParseServerAddress(QString::fromUtf8(GetParam().typed)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    TypedForms, ServerAddressTest,
    testing::Values(AddressCase{"Host", "db.example.com", {"db.example.com", {}, {}}},
                    AddressCase{"HostInstance", "db\\SQLEXPRESS", {"db", "SQLEXPRESS", {}}},
                    AddressCase{"HostPort", "10.0.0.5,1500", {"10.0.0.5", {}, "1500"}},
                    AddressCase{"TcpHostPort", "tcp:db,1500", {"db", {}, "1500"}},
                    AddressCase{"TcpUpperCase", "TCP:db", {"db", {}, {}}},
                    AddressCase{"InstanceAndPort", "db\\inst,1500", {"db", "inst", "1500"}},
                    AddressCase{"Local", "(local)", {"localhost", {}, {}}},
                    AddressCase{"LocalInstance", "(LOCAL)\\inst", {"localhost", "inst", {}}},
                    AddressCase{"Dot", ".", {"localhost", {}, {}}},
                    AddressCase{"DotPort", ".,1500", {"localhost", {}, "1500"}},
                    AddressCase{"Empty", "", {"localhost", {}, {}}},
                    AddressCase{"BlanksAround", "  db , 1500 ", {"db", {}, "1500"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseProviderString, IntegratedSecurityOnlyForAnEmptyUser) {
    const auto integrated = ParseProviderString(
        QStringLiteral("Provider=SQLOLEDB.1;Data Source=db;Integrated Security=SSPI;"), {});
    ASSERT_TRUE(integrated);
    EXPECT_EQ(integrated->dataSource, QStringLiteral("db"));
    EXPECT_TRUE(integrated->integratedSecurity);

    const auto login = ParseProviderString(QStringLiteral("Provider=SQLOLEDB.1;Data Source=db"),
                                           QStringLiteral(" "));
    ASSERT_TRUE(login);
    EXPECT_EQ(login->dataSource, QStringLiteral("db"));
    EXPECT_FALSE(login->integratedSecurity);
}

TEST(ParseProviderString, ServerTextIsTakenWhole) {
    // A user was given, so the tail is part of what was typed as the server.
    const auto typed = ParseProviderString(
        QStringLiteral("Provider=SQLOLEDB.1;Data Source=a;b=c;Integrated Security=SSPI;"),
        QStringLiteral("sa"));
    ASSERT_TRUE(typed);
    EXPECT_EQ(typed->dataSource, QStringLiteral("a;b=c;Integrated Security=SSPI;"));
    EXPECT_FALSE(typed->integratedSecurity);

    const auto empty = ParseProviderString(QStringLiteral("Provider=SQLOLEDB.1;Data Source="), {});
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->dataSource, QString());
}

TEST(ParseProviderString, RejectsOtherProviders) {
    EXPECT_FALSE(ParseProviderString(QStringLiteral("Provider=MSDASQL;Data Source=db"), {}));
    EXPECT_FALSE(ParseProviderString(QStringLiteral("Data Source=db"), {}));
}

TEST(AppendAttribute, MicrosoftDoublesClosingBraces) {
    const auto kind = OdbcDriverKind::Microsoft18;
    EXPECT_EQ(Attribute(kind, {}), QStringLiteral("PWD={};"));
    EXPECT_EQ(Attribute(kind, QStringLiteral("plain")), QStringLiteral("PWD={plain};"));
    EXPECT_EQ(Attribute(kind, QStringLiteral(";}{=")), QStringLiteral("PWD={;}}{=};"));
    EXPECT_EQ(Attribute(kind, QStringLiteral("a};b")), QStringLiteral("PWD={a}};b};"));
}

TEST(AppendAttribute, FreeTdsKeepsTheValueAsItIs) {
    // FreeTDS reads a braced value up to the first "};" and does not undo doubling.
    const auto kind = OdbcDriverKind::FreeTds;
    EXPECT_EQ(Attribute(kind, QStringLiteral(";}{=")), QStringLiteral("PWD={;}{=};"));
    EXPECT_EQ(Attribute(kind, QStringLiteral("x}")), QStringLiteral("PWD={x}};"));
    EXPECT_TRUE(CanBrace(kind, QStringLiteral("a}b;c{")));
    EXPECT_FALSE(CanBrace(kind, QStringLiteral("a};UID=x")));
    EXPECT_TRUE(CanBrace(OdbcDriverKind::Microsoft17, QStringLiteral("a};UID=x")));
}

TEST(OdbcConnectionString, FreeTdsWithLogin) {
    EXPECT_EQ(Odbc(kFreeTds, QStringLiteral("127.0.0.1,4321"), QStringLiteral("sa")),
              QStringLiteral("DRIVER={FreeTDS};Server={127.0.0.1};Port={4321};TDS_Version={7.4};"
                             "Encryption={request};ClientCharset={UTF-8};UID={sa};"));
}

TEST(OdbcConnectionString, FreeTdsDefaultPortAndInstance) {
    EXPECT_EQ(Odbc(kFreeTds, QStringLiteral("db"), QStringLiteral("u")),
              QStringLiteral("DRIVER={FreeTDS};Server={db};Port={1433};TDS_Version={7.4};"
                             "Encryption={request};ClientCharset={UTF-8};UID={u};"));
    // The instance is found through the browser service; a port given beside it wins.
    EXPECT_EQ(Odbc(kFreeTds, QStringLiteral("db\\inst"), QStringLiteral("u")),
              QStringLiteral("DRIVER={FreeTDS};Server={db\\inst};TDS_Version={7.4};"
                             "Encryption={request};ClientCharset={UTF-8};UID={u};"));
    EXPECT_EQ(Odbc(kFreeTds, QStringLiteral("db\\inst,1500"), QStringLiteral("u")),
              QStringLiteral("DRIVER={FreeTDS};Server={db};Port={1500};TDS_Version={7.4};"
                             "Encryption={request};ClientCharset={UTF-8};UID={u};"));
}

TEST(OdbcConnectionString, IntegratedSecurityHasNoUser) {
    EXPECT_EQ(Odbc(kFreeTds, QString(), QString(), true),
              QStringLiteral("DRIVER={FreeTDS};Server={localhost};Port={1433};TDS_Version={7.4};"
                             "Encryption={request};"
                             "ClientCharset={UTF-8};Trusted_Connection={Yes};"));
}

TEST(OdbcConnectionString, MicrosoftDriverForms) {
    EXPECT_EQ(Odbc(kMicrosoft18, QStringLiteral("tcp:db,1500"), QStringLiteral("sa")),
              QStringLiteral("DRIVER={ODBC Driver 18 for SQL Server};Server={tcp:db,1500};"
                             "Encrypt={Optional};TrustServerCertificate={Yes};UID={sa};"));
    EXPECT_EQ(Odbc(kMicrosoft18, QStringLiteral("(local)\\inst,1500"), QStringLiteral("sa")),
              QStringLiteral("DRIVER={ODBC Driver 18 for SQL Server};Server={tcp:localhost,1500};"
                             "Encrypt={Optional};TrustServerCertificate={Yes};UID={sa};"));
    EXPECT_EQ(Odbc(kMicrosoft18, QStringLiteral("db\\inst"), QStringLiteral("sa")),
              QStringLiteral("DRIVER={ODBC Driver 18 for SQL Server};Server={db\\inst};"
                             "Encrypt={Optional};TrustServerCertificate={Yes};UID={sa};"));
}

TEST(OdbcConnectionString, TypedTextCannotAddAttributes) {
    EXPECT_EQ(Odbc(kMicrosoft18, QStringLiteral("db};UID=x;{"), QStringLiteral("a};PWD={b")),
              QStringLiteral("DRIVER={ODBC Driver 18 for SQL Server};Server={db}};UID=x;{};"
                             "Encrypt={Optional};TrustServerCertificate={Yes};UID={a}};PWD={b};"));
    EXPECT_EQ(Odbc(kFreeTds, QStringLiteral("db};UID=x"), QStringLiteral("sa")),
              QStringLiteral("<refused>"));
    EXPECT_EQ(Odbc(kFreeTds, QStringLiteral("db"), QStringLiteral("a};PWD=b")),
              QStringLiteral("<refused>"));
    EXPECT_EQ(Odbc(kFreeTds, QStringLiteral("db}x;y{"), QStringLiteral("sa")),
              QStringLiteral("DRIVER={FreeTDS};Server={db}x;y{};Port={1433};TDS_Version={7.4};"
                             "Encryption={request};ClientCharset={UTF-8};UID={sa};"));
}

TEST(AppendPassword, RefusesWhatFreeTdsCannotRead) {
    std::u16string odbc = u"UID={sa};";
    EXPECT_FALSE(AppendPassword(odbc, OdbcDriverKind::FreeTds, QStringLiteral("a};b")));
    EXPECT_EQ(odbc, u"UID={sa};");
    EXPECT_TRUE(AppendPassword(odbc, OdbcDriverKind::FreeTds, QStringLiteral(";}{=")));
    EXPECT_EQ(QString::fromStdU16String(odbc), QStringLiteral("UID={sa};PWD={;}{=};"));
}
