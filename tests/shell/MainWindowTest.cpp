// The main window as it opens: controls, geometry, menu, bindings, ending the run.
#include <gtest/gtest.h>
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QTreeWidget>

#include "DrawnGeometry.h"
#include "ErrorDisplay.h"
#include "ProgramWindows.h"
#include "Recorders.h"

namespace {

struct ExpectedControl {
    const char* name;
    const char* className;
    const char* parent;
    QRect geometry;
    const char* caption;
    bool enabled;
};

// Every control of the main window as it must open.
const ExpectedControl kControls[] = {
    {"GroupBox1", "QGroupBox", "centralwidget", {8, 8, 569, 217}, "Source Data", true},
    {"Panel2", "QLabel", "GroupBox1", {16, 17, 233, 16}, "XML Schema", true},
    {"TreeView1", "SelectionKeepingTree", "GroupBox1", {17, 33, 232, 168}, nullptr, true},
    {"Button1", "QPushButton", "GroupBox1", {256, 88, 25, 25}, "->", true},
    {"Button2", "QPushButton", "GroupBox1", {256, 128, 25, 25}, "<-", true},
    {"Panel4", "QLabel", "GroupBox1", {288, 17, 241, 16}, "Selected Fields", true},
    {"Button5", "QPushButton", "GroupBox1", {536, 88, 25, 25}, "Up", true},
    {"Button6", "QPushButton", "GroupBox1", {536, 128, 25, 25}, "Dn", true},
    {"ListBox1", "DoubleClickTree", "centralwidget", {296, 41, 241, 168}, nullptr, true},
    {"GroupBox2", "QGroupBox", "centralwidget", {8, 232, 569, 57}, "Destination Server", true},
    {"Label1", "QLabel", "GroupBox2", {8, 24, 34, 13}, "Server:", true},
    {"Combobox1", "QLineEdit", "GroupBox2", {48, 20, 129, 21}, "", true},
    {"Label3", "QLabel", "GroupBox2", {192, 24, 25, 13}, "User:", true},
    {"Edit2", "QLineEdit", "GroupBox2", {224, 20, 97, 21}, "", true},
    {"Label4", "QLabel", "GroupBox2", {328, 24, 49, 13}, "Password:", true},
    {"Edit3", "QLineEdit", "GroupBox2", {384, 20, 97, 21}, "", true},
    {"Button3", "QPushButton", "centralwidget", {498, 252, 65, 21}, "Connect", true},
    {"GroupBox3", "QGroupBox", "centralwidget", {10, 296, 567, 57}, "Destination Table", true},
    {"Label2", "QLabel", "GroupBox3", {9, 24, 49, 13}, "Database:", true},
    {"ComboBox3", "QComboBox", "GroupBox3", {64, 20, 161, 21}, "", false},
    {"Label5", "QLabel", "GroupBox3", {238, 24, 68, 13}, "Table:", true},
    {"ComboBox2", "QComboBox", "GroupBox3", {312, 20, 161, 21}, "", false},
    {"Button4", "QPushButton", "GroupBox3", {488, 20, 65, 21}, "Import", false},
    {"RowsLabel", "QLabel", "GroupBox1", {17, 202, 520, 13}, "", true},
};

QString CaptionOf(const QWidget& widget) {
    if (auto* box = qobject_cast<const QGroupBox*>(&widget)) return box->title();
    if (auto* label = qobject_cast<const QLabel*>(&widget)) return label->text();
    if (auto* button = qobject_cast<const QPushButton*>(&widget)) return button->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(&widget)) return edit->text();
    if (auto* combo = qobject_cast<const QComboBox*>(&widget)) return combo->currentText();
    return {};
}

class MainWindow : public testing::Test {
protected:
    Windows windows;
    TForm1& form = windows.Form1;
    template <typename T>
    T* Find(const char* name) {
        return form.findChild<T*>(QString::fromLatin1(name));
    }
};

