// Stand-ins for the modal boxes: they record what the program would have shown.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

#include "Messages.h"
#include "QtPrinting.h"
#include "platform/OpenDialog.h"

struct ShownBox {
    MessageKind kind;
    QString caption;
    QString text;
};

// Records every message box while it lives.
class MessageRecorder final {
public:
    MessageRecorder();
    ~MessageRecorder();
    std::vector<ShownBox> boxes;
};

struct ShownReport {
    MessageKind kind;
    QString caption;
    QString text;
    QString list;
};

// Records every report box while it lives.
class ReportRecorder final {
public:
    ReportRecorder();
    ~ReportRecorder();
    std::vector<ShownReport> reports;
};

// Records every hand-over to the shell while it lives.
class ShellRecorder final {
public:
    ShellRecorder();
    ~ShellRecorder();
    QStringList targets;
};

// Answers the open dialog: each Execute takes the next answer (Cancel when none is left)
// and records the dialog as it opened.
class OpenDialogScript final {
public:
    OpenDialogScript();
    ~OpenDialogScript();
    void Ok(const QString& fileName, int filterIndex = 0) {
        answers.push_back({true, fileName, filterIndex});
    }
    void Cancel() { answers.push_back({}); }
    void OkFiles(const QStringList& fileNames) {
        answers.push_back({true, fileNames.value(0), 0, fileNames});
    }

    std::vector<platform::OpenDialog::Answer> answers;
    struct Seen {
        QString title;
        QStringList filters;
        QString fileName;
        int filterIndex;
        QString folder;  // where it opens while it remembers no name
    };
    std::vector<Seen> seen;
};
