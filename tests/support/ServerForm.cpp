#include "ServerForm.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

template <typename T>
T* Find(QWidget& form, const char* name) {
    T* widget = form.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
}

void Retype(QLineEdit& edit, const QString& text) {
    edit.setFocus();
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_Delete);
    QTest::keyClicks(&edit, text);
}

}  // namespace

ServerForm::ServerForm(QWidget& form1)
    : server_(Find<QLineEdit>(form1, "Combobox1")),
      user_(Find<QLineEdit>(form1, "Edit2")),
      password_(Find<QLineEdit>(form1, "Edit3")),
      connect_(Find<QPushButton>(form1, "Button3")),
      databases_(Find<QComboBox>(form1, "ComboBox3")),
      tables_(Find<QComboBox>(form1, "ComboBox2")),
      import_(Find<QPushButton>(form1, "Button4")) {}

void ServerForm::Connect(const QString& server, const QString& user, const QString& password) {
    Retype(*server_, server);
    Retype(*user_, user);
    Retype(*password_, password);
    QTest::mouseClick(connect_, Qt::LeftButton);
}

void ServerForm::Choose(QComboBox& box, const QString& name) {
    const int index = box.findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    ASSERT_GE(index, 0) << name.toStdString() << " is not listed";
    box.showPopup();
    QAbstractItemView* view = box.view();
    const QModelIndex item = view->model()->index(index, 0);
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
}

void ServerForm::TypeTable(const QString& text) {
    tables_->setFocus();
    QTest::keyClicks(tables_, text);
}

QStringList ServerForm::Items(const QComboBox& box) {
    QStringList items;
    for (int i = 0; i < box.count(); ++i) items << box.itemText(i);
    return items;
}
