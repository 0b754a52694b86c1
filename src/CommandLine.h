// What the command line asks of a run: "tavlen [FILE]" opens FILE in the window once it shows.
#pragma once

#include <QString>
#include <QStringList>

struct CommandLine {
    QString document;  // empty when none is named
};

// arguments as QCoreApplication::arguments() gives them, the program's name first.
CommandLine ReadCommandLine(const QStringList& arguments);
