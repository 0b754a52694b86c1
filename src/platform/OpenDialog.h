// The file dialog, for opening or for saving. It remembers, for the whole run, the name and the
// filter last confirmed with OK. Tests answer it through a hook instead of a modal dialog.
#pragma once

#include <functional>

#include <QString>
#include <QStringList>

class QWidget;

namespace platform {

class OpenDialog final {
public:
    // OpenFiles: one file or several; Folder: one folder, given as the file name.
    enum class Purpose { Open, Save, OpenFiles, Folder };

    // filter in the "Description|pattern|Description|pattern" form. Saving, a name typed
    // without a suffix takes the first pattern's.
    OpenDialog(QString title, const QString& filter, Purpose purpose = Purpose::Open);

    // Shows the dialog modally; returns true on OK.
    bool Execute(QWidget* owner);

    const QString& FileName() const { return fileName_; }
    // Every file chosen: several for OpenFiles, else the one name.
    const QStringList& FileNames() const { return fileNames_; }
    int FilterIndex() const { return filterIndex_; }
    const QString& Title() const { return title_; }
    Purpose DialogPurpose() const { return purpose_; }
    // Where the dialog opens while it remembers no name (a folder remembered from an earlier run).
    void SetFolder(const QString& folder) { folder_ = folder; }
    const QString& Folder() const { return folder_; }
    // The filter descriptions as the user reads them.
    const QStringList& NameFilters() const { return descriptions_; }

    struct Answer {
        bool accepted = false;
        QString fileName;
        int filterIndex = 0;
        QStringList fileNames{};  // OpenFiles: all chosen; empty means fileName alone
    };
    // The hook sees the dialog as it would open (title, filters, remembered name and filter).
    using Hook = std::function<Answer(const OpenDialog& dialog)>;
    static void SetHook(Hook hook);

private:
    Answer Run(QWidget* owner) const;

    QString title_;
    Purpose purpose_;
    QString folder_;
    QStringList descriptions_;
    QStringList nameFilters_;  // Qt's "Description (pattern)" form
    QString defaultSuffix_;
    QString fileName_;
    QStringList fileNames_;
    int filterIndex_ = 0;
};

}  // namespace platform
