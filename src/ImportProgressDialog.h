// Runs imports on a thread of their own while the window stays responsive: after a moment a
// progress dialog shows the share done, with Cancel. Until the run ends, nothing the user
// does in the window reaches it, so nothing can change what is being imported.
#pragma once

#include <functional>
#include <memory>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QString>

#include "ImportRun.h"
#include "platform/Ado.h"

class QProgressDialog;
class QTimer;
class QWidget;

class ImportProgressDialog final {
    Q_DECLARE_TR_FUNCTIONS(ImportProgressDialog)
public:
    using Work = std::function<ImportOutcome(platform::Cancellation&, ImportProgress&)>;

    explicit ImportProgressDialog(QWidget& window);
    ~ImportProgressDialog();
    ImportProgressDialog(const ImportProgressDialog&) = delete;
    ImportProgressDialog& operator=(const ImportProgressDialog&) = delete;

    // Runs work and returns what it returned; the dialog says label meanwhile. Of a set of
    // count runs, this is the index-th: the bar covers the set. The dialog shows once the
    // dialog object has lived a moment, however the time falls among the runs.
    ImportOutcome Run(const Work& work, const QString& label, int index = 0, int count = 1);
    // Whether the user pressed Cancel during any run of this dialog.
    bool Cancelled() const { return cancelled_; }

private:
    void ShowProgress(const ImportProgress& progress);

    QWidget& window_;
    std::unique_ptr<QProgressDialog> dialog_;
    bool cancelled_ = false;
    QElapsedTimer lived_;
    int index_ = 0;
    int count_ = 1;
};
