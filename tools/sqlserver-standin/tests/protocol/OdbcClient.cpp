#include "OdbcClient.h"

#include "TextCodec.h"

#include <gtest/gtest.h>

namespace standin::testing {
namespace {

std::vector<SQLWCHAR> wide(const std::string& utf8)
{
    std::vector<uint8_t> bytes = tds::utf8ToUtf16le(utf8);
    std::vector<SQLWCHAR> out(bytes.size() / 2 + 1, 0);
    for (size_t k = 0; k + 1 < bytes.size(); k += 2)
        out[k / 2] = static_cast<SQLWCHAR>(bytes[k] | (bytes[k + 1] << 8));
    return out;
}

std::string narrow(const SQLWCHAR* text, size_t units)
{
    std::vector<uint8_t> bytes;
    for (size_t k = 0; k < units; ++k) {
        bytes.push_back(static_cast<uint8_t>(text[k]));
        bytes.push_back(static_cast<uint8_t>(text[k] >> 8));
    }
    return tds::utf16leToUtf8(bytes.data(), bytes.size());
}

std::vector<Diagnostic> diagnosticsOf(SQLSMALLINT type, SQLHANDLE handle)
{
    std::vector<Diagnostic> out;
    for (SQLSMALLINT k = 1;; ++k) {
        SQLWCHAR state[6] = {};
        SQLWCHAR text[2048] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        if (!SQL_SUCCEEDED(SQLGetDiagRecW(type, handle, k, state, &native, text, 2048, &length)))
            return out;
        out.push_back({narrow(state, 5), static_cast<int>(native), narrow(text, static_cast<size_t>(length))});
    }
}

}  // namespace

std::string connectionString(uint16_t port, const std::string& user, const std::string& password,
                             const std::string& extra)
{
    std::string braced;
    for (char c : password)
        braced += c == '}' ? "}}" : std::string(1, c);
    return "DRIVER=FreeTDS;SERVER=127.0.0.1;PORT=" + std::to_string(port) + ";UID=" + user + ";PWD={" + braced
           + "};" + extra;
}

OdbcConnection::OdbcConnection()
{
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_);
    SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_);
}

OdbcConnection::~OdbcConnection()
{
    if (connected_)
        SQLDisconnect(dbc_);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
    SQLFreeHandle(SQL_HANDLE_ENV, env_);
}

SQLRETURN OdbcConnection::connect(const std::string& connection)
{
    std::vector<SQLWCHAR> text = wide(connection);
    SQLRETURN rc = SQLDriverConnectW(dbc_, nullptr, text.data(), SQL_NTS, nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
    connected_ = SQL_SUCCEEDED(rc);
    return rc;
}

std::vector<Diagnostic> OdbcConnection::diagnostics() const
{
    return diagnosticsOf(SQL_HANDLE_DBC, dbc_);
}

std::string OdbcConnection::currentCatalog() const
{
    SQLWCHAR name[256] = {};
    SQLINTEGER length = 0;
    SQLGetConnectAttrW(dbc_, SQL_ATTR_CURRENT_CATALOG, name, sizeof name, &length);
    return narrow(name, static_cast<size_t>(length) / sizeof(SQLWCHAR));
}

OdbcStatement::OdbcStatement(OdbcConnection& connection)
{
    SQLAllocHandle(SQL_HANDLE_STMT, connection.handle(), &stmt_);
}

OdbcStatement::~OdbcStatement()
{
    SQLFreeHandle(SQL_HANDLE_STMT, stmt_);
}

SQLRETURN OdbcStatement::execute(const std::string& sql)
{
    std::vector<SQLWCHAR> text = wide(sql);
    return SQLExecDirectW(stmt_, text.data(), static_cast<SQLINTEGER>(text.size() - 1));
}

std::vector<Row> OdbcStatement::fetchAll()
{
    std::vector<Row> rows;
    SQLSMALLINT columns = 0;
    SQLNumResultCols(stmt_, &columns);
    while (SQL_SUCCEEDED(SQLFetch(stmt_))) {
        Row row;
        for (SQLUSMALLINT c = 1; c <= columns; ++c) {
            std::string value;
            bool isNull = false;
            for (;;) {  // long values come in pieces
                SQLWCHAR buffer[1024];
                SQLLEN indicator = 0;
                SQLRETURN rc = SQLGetData(stmt_, c, SQL_C_WCHAR, buffer, sizeof buffer, &indicator);
                if (!SQL_SUCCEEDED(rc))
                    break;
                if (indicator == SQL_NULL_DATA) {
                    isNull = true;
                    break;
                }
                size_t bytes = indicator == SQL_NO_TOTAL || indicator >= static_cast<SQLLEN>(sizeof buffer)
                                   ? sizeof buffer - sizeof(SQLWCHAR)
                                   : static_cast<size_t>(indicator);
                value += narrow(buffer, bytes / sizeof(SQLWCHAR));
                if (rc == SQL_SUCCESS)
                    break;
            }
            row.push_back(isNull ? std::nullopt : std::optional<std::string>(value));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<Diagnostic> OdbcStatement::diagnostics() const
{
    return diagnosticsOf(SQL_HANDLE_STMT, stmt_);
}

std::vector<Row> query(uint16_t port, const std::string& sql)
{
    OdbcConnection connection;
    EXPECT_TRUE(SQL_SUCCEEDED(connection.connect(connectionString(port))));
    OdbcStatement statement(connection);
    SQLRETURN rc = statement.execute(sql);
    EXPECT_TRUE(SQL_SUCCEEDED(rc)) << (statement.diagnostics().empty() ? "" : statement.diagnostics()[0].text);
    return statement.fetchAll();
}

}  // namespace standin::testing
