#include "Parser.h"

#include "Lexer.h"
#include "Messages.h"
#include "Text.h"
#include "Types.h"

#include <algorithm>
#include <iterator>
#include <set>

namespace standin {
namespace {

const char* const kStatementWords[] = {
    "SELECT",  "INSERT", "UPDATE", "DELETE",  "CREATE",   "DROP",   "USE",
    "DECLARE", "SET",    "EXEC",   "EXECUTE", "IF",       "BEGIN",  "END",
    "WHILE",   "RETURN", "PRINT",  "ALTER",   "TRUNCATE", "COMMIT", "ROLLBACK"};
const char* const kReservedWords[] = {
    "FROM",       "WHERE",    "INTO",       "VALUES",    "ORDER",     "BY",           "AS",
    "WITH",       "TABLE",    "VIEW",       "NULL",      "AND",       "OR",           "NOT",
    "DEFAULT",    "ON",       "OPENXML",    "GROUP",     "HAVING",    "UNION",        "JOIN",
    "INNER",      "LEFT",     "RIGHT",      "OUTER",     "CROSS",     "PRIMARY",      "KEY",
    "IS",         "IN",       "LIKE",       "BETWEEN",   "CASE",      "WHEN",         "THEN",
    "ELSE",       "DISTINCT", "TOP",        "PROCEDURE", "PROC",      "DATABASE",     "OUTPUT",
    "EXISTS",     "IDENTITY", "CONSTRAINT", "UNIQUE",    "CLUSTERED", "NONCLUSTERED", "TRAN",
    "TRANSACTION"};

bool isOneOf(const Token& t, const auto& words) {
    for (const char* w : words)
        if (t.isWord(w)) return true;
    return false;
}

bool startsStatement(const Token& t) { return isOneOf(t, kStatementWords); }

bool isReserved(const Token& t) { return startsStatement(t) || isOneOf(t, kReservedWords); }

class Parser {
public:
    Parser(const std::string& batch, const std::vector<std::string>& declared)
        : tokens_(tokenize(batch)) {
        for (const std::string& name : declared) declared_.insert(foldKey(name));
    }

    std::vector<ast::Located> run() {
        std::vector<ast::Located> out;
        while (peek().kind != Token::End) {
            if (peek().isSymbol(";")) {
                ++pos_;
                continue;
            }
            const int line = peek().line;
            out.push_back({line, statement(out.empty())});
        }
        return out;
    }

    ast::Expr expression() {
        ast::Expr e = expr();
        if (peek().kind != Token::End) fail();
        return e;
    }

private:
    const Token& peek(std::size_t ahead = 0) const {
        return tokens_[std::min(pos_ + ahead, tokens_.size() - 1)];
    }
    const Token& take() { return tokens_[std::min(pos_++, tokens_.size() - 1)]; }

    [[noreturn]] static void raise(Message m, int line) {
        m.line = line;
        throw SqlError(std::move(m), true);
    }

    int lastLine() const { return pos_ > 0 ? tokens_[pos_ - 1].line : 1; }

    [[noreturn]] void fail() const {
        const Token& t = peek();
        if (t.kind == Token::End)
            raise(msg::syntax(pos_ > 0 ? tokens_[pos_ - 1].text : std::string()), lastLine());
        if (isReserved(t)) raise(msg::syntaxKeyword(t.text), t.line);
        raise(msg::syntax(t.text), t.line);
    }

    void expectWord(const char* word) {
        if (!peek().isWord(word)) fail();
        ++pos_;
    }
    void expectSymbol(const char* symbol) {
        if (!peek().isSymbol(symbol)) fail();
        ++pos_;
    }
    bool acceptWord(const char* word) {
        if (!peek().isWord(word)) return false;
        ++pos_;
        return true;
    }
    bool acceptSymbol(const char* symbol) {
        if (!peek().isSymbol(symbol)) return false;
        ++pos_;
        return true;
    }

