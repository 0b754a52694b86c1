// Texts written in both languages where they are used, and the language of the user's locale
// for the runs that have no window (and so no File menu caption to go by).
#pragma once

#include <QString>

#include "Messages.h"

// English, or Turkish when the locale's language is Turkish.
Language LocaleLanguage();

// The text in the language; both are UTF-8.
QString Say(Language language, const char* english, const char* turkish);
