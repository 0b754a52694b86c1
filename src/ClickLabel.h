// A label that works as a link, for the About box's addresses: it reports a click, and Enter
// or Space while it has the keyboard focus, which Tab gives it; screen readers are told it is
// a link (AccessibleControls.h).
#pragma once

#include <QLabel>

class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};
