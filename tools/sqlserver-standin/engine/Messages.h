// The server's message texts, one function each, and the failure that carries them.
#pragma once

#include "Engine.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace standin {

// A failure of one statement (or, when `compile` is set, of the whole batch before it runs).
struct SqlError : std::runtime_error {
    explicit SqlError(Message m, bool compileError = false);
    SqlError(std::vector<Message> m, bool compileError = false);
    std::vector<Message> messages;
    bool compile = false;
};

namespace msg {

Message syntax(const std::string& near);                                    // 102
Message syntaxKeyword(const std::string& keyword);                          // 156
Message unclosedQuote(const std::string& rest);                             // 105
Message typeTooLong(const std::string& type, long long size, int max);      // 131
Message columnTooLong(const std::string& column, long long size, int max);  // 131
Message badLength(long long size);                                          // 1001
Message precisionTooLarge(int ordinal, long long precision);                // 2750
Message scaleAbovePrecision();                                              // 192
Message unknownType(int ordinal, const std::string& type);                  // 2715
Message widthNotAllowed(int ordinal, const std::string& type);              // 2716
Message undeclaredVariable(const std::string& name);                        // 137
Message variableRedeclared(const std::string& name);                        // 134
Message conversionFailed(const std::string& from, const std::string& value,
                         const std::string& to);                        // 245
Message overflow(const std::string& from, const std::string& to);       // 8115
Message numericFormat(const std::string& from, const std::string& to);  // 8114
Message moneyFormat();                                                  // 235
Message dateFormat();                                                   // 241
Message dateRange(const std::string& from, const std::string& to);      // 242
Message guidFormat();                                                   // 8169
Message truncated();                                                    // 8152
Message truncatedIn(const std::string& table, const std::string& column,
                    const std::string& value);                                           // 2628
Message integerOverflow(const std::string& from, const std::string& value, SqlType to);  // 248, 244
Message oneTimestamp(const std::string& table, const std::string& column);               // 2738
Message duplicateKey(const std::string& constraint, const std::string& table,
                     const std::string& key);                                  // 2627
Message identityValue(const std::string& table);                               // 544
Message terminated();                                                          // 3621
Message objectExists(const std::string& name);                                 // 2714
Message columnCount();                                                         // 213
Message invalidObject(const std::string& name);                                // 208
Message invalidColumn(const std::string& name);                                // 207
Message duplicateColumn(const std::string& column, const std::string& table);  // 2705
Message nullNotAllowed(const std::string& column, const std::string& table,
                       const std::string& verb);                          // 515
Message timestampValue();                                                 // 273
Message cannotDrop(const std::string& kind, const std::string& name);     // 3701
Message databaseMissing(const std::string& name);                         // 911
Message databaseChanged(const std::string& name);                         // 5701
Message languageChanged();                                                // 5703
Message procedureMissing(const std::string& name);                        // 2812
Message handleMissing(long long handle);                                  // 8179
Message xmlParseError(unsigned code, int line, const std::string& near);  // 6601
Message xmlErrorDescription(const std::string& description);              // 6602
Message xpathError(const std::string& description);                       // 6603
Message removeInvalid();                                                  // 6607
Message xmlMemoryLow();                                                   // 6624

}  // namespace msg
}  // namespace standin
