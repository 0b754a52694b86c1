// SELECT, INSERT, CREATE and DROP on the session's current database.
#include "Cancel.h"
#include "Messages.h"
#include "SessionState.h"
#include "Text.h"
#include "Types.h"

#include "Parser.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <utility>

namespace standin {
namespace {

struct Rowset {
    std::vector<TableColumn> columns;
    std::vector<std::vector<Value>> rows;
};

// A table or view by name: the table that holds the rows, and the visible columns' places in it.
struct Target {
    TableInfo table;
    std::vector<TableColumn> visible;
    std::vector<std::size_t> place;
};

std::size_t columnIndex(const std::vector<TableColumn>& columns, const std::string& name) {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (text::equalNoCase(columns[i].name, name)) return i;
    throw SqlError(msg::invalidColumn(name));
}

Target resolve(const SessionState& s, const std::string& name) {
    auto object = s.database->find(name);
    if (!object) throw SqlError(msg::invalidObject(name));
    Target t;
    if (!object->view) {
        t.table = std::move(*object);
        t.visible = t.table.columns;
        for (std::size_t i = 0; i < t.visible.size(); ++i) t.place.push_back(i);
        return t;
    }
    auto base = s.database->find(object->base);
    if (!base || base->view) throw SqlError(msg::invalidObject(object->base));
    t.table = std::move(*base);
    for (TableColumn c : object->columns) {
        const std::size_t i = columnIndex(t.table.columns, c.source);
        c.type = t.table.columns[i].type;
        c.nullable = t.table.columns[i].nullable;
        t.visible.push_back(std::move(c));
        t.place.push_back(i);
    }
    return t;
}

Rowset tableRows(const SessionState& s, const std::string& name) {
    const Target t = resolve(s, name);
    Rowset r{t.visible, {}};
    for (auto& stored : s.database->rows(t.table)) {
        std::vector<Value> row;
        for (std::size_t i : t.place) row.push_back(stored[i]);
        r.rows.push_back(std::move(row));
    }
    return r;
}

// OPENXML's values arrive as Unicode text and convert to the WITH types; like the server's
// other conversions, a value longer than its type is cut.
Rowset openXmlRows(const SessionState& s, const ast::OpenXml& o) {
    const Scalar handle = s.evaluate(ast::Expr{{o.handle}});
    const long long h = integerOf(handle).value_or(0);
    const auto doc = s.documents.find(h);
    if (doc == s.documents.end()) throw SqlError(msg::handleMissing(h));
    Rowset r;
    for (const auto& c : o.columns) r.columns.push_back({c.name, c.type, true, {}});
    const ColumnType source{SqlType::NVarChar, 4000, 0, 0};
    // Patterns are nvarchar: one written as a varchar literal passes through the code page first.
    std::vector<ast::ColumnSpec> columns = o.columns;
    for (auto& c : columns)
        if (c.pattern && c.varcharPattern) c.pattern = text::keepCodePage(*c.pattern);
    const std::string rowPattern =
        o.varcharRowPattern ? text::keepCodePage(o.rowPattern) : o.rowPattern;
    for (auto& raw : doc->second.document->rows(rowPattern, o.flags, columns)) {
        cancel::check();
        for (std::size_t i = 0; i < raw.size(); ++i)
            raw[i] = r.columns[i].type.type == SqlType::Timestamp
                         ? std::nullopt
                         : types::convert(raw[i], source, r.columns[i].type, true);
        r.rows.push_back(std::move(raw));
    }
    return r;
}

// Whether each row meets the condition (every row without one).
std::vector<bool> matches(const SessionState& s, const ast::Where& where,
                          const std::vector<TableColumn>& columns,
                          const std::vector<std::vector<Value>>& rows) {
    if (!where) return std::vector<bool>(rows.size(), true);
    const std::size_t i = columnIndex(columns, where->first);
    const Scalar wanted = s.evaluate(where->second);
    const Value v = types::convert(wanted.value, wanted.type, columns[i].type, true);
    std::vector<bool> out;
    for (const auto& row : rows)
        out.push_back(v && row[i] && types::compare(row[i], v, columns[i].type) == 0);
    return out;
}

void filter(const SessionState& s, const ast::Select& sel, Rowset& r) {
    const std::vector<bool> keep = matches(s, sel.where, r.columns, r.rows);
    std::size_t k = 0;
    std::erase_if(r.rows, [&](const auto&) { return !keep[k++]; });
}

void order(const ast::Select& sel, Rowset& r) {
    std::vector<std::pair<std::size_t, bool>> keys;
    for (const auto& o : sel.orderBy)
        keys.emplace_back(columnIndex(r.columns, o.column), o.descending);
    std::stable_sort(r.rows.begin(), r.rows.end(), [&](const auto& a, const auto& b) {
        for (const auto& [i, descending] : keys) {
            const int c = types::compare(a[i], b[i], r.columns[i].type);
            if (c != 0) return descending ? c > 0 : c < 0;
        }
        return false;
    });
}

// The select list over the source rows.
Rowset project(const SessionState& s, const ast::Select& sel, Rowset in, bool hasSource) {
    Rowset out;
    std::vector<std::optional<std::size_t>> from;
    std::vector<Scalar> constants;
    const bool counting =
        std::any_of(sel.items.begin(), sel.items.end(), [](const auto& i) { return i.countAll; });
    for (const auto& item : sel.items) {
        if (item.countAll) {
            out.columns.push_back({item.alias, ColumnType{SqlType::Int}, true, {}});
            from.emplace_back();
            constants.push_back({ColumnType{SqlType::Int}, std::to_string(in.rows.size())});
            continue;
        }
        if (counting && (item.star || item.column))
            throw SqlError(
                makeMessage(8120, 16,
                            "Column '" + (item.column ? *item.column : std::string("*")) +
                                "' is invalid in the select list because it is not contained in "
                                "either an aggregate function or the GROUP BY clause."));
        if (item.star) {
            if (!hasSource)
                throw SqlError(makeMessage(263, 16, "Must specify table to select from."));
            for (std::size_t i = 0; i < in.columns.size(); ++i) {
                out.columns.push_back(in.columns[i]);
                from.emplace_back(i);
                constants.emplace_back();
            }
            continue;
        }
        if (item.column) {
            if (!hasSource) throw SqlError(msg::invalidColumn(*item.column));
            const std::size_t i = columnIndex(in.columns, *item.column);
            TableColumn c = in.columns[i];
            c.name = item.alias.empty() ? c.name : item.alias;
            out.columns.push_back(c);
            from.emplace_back(i);
            constants.emplace_back();
            continue;
        }
        Scalar v = s.evaluate(item.value);
        out.columns.push_back({item.alias, v.type, !v.value.has_value(), {}});
        from.emplace_back();
        constants.push_back(std::move(v));
    }
    if (counting) in.rows.assign(1, {});
    for (const auto& row : in.rows) {
        std::vector<Value> values;
        for (std::size_t k = 0; k < from.size(); ++k)
            values.push_back(from[k] ? row[*from[k]] : constants[k].value);
        out.rows.push_back(std::move(values));
    }
    return out;
}

Rowset evaluateSelect(const SessionState& s, const ast::Select& sel) {
    Rowset in;
    const bool hasSource = sel.openXml || sel.table;
    if (sel.openXml)
        in = openXmlRows(s, *sel.openXml);
    else if (sel.table)
        in = tableRows(s, *sel.table);
    else
        in.rows.emplace_back();
    filter(s, sel, in);
    order(sel, in);
    return project(s, sel, std::move(in), hasSource);
}

std::string qualified(const SessionState& s, const std::string& table) {
    return s.database->name() + ".dbo." + table;
}

// A value converted to its column's type; one too long names the table, column and kept part.
Value stored(const SessionState& s, const TableInfo& table, std::size_t column,
             const Scalar& value) {
    const ColumnType& type = table.columns[column].type;
    try {
        return types::convert(value.value, value.type, type);
    } catch (const SqlError& e) {
        if (e.messages.front().number != msg::truncated().number) throw;
        const Value kept = types::convert(value.value, value.type, type, true);
        throw SqlError(
            msg::truncatedIn(qualified(s, table.name), table.columns[column].name, *kept));
    }
}

// What a column holds when the statement gives it no value (or DEFAULT).
Value generated(SessionState& s, const TableInfo& table, std::size_t i) {
    const TableColumn& c = table.columns[i];
    if (c.type.type == SqlType::Timestamp) return s.database->nextTimestamp();
    if (c.identity) {
        s.lastIdentity = std::to_string(s.database->nextIdentity(table, i));
        return s.lastIdentity;
    }
    if (c.defaultValue.empty()) return std::nullopt;
    const Scalar v = s.evaluate(parseExpression(c.defaultValue));
    return stored(s, table, i, v);
}

void checkNulls(const SessionState& s, const TableInfo& table, const std::vector<Value>& row,
                const char* verb) {
    for (std::size_t i = 0; i < row.size(); ++i)
        if (!row[i] && !table.columns[i].nullable)
            throw SqlError(
                msg::nullNotAllowed(table.columns[i].name, qualified(s, table.name), verb));
}

// Every column of the table for one new row; a missing value (nullopt) is the column's default.
std::vector<Value> fullRow(SessionState& s, const TableInfo& table,
                           const std::vector<std::size_t>& targets,
                           const std::vector<std::optional<Scalar>>& values) {
    std::vector<std::optional<Value>> given(table.columns.size());
    for (std::size_t k = 0; k < targets.size(); ++k) {
        const TableColumn& c = table.columns[targets[k]];
        if (values[k] && c.type.type == SqlType::Timestamp) throw SqlError(msg::timestampValue());
        if (values[k] && c.identity) throw SqlError(msg::identityValue(table.name));
        if (values[k]) given[targets[k]] = stored(s, table, targets[k], *values[k]);
    }
    std::vector<Value> row(table.columns.size());
    for (std::size_t i = 0; i < row.size(); ++i)
        row[i] = given[i] ? *given[i] : generated(s, table, i);
    checkNulls(s, table, row, "INSERT");
    return row;
}

// A primary key refuses a value it already holds.
void checkKey(const TableInfo& table, const std::vector<std::vector<Value>>& rows) {
    std::vector<std::size_t> key;
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        if (!table.columns[i].primaryKey.empty()) key.push_back(i);
    if (key.empty()) return;
    const auto less = [&](const std::vector<Value>* a, const std::vector<Value>* b) {
        for (std::size_t i : key)
            if (const int c = types::compare((*a)[i], (*b)[i], table.columns[i].type); c != 0)
                return c < 0;
        return false;
    };
    std::vector<const std::vector<Value>*> sorted;
    for (const auto& row : rows) sorted.push_back(&row);
    std::stable_sort(sorted.begin(), sorted.end(), less);
    for (std::size_t r = 1; r < sorted.size(); ++r) {
        if (less(sorted[r - 1], sorted[r])) continue;
        std::string shown;
        for (std::size_t i : key)
            shown +=
                (shown.empty() ? "" : ", ") + text::trimRight((*sorted[r])[i].value_or("<NULL>"));
        throw SqlError(
            msg::duplicateKey(table.columns[key[0]].primaryKey, "dbo." + table.name, shown));
    }
}

// Rows added to a table, checked against its key together with the rows it had.
void append(SessionState& s, const TableInfo& table, const std::vector<std::vector<Value>>& rows) {
    if (std::any_of(table.columns.begin(), table.columns.end(),
                    [](const auto& c) { return !c.primaryKey.empty(); })) {
        std::vector<std::vector<Value>> all = s.database->rows(table);
        all.insert(all.end(), rows.begin(), rows.end());
        checkKey(table, all);
    }
    s.database->insert(table, rows);
}

// One identity column a table, of a whole-number type.
void checkIdentity(const ast::CreateTable& create, const std::vector<TableColumn>& columns) {
    bool seen = false;
    for (const TableColumn& c : columns) {
        if (!c.identity) continue;
        if (std::exchange(seen, true))
            throw SqlError(makeMessage(2744, 16,
                                       "Multiple identity columns specified for table '" +
                                           create.name +
                                           "'. Only one identity column per table is allowed."));
        const SqlType t = c.type.type;
        const bool whole = t == SqlType::TinyInt || t == SqlType::SmallInt || t == SqlType::Int ||
                           t == SqlType::BigInt ||
                           ((t == SqlType::Decimal || t == SqlType::Numeric) && c.type.scale == 0);
        if (!whole)
            throw SqlError(makeMessage(
                2749, 16,
                "Identity column '" + c.name +
                    "' must be of data type int, bigint, smallint, tinyint, or decimal or "
                    "numeric with a scale of 0, and constrained to be nonnullable."));
    }
}

// The server names an unnamed key PK__<table>__<16 hex digits>; ours come from the name.
std::string generatedKeyName(const std::string& table) {
    char hex[20];
    std::snprintf(hex, sizeof hex, "%016llX",
                  static_cast<unsigned long long>(std::hash<std::string>{}(table)));
    return "PK__" + table.substr(0, 8) + "__" + hex;
}

template <typename Work>
auto atomically(Database& db, Work work) {
    db.begin();
    try {
        auto result = work();
        db.commit();
        return result;
    } catch (...) {
        db.rollback();
        throw;
    }
}

// Without a column list every column counts by position, the identity column excepted.
std::vector<std::size_t> insertTargets(const Target& t, const ast::Insert& ins) {
    std::vector<std::size_t> targets;
    if (ins.columns.empty()) {
        for (std::size_t i = 0; i < t.visible.size(); ++i)
            if (!t.table.columns[t.place[i]].identity) targets.push_back(t.place[i]);
        return targets;
    }
    for (const std::string& name : ins.columns)
        targets.push_back(t.place[columnIndex(t.visible, name)]);
    return targets;
}

Message valueCountMismatch(const ast::Insert& ins, std::size_t values, std::size_t targets) {
    if (ins.columns.empty()) return msg::columnCount();
    if (values > targets)
        return makeMessage(
            110, 15,
            "There are fewer columns in the INSERT statement than values specified in the "
            "VALUES clause. The number of values in the VALUES clause must match the number "
            "of columns specified in the INSERT statement.");
    return makeMessage(
        109, 15,
        "There are more columns in the INSERT statement than values specified in the "
        "VALUES clause. The number of values in the VALUES clause must match the number "
        "of columns specified in the INSERT statement.");
}

}  // namespace

StatementReply runSelect(SessionState& s, const ast::Select& sel) {
    StatementReply reply;
    if (!sel.into) {
        Rowset r = evaluateSelect(s, sel);
        ResultSet set;
        for (const auto& c : r.columns) set.columns.push_back({c.name, c.type, c.nullable});
        set.rows = std::move(r.rows);
        reply.rowCount = s.count(set.rows.size());
        reply.events.emplace_back(std::move(set));
        return reply;
    }
    if (s.database->find(*sel.into)) throw SqlError(msg::objectExists(*sel.into));
    const std::size_t count = atomically(*s.database, [&] {
        Rowset r = evaluateSelect(s, sel);
        for (auto& c : r.columns) {
            if (c.name.empty())
                throw SqlError(
                    makeMessage(1038, 15,
                                "An object or column name is missing or empty. For SELECT INTO "
                                "statements, verify each column has a name. For other "
                                "statements, look for empty alias names. Aliases defined as "
                                "\"\" or [] are not allowed. Change the alias to a valid name."));
            c.nullable = true;
            c.source.clear();
        }
        s.database->createTable(*sel.into, r.columns);
        const TableInfo table = *s.database->find(*sel.into);
        std::vector<std::size_t> targets;
        for (std::size_t i = 0; i < r.columns.size(); ++i) targets.push_back(i);
        std::vector<std::vector<Value>> rows;
        for (const auto& row : r.rows) {
            cancel::check();
            std::vector<std::optional<Scalar>> values;
            for (std::size_t i = 0; i < row.size(); ++i)
                if (r.columns[i].type.type == SqlType::Timestamp)
                    values.emplace_back();  // a new table makes its own row versions
                else
                    values.push_back(Scalar{r.columns[i].type, row[i]});
            rows.push_back(fullRow(s, table, targets, values));
        }
        s.database->insert(table, rows);
        return rows.size();
    });
    reply.rowCount = s.count(count);
    return reply;
}

StatementReply runInsert(SessionState& s, const ast::Insert& ins) {
    const Target t = resolve(s, ins.table);
    const std::vector<std::size_t> targets = insertTargets(t, ins);
    std::vector<std::vector<std::optional<Scalar>>> sourceRows;
    if (ins.select) {
        Rowset r = evaluateSelect(s, *ins.select);
        if (r.columns.size() != targets.size()) throw SqlError(msg::columnCount());
        for (const auto& row : r.rows) {
            std::vector<std::optional<Scalar>> values;
            for (std::size_t i = 0; i < row.size(); ++i)
                values.push_back(Scalar{r.columns[i].type, row[i]});
            sourceRows.push_back(std::move(values));
        }
    } else {
        for (const auto& row : ins.rows) {
            if (row.size() != targets.size())
                throw SqlError(valueCountMismatch(ins, row.size(), targets.size()));
            std::vector<std::optional<Scalar>> values;
            for (const auto& e : row)
                values.push_back(e ? std::optional(s.evaluate(*e)) : std::nullopt);
            sourceRows.push_back(std::move(values));
        }
    }
    const std::size_t count = atomically(*s.database, [&] {
        std::vector<std::vector<Value>> rows;
        for (const auto& values : sourceRows) {
            cancel::check();
            rows.push_back(fullRow(s, t.table, targets, values));
        }
        append(s, t.table, rows);
        return rows.size();
    });
    StatementReply reply;
    reply.rowCount = s.count(count);
    return reply;
}

StatementReply runCreateTable(SessionState& s, const ast::CreateTable& create) {
    std::vector<TableColumn> columns;
    for (const auto& c : create.columns) {
        TableColumn column{c.name, c.type, c.nullable, {}};
        if (c.identity) column.identity.emplace(c.identity->seed, c.identity->step);
        if (c.defaultValue) column.defaultValue = sourceOf(*c.defaultValue);
        columns.push_back(std::move(column));
    }
    checkIdentity(create, columns);
    for (const std::string& key : create.keyColumns) {
        const auto c = std::find_if(columns.begin(), columns.end(), [&](const TableColumn& c) {
            return text::equalNoCase(c.name, key);
        });
        if (c == columns.end())
            throw SqlError(makeMessage(
                1911, 16, "Column name '" + key + "' does not exist in the target table or view."));
        c->primaryKey =
            create.primaryKey.empty() ? generatedKeyName(create.name) : create.primaryKey;
        c->nullable = false;
    }
    atomically(*s.database, [&] {
        s.database->createTable(create.name, columns);
        return 0;
    });
    return {};
}

StatementReply runCreateView(SessionState& s, const ast::CreateView& create) {
    const Target base = resolve(s, create.base);
    std::vector<TableColumn> columns;
    for (std::size_t i = 0; i < base.visible.size(); ++i)
        if (create.columns.empty())
            columns.push_back({base.visible[i].name, base.visible[i].type, true,
                               base.table.columns[base.place[i]].name});
    for (const std::string& name : create.columns) {
        const std::size_t i = columnIndex(base.visible, name);
        columns.push_back({base.visible[i].name, base.visible[i].type, true,
                           base.table.columns[base.place[i]].name});
    }
    atomically(*s.database, [&] {
        s.database->createView(create.name, base.table.name, columns);
        return 0;
    });
    return {};
}

StatementReply runDrop(SessionState& s, const ast::Drop& drop) {
    const auto object = s.database->find(drop.name);
    const char* kind = drop.view ? "view" : "table";
    if (!object) throw SqlError(msg::cannotDrop(kind, drop.name));
    if (object->view != drop.view)
        throw SqlError(makeMessage(3705, 16,
                                   std::string("Cannot use DROP ") +
                                       (drop.view ? "VIEW" : "TABLE") + " with '" + drop.name +
                                       "' because '" + drop.name + "' is a " +
                                       (object->view ? "view" : "table") + ". Use DROP " +
                                       (object->view ? "VIEW" : "TABLE") + "."));
    atomically(*s.database, [&] {
        s.database->drop(*object);
        return 0;
    });
    return {};
}

}  // namespace standin

