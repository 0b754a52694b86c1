// SELECT, INSERT, CREATE and DROP on the session's current database.
#include "Messages.h"
#include "SessionState.h"
#include "Text.h"
#include "Types.h"

#include <algorithm>

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

std::size_t columnIndex(const std::vector<TableColumn>& columns, const std::string& name)
{
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (text::equalNoCase(columns[i].name, name))
            return i;
    throw SqlError(msg::invalidColumn(name));
}

Target resolve(const SessionState& s, const std::string& name)
{
    auto object = s.database->find(name);
    if (!object)
        throw SqlError(msg::invalidObject(name));
    Target t;
    if (!object->view) {
        t.table = std::move(*object);
        t.visible = t.table.columns;
        for (std::size_t i = 0; i < t.visible.size(); ++i)
            t.place.push_back(i);
        return t;
    }
    auto base = s.database->find(object->base);
    if (!base || base->view)
        throw SqlError(msg::invalidObject(object->base));
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

Rowset tableRows(const SessionState& s, const std::string& name)
{
    const Target t = resolve(s, name);
    Rowset r{t.visible, {}};
    for (auto& stored : s.database->rows(t.table)) {
        std::vector<Value> row;
        for (std::size_t i : t.place)
            row.push_back(stored[i]);
        r.rows.push_back(std::move(row));
    }
    return r;
}

// OPENXML's values arrive as Unicode text and convert to the WITH types.
Rowset openXmlRows(const SessionState& s, const ast::OpenXml& o)
{
    const Scalar handle = s.evaluate(ast::Expr{{o.handle}});
    const long long h = integerOf(handle).value_or(0);
    const auto doc = s.documents.find(h);
    if (doc == s.documents.end())
        throw SqlError(msg::handleMissing(h));
    Rowset r;
    for (const auto& c : o.columns)
        r.columns.push_back({c.name, c.type, true, {}});
    const ColumnType source{SqlType::NVarChar, 4000, 0, 0};
    // Patterns are nvarchar: one written as a varchar literal passes through the code page first.
    std::vector<ast::ColumnSpec> columns = o.columns;
    for (auto& c : columns)
        if (c.pattern && c.varcharPattern)
            c.pattern = text::keepCodePage(*c.pattern);
    const std::string rowPattern = o.varcharRowPattern ? text::keepCodePage(o.rowPattern) : o.rowPattern;
    for (auto& raw : doc->second->rows(rowPattern, o.flags, columns)) {
        for (std::size_t i = 0; i < raw.size(); ++i)
            raw[i] = r.columns[i].type.type == SqlType::Timestamp
                         ? std::nullopt
                         : types::convert(raw[i], source, r.columns[i].type);
        r.rows.push_back(std::move(raw));
    }
    return r;
}

void filter(const SessionState& s, const ast::Select& sel, Rowset& r)
{
    if (!sel.where)
        return;
    const std::size_t i = columnIndex(r.columns, sel.where->first);
    const Scalar wanted = s.evaluate(sel.where->second);
    const Value v = types::convert(wanted.value, wanted.type, r.columns[i].type, true);
    std::erase_if(r.rows, [&](const auto& row) {
        return !v || !row[i] || types::compare(row[i], v, r.columns[i].type) != 0;
    });
}

void order(const ast::Select& sel, Rowset& r)
{
    std::vector<std::pair<std::size_t, bool>> keys;
    for (const auto& o : sel.orderBy)
        keys.emplace_back(columnIndex(r.columns, o.column), o.descending);
    std::stable_sort(r.rows.begin(), r.rows.end(), [&](const auto& a, const auto& b) {
        for (const auto& [i, descending] : keys) {
            const int c = types::compare(a[i], b[i], r.columns[i].type);
            if (c != 0)
                return descending ? c > 0 : c < 0;
        }
        return false;
    });
}

// The select list over the source rows.
Rowset project(const SessionState& s, const ast::Select& sel, Rowset in, bool hasSource)
{
    Rowset out;
    std::vector<std::optional<std::size_t>> from;
    std::vector<Scalar> constants;
    for (const auto& item : sel.items) {
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
            if (!hasSource)
                throw SqlError(msg::invalidColumn(*item.column));
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
    for (const auto& row : in.rows) {
        std::vector<Value> values;
        for (std::size_t k = 0; k < from.size(); ++k)
            values.push_back(from[k] ? row[*from[k]] : constants[k].value);
        out.rows.push_back(std::move(values));
    }
    return out;
}

Rowset evaluateSelect(const SessionState& s, const ast::Select& sel)
{
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

std::string qualified(const SessionState& s, const std::string& table)
{
    return s.database->name() + ".dbo." + table;
}

// Every column of the table for one new row: converted values, generated row versions.
std::vector<Value> fullRow(SessionState& s, const TableInfo& table, const std::vector<std::size_t>& targets,
                           const std::vector<Scalar>& values)
{
    std::vector<Value> row(table.columns.size());
    for (std::size_t k = 0; k < targets.size(); ++k)
        row[targets[k]] = types::convert(values[k].value, values[k].type, table.columns[targets[k]].type);
    for (std::size_t i = 0; i < row.size(); ++i) {
        const TableColumn& c = table.columns[i];
        if (c.type.type == SqlType::Timestamp)
            row[i] = s.database->nextTimestamp();
        if (!row[i] && !c.nullable)
            throw SqlError(msg::nullNotAllowed(c.name, qualified(s, table.name)));
    }
    return row;
}

template <typename Work>
auto atomically(Database& db, Work work)
{
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

std::vector<std::size_t> insertTargets(const Target& t, const ast::Insert& ins)
{
    std::vector<std::size_t> targets;
    if (ins.columns.empty()) {
        for (std::size_t i = 0; i < t.visible.size(); ++i)
            if (t.visible[i].type.type != SqlType::Timestamp)
                targets.push_back(t.place[i]);
        return targets;
    }
    for (const std::string& name : ins.columns) {
        const std::size_t i = columnIndex(t.visible, name);
        if (t.visible[i].type.type == SqlType::Timestamp)
            throw SqlError(msg::timestampValue());
        targets.push_back(t.place[i]);
    }
    return targets;
}

Message valueCountMismatch(const ast::Insert& ins, std::size_t values, std::size_t targets)
{
    if (ins.columns.empty())
        return msg::columnCount();
    if (values > targets)
        return makeMessage(110, 15,
                         "There are fewer columns in the INSERT statement than values specified in the "
                         "VALUES clause. The number of values in the VALUES clause must match the number "
                         "of columns specified in the INSERT statement.");
    return makeMessage(109, 15,
                     "There are more columns in the INSERT statement than values specified in the "
                     "VALUES clause. The number of values in the VALUES clause must match the number "
                     "of columns specified in the INSERT statement.");
}

}  // namespace

StatementReply runSelect(SessionState& s, const ast::Select& sel)
{
    StatementReply reply;
    if (!sel.into) {
        Rowset r = evaluateSelect(s, sel);
        ResultSet set;
        for (const auto& c : r.columns)
            set.columns.push_back({c.name, c.type, c.nullable});
        set.rows = std::move(r.rows);
        reply.rowCount = s.count(set.rows.size());
        reply.events.emplace_back(std::move(set));
        return reply;
    }
    if (s.database->find(*sel.into))
        throw SqlError(msg::objectExists(*sel.into));
    const std::size_t count = atomically(*s.database, [&] {
        Rowset r = evaluateSelect(s, sel);
        for (auto& c : r.columns) {
            if (c.name.empty())
                throw SqlError(makeMessage(1038, 15,
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
        for (std::size_t i = 0; i < r.columns.size(); ++i)
            targets.push_back(i);
        std::vector<std::vector<Value>> rows;
        for (const auto& row : r.rows) {
            std::vector<Scalar> values;
            for (std::size_t i = 0; i < row.size(); ++i)
                values.push_back({r.columns[i].type, row[i]});
            rows.push_back(fullRow(s, table, targets, values));
        }
        s.database->insert(table, rows);
        return rows.size();
    });
    reply.rowCount = s.count(count);
    return reply;
}

StatementReply runInsert(SessionState& s, const ast::Insert& ins)
{
    const Target t = resolve(s, ins.table);
    const std::vector<std::size_t> targets = insertTargets(t, ins);
    std::vector<std::vector<Scalar>> sourceRows;
    if (ins.select) {
        Rowset r = evaluateSelect(s, *ins.select);
        if (r.columns.size() != targets.size())
            throw SqlError(msg::columnCount());
        for (const auto& row : r.rows) {
            std::vector<Scalar> values;
            for (std::size_t i = 0; i < row.size(); ++i)
                values.push_back({r.columns[i].type, row[i]});
            sourceRows.push_back(std::move(values));
        }
    } else {
        for (const auto& row : ins.rows) {
            if (row.size() != targets.size())
                throw SqlError(valueCountMismatch(ins, row.size(), targets.size()));
            std::vector<Scalar> values;
            for (const auto& e : row)
                values.push_back(e ? s.evaluate(*e) : Scalar{});
            sourceRows.push_back(std::move(values));
        }
    }
    const std::size_t count = atomically(*s.database, [&] {
        std::vector<std::vector<Value>> rows;
        for (const auto& values : sourceRows)
            rows.push_back(fullRow(s, t.table, targets, values));
        s.database->insert(t.table, rows);
        return rows.size();
    });
    StatementReply reply;
    reply.rowCount = s.count(count);
    return reply;
}

StatementReply runCreateTable(SessionState& s, const ast::CreateTable& create)
{
    std::vector<TableColumn> columns;
    for (const auto& c : create.columns)
        columns.push_back({c.name, c.type, c.nullable, {}});
    atomically(*s.database, [&] {
        s.database->createTable(create.name, columns);
        return 0;
    });
    return {};
}

StatementReply runCreateView(SessionState& s, const ast::CreateView& create)
{
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

StatementReply runDrop(SessionState& s, const ast::Drop& drop)
{
    const auto object = s.database->find(drop.name);
    const char* kind = drop.view ? "view" : "table";
    if (!object)
        throw SqlError(msg::cannotDrop(kind, drop.name));
    if (object->view != drop.view)
        throw SqlError(makeMessage(3705, 16,
                                 std::string("Cannot use DROP ") + (drop.view ? "VIEW" : "TABLE") +
                                     " with '" + drop.name + "' because '" + drop.name + "' is a " +
                                     (object->view ? "view" : "table") + ". Use DROP " +
                                     (object->view ? "VIEW" : "TABLE") + "."));
    atomically(*s.database, [&] {
        s.database->drop(*object);
        return 0;
    });
    return {};
}

}  // namespace standin