TEST_F(MainWindow, EveryControlOpensAsDrawn) {
    for (const ExpectedControl& control : kControls) {
        SCOPED_TRACE(control.name);
        QWidget* widget = Find<QWidget>(control.name);
        ASSERT_NE(widget, nullptr);
        EXPECT_STREQ(widget->metaObject()->className(), control.className);
        EXPECT_EQ(widget->parentWidget()->objectName().toStdString(), control.parent);
        ExpectDrawnGeometry(*widget, control.geometry);
        if (control.caption) {
            EXPECT_EQ(CaptionOf(*widget).toStdString(), control.caption);
        }
        EXPECT_EQ(widget->isEnabled(), control.enabled);
    }
    EXPECT_TRUE(Find<QComboBox>("ComboBox2")->isEditable());
    EXPECT_FALSE(Find<QComboBox>("ComboBox3")->isEditable());
    EXPECT_EQ(Find<QComboBox>("ComboBox3")->count(), 0);
    EXPECT_EQ(Find<QTreeView>("TreeView1")->model()->rowCount(), 0);
    EXPECT_EQ(Find<QTreeWidget>("ListBox1")->topLevelItemCount(), 0);
    EXPECT_EQ(Find<QTreeView>("TreeView1")->indentation(), 19);
}

TEST_F(MainWindow, PasswordIsMasked) {
    EXPECT_EQ(Find<QLineEdit>("Edit3")->echoMode(), QLineEdit::Password);
    EXPECT_EQ(Find<QLineEdit>("Edit2")->echoMode(), QLineEdit::Normal);
}

TEST_F(MainWindow, IsFixedCentredAndCannotBeMaximised) {
    form.show();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Tavlen"));
    EXPECT_EQ(form.centralWidget()->size(), QSize(587, 361));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_FALSE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    const QPoint offset =
        form.frameGeometry().center() - form.screen()->availableGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2)
        << "centred, give or take rounding: " << offset.x() << "," << offset.y();
    EXPECT_EQ(form.font().pointSize(), 8);
}

TEST_F(MainWindow, TabOrderInsideDestinationServerIsUserPasswordServer) {
    // The next widget that Tab reaches, as Qt walks the focus chain.
    const auto nextTabStop = [](QWidget* widget) {
        do widget = widget->nextInFocusChain();
        while (!(widget->focusPolicy() & Qt::TabFocus));
        return widget;
    };
    EXPECT_EQ(nextTabStop(Find<QWidget>("Edit2")), Find<QWidget>("Edit3"));
    EXPECT_EQ(nextTabStop(Find<QWidget>("Edit3")), Find<QWidget>("Combobox1"));
}

TEST_F(MainWindow, MenuHasItsCaptionsAndSeparator) {
    auto* file = Find<QMenu>("File1");
    auto* help = Find<QMenu>("Help1");
    ASSERT_TRUE(file && help);
    EXPECT_EQ(file->title(), QStringLiteral("&File"));
    EXPECT_EQ(help->title(), QStringLiteral("&Help"));
    const auto items = file->actions();
    ASSERT_EQ(items.size(), 10);
    EXPECT_EQ(items[0]->objectName(), QStringLiteral("Open3"));
    EXPECT_EQ(items[0]->text(), QStringLiteral("&Open XML"));
    EXPECT_EQ(items[1]->menu(), Find<QMenu>("Recent1"));
    EXPECT_EQ(items[1]->text(), QStringLiteral("Open &Recent"));
    EXPECT_TRUE(items[2]->isSeparator());
    EXPECT_EQ(items[3]->text(), QString::fromUtf8("Open &Mapping…"));
    EXPECT_EQ(items[3]->shortcut(), QKeySequence(QKeySequence::Open));
    EXPECT_EQ(items[4]->text(), QString::fromUtf8("&Save Mapping…"));
    EXPECT_EQ(items[4]->shortcut(), QKeySequence(QKeySequence::Save));
    EXPECT_TRUE(items[5]->isSeparator());
    EXPECT_EQ(items[6]->text(), QString::fromUtf8("&Import Files…"));
    EXPECT_EQ(items[7]->text(), QString::fromUtf8("Import &Folder…"));
    EXPECT_EQ(items[8]->objectName(), QStringLiteral("N1"));
    EXPECT_TRUE(items[8]->isSeparator());
    EXPECT_EQ(items[9]->objectName(), QStringLiteral("Open1"));
    EXPECT_EQ(items[9]->text(), QStringLiteral("E&xit"));
    ASSERT_EQ(help->actions().size(), 1);
    EXPECT_EQ(help->actions()[0]->objectName(), QStringLiteral("About1"));
    EXPECT_EQ(help->actions()[0]->text(), QStringLiteral("&About"));
    const auto bar = Find<QMenuBar>("MainMenu1")->actions();
    ASSERT_EQ(bar.size(), 2);
    EXPECT_EQ(bar[0]->menu(), file);
    EXPECT_EQ(bar[1]->menu(), help);
}

