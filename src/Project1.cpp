// Start-up: the application, its three windows, the message loop.
#include <QApplication>

#include "ProgramWindows.h"
#include "StartUp.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    StartUp(application);

    Windows windows;
    windows.Form1.show();
    return QApplication::exec();
}
