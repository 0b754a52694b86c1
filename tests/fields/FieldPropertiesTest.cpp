// Opening the Field Properties dialog from the structure tree and what its OK adds.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include "DrawnGeometry.h"
#include "FieldsFixture.h"

namespace {
// library (container) > book (container) > @id, title, author (text elements).
class FieldPropertiesTest : public FieldsTest {
protected:
    FieldPropertiesTest() {
        StructureNodes nodes;
        const int l =
            nodes.Append(StructureNodes::None, QStringLiteral("library"), NodeKind::Container);
        const int b = nodes.Append(l, QStringLiteral("book"), NodeKind::Container);
        nodes.Append(b, QStringLiteral("id"), NodeKind::Attribute);
        nodes.Append(b, QStringLiteral("title"), NodeKind::TextElement);
        nodes.Append(b, QStringLiteral("author"), NodeKind::TextElement);
        ShowTree(std::move(nodes));
        library = TreeModel().index(0, 0);
        book = TreeModel().index(0, 0, library);
        id = TreeModel().index(0, 0, book);
        title = TreeModel().index(1, 0, book);
        author = TreeModel().index(2, 0, book);
    }

    // Double-clicks the node and runs `act` in the dialog it opens; false when none opened.
    bool OpenFor(const QModelIndex& node, const std::function<void(TForm2&)>& act) {
        return WhileDialogOpen([&] { DoubleClick(Tree(), node); }, act);
    }
    void ClickOk() { QTest::mouseClick(&DialogButton("Button1"), Qt::LeftButton); }
    bool FocusIn(QWidget& widget) {
        return QTest::qWaitFor([&] { return QApplication::focusWidget() == &widget; });
    }
    FieldRow TitleRow(const QString& type) {
        return {QStringLiteral("library/book/title"), QStringLiteral("title"), type};
    }

    QModelIndex library;
    QModelIndex book;
    QModelIndex id;
    QModelIndex title;
    QModelIndex author;
};

TEST_F(FieldPropertiesTest, ContainerElementOpensNothing) {
    EXPECT_FALSE(OpenFor(book, [](TForm2&) {}));
    Click(Tree(), library);
    EXPECT_FALSE(WhileDialogOpen([&] { QTest::mouseClick(&MainButton("Button1"), Qt::LeftButton); },
                                 [](TForm2&) {}));
    EXPECT_TRUE(FieldRows(List()).empty());
}

TEST_F(FieldPropertiesTest, NothingSelectedOpensNothing) {
    TreeModel().Install({});
    const QPoint emptySpace(20, 20);
    EXPECT_FALSE(WhileDialogOpen([&] { DoubleClick(Tree(), emptySpace); }, [](TForm2&) {}));
    EXPECT_FALSE(WhileDialogOpen([&] { QTest::mouseClick(&MainButton("Button1"), Qt::LeftButton); },
                                 [](TForm2&) {}));
    EXPECT_TRUE(FieldRows(List()).empty());
}

TEST_F(FieldPropertiesTest, OpensWithNodeNameVarCharAnd50AndOkAddsTheRow) {
    EXPECT_TRUE(OpenFor(title, [&](TForm2&) {
        EXPECT_EQ(DialogEdit("Edit1").text(), "title");
        EXPECT_EQ(TypeBox().currentIndex(), 20);
        EXPECT_EQ(TypeBox().currentText(), "VarChar");
        EXPECT_EQ(DialogEdit("Edit2").displayText(), "50 ");
        EXPECT_TRUE(DialogEdit("Edit2").isEnabled());
        EXPECT_TRUE(FocusIn(DialogEdit("Edit1")));
        ClickOk();
    }));
    EXPECT_EQ(FieldRows(List()), Rows({TitleRow("VarChar(50)")}));
}

TEST_F(FieldPropertiesTest, AttributeGetsBareNameAndAttributePath) {
    Click(Tree(), id);
    EXPECT_TRUE(WhileDialogOpen([&] { QTest::mouseClick(&MainButton("Button1"), Qt::LeftButton); },
                                [&](TForm2&) {
                                    EXPECT_EQ(DialogEdit("Edit1").text(), "id");
                                    ClickOk();
                                }));
    EXPECT_EQ(FieldRows(List()), Rows({{"library/book/@id", "id", "VarChar(50)"}}));
}

TEST_F(FieldPropertiesTest, DoubleClickOnEmptySpaceOpensForSelectedNode) {
    Click(Tree(), author);
    const QPoint belowNodes(Tree().viewport()->width() / 2, Tree().viewport()->height() - 4);
    ASSERT_FALSE(Tree().indexAt(belowNodes).isValid());
    EXPECT_TRUE(WhileDialogOpen([&] { DoubleClick(Tree(), belowNodes); },
                                [&](TForm2&) {
                                    EXPECT_EQ(DialogEdit("Edit1").text(), "author");
                                    ClickOk();
                                }));
    EXPECT_EQ(FieldRows(List()), Rows({{"library/book/author", "author", "VarChar(50)"}}));
}

TEST_F(FieldPropertiesTest, LabelEditedInPlaceGivesTheFieldItsNameAndPath) {
    Click(Tree(), title);
    QTest::keyClick(&Tree(), Qt::Key_F2);
    auto* editor = Tree().findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("titel"));
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the editor commits through a queued call
    EXPECT_TRUE(OpenFor(title, [&](TForm2&) {
        EXPECT_EQ(DialogEdit("Edit1").text(), "titel");
        ClickOk();
    }));
    EXPECT_EQ(FieldRows(List()), Rows({{"library/book/titel", "titel", "VarChar(50)"}}));
}

