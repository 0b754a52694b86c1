// The program's six messages, each in English and Turkish, and the rule that picks the language.
#pragma once

#include <QString>

enum class MessageId {
    msgConnectOk,
    msgConnectFailed,
    msgImportOk,
    msgImportTooLarge,
    msgImportFailed,
    msgBadXml,
};

enum class MessageKind { Error, Information };
enum class Language { English, Turkish };

// English exactly while the File menu caption is the built-in "&File"; any other caption
// means a translated window set is in use.
Language MessageLanguage(const QString& fileMenuCaption);

MessageKind MessageKindOf(MessageId id);

// The full text to show; errorText is appended to msgImportFailed only.
QString MessageText(MessageId id, Language language, const QString& errorText = {});
