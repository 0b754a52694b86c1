// The default error display, and the guard every handler runs in so that no exception
// crosses Qt's event loop.
#pragma once

#include <exception>
#include <utility>

#include <QString>

// Error icon, caption "Tavlen", the text with a full stop appended when its last character
// sorts after "." (byte value above 46).
void ShowDefaultError(const QString& text);

QString DefaultErrorText(const QString& text);

// Runs one handler; whatever it throws ends it and is shown by the default error display.
template <typename Handler>
void Guarded(Handler&& handler) noexcept {
    try {
        std::forward<Handler>(handler)();
    } catch (const std::exception& error) {
        ShowDefaultError(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowDefaultError(QStringLiteral("Unknown error"));
    }
}