    bool atName() const {
        return peek().kind == Token::QuotedName ||
               (peek().kind == Token::Word && !isReserved(peek()));
    }

    std::string namePart() {
        if (!atName()) fail();
        return take().text;
    }

    // [database.][schema.]name: the object's own name.
    std::string objectName() {
        std::string name = namePart();
        while (acceptSymbol(".")) name = namePart();
        return name;
    }

    long long number() {
        if (peek().kind != Token::Number ||
            peek().text.find_first_not_of("0123456789") != std::string::npos ||
            peek().text.size() > 18)
            fail();
        return std::stoll(take().text);
    }

    ColumnType typeSpec(int ordinal, const std::string& column) {
        if (!atName()) fail();
        const std::string typeName = take().text;
        std::vector<long long> sizes;
        if (acceptSymbol("(")) {
            sizes.push_back(acceptWord("max") ? types::kMaxSize : number());
            if (acceptSymbol(",")) sizes.push_back(number());
            expectSymbol(")");
        }
        try {
            return types::declare(typeName, sizes, ordinal, column);
        } catch (const SqlError& e) {
            raise(e.messages.front(), lastLine());
        }
    }

    std::string variable() {
        if (peek().kind != Token::Variable) fail();
        return take().text;
    }

    std::string declaredVariable() {
        const std::string name = variable();
        if (!declared_.count(foldKey(name))) raise(msg::undeclaredVariable(name), lastLine());
        return name;
    }

    static std::string foldKey(const std::string& name) {
        std::string key;
        for (char c : name) key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return key;
    }

    bool atTerm() const {
        const Token& t = peek();
        return t.kind == Token::String || t.kind == Token::NString || t.kind == Token::Number ||
               t.kind == Token::Variable || t.isWord("NULL") || t.isWord("CHAR") ||
               t.isWord("NCHAR") || (t.isSymbol("-") && peek(1).kind == Token::Number) ||
               atFunction();
    }

    bool atFunction() const {
        return peek().kind == Token::Word && !isReserved(peek()) && peek(1).isSymbol("(");
    }

    // name(arguments), CONVERT(type, value[, style]) or CAST(value AS type).
    ast::Term function() {
        ast::Term t;
        t.kind = ast::Term::Function;
        t.text = take().text;
        expectSymbol("(");
        const bool convert = text::equalNoCase(t.text, "CONVERT");
        const bool cast = text::equalNoCase(t.text, "CAST");
        if (convert) {
            t.target = conversionType();
            expectSymbol(",");
        }
        if (!peek().isSymbol(")") || convert || cast) {
            t.arguments.push_back(expr());
            while (!cast && acceptSymbol(",")) t.arguments.push_back(expr());
        }
        if (cast) {
            expectWord("AS");
            t.target = conversionType();
        }
        expectSymbol(")");
        return t;
    }

    // CONVERT and CAST give a character type without a size 30 characters.
    ColumnType conversionType() {
        ColumnType t = typeSpec(1, std::string());
        if (types::isCharacter(t.type) && !tokens_[pos_ - 1].isSymbol(")")) t.length = 30;
        return t;
    }

    ast::Term term() {
        ast::Term t;
        const Token& tok = peek();
        if (tok.kind == Token::String || tok.kind == Token::NString) {
            t.kind = tok.kind == Token::String ? ast::Term::String : ast::Term::NString;
            t.text = take().text;
        } else if (tok.kind == Token::Number) {
            t.kind = ast::Term::Number;
            t.text = take().text;
        } else if (tok.isSymbol("-") && peek(1).kind == Token::Number) {
            ++pos_;
            t.kind = ast::Term::Number;
            t.text = "-" + take().text;
        } else if (tok.kind == Token::Variable && tok.text.rfind("@@", 0) == 0) {
            t.kind = ast::Term::Function;  // a global such as @@VERSION
            t.text = take().text;
        } else if (tok.kind == Token::Variable) {
            t.kind = ast::Term::Variable;
            t.text = declaredVariable();
        } else if (tok.isWord("NULL")) {
            ++pos_;
        } else if (tok.isWord("CHAR") || tok.isWord("NCHAR")) {
            t.kind = tok.isWord("CHAR") ? ast::Term::Char : ast::Term::NChar;
            ++pos_;
            expectSymbol("(");
            t.code = number();
            expectSymbol(")");
        } else if (atFunction()) {
            t = function();
        } else {
            fail();
        }
        return t;
    }

