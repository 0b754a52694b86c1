// Constant expressions: literals, variables, char(n) and '+' between them.
#include "Messages.h"
#include "SessionState.h"
#include "Text.h"
#include "Types.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

namespace standin {
namespace {

int width(std::size_t n) { return static_cast<int>(std::max<std::size_t>(n, 1)); }

Scalar numberLiteral(const std::string& t) {
    if (t.find_first_of("eE") != std::string::npos) return {ColumnType{SqlType::Float}, t};
    const auto dot = t.find('.');
    const std::string digits = t.substr(t[0] == '-' ? 1 : 0);
    if (dot == std::string::npos) {
        const long double v = std::strtold(t.c_str(), nullptr);
        if (v >= -2147483648.0L && v <= 2147483647.0L)
            return {ColumnType{SqlType::Int}, std::to_string(std::stoll(t))};
        return {ColumnType{SqlType::Numeric, 0, std::min(38, width(digits.size())), 0}, t};
    }
    const int scale = static_cast<int>(t.size() - dot - 1);
    const int precision = std::min(38, std::max(scale, static_cast<int>(digits.size()) - 1));
    Scalar s{ColumnType{SqlType::Numeric, 0, std::max(precision, 1), scale}, t};
    s.value = types::convert(s.value, ColumnType{SqlType::VarChar, width(t.size())}, s.type);
    return s;
}

std::string codePoint(long long code) {
    std::string out;
    const auto cp = static_cast<char32_t>(code);
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

bool isInteger(SqlType t) {
    return t == SqlType::TinyInt || t == SqlType::SmallInt || t == SqlType::Int ||
           t == SqlType::BigInt || t == SqlType::Bit;
}

// A character literal longer than a non-max value may be is a max value.
ColumnType literalType(SqlType type, std::size_t length) {
    const bool max = length > static_cast<std::size_t>(types::nonMaxLimit(type));
    return {type, max ? ColumnType::maxLength : width(length), 0, 0};
}

// Text joined to text: a max operand makes a max result; otherwise the result is cut at 8000
// bytes (4000 characters), as the server's string concatenation does.
void concatenate(Scalar& a, const Scalar& b) {
    const bool unicode = types::isUnicode(a.type.type) || types::isUnicode(b.type.type);
    const SqlType type = unicode ? SqlType::NVarChar : SqlType::VarChar;
    const int limit = types::nonMaxLimit(type);
    const bool max = types::isMax(a.type) || types::isMax(b.type);
    a.type =
        ColumnType{type,
                   max ? ColumnType::maxLength
                       : std::min(limit, std::max(a.type.length, 1) + std::max(b.type.length, 1)),
                   0, 0};
    if (!a.value || !b.value) {
        a.value.reset();
        return;
    }
    a.value->append(*b.value);
    if (!max) *a.value = text::prefix(*a.value, static_cast<std::size_t>(limit), unicode);
}

// Adds in place: long documents built from many pieces are not copied once per piece.
void add(Scalar& a, const Scalar& b) {
    const bool textA = !types::isNumeric(a.type.type);
    const bool textB = !types::isNumeric(b.type.type);
    if (textA && textB) {
        concatenate(a, b);
        return;
    }
    // A number wins: the text side converts to it, as the server's type precedence says.
    const ColumnType numeric = textA ? b.type : a.type;
    const Value x = textA ? types::convert(a.value, a.type, numeric) : a.value;
    const Value y = textB ? types::convert(b.value, b.type, numeric) : b.value;
    const bool integers = isInteger(a.type.type) || textA;
    const bool integersB = isInteger(b.type.type) || textB;
    if (!x || !y) {
        a = {numeric, std::nullopt};
        return;
    }
    if (integers && integersB) {
        // Integers add in the wider of the two types, overflowing as the server does.
        const bool big = a.type.type == SqlType::BigInt || b.type.type == SqlType::BigInt;
        long long sum = 0;
        const bool overflow = __builtin_add_overflow(std::stoll(*x), std::stoll(*y), &sum);
        if (overflow || (!big && (sum < -2147483648LL || sum > 2147483647LL)))
            throw SqlError(msg::overflow("expression", big ? "bigint" : "int"));
        a = {ColumnType{big ? SqlType::BigInt : SqlType::Int}, std::to_string(sum)};
        return;
    }
    const ColumnType f{SqlType::Float};
    const double sum = std::strtod(x->c_str(), nullptr) + std::strtod(y->c_str(), nullptr);
    a = {f, types::convert(std::to_string(sum), ColumnType{SqlType::VarChar, 64}, f)};
}

}  // namespace

std::optional<long long> integerOf(const Scalar& s) {
    const Value v = types::convert(s.value, s.type, ColumnType{SqlType::BigInt});
    if (!v) return std::nullopt;
    return std::stoll(*v);
}

Scalar& SessionState::variable(const std::string& name) {
    std::string key;
    for (char c : name) key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return variables[key];
}

Scalar SessionState::evaluate(const ast::Term& t) const {
    switch (t.kind) {
        case ast::Term::String: {
            std::string kept = text::keepCodePage(t.text);
            const ColumnType type = literalType(SqlType::VarChar, text::varcharLength(kept));
            return {type, std::move(kept)};
        }
        case ast::Term::NString:
            return {literalType(SqlType::NVarChar, text::utf16Length(t.text)), t.text};
        case ast::Term::Number:
            return numberLiteral(t.text);
        case ast::Term::Variable:
            return const_cast<SessionState*>(this)->variable(t.text);
        case ast::Term::Char:
            if (t.code < 0 || t.code > 255) return {ColumnType{SqlType::VarChar, 1}, std::nullopt};
            return {ColumnType{SqlType::VarChar, 1},
                    text::fromCodePage(std::string(1, static_cast<char>(t.code)))};
        case ast::Term::NChar:
            if (t.code < 0 || t.code > 0xFFFF)
                return {ColumnType{SqlType::NVarChar, 1}, std::nullopt};
            return {ColumnType{SqlType::NVarChar, 1}, codePoint(t.code)};
        case ast::Term::Function:
            return call(t);
        case ast::Term::Null:
            break;
    }
    return {ColumnType{SqlType::Int}, std::nullopt};
}

Scalar SessionState::evaluate(const ast::Expr& e) const {
    if (e.terms.empty()) return {ColumnType{SqlType::Int}, std::nullopt};
    Scalar result = evaluate(e.terms.front());
    for (std::size_t i = 1; i < e.terms.size(); ++i) add(result, evaluate(e.terms[i]));
    return result;
}

std::optional<uint64_t> SessionState::count(std::size_t rows) const {
    if (noCount) return std::nullopt;
    return rows;
}

}  // namespace standin
