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

struct Identity {
    long long seed = 1;
    long long step = 1;
};

struct ColumnSpec {
    std::string name;
    ColumnType type;
    bool nullable = true;
    std::optional<std::string> pattern;  // OPENXML column pattern
    bool varcharPattern = false;         // written without N: it takes the database's code page
    std::optional<Identity> identity;
    std::optional<Expr> defaultValue;
};

// column = value, the one condition WHERE takes.
using Where = std::optional<std::pair<std::string, Expr>>;

struct OpenXml {
    Term handle;  // a variable or a number
    std::string rowPattern;
    bool varcharRowPattern = false;  // written without N: it takes the database's code page
    long long flags = 0;
    std::vector<ColumnSpec> columns;
};

struct SelectItem {
    bool star = false;
    bool countAll = false;              // COUNT(*)
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
    std::optional<std::string> table;  // FROM a table or view
    std::optional<OpenXml> openXml;    // FROM OPENXML
    Where where;
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
    std::string primaryKey;               // the constraint's name, empty for a generated one
    std::vector<std::string> keyColumns;  // empty: no primary key
};

struct Update {
    std::string table;
    std::vector<std::pair<std::string, Expr>> assignments;
    Where where;
};

struct Delete {
    std::string table;
    Where where;
    bool truncate = false;  // TRUNCATE TABLE: no row count
};

struct Print {
    Expr value;
};

struct Transaction {
    enum Kind { Begin, Commit, Rollback };
    Kind kind = Begin;
};

struct Located;

// IF [NOT] EXISTS (SELECT ...) statement [ELSE statement]; BEGIN ... END groups statements.
struct If {
    bool negate = false;
    Select query;
    std::vector<Located> then;
    std::vector<Located> otherwise;
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

using Statement =
    std::variant<Select, Insert, CreateTable, CreateView, Drop, Use, Declare, SetVariable,
                 SetOption, Exec, Update, Delete, Print, Transaction, If>;

struct Located {
    int line = 1;
    Statement statement;
};

}  // namespace standin::ast
