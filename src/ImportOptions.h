// What "tavlen import" is asked to do, read from its arguments in the GNU style, and the
// texts of its help, in the language of the user's locale.
#pragma once

#include <optional>
#include <stdexcept>

#include <QString>
#include <QStringList>

#include "Bilingual.h"

struct ImportOptions {
    std::optional<QString> mapping;
    // Each given one wins over the mapping's.
    std::optional<QString> server;
    std::optional<QString> user;
    std::optional<QString> database;
    std::optional<QString> table;
    std::optional<QString> passwordFile;
    std::optional<QString> doneDir;
    std::optional<QString> failedDir;
    QStringList paths;
    bool help = false;
};

// Arguments that make no sense; what() is the English text, Text() the one to show.
class UsageError final : public std::runtime_error {
public:
    UsageError(Language language, const char* english, const char* turkish,
               const QString& argument = {});
    const QString& Text() const { return text_; }

private:
    QString text_;
};

// arguments: those after "import". Throws UsageError, also for a password given as an
// argument, which every user of the machine could read.
ImportOptions ReadImportOptions(const QStringList& arguments, Language language);

QString ImportHelp(Language language);
