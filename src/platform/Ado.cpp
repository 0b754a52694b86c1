#include "platform/Ado.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <algorithm>
#include <array>

#include "platform/OdbcConnectionString.h"
#include "platform/OdbcDiagnostics.h"

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t));

namespace platform {

namespace {

// A silent server must not hang the window for ever; statements have no time limit.
constexpr SQLULEN kLoginTimeoutSeconds = 15;

// The driver manager takes statement texts as non-const and never writes to them.
SQLWCHAR* Wide(const QString& text) {
    return const_cast<SQLWCHAR*>(reinterpret_cast<const SQLWCHAR*>(text.utf16()));
}
SQLWCHAR* Wide(char16_t* text) { return reinterpret_cast<SQLWCHAR*>(text); }

QString FromWide(const SQLWCHAR* text, qsizetype length) {
    return QString::fromUtf16(reinterpret_cast<const char16_t*>(text), length);
}

std::vector<DiagRecord> DiagRecords(SQLSMALLINT type, SQLHANDLE handle) {
    std::vector<DiagRecord> records;
    for (SQLSMALLINT i = 1;; ++i) {
        std::array<SQLWCHAR, 6> state{};
        SQLINTEGER native = 0;
        std::vector<SQLWCHAR> text(SQL_MAX_MESSAGE_LENGTH);
        SQLSMALLINT length = 0;
        SQLRETURN rc = SQLGetDiagRecW(type, handle, i, state.data(), &native, text.data(),
                                      static_cast<SQLSMALLINT>(text.size()), &length);
        if (rc == SQL_SUCCESS_WITH_INFO && length >= static_cast<SQLSMALLINT>(text.size())) {
            text.resize(static_cast<size_t>(length) + 1);
            rc = SQLGetDiagRecW(type, handle, i, state.data(), &native, text.data(),
                                static_cast<SQLSMALLINT>(text.size()), &length);
        }
        if (!SQL_SUCCEEDED(rc)) break;
        records.push_back({FromWide(state.data(), 5),
                           FromWide(text.data(), std::min<qsizetype>(length, text.size() - 1))});
    }
    return records;
}

// ADO's own texts for calls made out of turn.
constexpr char kObjectOpen[] = "Operation is not allowed when the object is open";
constexpr char kObjectClosed[] = "Operation is not allowed when the object is closed";
constexpr char kNoCurrentRecord[] =
    "Either BOF or EOF is True, or the current record has been deleted. Requested operation "
    "requires a current record";

[[noreturn]] void Refuse(const char* text) { throw AdoError(QString::fromLatin1(text)); }

// For a call that left no text at all: what failed.
QString PlainFailure(SQLSMALLINT type) {
    switch (type) {
        case SQL_HANDLE_ENV:
            return QStringLiteral("The ODBC driver manager failed and gave no reason");
        case SQL_HANDLE_DBC:
            return QStringLiteral("The connection to the server failed and gave no reason");
        default:
            return QStringLiteral(
                "The statement failed, and neither the server nor the driver "
                "gave a reason");
    }
}

bool LinkLost(SQLHDBC connection) {
    SQLUINTEGER dead = SQL_CD_FALSE;
    return SQL_SUCCEEDED(
               SQLGetConnectAttr(connection, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) &&
           dead == SQL_CD_TRUE;
}

// link: the connection a statement ran on, asked whether it died under the call.
[[noreturn]] void Fail(SQLSMALLINT type, SQLHANDLE handle, SQLHDBC link = SQL_NULL_HDBC) {
    const std::vector<DiagRecord> records =
        handle ? DiagRecords(type, handle) : std::vector<DiagRecord>{};
    QString text = link && LinkLost(link) ? LostLinkText(records) : FailureText(records);
    if (text.isEmpty()) text = PlainFailure(type);
    throw AdoError(text);
}

// Passes success, information and the end of data; throws on an error, also one that a
// driver reports beside information.
void Check(SQLRETURN rc, SQLSMALLINT type, SQLHANDLE handle, SQLHDBC link = SQL_NULL_HDBC) {
    if (rc == SQL_SUCCESS || rc == SQL_NO_DATA) return;
    if (rc == SQL_SUCCESS_WITH_INFO) {
        const std::vector<DiagRecord> records = DiagRecords(type, handle);
        const bool failed = std::any_of(records.begin(), records.end(), [](const auto& record) {
            return IsErrorState(record.state);
        });
        if (!failed) return;
    }
    Fail(type, handle, link);
}

// The driver manager's environment, one for the run.
SQLHENV Environment() {
    struct Owner {
        SQLHENV handle = SQL_NULL_HENV;
        Owner() {
            if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &handle))) {
                throw AdoError(QStringLiteral("The ODBC driver manager cannot be loaded"));
            }
            const SQLRETURN rc = SQLSetEnvAttr(handle, SQL_ATTR_ODBC_VERSION,
                                               reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
            if (!SQL_SUCCEEDED(rc)) {
                SQLFreeHandle(SQL_HANDLE_ENV, handle);
                Fail(SQL_HANDLE_ENV, SQL_NULL_HANDLE);
            }
        }
        ~Owner() { SQLFreeHandle(SQL_HANDLE_ENV, handle); }
    };
    static const Owner owner;
    return owner.handle;
}

QStringList InstalledDrivers() {
    QStringList drivers;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        std::array<SQLWCHAR, 256> name{};
        std::array<SQLWCHAR, 1024> attributes{};
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT attributesLength = 0;
        const SQLRETURN rc =
            SQLDriversW(Environment(), direction, name.data(),
                        static_cast<SQLSMALLINT>(name.size()), &nameLength, attributes.data(),
                        static_cast<SQLSMALLINT>(attributes.size()), &attributesLength);
        if (!SQL_SUCCEEDED(rc)) break;
        drivers << FromWide(name.data(), std::min<qsizetype>(nameLength, name.size() - 1));
        direction = SQL_FETCH_NEXT;
    }
    return drivers;
}

