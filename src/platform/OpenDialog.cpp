#include "platform/OpenDialog.h"

#include <QFileDialog>

namespace platform {
namespace {
OpenDialog::Hook& CurrentHook() {
    static OpenDialog::Hook hook;
    return hook;
}

// "XML Files (*.xml)|*.xml" names its pattern in the description already; Qt reads the
// pattern from the brackets, so the description is kept as it is and the pattern added
// only when missing.
QStringList QtNameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList result;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString& description = parts[i];
        const QString& pattern = parts[i + 1];
        result << (description.contains(QLatin1Char('('))
                       ? description
                       : description + QStringLiteral(" (") + pattern + u')');
    }
    return result;
}
}  // namespace

OpenDialog::OpenDialog(QString title, const QString& filter)
    : title_(std::move(title)), nameFilters_(QtNameFilters(filter)) {}

bool OpenDialog::Execute(QWidget* owner) {
    const Answer answer = CurrentHook() ? CurrentHook()(*this) : Run(owner);
    if (!answer.accepted) return false;
    fileName_ = answer.fileName;
    filterIndex_ = answer.filterIndex;
    return true;
}

OpenDialog::Answer OpenDialog::Run(QWidget* owner) const {
    QFileDialog dialog(owner, title_);
    dialog.setFileMode(QFileDialog::AnyFile);  // a typed name is accepted even if missing
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setNameFilters(nameFilters_);
    dialog.selectNameFilter(nameFilters_.value(filterIndex_));
    if (!fileName_.isEmpty()) dialog.selectFile(fileName_);
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return {true, dialog.selectedFiles().constFirst(),
            static_cast<int>(nameFilters_.indexOf(dialog.selectedNameFilter()))};
}

void OpenDialog::SetHook(Hook hook) { CurrentHook() = std::move(hook); }

}  // namespace platform
