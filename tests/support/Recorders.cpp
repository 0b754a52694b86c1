#include "Recorders.h"

#include "platform/MessageBox.h"
#include "platform/ReportBox.h"
#include "platform/Shell.h"

MessageRecorder::MessageRecorder() {
    platform::SetMessageBoxHook(
        [this](MessageKind kind, const QString& caption, const QString& text) {
            boxes.push_back({kind, caption, text});
        });
}

MessageRecorder::~MessageRecorder() { platform::SetMessageBoxHook({}); }

ReportRecorder::ReportRecorder() {
    platform::SetReportBoxHook(
        [this](MessageKind kind, const QString& caption, const QString& text, const QString& list) {
            reports.push_back({kind, caption, text, list});
        });
}

ReportRecorder::~ReportRecorder() { platform::SetReportBoxHook({}); }

ShellRecorder::ShellRecorder() {
    platform::SetShellHook([this](const QString& target) {
        targets << target;
        return true;
    });
}

ShellRecorder::~ShellRecorder() { platform::SetShellHook({}); }

OpenDialogScript::OpenDialogScript() {
    platform::OpenDialog::SetHook([this](const platform::OpenDialog& dialog) {
        seen.push_back({dialog.Title(), dialog.NameFilters(), dialog.FileName(),
                        dialog.FilterIndex(), dialog.Folder()});
        if (answers.empty()) return platform::OpenDialog::Answer{};
        const auto answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    });
}

OpenDialogScript::~OpenDialogScript() { platform::OpenDialog::SetHook({}); }
