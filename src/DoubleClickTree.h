// A tree widget that reports every double-click, also on the empty space below its rows:
// the handlers bound to it act on the selection, not on the row under the mouse.
#pragma once

#include <QMouseEvent>
#include <QTreeWidget>

class DoubleClickTree : public QTreeWidget {
    Q_OBJECT
public:
    using QTreeWidget::QTreeWidget;

signals:
    void dblClick();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override {
        QTreeWidget::mouseDoubleClickEvent(event);
        emit dblClick();
    }
};
