// Puts a window, frame included, at the centre of its screen.
#pragma once

#include <QScreen>
#include <QWidget>

inline void CentreOnScreen(QWidget& window) {
    if (const QScreen* desktop = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(desktop->availableGeometry().center());
        window.move(frame.topLeft());
    }
}