    ast::Expr expr() {
        ast::Expr e;
        e.terms.push_back(term());
        while (acceptSymbol("+")) e.terms.push_back(term());
        return e;
    }

    ast::Statement statement(bool first) {
        if (acceptWord("SELECT")) return select();
        if (acceptWord("INSERT")) return insert();
        if (acceptWord("CREATE")) return create(first);
        if (acceptWord("DROP")) return drop();
        if (acceptWord("USE")) return ast::Use{namePart()};
        if (acceptWord("DECLARE")) return declare();
        if (acceptWord("SET")) return set();
        if (acceptWord("UPDATE")) return update();
        if (acceptWord("DELETE")) return erase();
        if (acceptWord("TRUNCATE")) {
            expectWord("TABLE");
            return ast::Delete{objectName(), {}, true};
        }
        if (acceptWord("PRINT")) return ast::Print{expr()};
        if (acceptWord("IF")) return ifExists();
        if (peek().isWord("BEGIN") && (peek(1).isWord("TRAN") || peek(1).isWord("TRANSACTION")))
            return transaction(ast::Transaction::Begin);
        if (peek().isWord("COMMIT")) return transaction(ast::Transaction::Commit);
        if (peek().isWord("ROLLBACK")) return transaction(ast::Transaction::Rollback);
        if (acceptWord("EXEC") || acceptWord("EXECUTE") || (first && atName())) return exec();
        fail();
    }

    ast::Transaction transaction(ast::Transaction::Kind kind) {
        pos_ += 1;
        if (!acceptWord("TRAN") && !acceptWord("TRANSACTION") && kind == ast::Transaction::Begin)
            fail();
        if (atName()) namePart();  // a transaction name changes nothing here
        return {kind};
    }

    ast::Where where() {
        if (!acceptWord("WHERE")) return std::nullopt;
        std::string column = columnRef();
        expectSymbol("=");
        return std::make_pair(std::move(column), expr());
    }

    ast::Update update() {
        ast::Update u;
        u.table = objectName();
        expectWord("SET");
        do {
            std::string column = columnRef();
            expectSymbol("=");
            u.assignments.emplace_back(std::move(column), expr());
        } while (acceptSymbol(","));
        u.where = where();
        return u;
    }

    ast::Delete erase() {
        ast::Delete d;
        acceptWord("FROM");
        d.table = objectName();
        d.where = where();
        return d;
    }

    // One statement, or BEGIN ... END around several.
    std::vector<ast::Located> body() {
        std::vector<ast::Located> out;
        if (!acceptWord("BEGIN")) {
            const int line = peek().line;
            out.push_back({line, statement(false)});
            return out;
        }
        while (!acceptWord("END")) {
            if (peek().kind == Token::End) fail();
            if (acceptSymbol(";")) continue;
            const int line = peek().line;
            out.push_back({line, statement(false)});
        }
        return out;
    }

    ast::If ifExists() {
        ast::If i;
        i.negate = acceptWord("NOT");
        if (acceptWord("EXISTS")) {
            expectSymbol("(");
            expectWord("SELECT");
            i.query = select();
            expectSymbol(")");
        } else {
            ast::Expr left = expr();
            const Token& op = peek();
            static const char* const operators[] = {"=", "<>", "!=", "<", ">", "<=", ">="};
            if (op.kind != Token::Symbol ||
                std::none_of(std::begin(operators), std::end(operators),
                             [&](const char* o) { return op.text == o; }))
                fail();
            const std::string symbol = take().text;
            i.comparison = ast::Comparison{std::move(left), symbol, expr()};
        }
        i.then = body();
        while (acceptSymbol(";")) {
        }
        if (acceptWord("ELSE")) i.otherwise = body();
        return i;
    }

