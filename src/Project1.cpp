// Start-up: the application, its three windows, the message loop.
#include <QApplication>

#include "CommandLine.h"
#include "ProgramWindows.h"
#include "StartUp.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    StartUp(application);
    const CommandLine command = ReadCommandLine(QCoreApplication::arguments());

    Windows windows;
    windows.Form1.show();
    if (!command.document.isEmpty()) windows.Form1.OpenDocument(command.document);
    return QApplication::exec();
}
