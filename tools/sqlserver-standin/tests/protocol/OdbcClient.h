// A thin ODBC client for the protocol tests: the wide API throughout, so that text reaches
// the driver as UTF-16 whatever the locale, converted to and from UTF-8 here.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace standin::testing {

struct Diagnostic {
    std::string state;
    int native = 0;
    std::string text;
};

using Row = std::vector<std::optional<std::string>>;

std::string connectionString(uint16_t port, const std::string& user = "sa", const std::string& password = "Secret-1",
                             const std::string& extra = "TDS_Version=7.4");

class OdbcConnection {
public:
    OdbcConnection();
    ~OdbcConnection();
    OdbcConnection(const OdbcConnection&) = delete;
    OdbcConnection& operator=(const OdbcConnection&) = delete;

    SQLRETURN connect(const std::string& connection);
    std::vector<Diagnostic> diagnostics() const;
    std::string currentCatalog() const;
    SQLHDBC handle() const { return dbc_; }

private:
    SQLHENV env_ = SQL_NULL_HENV;
    SQLHDBC dbc_ = SQL_NULL_HDBC;
    bool connected_ = false;
};

class OdbcStatement {
public:
    explicit OdbcStatement(OdbcConnection& connection);
    ~OdbcStatement();
    OdbcStatement(const OdbcStatement&) = delete;
    OdbcStatement& operator=(const OdbcStatement&) = delete;

    SQLRETURN execute(const std::string& sql);
    SQLRETURN moreResults() { return SQLMoreResults(stmt_); }
    // Fetches the remaining rows of the current result, every column read as text.
    std::vector<Row> fetchAll();
    std::vector<Diagnostic> diagnostics() const;
    SQLHSTMT handle() const { return stmt_; }

private:
    SQLHSTMT stmt_ = SQL_NULL_HSTMT;
};

// Connects and runs one batch, returning the first result's rows; fails the test on error.
std::vector<Row> query(uint16_t port, const std::string& sql);

}  // namespace standin::testing
