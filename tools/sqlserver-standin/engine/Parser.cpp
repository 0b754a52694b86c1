#include "Parser.h"

#include "Lexer.h"
#include "Messages.h"
#include "Text.h"
#include "Types.h"

#include <set>

namespace standin {
namespace {

const char* const kStatementWords[] = {"SELECT", "INSERT", "UPDATE", "DELETE", "CREATE", "DROP",
                                       "USE", "DECLARE", "SET", "EXEC", "EXECUTE", "IF", "BEGIN",
                                       "END", "WHILE", "RETURN", "PRINT", "ALTER", "TRUNCATE"};
const char* const kReservedWords[] = {
    "FROM", "WHERE", "INTO", "VALUES", "ORDER", "BY", "AS", "WITH", "TABLE", "VIEW", "NULL",
    "AND", "OR", "NOT", "DEFAULT", "ON", "OPENXML", "GROUP", "HAVING", "UNION", "JOIN", "INNER",
    "LEFT", "RIGHT", "OUTER", "CROSS", "PRIMARY", "KEY", "IS", "IN", "LIKE", "BETWEEN", "CASE",
    "WHEN", "THEN", "ELSE", "DISTINCT", "TOP", "PROCEDURE", "PROC", "DATABASE", "OUTPUT"};

bool isOneOf(const Token& t, const auto& words)
{
    for (const char* w : words)
        if (t.isWord(w))
            return true;
    return false;
}

bool startsStatement(const Token& t)
{
    return isOneOf(t, kStatementWords);
}

bool isReserved(const Token& t)
{
    return startsStatement(t) || isOneOf(t, kReservedWords);
}

class Parser {
public:
    explicit Parser(const std::string& batch) : tokens_(tokenize(batch)) {}

    std::vector<ast::Located> run()
    {
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

private:
    const Token& peek(std::size_t ahead = 0) const
    {
        return tokens_[std::min(pos_ + ahead, tokens_.size() - 1)];
    }
    const Token& take() { return tokens_[std::min(pos_++, tokens_.size() - 1)]; }

    [[noreturn]] static void raise(Message m, int line)
    {
        m.line = line;
        throw SqlError(std::move(m), true);
    }

    int lastLine() const { return pos_ > 0 ? tokens_[pos_ - 1].line : 1; }

    [[noreturn]] void fail() const
    {
        const Token& t = peek();
        if (t.kind == Token::End)
            raise(msg::syntax(pos_ > 0 ? tokens_[pos_ - 1].text : std::string()), lastLine());
        if (isReserved(t))
            raise(msg::syntaxKeyword(t.text), t.line);
        raise(msg::syntax(t.text), t.line);
    }

    void expectWord(const char* word)
    {
        if (!peek().isWord(word))
            fail();
        ++pos_;
    }
    void expectSymbol(const char* symbol)
    {
        if (!peek().isSymbol(symbol))
            fail();
        ++pos_;
    }
    bool acceptWord(const char* word)
    {
        if (!peek().isWord(word))
            return false;
        ++pos_;
        return true;
    }
    bool acceptSymbol(const char* symbol)
    {
        if (!peek().isSymbol(symbol))
            return false;
        ++pos_;
        return true;
    }

    bool atName() const
    {
        return peek().kind == Token::QuotedName || (peek().kind == Token::Word && !isReserved(peek()));
    }

    std::string namePart()
    {
        if (!atName())
            fail();
        return take().text;
    }

    // [database.][schema.]name: the object's own name.
    std::string objectName()
    {
        std::string name = namePart();
        while (acceptSymbol("."))
            name = namePart();
        return name;
    }

    long long number()
    {
        if (peek().kind != Token::Number || peek().text.find_first_not_of("0123456789") != std::string::npos ||
            peek().text.size() > 18)
            fail();
        return std::stoll(take().text);
    }

    ColumnType typeSpec(int ordinal, const std::string& column)
    {
        if (!atName())
            fail();
        const std::string typeName = take().text;
        std::vector<long long> sizes;
        if (acceptSymbol("(")) {
            sizes.push_back(number());
            if (acceptSymbol(","))
                sizes.push_back(number());
            expectSymbol(")");
        }
        try {
            return types::declare(typeName, sizes, ordinal, column);
        } catch (const SqlError& e) {
            raise(e.messages.front(), lastLine());
        }
    }

    std::string variable()
    {
        if (peek().kind != Token::Variable)
            fail();
        return take().text;
    }

    std::string declaredVariable()
    {
        const std::string name = variable();
        if (!declared_.count(foldKey(name)))
            raise(msg::undeclaredVariable(name), lastLine());
        return name;
    }

    static std::string foldKey(const std::string& name)
    {
        std::string key;
        for (char c : name)
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return key;
    }

    bool atTerm() const
    {
        const Token& t = peek();
        return t.kind == Token::String || t.kind == Token::NString || t.kind == Token::Number ||
               t.kind == Token::Variable || t.isWord("NULL") || t.isWord("CHAR") || t.isWord("NCHAR") ||
               (t.isSymbol("-") && peek(1).kind == Token::Number) || atFunction();
    }

    bool atFunction() const { return peek().kind == Token::Word && !isReserved(peek()) && peek(1).isSymbol("("); }

    // name(arguments), CONVERT(type, value[, style]) or CAST(value AS type).
    ast::Term function()
    {
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
            while (!cast && acceptSymbol(","))
                t.arguments.push_back(expr());
        }
        if (cast) {
            expectWord("AS");
            t.target = conversionType();
        }
        expectSymbol(")");
        return t;
    }

