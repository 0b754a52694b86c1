#include "Types.h"

#include "Messages.h"
#include "Text.h"

#include <array>
#include <cstdlib>
#include <utility>

namespace standin::types {
namespace {

constexpr std::array<std::pair<SqlType, const char*>, 22> kNames = {{
    {SqlType::TinyInt, "tinyint"},
    {SqlType::SmallInt, "smallint"},
    {SqlType::Int, "int"},
    {SqlType::BigInt, "bigint"},
    {SqlType::Bit, "bit"},
    {SqlType::Real, "real"},
    {SqlType::Float, "float"},
    {SqlType::Decimal, "decimal"},
    {SqlType::Numeric, "numeric"},
    {SqlType::Money, "money"},
    {SqlType::SmallMoney, "smallmoney"},
    {SqlType::DateTime, "datetime"},
    {SqlType::SmallDateTime, "smalldatetime"},
    {SqlType::Char, "char"},
    {SqlType::VarChar, "varchar"},
    {SqlType::NChar, "nchar"},
    {SqlType::NVarChar, "nvarchar"},
    {SqlType::Text, "text"},
    {SqlType::NText, "ntext"},
    {SqlType::UniqueIdentifier, "uniqueidentifier"},
    {SqlType::SqlVariant, "sql_variant"},
    {SqlType::Timestamp, "timestamp"},
}};

bool takesLength(SqlType t) {
    return t == SqlType::Char || t == SqlType::VarChar || t == SqlType::NChar ||
           t == SqlType::NVarChar;
}

bool takesPrecision(SqlType t) { return t == SqlType::Decimal || t == SqlType::Numeric; }

ColumnType declareLength(ColumnType t, const std::vector<long long>& sizes,
                         const std::string& column) {
    if (sizes.size() > 1) throw SqlError(msg::syntax(","), true);
    const long long n = sizes.empty() ? 1 : sizes[0];
    const int max = nonMaxLimit(t.type);
    if (n == kMaxSize && (t.type == SqlType::VarChar || t.type == SqlType::NVarChar)) {
        t.length = ColumnType::maxLength;
        return t;
    }
    if (n == kMaxSize) throw SqlError(msg::syntax("max"), true);
    if (n <= 0) throw SqlError(msg::badLength(n), true);
    if (n > max)
        throw SqlError(column.empty() ? msg::typeTooLong(name(t.type), n, max)
                                      : msg::columnTooLong(column, n, max),
                       true);
    t.length = static_cast<int>(n);
    return t;
}

ColumnType declarePrecision(ColumnType t, const std::vector<long long>& sizes, int ordinal) {
    if (sizes.size() > 2) throw SqlError(msg::syntax(","), true);
    const long long p = sizes.empty() ? 18 : sizes[0];
    const long long s = sizes.size() > 1 ? sizes[1] : 0;
    if (p <= 0) throw SqlError(msg::badLength(p), true);
    if (p > 38) throw SqlError(msg::precisionTooLarge(ordinal, p), true);
    if (s > p) throw SqlError(msg::scaleAbovePrecision(), true);
    t.precision = static_cast<int>(p);
    t.scale = static_cast<int>(s);
    return t;
}

long double numberOf(const std::string& s) { return std::strtold(s.c_str(), nullptr); }

}  // namespace

std::string name(SqlType type) {
    for (const auto& [t, n] : kNames)
        if (t == type) return n;
    return {};
}

std::optional<SqlType> byName(const std::string& typeName) {
    for (const auto& [t, n] : kNames)
        if (text::equalNoCase(typeName, n)) return t;
    if (text::equalNoCase(typeName, "rowversion")) return SqlType::Timestamp;
    return std::nullopt;
}

bool isCharacter(SqlType t) { return takesLength(t) || t == SqlType::Text || t == SqlType::NText; }

bool isMax(const ColumnType& type) { return type.length == ColumnType::maxLength; }

int nonMaxLimit(SqlType type) { return isUnicode(type) ? 4000 : 8000; }

bool isUnicode(SqlType t) {
    return t == SqlType::NChar || t == SqlType::NVarChar || t == SqlType::NText;
}

bool isNumeric(SqlType t) {
    switch (t) {
        case SqlType::TinyInt:
        case SqlType::SmallInt:
        case SqlType::Int:
        case SqlType::BigInt:
        case SqlType::Bit:
        case SqlType::Real:
        case SqlType::Float:
        case SqlType::Decimal:
        case SqlType::Numeric:
        case SqlType::Money:
        case SqlType::SmallMoney:
            return true;
        default:
            return false;
    }
}

ColumnType declare(const std::string& typeName, const std::vector<long long>& sizes, int ordinal,
                   const std::string& column) {
    if (text::equalNoCase(typeName, "sysname") && sizes.empty())
        return ColumnType{SqlType::NVarChar, 128, 0, 0};
    const auto found = byName(typeName);
    if (!found) throw SqlError(msg::unknownType(ordinal, typeName), true);
    ColumnType t;
    t.type = *found;
    if (takesLength(t.type)) return declareLength(t, sizes, column);
    if (takesPrecision(t.type)) return declarePrecision(t, sizes, ordinal);
    if (t.type == SqlType::Float && sizes.size() == 1) {
        if (sizes[0] < 1 || sizes[0] > 53) throw SqlError(msg::badLength(sizes[0]), true);
        t.type = sizes[0] <= 24 ? SqlType::Real : SqlType::Float;
        return t;
    }
    if (!sizes.empty()) throw SqlError(msg::widthNotAllowed(ordinal, name(t.type)), true);
    return t;
}

int compare(const Value& a, const Value& b, const ColumnType& type) {
    if (!a || !b) return a == b ? 0 : !a ? -1 : 1;
    if (isNumeric(type.type)) {
        const long double x = numberOf(*a);
        const long double y = numberOf(*b);
        return x < y ? -1 : x > y ? 1 : 0;
    }
    if (isCharacter(type.type) || type.type == SqlType::SqlVariant)
        return text::compareNoCase(text::trimRight(*a), text::trimRight(*b));
    return a->compare(*b) < 0 ? -1 : a->compare(*b) > 0 ? 1 : 0;
}

}  // namespace standin::types
