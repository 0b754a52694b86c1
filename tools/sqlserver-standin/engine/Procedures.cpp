// The system procedures the stand-in knows, and USE.
#include "Messages.h"
#include "SessionState.h"
#include "Text.h"
#include "Types.h"

#include <algorithm>
#include <array>

namespace standin {
namespace {

const ColumnType kSysname{SqlType::NVarChar, 128, 0, 0};
const ColumnType kRemarks{SqlType::VarChar, 254, 0, 0};
// Kept constant: the stand-in's files say nothing a client could use about real sizes.
const char* const kDatabaseSizeKb = "8192";

// Catalogue views every database shows, as owner and name.
constexpr std::array<std::pair<const char*, const char*>, 10> kCatalogViews = {{
    {"INFORMATION_SCHEMA", "COLUMNS"},
    {"INFORMATION_SCHEMA", "SCHEMATA"},
    {"INFORMATION_SCHEMA", "TABLES"},
    {"INFORMATION_SCHEMA", "VIEWS"},
    {"sys", "columns"},
    {"sys", "databases"},
    {"sys", "objects"},
    {"sys", "schemas"},
    {"sys", "tables"},
    {"sys", "views"},
}};

StatementReply databases(SessionState& s) {
    ResultSet r;
    r.columns = {{"DATABASE_NAME", kSysname, false},
                 {"DATABASE_SIZE", ColumnType{SqlType::Int}, true},
                 {"REMARKS", kRemarks, true}};
    for (const auto& d : s.catalog.databases)
        r.rows.push_back({d->name(), std::string(kDatabaseSizeKb), std::nullopt});
    std::sort(r.rows.begin(), r.rows.end(),
              [](const auto& a, const auto& b) { return text::compareNoCase(*a[0], *b[0]) < 0; });
    StatementReply reply;
    reply.events.emplace_back(std::move(r));
    return reply;
}

StatementReply tables(SessionState& s) {
    ResultSet r;
    r.columns = {{"TABLE_QUALIFIER", kSysname, true},
                 {"TABLE_OWNER", kSysname, true},
                 {"TABLE_NAME", kSysname, true},
                 {"TABLE_TYPE", ColumnType{SqlType::VarChar, 32, 0, 0}, true},
                 {"REMARKS", kRemarks, true}};
    const std::string qualifier = s.database->name();
    for (const TableInfo& t : s.database->objects())
        r.rows.push_back({qualifier, std::string("dbo"), t.name,
                          std::string(t.view ? "VIEW" : "TABLE"), std::nullopt});
    for (const auto& [owner, name] : kCatalogViews)
        r.rows.push_back(
            {qualifier, std::string(owner), std::string(name), std::string("VIEW"), std::nullopt});
    std::sort(r.rows.begin(), r.rows.end(), [](const auto& a, const auto& b) {
        for (int i : {3, 0, 1, 2})
            if (const int c = text::compareNoCase(*a[i], *b[i]); c != 0) return c < 0;
        return false;
    });
    StatementReply reply;
    reply.events.emplace_back(std::move(r));
    return reply;
}

const ast::Exec::Argument& argument(const ast::Exec& e, std::size_t i, const char* parameter) {
    if (e.arguments.size() <= i)
        throw SqlError(makeMessage(201, 16,
                                   "Procedure or function '" + e.procedure +
                                       "' expects parameter '" + parameter +
                                       "', which was not supplied.",
                                   4));
    return e.arguments[i];
}

StatementReply prepareDocument(SessionState& s, const ast::Exec& e) {
    const ast::Exec::Argument& out = argument(e, 0, "@hdoc");
    const Scalar text = s.evaluate(argument(e, 1, "@xmltext").value);
    std::optional<XmlMemory::Share> memory = s.catalog.xmlMemory.take(text.value.value_or(""));
    if (!memory) throw SqlError(msg::xmlMemoryLow());
    auto doc = XmlDocument::parse(text.value, types::isUnicode(text.type.type));
    if (e.arguments.size() > 2) {
        const Scalar declarations = s.evaluate(e.arguments[2].value);
        doc->bindPrefixes(
            *XmlDocument::parse(declarations.value, types::isUnicode(declarations.type.type)));
    }
    const long long handle = s.nextHandle++;
    s.documents[handle] = {std::move(doc), std::move(*memory)};
    if (out.output && out.value.terms.size() == 1 &&
        out.value.terms[0].kind == ast::Term::Variable) {
        Scalar& target = s.variable(out.value.terms[0].text);
        target.value =
            types::convert(std::to_string(handle), ColumnType{SqlType::Int}, target.type, true);
    }
    return {};
}

StatementReply removeDocument(SessionState& s, const ast::Exec& e) {
    const Scalar h = s.evaluate(argument(e, 0, "@hdoc").value);
    const auto handle = integerOf(h);
    const auto found = handle ? s.documents.find(*handle) : s.documents.end();
    if (found == s.documents.end()) throw SqlError(msg::removeInvalid());
    s.documents.erase(found);
    return {};
}

using Procedure = StatementReply (*)(SessionState&, const ast::Exec&);

constexpr std::array<std::pair<const char*, Procedure>, 4> kProcedures = {{
    {"sp_databases", [](SessionState& s, const ast::Exec&) { return databases(s); }},
    {"sp_tables", [](SessionState& s, const ast::Exec&) { return tables(s); }},
    {"sp_xml_preparedocument", prepareDocument},
    {"sp_xml_removedocument", removeDocument},
}};

}  // namespace

// A procedure's reply ends in its return status and DONEPROC, after a failure too.
StatementReply runExec(SessionState& s, const ast::Exec& e) {
    for (const auto& [name, procedure] : kProcedures) {
        if (!text::equalNoCase(e.procedure, name)) continue;
        StatementReply reply;
        try {
            reply = procedure(s, e);
        } catch (const SqlError& error) {
            reply.error = true;
            for (Message m : error.messages) {
                if (m.procedure.empty() && m.number != 201) m.procedure = name;
                reply.events.emplace_back(std::move(m));
            }
        }
        reply.events.emplace_back(ReturnStatus{reply.error ? 1 : 0});
        reply.procedure = true;
        return reply;
    }
    throw SqlError(msg::procedureMissing(e.procedure));
}

StatementReply runUse(SessionState& s, const ast::Use& use) {
    Database* d = s.catalog.find(use.database);
    if (!d) throw SqlError(msg::databaseMissing(use.database));
    StatementReply reply;
    DatabaseChanged change{d->name(), s.database->name(), std::nullopt};
    if (d->collation().wire != s.database->collation().wire) change.collation = d->collation();
    reply.events.emplace_back(std::move(change));
    reply.events.emplace_back(msg::databaseChanged(d->name()));
    s.database = d;
    return reply;
}

}  // namespace standin