namespace standin {

StatementReply runUpdate(SessionState& s, const ast::Update& update) {
    const Target t = resolve(s, update.table);
    std::vector<std::pair<std::size_t, Scalar>> assignments;
    for (const auto& [column, value] : update.assignments) {
        const std::size_t i = t.place[columnIndex(t.visible, column)];
        if (t.table.columns[i].identity)
            throw SqlError(makeMessage(
                8102, 16, "Cannot update identity column '" + t.table.columns[i].name + "'."));
        if (t.table.columns[i].type.type == SqlType::Timestamp)
            throw SqlError(makeMessage(272, 16, "Cannot update a timestamp column."));
        assignments.emplace_back(i, s.evaluate(value));
    }
    const std::size_t count = atomically(*s.database, [&] {
        std::vector<std::vector<Value>> rows = s.database->rows(t.table);
        const std::vector<bool> hit = matches(s, update.where, t.table.columns, rows);
        std::size_t changed = 0;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            if (!hit[r]) continue;
            ++changed;
            for (const auto& [i, value] : assignments) rows[r][i] = stored(s, t.table, i, value);
            for (std::size_t i = 0; i < rows[r].size(); ++i)
                if (t.table.columns[i].type.type == SqlType::Timestamp)
                    rows[r][i] = s.database->nextTimestamp();
            checkNulls(s, t.table, rows[r], "UPDATE");
        }
        checkKey(t.table, rows);
        s.database->replaceRows(t.table, rows);
        return changed;
    });
    StatementReply reply;
    reply.rowCount = s.count(count);
    return reply;
}

StatementReply runDelete(SessionState& s, const ast::Delete& erase) {
    const Target t = resolve(s, erase.table);
    const std::size_t count = atomically(*s.database, [&] {
        std::vector<std::vector<Value>> rows = s.database->rows(t.table);
        const std::vector<bool> hit = matches(s, erase.where, t.table.columns, rows);
        std::vector<std::vector<Value>> kept;
        for (std::size_t r = 0; r < rows.size(); ++r)
            if (!hit[r]) kept.push_back(std::move(rows[r]));
        s.database->replaceRows(t.table, kept);
        return rows.size() - kept.size();
    });
    StatementReply reply;
    if (!erase.truncate) reply.rowCount = s.count(count);
    return reply;
}

}  // namespace standin
