#include "platform/ReportBox.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace platform {
namespace {

ReportBoxHook& CurrentHook() {
    static ReportBoxHook hook;
    return hook;
}

QLabel* IconLabel(MessageKind kind, QWidget* parent) {
    auto* icon = new QLabel(parent);
    const QStyle::StandardPixmap pixmap = kind == MessageKind::Error
                                              ? QStyle::SP_MessageBoxCritical
                                              : QStyle::SP_MessageBoxInformation;
    icon->setPixmap(QApplication::style()->standardIcon(pixmap).pixmap(32, 32));
    return icon;
}

QPlainTextEdit* ListBox(const QString& list, QWidget* parent) {
    auto* box = new QPlainTextEdit(list, parent);
    box->setObjectName(QStringLiteral("ReportList"));
    box->setReadOnly(true);
    box->setLineWrapMode(QPlainTextEdit::NoWrap);
    return box;
}

}  // namespace

void ShowReportBox(QWidget* owner, MessageKind kind, const QString& caption, const QString& text,
                   const QString& list) {
    if (CurrentHook()) return CurrentHook()(kind, caption, text, list);
    QDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("ReportBox"));
    dialog.setWindowTitle(caption);
    auto* layout = new QVBoxLayout(&dialog);
    auto* top = new QHBoxLayout;
    top->addWidget(IconLabel(kind, &dialog), 0, Qt::AlignTop);
    top->addWidget(new QLabel(text, &dialog), 1);
    layout->addLayout(top);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &dialog);
    if (!list.isEmpty()) {
        layout->addWidget(ListBox(list, &dialog));
        QPushButton* copy = buttons->addButton(QCoreApplication::translate("ReportBox", "&Copy"),
                                               QDialogButtonBox::ActionRole);
        QObject::connect(copy, &QPushButton::clicked,
                         [list] { QGuiApplication::clipboard()->setText(list); });
        dialog.resize(560, 320);
    }
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.exec();
}

void SetReportBoxHook(ReportBoxHook hook) { CurrentHook() = std::move(hook); }

}  // namespace platform
