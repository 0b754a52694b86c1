// What the command line asks of a run: "tavlen [FILE]" opens FILE in the window once it
// shows; "tavlen import ...", "--help" and "--version" run without a window.
#pragma once

#include <QString>
#include <QStringList>

struct CommandLine {
    QString document;  // empty when none is named
};

// arguments as QCoreApplication::arguments() gives them, the program's name first.
CommandLine ReadCommandLine(const QStringList& arguments);

// Whether the arguments ask for a command rather than the window, decided before any
// application object exists so that a command never needs a display.
bool IsCommand(int argc, const char* const* argv);

// Runs the command and returns the exit status; arguments as for ReadCommandLine.
int RunCommand(const QStringList& arguments);
