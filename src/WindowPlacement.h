// Puts a window, frame included, at the centre of its screen.
#pragma once

#include <QLabel>
#include <QScreen>
#include <QWidget>

inline void CentreOnScreen(QWidget& window) {
    if (const QScreen* desktop = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(desktop->availableGeometry().center());
        window.move(frame.topLeft());
    }
}

// A right-aligned label whose caption (a translated one, say) is wider than its box grows to
// the left, its right edge staying next to the control it names.
inline void FitRightAlignedLabels(QWidget& window) {
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (!(label->alignment() & Qt::AlignRight)) continue;
        const int needed = label->sizeHint().width();
        if (needed > label->width())
            label->setGeometry(label->geometry().adjusted(label->width() - needed, 0, 0, 0));
    }
}
