#include <QMenu>
#include <QTest>

#include "ColumnPattern.h"
#include "RowsFixture.h"

namespace {

class RowElement : public RowsFixture {
protected:
    void SetUp() override {
        Open(QStringLiteral("invoice.xml"), SignedInvoice);
        AddField(QStringLiteral("Invoice/cbc:ID"), QStringLiteral("Invoice"));
        AddField(QStringLiteral("Invoice/cac:InvoiceLine/cbc:ID"), QStringLiteral("Line"));
        AddField(QStringLiteral("Invoice/cac:InvoiceLine/cac:Item/cbc:Name"),
                 QStringLiteral("Item"));
    }

    QStringList Patterns() const {
        QStringList patterns;
        for (const MappedField& field : form.CurrentPlan().fields) patterns << field.pattern;
        return patterns;
    }

    QStringList DefaultPatterns() const {
        QStringList patterns;
        for (const FieldRow& field : FieldRows(fields()))
            patterns << ColumnPattern(SignaturePath, field.path);
        return patterns;
    }

    QMenu* ShownMenu() const {
        for (QMenu* menu : form.findChildren<QMenu*>())
            if (menu->isVisible()) return menu;
        return nullptr;
    }
};

TEST_F(RowElement, UntilChosenTheRowIsTheFirstDeepestNode) {
    EXPECT_EQ(form.CurrentRowChoice(), (RowChoice{SignaturePath, false}));
    EXPECT_EQ(form.CurrentPlan().rowPath, SignaturePath);
    EXPECT_EQ(Patterns(), DefaultPatterns());
    EXPECT_EQ(RowsShown(), QStringLiteral("Rows: %1 (1)").arg(SignaturePath));
    EXPECT_FALSE(Action("ClearRowElement").isEnabled());
}

TEST_F(RowElement, ChosenElementMakesTheRowsAndIsMarked) {
    const QModelIndex line = Select(QStringLiteral("Invoice/cac:InvoiceLine"));
    Action("SetRowElement").trigger();
    EXPECT_EQ(form.CurrentRowChoice(),
              (RowChoice{QStringLiteral("Invoice/cac:InvoiceLine"), true}));
    EXPECT_EQ(Patterns(), (QStringList{"../cbc:ID", "cbc:ID", "cac:Item/cbc:Name"}));
    EXPECT_EQ(RowsShown(), QStringLiteral("Rows: Invoice/cac:InvoiceLine (3)"));
    EXPECT_TRUE(line.data(Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(line.data(Qt::AccessibleDescriptionRole).toString(),
              QStringLiteral("Element, row element"));
    // A text element is an element too: its rows are its occurrences.
    Select(QStringLiteral("Invoice/cac:InvoiceLine/cbc:ID"));
    Action("SetRowElement").trigger();
    EXPECT_EQ(RowsShown(), QStringLiteral("Rows: Invoice/cac:InvoiceLine/cbc:ID (3)"));
    EXPECT_FALSE(line.data(Qt::FontRole).value<QFont>().bold());
}

TEST_F(RowElement, ChoosingAgainOrClearingGoesBackAndAnotherDocumentForgets) {
    Select(QStringLiteral("Invoice/cac:InvoiceLine"));
    Action("SetRowElement").trigger();
    Action("SetRowElement").trigger();
    EXPECT_EQ(form.CurrentRowChoice(), (RowChoice{SignaturePath, false}));
    EXPECT_EQ(Patterns(), DefaultPatterns());
    Action("SetRowElement").trigger();
    Action("ClearRowElement").trigger();
    EXPECT_EQ(form.CurrentRowChoice(), (RowChoice{SignaturePath, false}));
    EXPECT_FALSE(nodes().RowNode().isValid());
    Action("SetRowElement").trigger();
    Open(QStringLiteral("other.xml"),
         "<orders><order no=\"1\"/><order/><order no=\"3\"/></orders>");
    EXPECT_EQ(form.CurrentRowChoice(), (RowChoice{QStringLiteral("orders/order/@no"), false}));
    EXPECT_EQ(RowsShown(), QStringLiteral("Rows: orders/order/@no (2)"));
}

TEST_F(RowElement, AttributesAreNotOffered) {
    const QModelIndex attribute = FindElement(nodes(), QStringLiteral("Invoice"));
    tree().setCurrentIndex(nodes().index(0, 0, attribute));  // xmlns:cac
    EXPECT_FALSE(Action("SetRowElement").isEnabled());
    Action("SetRowElement").trigger();
    EXPECT_EQ(form.CurrentRowChoice().path, SignaturePath);
}

// Shift+F10 and the Menu key open the menu at the current node; Ctrl+R chooses without it.
TEST_F(RowElement, KeyboardReachesTheMenuAndTheChoice) {
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    tree().setFocus();
    Select(QStringLiteral("Invoice/cac:InvoiceLine"));
    const std::pair<Qt::Key, Qt::KeyboardModifiers> keys[] = {{Qt::Key_F10, Qt::ShiftModifier},
                                                              {Qt::Key_Menu, Qt::NoModifier}};
    for (const auto& [key, modifiers] : keys) {
        QTest::keyClick(&tree(), key, modifiers);
        ASSERT_TRUE(QTest::qWaitFor([this] { return ShownMenu() != nullptr; }));
        const QList<QAction*> offered = ShownMenu()->actions();
        ASSERT_EQ(offered.size(), 2);
        EXPECT_EQ(offered[0]->text(), QStringLiteral("Set as Row Element"));
        EXPECT_TRUE(offered[0]->isEnabled());
        EXPECT_EQ(offered[1]->text(), QStringLiteral("Clear Row Element"));
        ShownMenu()->hide();
    }
    QTest::keyClick(&tree(), Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(form.CurrentRowChoice().path, QStringLiteral("Invoice/cac:InvoiceLine"));
}

}  // namespace
