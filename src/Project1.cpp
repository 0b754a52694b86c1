// Start-up: a command without a window, or the application, its three windows, the message loop.
#include <QApplication>

#include "CommandLine.h"
#include "ProgramWindows.h"
#include "StartUp.h"

int main(int argc, char* argv[]) {
    if (IsCommand(argc, argv)) {
        // No display: a command runs on a machine without one, from a timer or cron.
        const QCoreApplication application(argc, argv);
        return RunCommand(QCoreApplication::arguments());
    }
    QApplication application(argc, argv);
    StartUp(application);
    const CommandLine command = ReadCommandLine(QCoreApplication::arguments());

    Windows windows;
    windows.Form1.show();
    if (!command.document.isEmpty()) windows.Form1.OpenDocument(command.document);
    return QApplication::exec();
}
