// One database: its tables and views kept in SQLite, with each column's declared T-SQL type.
#pragma once

#include "Collation.h"
#include "Engine.h"

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
};

// Not locked itself: a session holds mutex() for the whole of each statement.
class Database {
public:
    // An empty `file` keeps the database in memory.
    Database(std::string name, const std::string& file, Collation collation = serverCollation());
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    const std::string& name() const { return name_; }
    const Collation& collation() const { return collation_; }
    std::mutex& mutex() { return mutex_; }

    std::optional<TableInfo> find(const std::string& name) const;  // case-insensitive
    std::vector<TableInfo> objects() const;

    // Throw SqlError 2714 for a name in use, 2705 for a repeated column.
    void createTable(const std::string& name, const std::vector<TableColumn>& columns);
    void createView(const std::string& name, const std::string& base, const std::vector<TableColumn>& columns);
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

    // One statement's changes stand or fall together.
    void begin();
    void commit();
    void rollback();

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
};

}  // namespace standin