// Overwrites the buffer however the scope is left; volatile keeps the stores from being dropped.
class Wiped final {
public:
    explicit Wiped(std::u16string& text) : text_(text) {}
    ~Wiped() {
        text_.resize(text_.capacity());
        volatile char16_t* data = text_.data();
        for (size_t i = 0; i < text_.size(); ++i) data[i] = 0;
    }
    Wiped(const Wiped&) = delete;
    Wiped& operator=(const Wiped&) = delete;

private:
    std::u16string& text_;
};

class Statement final {
public:
    explicit Statement(SQLHDBC connection) : connection_(connection) {
        if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, connection, &handle_))) {
            Fail(SQL_HANDLE_DBC, connection, connection);
        }
    }
    ~Statement() { SQLFreeHandle(SQL_HANDLE_STMT, handle_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    SQLHSTMT Handle() const { return handle_; }
    void Check(SQLRETURN rc) const { platform::Check(rc, SQL_HANDLE_STMT, handle_, connection_); }

private:
    SQLHDBC connection_;
    SQLHSTMT handle_ = SQL_NULL_HSTMT;
};

QStringList ColumnNames(const Statement& statement, SQLSMALLINT count) {
    QStringList names;
    for (SQLUSMALLINT column = 1; column <= count; ++column) {
        std::array<SQLWCHAR, 256> name{};
        SQLSMALLINT length = 0;
        statement.Check(SQLColAttributeW(statement.Handle(), column, SQL_DESC_NAME, name.data(),
                                         sizeof(name), &length, nullptr));
        const qsizetype characters = length / static_cast<qsizetype>(sizeof(SQLWCHAR));
        names << FromWide(name.data(), std::min<qsizetype>(characters, name.size() - 1));
    }
    return names;
}

// Text of any length, in pieces; a null QVariant for NULL.
QVariant ColumnValue(const Statement& statement, SQLUSMALLINT column) {
    std::u16string value;
    std::array<SQLWCHAR, 1024> buffer{};
    constexpr SQLLEN kRoom = static_cast<SQLLEN>(sizeof(buffer) - sizeof(SQLWCHAR));
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(statement.Handle(), column, SQL_C_WCHAR, buffer.data(),
                                        sizeof(buffer), &indicator);
        if (rc == SQL_NO_DATA) break;
        statement.Check(rc);
        if (indicator == SQL_NULL_DATA) return {};
        const bool more = indicator == SQL_NO_TOTAL || indicator > kRoom;
        const SQLLEN bytes = more ? kRoom : indicator;
        value.append(reinterpret_cast<const char16_t*>(buffer.data()),
                     static_cast<size_t>(bytes) / sizeof(SQLWCHAR));
        if (!more) break;
    }
    return QString::fromStdU16String(value);
}

