#include "ImportProgressDialog.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <thread>

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QProgressDialog>
#include <QTimer>

namespace {

// How long an import runs before the dialog shows, and how often it is brought up to date.
constexpr int ShowAfterMs = 400;
constexpr int UpdateEveryMs = 200;

bool IsUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::Wheel:
        case QEvent::ContextMenu:
        case QEvent::Drop:
            return true;
        default:
            return false;
    }
}

// Keeps the user's input from the window while an import runs; closing the window, or
// Escape where the keyboard still is, asks the import to stop instead.
class WindowInputBlocker final : public QObject {
public:
    WindowInputBlocker(QWidget& window, QProgressDialog& dialog)
        : window_(window), dialog_(dialog) {
        qApp->installEventFilter(this);
    }
    ~WindowInputBlocker() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != &window_) return false;
        if (event->type() == QEvent::Close) {
            Q_EMIT dialog_.canceled();
            event->ignore();
            return true;
        }
        if (event->type() == QEvent::KeyPress &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && !dialog_.wasCanceled())
            Q_EMIT dialog_.canceled();
        return IsUserInput(event->type());
    }

private:
    QWidget& window_;
    QProgressDialog& dialog_;
};

}  // namespace

ImportProgressDialog::ImportProgressDialog(QWidget& window) : window_(window) { lived_.start(); }

ImportProgressDialog::~ImportProgressDialog() = default;

ImportOutcome ImportProgressDialog::Run(const Work& work, const QString& label, int index,
                                        int count) {
    index_ = index;
    count_ = count;
    platform::Cancellation cancellation;
    if (cancelled_) cancellation.Cancel();
    ImportProgress progress;
    if (!dialog_) {
        dialog_ = std::make_unique<QProgressDialog>(&window_);
        dialog_->setObjectName(QStringLiteral("ImportProgress"));
        dialog_->setWindowTitle(tr("Import"));
        dialog_->setCancelButtonText(tr("Cancel"));
        // Shown by the timer below, never by the dialog's own guess; not modal, so that
        // updating it runs no event loop of its own: the window's input is kept away instead.
        dialog_->setMinimumDuration(std::numeric_limits<int>::max());
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        QObject::connect(dialog_.get(), &QProgressDialog::canceled, dialog_.get(), [this] {
            cancelled_ = true;
            dialog_->setLabelText(tr("Cancelling: rolling back…"));
        });
    }
    const QMetaObject::Connection cancel = QObject::connect(
        dialog_.get(), &QProgressDialog::canceled, [&cancellation] { cancellation.Cancel(); });
    dialog_->setLabelText(label);
    const WindowInputBlocker blocker(window_, *dialog_);

    std::optional<ImportOutcome> outcome;
    QEventLoop loop;
    QTimer update;
    QObject::connect(&update, &QTimer::timeout, &loop, [&] {
        if (!dialog_->isVisible()) {
            update.setInterval(UpdateEveryMs);
            dialog_->show();
            dialog_->activateWindow();
        }
        ShowProgress(progress);
        cancellation.Poll();
    });
    update.start(dialog_->isVisible()
                     ? UpdateEveryMs
                     : static_cast<int>(std::max<qint64>(0, ShowAfterMs - lived_.elapsed())));
    std::thread worker([&] {
        ImportOutcome result;
        try {
            result = work(cancellation, progress);
        } catch (const std::exception& error) {
            result = FailureOutcome(QString::fromUtf8(error.what()));
        }
        QMetaObject::invokeMethod(
            &loop,
            [&, result] {
                outcome = result;
                loop.quit();
            },
            Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    QObject::disconnect(cancel);
    return *outcome;
}

void ImportProgressDialog::ShowProgress(const ImportProgress& progress) {
    const qint64 total = progress.bytesTotal;
    if (total <= 0 && count_ == 1) {
        dialog_->setRange(0, 0);  // one batch: the server does not say how far it is
        return;
    }
    // Of a set, a document in one batch counts as begun until it is done.
    const qint64 share = total > 0 ? progress.bytesDone * 1000 / total : 0;
    dialog_->setRange(0, 1000 * count_);
    dialog_->setValue(static_cast<int>(1000 * index_ + share));
}
