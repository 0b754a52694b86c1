// The file-open dialog. It remembers, for the whole run, the name and the filter last
// confirmed with OK. Tests answer it through a hook instead of a modal dialog.
#pragma once

#include <functional>

#include <QString>
#include <QStringList>

class QWidget;

namespace platform {

class OpenDialog final {
public:
    // filter in the "Description|pattern|Description|pattern" form.
    OpenDialog(QString title, const QString& filter);

    // Shows the dialog modally; returns true on OK.
    bool Execute(QWidget* owner);

    const QString& FileName() const { return fileName_; }
    int FilterIndex() const { return filterIndex_; }
    const QString& Title() const { return title_; }
    // The filter descriptions as the user reads them.
    const QStringList& NameFilters() const { return descriptions_; }

    struct Answer {
        bool accepted = false;
        QString fileName;
        int filterIndex = 0;
    };
    // The hook sees the dialog as it would open (title, filters, remembered name and filter).
    using Hook = std::function<Answer(const OpenDialog& dialog)>;
    static void SetHook(Hook hook);

private:
    Answer Run(QWidget* owner) const;

    QString title_;
    QStringList descriptions_;
    QStringList nameFilters_;  // Qt's "Description (pattern)" form
    QString fileName_;
    int filterIndex_ = 0;
};

}  // namespace platform