    // CONVERT and CAST give a character type without a size 30 characters.
    ColumnType conversionType()
    {
        ColumnType t = typeSpec(1, std::string());
        if (types::isCharacter(t.type) && !tokens_[pos_ - 1].isSymbol(")"))
            t.length = 30;
        return t;
    }

    ast::Term term()
    {
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

    ast::Expr expr()
    {
        ast::Expr e;
        e.terms.push_back(term());
        while (acceptSymbol("+"))
            e.terms.push_back(term());
        return e;
    }

    ast::Statement statement(bool first)
    {
        if (acceptWord("SELECT"))
            return select();
        if (acceptWord("INSERT"))
            return insert();
        if (acceptWord("CREATE"))
            return create(first);
        if (acceptWord("DROP"))
            return drop();
        if (acceptWord("USE"))
            return ast::Use{namePart()};
        if (acceptWord("DECLARE"))
            return declare();
        if (acceptWord("SET"))
            return set();
        if (acceptWord("EXEC") || acceptWord("EXECUTE") || (first && atName()))
            return exec();
        fail();
    }

    ast::Select select()
    {
        ast::Select s;
        do
            s.items.push_back(selectItem());
        while (acceptSymbol(","));
        if (acceptWord("INTO"))
            s.into = objectName();
        if (acceptWord("FROM")) {
            if (acceptWord("OPENXML"))
                s.openXml = openXml();
            else
                s.table = objectName();
        }
        if (acceptWord("WHERE")) {
            std::string column = columnRef();
            expectSymbol("=");
            s.where.emplace(std::move(column), expr());
        }
        if (acceptWord("ORDER")) {
            expectWord("BY");
            do {
                ast::OrderItem item{columnRef()};
                item.descending = acceptWord("DESC");
                if (!item.descending)
                    acceptWord("ASC");
                s.orderBy.push_back(item);
            } while (acceptSymbol(","));
        }
        return s;
    }

    std::string columnRef()
    {
        std::string name = namePart();
        while (acceptSymbol("."))
            name = namePart();
        return name;
    }

    ast::SelectItem selectItem()
    {
        ast::SelectItem item;
        if (acceptSymbol("*")) {
            item.star = true;
            return item;
        }
        if (atName() && !atFunction())
            item.column = columnRef();
        else
            item.value = expr();
        if (acceptWord("AS") || atName() || peek().kind == Token::String) {
            if (!atName() && peek().kind != Token::String)
                fail();
            item.alias = take().text;
        }
        return item;
    }

    ast::OpenXml openXml()
    {
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
        if (peek().kind != Token::String && peek().kind != Token::NString)
            fail();
        o.varcharRowPattern = peek().kind == Token::String;
        o.rowPattern = take().text;
        if (acceptSymbol(","))
            o.flags = number();
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

    ast::Insert insert()
    {
        ast::Insert ins;
        acceptWord("INTO");
        ins.table = objectName();
        if (acceptSymbol("(")) {
            do
                ins.columns.push_back(namePart());
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

    ast::Statement create(bool first)
    {
        if (acceptWord("TABLE"))
            return createTable();
        if (!peek().isWord("VIEW"))
            fail();
        if (!first)
            raise(makeMessage(111, 15, "'CREATE VIEW' must be the first statement in a query batch."), peek().line);
        ++pos_;
        ast::CreateView v;
        v.name = objectName();
        expectWord("AS");
        expectWord("SELECT");
        if (!acceptSymbol("*"))
            do
                v.columns.push_back(columnRef());
            while (acceptSymbol(","));
        expectWord("FROM");
        v.base = objectName();
        while (acceptSymbol(";")) {
        }
        if (peek().kind != Token::End)
            fail();
        return v;
    }

    ast::CreateTable createTable()
    {
        ast::CreateTable t;
        t.name = objectName();
        expectSymbol("(");
        do {
            ast::ColumnSpec c;
            c.name = namePart();
            c.type = typeSpec(static_cast<int>(t.columns.size()) + 1, c.name);
            if (acceptWord("NOT")) {
                expectWord("NULL");
                c.nullable = false;
            } else {
                acceptWord("NULL");
            }
            t.columns.push_back(std::move(c));
        } while (acceptSymbol(","));
        expectSymbol(")");
        return t;
    }

    ast::Drop drop()
    {
        ast::Drop d;
        if (acceptWord("VIEW"))
            d.view = true;
        else
            expectWord("TABLE");
        d.name = objectName();
        return d;
    }

    ast::Declare declare()
    {
        ast::Declare d;
        do {
            ast::Declare::Variable v;
            v.name = variable();
            if (!declared_.insert(foldKey(v.name)).second)
                raise(msg::variableRedeclared(v.name), lastLine());
            acceptWord("AS");
            v.type = typeSpec(static_cast<int>(d.variables.size()) + 1, std::string());
            if (acceptSymbol("="))
                v.init = expr();
            d.variables.push_back(std::move(v));
        } while (acceptSymbol(","));
        return d;
    }

    ast::Statement set()
    {
        if (peek().kind == Token::Variable) {
            ast::SetVariable s;
            s.name = declaredVariable();
            expectSymbol("=");
            s.value = expr();
            return s;
        }
        ast::SetOption o;
        if (peek().kind != Token::Word)
            fail();
        o.option = foldKey(take().text);
        if (o.option == "transaction") {
            expectWord("ISOLATION");
            expectWord("LEVEL");
            while (isOneOf(peek(), std::initializer_list<const char*>{"READ", "COMMITTED", "UNCOMMITTED", "REPEATABLE", "SERIALIZABLE", "SNAPSHOT"}))
                o.value += take().text + " ";
            return o;
        }
        while (acceptSymbol(","))
            namePart();
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

    ast::Exec exec()
    {
        ast::Exec e;
        e.procedure = objectName();
        const auto atArgument = [&] {
            return atTerm() || peek().isWord("DEFAULT") ||
                   (peek().kind == Token::Word && !startsStatement(peek()) && !isReserved(peek())) ||
                   peek().kind == Token::QuotedName;
        };
        if (!atArgument())
            return e;
        do {
            ast::Exec::Argument a;
            if (peek().kind == Token::Variable && peek(1).isSymbol("="))
                pos_ += 2;
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

std::vector<ast::Located> parseBatch(const std::string& batch)
{
    return Parser(batch).run();
}

}  // namespace standin
