#include "AccessibleControls.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>

#include "ClickLabel.h"

namespace {
class NamedComboBox final : public QAccessibleWidget {
public:
    explicit NamedComboBox(QComboBox* box) : QAccessibleWidget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Value ? Box().currentText() : QAccessibleWidget::text(kind);
    }

    // The drop-down list comes first, then the child widgets (the editable box's text field).
    int childCount() const override { return 1 + QAccessibleWidget::childCount(); }

    QAccessibleInterface* child(int index) const override {
        return index == 0 ? QAccessible::queryAccessibleInterface(Box().view())
                          : QAccessibleWidget::child(index - 1);
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child && child->object() == Box().view()) return 0;
        const int index = QAccessibleWidget::indexOfChild(child);
        return index < 0 ? index : index + 1;
    }

    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << showMenuAction();
    }

    void doAction(const QString& action) override {
        if (action == showMenuAction())
            Box().showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    QComboBox& Box() const { return *static_cast<QComboBox*>(widget()); }
};

class LinkLabel final : public QAccessibleWidget {
public:
    explicit LinkLabel(ClickLabel* label) : QAccessibleWidget(label, QAccessible::Link) {}

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Name && widget()->accessibleName().isEmpty())
            return Label().text();
        return QAccessibleWidget::text(kind);
    }

    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() << pressAction();
    }

    void doAction(const QString& action) override {
        if (action == pressAction())
            emit Label().clicked();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    ClickLabel& Label() const { return *static_cast<ClickLabel*>(widget()); }
};

QAccessibleInterface* AccessibleControl(const QString& className, QObject* object) {
    if (className == QLatin1String("ClickLabel"))
        return new LinkLabel(static_cast<ClickLabel*>(object));
    if (className == QLatin1String("QComboBox"))
        return new NamedComboBox(static_cast<QComboBox*>(object));
    return nullptr;
}
}  // namespace

void UseAccessibleControls() { QAccessible::installFactory(AccessibleControl); }
