#include "Bilingual.h"

#include <QLocale>

Language LocaleLanguage() {
    return QLocale::system().language() == QLocale::Turkish ? Language::Turkish : Language::English;
}

QString Say(Language language, const char* english, const char* turkish) {
    return QString::fromUtf8(language == Language::English ? english : turkish);
}
