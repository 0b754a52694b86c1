// What the program sets up before its windows: its name, icon and window font, and the
// translation the user's locale chooses.
#pragma once

class QApplication;
class QLocale;

void StartUp(QApplication& application);

// Qt's own texts (file dialog, message box buttons) in the language of the program's windows.
void InstallQtTranslation(QApplication& application, const QLocale& language);