// A node selected in the earlier tree is gone with it: "->" has nothing to act on.
TEST_F(FieldPropertiesTest, ANewTreeStartsWithNothingSelected) {
    Click(Tree(), author);
    StructureNodes nodes;
    nodes.Append(StructureNodes::None, QStringLiteral("r"), NodeKind::TextElement);
    ShowTree(std::move(nodes));
    EXPECT_FALSE(WhileDialogOpen([&] { QTest::mouseClick(&MainButton("Button1"), Qt::LeftButton); },
                                 [](TForm2&) {}));
    EXPECT_TRUE(FieldRows(List()).empty());
}

// What the user does in the dialog before OK, and the data type text it gives.
struct SizeCase {
    const char* name;
    const char* keys;   // typed into the emptied size box; null leaves the box alone
    QStringList types;  // picked in this order, after the keys
    QString expected;
};

class FieldSize : public FieldPropertiesTest, public testing::WithParamInterface<SizeCase> {};

TEST_P(FieldSize, OkGivesDataTypeText) {
    const SizeCase& c = GetParam();
    EXPECT_TRUE(OpenFor(title, [&](TForm2&) {
        if (c.keys) TypeSize(QString::fromLatin1(c.keys));
        for (const QString& type : c.types) PickType(type);
        ClickOk();
    }));
    EXPECT_EQ(FieldRows(List()), Rows({TitleRow(c.expected)}));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FieldSize,
    testing::Values(SizeCase{"Default", nullptr, {}, "VarChar(50)"},
                    SizeCase{"Typed50", "50", {}, "VarChar(50)"},
                    SizeCase{"FirstPositionOnly", "5", {}, "VarChar(5)"},
                    SizeCase{"MiddlePositionEmpty", "5 0", {}, "VarChar(50)"},
                    SizeCase{"LeadingZerosKept", "007", {}, "VarChar(007)"},
                    SizeCase{"EmptiedBoxGivesNoBrackets", "", {}, "VarChar"},
                    SizeCase{"LettersRefused", "a1b", {}, "VarChar(1)"},
                    SizeCase{"OnlyThreePositions", "1234", {}, "VarChar(123)"},
                    SizeCase{"UnsizedType", nullptr, {"Int"}, "Int"},
                    SizeCase{"SizedTypeAfterUnsizedBrings50", nullptr, {"Int", "Char"}, "Char(50)"},
                    SizeCase{"TypedSizeResetBySizedType", "10", {"nChar"}, "nChar(50)"},
                    SizeCase{"SizeOutOfRangeAccepted", "000", {}, "VarChar(000)"}),
    [](const testing::TestParamInfo<SizeCase>& info) { return info.param.name; });

