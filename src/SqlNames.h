// Writing user-supplied names and texts into T-SQL so that they cannot end a name or a
// literal early.
#pragma once

#include <QString>
#include <QStringView>

// Letters of any script, digits and underscores, not starting with a digit.
bool IsPlainIdentifier(QStringView name);

// One of SQL Server's reserved keywords, letter case ignored.
bool IsReservedKeyword(QStringView name);

// The name as it is when it is a plain identifier and no keyword (or empty); otherwise
// in brackets.
QString FieldNameInSql(const QString& name);

// The text to put between "[" and "]": every "]" doubled.
QString BracketedText(const QString& text);

// The text to put between apostrophes: every apostrophe doubled.
QString QuotedText(const QString& text);
