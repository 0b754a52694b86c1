// "tavlen import": a mapping run on files and folders without a window, for scheduled jobs.
#pragma once

#include <QStringList>

class QTextStream;

// Exit statuses.
constexpr int ImportAllWent = 0;
constexpr int ImportSomeFailed = 1;
constexpr int ImportCannotStart = 2;

// arguments: those after "import". One line per file and a summary go to out, everything
// else that goes wrong to err. Returns the exit status.
int RunImportCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);
