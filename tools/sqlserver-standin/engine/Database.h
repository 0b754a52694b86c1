// One database: its tables and views kept in SQLite, with each column's declared T-SQL type.
#pragma once

#include "Collation.h"
#include "Engine.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct sqlite3;

namespace standin {

struct TableColumn {
    TableColumn() = default;
    TableColumn(std::string n, ColumnType t, bool null = true, std::string from = {})
        : name(std::move(n)), type(t), nullable(null), source(std::move(from)) {}
    std::string name;
    ColumnType type;
    bool nullable = true;
    std::string source;  // a view's column: the base table's column it shows
    std::optional<std::pair<long long, long long>> identity;  // seed and step
    std::string defaultValue;                                 // a T-SQL expression; empty: none
    std::string primaryKey;  // the key's constraint name on the columns it covers
};

struct TableInfo {
    std::string name;
    bool view = false;
    std::string base;  // a view's table
    std::vector<TableColumn> columns;
    long long id = 0;  // OBJECT_ID's answer
};

// Not locked itself: a session holds it (Hold) for the whole of each statement, and for the whole
// of a transaction that touched it, as the server's locks keep other sessions out.
class Database {
public:
    // An empty `file` keeps the database in memory.
    Database(std::string name, const std::string& file, Collation collation = serverCollation());
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const std::string& name() const { return name_; }
    const Collation& collation() const { return collation_; }

    // The database held by one session (`owner`) at a time; the owner may take it again.
    class Hold {
    public:
        Hold(Database& d, const void* owner);
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        Database& d_;
    };
    void acquire(const void* owner);
    void release();

    std::optional<TableInfo> find(const std::string& name) const;  // case-insensitive
    std::vector<TableInfo> objects() const;

    // Throw SqlError 2714 for a name in use, 2705 for a repeated column.
    void createTable(const std::string& name, const std::vector<TableColumn>& columns);
    void createView(const std::string& name, const std::string& base,
                    const std::vector<TableColumn>& columns);
    void drop(const TableInfo& object);

    // Rows of a table (not a view), every column, in insertion order.
    std::vector<std::vector<Value>> rows(const TableInfo& table) const;
    void insert(const TableInfo& table, const std::vector<std::vector<Value>>& rows);

    // The next row version of the database, 16 hex digits.
    std::string nextTimestamp();
    // The next value of a table's identity column, counted from its seed by its step.
    long long nextIdentity(const TableInfo& table, std::size_t column);
    // Replaces every row of a table.
    void replaceRows(const TableInfo& table, const std::vector<std::vector<Value>>& rows);

    // One statement's changes stand or fall together, inside a transaction too.
    void begin();
    void commit();
    void rollback();
    // A transaction across statements.
    void beginTransaction();
    void endTransaction(bool commit);

private:
    void exec(const std::string& sql) const;
    void addColumnRules();
    void checkNew(const std::string& name, const std::vector<TableColumn>& columns) const;
    void record(const std::string& name, const char* kind, const std::string& base,
                const std::vector<TableColumn>& columns);

    std::string name_;
    Collation collation_;
    sqlite3* db_ = nullptr;
    std::mutex mutex_;
    std::condition_variable released_;
    const void* owner_ = nullptr;
    int holds_ = 0;
};

}  // namespace standin