    ast::Select select() {
        ast::Select s;
        do s.items.push_back(selectItem());
        while (acceptSymbol(","));
        if (acceptWord("INTO")) s.into = objectName();
        if (acceptWord("FROM")) {
            if (acceptWord("OPENXML"))
                s.openXml = openXml();
            else
                s.table = objectName();
        }
        s.where = where();
        if (acceptWord("ORDER")) {
            expectWord("BY");
            do {
                ast::OrderItem item{columnRef()};
                item.descending = acceptWord("DESC");
                if (!item.descending) acceptWord("ASC");
                s.orderBy.push_back(item);
            } while (acceptSymbol(","));
        }
        return s;
    }

    std::string columnRef() {
        std::string name = namePart();
        while (acceptSymbol(".")) name = namePart();
        return name;
    }

    ast::SelectItem selectItem() {
        ast::SelectItem item;
        if (acceptSymbol("*")) {
            item.star = true;
            return item;
        }
        if (peek().isWord("COUNT") && peek(1).isSymbol("(") && peek(2).isSymbol("*")) {
            pos_ += 3;
            expectSymbol(")");
            item.countAll = true;
        } else if (atName() && !atFunction())
            item.column = columnRef();
        else
            item.value = expr();
        if (acceptWord("AS") || atName() || peek().kind == Token::String) {
            if (!atName() && peek().kind != Token::String) fail();
            item.alias = take().text;
        }
        return item;
    }

    ast::OpenXml openXml() {
        ast::OpenXml o;
        expectSymbol("(");
        if (peek().kind == Token::Variable) {
            o.handle.kind = ast::Term::Variable;
            o.handle.text = declaredVariable();
        } else {
            o.handle.kind = ast::Term::Number;
            o.handle.text = std::to_string(number());
        }
        expectSymbol(",");
        if (peek().kind != Token::String && peek().kind != Token::NString) fail();
        o.varcharRowPattern = peek().kind == Token::String;
        o.rowPattern = take().text;
        if (acceptSymbol(",")) o.flags = number();
        expectSymbol(")");
        expectWord("WITH");
        expectSymbol("(");
        do {
            ast::ColumnSpec c;
            c.name = namePart();
            c.type = typeSpec(static_cast<int>(o.columns.size()) + 1, c.name);
            c.varcharPattern = peek().kind == Token::String;
            if (peek().kind == Token::String || peek().kind == Token::NString)
                c.pattern = take().text;
            o.columns.push_back(std::move(c));
        } while (acceptSymbol(","));
        expectSymbol(")");
        return o;
    }

    ast::Insert insert() {
        ast::Insert ins;
        acceptWord("INTO");
        ins.table = objectName();
        if (acceptSymbol("(")) {
            do ins.columns.push_back(namePart());
            while (acceptSymbol(","));
            expectSymbol(")");
        }
        if (acceptWord("SELECT")) {
            ins.select = select();
            return ins;
        }
        expectWord("VALUES");
        do {
            expectSymbol("(");
            std::vector<std::optional<ast::Expr>> row;
            do {
                if (acceptWord("DEFAULT"))
                    row.emplace_back();
                else
                    row.emplace_back(expr());
            } while (acceptSymbol(","));
            expectSymbol(")");
            ins.rows.push_back(std::move(row));
        } while (acceptSymbol(","));
        return ins;
    }

    ast::Statement create(bool first) {
        if (acceptWord("TABLE")) return createTable();
        if (!peek().isWord("VIEW")) fail();
        if (!first)
            raise(
                makeMessage(111, 15, "'CREATE VIEW' must be the first statement in a query batch."),
                peek().line);
        ++pos_;
        ast::CreateView v;
        v.name = objectName();
        expectWord("AS");
        expectWord("SELECT");
        if (!acceptSymbol("*")) do
                v.columns.push_back(columnRef());
            while (acceptSymbol(","));
        expectWord("FROM");
        v.base = objectName();
        while (acceptSymbol(";")) {
        }
        if (peek().kind != Token::End) fail();
        return v;
    }