TEST_F(FieldPropertiesTest, SizeBoxReadsEmptyPositionsAsBlanks) {
    EXPECT_TRUE(OpenFor(title, [&](TForm2&) {
        TypeSize(QStringLiteral("5 0"));
        EXPECT_EQ(DialogEdit("Edit2").displayText(), "5 0");
        TypeSize(QStringLiteral("5"));
        EXPECT_EQ(DialogEdit("Edit2").displayText(), "5  ");
        ClickOk();
    }));
}

TEST_F(FieldPropertiesTest, UnsizedTypeEmptiesAndDisablesSizeSizedTypeRestoresIt) {
    EXPECT_TRUE(OpenFor(title, [&](TForm2&) {
        QLineEdit& size = DialogEdit("Edit2");
        PickType(QStringLiteral("Int"));
        EXPECT_EQ(size.displayText(), "   ");
        EXPECT_FALSE(size.isEnabled());
        PickType(QStringLiteral("Numeric"));
        EXPECT_EQ(size.displayText(), "50 ");
        EXPECT_TRUE(size.isEnabled());
        QTest::mouseClick(&DialogButton("Button2"), Qt::LeftButton);
    }));
}

TEST_F(FieldPropertiesTest, FieldNameKeptExactlyAsTyped) {
    const QString typed = QStringLiteral("  Book [Title] 'x'  ");
    EXPECT_TRUE(OpenFor(title, [&](TForm2&) {
        QLineEdit& name = DialogEdit("Edit1");
        name.selectAll();
        QTest::keyClicks(&name, typed);
        ClickOk();
    }));
    EXPECT_EQ(FieldRows(List()), Rows({{"library/book/title", typed, "VarChar(50)"}}));
}

TEST_F(FieldPropertiesTest, CancelAndCloseButtonAddNothing) {
    EXPECT_TRUE(OpenFor(
        title, [&](TForm2&) { QTest::mouseClick(&DialogButton("Button2"), Qt::LeftButton); }));
    EXPECT_TRUE(OpenFor(title, [](TForm2& dialog) { dialog.close(); }));
    EXPECT_TRUE(FieldRows(List()).empty());
}

TEST_F(FieldPropertiesTest, EscapeDoesNotCloseTheDialog) {
    EXPECT_TRUE(OpenFor(title, [&](TForm2& dialog) {
        QTest::keyClick(&DialogEdit("Edit1"), Qt::Key_Escape);
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QTest::qWait(20);
        EXPECT_TRUE(dialog.isVisible());
        QTest::mouseClick(&DialogButton("Button2"), Qt::LeftButton);
    }));
    EXPECT_TRUE(FieldRows(List()).empty());
}

// Enter presses OK unless the focus is on another button.
struct EnterCase {
    const char* focus;
    bool adds;
};

class EnterKey : public FieldPropertiesTest, public testing::WithParamInterface<EnterCase> {};

