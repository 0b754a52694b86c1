// Built-in functions: CONVERT / CAST, and the catalogue functions a client asks for a database's
// collation and code page.
#include "Messages.h"
#include "SessionState.h"
#include "Text.h"
#include "Types.h"

#include <array>
#include <ctime>
#include <functional>

namespace standin {
namespace {

using Arguments = std::vector<Scalar>;

const ColumnType kVariant{SqlType::SqlVariant};

Scalar variant(Value value) { return {kVariant, std::move(value)}; }

Value textOf(const Scalar& s) {
    return types::convert(s.value, s.type, ColumnType{SqlType::NVarChar, 4000}, true);
}

Scalar databaseName(const SessionState& s, const Arguments&) {
    return {ColumnType{SqlType::NVarChar, 128}, s.database->name()};
}

// Only the collation is known among the properties; the others, and unknown databases, give NULL.
Scalar databaseProperty(const SessionState& s, const Arguments& a) {
    const Value name = textOf(a[0]);
    const Value property = textOf(a[1]);
    const Database* d = name ? s.catalog.find(*name) : nullptr;
    if (!d || !property || !text::equalNoCase(*property, "Collation")) return variant(std::nullopt);
    return variant(d->collation().name);
}

Scalar collationProperty(const SessionState&, const Arguments& a) {
    const Value name = textOf(a[0]);
    const Value property = textOf(a[1]);
    const auto c = name ? findCollation(*name) : std::nullopt;
    if (!c || !property) return variant(std::nullopt);
    const std::array<std::pair<const char*, long long>, 4> known = {{
        {"CodePage", c->codePage},
        {"LCID", c->lcid},
        {"ComparisonStyle", c->comparisonStyle},
        {"Version", c->version},
    }};
    for (const auto& [key, value] : known)
        if (text::equalNoCase(*property, key)) return variant(std::to_string(value));
    return variant(std::nullopt);
}

// The server's version as @@VERSION shows it: the product first, as clients parse it.
const char* const kVersion =
    "Microsoft SQL Server 2022 (RTM) - 16.0.1000.6 (X64) \n\tsqlserver-standin, test equipment "
    "speaking TDS";

Scalar now(const SessionState&, const Arguments&) {
    const std::time_t t = std::time(nullptr);
    std::tm local{};
    localtime_r(&t, &local);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S.000", &local);
    return {ColumnType{SqlType::DateTime}, std::string(buf)};
}

Scalar lastIdentity(const SessionState& s, const Arguments&) {
    return {ColumnType{SqlType::Numeric, 0, 38, 0}, s.lastIdentity};
}

Scalar version(const SessionState&, const Arguments&) {
    return {ColumnType{SqlType::NVarChar, 300}, std::string(kVersion)};
}

Scalar maxPrecision(const SessionState&, const Arguments&) {
    return {ColumnType{SqlType::TinyInt}, std::string("38")};
}

Scalar transactionCount(const SessionState& s, const Arguments&) {
    return {ColumnType{SqlType::Int}, std::to_string(s.transactions)};
}

// The last part of a name such as 'Sales.dbo.[Orders]', without its brackets.
std::string objectName(const std::string& qualified) {
    std::string part;
    bool bracketed = false;
    for (std::size_t i = 0; i < qualified.size(); ++i) {
        const char c = qualified[i];
        if (bracketed && c == ']' && i + 1 < qualified.size() && qualified[i + 1] == ']')
            part += qualified[++i];
        else if (c == '[' || c == ']')
            bracketed = c == '[';
        else if (c == '.' && !bracketed)
            part.clear();
        else
            part += c;
    }
    return part;
}

// OBJECT_ID('name' [, 'U' | 'V']): the id of a table or view of the current database, or NULL.
Scalar objectId(const SessionState& s, const Arguments& a) {
    const ColumnType integer{SqlType::Int};
    const Value name = textOf(a[0]);
    const Value kind = a.size() > 1 ? textOf(a[1]) : Value("");
    const auto object = name ? s.database->find(objectName(*name)) : std::nullopt;
    if (!object || !kind) return {integer, std::nullopt};
    const std::string wanted = text::trim(*kind);
    const bool fits = wanted.empty() || text::equalNoCase(wanted, object->view ? "V" : "U");
    return {integer, fits ? Value(std::to_string(object->id)) : std::nullopt};
}

Scalar language(const SessionState&, const Arguments&) {
    return {ColumnType{SqlType::NVarChar, 128}, std::string("us_english")};
}

struct Builtin {
    const char* name;
    std::size_t arguments;
    Scalar (*call)(const SessionState&, const Arguments&);
    std::size_t optional = 0;  // trailing arguments that may be left out
};

constexpr std::array<Builtin, 11> kBuiltins = {{
    {"DB_NAME", 0, databaseName},
    {"GETDATE", 0, now},
    {"SCOPE_IDENTITY", 0, lastIdentity},
    {"@@IDENTITY", 0, lastIdentity},
    {"@@VERSION", 0, version},
    {"@@MAX_PRECISION", 0, maxPrecision},
    {"@@TRANCOUNT", 0, transactionCount},
    {"@@LANGUAGE", 0, language},
    {"DATABASEPROPERTYEX", 2, databaseProperty},
    {"COLLATIONPROPERTY", 2, collationProperty},
    {"OBJECT_ID", 2, objectId, 1},
}};

Message notBuiltin(const std::string& name) {
    return makeMessage(195, 15, "'" + name + "' is not a recognized built-in function name.", 10);
}

Message argumentCount(const std::string& name, std::size_t count) {
    return makeMessage(
        174, 15, "The " + name + " function requires " + std::to_string(count) + " argument(s).");
}

}  // namespace

Scalar SessionState::call(const ast::Term& function) const {
    Arguments arguments;
    for (const ast::Expr& e : function.arguments) arguments.push_back(evaluate(e));
    if (text::equalNoCase(function.text, "CONVERT") || text::equalNoCase(function.text, "CAST"))
        return {function.target,
                types::convert(arguments[0].value, arguments[0].type, function.target, true)};
    for (const Builtin& b : kBuiltins) {
        if (!text::equalNoCase(function.text, b.name)) continue;
        if (arguments.size() > b.arguments || arguments.size() + b.optional < b.arguments)
            throw SqlError(argumentCount(b.name, b.arguments));
        return b.call(*this, arguments);
    }
    if (function.text.rfind("@@", 0) == 0)  // an unknown global reads as an undeclared variable
        throw SqlError(msg::undeclaredVariable(function.text));
    throw SqlError(notBuiltin(function.text));
}

}  // namespace standin
