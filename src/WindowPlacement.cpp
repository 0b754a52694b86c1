#include "WindowPlacement.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace {
// The frame as the window system has it now; the widget's own copy lags behind it until the
// window is next moved.
QRect FrameOf(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle ? handle->frameGeometry() : window.frameGeometry();
}

QPoint CentreFor(const QWidget& window, FirstPlace place) {
    const QWidget* parent = window.parentWidget();
    if (place == FirstPlace::CentreOverParent && parent) return FrameOf(*parent->window()).center();
    const QScreen* screen = window.screen();
    return screen ? screen->availableGeometry().center() : FrameOf(window).center();
}

class FirstShowPlacement final : public QObject {
public:
    FirstShowPlacement(QWidget& window, FirstPlace place)
        : QObject(&window), window_(window), place_(place) {
        window.installEventFilter(this);
    }

protected:
    // A window manager frames the window only once it is on the screen: when the frame was not
    // known at the first show, the window is placed again, once, as it is first exposed.
    bool eventFilter(QObject* watched, QEvent* event) override {
        QWindow* handle = window_.windowHandle();
        if (watched == &window_ && event->type() == QEvent::Show) {
            window_.removeEventFilter(this);
            Place();
            if (handle) {
                marginsAtShow_ = handle->frameMargins();
                handle->installEventFilter(this);
            }
        } else if (watched == handle && event->type() == QEvent::Expose && handle->isExposed()) {
            handle->removeEventFilter(this);
            if (marginsAtShow_.isNull() && !handle->frameMargins().isNull()) Place();
        }
        return false;
    }

private:
    void Place() {
        QRect frame = FrameOf(window_);
        frame.moveCenter(CentreFor(window_, place_));
        window_.move(frame.topLeft());
    }

    QWidget& window_;
    FirstPlace place_;
    QMargins marginsAtShow_;
};
}  // namespace

void PlaceOnFirstShow(QWidget& window, FirstPlace place) { new FirstShowPlacement(window, place); }
