#include "TestServer.h"

#include <cstdlib>

#include "Catalogue.h"
#include "StandinProcess.h"
#include "platform/Ado.h"

namespace {

const QString kRealPrefix = QStringLiteral("TavlenTest ");

QString Environment(const char* name) { return QString::fromLocal8Bit(std::getenv(name)); }

std::string Utf8(const QString& text) { return text.toStdString(); }

QString DatabaseName(const QString& database) { return database.section(u':', 0, 0); }

// " COLLATE name" for a database given with its collation, else nothing.
QString CollateClause(const QString& database) {
    const QString collation = database.section(u':', 1);
    return collation.isEmpty() ? QString() : QStringLiteral(" COLLATE ") + collation;
}

}  // namespace

TestServer::TestServer(Options options) : databases_(options.databases) {
    if (!Environment("TAVLEN_TEST_SERVER").isEmpty()) {
        server_ = Environment("TAVLEN_TEST_SERVER");
        user_ = Environment("TAVLEN_TEST_USER");
        password_ = Environment("TAVLEN_TEST_PASSWORD");
        for (const QString& database : databases_) {
            const QString name = UseStatement(Name(database)).mid(4);
            Execute({},
                    {QStringLiteral("IF DB_ID(N'%1') IS NOT NULL DROP DATABASE %2")
                         .arg(QString(Name(database)).replace(u'\'', QStringLiteral("''")), name),
                     QStringLiteral("CREATE DATABASE ") + name + CollateClause(database)});
        }
        return;
    }
    user_ = QStringLiteral("tavlen");
    password_ = options.password;
    std::vector<std::string> arguments{"--login", Utf8(user_ + u':' + password_)};
    for (const QString& database : databases_) {
        arguments.insert(arguments.end(), {"--database", Utf8(database)});
    }
    for (const QString& text : options.closeOn) {
        arguments.insert(arguments.end(), {"--close-on", Utf8(text)});
    }
    if (!options.logFile.isEmpty())
        arguments.insert(arguments.end(), {"--log", Utf8(options.logFile)});
    if (!options.tdsVersion.isEmpty())
        arguments.insert(arguments.end(), {"--tds-version", Utf8(options.tdsVersion)});
    for (const QString& argument : options.faults) arguments.push_back(Utf8(argument));
    standin_ = std::make_unique<standin::testing::StandinProcess>(SQLSERVER_STANDIN, arguments);
    server_ = QStringLiteral("127.0.0.1,%1").arg(standin_->port());
}

TestServer::~TestServer() {
    if (IsStandin()) return;
    try {
        for (const QString& database : databases_) {
            Execute({}, {QStringLiteral("DROP DATABASE ") + UseStatement(Name(database)).mid(4)});
        }
    } catch (const std::exception&) {
        // A database left behind is dropped by the next run before it is created again.
    }
}

QString TestServer::Name(const QString& database) const {
    return IsStandin() ? DatabaseName(database) : kRealPrefix + DatabaseName(database);
}

platform::Connection& TestServer::Admin() {
    if (!admin_) {
        admin_ = std::make_unique<platform::Connection>();
        admin_->Open(ConnectionString(server_, user_), user_, password_);
    }
    return *admin_;
}

void TestServer::Execute(const QString& database, const QStringList& batches) {
    platform::Recordset recordset;
    recordset.Open(UseStatement(database.isEmpty() ? QStringLiteral("master") : Name(database)),
                   Admin());
    for (const QString& batch : batches) {
        recordset.Close();
        recordset.Open(batch, Admin());
    }
}

QStringList TestServer::Column(const QString& database, const QString& sql, const QString& column) {
    Execute(database, {});
    platform::Recordset recordset;
    recordset.Open(sql, Admin());
    QStringList values;
    for (; !recordset.Eof(); recordset.MoveNext()) values << recordset.Field(column).toString();
    return values;
}
