// The server integration tests talk to: a stand-in started for the test, or the SQL Server
// named by TAVLEN_TEST_SERVER (login TAVLEN_TEST_USER / TAVLEN_TEST_PASSWORD) when that is set.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>

namespace platform {
class Connection;
}
namespace standin::testing {
class StandinProcess;
}

class TestServer final {
public:
    struct Options {
        // Created for the test, dropped again on a real server; "NAME:COLLATION" gives one its
        // collation.
        QStringList databases{};
        QString password = QStringLiteral("Secret-1");  // the stand-in's login only
        QStringList closeOn{};                          // stand-in faults
        QString logFile{};     // where the stand-in writes every batch it receives
        QString tdsVersion{};  // the newest TDS version the stand-in speaks; empty: its own
        QStringList faults{};  // more stand-in options, such as {"--delay", "200"}
    };

    explicit TestServer(Options options);
    TestServer() : TestServer(Options{}) {}
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    // Whether faults and logins of the test's choosing are available.
    bool IsStandin() const { return standin_ != nullptr; }

    // The text to type as the server: "127.0.0.1,PORT" for the stand-in.
    const QString& ServerText() const { return server_; }
    const QString& User() const { return user_; }
    const QString& Password() const { return password_; }
    // A database of Options::databases (its name, without the collation) as the server knows
    // it: prefixed on a real server so that no database of its own is touched.
    QString Name(const QString& database) const;

    // Runs statements in a database, each a batch of its own, through the program's own layer.
    void Execute(const QString& database, const QStringList& batches);
    // The column's values of the first result of a batch run in a database (master when empty).
    QStringList Column(const QString& database, const QString& sql, const QString& column);

private:
    platform::Connection& Admin();

    std::unique_ptr<standin::testing::StandinProcess> standin_;
    std::unique_ptr<platform::Connection> admin_;
    QString server_;
    QString user_;
    QString password_;
    QStringList databases_;
};
