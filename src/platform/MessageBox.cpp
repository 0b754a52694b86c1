#include "platform/MessageBox.h"

#include <QMessageBox>

namespace platform {
namespace {
MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}
}  // namespace

void ShowMessageBox(QWidget* owner, MessageKind kind, const QString& caption, const QString& text) {
    if (Hook()) {
        Hook()(kind, caption, text);
        return;
    }
    QMessageBox box(kind == MessageKind::Error ? QMessageBox::Critical : QMessageBox::Information,
                    caption, text, QMessageBox::Ok, owner);
    box.exec();
}

void SetMessageBoxHook(MessageBoxHook hook) { Hook() = std::move(hook); }

}  // namespace platform
