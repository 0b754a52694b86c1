// Every caption fits its control, in both languages, with the font the program sets up. CTest
// runs this at the scale factors 1, 1.5 and 2.
#include <gtest/gtest.h>

#include <optional>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStyleOption>
#include <QTreeWidget>

#include "ProgramWindows.h"
#include "TurkishWindowTexts.h"

namespace {

// "Label2 'Veri Türü:' needs 47 of 40" for what a user would not see whole.
QString Shortfall(const QWidget& control, const QString& text, QSize needed, QSize box) {
    if (needed.width() <= box.width() && needed.height() <= box.height()) return {};
    return QStringLiteral("%1 '%2' needs %3x%4 of %5x%6")
        .arg(control.objectName(), text)
        .arg(needed.width())
        .arg(needed.height())
        .arg(box.width())
        .arg(box.height());
}

QSize TextSize(const QWidget& control, const QString& text) {
    const QFontMetrics metrics = control.fontMetrics();
    return {metrics.horizontalAdvance(text), metrics.height()};
}

QStringList LabelShortfalls(const QLabel& label) {
    QStringList found;
    found << Shortfall(label, label.text(), TextSize(label, label.text()),
                       label.contentsRect().size());
    // A label that grew to fit must stay inside its parent and off the controls beside it.
    if (!label.parentWidget()->rect().contains(label.geometry()))
        found << label.objectName() + QStringLiteral(" leaves its parent");
    for (const QWidget* sibling :
         label.parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (sibling != &label && sibling->geometry().intersects(label.geometry()))
            found << label.objectName() + QStringLiteral(" covers ") + sibling->objectName();
    return found;
}

QString ButtonShortfall(const QPushButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    const QRect contents =
        button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
    return Shortfall(button, button.text(), TextSize(button, button.text()), contents.size());
}

QStringList ComboShortfalls(const QComboBox& combo) {
    QStyleOptionComboBox option;
    option.initFrom(&combo);
    const QRect field = combo.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, &combo);
    QStringList found;
    for (int i = 0; i < combo.count(); ++i)
        found << Shortfall(combo, combo.itemText(i), TextSize(combo, combo.itemText(i)),
                           field.size());
    return found;
}

QStringList HeaderShortfalls(const QTreeWidget& list) {
    const QHeaderView& header = *list.header();
    const int margins = 2 * header.style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header);
    QStringList found;
    for (int column = 0; column < list.columnCount(); ++column) {
        if (header.isSectionHidden(column)) continue;
        const QString text = list.headerItem()->text(column);
        found << Shortfall(header, text, TextSize(header, text) + QSize(margins, 0),
                           {header.sectionSize(column), header.height()});
    }
    return found;
}

// Every caption of the window that the user cannot read whole.
QStringList Clipped(QWidget& window) {
    window.show();
    QStringList found;
    for (const QLabel* label : window.findChildren<QLabel*>())
        if (!label->text().isEmpty()) found << LabelShortfalls(*label);
    for (const QPushButton* button : window.findChildren<QPushButton*>())
        found << ButtonShortfall(*button);
    for (const QGroupBox* box : window.findChildren<QGroupBox*>())
        found << Shortfall(*box, box->title(), TextSize(*box, box->title()), box->size());
    for (const QComboBox* combo : window.findChildren<QComboBox*>())
        found << ComboShortfalls(*combo);
    for (const QTreeWidget* list : window.findChildren<QTreeWidget*>())
        if (!list->isHeaderHidden()) found << HeaderShortfalls(*list);
    window.hide();
    found.removeAll(QString());
    return found;
}

class WindowText : public testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (!GetParam()) return;
        turkish.emplace();
        ASSERT_TRUE(turkish->Loaded());
    }

    std::optional<TurkishWindowTexts> turkish;
};

TEST_P(WindowText, EveryCaptionFitsItsControl) {
    Windows windows;
    windows.Form2.Prepare(QStringLiteral("name"));
    for (QWidget* window :
         std::initializer_list<QWidget*>{&windows.Form1, &windows.Form2, &windows.AboutBox}) {
        const QStringList clipped = Clipped(*window);
        EXPECT_TRUE(clipped.isEmpty())
            << window->objectName().toStdString() << ": " << clipped.join(u"; ").toStdString();
    }
}

TEST(OneFont, WindowsAndMenusShareIt) {
    Windows windows;
    const QFontInfo font(windows.Form1.font());
    for (const QWidget* widget : std::initializer_list<const QWidget*>{
             &windows.Form2, &windows.AboutBox, windows.Form1.findChild<QMenuBar*>(),
             windows.Form1.findChild<QMenu*>(QStringLiteral("File1"))}) {
        const QFontInfo used(widget->font());
        EXPECT_EQ(used.family(), font.family()) << widget->objectName().toStdString();
        EXPECT_EQ(used.pointSize(), font.pointSize()) << widget->objectName().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(BothLanguages, WindowText, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                             return info.param ? "Turkish" : "English";
                         });

}  // namespace