std::vector<std::vector<QVariant>> Rows(const Statement& statement, SQLSMALLINT columns) {
    std::vector<std::vector<QVariant>> rows;
    for (;;) {
        const SQLRETURN rc = SQLFetch(statement.Handle());
        if (rc == SQL_NO_DATA) break;
        statement.Check(rc);
        std::vector<QVariant>& row = rows.emplace_back();
        for (SQLUSMALLINT column = 1; column <= columns; ++column) {
            row.push_back(ColumnValue(statement, column));
        }
    }
    return rows;
}

// The count a statement without a result set reported; 0 when it reported none.
qint64 AffectedRows(const Statement& statement) {
    SQLLEN count = -1;
    statement.Check(SQLRowCount(statement.Handle(), &count));
    return std::max<SQLLEN>(count, 0);
}

}  // namespace

// The statement a cancellation stops while a batch runs on it.
class Connection::Attached final {
public:
    Attached(Cancellation* cancellation, SQLHSTMT statement, qsizetype bytes)
        : cancellation_(cancellation), statement_(statement) {
        if (cancellation_) cancellation_->Attach(statement, bytes);
    }
    // A cancellation that came as the batch ended may have sent an attention that nothing
    // has read the answer to yet; cancelling again on this thread reads it, so that the
    // next batch does not meet it.
    ~Attached() {
        if (!cancellation_) return;
        cancellation_->Detach();
        if (cancellation_->Cancelled()) SQLCancel(statement_);
    }
    Attached(const Attached&) = delete;
    Attached& operator=(const Attached&) = delete;

private:
    Cancellation* cancellation_;
    SQLHSTMT statement_;
};

AdoError::AdoError(const QString& text) : std::runtime_error(text.toUtf8().toStdString()) {}

Connection::Connection() {
    SQLHDBC handle = SQL_NULL_HDBC;
    const SQLHENV environment = Environment();
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_DBC, environment, &handle))) {
        Fail(SQL_HANDLE_ENV, environment);
    }
    handle_ = handle;
}

Connection::~Connection() {
    if (open_) SQLDisconnect(handle_);
    SQLFreeHandle(SQL_HANDLE_DBC, handle_);
}

void Connection::Close() {
    if (!open_) return;
    Check(SQLDisconnect(handle_), SQL_HANDLE_DBC, handle_);
    open_ = false;
}

void Connection::Open(const QString& connectionString, const QString& user,
                      const QString& password) {
    if (open_) Refuse(kObjectOpen);
    const std::optional<ProviderSettings> settings = ParseProviderString(connectionString, user);
    const std::optional<OdbcDriver> driver =
        settings ? ChooseDriver(InstalledDrivers()) : std::nullopt;
    if (!driver) {
        throw AdoError(
            QStringLiteral("Provider cannot be found. It may not be properly installed"));
    }
    std::u16string odbc = OdbcConnectionString(*driver, *settings, user).value_or(u"");
    const Wiped wiped(odbc);
    if (odbc.empty() ||
        (!settings->integratedSecurity && !AppendPassword(odbc, driver->kind, password))) {
        throw AdoError(
            QStringLiteral("The server, user name or password holds \"};\", which the ") +
            driver->name + QStringLiteral(" driver cannot be given"));
    }

    Check(SQLSetConnectAttr(handle_, SQL_ATTR_LOGIN_TIMEOUT,
                            reinterpret_cast<SQLPOINTER>(kLoginTimeoutSeconds), 0),
          SQL_HANDLE_DBC, handle_);
    const SQLRETURN rc = SQLDriverConnectW(handle_, nullptr, Wide(odbc.data()), SQL_NTS, nullptr, 0,
                                           nullptr, SQL_DRIVER_NOPROMPT);
    Check(rc, SQL_HANDLE_DBC, handle_);
    open_ = true;
}