    ast::CreateTable createTable() {
        ast::CreateTable t;
        t.name = objectName();
        expectSymbol("(");
        do {
            if (peek().isWord("CONSTRAINT") || peek().isWord("PRIMARY")) {
                tableKey(t);
                continue;
            }
            ast::ColumnSpec c;
            c.name = namePart();
            c.type = typeSpec(static_cast<int>(t.columns.size()) + 1, c.name);
            while (columnConstraint(t, c)) {
            }
            t.columns.push_back(std::move(c));
        } while (acceptSymbol(","));
        expectSymbol(")");
        return t;
    }

    // [CONSTRAINT name] PRIMARY KEY [CLUSTERED | NONCLUSTERED]: the name, or false when absent.
    bool primaryKey(ast::CreateTable& t) {
        std::string name;
        if (acceptWord("CONSTRAINT"))
            name = namePart();
        else if (!peek().isWord("PRIMARY"))
            return false;
        expectWord("PRIMARY");
        expectWord("KEY");
        if (!acceptWord("CLUSTERED")) acceptWord("NONCLUSTERED");
        if (!t.keyColumns.empty())
            raise(makeMessage(
                      8110, 16,
                      "Cannot add multiple PRIMARY KEY constraints to table '" + t.name + "'."),
                  lastLine());
        t.primaryKey = name;
        return true;
    }

    void tableKey(ast::CreateTable& t) {
        if (!primaryKey(t)) fail();
        expectSymbol("(");
        do {
            t.keyColumns.push_back(namePart());
            if (!acceptWord("ASC")) acceptWord("DESC");
        } while (acceptSymbol(","));
        expectSymbol(")");
    }

    bool columnConstraint(ast::CreateTable& t, ast::ColumnSpec& c) {
        if (acceptWord("NOT")) {
            expectWord("NULL");
            c.nullable = false;
        } else if (acceptWord("NULL")) {
        } else if (acceptWord("IDENTITY")) {
            c.identity.emplace();
            if (acceptSymbol("(")) {
                c.identity->seed = signedNumber();
                expectSymbol(",");
                c.identity->step = signedNumber();
                expectSymbol(")");
            }
            c.nullable = false;
        } else if (acceptWord("DEFAULT")) {
            const bool parenthesised = acceptSymbol("(");
            c.defaultValue = expr();
            if (parenthesised) expectSymbol(")");
        } else if (primaryKey(t)) {
            t.keyColumns.push_back(c.name);
            c.nullable = false;
        } else {
            return false;
        }
        return true;
    }

    long long signedNumber() {
        const bool negative = acceptSymbol("-");
        return negative ? -number() : number();
    }

    ast::Drop drop() {
        ast::Drop d;
        if (acceptWord("VIEW"))
            d.view = true;
        else
            expectWord("TABLE");
        d.name = objectName();
        return d;
    }

    ast::Declare declare() {
        ast::Declare d;
        do {
            ast::Declare::Variable v;
            v.name = variable();
            if (!declared_.insert(foldKey(v.name)).second)
                raise(msg::variableRedeclared(v.name), lastLine());
            acceptWord("AS");
            v.type = typeSpec(static_cast<int>(d.variables.size()) + 1, std::string());
            if (acceptSymbol("=")) v.init = expr();
            d.variables.push_back(std::move(v));
        } while (acceptSymbol(","));
        return d;
    }

