// The program's messages, each in English and Turkish, and the rule that picks the language.
#pragma once

#include <QString>

enum class MessageId {
    msgConnectOk,
    msgConnectFailed,
    msgImportOk,
    msgImportTooLarge,
    msgImportFailed,
    msgBadXml,
    msgImportNoRows,
    msgImportCancelled,
};

enum class MessageKind { Error, Information };
enum class Language { English, Turkish };

// English exactly while the File menu caption is the built-in "&File"; any other caption
// means a translated window set is in use.
Language MessageLanguage(const QString& fileMenuCaption);

MessageKind MessageKindOf(MessageId id);

// The full text to show. detail completes the messages that have a variable part: the rows
// imported (msgImportOk, on a line of its own when given), the limit that was met
// (msgImportTooLarge) and the error text (msgImportFailed, appended directly).
QString MessageText(MessageId id, Language language, const QString& detail = {});
