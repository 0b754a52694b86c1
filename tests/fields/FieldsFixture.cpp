#include "FieldsFixture.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <stdexcept>

namespace {
template <typename Widget>
Widget& Named(QWidget& parent, const char* name) {
    auto* widget = parent.findChild<Widget*>(QString::fromLatin1(name));
    if (!widget) throw std::runtime_error(std::string("no widget named ") + name);
    return *widget;
}
}  // namespace

FieldsTest::FieldsTest() {
    windows.Form1.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&windows.Form1));
}

// The main window's own controls: the dialog is a child of the main window and reuses names.
QPushButton& FieldsTest::MainButton(const char* name) {
    return Named<QPushButton>(*windows.Form1.centralWidget(), name);
}

QPushButton& FieldsTest::DialogButton(const char* name) {
    return Named<QPushButton>(windows.Form2, name);
}

QLineEdit& FieldsTest::DialogEdit(const char* name) {
    return Named<QLineEdit>(windows.Form2, name);
}

QComboBox& FieldsTest::TypeBox() { return Named<QComboBox>(windows.Form2, "ComboBox1"); }

void FieldsTest::ShowTree(StructureNodes&& nodes) {
    TreeModel().Install(std::move(nodes));
    Tree().expandAll();
}

void FieldsTest::Click(QTreeWidget& view, QTreeWidgetItem& item, Qt::KeyboardModifiers keys) {
    Click(view, view.visualItemRect(&item).center(), keys);
}

void FieldsTest::Click(QTreeView& view, const QModelIndex& node, Qt::KeyboardModifiers keys) {
    Click(view, view.visualRect(node).center(), keys);
}

void FieldsTest::Click(QAbstractItemView& view, QPoint position, Qt::KeyboardModifiers keys) {
    QTest::mouseClick(view.viewport(), Qt::LeftButton, keys, position);
}

void FieldsTest::DoubleClick(QAbstractItemView& view, QPoint position) {
    QWidget* area = view.viewport();
    QTest::mouseClick(area, Qt::LeftButton, {}, position);
    QTest::mouseDClick(area, Qt::LeftButton, {}, position);
    QTest::mouseRelease(area, Qt::LeftButton, {}, position);
}

void FieldsTest::DoubleClick(QTreeWidget& view, QTreeWidgetItem& item) {
    DoubleClick(view, view.visualItemRect(&item).center());
}

void FieldsTest::DoubleClick(QTreeView& view, const QModelIndex& node) {
    DoubleClick(view, view.visualRect(node).center());
}

void FieldsTest::PickType(const QString& type) {
    QComboBox& box = TypeBox();
    const int index = box.findText(type, Qt::MatchExactly | Qt::MatchCaseSensitive);
    ASSERT_GE(index, 0) << type.toStdString();
    box.showPopup();
    QAbstractItemView& popup = *box.view();
    ASSERT_TRUE(QTest::qWaitFor([&] { return popup.isVisible(); }));
    const QModelIndex item = popup.model()->index(index, 0);
    popup.scrollTo(item);
    const QPoint centre = popup.visualRect(item).center();
    QTest::mouseMove(popup.viewport(), centre);
    QTest::mouseClick(popup.viewport(), Qt::LeftButton, {}, centre);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !popup.isVisible(); }));
    // A window system hands activation back to the dialog when the list closes; the
    // offscreen platform leaves it with the closed list.
    box.window()->activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == box.window(); }));
}

void FieldsTest::TypeSize(const QString& keys) {
    QLineEdit& box = DialogEdit("Edit2");
    QTest::mouseClick(&box, Qt::LeftButton);
    QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&box, Qt::Key_Backspace);
    QTest::keyClicks(&box, keys);
}

bool FieldsTest::WhileDialogOpen(const std::function<void()>& open,
                                 const std::function<void(TForm2&)>& act) {
    TForm2& dialog = windows.Form2;
    bool opened = false;
    QTimer inside;
    inside.setInterval(0);
    QObject::connect(&inside, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget() != &dialog) return;  // not shown yet
        inside.stop();
        opened = true;
        act(dialog);
        if (dialog.isVisible()) {
            ADD_FAILURE() << "the dialog stayed open";
            dialog.done(QDialog::Rejected);
        }
    });
    inside.start();
    open();
    inside.stop();
    return opened;
}

std::vector<FieldRow> Rows(std::initializer_list<FieldRow> rows) { return rows; }

void PrintTo(const FieldRow& row, std::ostream* out) {
    *out << '{' << row.path.toStdString() << " | " << row.name.toStdString() << " | "
         << row.type.toStdString() << '}';
}