// Disconnecting succeeds only when the window definition made exactly this binding and the
// handler exists under its name; a renamed slot would leave the binding dead.
TEST_F(MainWindow, EveryUserActionIsBoundToItsHandler) {
    const struct {
        const char* sender;
        const char* signal;
        const char* slot;
    } bindings[] = {
        {"Open3", SIGNAL(triggered()), SLOT(LoadXML1Click())},
        {"Open1", SIGNAL(triggered()), SLOT(Open1Click())},
        {"About1", SIGNAL(triggered()), SLOT(About1Click())},
        {"TreeView1", SIGNAL(dblClick()), SLOT(TreeView1DblClick())},
        {"Button1", SIGNAL(clicked()), SLOT(TreeView1DblClick())},
        {"ListBox1", SIGNAL(dblClick()), SLOT(ListBox1DblClick())},
        {"Button2", SIGNAL(clicked()), SLOT(ListBox1DblClick())},
        {"Button5", SIGNAL(clicked()), SLOT(Button5Click())},
        {"Button6", SIGNAL(clicked()), SLOT(Button6Click())},
        {"Button3", SIGNAL(clicked()), SLOT(Button3Click())},
        {"ComboBox3", SIGNAL(activated(int)), SLOT(ComboBox3Change())},
        {"ComboBox2", SIGNAL(editTextChanged(QString)), SLOT(ComboBox2Change())},
        {"Button4", SIGNAL(clicked()), SLOT(Button4Click())},
        {"SetRowElement", SIGNAL(triggered()), SLOT(SetRowElementClick())},
        {"ClearRowElement", SIGNAL(triggered()), SLOT(ClearRowElementClick())},
        {"OpenMapping", SIGNAL(triggered()), SLOT(OpenMappingClick())},
        {"SaveMapping", SIGNAL(triggered()), SLOT(SaveMappingClick())},
    };
    for (const auto& binding : bindings) {
        SCOPED_TRACE(std::string(binding.sender) + " -> " + binding.slot);
        QObject* sender = form.findChild<QObject*>(QString::fromLatin1(binding.sender));
        ASSERT_NE(sender, nullptr);
        EXPECT_TRUE(QObject::disconnect(sender, binding.signal, &form, binding.slot));
    }
}

// Runs the event loop until the program ends or a few seconds pass; true when it ended.
bool EndsTheRun(const std::function<void()>& action) {
    QTimer::singleShot(0, action);
    QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
    return QCoreApplication::exec() == 0;
}

TEST_F(MainWindow, FileExitEndsTheRunWithoutAQuestion) {
    MessageRecorder messages;
    form.show();
    EXPECT_TRUE(EndsTheRun([this] { Find<QAction>("Open1")->trigger(); }));
    EXPECT_TRUE(messages.boxes.empty());
}

TEST_F(MainWindow, ClosingTheWindowEndsTheRun) {
    MessageRecorder messages;
    form.show();
    EXPECT_TRUE(EndsTheRun([this] { form.close(); }));
    EXPECT_TRUE(messages.boxes.empty());
}

TEST(DefaultErrorDisplay, ShowsTheTextWithAFullStopWhenItsLastCharacterSortsAfterIt) {
    const struct {
        const char* thrown;
        const char* shown;
    } cases[] = {
        {"Disk full", "Disk full."},
        {"Disk full.", "Disk full."},
        {"Path /", "Path /."},
        {"Really?", "Really?."},
        {"Done!", "Done!"},
        {"a-", "a-"},
        {"", ""},
        {"Trailing blank ", "Trailing blank "},
        {"Çok uzun", "Çok uzun."},
    };
    for (const auto& test : cases) {
        MessageRecorder messages;
        Guarded([&] { throw std::runtime_error(test.thrown); });
        ASSERT_EQ(messages.boxes.size(), 1u);
        EXPECT_EQ(messages.boxes[0].kind, MessageKind::Error);
        EXPECT_EQ(messages.boxes[0].caption, QStringLiteral("Tavlen"));
        EXPECT_EQ(messages.boxes[0].text.toStdString(), test.shown);
    }
}

TEST(DefaultErrorDisplay, HandlerEndsAtTheFailingStepAndTheProgramGoesOn) {
    MessageRecorder messages;
    int steps = 0;
    Guarded([&] {
        ++steps;
        throw 42;  // not an exception object: still shown, never crosses the event loop
    });
    Guarded([&] { ++steps; });
    EXPECT_EQ(steps, 2);
    ASSERT_EQ(messages.boxes.size(), 1u);
    EXPECT_EQ(messages.boxes[0].caption, QStringLiteral("Tavlen"));
}

}  // namespace
