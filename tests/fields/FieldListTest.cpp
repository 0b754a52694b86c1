// Remove, Up and Dn on the field list, driven through the main window's buttons and mouse.
#include <QPushButton>
#include <QTest>

#include "FieldsFixture.h"

namespace {
// A row named after a letter, with a path and type that show whether it travelled whole.
FieldRow Row(const QString& name) {
    return {QStringLiteral("doc/item/") + name, name, QStringLiteral("VarChar(") + name + u')'};
}

QStringList Names(const QTreeWidget& list) {
    QStringList names;
    for (const FieldRow& row : FieldRows(list)) names << row.name;
    return names;
}

QStringList SelectedNames(const QTreeWidget& list) {
    QStringList names;
    for (int i = 0; i < list.topLevelItemCount(); ++i)
        if (list.topLevelItem(i)->isSelected()) names << list.topLevelItem(i)->text(1);
    return names;
}

class FieldListTest : public FieldsTest {
protected:
    void Fill(const QStringList& names) {
        for (const QString& name : names) AppendFieldRow(List(), Row(name));
    }
    QTreeWidgetItem& Item(int row) { return *List().topLevelItem(row); }
    // The first row is clicked plainly, the others with Ctrl, in the order given.
    void Select(const std::vector<int>& rows) {
        for (std::size_t i = 0; i < rows.size(); ++i)
            Click(List(), Item(rows[i]), i == 0 ? Qt::NoModifier : Qt::ControlModifier);
    }
};

struct EditCase {
    const char* name;
    QStringList rows;
    std::vector<int> clicked;
    const char* button;
    QStringList order;
    QStringList selectedAfter;
};

const char* const Up = "Button5";
const char* const Dn = "Button6";
const char* const Remove = "Button2";

class FieldListEdit : public FieldListTest, public testing::WithParamInterface<EditCase> {};

TEST_P(FieldListEdit, ButtonGivesOrderAndSelection) {
    const EditCase& c = GetParam();
    Fill(c.rows);
    Select(c.clicked);
    QTest::mouseClick(&MainButton(c.button), Qt::LeftButton);
    EXPECT_EQ(Names(List()), c.order);
    EXPECT_EQ(SelectedNames(List()), c.selectedAfter);
    // Every row keeps its own path and type wherever it went.
    for (const FieldRow& row : FieldRows(List())) EXPECT_EQ(row, Row(row.name));
}

const QStringList WXY{"W", "X", "Y"};
const QStringList WXYZ{"W", "X", "Y", "Z"};

INSTANTIATE_TEST_SUITE_P(
    Cases, FieldListEdit,
    testing::Values(
        EditCase{"UpSwapsWithRowAbove", WXY, {1}, Up, {"X", "W", "Y"}, {}},
        EditCase{"DnSwapsWithRowBelow", WXY, {1}, Dn, {"W", "Y", "X"}, {}},
        EditCase{"UpMovesFirstSelectedOnly", WXYZ, {1, 3}, Up, {"X", "W", "Y", "Z"}, {"Z"}},
        EditCase{"DnMovesFirstSelectedOnly", WXYZ, {1, 3}, Dn, {"W", "Y", "X", "Z"}, {"Z"}},
        EditCase{
            "FirstSelectedIsTopmostNotFirstClicked", WXYZ, {3, 1}, Up, {"X", "W", "Y", "Z"}, {"Z"}},
        EditCase{"UpOnTopRowIgnored", WXY, {0}, Up, WXY, {"W"}},
        EditCase{"DnOnBottomRowIgnored", WXY, {2}, Dn, WXY, {"Y"}},
        EditCase{"UpOnTopRowIgnoredWhateverElseIsSelected", WXY, {0, 2}, Up, WXY, {"W", "Y"}},
        EditCase{"UpWithNothingSelectedIgnored", WXY, {}, Up, WXY, {}},
        EditCase{"DnWithNothingSelectedIgnored", WXY, {}, Dn, WXY, {}},
        EditCase{"RemoveWithNothingSelectedIgnored", WXY, {}, Remove, WXY, {}},
        EditCase{"RemoveDeletesEverySelectedRow", WXYZ, {0, 2}, Remove, {"X", "Z"}, {}},
        EditCase{"RemoveCanEmptyTheList", WXY, {0, 1, 2}, Remove, {}, {}}),
    [](const testing::TestParamInfo<EditCase>& info) { return info.param.name; });

TEST_F(FieldListTest, ShiftClickSelectsARangeThatRemoveDeletes) {
    Fill(WXYZ);
    Click(List(), Item(0));
    Click(List(), Item(2), Qt::ShiftModifier);
    QTest::mouseClick(&MainButton(Remove), Qt::LeftButton);
    EXPECT_EQ(Names(List()), QStringList{"Z"});
}

TEST_F(FieldListTest, DoubleClickOnARowRemovesThatRowAlone) {
    Fill(WXYZ);
    Select({0, 1});
    DoubleClick(List(), Item(3));
    EXPECT_EQ(Names(List()), WXY);
}

TEST_F(FieldListTest, DoubleClickOnEmptySpaceRemovesNothing) {
    Fill(WXY);
    Select({0, 2});
    const QPoint belowRows(List().viewport()->width() / 2, List().viewport()->height() - 4);
    ASSERT_EQ(List().itemAt(belowRows), nullptr);
    DoubleClick(List(), belowRows);
    EXPECT_EQ(Names(List()), WXY);
}

TEST_F(FieldListTest, UpTwiceAfterOneSelectionMovesOnce) {
    Fill(WXY);
    Select({2});
    QPushButton& up = MainButton(Up);
    QTest::mouseClick(&up, Qt::LeftButton);
    QTest::mouseClick(&up, Qt::LeftButton);
    EXPECT_EQ(Names(List()), (QStringList{"W", "Y", "X"}));
}

TEST_F(FieldListTest, LongPathTravelsHiddenWithItsRow) {
    const FieldRow deep{QStringLiteral("root/") + QString(400, u'a') + QStringLiteral("/@id"),
                        QStringLiteral("id"), QStringLiteral("Int")};
    Fill({"W"});
    AppendFieldRow(List(), deep);
    Select({1});
    QTest::mouseClick(&MainButton(Up), Qt::LeftButton);
    EXPECT_EQ(FieldRows(List()), Rows({deep, Row("W")}));
    // What shows at the left edge of a row is the field name, never the path.
    const QRect row = List().visualItemRect(&Item(0));
    EXPECT_EQ(List().columnAt(row.left() + 1), 1);
    EXPECT_EQ(List().itemAt(row.left() + 1, row.center().y()), &Item(0));
}

TEST_F(FieldListTest, ListIsAReadOnlyReportWithoutHeaders) {
    QTreeWidget& list = List();
    EXPECT_TRUE(list.isHeaderHidden());
    ASSERT_EQ(list.columnCount(), 3);
    const QTreeWidgetItem& header = *list.headerItem();
    EXPECT_EQ(header.text(0), "XML Path");
    EXPECT_EQ(header.text(1), "Field Name");
    EXPECT_EQ(header.text(2), "Data Type");
    EXPECT_TRUE(list.isColumnHidden(0));
    EXPECT_EQ(list.columnWidth(1), 118);
    EXPECT_EQ(list.columnWidth(2), 119);
    EXPECT_EQ(list.selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_FALSE(list.isSortingEnabled());
    EXPECT_FALSE(list.rootIsDecorated());
    EXPECT_EQ(list.geometry(), QRect(296, 41, 241, 168));
}

TEST_F(FieldListTest, DeleteKeyRemovesTheSelectedRowsAsTheLeftArrowDoes) {
    Fill({"W", "X", "Y", "Z"});
    Select({0, 2});
    ASSERT_TRUE(QTest::qWaitFor([&] { return List().hasFocus(); }));
    QTest::keyClick(&List(), Qt::Key_Delete);
    EXPECT_EQ(Names(List()), (QStringList{"X", "Z"}));
}
}  // namespace