void Connection::Execute(const QString& sql, BatchResult& result, Cancellation* cancellation) {
    if (!open_) Refuse(kObjectClosed);
    const Statement statement(handle_);
    const Attached attached(cancellation, statement.Handle(), 2 * sql.size());
    // SQL_NO_DATA from the first statement (nothing affected) still leaves later results.
    SQLRETURN rc = SQLExecDirectW(statement.Handle(), Wide(sql), SQL_NTS);
    statement.Check(rc);
    for (bool haveRows = false;;) {
        if (rc != SQL_NO_DATA) {
            SQLSMALLINT columns = 0;
            statement.Check(SQLNumResultCols(statement.Handle(), &columns));
            if (columns == 0) {
                result.rowsAffected += AffectedRows(statement);
            } else if (!haveRows) {
                result.columns = ColumnNames(statement, columns);
                result.rows = Rows(statement, columns);
                haveRows = true;
            }
        }
        rc = SQLMoreResults(statement.Handle());
        if (rc == SQL_NO_DATA) break;
        statement.Check(rc);  // later result sets are read for their errors only
    }
}

int Connection::PacketSize() const {
    SQLUINTEGER size = 0;
    const SQLRETURN rc = SQLGetConnectAttr(handle_, SQL_ATTR_PACKET_SIZE, &size, 0, nullptr);
    return SQL_SUCCEEDED(rc) && size > 0 ? static_cast<int>(size) : 4096;
}

bool Connection::Lost() const { return open_ && handle_ && LinkLost(handle_); }

void Cancellation::Cancel() {
    const std::lock_guard lock(mutex_);
    cancelled_ = true;
    SendWhenDue();
}

bool Cancellation::Cancelled() const {
    const std::lock_guard lock(mutex_);
    return cancelled_;
}

void Cancellation::Poll() {
    const std::lock_guard lock(mutex_);
    SendWhenDue();
}

void Cancellation::SendWhenDue() {
    if (!cancelled_ || !statement_ || sent_ || std::chrono::steady_clock::now() < written_) return;
    SQLCancel(statement_);
    sent_ = true;
}

void Cancellation::Attach(void* statement, qsizetype bytes) {
    // Writing is taken to go at 4 MB a second at the least, and to take a second at the most
    // for anything smaller.
    constexpr qsizetype BytesPerSecond = 4 << 20;
    const std::lock_guard lock(mutex_);
    if (cancelled_) throw AdoError(QStringLiteral("Operation canceled"));
    statement_ = statement;
    sent_ = false;
    written_ = std::chrono::steady_clock::now() + std::chrono::seconds(1) +
               std::chrono::milliseconds(1000 * bytes / BytesPerSecond);
}

void Cancellation::Detach() {
    const std::lock_guard lock(mutex_);
    statement_ = nullptr;
}

void Recordset::Close() {
    open_ = false;
    result_ = {};
    current_ = 0;
}

void Recordset::Open(const QString& sql, Connection& connection) {
    if (open_) Refuse(kObjectOpen);
    BatchResult result;
    connection.Execute(sql, result);
    result_ = std::move(result);
    current_ = 0;
    open_ = true;
}

bool Recordset::Eof() const { return current_ >= result_.rows.size(); }

QVariant Recordset::Field(const QString& name) const {
    if (!open_) Refuse(kObjectClosed);
    const QStringList& columns = result_.columns;
    const auto column = std::find_if(columns.begin(), columns.end(), [&](const QString& c) {
        return c.compare(name, Qt::CaseInsensitive) == 0;
    });
    if (column == columns.end()) {
        throw AdoError(QStringLiteral(
            "Item cannot be found in the collection corresponding to the requested name or "
            "ordinal"));
    }
    if (Eof()) {
        Refuse(kNoCurrentRecord);
    }
    return result_.rows[current_][static_cast<size_t>(column - columns.begin())];
}

void Recordset::MoveNext() {
    if (Eof()) {
        Refuse(kNoCurrentRecord);
    }
    ++current_;
}

}  // namespace platform
