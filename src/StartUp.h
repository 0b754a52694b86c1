// What the program sets up before its windows: its name, icon and window font, and the
// translation the user's locale chooses.
#pragma once

class QApplication;

void StartUp(QApplication& application);
