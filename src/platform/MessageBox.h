// The modal message box. Tests replace the box with a hook that records what would be shown.
#pragma once

#include <functional>

#include <QString>

#include "Messages.h"

class QWidget;

namespace platform {

void ShowMessageBox(QWidget* owner, MessageKind kind, const QString& caption, const QString& text);

using MessageBoxHook =
    std::function<void(MessageKind kind, const QString& caption, const QString& text)>;
// While a hook is set it is called instead of showing a box; an empty hook restores the box.
void SetMessageBoxHook(MessageBoxHook hook);

}  // namespace platform