    ast::Statement set() {
        if (peek().kind == Token::Variable) {
            ast::SetVariable s;
            s.name = declaredVariable();
            expectSymbol("=");
            s.value = expr();
            return s;
        }
        ast::SetOption o;
        if (peek().kind != Token::Word) fail();
        o.option = foldKey(take().text);
        if (o.option == "transaction") {
            expectWord("ISOLATION");
            expectWord("LEVEL");
            while (isOneOf(peek(), std::initializer_list<const char*>{"READ", "COMMITTED",
                                                                      "UNCOMMITTED", "REPEATABLE",
                                                                      "SERIALIZABLE", "SNAPSHOT"}))
                o.value += take().text + " ";
            return o;
        }
        while (acceptSymbol(",")) namePart();
        const Token& v = peek();
        if (v.kind == Token::Word || v.kind == Token::Number || v.kind == Token::String ||
            v.kind == Token::QuotedName)
            o.value = take().text;
        else if (v.isSymbol("-") && peek(1).kind == Token::Number)
            o.value = "-" + (++pos_, take().text);
        else
            fail();
        return o;
    }

    ast::Exec exec() {
        ast::Exec e;
        e.procedure = objectName();
        const auto atArgument = [&] {
            return atTerm() || peek().isWord("DEFAULT") ||
                   (peek().kind == Token::Word && !startsStatement(peek()) &&
                    !isReserved(peek())) ||
                   peek().kind == Token::QuotedName;
        };
        if (!atArgument()) return e;
        do {
            ast::Exec::Argument a;
            if (peek().kind == Token::Variable && peek(1).isSymbol("=")) pos_ += 2;
            if (acceptWord("DEFAULT")) {
            } else if (atTerm()) {
                a.value = expr();
            } else if (atName()) {
                a.value.terms.push_back({ast::Term::NString, take().text, 0});
            } else {
                fail();
            }
            a.output = acceptWord("OUTPUT") || acceptWord("OUT");
            e.arguments.push_back(std::move(a));
        } while (acceptSymbol(","));
        return e;
    }

    std::vector<Token> tokens_;
    std::size_t pos_ = 0;
    std::set<std::string> declared_;
};

}  // namespace

std::vector<ast::Located> parseBatch(const std::string& batch,
                                     const std::vector<std::string>& declared) {
    return Parser(batch, declared).run();
}

ast::Expr parseExpression(const std::string& text) { return Parser(text, {}).expression(); }

namespace {

std::string typeText(const ColumnType& t) {
    std::string out = types::name(t.type);
    if (t.type == SqlType::Decimal || t.type == SqlType::Numeric)
        return out + "(" + std::to_string(t.precision) + ", " + std::to_string(t.scale) + ")";
    return t.length > 0 && types::isCharacter(t.type) ? out + "(" + std::to_string(t.length) + ")"
                                                      : out;
}

std::string quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
    return out + "'";
}

std::string termSource(const ast::Term& t) {
    switch (t.kind) {
        case ast::Term::String:
            return quoted(t.text);
        case ast::Term::NString:
            return "N" + quoted(t.text);
        case ast::Term::Number:
        case ast::Term::Variable:
            return t.text;
        case ast::Term::Null:
            return "NULL";
        case ast::Term::Char:
            return "char(" + std::to_string(t.code) + ")";
        case ast::Term::NChar:
            return "nchar(" + std::to_string(t.code) + ")";
        case ast::Term::Function:
            break;
    }
    if (t.text.rfind("@@", 0) == 0) return t.text;
    if (text::equalNoCase(t.text, "CONVERT") || text::equalNoCase(t.text, "CAST"))
        return "CAST(" + sourceOf(t.arguments.at(0)) + " AS " + typeText(t.target) + ")";
    std::string arguments;
    for (const ast::Expr& a : t.arguments)
        arguments += (arguments.empty() ? "" : ", ") + sourceOf(a);
    return t.text + "(" + arguments + ")";
}

}  // namespace

std::string sourceOf(const ast::Expr& e) {
    std::string out;
    for (const ast::Term& t : e.terms) out += (out.empty() ? "" : " + ") + termSource(t);
    return out;
}

}  // namespace standin
