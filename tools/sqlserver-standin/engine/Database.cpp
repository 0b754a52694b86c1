#include "Database.h"

#include "Cancel.h"
#include "Messages.h"
#include "Text.h"
#include "Types.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace standin {
namespace {

std::string quote(const std::string& name) {
    std::string out = "\"";
    for (char c : name) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

class Statement {
public:
    Statement(sqlite3* db, const std::string& sql) {
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &s_, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }
    ~Statement() { sqlite3_finalize(s_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void bind(int index, const Value& v) {
        if (v)
            sqlite3_bind_text(s_, index, v->c_str(), static_cast<int>(v->size()), SQLITE_TRANSIENT);
        else
            sqlite3_bind_null(s_, index);
    }
    void bind(int index, long long v) { sqlite3_bind_int64(s_, index, v); }

    bool step() {
        const int rc = sqlite3_step(s_);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            throw std::runtime_error(sqlite3_errmsg(sqlite3_db_handle(s_)));
        return rc == SQLITE_ROW;
    }
    void reset() { sqlite3_reset(s_); }

    Value text(int column) const {
        const auto* t = sqlite3_column_text(s_, column);
        return t ? Value(reinterpret_cast<const char*>(t)) : std::nullopt;
    }
    long long integer(int column) const { return sqlite3_column_int64(s_, column); }
    int columns() const { return sqlite3_column_count(s_); }

private:
    sqlite3_stmt* s_ = nullptr;
};

}  // namespace

Database::Database(std::string name, const std::string& file, Collation collation)
    : name_(std::move(name)), collation_(std::move(collation)) {
    if (sqlite3_open(file.empty() ? ":memory:" : file.c_str(), &db_) != SQLITE_OK)
        throw std::runtime_error("cannot open " + file + ": " + sqlite3_errmsg(db_));
    exec(
        "CREATE TABLE IF NOT EXISTS standin_objects(name TEXT PRIMARY KEY, kind TEXT, base TEXT);"
        "CREATE TABLE IF NOT EXISTS standin_columns(object TEXT, ordinal INTEGER, name TEXT, "
        "type TEXT, length INTEGER, precision INTEGER, scale INTEGER, nullable INTEGER, source "
        "TEXT);"
        "CREATE TABLE IF NOT EXISTS standin_counter(value INTEGER);");
    addColumnRules();
    Statement count(db_, "SELECT COUNT(*) FROM standin_counter");
    count.step();
    if (count.integer(0) == 0) exec("INSERT INTO standin_counter VALUES (2000)");
}

// Identity, default and key columns came later: data files made before gain them here.
void Database::addColumnRules() {
    Statement has(
        db_,
        "SELECT COUNT(*) FROM pragma_table_info('standin_columns') WHERE name = 'primary_key'");
    has.step();
    if (has.integer(0) == 0)
        exec(
            "ALTER TABLE standin_columns ADD COLUMN identity_seed INTEGER;"
            "ALTER TABLE standin_columns ADD COLUMN identity_step INTEGER;"
            "ALTER TABLE standin_columns ADD COLUMN identity_last INTEGER;"
            "ALTER TABLE standin_columns ADD COLUMN default_value TEXT;"
            "ALTER TABLE standin_columns ADD COLUMN primary_key TEXT;");
}

Database::~Database() { sqlite3_close(db_); }

void Database::exec(const std::string& sql) const {
    char* error = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string text = error ? error : "SQLite error";
        sqlite3_free(error);
        throw std::runtime_error(text);
    }
}

std::vector<TableInfo> Database::objects() const {
    std::vector<TableInfo> out;
    Statement s(db_, "SELECT name, kind, base, rowid FROM standin_objects ORDER BY rowid");
    while (s.step())
        out.push_back({*s.text(0), *s.text(1) == "VIEW", s.text(2).value_or(""), {}, s.integer(3)});
    Statement c(db_,
                "SELECT name, type, length, precision, scale, nullable, source, identity_seed, "
                "identity_step, default_value, primary_key FROM standin_columns WHERE object = ?1 "
                "ORDER BY ordinal");
    for (TableInfo& t : out) {
        c.bind(1, Value(t.name));
        while (c.step()) {
            TableColumn col;
            col.name = *c.text(0);
            col.type.type = types::byName(*c.text(1)).value_or(SqlType::NVarChar);
            col.type.length = static_cast<int>(c.integer(2));
            col.type.precision = static_cast<int>(c.integer(3));
            col.type.scale = static_cast<int>(c.integer(4));
            col.nullable = c.integer(5) != 0;
            col.source = c.text(6).value_or("");
            if (c.text(7)) col.identity.emplace(c.integer(7), c.integer(8));
            col.defaultValue = c.text(9).value_or("");
            col.primaryKey = c.text(10).value_or("");
            t.columns.push_back(std::move(col));
        }
        c.reset();
    }
    return out;
}

std::optional<TableInfo> Database::find(const std::string& name) const {
    for (TableInfo& t : objects())
        if (text::equalNoCase(t.name, name)) return std::move(t);
    return std::nullopt;
}

void Database::checkNew(const std::string& name, const std::vector<TableColumn>& columns) const {
    if (find(name)) throw SqlError(msg::objectExists(name));
    for (std::size_t i = 0; i < columns.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (text::equalNoCase(columns[i].name, columns[j].name))
                throw SqlError(msg::duplicateColumn(columns[i].name, name));
    const auto isTimestamp = [](const TableColumn& c) { return c.type.type == SqlType::Timestamp; };
    const auto first = std::find_if(columns.begin(), columns.end(), isTimestamp);
    if (first != columns.end())
        if (const auto second = std::find_if(first + 1, columns.end(), isTimestamp);
            second != columns.end())
            throw SqlError(msg::oneTimestamp(name, second->name));
}

void Database::record(const std::string& name, const char* kind, const std::string& base,
                      const std::vector<TableColumn>& columns) {
    Statement o(db_, "INSERT INTO standin_objects VALUES (?1, ?2, ?3)");
    o.bind(1, Value(name));
    o.bind(2, Value(kind));
    o.bind(3, base.empty() ? Value() : Value(base));
    o.step();
    Statement c(
        db_,
        "INSERT INTO standin_columns (object, ordinal, name, type, length, precision, scale, "
        "nullable, source, identity_seed, identity_step, default_value, primary_key) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13)");
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const TableColumn& col = columns[i];
        c.bind(1, Value(name));
        c.bind(2, static_cast<long long>(i));
        c.bind(3, Value(col.name));
        c.bind(4, Value(types::name(col.type.type)));
        c.bind(5, col.type.length);
        c.bind(6, col.type.precision);
        c.bind(7, col.type.scale);
        c.bind(8, col.nullable ? 1LL : 0LL);
        c.bind(9, col.source.empty() ? Value() : Value(col.source));
        c.bind(10, col.identity ? Value(std::to_string(col.identity->first)) : Value());
        c.bind(11, col.identity ? Value(std::to_string(col.identity->second)) : Value());
        c.bind(12, col.defaultValue.empty() ? Value() : Value(col.defaultValue));
        c.bind(13, col.primaryKey.empty() ? Value() : Value(col.primaryKey));
        c.step();
        c.reset();
    }
}

void Database::createTable(const std::string& name, const std::vector<TableColumn>& columns) {
    checkNew(name, columns);
    std::string sql = "CREATE TABLE " + quote(name) + " (";
    for (std::size_t i = 0; i < columns.size(); ++i)
        sql += (i ? ", " : "") + quote(columns[i].name) + " TEXT";
    exec(sql + ")");
    record(name, "TABLE", {}, columns);
}

void Database::createView(const std::string& name, const std::string& base,
                          const std::vector<TableColumn>& columns) {
    checkNew(name, columns);
    record(name, "VIEW", base, columns);
}

void Database::drop(const TableInfo& object) {
    if (!object.view) exec("DROP TABLE " + quote(object.name));
    Statement o(db_, "DELETE FROM standin_objects WHERE name = ?1");
    o.bind(1, Value(object.name));
    o.step();
    Statement c(db_, "DELETE FROM standin_columns WHERE object = ?1");
    c.bind(1, Value(object.name));
    c.step();
}

std::vector<std::vector<Value>> Database::rows(const TableInfo& table) const {
    std::vector<std::vector<Value>> out;
    Statement s(db_, "SELECT * FROM " + quote(table.name) + " ORDER BY rowid");
    while (s.step()) {
        std::vector<Value> row;
        for (int i = 0; i < s.columns(); ++i) row.push_back(s.text(i));
        out.push_back(std::move(row));
    }
    return out;
}

void Database::insert(const TableInfo& table, const std::vector<std::vector<Value>>& rows) {
    std::string sql = "INSERT INTO " + quote(table.name) + " VALUES (";
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        sql += (i ? ", ?" : "?") + std::to_string(i + 1);
    Statement s(db_, sql + ")");
    for (const auto& row : rows) {
        cancel::check();
        for (std::size_t i = 0; i < row.size(); ++i) s.bind(static_cast<int>(i) + 1, row[i]);
        s.step();
        s.reset();
    }
}

std::string Database::nextTimestamp() {
    exec("UPDATE standin_counter SET value = value + 1");
    Statement s(db_, "SELECT value FROM standin_counter");
    s.step();
    char buf[24];
    std::snprintf(buf, sizeof buf, "%016llX", static_cast<unsigned long long>(s.integer(0)));
    return buf;
}

long long Database::nextIdentity(const TableInfo& table, std::size_t column) {
    Statement next(
        db_,
        "UPDATE standin_columns SET identity_last = COALESCE(identity_last + identity_step, "
        "identity_seed) WHERE object = ?1 AND ordinal = ?2 RETURNING identity_last");
    next.bind(1, Value(table.name));
    next.bind(2, static_cast<long long>(column));
    next.step();
    return next.integer(0);
}

void Database::replaceRows(const TableInfo& table, const std::vector<std::vector<Value>>& rows) {
    exec("DELETE FROM " + quote(table.name));
    insert(table, rows);
}

void Database::begin() { exec("SAVEPOINT statement"); }

void Database::commit() { exec("RELEASE statement"); }

void Database::rollback() { exec("ROLLBACK TO statement; RELEASE statement"); }

void Database::beginTransaction() { exec("BEGIN"); }

void Database::endTransaction(bool commit) { exec(commit ? "COMMIT" : "ROLLBACK"); }

void Database::acquire(const void* owner) {
    std::unique_lock lock(mutex_);
    // A session waiting for another's transaction can still be cancelled by its client.
    while (!released_.wait_for(lock, std::chrono::milliseconds(50),
                               [&] { return owner_ == nullptr || owner_ == owner; }))
        cancel::check();
    owner_ = owner;
    ++holds_;
}

void Database::release() {
    std::lock_guard lock(mutex_);
    if (--holds_ == 0) {
        owner_ = nullptr;
        released_.notify_all();
    }
}

Database::Hold::Hold(Database& d, const void* owner) : d_(d) { d_.acquire(owner); }

Database::Hold::~Hold() { d_.release(); }

}  // namespace standin
