#include "StartUp.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLocale>
#include <QStringList>
#include <QTranslator>

namespace {
// The windows are laid out for "MS Sans Serif" 8 pt; where it is missing, the nearest
// fonts of the same narrow width keep every caption inside its control.
void SubstituteWindowFont() {
    QFont::insertSubstitutions(
        QStringLiteral("MS Sans Serif"),
        {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
         QStringLiteral("Arial"), QStringLiteral("Nimbus Sans")});
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
            return;
        }
    }
}
}  // namespace

void StartUp(QApplication& application) {
    QCoreApplication::setApplicationName(QStringLiteral("Tavlen"));
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tavlen.xpm")));
    SubstituteWindowFont();
    InstallTranslation(application);
}
