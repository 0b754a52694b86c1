// Many documents imported with one plan over one connection, each all or nothing on its own:
// the loop that Import Files and the command line share.
#pragma once

#include <functional>
#include <vector>

#include <QString>
#include <QStringList>

#include "ImportOutcome.h"
#include "ImportPlan.h"
#include "Messages.h"

namespace platform {
class Connection;
class Cancellation;
}  // namespace platform
struct ImportProgress;

// The files named and the *.xml files of the folders named (not their subfolders), sorted
// by name within each folder; a file named twice comes once, where it first came.
QStringList FilesToImport(const QStringList& paths);

// Where the documents go: the plan, and what the chosen database already holds.
struct FilesTarget {
    ImportPlan plan;
    QStringList existingTables;
    int codePage = 0;
};

struct FileOutcome {
    QString file;
    ImportOutcome outcome;
    // Why the file is not a usable XML document; empty when it was read.
    QString readError{};
    double seconds = 0;
    // The run stopped at this file (lost link, Cancel): it is not the file's fault.
    bool interrupted = false;

    bool Imported() const { return readError.isEmpty() && outcome.end == ImportEnd::Imported; }
};

// What the whole run did.
struct FilesSummary {
    int imported = 0;
    qint64 rows = 0;
    std::vector<FileOutcome> failed;  // the interrupted one last
    bool connectionLost = false;      // the run stopped early because the link died
};

// One file's work, to run on whatever thread the caller chooses.
using FileWork = std::function<ImportOutcome(platform::Cancellation&, ImportProgress&)>;
// Runs the work of the index-th of count files and returns what it returned.
using FileRunner =
    std::function<ImportOutcome(const FileWork& work, int index, int count, const QString& file)>;
using FileReport = std::function<void(const FileOutcome& outcome)>;

// Imports the files in order, telling report after each. The first file may create the
// table; the following insert into it. A file that fails never stops the others; a lost
// link or a cancellation stops the run after that file, which is rolled back and not
// reported as the file's fault.
FilesSummary ImportFiles(const QStringList& files, FilesTarget target,
                         platform::Connection& connection, const FileRunner& run,
                         const FileReport& report);

// Why a file did not go in, on one line.
QString FailureReason(const FileOutcome& outcome, Language language);
