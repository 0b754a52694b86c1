// Start-up: the application, its three windows, the message loop.
#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QLocale>
#include <QTranslator>

#include "Windows.h"

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
void InstallTranslation(QApplication& application, QTranslator& translator) {
    if (translator.load(QLocale(), QStringLiteral("tavlen"), QStringLiteral("_"),
                        QCoreApplication::applicationDirPath()))
        application.installTranslator(&translator);
}
}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tavlen"));
    QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/tavlen.xpm")));
    SubstituteWindowFont();
    QTranslator translator;
    InstallTranslation(application, translator);

    Windows windows;
    windows.Form1.show();
    return QApplication::exec();
}
