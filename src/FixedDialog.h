// A dialog frame with only a close button, not resizable, sized as its window definition says.
#pragma once

#include <QDialog>

inline void MakeFixedDialog(QDialog& dialog) {
    dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint);
    dialog.setFixedSize(dialog.size());
}
