// How an import ended, and the message that tells the user.
#pragma once

#include <QString>

#include "Messages.h"

enum class ImportEnd { Imported, NoRows, Cancelled, TooLarge, Failed };

// What was too large: the server's own words, or a batch larger than the server takes.
enum class SizeLimit { Server, WholeDocument, RowElement };

struct ImportOutcome {
    ImportEnd end = ImportEnd::Imported;
    qint64 rows = 0;
    QString errorText{};  // Failed: the failure's text; TooLarge from the server: its text
    SizeLimit limit = SizeLimit::Server;
    qint64 size = 0;     // bytes of the batch that was too large
    qint64 maximum = 0;  // the largest batch the server takes, in bytes
};

// The outcome of a failure with this text: too large when it says "exceeds the maximum"
// (the server's words for a size above its largest) or that the server's memory for XML
// documents ran out; failed otherwise.
ImportOutcome FailureOutcome(const QString& errorText);

// The message that reports the outcome, and what completes its text.
MessageId OutcomeMessage(const ImportOutcome& outcome);
QString OutcomeDetail(const ImportOutcome& outcome, Language language);
