#include "SqlNames.h"

#include <algorithm>
#include <iterator>
#include <string>
#include <string_view>

#include <QList>

namespace {

// SQL Server's reserved keywords, sorted. "WITHIN GROUP" has a blank, so it is bracketed anyway.
// clang-format off
constexpr std::string_view ReservedKeywords[] = {
    "ADD", "ALL", "ALTER", "AND", "ANY", "AS", "ASC", "AUTHORIZATION", "BACKUP", "BEGIN", "BETWEEN",
    "BREAK", "BROWSE", "BULK", "BY", "CASCADE", "CASE", "CHECK", "CHECKPOINT", "CLOSE", "CLUSTERED",
    "COALESCE", "COLLATE", "COLUMN", "COMMIT", "COMPUTE", "CONSTRAINT", "CONTAINS", "CONTAINSTABLE",
    "CONTINUE", "CONVERT", "CREATE", "CROSS", "CURRENT", "CURRENT_DATE", "CURRENT_TIME",
    "CURRENT_TIMESTAMP", "CURRENT_USER", "CURSOR", "DATABASE", "DBCC", "DEALLOCATE", "DECLARE",
    "DEFAULT", "DELETE", "DENY", "DESC", "DISK", "DISTINCT", "DISTRIBUTED", "DOUBLE", "DROP",
    "DUMP", "ELSE", "END", "ERRLVL", "ESCAPE", "EXCEPT", "EXEC", "EXECUTE", "EXISTS", "EXIT",
    "EXTERNAL", "FETCH", "FILE", "FILLFACTOR", "FOR", "FOREIGN", "FREETEXT", "FREETEXTTABLE",
    "FROM", "FULL", "FUNCTION", "GOTO", "GRANT", "GROUP", "HAVING", "HOLDLOCK", "IDENTITY",
    "IDENTITYCOL", "IDENTITY_INSERT", "IF", "IN", "INDEX", "INNER", "INSERT", "INTERSECT", "INTO",
    "IS", "JOIN", "KEY", "KILL", "LEFT", "LIKE", "LINENO", "LOAD", "MERGE", "NATIONAL", "NOCHECK",
    "NONCLUSTERED", "NOT", "NULL", "NULLIF", "OF", "OFF", "OFFSETS", "ON", "OPEN", "OPENDATASOURCE",
    "OPENQUERY", "OPENROWSET", "OPENXML", "OPTION", "OR", "ORDER", "OUTER", "OVER", "PERCENT",
    "PIVOT", "PLAN", "PRECISION", "PRIMARY", "PRINT", "PROC", "PROCEDURE", "PUBLIC", "RAISERROR",
    "READ", "READTEXT", "RECONFIGURE", "REFERENCES", "REPLICATION", "RESTORE", "RESTRICT", "RETURN",
    "REVERT", "REVOKE", "RIGHT", "ROLLBACK", "ROWCOUNT", "ROWGUIDCOL", "RULE", "SAVE", "SCHEMA",
    "SECURITYAUDIT", "SELECT", "SEMANTICKEYPHRASETABLE", "SEMANTICSIMILARITYDETAILSTABLE",
    "SEMANTICSIMILARITYTABLE", "SESSION_USER", "SET", "SETUSER", "SHUTDOWN", "SOME", "STATISTICS",
    "SYSTEM_USER", "TABLE", "TABLESAMPLE", "TEXTSIZE", "THEN", "TO", "TOP", "TRAN", "TRANSACTION",
    "TRIGGER", "TRUNCATE", "TRY_CONVERT", "TSEQUAL", "UNION", "UNIQUE", "UNPIVOT", "UPDATE",
    "UPDATETEXT", "USE", "USER", "VALUES", "VARYING", "VIEW", "WAITFOR", "WHEN", "WHERE", "WHILE",
    "WITH", "WITHIN GROUP", "WRITETEXT",
};
// clang-format on
static_assert(std::is_sorted(std::cbegin(ReservedKeywords), std::cend(ReservedKeywords)));

QString Doubled(const QString& text, QChar quote) {
    QString result = text;
    return result.replace(quote, QString(2, quote));
}

}  // namespace

bool IsPlainIdentifier(QStringView name) {
    const QList<uint> codePoints = name.toUcs4();
    if (codePoints.isEmpty() || QChar::isDigit(codePoints.front())) return false;
    return std::all_of(codePoints.cbegin(), codePoints.cend(),
                       [](uint c) { return QChar::isLetter(c) || QChar::isDigit(c) || c == u'_'; });
}

bool IsReservedKeyword(QStringView name) {
    // Keywords are ASCII, so only an ASCII name can be one; comparing after ASCII-only
    // upper-casing keeps letters like "ß" or "ı" from turning into keyword letters.
    std::string upper;
    for (const QChar c : name) {
        if (c.unicode() > 127) return false;
        upper += static_cast<char>(c.toUpper().unicode());
    }
    return std::binary_search(std::cbegin(ReservedKeywords), std::cend(ReservedKeywords), upper);
}

QString FieldNameInSql(const QString& name) {
    if (name.isEmpty() || (IsPlainIdentifier(name) && !IsReservedKeyword(name))) return name;
    return u'[' + BracketedText(name) + u']';
}

QString BracketedText(const QString& text) { return Doubled(text, u']'); }

QString QuotedText(const QString& text) { return Doubled(text, u'\''); }
