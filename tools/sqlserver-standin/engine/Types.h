// The T-SQL types the stand-in knows: names, declared sizes, and conversion to canonical values.
#pragma once

#include "Engine.h"

#include <optional>
#include <string>
#include <vector>

namespace standin::types {

// The lower-case T-SQL name ("varchar", "sql_variant", "timestamp").
std::string name(SqlType type);
std::optional<SqlType> byName(const std::string& name);

bool isCharacter(SqlType type);  // char, varchar, text and the n-types
bool isUnicode(SqlType type);    // nchar, nvarchar, ntext
bool isNumeric(SqlType type);    // integers, bit, decimal, money, float

// Stands for MAX among the sizes of declare().
constexpr long long kMaxSize = -1;

// Whether a character type is varchar(max) or nvarchar(max).
bool isMax(const ColumnType& type);
// The longest a non-max value of the type may be: 8000 bytes, 4000 characters for the n-types.
int nonMaxLimit(SqlType type);

// Builds a declared type, checking its sizes as the server's compiler does (throws a compile
// SqlError). `column` names a column; empty for a variable. `ordinal` counts from 1.
ColumnType declare(const std::string& typeName, const std::vector<long long>& sizes, int ordinal,
                   const std::string& column);

// Converts a value of type `from` to type `to`. A character value longer than the target raises
// 8152 unless `truncate` is set (assignment to a variable cuts silently). Throws SqlError.
Value convert(const Value& value, const ColumnType& from, const ColumnType& to,
              bool truncate = false);

// Orders two values of one type as the collation does; NULL first.
int compare(const Value& a, const Value& b, const ColumnType& type);

}  // namespace standin::types
