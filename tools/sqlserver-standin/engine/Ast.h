// Statements of a parsed batch.
#pragma once

#include "Engine.h"

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace standin::ast {

struct Expr;

// One operand of an expression; operands are joined by '+'.
struct Term {
    enum Kind { String, NString, Number, Null, Variable, Char, NChar, Function };
    Kind kind = Null;
    std::string text;    // literal text, number as written, variable name, function name
    long long code = 0;  // char(code) / nchar(code)
    std::vector<Expr> arguments = {};  // a function's
    ColumnType target = {};            // CONVERT's and CAST's type
};

struct Expr {
    std::vector<Term> terms;
};

struct ColumnSpec {
    std::string name;
    ColumnType type;
    bool nullable = true;
    std::optional<std::string> pattern;  // OPENXML column pattern
    bool varcharPattern = false;         // written without N: it takes the database's code page
};

struct OpenXml {
    Term handle;  // a variable or a number
    std::string rowPattern;
    bool varcharRowPattern = false;  // written without N: it takes the database's code page
    long long flags = 0;
    std::vector<ColumnSpec> columns;
};

struct SelectItem {
    bool star = false;
    std::optional<std::string> column;  // a column reference; otherwise `value`
    Expr value;
    std::string alias;
};

struct OrderItem {
    std::string column;
    bool descending = false;
};

struct Select {
    std::vector<SelectItem> items;
    std::optional<std::string> into;
    std::optional<std::string> table;      // FROM a table or view
    std::optional<OpenXml> openXml;        // FROM OPENXML
    std::optional<std::pair<std::string, Expr>> where;  // column = value
    std::vector<OrderItem> orderBy;
};

struct Insert {
    std::string table;
    std::vector<std::string> columns;  // empty: every column by position
    std::vector<std::vector<std::optional<Expr>>> rows;  // nullopt: DEFAULT
    std::optional<Select> select;
};

struct CreateTable {
    std::string name;
    std::vector<ColumnSpec> columns;
};

struct CreateView {
    std::string name;
    std::string base;
    std::vector<std::string> columns;  // empty: *
};

struct Drop {
    std::string name;
    bool view = false;
};

struct Use {
    std::string database;
};

struct Declare {
    struct Variable {
        std::string name;
        ColumnType type;
        std::optional<Expr> init;
    };
    std::vector<Variable> variables;
};

struct SetVariable {
    std::string name;
    Expr value;
};

struct SetOption {
    std::string option;  // upper case
    std::string value;
};

struct Exec {
    struct Argument {
        Expr value;
        bool output = false;
    };
    std::string procedure;
    std::vector<Argument> arguments;
};

using Statement = std::variant<Select, Insert, CreateTable, CreateView, Drop, Use, Declare,
                               SetVariable, SetOption, Exec>;

struct Located {
    int line = 1;
    Statement statement;
};

}  // namespace standin::ast
