#include "StartUp.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLocale>
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

// A translated set of window texts, chosen by the user's locale, when it sits beside the program.
void InstallTranslation(QApplication& application) {
    auto* translator = new QTranslator(&application);
    if (translator->load(QLocale(), QStringLiteral("tavlen"), QStringLiteral("_"),
                         QCoreApplication::applicationDirPath()))
        QCoreApplication::installTranslator(translator);
}
}  // namespace

void StartUp(QApplication& application) {
    QCoreApplication::setApplicationName(QStringLiteral("Tavlen"));
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tavlen.xpm")));
    SubstituteWindowFont();
    InstallTranslation(application);
}
