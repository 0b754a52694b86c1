// The stand-in's statement engine: runs one decoded batch for one session and
// describes what a SQL Server would answer, token by token, without knowing TDS.
#pragma once

#include "Collation.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace standin {

enum class SqlType {
    TinyInt,
    SmallInt,
    Int,
    BigInt,
    Bit,
    Real,
    Float,
    Decimal,
    Numeric,
    Money,
    SmallMoney,
    DateTime,
    SmallDateTime,
    Char,
    VarChar,
    NChar,
    NVarChar,
    Text,
    NText,
    UniqueIdentifier,
    SqlVariant,
    Timestamp
};

struct ColumnType {
    // The length of varchar(max) and nvarchar(max): 2^31-1 bytes, more than any value here holds.
    static constexpr int maxLength = 2147483647;

    SqlType type = SqlType::NVarChar;
    int length = 0;  // characters, for the char family (0 = default of the type; maxLength = (max))
    int precision = 0;  // decimal / numeric
    int scale = 0;
};

struct ResultColumn {
    std::string name;  // UTF-8
    ColumnType type;
    bool nullable = true;
    // The char family's collation, whose code page its values take on the wire (they stay UTF-8
    // here); nullopt: the server's.
    std::optional<Collation> collation = std::nullopt;
};

// A value in its canonical text form, UTF-8; nullopt is NULL.
//   integers and bit: decimal ("42", "-7", "1"); real/float: shortest round-trip text;
//   decimal/numeric/money: fixed point with the column's scale ("12.50", money 4 places);
//   datetime: "YYYY-MM-DD HH:MM:SS.mmm"; smalldatetime: "YYYY-MM-DD HH:MM:00.000";
//   uniqueidentifier: upper-case "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX";
//   timestamp: 16 upper-case hex digits; sql_variant: its base value as text.
using Value = std::optional<std::string>;

struct ResultSet {
    std::vector<ResultColumn> columns;
    std::vector<std::vector<Value>> rows;
};

// ERROR (severity >= 11) or INFO (severity <= 10) token.
struct Message {
    int32_t number = 0;
    uint8_t state = 1;
    uint8_t severity = 16;
    std::string text;       // UTF-8
    std::string procedure;  // empty outside a stored procedure
    int32_t line = 1;
};

inline Message makeMessage(int32_t number, uint8_t severity, std::string text, uint8_t state = 1) {
    Message m;
    m.number = number;
    m.state = state;
    m.severity = severity;
    m.text = std::move(text);
    return m;
}

struct DatabaseChanged {
    std::string newName;
    std::string oldName;
    std::optional<Collation> collation =
        std::nullopt;  // the new database's, when it differs from the old one's
};

struct ReturnStatus {
    int32_t value = 0;
};

// An output parameter of a remote procedure call, sent back after the call.
struct ReturnValue {
    uint16_t ordinal = 0;  // the parameter's place in the call, from 0
    std::string name;
    ColumnType type;
    Value value;
};

using Event = std::variant<Message, ResultSet, DatabaseChanged, ReturnStatus, ReturnValue>;

// One statement's reply: its events in wire order, then its DONE / DONEPROC.
struct StatementReply {
    std::vector<Event> events;
    bool error = false;                // DONE status 0x02
    std::optional<uint64_t> rowCount;  // DONE status 0x10 with this count
    bool procedure = false;            // DONEPROC instead of DONE
    bool inProcedure = false;          // DONEINPROC: a statement run by a remote call
};

// A parameter of a remote procedure call, its value in canonical text.
struct Parameter {
    std::string name;  // "@P1"; empty when passed by position
    ColumnType type;
    Value value;
    bool output = false;
};

struct CatalogOptions {
    std::vector<std::string> userDatabases;
    std::string dataDirectory;  // empty: every database in memory
    // A user database's collation by its name as in `userDatabases`; the others have the server's.
    std::map<std::string, std::string> collations = {};
    // What the documents of sp_xml_preparedocument may take together (see XmlMemory.h): by
    // default one eighth of a 2 GB server, the share the server's XML parser may use.
    std::size_t xmlMemoryBytes = std::size_t{256} << 20;
};

// The server's databases; shared by every session, safe to use from many threads.
class Catalog {
public:
    explicit Catalog(const CatalogOptions& options);
    ~Catalog();
    Catalog(const Catalog&) = delete;
    Catalog& operator=(const Catalog&) = delete;

    // Case-insensitive lookup, as under SQL_Latin1_General_CP1_CI_AS; returns the stored name.
    std::optional<std::string> findDatabase(const std::string& name) const;

    struct Impl;
    Impl& impl() { return *impl_; }

private:
    std::unique_ptr<Impl> impl_;
};

// One connection's state: its current database, variables of the running batch,
// prepared XML documents (which live until removed or the session ends).
class Session {
public:
    Session(Catalog& catalog, std::string database);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const std::string& database() const;
    // The current database's collation.
    const Collation& collation() const;

    // Runs a whole batch (UTF-8). Always returns at least one reply. Another thread may set
    // `cancel` (a client's attention): the running statement is then undone and the rest of the
    // batch skipped soon after, while an open transaction stays open.
    std::vector<StatementReply> executeBatch(const std::string& batch,
                                             const std::atomic<bool>* cancel = nullptr);
    // Runs a remote procedure call (sp_executesql, sp_prepare, sp_execute, sp_prepexec,
    // sp_unprepare, or a procedure by name). Always returns at least one reply; the last is
    // DONEPROC. `cancel` as for executeBatch.
    std::vector<StatementReply> executeRpc(const std::string& procedure,
                                           const std::vector<Parameter>& parameters,
                                           const std::atomic<bool>* cancel = nullptr);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace standin
