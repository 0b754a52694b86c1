#include "ModalDialog.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDialog>
#include <QTimer>

void WithModalDialog(const std::function<void()>& open,
                     const std::function<void(QWidget&)>& inside) {
    // Both timers die with this call, so neither fires after a dialog that never came up.
    bool ran = false;
    QTimer probe;
    probe.setSingleShot(true);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            ran = true;
            inside(*dialog);
        }
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        ADD_FAILURE() << "the dialog stayed open";
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
            dialog->reject();
    });
    probe.start(0);
    guard.start(5000);
    open();
    EXPECT_TRUE(ran) << "no modal dialog came up";
}
