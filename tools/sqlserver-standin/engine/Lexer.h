// Splits a T-SQL batch into tokens, keeping the line each starts on.
#pragma once

#include <string>
#include <vector>

namespace standin {

struct Token {
    enum Kind { Word, QuotedName, Variable, String, NString, Number, Symbol, End };
    Kind kind = End;
    std::string text;  // names and strings unescaped; symbols and numbers as written
    int line = 1;

    bool isWord(const char* word) const;  // case-insensitive keyword test
    bool isSymbol(const char* symbol) const { return kind == Symbol && text == symbol; }
};

// Throws SqlError (compile) on an unclosed quotation mark.
std::vector<Token> tokenize(const std::string& batch);

}  // namespace standin