TEST_P(EnterKey, PressesTheFocusedOrDefaultButton) {
    EXPECT_TRUE(OpenFor(title, [&](TForm2& dialog) {
        QWidget& target = *dialog.findChild<QWidget*>(QString::fromLatin1(GetParam().focus));
        target.setFocus();
        ASSERT_TRUE(FocusIn(target));
        QTest::keyClick(&target, Qt::Key_Return);
    }));
    EXPECT_EQ(FieldRows(List()).size(), GetParam().adds ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(Cases, EnterKey,
                         testing::Values(EnterCase{"Edit1", true}, EnterCase{"ComboBox1", true},
                                         EnterCase{"Edit2", true}, EnterCase{"Button1", true},
                                         EnterCase{"Button2", false}),
                         [](const testing::TestParamInfo<EnterCase>& info) {
                             return std::string(info.param.focus);
                         });

TEST_F(FieldPropertiesTest, SecondOpeningStartsAfreshWithFocusInFieldName) {
    EXPECT_TRUE(OpenFor(title, [&](TForm2&) {
        DialogEdit("Edit1").setText(QStringLiteral("changed"));
        PickType(QStringLiteral("Int"));
        TypeBox().setFocus();
        ASSERT_TRUE(FocusIn(TypeBox()));
        QTest::mouseClick(&DialogButton("Button2"), Qt::LeftButton);
    }));
    EXPECT_TRUE(OpenFor(author, [&](TForm2&) {
        EXPECT_EQ(DialogEdit("Edit1").text(), "author");
        EXPECT_EQ(TypeBox().currentText(), "VarChar");
        EXPECT_EQ(DialogEdit("Edit2").displayText(), "50 ");
        EXPECT_TRUE(DialogEdit("Edit2").isEnabled());
        EXPECT_TRUE(FocusIn(DialogEdit("Edit1")));
        ClickOk();
    }));
    EXPECT_EQ(FieldRows(List()), Rows({{"library/book/author", "author", "VarChar(50)"}}));
}

TEST_F(FieldPropertiesTest, SamePathAddedTwiceGivesTwoRows) {
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(OpenFor(title, [&](TForm2&) { ClickOk(); }));
    EXPECT_EQ(FieldRows(List()), Rows({TitleRow("VarChar(50)"), TitleRow("VarChar(50)")}));
}

TEST_F(FieldPropertiesTest, TabOrderRunsNameTypeOkCancelSize) {
    EXPECT_TRUE(OpenFor(title, [&](TForm2& dialog) {
        ASSERT_TRUE(FocusIn(DialogEdit("Edit1")));
        QStringList order;
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        EXPECT_EQ(order, (QStringList{"ComboBox1", "Button1", "Button2", "Edit2", "Edit1"}));
        dialog.close();
    }));
}

TEST_F(FieldPropertiesTest, FirstShowingCentredOverMainWindowLaterWhereLeft) {
    windows.Form1.move(20, 20);
    ASSERT_TRUE(QTest::qWaitFor([&] { return windows.Form1.pos() == QPoint(20, 20); }));
    QPoint left;
    EXPECT_TRUE(OpenFor(title, [&](TForm2& dialog) {
        const QPoint offCentre = dialog.geometry().center() - windows.Form1.geometry().center();
        EXPECT_LE(offCentre.manhattanLength(), 20) << offCentre.x() << ',' << offCentre.y();
        // Moved as the user drags it: through the window system, not by the program.
        left = dialog.pos() + QPoint(70, 50);
        dialog.windowHandle()->setFramePosition(left);
        EXPECT_TRUE(QTest::qWaitFor([&] { return dialog.pos() == left; }));
        dialog.close();
    }));
    EXPECT_TRUE(OpenFor(author, [&](TForm2& dialog) {
        EXPECT_EQ(dialog.pos(), left);
        dialog.close();
    }));
}

TEST_F(FieldPropertiesTest, NoSelectedNodeAtOkAddsNoRow) {
    EXPECT_TRUE(WhileDialogOpen([&] { windows.Form2.exec(); }, [&](TForm2&) { ClickOk(); }));
    EXPECT_TRUE(FieldRows(List()).empty());
}

TEST(FieldPropertiesWindow, DefinitionAsDrawn) {
    Windows windows;
    TForm2& dialog = windows.Form2;
    EXPECT_EQ(dialog.windowTitle(), "Field Properties");
    EXPECT_EQ(dialog.size(), QSize(206, 141));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    const Qt::WindowFlags flags = dialog.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));

    struct Control {
        const char* name;
        QRect geometry;
        QString text;
    };
    for (const Control& c :
         {Control{"Label1", {9, 16, 56, 13}, "Field Name:"},
          Control{"Label2", {12, 48, 53, 13}, "Data Type:"},
          Control{"Label3", {17, 80, 48, 13}, "Field Size:"},
          Control{"Edit1", {72, 8, 121, 21}, ""}, Control{"ComboBox1", {72, 40, 121, 21}, "BigInt"},
          Control{"Button1", {56, 104, 49, 25}, "OK"},
          Control{"Button2", {112, 104, 49, 25}, "Cancel"},
          Control{"Edit2", {72, 72, 33, 21}, "   "}}) {
        SCOPED_TRACE(c.name);
        const QWidget* widget = dialog.findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(widget, nullptr);
        ExpectDrawnGeometry(*widget, c.geometry);
        QString text;
        if (auto* label = qobject_cast<const QLabel*>(widget)) {
            text = label->text();
            EXPECT_TRUE(label->alignment().testFlag(Qt::AlignRight));
        } else if (auto* edit = qobject_cast<const QLineEdit*>(widget)) {
            text = edit->displayText();
        } else if (auto* button = qobject_cast<const QPushButton*>(widget)) {
            text = button->text();
        } else if (auto* box = qobject_cast<const QComboBox*>(widget)) {
            text = box->currentText();
        }
        EXPECT_EQ(text, c.text);
    }

    const auto& types = *dialog.findChild<QComboBox*>(QStringLiteral("ComboBox1"));
    QStringList items;
    for (int i = 0; i < types.count(); ++i) items << types.itemText(i);
    EXPECT_EQ(
        items,
        (QStringList{
            "BigInt",    "Bit",           "Char",     "DateTime",        "Decimal",     "Float",
            "Int",       "Money",         "nChar",    "nText",           "nVarChar",    "Numeric",
            "Real",      "SmallDateTime", "SmallInt", "SmallMoney",      "SQL_Variant", "Text",
            "TimeStamp", "TinyInt",       "VarChar",  "UniqueIdentifier"}));
    EXPECT_FALSE(types.isEditable());
    EXPECT_TRUE(dialog.findChild<QPushButton*>(QStringLiteral("Button1"))->isDefault());
    EXPECT_FALSE(dialog.findChild<QPushButton*>(QStringLiteral("Button2"))->isDefault());
    EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("Edit2"))->maxLength(), 3);
}

