#include "StartUp.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QStringList>
#include <QTranslator>

namespace {
// The windows are laid out for "MS Sans Serif" 8 pt; where it is missing, the nearest
// fonts of the same narrow width keep every caption inside its control. Menus, message
// boxes and the file dialog take the same font, so every window reads alike.
void UseWindowFont() {
    const QString family = QStringLiteral("MS Sans Serif");
    QFont::insertSubstitutions(
        family, {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                 QStringLiteral("Arial"), QStringLiteral("Nimbus Sans")});
    QApplication::setFont(QFont(family, 8));
}

// Installed, the translations sit in share/tavlen/translations beside bin/; in a build tree,
// beside the program.
QStringList TranslationDirectories() {
    const QString programDirectory = QCoreApplication::applicationDirPath();
    return {programDirectory + QStringLiteral("/../share/tavlen/translations"), programDirectory};
}

// A translated set of window texts, chosen by the user's locale.
void InstallTranslation(QApplication& application) {
    auto* translator = new QTranslator(&application);
    for (const QString& directory : TranslationDirectories()) {
        if (translator->load(QLocale(), QStringLiteral("tavlen"), QStringLiteral("_"), directory)) {
            QCoreApplication::installTranslator(translator);
            InstallQtTranslation(application, QLocale(translator->language()));
            return;
        }
    }
}
}  // namespace

void InstallQtTranslation(QApplication& application, const QLocale& language) {
    auto* translator = new QTranslator(&application);
    if (translator->load(language, QStringLiteral("qt"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

void StartUp(QApplication& application) {
    // Settings live under these names: ~/.config/Tavlen/Tavlen.conf.
    QCoreApplication::setOrganizationName(QStringLiteral("Tavlen"));
    QCoreApplication::setApplicationName(QStringLiteral("Tavlen"));
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tavlen.xpm")));
    UseWindowFont();
    InstallTranslation(application);
}
