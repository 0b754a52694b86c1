// The text of a failed ODBC call: the first error's message as the server put it.
#pragma once

#include <vector>

#include <QString>

namespace platform {

struct DiagRecord {
    QString state;  // SQLSTATE, five characters
    QString text;   // with the driver's and manager's bracketed prefixes
};

// Warnings ("01...") and the like carry information only.
bool IsErrorState(const QString& state);

// Drops the leading "[vendor][component]" groups, up to and including "[SQL Server]" when
// present, then trailing characters of code 32 or below and trailing full stops.
QString CleanMessageText(const QString& text);

// The cleaned text of the first error record with any, else of the first record with any;
// empty when none has text.
QString FailureText(const std::vector<DiagRecord>& records);

// For a call under which the connection died: the cleaned text of the first connection-class
// ("08...") record with any, else ODBC's text for a lost link. Whatever else the driver said
// follows from the loss; FreeTDS says only "Unknown error".
QString LostLinkText(const std::vector<DiagRecord>& records);

}  // namespace platform
