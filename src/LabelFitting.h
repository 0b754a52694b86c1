// Labels whose caption (a translated one, say) is wider than the box the window definition gives.
#pragma once

#include <QLabel>
#include <QWidget>

// Such a label grows away from the side it is aligned to: a right-aligned one to the left, its
// right edge staying next to the control it names; any other to the right.
inline void FitLabels(QWidget& window) {
    for (QLabel* label : window.findChildren<QLabel*>()) {
        const int missing = label->sizeHint().width() - label->width();
        if (missing <= 0) continue;
        const bool right = label->alignment() & Qt::AlignRight;
        label->setGeometry(
            label->geometry().adjusted(right ? -missing : 0, 0, right ? 0 : missing, 0));
    }
}
