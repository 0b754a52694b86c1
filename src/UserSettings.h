// What Tavlen remembers between runs, in the user's settings file (QSettings under the
// application's name: ~/.config/Tavlen/Tavlen.conf). Never a password.
#pragma once

#include <QString>
#include <QStringList>

struct Remembered {
    QStringList recentFiles;  // most recent first
    QString openFolder;       // of the last Open dialog
    QString server;
    QString user;
    QString database;

    friend bool operator==(const Remembered&, const Remembered&) = default;
};

constexpr int MaxRecentFiles = 8;

// A damaged or unreadable settings file reads as nothing remembered.
Remembered LoadRemembered();
void SaveRemembered(const Remembered& remembered);

// file first, then the others in their order without it, at most MaxRecentFiles.
QStringList WithRecentFile(const QStringList& files, const QString& file);