// The keyboard and the tree's expand buttons, as a user without the arrow buttons meets them.
class TreeKeyboard : public FieldPropertiesTest {
protected:
    void PressOn(const QModelIndex& node, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        Click(Tree(), node);
        QTest::keyClick(&Tree(), key, modifiers);
    }
    void ClickExpandButton(const QModelIndex& node) {
        const QRect label = Tree().visualRect(node);
        Click(Tree(), QPoint(label.left() - Tree().indentation() / 2, label.center().y()));
    }
};

TEST_F(TreeKeyboard, EnterOnANodeActsAsTheArrowButton) {
    EXPECT_TRUE(
        WhileDialogOpen([&] { PressOn(title, Qt::Key_Return); }, [&](TForm2&) { ClickOk(); }));
    EXPECT_TRUE(WhileDialogOpen([&] { PressOn(id, Qt::Key_Enter, Qt::KeypadModifier); },
                                [&](TForm2&) { ClickOk(); }));
    EXPECT_FALSE(WhileDialogOpen([&] { PressOn(book, Qt::Key_Return); }, [](TForm2&) {}));
    EXPECT_EQ(FieldRows(List()), Rows({TitleRow(QStringLiteral("VarChar(50)")),
                                       {QStringLiteral("library/book/@id"), QStringLiteral("id"),
                                        QStringLiteral("VarChar(50)")}}));
}

TEST_F(TreeKeyboard, CollapsingAnAncestorOfTheSelectedNodeSelectsTheAncestor) {
    Click(Tree(), title);
    ClickExpandButton(book);
    ASSERT_FALSE(Tree().isExpanded(book));
    EXPECT_EQ(SelectedNode(Tree()), book);
    // The hidden node is no longer what "->" acts on.
    EXPECT_FALSE(WhileDialogOpen([&] { QTest::mouseClick(&MainButton("Button1"), Qt::LeftButton); },
                                 [](TForm2&) {}));
}

TEST_F(FieldPropertiesTest, SizeBoxTakesOnlyTheDigitsZeroToNine) {
    EXPECT_TRUE(OpenFor(title, [&](TForm2&) {
        TypeSize(QString());
        // Arabic-Indic three, superscript two, fullwidth five: digits, but not T-SQL's.
        for (const char* key : {"٣", "²", "7", "５"})
            QTest::sendKeyEvent(QTest::Click, &DialogEdit("Edit2"), Qt::Key_unknown,
                                QString::fromUtf8(key), {});
        ClickOk();
    }));
    EXPECT_EQ(FieldRows(List()), Rows({TitleRow(QStringLiteral("VarChar(7)"))}));
}
}  // namespace
