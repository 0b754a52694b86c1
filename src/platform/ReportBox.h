// A modal box that reports a run with a list the user can read at length and copy. Tests
// replace the box with a hook that records what would be shown.
#pragma once

#include <functional>

#include <QString>

#include "Messages.h"

class QWidget;

namespace platform {

// list: one item a line, in a read-only text box with a Copy button; none when empty.
void ShowReportBox(QWidget* owner, MessageKind kind, const QString& caption, const QString& text,
                   const QString& list);

using ReportBoxHook = std::function<void(MessageKind kind, const QString& caption,
                                         const QString& text, const QString& list)>;
// While a hook is set it is called instead of showing a box; an empty hook restores the box.
void SetReportBoxHook(ReportBoxHook hook);

}  // namespace platform
