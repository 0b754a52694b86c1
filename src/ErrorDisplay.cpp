#include "ErrorDisplay.h"

#include <QApplication>

#include "platform/MessageBox.h"

QString DefaultErrorText(const QString& text) {
    if (!text.isEmpty() && text.back().unicode() > u'.') return text + u'.';
    return text;
}

void ShowDefaultError(const QString& text) {
    platform::ShowMessageBox(QApplication::activeWindow(), MessageKind::Error,
                             QApplication::applicationName(), DefaultErrorText(text));
}
