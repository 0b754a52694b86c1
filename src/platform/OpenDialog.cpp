#include "platform/OpenDialog.h"

#include <QFileDialog>

namespace platform {
namespace {
OpenDialog::Hook& CurrentHook() {
    static OpenDialog::Hook hook;
    return hook;
}

// Every other part of "Description|pattern|Description|pattern", from the first on or the second.
QStringList EveryOther(const QString& filter, qsizetype first) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) result << parts[i + first];
    return result;
}

// Qt reads a filter's pattern from the brackets at its end and, with the details hidden, shows
// what comes before them: the description as written. "*.*" means every file, but here it
// would match only names with a dot.
QStringList QtNameFilters(const QStringList& descriptions, const QStringList& patterns) {
    QStringList result;
    for (qsizetype i = 0; i < descriptions.size(); ++i) {
        const QString& pattern = patterns[i];
        result << descriptions[i] + QStringLiteral(" (") +
                      (pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern) + u')';
    }
    return result;
}
}  // namespace

OpenDialog::OpenDialog(QString title, const QString& filter, Purpose purpose)
    : title_(std::move(title)),
      purpose_(purpose),
      descriptions_(EveryOther(filter, 0)),
      nameFilters_(QtNameFilters(descriptions_, EveryOther(filter, 1))),
      defaultSuffix_(EveryOther(filter, 1).value(0).section(u'.', 1)) {}

bool OpenDialog::Execute(QWidget* owner) {
    const Answer answer = CurrentHook() ? CurrentHook()(*this) : Run(owner);
    if (!answer.accepted) return false;
    fileName_ = answer.fileName;
    fileNames_ = answer.fileNames.isEmpty() ? QStringList{answer.fileName} : answer.fileNames;
    filterIndex_ = answer.filterIndex;
    return true;
}

OpenDialog::Answer OpenDialog::Run(QWidget* owner) const {
    QFileDialog dialog(owner, title_);
    dialog.setFileMode(QFileDialog::AnyFile);  // a typed name is accepted even if missing
    if (purpose_ == Purpose::OpenFiles) dialog.setFileMode(QFileDialog::ExistingFiles);
    if (purpose_ == Purpose::Folder) dialog.setFileMode(QFileDialog::Directory);
    if (purpose_ == Purpose::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setDefaultSuffix(defaultSuffix_);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
    }
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(nameFilters_);
    dialog.selectNameFilter(nameFilters_.value(filterIndex_));
    if (!fileName_.isEmpty())
        dialog.selectFile(fileName_);
    else if (!folder_.isEmpty())
        dialog.setDirectory(folder_);
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return {true, dialog.selectedFiles().constFirst(),
            static_cast<int>(nameFilters_.indexOf(dialog.selectedNameFilter())),
            dialog.selectedFiles()};
}

void OpenDialog::SetHook(Hook hook) { CurrentHook() = std::move(hook); }

}  // namespace platform
