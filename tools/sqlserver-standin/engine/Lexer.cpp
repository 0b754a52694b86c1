#include "Lexer.h"

#include "Messages.h"
#include "Text.h"

#include <cctype>

namespace standin {
namespace {

bool isNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '@' || c == '#' ||
           c == '$' || static_cast<unsigned char>(c) >= 0x80;
}

class Scanner {
public:
    explicit Scanner(const std::string& s) : s_(s) {}

    std::vector<Token> run()
    {
        std::vector<Token> out;
        while (skipBlanksAndComments())
            out.push_back(next());
        Token end;
        end.line = line_;
        out.push_back(end);
        return out;
    }

private:
    char at(std::size_t i) const { return i < s_.size() ? s_[i] : '\0'; }

    void advance(std::size_t n)
    {
        for (std::size_t k = 0; k < n && pos_ < s_.size(); ++k, ++pos_)
            if (s_[pos_] == '\n')
                ++line_;
    }

    bool skipBlanksAndComments()
    {
        for (;;) {
            while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_])))
                advance(1);
            if (at(pos_) == '-' && at(pos_ + 1) == '-') {
                while (pos_ < s_.size() && s_[pos_] != '\n')
                    advance(1);
            } else if (at(pos_) == '/' && at(pos_ + 1) == '*') {
                skipBlockComment();
            } else {
                return pos_ < s_.size();
            }
        }
    }

    void skipBlockComment()
    {
        int depth = 0;
        do {
            if (at(pos_) == '/' && at(pos_ + 1) == '*')
                ++depth, advance(2);
            else if (at(pos_) == '*' && at(pos_ + 1) == '/')
                --depth, advance(2);
            else
                advance(1);
        } while (depth > 0 && pos_ < s_.size());
    }

    // Reads up to `close`, a doubled `close` standing for itself.
    std::string quoted(char close)
    {
        const std::size_t start = pos_;
        const int line = line_;
        advance(1);
        std::string text;
        for (;;) {
            if (pos_ >= s_.size()) {
                Message m = msg::unclosedQuote(s_.substr(start + 1));
                m.line = line;
                throw SqlError(std::move(m), true);
            }
            if (s_[pos_] == close) {
                if (at(pos_ + 1) != close) {
                    advance(1);
                    return text;
                }
                advance(1);
            }
            text += s_[pos_];
            advance(1);
        }
    }

    Token next()
    {
        Token t;
        t.line = line_;
        const char c = s_[pos_];
        if ((c == 'N' || c == 'n') && at(pos_ + 1) == '\'') {
            advance(1);
            t.kind = Token::NString;
            t.text = quoted('\'');
        } else if (c == '\'') {
            t.kind = Token::String;
            t.text = quoted('\'');
        } else if (c == '[') {
            t.kind = Token::QuotedName;
            t.text = quoted(']');
        } else if (c == '"') {
            t.kind = Token::QuotedName;
            t.text = quoted('"');
        } else if (std::isdigit(static_cast<unsigned char>(c)) ||
                   (c == '.' && std::isdigit(static_cast<unsigned char>(at(pos_ + 1))))) {
            t.kind = Token::Number;
            t.text = number();
        } else if (isNameChar(c)) {
            t.kind = c == '@' ? Token::Variable : Token::Word;
            const std::size_t start = pos_;
            while (pos_ < s_.size() && isNameChar(s_[pos_]))
                advance(1);
            t.text = s_.substr(start, pos_ - start);
        } else {
            t.kind = Token::Symbol;
            static const char* pairs[] = {"<>", "<=", ">=", "!=", "+=", "-="};
            std::size_t len = 1;
            for (const char* p : pairs)
                if (s_.compare(pos_, 2, p) == 0)
                    len = 2;
            t.text = s_.substr(pos_, len);
            advance(len);
        }
        return t;
    }

    std::string number()
    {
        const std::size_t start = pos_;
        auto digits = [&] {
            while (std::isdigit(static_cast<unsigned char>(at(pos_))))
                advance(1);
        };
        digits();
        if (at(pos_) == '.')
            advance(1), digits();
        if ((at(pos_) == 'e' || at(pos_) == 'E') &&
            (std::isdigit(static_cast<unsigned char>(at(pos_ + 1))) ||
             ((at(pos_ + 1) == '+' || at(pos_ + 1) == '-') &&
              std::isdigit(static_cast<unsigned char>(at(pos_ + 2)))))) {
            advance(2);
            digits();
        }
        return s_.substr(start, pos_ - start);
    }

    const std::string& s_;
    std::size_t pos_ = 0;
    int line_ = 1;
};

}  // namespace

bool Token::isWord(const char* word) const
{
    return kind == Word && text::equalNoCase(text, word);
}

std::vector<Token> tokenize(const std::string& batch)
{
    return Scanner(batch).run();
}

}  // namespace standin
